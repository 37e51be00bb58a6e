#pragma once
// Shortcut files pointing at a program.

#include <string>

#include "host/host.h"

namespace nv::host {

// Writes the shortcut `linkFile` to `target`: working folder the target's folder (up to
// its last "\" or ":"), icon number `iconIndex` of the target itself. False only when the
// shell cannot make shortcuts at all; a save that fails (its folder is missing, say) still
// gives true, and callers do not look at the result.
bool CreateShellLink(Host& host, const std::string& target, const std::string& linkFile,
                     const std::string& description, int iconIndex);

// The fields CreateShellLink writes for these arguments.
ShellLinkFields ShellLinkFieldsFor(const std::string& target, const std::string& description,
                                   int iconIndex);

}  // namespace nv::host
