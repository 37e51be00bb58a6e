#pragma once
// The product's entry in Windows' list of installed programs (Settings > Apps, Programs and
// Features): a key of its own under the system's uninstall key that names the product, its
// folder and the command that removes it, which is the setup copied into that folder.

#include <cstdint>
#include <map>
#include <string>

#include "host/host.h"
#include "wizard/product_identity.h"

namespace nv::wizard {

// `bytes` in KiB, rounded up; a size beyond what a DWORD holds gives its largest value.
std::uint32_t SizeInKiB(std::uint64_t bytes);

// Writes the entry for an installation in `installFolder` (ending in a backslash) whose
// product files have `productSizes` (bytes by name) and whose setup copy `setupBytes`.
// Nothing is reported: a key that cannot be opened or created writes nothing, and a value
// that cannot be written takes the key away again, so that the list never shows a half
// entry (one without a name, or without the command that removes it).
void WriteUninstallEntry(host::Host& host, const std::string& installFolder,
                         const std::map<std::string, std::uint32_t>& productSizes,
                         std::uint64_t setupBytes);

// Deletes the entry, a key that belongs to the product alone; a failure is ignored.
void RemoveUninstallEntry(host::Host& host);

}  // namespace nv::wizard
