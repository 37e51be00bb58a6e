#pragma once
// FileSystem over the C library's files: used by nvpack and the tests. Failures raise the
// kinds file_system.h names, with the file and no system code: nvpack's messages name the file
// only.

#include "package/file_system.h"

namespace nv::package {

class StdFileSystem : public FileSystem {
public:
    std::shared_ptr<FileStream> OpenRead(const std::string& path) override;
    std::shared_ptr<FileStream> Create(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
};

}  // namespace nv::package
