// Files, folders, streams and initialisation files of the simulated machine.

#include <algorithm>
#include <cstring>

#include "host/host_errors.h"
#include "host/sim/sim_host.h"
#include "host/sim/sim_paths.h"
#include "host/sim/sim_profile.h"

namespace nv::host::sim {
namespace {

// A copy reports progress after every piece of this size.
constexpr std::size_t kCopyPiece = 65536;

// Links are followed this many times at most (a link may point at another link).
constexpr int kMaxLinkDepth = 8;

}  // namespace

// A file opened through the host. The file cannot be deleted while a stream holds it.
class SimHost::Stream final : public FileStream {
public:
    Stream(SimHost& host, std::string path, std::string key, bool writable)
        : FileStream(std::move(path)), host_(host), key_(std::move(key)), writable_(writable) {
        host_.nodes_.at(key_).openStreams++;
    }
    ~Stream() override {
        const auto it = host_.nodes_.find(key_);
        if (it != host_.nodes_.end()) {
            it->second.openStreams--;
        }
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    Stream(Stream&&) = delete;
    Stream& operator=(Stream&&) = delete;

    std::uint64_t Size() override { return Data().size(); }

    void Seek(std::uint64_t offset) override {
        if (host_.Fails(SimOp::kSeek, {key_})) {
            throw FileSeekError(Path());
        }
        position_ = offset;
    }

    std::size_t Read(void* buffer, std::size_t count) override {
        if (host_.Fails(SimOp::kRead, {key_})) {
            throw FileReadError(Path());
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
            throw FileWriteError(Path());
        }
        std::string& content = Data();
        const std::uint64_t end = position_ + count;
        const std::uint64_t growth = end > content.size() ? end - content.size() : 0;
        if (!host_.TakeSpace(growth)) {
            throw FileWriteError(Path());
        }
        if (content.size() < end) {
            content.resize(static_cast<std::size_t>(end));
        }
        if (count > 0) {
            std::memcpy(content.data() + position_, data, count);
        }
        position_ = end;
    }

    bool Eof() override { return position_ >= Data().size(); }

private:
    std::string& Data() { return host_.nodes_.at(key_).data; }

    SimHost& host_;
    std::string key_;
    bool writable_;
    std::uint64_t position_ = 0;
};

std::optional<std::string> SimHost::Resolve(const std::string& path) const {
    return ResolvePath(path, currentFolder_);
}

SimHost::Node* SimHost::Find(const std::string& fullPath) {
    const auto it = nodes_.find(PathKey(fullPath));
    return it == nodes_.end() ? nullptr : &it->second;
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
    const std::optional<std::string> full = ResolvePath(root, root);
    Node& node = nodes_[PathKey(*full)];
    node.path = *full;
    node.folder = true;
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
        Node& node = nodes_[PathKey(*full)];
        node.path = *full;
        node.folder = true;
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
    const std::optional<std::string> full = Resolve(path);
    Node* node = full ? Find(*full) : nullptr;
    if (node != nullptr && node->folder) {
        node->security = security;
    }
}

std::optional<SimFolderSecurity> SimHost::FolderSecurity(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    const Node* node = full ? Find(*full) : nullptr;
    if (node == nullptr || !node->folder) {
        return std::nullopt;
    }
    return node->security;
}

bool SimHost::IsPrivateFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    const Node* node = full ? Find(*full) : nullptr;
    return node != nullptr && node->folder && node->privateFolder;
}

void SimHost::SetReadOnlyFolder(const std::string& folder) {
    readOnlyFolders_.push_back(Resolve(folder).value_or(folder));
}

void SimHost::SetFileInUse(const std::string& path, bool inUse) {
    const std::optional<std::string> full = Resolve(path);
    if (Node* node = full ? Find(*full) : nullptr) {
        node->inUse = inUse;
    }
}

void SimHost::SetFreeSpace(std::optional<std::uint64_t> bytes) {
    freeSpace_ = bytes;
}

bool SimHost::FileExists(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    const Node* node = full ? Find(*full) : nullptr;
    return node != nullptr && !node->folder;
}

std::optional<std::string> SimHost::FileData(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    const Node* node = full ? FindFollowingLinks(*full) : nullptr;
    if (node == nullptr || node->folder) {
        return std::nullopt;
    }
    return node->data;
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

std::unique_ptr<FileStream> SimHost::OpenFileForReading(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (Fails(SimOp::kOpenRead, {PathKey(full.value_or(path))}) || !full) {
        throw FileOpenError(path);
    }
    const Node* node = FindFollowingLinks(*full);
    if (node == nullptr || node->folder) {
        throw FileOpenError(path);
    }
    return std::make_unique<Stream>(*this, path, PathKey(node->path), false);
}

std::unique_ptr<FileStream> SimHost::CreateFileForWriting(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (Fails(SimOp::kCreateFile, {PathKey(full.value_or(path))}) || !full ||
        HasInvalidNameCharacter(*full) || !ParentIsFolder(*full) || !IsWritableFolder(*full)) {
        throw FileCreateError(path);
    }
    Node* node = Find(*full);
    if (node != nullptr && (node->folder || node->inUse || node->openStreams > 0)) {
        throw FileCreateError(path);
    }
    if (node == nullptr) {
        node = &nodes_[PathKey(*full)];
        node->path = *full;
    }
    // A new file takes the place of what was there; a link is replaced, not followed.
    node->linkTarget.clear();
    node->data.clear();
    return std::make_unique<Stream>(*this, path, PathKey(*full), true);
}

bool SimHost::FolderExists(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    const Node* node = full ? Find(*full) : nullptr;
    return node != nullptr && node->folder;
}

bool SimHost::DoCreateFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (Fails(SimOp::kCreateFolder, {PathKey(full.value_or(path))}) || !full ||
        HasInvalidNameCharacter(*full) || !ParentIsFolder(*full) || !IsWritableFolder(*full) ||
        Find(*full) != nullptr) {
        return false;
    }
    Node& node = nodes_[PathKey(*full)];
    node.path = *full;
    node.folder = true;
    node.security.owner = SimOwner::kCurrentUser;
    node.security.othersMayWrite = Find(ParentFolder(*full))->security.othersMayWrite;
    return true;
}

bool SimHost::CreatePrivateFolder(const std::string& path) {
    if (!DoCreateFolder(path)) {
        return false;
    }
    Node* node = Find(*Resolve(path));
    node->security = SimFolderSecurity{SimOwner::kCurrentUser, false, false};
    node->privateFolder = true;
    return true;
}

bool SimHost::IsSafeExistingFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (Fails(SimOp::kFolderSecurity, {PathKey(full.value_or(path))}) || !full) {
        return false;
    }
    const Node* node = Find(*full);
    return node != nullptr && node->folder && !node->security.reparsePoint &&
           node->security.owner != SimOwner::kOtherUser && !node->security.othersMayWrite;
}

bool SimHost::DoRemoveFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (Fails(SimOp::kRemoveFolder, {PathKey(full.value_or(path))}) || !full) {
        return false;
    }
    const Node* node = Find(*full);
    if (node == nullptr || !node->folder || ParentFolder(*full).empty() ||
        !IsWritableFolder(*full) || IsAtOrBelow(currentFolder_, *full) ||
        !FolderEntries(*full).empty()) {
        return false;
    }
    nodes_.erase(PathKey(*full));
    return true;
}

bool SimHost::SetCurrentFolder(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (Fails(SimOp::kSetCurrentFolder, {PathKey(full.value_or(path))}) || !full ||
        !FolderExists(*full)) {
        return false;
    }
    currentFolder_ = Find(*full)->path;
    return true;
}

std::string SimHost::CurrentFolder() {
    return currentFolder_;
}

std::string SimHost::FullPathOf(const std::string& path) {
    return Resolve(path).value_or("");
}

bool SimHost::RemoveFile(const std::string& path) {
    const std::optional<std::string> full = Resolve(path);
    if (Fails(SimOp::kRemoveFile, {PathKey(full.value_or(path))}) || !full) {
        return false;
    }
    const Node* node = Find(*full);
    if (node == nullptr || node->folder || node->inUse || node->openStreams > 0 ||
        !IsWritableFolder(*full)) {
        return false;
    }
    nodes_.erase(PathKey(*full));
    return true;
}

bool SimHost::DoCopyFile(const std::string& source, const std::string& destination,
                         const CopyProgress& progress) {
    const std::optional<std::string> from = Resolve(source);
    const std::optional<std::string> to = Resolve(destination);
    if (Fails(SimOp::kCopyFile,
              {PathKey(from.value_or(source)), PathKey(to.value_or(destination))}) ||
        !from || !to) {
        return false;
    }
    const Node* sourceNode = FindFollowingLinks(*from);
    if (sourceNode == nullptr || sourceNode->folder || Find(*to) != nullptr ||
        HasInvalidNameCharacter(*to) || !ParentIsFolder(*to) || !IsWritableFolder(*to) ||
        !TakeSpace(sourceNode->data.size())) {
        return false;
    }
    const std::string data = sourceNode->data;
    for (std::size_t done = 0; progress && (done == 0 || done < data.size()); done += kCopyPiece) {
        progress();
    }
    Node& copy = nodes_[PathKey(*to)];
    copy.path = *to;
    copy.data = data;
    return true;
}

std::string SimHost::DoReadProfileText(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& defaultValue) {
    const std::optional<std::string> full = Resolve(file);
    if (Fails(SimOp::kReadProfile, {PathKey(full.value_or(file))}) || !full) {
        return defaultValue;
    }
    const Node* node = Find(*full);
    if (node == nullptr || node->folder) {
        return defaultValue;
    }
    return ProfileLookup(node->data, section, key).value_or(defaultValue);
}

bool SimHost::DoWriteProfileText(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& value) {
    const std::optional<std::string> full = Resolve(file);
    if (Fails(SimOp::kWriteProfile, {PathKey(full.value_or(file))}) || !full ||
        HasInvalidNameCharacter(*full) || !ParentIsFolder(*full) || !IsWritableFolder(*full)) {
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
