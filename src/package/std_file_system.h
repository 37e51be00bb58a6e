#pragma once
// FileSystem over the C library's files and std::filesystem: used by nvpack and the tests.

#include "package/file_system.h"

namespace nv::package {

class StdFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<OutputFile> Create(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
};

}  // namespace nv::package
