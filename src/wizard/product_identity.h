#pragma once
// The product's identity, named once: its name and publisher, the folder, shortcut and program
// names it is installed under, the registry keys and values that record an installation, the
// languages written into its initialisation file, and its files (what the installation places
// and in which order, and what the removal deletes). Texts are Windows-1252.

#include <array>
#include <cstddef>
#include <string>

#include "base/text.h"

namespace nv::wizard {

inline constexpr char kProductName[] = "Norvista";
inline constexpr char kPublisher[] = "Halvorn";
// The folder's name proposed below the program-files folder, and the start menu's folder.
inline constexpr char kFolderName[] = "Norvista";
// The shortcuts to the program, and the start menu's shortcut to the setup copy.
inline constexpr char kLinkName[] = "Norvista.lnk";
inline constexpr char kUninstallLinkName[] = "Uninstall.lnk";
// The product's program, which the shortcuts and Finish start.
inline constexpr char kProductExecutable[] = "Norvis.exe";
// The setup's copy of itself in the installation folder, which removal starts from.
inline constexpr char kSetupCopy[] = "Setup.exe";
// The sub-folder the updater goes into.
inline constexpr char kUpdatesFolder[] = "Updates";

// The installation record under HKEY_LOCAL_MACHINE. The folder's value is written as
// "InstallPath" and read and deleted as "Installpath": registry value names compare without
// regard to case, so both name the one value.
inline constexpr char kRecordKey[] = R"(\Software\Halvorn\Norvista)";
inline constexpr char kValueInstallPath[] = "InstallPath";    // as written
inline constexpr char kValueInstalledPath[] = "Installpath";  // as read and deleted
inline constexpr char kValueDesktopLink[] = "DesktopLink";
inline constexpr char kValueQuicklaunchLink[] = "QuicklaunchLink";
inline constexpr char kValueStartmenuLink[] = "StartmenuLink";
inline constexpr char kValueSetupLink[] = "SetupLink";

// The product's entry in Windows' list of installed programs, and its values.
inline constexpr char kUninstallEntryKey[] =
    R"(\Software\Microsoft\Windows\CurrentVersion\Uninstall\Norvista)";
inline constexpr char kEntryDisplayName[] = "DisplayName";
inline constexpr char kEntryPublisher[] = "Publisher";
inline constexpr char kEntryInstallLocation[] = "InstallLocation";
inline constexpr char kEntryDisplayIcon[] = "DisplayIcon";
inline constexpr char kEntryUninstallString[] = "UninstallString";
inline constexpr char kEntryEstimatedSize[] = "EstimatedSize";
inline constexpr char kEntryNoModify[] = "NoModify";
inline constexpr char kEntryNoRepair[] = "NoRepair";

// The product's initialisation file in the installation folder, and where it keeps the language.
inline constexpr char kIniFileName[] = "norvis.ini";
inline constexpr char kIniSection[] = "GENERAL";
inline constexpr char kIniKey[] = "LANGUAGE";

// The languages by the index of their item in rgLanguage: the name the wizard's language
// script knows each by, which is also the name written into the initialisation file.
inline constexpr std::array<const char*, 2> kLanguageNames = {"English", "Deutsch"};

// The name of language `index`, or null for an index outside the list (no item chosen).
constexpr const char* LanguageName(int index) {
    return index >= 0 && static_cast<std::size_t>(index) < kLanguageNames.size()
               ? kLanguageNames[static_cast<std::size_t>(index)]
               : nullptr;
}

struct ProductFile {
    const char* source;       // the entry's name, and its name in the temporary folder
    const char* destination;  // below the installation folder
};

// The product's files in copying order, which is also the order their extracted copies in the
// temporary folder are deleted in.
inline constexpr std::array<ProductFile, 8> kProductFiles = {{
    {"Norvis.exe", "Norvis.exe"},
    {"Norvis.hlp", "Norvis.hlp"},
    {"Norvis_uk.hlp", "Norvis_uk.hlp"},
    {"Deutsch.lng", "Deutsch.lng"},
    {"English.lng", "English.lng"},
    {"NV.OBJ", "NV.OBJ"},
    {"brannok.wav", "brannok.wav"},
    {"Sorvelin.exe", "Updates\\Sorvelin.exe"},
}};

// The index in kProductFiles of the file an entry named `name` is installed as, or
// kProductFiles.size() for none. Names compare without regard to the case of the letters A to Z.
inline std::size_t ProductFileIndex(const std::string& name) {
    std::size_t index = 0;
    while (index < kProductFiles.size() && !SameTextIgnoreCase(name, kProductFiles[index].source)) {
        ++index;
    }
    return index;
}

// The files a removal deletes from the installation folder, in this order: every file the
// installation places but "Setup.exe" (the program doing the removal) and "norvis.ini" (which
// keeps the user's language), and files of the product's own making (backups, help indexes,
// the version file).
inline constexpr std::array<const char*, 14> kRemovedFiles = {
    "Norvis.exe",    "Norvis.bak",
    "Norvis.hlp",    "Norvis.hlb",
    "Norvis_uk.hlp", "Norvis_uk.hlb",
    "Norvis.gid",    "Norvis_uk.gid",
    "Deutsch.lng",   "English.lng",
    "NV.OBJ",        "NV.VER",
    "brannok.wav",   "Updates\\Sorvelin.exe",
};

}  // namespace nv::wizard
