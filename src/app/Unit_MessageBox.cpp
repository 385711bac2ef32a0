#include "Unit_MessageBox.h"

#include <algorithm>

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegion>
#include <QScopeGuard>
#include <QScreen>

#include "apptitle.h"
#include "ui_Unit_MessageBox.h"

// The glyphs live in a static library's resources, which register only when asked; once is enough.
static void initGlyphResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(glyphs);
        return true;
    }();
    Q_UNUSED(registered);
}

TForm_MessageBox *Form_MessageBox = nullptr;

QPoint dialogPlacement(QSize dialogSize, const QRect &primaryScreen, const QList<QRect> &screens)
{
    QRect desktop;
    QRegion covered;
    for (const QRect &screen : screens) {
        desktop |= screen;
        covered |= screen;
    }
    if (screens.isEmpty()) {
        desktop = primaryScreen;
        covered = primaryScreen;
    }
    const auto centredIn = [&](const QPoint &origin, QSize area) {
        return origin + QPoint(std::max(0, (area.width() - dialogSize.width()) / 2),
                               std::max(0, (area.height() - dialogSize.height()) / 2));
    };
    const QPoint onDesktop = centredIn(primaryScreen.topLeft(), desktop.size());
    if (QRegion(QRect(onDesktop, dialogSize)).subtracted(covered).isEmpty())
        return onDesktop;
    return centredIn(primaryScreen.topLeft(), primaryScreen.size());
}

TForm_MessageBox::TForm_MessageBox(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TForm_MessageBox>())
{
    initGlyphResources();
    ui->setupUi(this);
    // Caption text only, above every other window while shown.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowStaysOnTopHint);
    // The layout's font is 15 pixels high at any resolution; Designer stores point sizes only.
    QFont layoutFont = font();
    layoutFont.setPixelSize(15);
    setFont(layoutFont);

    for (QObject *watched : {static_cast<QObject *>(this), static_cast<QObject *>(ui->RzBitBtn_Cancel),
                             static_cast<QObject *>(ui->RzBitBtn_Ok)})
        watched->installEventFilter(this);
    for (TRzBitBtn *button : {ui->RzBitBtn_Ok, ui->RzBitBtn_Cancel}) {
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { setModalResult(button->modalResult()); });
    }
    FormCreate();
}

TForm_MessageBox::~TForm_MessageBox() = default;

void TForm_MessageBox::FormCreate()
{
    setWindowTitle(applicationTitle());
}

void TForm_MessageBox::setMessage(const QString &text)
{
    ui->Label_Tip->setText(text);
}

int TForm_MessageBox::exec()
{
    // The dialog's own loop rather than QDialog's: QDialog keeps a pointer to its loop, which an
    // exception unwinding through exec() would leave dangling for the dialog's destruction.
    setResult(0);
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    if (isVisible() && result() == 0)
        loop.exec(QEventLoop::DialogExec);
    hide();
    return result() == 1 ? 1 : 2;
}

void TForm_MessageBox::reject()
{
    setModalResult(2);
}

void TForm_MessageBox::setModalResult(int result)
{
    if (result != 0)
        done(result);
}

void TForm_MessageBox::setVisible(bool visible)
{
    if (visible) {
        // A skin may reserve a frame and caption bar inside the window; the client area keeps
        // its size.
        ensurePolished();
        const QSize client = property("clientSize").toSize();
        setFixedSize(client.grownBy(contentsMargins()));
        if (const QScreen *primary = QGuiApplication::primaryScreen()) {
            QList<QRect> screens;
            for (const QScreen *screen : primary->virtualSiblings())
                screens.append(screen->geometry());
            const QSize frame = frameGeometry().size().expandedTo(size());
            move(dialogPlacement(frame, primary->geometry(), screens));
        }
        ui->RzBitBtn_Cancel->setFocus(Qt::ActiveWindowFocusReason);
    }
    QDialog::setVisible(visible);
}

void TForm_MessageBox::moveFocus(int step)
{
    const QList<QWidget *> order{ui->RzBitBtn_Cancel, ui->RzBitBtn_Ok};
    const auto current = order.indexOf(focusWidget());
    const qsizetype count = order.size();
    const qsizetype next = current < 0 ? 0 : ((current + step) % count + count) % count;
    order.at(next)->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void TForm_MessageBox::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Escape)
        setModalResult(2);
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        setModalResult(1);
}

bool TForm_MessageBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers chords = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

    switch (keyEvent->key()) {
    case Qt::Key_Tab:
        if (keyEvent->modifiers() & chords & ~Qt::ShiftModifier)
            break;
        moveFocus(keyEvent->modifiers() & Qt::ShiftModifier ? -1 : 1);
        return true;
    case Qt::Key_Backtab:
        if (keyEvent->modifiers() & chords & ~Qt::ShiftModifier)
            break;
        moveFocus(-1);
        return true;
    case Qt::Key_Right:
    case Qt::Key_Down:
        moveFocus(1);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
        moveFocus(-1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (keyEvent->modifiers() & chords)
            break;
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget()))
            button->click();
        return true;
    default:
        break;
    }

    // Key preview: the window sees the key before the focused control.
    int key = keyEvent->key();
    FormKeyDown(key, keyEvent->modifiers());
    if (result() != 0 && !isVisible())
        return true;
    return QDialog::eventFilter(watched, event);
}

bool AskConfirm(const QString &text)
{
    if (Form_MessageBox)
        return false;
    const auto dialog = std::make_unique<TForm_MessageBox>();
    Form_MessageBox = dialog.get();
    const auto forget = qScopeGuard([] { Form_MessageBox = nullptr; });
    dialog->setMessage(text);
    return dialog->exec() == 1;
}
