#include "errorbox.h"

#include <QMessageBox>

#include "apptitle.h"

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void showErrorBox(const std::exception &error)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(),
                    errorBoxText(QString::fromUtf8(error.what())), QMessageBox::Ok);
    box.exec();
}

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

TApplication::~TApplication() = default;

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showErrorBox(error);
    }
    return false;
}
