#pragma once

#include <QApplication>
#include <QString>

#include <exception>

// The text the error box shows for an exception's message: a full stop is appended when the
// message is not empty and its last character sorts after the full stop.
QString errorBoxText(const QString &message);

// Shows the standard error box (application title, error icon) for a failed event handler.
void showErrorBox(const std::exception &error);

// Runs an event handler so that an exception escaping it is shown in the error box and the
// program goes on.
template <typename Handler>
void runHandler(Handler &&handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        showErrorBox(error);
    }
}

// The application object: an exception escaping any event handler is caught for that one
// event and shown in the error box instead of ending the program.
class TApplication final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TApplication)

public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    bool notify(QObject *receiver, QEvent *event) override;
};
