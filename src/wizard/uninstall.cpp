// Removal of an installation: the product's files, its shortcuts and the record's values.
// Every deletion may fail without stopping the rest; nothing is reported.

#include <array>
#include <memory>

#include "base/error.h"
#include "base/text.h"
#include "host/host.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/product_identity.h"

namespace nv::wizard {

namespace {

constexpr std::array<const char*, 4> kLinkValues = {kValueDesktopLink, kValueQuicklaunchLink,
                                                    kValueStartmenuLink, kValueSetupLink};

// The recorded folder as a full path without a trailing backslash ("C:\" stays a root).
std::string FullFolderPath(host::Host& host, const std::string& folder) {
    std::string path = WithoutTrailingBackslashes(host.FullPathOf(folder));
    if (path.size() == 2 && path[1] == ':') {
        path += '\\';
    }
    return path;
}

// The folder of a shortcut, checked and held while the shortcut is deleted from it, or null.
std::unique_ptr<host::HeldFolder> HoldShortcutFolder(host::Host& host, const std::string& link) {
    const std::string folder = ContainingFolder(link);
    return folder.empty() ? nullptr : host.HoldSafeFolder(folder);
}

}  // namespace

void TfInstaller::Uninstall(const std::string& installedPath) {
    // The installation folder is checked from its drive's root down and held while its files
    // are deleted: only when nobody else can change it or a folder above it, and it still is
    // the folder the record names (no link on the way has turned the name into another).
    // A folder that is there but fails the check keeps its files, and the record and the
    // entry stay too, so that the next start offers the removal again; one that is gone
    // leaves nothing to delete.
    const std::string folder = WithTrailingBackslash(installedPath);
    const std::string path = FullFolderPath(host_, folder);
    bool refused = false;
    if (const std::unique_ptr<host::HeldFolder> held =
            host_.HoldSafePath(path, host::PathEnd::kWrittenInto)) {
        // A file that cannot be deleted now (the product still runs) goes at the next restart,
        // and so does "Updates" after it; what is not there is left alone. The deletions are
        // scheduled only here, inside the folder just checked from the root down: they run as
        // SYSTEM by path, and nobody but administrators can change that path meanwhile.
        for (const char* name : kRemovedFiles) {
            if (!host_.RemoveFile(folder + name)) {
                host_.ScheduleRemovalAtRestart(folder + name);
            }
        }
        try {
            host_.RemoveFolder(folder + kUpdatesFolder);
        } catch (const nv::Error&) {
            host_.ScheduleRemovalAtRestart(folder + kUpdatesFolder);  // not empty, or not there
        }
    } else {
        refused = host_.FolderExists(path);
    }

    auto key = host_.OpenKey(kRecordKey, host::KeyAccess::kAllAccess);
    if (!key) {
        return;
    }
    std::string startMenuLink;
    for (const char* name : kLinkValues) {
        const std::string link = key->ReadString(name);
        if (name == kValueQuicklaunchLink) {
            // In the account's own folder, which no check could vouch for: the file itself is
            // judged on the handle it is deleted through.
            host_.RemoveShortcutFile(link);
        } else if (const auto held = HoldShortcutFolder(host_, link)) {
            host_.RemoveShortcutFile(link);  // a regular ".lnk" file, nothing else
        }
        if (name == kValueStartmenuLink) {
            startMenuLink = link;
        }
    }
    // The product's own start-menu folder, through the handle it was checked on.
    if (const auto menu = HoldShortcutFolder(host_, startMenuLink)) {
        menu->RemoveIfEmpty();
    }
    if (refused) {
        return;
    }
    for (const char* name : kLinkValues) {
        key->DeleteValue(name);
    }
    key->DeleteValue(kValueInstalledPath);
    RemoveUninstallEntry(host_);
}

}  // namespace nv::wizard
