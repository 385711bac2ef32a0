#include "platform.h"

#include <QDir>

namespace Platform {

// X11 and Wayland hand a new program no show state of its own; a minimised start is the
// window manager's business there.
StartupShowState startupShowState()
{
    return StartupShowState::Default;
}

bool hasGpuDevice()
{
#if defined(Q_OS_LINUX)
    // Every Linux GPU driver that can render (Mesa's, and NVIDIA's with its DRM module) offers a
    // render node; without one, OpenGL can only be Mesa's llvmpipe.
    return !QDir(QStringLiteral("/dev/dri")).entryList({QStringLiteral("renderD*")}, QDir::System).isEmpty();
#else
    return true;
#endif
}

// X11 and Wayland have no way for a client to answer frame questions: the program draws a
// frameless window and asks the window manager to move or resize it.
bool hasNativeCustomFrames()
{
    return false;
}

bool attachCustomFrame(QWindow *, FrameAreaAt)
{
    return false;
}

void detachCustomFrame(QWindow *) {}

bool showSystemMenu(QWindow *, QPoint)
{
    return false;
}

} // namespace Platform
