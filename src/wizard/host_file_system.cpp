#include "wizard/host_file_system.h"

#include <utility>

#include "base/error.h"
#include "base/text.h"

namespace nv::wizard {

namespace {

std::string HeldKey(const std::string& path) {
    return LowerCaseAscii(path);
}

}  // namespace

std::shared_ptr<host::FileStream> HostFileSystem::OpenRead(const std::string& path) {
    const auto held = held_.find(HeldKey(path));
    return held == held_.end() ? host_.OpenFileForReading(path) : held->second;
}

std::shared_ptr<host::FileStream> HostFileSystem::Create(const std::string& path) {
    // A file made earlier in this run under the same name (a later entry of that name) goes
    // first, through its handle; while it stays, the name cannot be made anew.
    if (const auto held = held_.find(HeldKey(path)); held != held_.end()) {
        if (!held->second->Remove()) {
            throw Error(ErrorKind::kCreateFailed, path);
        }
        held_.erase(held);
    }
    const std::string prefix = folder_ != nullptr ? folder_->Path() + '\\' : std::string();
    const bool inside = folder_ != nullptr && path.size() > prefix.size() &&
                        SameTextIgnoreCase(path.substr(0, prefix.size()), prefix) &&
                        path.find('\\', prefix.size()) == std::string::npos;
    std::shared_ptr<host::FileStream> stream =
        inside ? folder_->CreateFileInside(path.substr(prefix.size()))
               : host_.CreateFileForWriting(path);
    held_[HeldKey(path)] = stream;
    return stream;
}

bool HostFileSystem::DeleteFile(const std::string& path) {
    const auto held = held_.find(HeldKey(path));
    if (held == held_.end()) {
        return host_.RemoveFile(path);
    }
    if (!held->second->Remove()) {
        return false;
    }
    held_.erase(held);
    return true;
}

host::FileStream* HostFileSystem::Held(const std::string& path) {
    const auto held = held_.find(HeldKey(path));
    return held == held_.end() ? nullptr : held->second.get();
}

}  // namespace nv::wizard
