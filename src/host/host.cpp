#include "host/host.h"

#include <vector>

#include "base/text.h"

namespace nv::host {
namespace {

// GetPrivateProfileString is read into a buffer of 2048 bytes.
constexpr std::size_t kProfileTextLimit = 2047;

std::string TextUpToZero(const std::string& data) {
    return data.substr(0, data.find('\0'));
}

// A registry path without its leading backslash.
std::string KeyPathOf(std::string_view path) {
    return std::string(path.substr(!path.empty() && path.front() == '\\' ? 1 : 0));
}

// "C:" names the root of a drive.
bool IsDriveSpec(const std::string& folder) {
    return folder.size() == 2 && folder[1] == ':';
}

}  // namespace

std::string RegistryKey::ReadString(const std::string& name) {
    const std::optional<RegistryValue> value = QueryValue(name);
    if (!value) {
        return {};
    }
    if (value->type != kRegSz && value->type != kRegExpandSz) {
        throw Error(ErrorKind::kInvalidDataType, name);
    }
    return TextUpToZero(value->data);
}

void RegistryKey::WriteString(const std::string& name, const std::string& value) {
    if (!SetValue(name, StringValue(value))) {
        throw Error(ErrorKind::kSetDataFailed, name, LastFailureCode());
    }
}

void RegistryKey::WriteDword(const std::string& name, std::uint32_t value) {
    if (!SetValue(name, DwordValue(value))) {
        throw Error(ErrorKind::kSetDataFailed, name, LastFailureCode());
    }
}

std::unique_ptr<RegistryKey> Host::OpenKey(std::string_view path, KeyAccess access) {
    return DoOpenKey(KeyPathOf(path), access, false);
}

std::unique_ptr<RegistryKey> Host::CreateKey(std::string_view path) {
    return DoOpenKey(KeyPathOf(path), KeyAccess::kAllAccess, true);
}

bool Host::DeleteKey(std::string_view path) {
    return DoDeleteKey(KeyPathOf(path));
}

std::string Host::ReadProfileText(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
    std::string text = DoReadProfileText(file, section, key, defaultValue);
    if (text.size() > kProfileTextLimit) {
        text.resize(kProfileTextLimit);
    }
    return text;
}

void Host::WriteProfileText(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& value) {
    if (!DoWriteProfileText(file, section, key, value)) {
        throw Error(ErrorKind::kProfileWriteFailed, file, LastFailureCode());
    }
}

void Host::CreateFolder(const std::string& path) {
    if (!DoCreateFolder(path, FolderProtection::kInherited)) {
        throw Error(ErrorKind::kCreateFolderFailed, path, LastFailureCode());
    }
}

std::unique_ptr<HeldFolder> Host::HoldInstallationFolder(const std::string& path) {
    const std::string folder = WithoutTrailingBackslashes(path);
    if (folder.size() < 4 || folder[1] != ':' || folder[2] != '\\') {
        return nullptr;  // not a full drive path, or a drive's root
    }
    // The folders that are missing, deepest first, and the deepest one there.
    std::vector<std::string> missing;
    std::string there = folder;
    while (!IsDriveSpec(there) && !FolderExists(there)) {
        missing.push_back(there);
        there = there.substr(0, there.rfind('\\'));
    }
    if (!missing.empty()) {
        const std::unique_ptr<HeldFolder> parent =
            HoldSafePath(IsDriveSpec(there) ? there + '\\' : there, PathEnd::kParentOfNew);
        if (!parent) {
            return nullptr;
        }
        for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
            if (!DoCreateFolder(*name, FolderProtection::kProgram)) {
                return nullptr;
            }
        }
    }
    return HoldSafePath(folder, PathEnd::kWrittenInto);
}

bool Host::CopyToNewFile(FileStream& source, const std::string& destination,
                         const CopyProgress& progress) {
    std::unique_ptr<FileStream> target = CreateNewFile(destination);
    if (!target) {
        return false;
    }
    std::vector<unsigned char> buffer(kCopyPiece);
    for (bool first = true;; first = false) {
        std::size_t got = 0;
        try {
            if (first) {
                source.Seek(0);
            }
            got = source.Read(buffer.data(), buffer.size());
            target->Write(buffer.data(), got);
        } catch (const nv::Error&) {
            target->Remove();  // a read or write failed: the copy fails, leaving nothing
            return false;
        }
        if (progress) {
            try {
                progress();
            } catch (...) {
                target->Remove();
                throw;
            }
        }
        if (got < buffer.size()) {
            return true;
        }
    }
}

void Host::RemoveFolder(const std::string& path) {
    if (!DoRemoveFolder(path)) {
        throw Error(ErrorKind::kRemoveFolderFailed, path, LastFailureCode());
    }
}

}  // namespace nv::host
