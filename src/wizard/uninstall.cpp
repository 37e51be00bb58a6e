// Removal of an installation: the product's files, its shortcuts and the record's values.
// Every deletion may fail without stopping the rest; nothing is reported.

#include <array>
#include <memory>

#include "base/error.h"
#include "base/text.h"
#include "host/host.h"
#include "wizard/ignoring_failure.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/product_files.h"
#include "wizard/uninstall_entry.h"

namespace nv::wizard {

namespace {

constexpr std::array<const char*, 4> kLinkValues = {kValueDesktopLink, kValueQuicklaunchLink,
                                                    kValueStartmenuLink, kValueSetupLink};

// The installation folder, checked and held while its files are deleted: only when nobody
// else can write to it and it still is the folder the record names (no link on the way has
// turned the name into another folder). Null otherwise, and then nothing is deleted there.
std::unique_ptr<host::HeldFolder> HoldInstalledFolder(host::Host& host, const std::string& folder) {
    const std::string path = WithoutTrailingBackslashes(host.FullPathOf(folder));
    std::unique_ptr<host::HeldFolder> hold = host.HoldSafeFolder(path);
    if (!hold || !SameTextIgnoreCase(hold->FinalPath(), path)) {
        return nullptr;
    }
    return hold;
}

// The folder of a shortcut, checked and held while the shortcut is deleted from it, or null.
std::unique_ptr<host::HeldFolder> HoldShortcutFolder(host::Host& host, const std::string& link) {
    const std::string folder = ContainingFolder(link);
    return folder.empty() ? nullptr : host.HoldSafeFolder(folder);
}

}  // namespace

void TfInstaller::Uninstall(const std::string& installedPath) {
    btnNext->SetEnabled(false);
    btnPrev->SetVisible(false);
    btnCancel->SetCaption(lbFinish->Caption());

    const std::string folder = WithTrailingBackslash(installedPath);
    if (const std::unique_ptr<host::HeldFolder> held = HoldInstalledFolder(host_, folder)) {
        for (const char* name : kRemovedFiles) {
            host_.RemoveFile(folder + name);
        }
        // Not empty, or not there: it stays.
        IgnoringFailure([&] { host_.RemoveFolder(folder + kUpdatesFolder); });
    }

    auto key = host_.OpenKey(kRecordKey, host::KeyAccess::kAllAccess);
    if (!key) {
        return;
    }
    std::string startMenuLink;
    for (const char* name : kLinkValues) {
        const std::string link = key->ReadString(name);
        if (const auto held = HoldShortcutFolder(host_, link)) {
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
    for (const char* name : kLinkValues) {
        key->DeleteValue(name);
    }
    key->DeleteValue(kValueInstalledPath);
    RemoveUninstallEntry(host_);
}

}  // namespace nv::wizard
