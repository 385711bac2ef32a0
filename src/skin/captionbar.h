#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

class QTimer;

#include "skintheme.h"

class SkinFrame;

// One of the caption bar's minimise / maximise / close buttons, drawn from the skin's strip.
class CaptionButton final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CaptionButton)

public:
    CaptionButton(CaptionButtonKind kind, SkinThemePtr theme, QWidget *parent);
    void setKind(CaptionButtonKind kind);
    CaptionButtonKind kind() const { return m_kind; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CaptionButtonKind m_kind;
    SkinThemePtr m_keep; // keeps the skin alive as long as anything draws from it
    const SkinTheme &m_theme;
};

// The skinned caption bar: icon, title and the caption buttons the window's flags ask for.
// Dragging it moves the window, a double click maximises or restores, a click on the icon
// opens the window menu and a double click on it closes the window through its close query.
class CaptionBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CaptionBar)

public:
    CaptionBar(QWidget *window, SkinThemePtr theme, const SkinFrame &frame);

    void syncWithWindow(); // flags, title, icon and state of the window
    QRect iconRect() const;
    CaptionButton *button(CaptionButtonKind kind) const;
    bool isOverControl(QPoint pos) const; // the icon or a caption button

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void layoutButtons();
    void toggleMaximized();
    void showWindowMenu(QPoint globalPos);
    bool hasIcon() const;

    QWidget *m_window;
    SkinThemePtr m_keep; // keeps the skin alive as long as anything draws from it
    const SkinTheme &m_theme;
    const SkinFrame &m_frame;
    CaptionButton *m_minimize;
    CaptionButton *m_maximize;
    CaptionButton *m_close;
    QTimer *m_menuTimer = nullptr;
    QPoint m_grabOffset;
    bool m_moveArmed = false;
    bool m_manualMove = false;
};
