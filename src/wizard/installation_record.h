#pragma once
// The installation record: five text values under HKEY_LOCAL_MACHINE that describe an
// installation, the product's initialisation file with the chosen language, and the product's
// entry in Windows' list of installed programs (Settings > Apps, Programs and Features): a key
// of its own under the system's uninstall key that names the product, its folder and the
// command that removes it, which is the setup copied into that folder.

#include <cstdint>
#include <map>
#include <string>

#include "host/host.h"
#include "wizard/product_identity.h"

namespace nv::wizard {

// What an installation writes into the record.
struct InstallationRecord {
    std::string installPath;  // ends in a backslash
    std::string desktopLink;
    std::string quicklaunchLink;
    std::string startmenuLink;
    std::string setupLink;
};

// The folder an earlier installation recorded, or the empty text when there is none (the
// key does not open, or the value is missing). A value of a type other than text raises.
std::string ReadInstalledPath(host::Host& host);

// Opens (creating it when missing) the record's key and writes all five values, empty ones
// included, in their fixed order. A key that cannot be opened or created writes nothing and
// gives false; a value that cannot be written raises.
bool WriteInstallationRecord(host::Host& host, const InstallationRecord& record);

// Stores the name of language `languageIndex` (kLanguageNames) in `iniFile`, unless the
// file already names one; an index outside the list stores nothing. Raises when the file
// cannot be written.
void SetProductLanguage(host::Host& host, const std::string& iniFile, int languageIndex);

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
