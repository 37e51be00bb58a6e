#include "wizard/temp_folder.h"

#include "base/error.h"

namespace nv::wizard {

namespace {

bool ExistsOrCreated(host::Host& host, const std::string& folder) {
    if (host.FolderExists(folder)) {
        return true;
    }
    try {
        host.CreateFolder(folder);
        return true;
    } catch (const nv::Error&) {
        return false;
    }
}

}  // namespace

std::optional<std::string> ChooseTempFolder(host::Host& host) {
    for (const char* folder : {kTempFolder, kTempFolderFallback}) {
        if (ExistsOrCreated(host, folder)) {
            return folder;
        }
    }
    return std::nullopt;
}

}  // namespace nv::wizard
