#include "wizard/temp_folder.h"

namespace nv::wizard {

namespace {

bool SafeOrCreated(host::Host& host, const std::string& folder) {
    if (host.FolderExists(folder)) {
        return host.IsSafeExistingFolder(folder);
    }
    return host.CreatePrivateFolder(folder);
}

}  // namespace

std::optional<std::string> ChooseTempFolder(host::Host& host) {
    for (const char* folder : {kTempFolder, kTempFolderFallback}) {
        if (SafeOrCreated(host, folder)) {
            return folder;
        }
    }
    return std::nullopt;
}

}  // namespace nv::wizard
