#pragma once
// An in-memory FileSystem for the package tests, with faults on request: the disk fills up
// after a number of bytes, a file reads short or fails, a file cannot be created. Failures
// raise the kinds a real file system raises, with the file and no system code.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "package/file_system.h"

namespace nv::package::testing {

using Bytes = std::vector<unsigned char>;

class FakeFileSystem : public FileSystem {
public:
    std::map<std::string, Bytes> files;
    std::set<std::string> folders;

    // Faults.
    std::size_t diskSpace = static_cast<std::size_t>(-1);  // bytes all writes may still add
    std::set<std::string> uncreatable;                     // Create fails for these paths
    std::map<std::string, std::size_t> shortReads;         // file seems to end after n bytes
    std::map<std::string, std::size_t> failingReads;       // reads fail once past n bytes
    unsigned long systemCode = 0;  // the system's code every failure comes with

    // The size of every write, by path.
    std::map<std::string, std::vector<std::size_t>> writes;

    // How names convert into the files' UTF-16 names; the system's conversion when empty.
    NameConverter nameConverter;
    std::optional<std::u16string> NameToUtf16(std::string_view name) override {
        return nameConverter ? nameConverter(name) : FileSystem::NameToUtf16(name);
    }

    std::shared_ptr<FileStream> OpenRead(const std::string& path) override;
    std::shared_ptr<FileStream> Create(const std::string& path) override;
    bool FolderExists(const std::string& path) const { return folders.count(path) != 0; }
    bool CreateFolder(const std::string& path) {
        return folders.insert(path).second && files.count(path) == 0;
    }
    bool DeleteFile(const std::string& path) override { return files.erase(path) != 0; }
    std::string JoinPath(const std::string& folder, const std::string& name) override {
        return folder + "\\" + name;
    }
};

}  // namespace nv::package::testing
