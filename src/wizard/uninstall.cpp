// Removal of an installation: the product's files, its shortcuts and the record's values.
// Every deletion may fail without stopping the rest; nothing is reported.

#include <array>

#include "base/error.h"
#include "host/host.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/uninstall_entry.h"

namespace nv::wizard {

namespace {

// Files removed from the installation folder, in this order. "Setup.exe" and "norvis.ini"
// stay: the first is the program doing the removal, the second keeps the user's language.
constexpr std::array<const char*, 14> kInstalledFiles = {
    "Norvis.exe",  "Norvis.bak",    "Norvis.hlp",    "Norvis.hlb",  "Norvis_uk.hlp",
    "Norvis_uk.hlb", "Norvis.gid",  "Norvis_uk.gid", "Deutsch.lng", "English.lng",
    "NV.OBJ",      "NV.VER",        "brannok.wav",   "Updates\\Sorvelin.exe",
};

constexpr std::array<const char*, 4> kLinkValues = {
    kValueDesktopLink, kValueQuicklaunchLink, kValueStartmenuLink, kValueSetupLink};

// Everything up to and including the last backslash or drive colon.
std::string FolderPart(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

void RemoveFolderIfEmpty(host::Host& host, const std::string& folder) {
    try {
        host.RemoveFolder(folder);
    } catch (const nv::Error&) {
        // Not empty, or not there: it stays.
    }
}

}  // namespace

void TfInstaller::Uninstall(const std::string& installedPath) {
    btnNext->SetEnabled(false);
    btnPrev->SetVisible(false);
    btnCancel->SetCaption(lbFinish->Caption());

    std::string folder = installedPath;
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    for (const char* name : kInstalledFiles) {
        host_.RemoveFile(folder + name);
    }
    RemoveFolderIfEmpty(host_, folder + "Updates");

    auto key = host_.OpenKey(kRecordKey, host::KeyAccess::kAllAccess);
    if (!key) {
        return;
    }
    std::string startMenuLink;
    for (const char* name : kLinkValues) {
        const std::string link = key->ReadString(name);
        host_.RemoveFile(link);
        if (name == kValueStartmenuLink) {
            startMenuLink = link;
        }
    }
    RemoveFolderIfEmpty(host_, FolderPart(startMenuLink));
    for (const char* name : kLinkValues) {
        key->DeleteValue(name);
    }
    key->DeleteValue(kValueInstalledPath);
    RemoveUninstallEntry(host_);
}

}  // namespace nv::wizard
