#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;
class QWebEngineView;

// The small bar for finding text in the page (Ctrl+F): Enter finds the next match, Shift+Enter
// the previous one, Escape closes the bar and clears the highlights.
class FindBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FindBar)

public:
    explicit FindBar(QWebEngineView *view);
    ~FindBar() override;

    void open();
    void close();
    QLineEdit *field() const { return m_field; }
    // Keeps the bar at the view's top right edge; called when the view changes size.
    void placeInView();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void find(bool backward);
    void showResult(const QWebEngineFindTextResult &result);

    QWebEngineView *m_view;
    QLineEdit *m_field;
    QLabel *m_count;
};
