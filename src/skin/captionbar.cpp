#include "captionbar.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include "platform.h"
#include "skinframe.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int iconSize = 16;
constexpr int iconPadding = 8;

} // namespace

CaptionButton::CaptionButton(CaptionButtonKind kind, SkinThemePtr theme, QWidget *parent)
    : QAbstractButton(parent), m_kind(kind), m_keep(theme), m_theme(*m_keep)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setKind(kind);
}

void CaptionButton::setKind(CaptionButtonKind kind)
{
    m_kind = kind;
    static const char *const names[] = {"SkinCaptionMinimize", "SkinCaptionMaximize",
                                        "SkinCaptionRestore", "SkinCaptionClose"};
    setObjectName(QString::fromLatin1(names[int(kind)]));
    update();
}

QSize CaptionButton::sizeHint() const
{
    return m_theme.captionButton(m_kind, CaptionButtonState::Normal).deviceIndependentSize().toSize();
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    CaptionButtonState state = CaptionButtonState::Normal;
    if (isDown()) {
        state = CaptionButtonState::Pressed;
    } else if (underMouse()) {
        state = CaptionButtonState::Hot;
    }
    const QPixmap image = m_theme.captionButton(m_kind, state);
    painter.drawPixmap(rect(), image);
}

CaptionBar::CaptionBar(QWidget *window, SkinThemePtr theme, const SkinFrame &frame)
    : QWidget(window),
      m_window(window),
      m_keep(theme), m_theme(*m_keep),
      m_frame(frame),
      m_minimize(new CaptionButton(CaptionButtonKind::Minimize, theme, this)),
      m_maximize(new CaptionButton(CaptionButtonKind::Maximize, theme, this)),
      m_close(new CaptionButton(CaptionButtonKind::Close, theme, this))
{
    setObjectName(u"SkinCaptionBar"_s);
    connect(m_minimize, &QAbstractButton::clicked, m_window, &QWidget::showMinimized);
    connect(m_maximize, &QAbstractButton::clicked, this, &CaptionBar::toggleMaximized);
    // close() runs the window's own close query, as any other way of closing it would.
    connect(m_close, &QAbstractButton::clicked, m_window, &QWidget::close);
    syncWithWindow();
}

bool CaptionBar::hasIcon() const
{
    const Qt::WindowFlags flags = m_window->windowFlags();
    return flags.testFlag(Qt::WindowCloseButtonHint) || flags.testFlag(Qt::WindowSystemMenuHint);
}

void CaptionBar::syncWithWindow()
{
    const Qt::WindowFlags flags = m_window->windowFlags();
    m_minimize->setVisible(flags.testFlag(Qt::WindowMinimizeButtonHint));
    m_maximize->setVisible(flags.testFlag(Qt::WindowMaximizeButtonHint));
    m_maximize->setEnabled(m_frame.resizable() || m_window->isMaximized());
    m_maximize->setKind(m_window->isMaximized() ? CaptionButtonKind::Restore
                                                : CaptionButtonKind::Maximize);
    m_close->setVisible(hasIcon());
    layoutButtons();
    update();
}

QRect CaptionBar::iconRect() const
{
    if (!hasIcon()) {
        return {};
    }
    return QRect(iconPadding, (height() - iconSize) / 2, iconSize, iconSize);
}

CaptionButton *CaptionBar::button(CaptionButtonKind kind) const
{
    switch (kind) {
    case CaptionButtonKind::Minimize:
        return m_minimize;
    case CaptionButtonKind::Maximize:
    case CaptionButtonKind::Restore:
        return m_maximize;
    case CaptionButtonKind::Close:
        return m_close;
    }
    return nullptr;
}

bool CaptionBar::isOverControl(QPoint pos) const
{
    if (iconRect().contains(pos)) {
        return true;
    }
    for (const CaptionButton *b : {m_minimize, m_maximize, m_close}) {
        if (b->isVisible() && b->geometry().contains(pos)) {
            return true;
        }
    }
    return false;
}

void CaptionBar::layoutButtons()
{
    int right = width();
    for (CaptionButton *b : {m_close, m_maximize, m_minimize}) {
        if (b->isHidden()) {
            continue;
        }
        const QSize size = b->sizeHint().boundedTo(QSize(m_theme.captionButtonWidth, height()));
        right -= size.width();
        b->setGeometry(right, 0, size.width(), height());
    }
}

void CaptionBar::resizeEvent(QResizeEvent *)
{
    layoutButtons();
}

void CaptionBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool active = m_window->isActiveWindow();
    drawNineSlice(painter, rect(), active ? m_theme.captionActive : m_theme.captionInactive,
                  m_theme.captionSlice);

    int textLeft = iconPadding;
    const QRect icon = iconRect();
    if (icon.isValid()) {
        QIcon windowIcon = m_window->windowIcon();
        if (windowIcon.isNull()) {
            windowIcon = QApplication::windowIcon();
        }
        windowIcon.paint(&painter, icon);
        textLeft = icon.right() + 1 + iconPadding;
    }
    int textRight = width();
    for (const CaptionButton *b : {m_minimize, m_maximize, m_close}) {
        if (!b->isHidden()) {
            textRight = qMin(textRight, b->x());
        }
    }
    QFont font = m_window->font();
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(active ? m_theme.captionText : m_theme.captionTextInactive);
    const QRect textRect(textLeft, 0, qMax(0, textRight - textLeft - iconPadding), height());
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     QFontMetrics(font).elidedText(m_window->windowTitle(), Qt::ElideRight,
                                                   textRect.width()));
}

void CaptionBar::toggleMaximized()
{
    if (m_window->isMaximized()) {
        m_window->showNormal();
    } else if (m_frame.resizable()) {
        m_window->showMaximized();
    }
}

void CaptionBar::showWindowMenu(QPoint globalPos)
{
    if (Platform::showSystemMenu(m_window->windowHandle(), globalPos)) {
        return;
    }
    // No system window menu a client can open here: a plain menu with the same commands,
    // tagged so the skin leaves it in the system look.
    auto *menu = new QMenu(this);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->setProperty("tag", 99);
    const bool maximized = m_window->isMaximized();
    const Qt::WindowFlags flags = m_window->windowFlags();
    const auto add = [this, menu](const QString &text, auto slot) {
        QAction *action = menu->addAction(text);
        connect(action, &QAction::triggered, m_window, slot);
        return action;
    };
    QAction *restore = add(u"Restore"_s, &QWidget::showNormal);
    restore->setEnabled(maximized);
    if (flags.testFlag(Qt::WindowMinimizeButtonHint)) {
        add(u"Minimize"_s, &QWidget::showMinimized);
    }
    if (flags.testFlag(Qt::WindowMaximizeButtonHint)) {
        QAction *maximize = add(u"Maximize"_s, &QWidget::showMaximized);
        maximize->setEnabled(!maximized && m_frame.resizable());
    }
    menu->addSeparator();
    QAction *close = add(u"Close"_s, &QWidget::close);
    close->setShortcut(QKeySequence(u"Alt+F4"_s));
    menu->popup(globalPos);
}

void CaptionBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (iconRect().contains(pos)) {
        // Opened only once a double click (which closes the window) can no longer come.
        if (!m_menuTimer) {
            m_menuTimer = new QTimer(this);
            m_menuTimer->setSingleShot(true);
            connect(m_menuTimer, &QTimer::timeout, this, [this] {
                showWindowMenu(mapToGlobal(iconRect().bottomLeft() + QPoint(0, 1)));
            });
        }
        m_menuTimer->start(QApplication::doubleClickInterval());
        return;
    }
    m_moveArmed = true;
}

void CaptionBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (m_manualMove) {
        m_window->move(global - m_grabOffset);
        return;
    }
    // Started on the first move, not on the press: a system move begun on the press swallows
    // the release and with it the double click.
    if (m_moveArmed) {
        m_moveArmed = false;
        QWindow *handle = m_window->windowHandle();
        if (handle && !handle->startSystemMove() && !m_window->isMaximized()) {
            // A window manager without system moves: the window follows the pointer itself.
            m_manualMove = true;
            m_grabOffset = global - m_window->pos();
        }
    }
}

void CaptionBar::mouseReleaseEvent(QMouseEvent *)
{
    m_moveArmed = false;
    m_manualMove = false;
}

void CaptionBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_moveArmed = false;
    m_manualMove = false;
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (iconRect().contains(event->position().toPoint())) {
        if (m_menuTimer) {
            m_menuTimer->stop();
        }
        m_window->close();
        return;
    }
    if (m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint)) {
        toggleMaximized();
    }
}
