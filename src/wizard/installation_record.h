#pragma once
// The installation record: five text values under HKEY_LOCAL_MACHINE that describe an
// installation, and the product's initialisation file with the chosen language.

#include <string>

#include "host/host.h"

namespace nv::wizard {

inline constexpr char kRecordKey[] = "\\Software\\Halvorn\\Norvista";
// The folder's value is written as "InstallPath" and read and deleted as "Installpath":
// registry value names compare without regard to case, so both name the one value.
inline constexpr char kValueInstallPath[] = "InstallPath";    // as written
inline constexpr char kValueInstalledPath[] = "Installpath";  // as read and deleted
inline constexpr char kValueDesktopLink[] = "DesktopLink";
inline constexpr char kValueQuicklaunchLink[] = "QuicklaunchLink";
inline constexpr char kValueStartmenuLink[] = "StartmenuLink";
inline constexpr char kValueSetupLink[] = "SetupLink";

inline constexpr char kIniFileName[] = "norvis.ini";
inline constexpr char kIniSection[] = "GENERAL";
inline constexpr char kIniKey[] = "LANGUAGE";

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

// Stores the language of radio item `languageIndex` (0 English, 1 Deutsch) in `iniFile`,
// unless the file already names one. Raises when the file cannot be written.
void SetProductLanguage(host::Host& host, const std::string& iniFile, int languageIndex);

}  // namespace nv::wizard
