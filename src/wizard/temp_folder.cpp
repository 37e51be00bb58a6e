#include "wizard/temp_folder.h"

namespace nv::wizard {

namespace {

std::unique_ptr<host::HeldFolder> SafeOrCreated(host::Host& host, const std::string& folder) {
    if (!host.FolderExists(folder) &&
        !host.CreateProtectedFolder(folder, host::FolderProtection::kPrivate)) {
        return nullptr;
    }
    // Checked on the handle that is kept, made or found alike: a folder swapped in between
    // the creation and this check fails it.
    std::unique_ptr<host::HeldFolder> hold = host.HoldSafeFolder(folder);
    if (hold && !hold->OnLocalDiskWithAccessLists()) {
        return nullptr;  // without access lists, anyone may write to it
    }
    return hold;
}

}  // namespace

std::optional<TempFolder> ChooseTempFolder(host::Host& host) {
    for (const char* folder : {kTempFolder, kTempFolderFallback}) {
        if (std::unique_ptr<host::HeldFolder> hold = SafeOrCreated(host, folder)) {
            return TempFolder{folder, std::move(hold)};
        }
    }
    return std::nullopt;
}

}  // namespace nv::wizard
