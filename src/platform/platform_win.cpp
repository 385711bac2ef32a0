#include "platform.h"

#include <windows.h>

namespace Platform {

// Qt does not read STARTUPINFO; a shortcut's "Run: Minimized" arrives only here.
StartupShowState startupShowState()
{
    STARTUPINFOW info{};
    info.cb = sizeof(info);
    GetStartupInfoW(&info);
    // A shortcut set to "Minimized" asks for SW_SHOWMINNOACTIVE; any other request (maximised
    // included) leaves the window to start maximised.
    if ((info.dwFlags & STARTF_USESHOWWINDOW) != 0 && info.wShowWindow == SW_SHOWMINNOACTIVE) {
        return StartupShowState::Minimized;
    }
    return StartupShowState::Default;
}

} // namespace Platform
