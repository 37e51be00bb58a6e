#pragma once
// Starting a program as the user who runs the desktop, from an elevated setup.

#include <string>

namespace nv::host {

// Asks the desktop shell's own process to open `file` with `folder` as working folder, so the
// program runs with the desktop user's rights rather than the setup's elevated ones. False
// when no desktop shell offers that (no shell window, or a shell without the automation
// interfaces, as under Wine); the caller then starts the program itself.
bool OpenThroughDesktopShell(const std::string& file, const std::string& folder);

// Whether the setup may start a program itself when no desktop shell does it: only when that
// gives the program no more rights than the desktop user has — not elevated, or under Wine,
// where every program runs elevated anyway and the desktop shell never answers.
bool DirectStartAllowed(bool elevated, bool underWine);

}  // namespace nv::host
