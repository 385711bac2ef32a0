#pragma once

namespace Platform {

// How whatever started the program asked its first window to appear.
enum class StartupShowState {
    Default,   // the program's own choice (the main window starts maximised)
    Minimized, // e.g. a Windows shortcut set to "Run: Minimized"
};

StartupShowState startupShowState();

} // namespace Platform
