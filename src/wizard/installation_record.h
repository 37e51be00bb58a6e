#pragma once
// The installation record: five text values under HKEY_LOCAL_MACHINE that describe an
// installation, and the product's initialisation file with the chosen language.

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

}  // namespace nv::wizard
