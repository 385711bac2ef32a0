#include "skinstyle.h"

#include <QAbstractButton>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

#include "buttonskin.h"
#include "skintheme.h"

SkinStyle::SkinStyle(SkinThemePtr theme) : QProxyStyle(), m_keep(theme), m_theme(*m_keep) {}

void SkinStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    widget->setAttribute(Qt::WA_Hover);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Highlight, m_theme.controlAccent);
    palette.setColor(QPalette::Base, m_theme.controlBase);
    widget->setPalette(palette);
}

void SkinStyle::unpolish(QWidget *widget)
{
    QProxyStyle::unpolish(widget);
}

void SkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                              QPainter *painter, const QWidget *widget) const
{
    const bool enabled = option->state.testFlag(State_Enabled);
    const bool hot = option->state.testFlag(State_MouseOver);
    const bool focused = option->state.testFlag(State_HasFocus);
    switch (element) {
    case PE_PanelButtonCommand: {
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        const bool isDefault = button && button->features.testFlag(QStyleOptionButton::DefaultButton);
        const bool pressed = option->state.testFlag(State_Sunken) || option->state.testFlag(State_On);
        drawNineSlice(*painter, option->rect,
                      m_theme.button(buttonImageFor(enabled, pressed, hot, focused, isDefault)),
                      m_theme.buttonSlice);
        return;
    }
    case PE_FrameDefaultButton:
    case PE_FrameButtonBevel:
        return;
    case PE_FrameFocusRect:
        if (qobject_cast<const QAbstractButton *>(widget)) {
            return; // the hot image shows the focus
        }
        break;
    case PE_PanelMenu:
    case PE_FrameMenu:
        if (element == PE_PanelMenu || qobject_cast<const QMenu *>(widget)) {
            drawNineSlice(*painter, option->rect, m_theme.menuPanel, m_theme.menuSlice);
        }
        return;
    case PE_IndicatorCheckBox:
    case PE_IndicatorRadioButton: {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        const QColor border = !enabled ? m_theme.buttonTextDisabled
            : (hot || focused)        ? m_theme.controlAccent
                                      : m_theme.controlBorder;
        painter->setPen(border);
        painter->setBrush(enabled ? m_theme.controlBase : m_theme.window);
        const bool on = option->state.testFlag(State_On);
        const QColor mark = enabled ? m_theme.controlAccent : m_theme.buttonTextDisabled;
        if (element == PE_IndicatorRadioButton) {
            painter->drawEllipse(r);
            if (on) {
                painter->setPen(Qt::NoPen);
                painter->setBrush(mark);
                painter->drawEllipse(r.center(), r.width() / 4.5, r.height() / 4.5);
            }
        } else {
            painter->drawRoundedRect(r, 2, 2);
            if (on) {
                QPainterPath tick;
                tick.moveTo(r.left() + r.width() * 0.22, r.top() + r.height() * 0.52);
                tick.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.72);
                tick.lineTo(r.left() + r.width() * 0.78, r.top() + r.height() * 0.30);
                painter->setPen(QPen(mark, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter->setBrush(Qt::NoBrush);
                painter->drawPath(tick);
            } else if (option->state.testFlag(State_NoChange)) {
                painter->fillRect(r.adjusted(3, r.height() / 2 - 1, -3, -r.height() / 2 + 1), mark);
            }
        }
        painter->restore();
        return;
    }
    case PE_PanelLineEdit:
    case PE_FrameLineEdit: {
        if (element == PE_PanelLineEdit) {
            painter->fillRect(option->rect, enabled ? m_theme.controlBase : m_theme.window);
        }
        const QColor border = focused ? m_theme.controlAccent : m_theme.controlBorder;
        painter->save();
        painter->setPen(border);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(option->rect).adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void SkinStyle::drawControl(ControlElement element, const QStyleOption *option,
                            QPainter *painter, const QWidget *widget) const
{
    if (element == CE_PushButtonBevel) {
        drawPrimitive(PE_PanelButtonCommand, option, painter, widget);
        return;
    }
    if (element == CE_PushButtonLabel) {
        QStyleOptionButton copy = *qstyleoption_cast<const QStyleOptionButton *>(option);
        const QColor text = copy.state.testFlag(State_Enabled) ? m_theme.buttonText
                                                               : m_theme.buttonTextDisabled;
        copy.palette.setColor(QPalette::ButtonText, text);
        QProxyStyle::drawControl(element, &copy, painter, widget);
        return;
    }
    if (element == CE_MenuItem) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (item->menuItemType == QStyleOptionMenuItem::Separator) {
                const int y = item->rect.center().y();
                painter->setPen(m_theme.menuSeparator);
                painter->drawLine(item->rect.left() + 6, y, item->rect.right() - 6, y);
                return;
            }
            QStyleOptionMenuItem copy = *item;
            const bool enabled = item->state.testFlag(State_Enabled);
            const bool selected = enabled && item->state.testFlag(State_Selected);
            if (selected) {
                drawNineSlice(*painter, item->rect, m_theme.menuSelected, m_theme.menuSlice);
            }
            copy.state.setFlag(State_Selected, false);
            const QColor text = !enabled ? m_theme.menuTextDisabled
                : selected               ? m_theme.menuTextSelected
                                         : m_theme.menuText;
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                copy.palette.setColor(group, QPalette::Text, text);
                copy.palette.setColor(group, QPalette::WindowText, text);
                copy.palette.setColor(group, QPalette::ButtonText, text);
            }
            copy.palette.setColor(QPalette::Disabled, QPalette::Text, m_theme.menuTextDisabled);
            copy.palette.setColor(QPalette::Disabled, QPalette::WindowText, m_theme.menuTextDisabled);
            copy.palette.setColor(QPalette::Disabled, QPalette::Light, Qt::transparent);
            QProxyStyle::drawControl(element, &copy, painter, widget);
            return;
        }
    }
    if (element == CE_MenuEmptyArea) {
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int SkinStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                           const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 3;
    case PM_DefaultFrameWidth:
        if (qobject_cast<const QMenu *>(widget)) {
            return 1;
        }
        break;
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize SkinStyle::sizeFromContents(ContentsType type, const QStyleOption *option,
                                  const QSize &size, const QWidget *widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (item && item->menuItemType != QStyleOptionMenuItem::Separator) {
            result.setHeight(qMax(result.height(), 26));
        } else {
            result.setHeight(qMax(result.height(), 9));
        }
    }
    return result;
}
