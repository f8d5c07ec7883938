// Whether the viewer has a display to open its window on. Without one, Qt
// would print a plugin message and abort; the viewer says so plainly and
// ends with status 1 instead.
#pragma once

namespace quorvel {

// True when Qt is told which platform to use (QT_QPA_PLATFORM, or a
// -platform argument, which Qt takes from argv) or an X11 or Wayland display
// is named (DISPLAY, WAYLAND_DISPLAY). A display that is named but cannot be
// reached is still Qt's to report.
bool HasDisplay(int argc, const char* const* argv);

// The line printed on stderr when there is none.
inline constexpr const char* kNoDisplayMessage =
    "quorvel: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
    "'quorvel-dump FILE' prints a box file as text\n";

}  // namespace quorvel
