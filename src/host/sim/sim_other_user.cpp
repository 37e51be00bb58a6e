// Another user of the simulated machine, acting between the program's operations: the acts a
// standard user can take against an elevated setup (renaming its folders away, putting
// folders and files of their own in their place, planting links), limited by what the
// folders' permissions and the program's open handles allow.

#include "host/sim/sim_host.h"
#include "host/sim/sim_paths.h"

namespace nv::host::sim {

bool SimHost::OpenToOthers(const std::string& fullPath) {
    const Node* node = Find(fullPath);
    return node != nullptr && node->folder && IsWritableFolder(fullPath) &&
           (node->security.othersMayWrite || node->security.owner == SimOwner::kOtherUser);
}

bool SimHost::OtherUserRename(const std::string& from, const std::string& to) {
    const std::optional<std::string> source = Resolve(from);
    const std::optional<std::string> target = Resolve(to);
    if (!source || !target || Find(*source) == nullptr || Find(*target) != nullptr ||
        ParentFolder(*source).empty() || !OpenToOthers(ParentFolder(*source)) ||
        !OpenToOthers(ParentFolder(*target)) || HeldAtOrBelow(*source) ||
        IsAtOrBelow(*target, *source)) {
        return false;
    }
    std::map<std::string, Node> moved;
    for (auto it = nodes_.begin(); it != nodes_.end();) {
        if (IsAtOrBelow(it->second.path, *source)) {
            Node node = std::move(it->second);
            node.path = *target + node.path.substr(source->size());
            moved.emplace(PathKey(node.path), std::move(node));
            it = nodes_.erase(it);
        } else {
            ++it;
        }
    }
    nodes_.merge(moved);
    return true;
}

bool SimHost::OtherUserWriteFile(const std::string& path, const std::string& data) {
    const std::optional<std::string> full = Resolve(path);
    if (!full || !ParentIsFolder(*full) || !OpenToOthers(ParentFolder(*full))) {
        return false;
    }
    Node* node = Find(*full);
    if (node != nullptr && (node->folder || node->handles > 0 || node->inUse)) {
        return false;
    }
    AddFile(*full, data);
    return true;
}

bool SimHost::OtherUserPlantLink(const std::string& path, const std::string& target) {
    const std::optional<std::string> full = Resolve(path);
    const std::optional<std::string> to = Resolve(target);
    if (!full || !to || !ParentIsFolder(*full) || !OpenToOthers(ParentFolder(*full))) {
        return false;
    }
    const Node* node = Find(*full);
    if (node != nullptr && (node->folder || node->handles > 0 || node->inUse)) {
        return false;
    }
    AddFileLink(*full, *to);
    return true;
}

bool SimHost::OtherUserAddFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (!full || !ParentIsFolder(*full) || !OpenToOthers(ParentFolder(*full)) ||
        Find(*full) != nullptr) {
        return false;
    }
    Node& node = nodes_[PathKey(*full)];
    node.path = *full;
    node.folder = true;
    node.security = SimFolderSecurity{SimOwner::kOtherUser, true, false};
    return true;
}

}  // namespace nv::host::sim
