#pragma once

#include <functional>

#include <QPoint>

class QWindow;

namespace Platform {

// How whatever started the program asked its first window to appear.
enum class StartupShowState {
    Default,   // the program's own choice (the main window starts maximised)
    Minimized, // e.g. a Windows shortcut set to "Run: Minimized"
};

StartupShowState startupShowState();

// What lies under a point of a window whose frame the program draws itself.
enum class FrameArea {
    None, // outside the window
    Client,
    Caption,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

// Given a point in the window's own (device-independent) coordinates.
using FrameAreaAt = std::function<FrameArea(QPoint)>;

// True where the window system keeps driving moving, resizing, snapping and the shadow of a
// window whose frame the program draws (the window keeps its frame styles and is asked what
// lies under the mouse); false where the program must make the window frameless and start
// moves and resizes itself.
bool hasNativeCustomFrames();

// Hands a created window whose frame the program draws to the window system; areaAt answers
// what lies under a point. Returns false where hasNativeCustomFrames() is false.
bool attachCustomFrame(QWindow *window, FrameAreaAt areaAt);
void detachCustomFrame(QWindow *window);

// Opens the window system's own window menu at a global position; false where there is none
// the program can open.
bool showSystemMenu(QWindow *window, QPoint globalPos);

} // namespace Platform
