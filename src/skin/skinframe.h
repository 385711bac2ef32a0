#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include "platform.h"

#include "skintheme.h"
class CaptionBar;
class FrameGrip;

struct FrameMetrics
{
    int border = 4;        // resize band and drawn border on every side
    int captionHeight = 28; // caption bar below the top border
    int cornerGrip = 16;   // length along an edge that resizes diagonally
};

// What the frame of a window of `size` has at `pos` (window coordinates). Edges and corners
// exist only where the window can be resized and is not maximised; the caption band includes
// the top border there.
Platform::FrameArea frameHitTest(QSize size, QPoint pos, const FrameMetrics &metrics,
                                 bool resizable, bool maximized);

Qt::Edges edgesForArea(Platform::FrameArea area);

// The skin's frame on one top-level window: reserves the border and caption bar with the
// window's contentsMargins, adds the caption bar and the resize grips as children and paints
// the border. Lives as a child of the window it decorates.
class SkinFrame final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SkinFrame)

public:
    SkinFrame(QWidget *window, SkinThemePtr theme);
    ~SkinFrame() override;

    FrameMetrics metrics() const;
    bool resizable() const;
    Platform::FrameArea areaAt(QPoint windowPos) const;
    CaptionBar *captionBar() const { return m_caption; }
    // True when the window system moves and resizes the window from the skin's hit-test.
    bool isNativelyDriven() const { return m_attached; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void relayout();
    void applyMargins();
    bool isFilling() const;
    void attachNative();
    void paintBorder();

    QWidget *m_window;
    SkinThemePtr m_keep; // keeps the skin alive as long as anything draws from it
    const SkinTheme &m_theme;
    FrameMetrics m_metrics;
    bool m_attached = false;
    CaptionBar *m_caption = nullptr;
    FrameGrip *m_grips[4] = {};
};
