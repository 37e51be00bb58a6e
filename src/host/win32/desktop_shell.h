#pragma once
// Starting a program as the user who runs the desktop, from an elevated setup.

#include <string>

namespace nv::host {

// Asks the desktop shell's own process to open `file` with `folder` as working folder, so the
// program runs with the desktop user's rights rather than the setup's elevated ones. False
// when no desktop shell offers that (no shell window, or a shell without the automation
// interfaces, as under Wine); the caller then starts the program itself.
bool OpenThroughDesktopShell(const std::string& file, const std::string& folder);

}  // namespace nv::host
