#include "host/special_folders.h"

namespace nv::host {

std::string GetSpecialFolder(Host& host, int csidl) {
    const std::string path = host.SpecialFolderPath(csidl);
    return path.substr(0, path.find('\0'));
}

std::string FirstSpecialFolder(Host& host, std::initializer_list<int> csidls) {
    for (const int csidl : csidls) {
        std::string folder = GetSpecialFolder(host, csidl);
        if (!folder.empty()) {
            return folder;
        }
    }
    return {};
}

std::string DesktopFolder(Host& host) {
    return FirstSpecialFolder(
        host, {kCsidlCommonDesktopDirectory, kCsidlDesktopDirectory, kCsidlDesktop});
}

std::string QuickLaunchBaseFolder(Host& host) {
    return GetSpecialFolder(host, kCsidlAppData);
}

std::string ProgramsMenuFolder(Host& host) {
    return FirstSpecialFolder(host, {kCsidlCommonPrograms, kCsidlPrograms});
}

std::string ProgramFilesFolder(Host& host) {
    std::string folder = GetSpecialFolder(host, kCsidlProgramFiles);
    return folder.empty() ? std::string(kFallbackProgramFiles) : folder;
}

}  // namespace nv::host
