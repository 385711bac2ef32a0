#include "keyrouting.h"

bool keyReservedForPage(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        return !(modifiers & (Qt::AltModifier | Qt::KeypadModifier));
    default:
        return false;
    }
}

BrowserAction browserActionForKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (keyReservedForPage(key, modifiers))
        return BrowserAction::None;
    // The keypad's own plus, minus and zero zoom as well.
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    switch (mods) {
    case Qt::NoModifier:
        switch (key) {
        case Qt::Key_F5:
            return BrowserAction::Reload;
        case Qt::Key_Escape:
            return BrowserAction::Stop;
        case Qt::Key_F11:
            return BrowserAction::FullScreen;
        default:
            return BrowserAction::None;
        }
    case Qt::ControlModifier:
    case Qt::ControlModifier | Qt::ShiftModifier:
        switch (key) {
        case Qt::Key_F5:
            return BrowserAction::ReloadBypassingCache;
        case Qt::Key_R:
            return mods == Qt::ControlModifier ? BrowserAction::Reload
                                               : BrowserAction::ReloadBypassingCache;
        case Qt::Key_F:
            return mods == Qt::ControlModifier ? BrowserAction::Find : BrowserAction::None;
        case Qt::Key_P:
            return mods == Qt::ControlModifier ? BrowserAction::Print : BrowserAction::None;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return BrowserAction::ZoomIn;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return BrowserAction::ZoomOut;
        case Qt::Key_0:
            return mods == Qt::ControlModifier ? BrowserAction::ZoomReset : BrowserAction::None;
        default:
            return BrowserAction::None;
        }
    case Qt::AltModifier:
        switch (key) {
        case Qt::Key_Left:
            return BrowserAction::Back;
        case Qt::Key_Right:
            return BrowserAction::Forward;
        default:
            return BrowserAction::None;
        }
    default:
        return BrowserAction::None;
    }
}
