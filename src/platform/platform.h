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

// False when the machine plainly has no graphics device that could run OpenGL in hardware, so
// any OpenGL there would be a software rasteriser. Cheap: asks no graphics library.
bool hasGpuDevice();

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

// True where the window system can keep driving moving, resizing, snapping and the shadow of a
// frameless window whose frame the program draws, once the window is attached below.
bool hasNativeCustomFrames();

// Hands a created, frameless window whose frame the program draws to the window system;
// areaAt answers what lies under a point. True when the window system now moves and resizes
// the window itself; false where the program must start moves and resizes (X11, Wayland).
bool attachCustomFrame(QWindow *window, FrameAreaAt areaAt);
void detachCustomFrame(QWindow *window);

// Opens the window system's own window menu at a global position; false where there is none
// the program can open.
bool showSystemMenu(QWindow *window, QPoint globalPos);

} // namespace Platform
