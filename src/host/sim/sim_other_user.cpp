// Others acting on the simulated machine between the program's operations: another user, or
// the account's own unelevated programs, taking the acts a standard user can take against an
// elevated setup (renaming its folders away, putting folders and files of their own in their
// place, planting links, re-pointing junctions, turning an empty folder into a mount point),
// limited by what the folders' permissions and the program's open handles allow.

#include "host/sim/sim_host.h"
#include "host/sim/sim_paths.h"

namespace nv::host::sim {
namespace {

SimOwner OwnerOf(SimActor actor) {
    return actor == SimActor::kAccount ? SimOwner::kCurrentUser : SimOwner::kOtherUser;
}

}  // namespace

bool SimHost::ActorMayChange(const std::string& fullPath) {
    const Node* node = Find(fullPath);
    return node != nullptr && node->folder && node->junctionTarget.empty() &&
           IsWritableFolder(fullPath) &&
           (node->security.othersMayWrite || node->security.owner == OwnerOf(actor_));
}

bool SimHost::ActorMayAdd(const std::string& fullPath) {
    const Node* node = Find(fullPath);
    return ActorMayChange(fullPath) ||
           (node != nullptr && node->folder && node->junctionTarget.empty() &&
            IsWritableFolder(fullPath) && node->security.othersMayAdd);
}

bool SimHost::ActorMayPutFile(const std::string& fullPath) {
    if (!ParentIsFolder(fullPath)) {
        return false;
    }
    const Node* node = Find(fullPath);
    return node == nullptr ? ActorMayAdd(ParentFolder(fullPath))
                           : ActorMayChange(ParentFolder(fullPath)) && !node->folder &&
                                 node->handles == 0 && !node->inUse;
}

bool SimHost::OtherUserRename(const std::string& from, const std::string& to) {
    const std::optional<std::string> source = Resolve(from, false);
    const std::optional<std::string> target = Resolve(to, false);
    if (!source || !target || Find(*source) == nullptr || Find(*target) != nullptr ||
        ParentFolder(*source).empty() || !ActorMayChange(ParentFolder(*source)) ||
        !ActorMayAdd(ParentFolder(*target)) || HeldAtOrBelow(*source) ||
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
    const std::optional<std::string> full = Resolve(path, false);
    if (!full || !ActorMayPutFile(*full)) {
        return false;
    }
    AddFile(*full, data);
    return true;
}

bool SimHost::OtherUserPlantLink(const std::string& path, const std::string& target) {
    const std::optional<std::string> full = Resolve(path, false);
    const std::optional<std::string> to = Resolve(target);
    if (!full || !to || !ActorMayPutFile(*full)) {
        return false;
    }
    AddFileLink(*full, *to);
    return true;
}

bool SimHost::OtherUserAddFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path, false);
    if (!full || !ParentIsFolder(*full) || !ActorMayAdd(ParentFolder(*full)) ||
        Find(*full) != nullptr) {
        return false;
    }
    AddNode(*full, true).security =
        SimFolderSecurity{OwnerOf(actor_), actor_ == SimActor::kOtherUser, false};
    return true;
}

bool SimHost::OtherUserMakeJunction(const std::string& path, const std::string& target) {
    const std::optional<std::string> full = Resolve(path, false);
    const std::optional<std::string> to = Resolve(target);
    if (!full || !to || ParentFolder(*full).empty() || !ParentIsFolder(*full)) {
        return false;
    }
    Node* node = Find(*full);
    if (node == nullptr) {
        if (!ActorMayAdd(ParentFolder(*full))) {
            return false;
        }
        node = &AddNode(*full, true);
        node->security = SimFolderSecurity{OwnerOf(actor_), actor_ == SimActor::kOtherUser, true};
    } else if (!node->folder) {
        return false;
    } else if (node->junctionTarget.empty()) {
        // An empty folder becomes a mount point for whoever may write its attributes, held or
        // not: a hold that shares writing does not stop that.
        const SimFolderSecurity& own = node->security;
        const bool mayWriteAttributes =
            own.owner == OwnerOf(actor_) || own.othersMayWrite || own.othersMayAdd;
        if (!mayWriteAttributes || !FolderEntries(*full).empty() || !IsWritableFolder(*full)) {
            return false;
        }
    } else if (!ActorMayChange(ParentFolder(*full)) || node->handles > 0) {
        return false;  // re-pointing a junction replaces it
    }
    node->junctionTarget = *to;
    node->security.reparsePoint = true;
    return true;
}

}  // namespace nv::host::sim
