#pragma once

#include <Qt>

// Which keys belong to the page and which ones the view turns into browser commands.

enum class BrowserAction {
    None,
    Reload,
    ReloadBypassingCache,
    Back,
    Forward,
    Stop,
    Find,
    Print,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    FullScreen,
};

// Enter, Backspace and the arrow-block Left/Right, with any modifier but Alt for the arrows:
// these are delivered to the page as plain keystrokes and never start a command or shortcut.
// The number-pad arrows carry Qt::KeypadModifier and are not reserved.
bool keyReservedForPage(int key, Qt::KeyboardModifiers modifiers);

// The browser command a key press stands for, or None. Only consulted for keys the page did
// not consume; a reserved key never maps to a command.
BrowserAction browserActionForKey(int key, Qt::KeyboardModifiers modifiers);
