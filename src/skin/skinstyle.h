#pragma once

#include <QProxyStyle>

#include "skintheme.h"

// Draws pop-up menus and the push buttons, check boxes, radio buttons, combo boxes and edit
// boxes it is set on from the skin; everything else is the application style's.
class SkinStyle final : public QProxyStyle
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SkinStyle)

public:
    explicit SkinStyle(SkinThemePtr theme);

    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;

private:
    SkinThemePtr m_keep; // keeps the skin alive as long as anything draws from it
    const SkinTheme &m_theme;
};
