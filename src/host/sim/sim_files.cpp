// Files, folders, streams and initialisation files of the simulated machine.

#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "host/sim/sim_host.h"
#include "host/sim/sim_paths.h"
#include "host/sim/sim_profile.h"

namespace nv::host::sim {
namespace {

// Links are followed this many times at most (a link may point at another link).
constexpr int kMaxLinkDepth = 8;

}  // namespace

// A file opened through the host. Like every handle of the program it shares reading only:
// while it is open nobody may write, rename or delete the file.
class SimHost::Stream final : public FileStream {
public:
    Stream(SimHost& host, std::string path, std::string key, bool writable)
        : FileStream(std::move(path)), host_(host), key_(std::move(key)), writable_(writable) {
        Node& node = host_.nodes_.at(key_);
        node.handles++;
        node.writeHandles += writable_ ? 1 : 0;
    }
    ~Stream() override { Release(); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    Stream(Stream&&) = delete;
    Stream& operator=(Stream&&) = delete;

    std::uint64_t Size() override { return Data().size(); }

    void Seek(std::uint64_t offset) override {
        if (host_.Fails(SimOp::kSeek, {key_})) {
            throw Error(ErrorKind::kSeekFailed, Path());
        }
        position_ = offset;
    }

    std::size_t Read(void* buffer, std::size_t count) override {
        if (host_.Fails(SimOp::kRead, {key_})) {
            throw Error(ErrorKind::kReadFailed, Path());
        }
        const std::string& data = Data();
        if (position_ >= data.size()) {
            return 0;
        }
        const auto got =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, data.size() - position_));
        if (got > 0) {
            std::memcpy(buffer, data.data() + position_, got);
        }
        position_ += got;
        return got;
    }

    void Write(const void* data, std::size_t count) override {
        if (!writable_ || host_.Fails(SimOp::kWrite, {key_})) {
            throw Error(ErrorKind::kWriteFailed, Path());
        }
        std::string& content = Data();
        const std::uint64_t end = position_ + count;
        const std::uint64_t growth = end > content.size() ? end - content.size() : 0;
        if (!host_.TakeSpace(growth)) {
            throw Error(ErrorKind::kWriteFailed, Path());
        }
        if (content.size() < end) {
            content.resize(static_cast<std::size_t>(end));
        }
        if (count > 0) {
            std::memcpy(content.data() + position_, data, count);
        }
        position_ = end;
    }

    bool Remove() override {
        if (!writable_ || gone_ || host_.Fails(SimOp::kRemoveFile, {key_})) {
            return false;
        }
        Release();
        host_.nodes_.erase(key_);
        return true;
    }

private:
    std::string& Data() {
        if (gone_) {
            throw Error(ErrorKind::kReadFailed, Path());
        }
        return host_.nodes_.at(key_).data;
    }
    void Release() {
        if (gone_) {
            return;
        }
        gone_ = true;
        Node& node = host_.nodes_.at(key_);
        node.handles--;
        node.writeHandles -= writable_ ? 1 : 0;
    }

    SimHost& host_;
    std::string key_;
    bool writable_;
    bool gone_ = false;
    std::uint64_t position_ = 0;
};

// A folder the program holds open after checking it, with the folders above it when the
// whole path was checked.
class SimHost::Hold final : public HeldFolder {
public:
    Hold(SimHost& host, std::string path, std::string key, std::vector<std::string> above = {})
        : HeldFolder(std::move(path)), host_(host), key_(std::move(key)), above_(std::move(above)) {
        host_.nodes_.at(key_).handles++;
        for (const std::string& folder : above_) {
            host_.nodes_.at(folder).handles++;
        }
    }
    ~Hold() override { Release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    Hold(Hold&&) = delete;
    Hold& operator=(Hold&&) = delete;

    std::string FinalPath() override {
        const Node& node = host_.nodes_.at(key_);
        return node.finalPath.empty() ? node.path : node.finalPath;
    }

    bool Names(const std::string& path) override {
        const std::optional<std::string> full = ResolvePath(path, host_.currentFolder_);
        return full && PathKey(FinalPath()) == PathKey(*full);
    }

    bool OnLocalDiskWithAccessLists() override {
        return host_.KeepsAccessLists(host_.nodes_.at(key_).path);
    }

    std::unique_ptr<FileStream> CreateFileInside(const std::string& name) override {
        // Named from the held folder itself: no junction on the way is looked at.
        return host_.CreateFileAt(host_.nodes_.at(key_).path + '\\' + name, Path() + '\\' + name);
    }

    bool RemoveIfEmpty() override {
        if (host_.Fails(SimOp::kRemoveFolder, {key_}) ||
            !host_.MayRemoveFolder(&host_.nodes_.at(key_), 1)) {
            return false;
        }
        Release();
        host_.nodes_.erase(key_);
        return true;
    }

private:
    void Release() {
        if (!released_) {
            released_ = true;
            host_.nodes_.at(key_).handles--;
        }
        for (const std::string& folder : above_) {
            host_.nodes_.at(folder).handles--;
        }
        above_.clear();
    }

    SimHost& host_;
    std::string key_;
    std::vector<std::string> above_;  // keys of the folders above, held too
    bool released_ = false;
};

std::optional<std::string> SimHost::Resolve(const std::string& path, bool followLast) const {
    std::optional<std::string> full = ResolvePath(path, currentFolder_);
    // Each folder on the way that is a junction stands for its target; start again from the
    // root after each, as a junction's target may hold junctions too.
    for (int depth = 0; full && depth < kMaxLinkDepth; ++depth) {
        bool followed = false;
        for (std::size_t at = full->find('\\'); at != std::string::npos && !followed;
             at = full->find('\\', at + 1)) {
            const std::size_t end = full->find('\\', at + 1);
            const std::string prefix = full->substr(0, end);
            if (end == std::string::npos && !followLast) {
                break;
            }
            const auto node = nodes_.find(PathKey(prefix));
            if (node != nodes_.end() && !node->second.junctionTarget.empty()) {
                *full = node->second.junctionTarget +
                        (end == std::string::npos ? std::string() : full->substr(end));
                followed = true;
            }
        }
        if (!followed) {
            return full;
        }
    }
    return std::nullopt;  // too many junctions in a row
}

bool SimHost::TrustedOwner(SimOwner owner) const {
    return owner == SimOwner::kAdministrators || owner == SimOwner::kSystem ||
           (owner == SimOwner::kCurrentUser && !elevated_);
}

SimHost::Node* SimHost::Find(const std::string& fullPath) {
    const auto it = nodes_.find(PathKey(fullPath));
    return it == nodes_.end() ? nullptr : &it->second;
}

SimHost::Node* SimHost::Lookup(const std::string& path, bool followLast) {
    const std::optional<std::string> full = Resolve(path, followLast);
    return full ? Find(*full) : nullptr;
}

SimHost::Node& SimHost::AddNode(const std::string& fullPath, bool folder) {
    Node& node = nodes_[PathKey(fullPath)];
    node.path = fullPath;
    node.folder = folder;
    return node;
}

std::optional<std::string> SimHost::ResolveFor(SimOp op, const std::string& path, bool followLast) {
    std::optional<std::string> full = Resolve(path, followLast);
    return Fails(op, {PathKey(full.value_or(path))}) ? std::nullopt : full;
}

bool SimHost::MayRemoveFolder(const Node* node, int ownHandles) {
    return node != nullptr && node->folder && node->handles <= ownHandles &&
           !ParentFolder(node->path).empty() && IsWritableFolder(node->path) &&
           !IsAtOrBelow(currentFolder_, node->path) && FolderEntries(node->path).empty();
}

bool SimHost::MayCreate(const std::string& fullPath) {
    return !HasInvalidNameCharacter(fullPath) && ParentIsFolder(fullPath) &&
           IsWritableFolder(fullPath);
}

SimHost::Node* SimHost::FindFollowingLinks(const std::string& fullPath) {
    Node* node = Find(fullPath);
    for (int depth = 0; node != nullptr && !node->linkTarget.empty(); ++depth) {
        node = depth < kMaxLinkDepth ? Find(node->linkTarget) : nullptr;
    }
    return node;
}

bool SimHost::IsWritableFolder(const std::string& path) const {
    return std::none_of(readOnlyFolders_.begin(), readOnlyFolders_.end(),
                        [&](const std::string& folder) { return IsAtOrBelow(path, folder); });
}

bool SimHost::KeepsAccessLists(const std::string& path) const {
    return std::none_of(foldersWithoutAccessLists_.begin(), foldersWithoutAccessLists_.end(),
                        [&](const std::string& folder) { return IsAtOrBelow(path, folder); });
}

bool SimHost::HeldAtOrBelow(const std::string& fullPath) const {
    return std::any_of(nodes_.begin(), nodes_.end(), [&](const auto& entry) {
        return entry.second.handles > 0 && IsAtOrBelow(entry.second.path, fullPath);
    });
}

bool SimHost::ParentIsFolder(const std::string& fullPath) {
    const std::string parent = ParentFolder(fullPath);
    const Node* node = parent.empty() ? nullptr : Find(parent);
    return node != nullptr && node->folder;
}

bool SimHost::TakeSpace(std::uint64_t count) {
    if (freeSpace_) {
        if (count > *freeSpace_) {
            return false;
        }
        *freeSpace_ -= count;
    }
    spaceTaken_ += count;
    return true;
}

void SimHost::AddDrive(char letter) {
    const std::string root = std::string(1, letter) + ":\\";
    AddNode(*ResolvePath(root, root), true);
}

void SimHost::AddFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (!full || Find(*full) != nullptr) {
        return;
    }
    const std::string parent = ParentFolder(*full);
    if (parent.empty()) {
        return;  // drives are added only by AddDrive
    }
    AddFolder(parent);
    if (Find(parent) != nullptr) {
        AddNode(*full, true);
    }
}

void SimHost::AddFile(const std::string& path, const std::string& data) {
    const std::optional<std::string> full = Resolve(path);
    if (!full) {
        return;
    }
    AddFolder(ParentFolder(*full));
    if (!ParentIsFolder(*full)) {
        return;
    }
    Node& node = nodes_[PathKey(*full)];
    if (node.path.empty()) {
        node.path = *full;
    }
    node.folder = false;
    node.data = data;
    node.linkTarget.clear();
}

void SimHost::AddFileLink(const std::string& path, const std::string& target) {
    const std::optional<std::string> full = Resolve(path);
    const std::optional<std::string> to = Resolve(target);
    if (!full || !to) {
        return;
    }
    AddFile(*full, "");
    if (Node* node = Find(*full)) {
        node->linkTarget = *to;
    }
}

void SimHost::SetFolderSecurity(const std::string& path, const SimFolderSecurity& security) {
    Node* node = Lookup(path);
    if (node != nullptr && node->folder) {
        node->security = security;
    }
}

std::optional<SimFolderSecurity> SimHost::FolderSecurity(const std::string& path) {
    const Node* node = Lookup(path);
    return node != nullptr && node->folder ? std::optional(node->security) : std::nullopt;
}

std::optional<FolderProtection> SimHost::ProtectionOf(const std::string& path) {
    const Node* node = Lookup(path);
    return node != nullptr && node->folder ? node->protection : std::nullopt;
}

bool SimHost::AdmitsAccount(const std::string& path) {
    const Node* node = Lookup(path);
    return node != nullptr && node->folder && node->admitsAccount;
}

void SimHost::SetVolumeWithoutAccessLists(const std::string& folder) {
    foldersWithoutAccessLists_.push_back(Resolve(folder).value_or(folder));
}

void SimHost::SetFinalPath(const std::string& folder, const std::string& finalPath) {
    if (Node* node = Lookup(folder)) {
        node->finalPath = finalPath;
    }
}

bool SimHost::IsHeld(const std::string& path) {
    const Node* node = Lookup(path);
    return node != nullptr && node->handles > 0;
}

void SimHost::SetReadOnlyFolder(const std::string& folder) {
    readOnlyFolders_.push_back(Resolve(folder).value_or(folder));
}

void SimHost::SetFileInUse(const std::string& path, bool inUse) {
    if (Node* node = Lookup(path)) {
        node->inUse = inUse;
    }
}

bool SimHost::FileExists(const std::string& path) {
    const Node* node = Lookup(path);
    return node != nullptr && !node->folder;
}

std::optional<std::string> SimHost::FileData(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    const Node* node = full ? FindFollowingLinks(*full) : nullptr;
    return node != nullptr && !node->folder ? std::optional(node->data) : std::nullopt;
}

std::vector<std::string> SimHost::FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    const std::optional<std::string> full = Resolve(folder);
    if (!full) {
        return names;
    }
    const std::string folderKey = PathKey(*full);
    for (const auto& [key, node] : nodes_) {
        const std::string parent = ParentFolder(node.path);
        if (!parent.empty() && PathKey(parent) == folderKey) {
            names.push_back(LeafName(node.path));
        }
    }
    return names;
}

void SimHost::SetExecutable(const std::string& path, const std::string& data) {
    executableStream_.reset();
    AddFile(path, data);
    executable_ = Resolve(path).value_or(path);
    const Node* node = Find(executable_);
    if (node != nullptr && !node->folder) {
        executableStream_ =
            std::make_unique<Stream>(*this, executable_, PathKey(executable_), false);
    }
}

std::unique_ptr<FileStream> SimHost::OpenFileForReading(const std::string& path) {
    const std::optional<std::string> full = ResolveFor(SimOp::kOpenRead, path);
    const Node* node = full ? FindFollowingLinks(*full) : nullptr;
    // The program's own handles open for writing do not share reading with a new open.
    if (node == nullptr || node->folder || node->writeHandles > 0) {
        throw Error(ErrorKind::kOpenFailed, path);
    }
    return std::make_unique<Stream>(*this, path, PathKey(node->path), false);
}

std::unique_ptr<FileStream> SimHost::CreateFileForWriting(const std::string& path) {
    const std::optional<std::string> full = Resolve(path, false);
    if (!full) {
        Fails(SimOp::kCreateFile, {PathKey(path)});
        throw Error(ErrorKind::kCreateFailed, path);
    }
    return CreateFileAt(*full, path);
}

std::unique_ptr<FileStream> SimHost::CreateFileAt(const std::string& fullPath,
                                                  const std::string& path) {
    if (Fails(SimOp::kCreateFile, {PathKey(fullPath)}) || !MayCreate(fullPath)) {
        throw Error(ErrorKind::kCreateFailed, path);
    }
    Node* node = Find(fullPath);
    if (node != nullptr && (node->folder || node->inUse || node->handles > 0)) {
        throw Error(ErrorKind::kCreateFailed, path);
    }
    if (node == nullptr) {
        node = &AddNode(fullPath, false);
    }
    // A new file takes the place of what was there; a link is replaced, not followed.
    node->linkTarget.clear();
    node->data.clear();
    return std::make_unique<Stream>(*this, path, PathKey(fullPath), true);
}

std::unique_ptr<FileStream> SimHost::CreateNewFile(const std::string& path) {
    const std::optional<std::string> full = ResolveFor(SimOp::kCreateFile, path);
    if (!full || !MayCreate(*full) || Find(*full) != nullptr) {
        return nullptr;
    }
    AddNode(*full, false);
    return std::make_unique<Stream>(*this, path, PathKey(*full), true);
}

bool SimHost::FolderExists(const std::string& path) {
    const Node* node = Lookup(path);
    return node != nullptr && node->folder;
}

bool SimHost::DoCreateFolder(const std::string& path, FolderProtection protection) {
    const std::optional<std::string> full = ResolveFor(SimOp::kCreateFolder, path);
    if (!full || !MayCreate(*full) || Find(*full) != nullptr) {
        return false;
    }
    Node& node = AddNode(*full, true);
    node.protection = protection;
    node.security.owner = elevated_ ? SimOwner::kAdministrators : SimOwner::kCurrentUser;
    // A volume without access lists lets everyone do everything, whatever was asked for.
    node.security.othersMayWrite =
        !KeepsAccessLists(*full) || (protection == FolderProtection::kInherited &&
                                     Find(ParentFolder(*full))->security.othersMayWrite);
    node.admitsAccount = protection == FolderProtection::kPrivate && !elevated_;
    return true;
}

bool SimHost::SafeFolder(const Node* node, bool above) const {
    if (node == nullptr || !node->folder || node->security.reparsePoint ||
        !node->junctionTarget.empty() || !TrustedOwner(node->security.owner) ||
        node->security.othersMayWrite) {
        return false;
    }
    return above || (!node->security.othersMayAdd && !node->security.othersInherit);
}

std::unique_ptr<HeldFolder> SimHost::HoldSafeFolder(const std::string& path) {
    const std::optional<std::string> full = ResolveFor(SimOp::kFolderSecurity, path, false);
    if (!full || !SafeFolder(Find(*full), false)) {
        return nullptr;
    }
    return std::make_unique<Hold>(*this, *full, PathKey(*full));
}

std::unique_ptr<HeldFolder> SimHost::HoldSafePath(const std::string& path, PathEnd end) {
    const std::optional<std::string> full = ResolvePath(path, currentFolder_);
    if (Fails(SimOp::kFolderSecurity, {PathKey(full.value_or(path))}) || !full) {
        return nullptr;
    }
    // Every folder from the root down, each looked at as itself: no junction is followed.
    std::vector<std::string> above;
    for (std::string folder = ParentFolder(*full); !folder.empty(); folder = ParentFolder(folder)) {
        if (!SafeFolder(Find(folder), true)) {
            return nullptr;
        }
        if (!ParentFolder(folder).empty()) {
            above.push_back(PathKey(folder));  // a root can be neither renamed nor replaced
        }
    }
    if (!SafeFolder(Find(*full), end == PathEnd::kParentOfNew) || !KeepsAccessLists(*full)) {
        return nullptr;
    }
    auto hold = std::make_unique<Hold>(*this, *full, PathKey(*full), std::move(above));
    return hold->Names(*full) ? std::move(hold) : nullptr;
}

bool SimHost::DoRemoveFolder(const std::string& path) {
    const std::optional<std::string> full = ResolveFor(SimOp::kRemoveFolder, path);
    if (!full || !MayRemoveFolder(Find(*full), 0)) {
        return false;
    }
    nodes_.erase(PathKey(*full));
    return true;
}

bool SimHost::SetCurrentFolder(const std::string& path) {
    const std::optional<std::string> full = ResolveFor(SimOp::kSetCurrentFolder, path);
    if (!full || !FolderExists(*full)) {
        return false;
    }
    currentFolder_ = Find(*full)->path;
    return true;
}

FolderContent SimHost::ListFolder(const std::string& folder) {
    FolderContent content;
    const std::optional<std::string> full = Resolve(folder);
    for (const std::string& name : FolderEntries(folder)) {
        const Node* node = Find(WithTrailingBackslash(*full) + name);
        (node != nullptr && node->folder ? content.folders : content.files).push_back(name);
    }
    return content;
}

std::vector<std::string> SimHost::LogicalDrives() {
    std::vector<std::string> drives;
    for (const auto& [key, node] : nodes_) {
        if (node.folder && ParentFolder(node.path).empty()) {
            drives.push_back(LowerCaseAscii(node.path));
        }
    }
    std::sort(drives.begin(), drives.end());
    return drives;
}

std::string SimHost::FullPathOf(const std::string& path) {
    // As GetFullPathName: by the text alone, no junction is looked at.
    return ResolvePath(path, currentFolder_).value_or("");
}

bool SimHost::RemoveFile(const std::string& path) {
    const std::optional<std::string> full = ResolveFor(SimOp::kRemoveFile, path);
    const Node* node = full ? Find(*full) : nullptr;
    if (node == nullptr || node->folder || node->inUse || node->handles > 0 ||
        !IsWritableFolder(*full)) {
        return false;
    }
    nodes_.erase(PathKey(*full));
    return true;
}

bool SimHost::ScheduleRemovalAtRestart(const std::string& path) {
    const std::optional<std::string> full = ResolveFor(SimOp::kScheduleRemoval, path, false);
    if (!full || Find(*full) == nullptr) {
        return false;
    }
    scheduledRemovals_.push_back(*full);
    return true;
}

void SimHost::Restart() {
    for (auto& [key, node] : nodes_) {
        node.inUse = false;
    }
    for (const std::string& path : scheduledRemovals_) {
        const Node* node = Find(path);
        if (node != nullptr && node->handles == 0 &&
            (!node->folder || FolderEntries(path).empty())) {
            nodes_.erase(PathKey(path));
        }
    }
    scheduledRemovals_.clear();
}

bool SimHost::RemoveShortcutFile(const std::string& path) {
    const std::optional<std::string> full = Resolve(path, false);
    if (!full || LowerCaseAscii(full->substr(full->size() > 4 ? full->size() - 4 : 0)) != ".lnk" ||
        PathKey(*full) != PathKey(FullPathOf(path))) {
        return false;  // no shortcut, or a junction on the way leads elsewhere
    }
    const Node* node = Find(*full);
    if (node != nullptr && !node->linkTarget.empty()) {
        return false;  // a link is not a shortcut, whatever its name
    }
    return RemoveFile(*full);
}

std::string SimHost::DoReadProfileText(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& defaultValue) {
    const std::optional<std::string> full = ResolveFor(SimOp::kReadProfile, file);
    const Node* node = full ? Find(*full) : nullptr;
    if (node == nullptr || node->folder) {
        return defaultValue;
    }
    return ProfileLookup(node->data, section, key).value_or(defaultValue);
}

bool SimHost::DoWriteProfileText(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& value) {
    const std::optional<std::string> full = ResolveFor(SimOp::kWriteProfile, file);
    if (!full || !MayCreate(*full)) {
        return false;
    }
    Node* node = Find(*full);
    if (node != nullptr && (node->folder || node->inUse)) {
        return false;
    }
    const std::string before = node != nullptr ? node->data : std::string();
    const std::string after = ProfileUpdate(before, section, key, value);
    if (after.size() > before.size() && !TakeSpace(after.size() - before.size())) {
        return false;
    }
    AddFile(*full, after);
    return true;
}

}  // namespace nv::host::sim
