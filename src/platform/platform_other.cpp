#include "platform.h"

namespace Platform {

// X11 and Wayland hand a new program no show state of its own; a minimised start is the
// window manager's business there.
StartupShowState startupShowState()
{
    return StartupShowState::Default;
}

} // namespace Platform
