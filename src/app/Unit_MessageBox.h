#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QRect>

#include <memory>

namespace Ui {
class TForm_MessageBox;
}

// Where the confirmation dialog goes: centred in a rectangle of the whole desktop's size placed
// at the primary screen's origin. Should that leave part of the dialog on no screen at all (a
// monitor left of or above the primary), it is centred on the primary screen instead. Neither
// coordinate goes above or left of the screen it is centred on.
QPoint dialogPlacement(QSize dialogSize, const QRect &primaryScreen, const QList<QRect> &screens);

// The exit confirmation: a question, 确定 (result 1) and 取消 (result 2, the default and the
// first focus). Keys, in two layers: Tab/Shift+Tab and the arrows move between the buttons and
// Enter without Shift/Ctrl/Alt presses the focused one; then FormKeyDown sees the rest (Escape
// answers 2, Enter with a modifier answers 1) before the focused button (Space clicks on
// release). Closing the window answers 2.
class TForm_MessageBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_MessageBox)

public:
    explicit TForm_MessageBox(QWidget *parent = nullptr);
    ~TForm_MessageBox() override;

    void setMessage(const QString &text);

    // 1 when confirmed, 2 otherwise, also when the loop ended because the application is ending.
    int exec() override;
    void reject() override;
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormKeyDown(int &key, Qt::KeyboardModifiers shift);
    void setModalResult(int result);
    void moveFocus(int step);

    std::unique_ptr<Ui::TForm_MessageBox> ui;
};

// The confirmation dialog while AskConfirm runs; null otherwise.
extern TForm_MessageBox *Form_MessageBox;

// Shows text in a fresh confirmation dialog and answers whether the user confirmed. The dialog
// is destroyed before this returns, whatever happened. One dialog at a time: a call made while
// one is already up is refused (false) and leaves that dialog alone.
bool AskConfirm(const QString &text);
