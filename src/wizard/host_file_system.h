#pragma once
// The package reader's file operations, carried out through the Host: real Windows files in
// the setup, SimHost's simulated disk in the tests. Host errors are folded into the plain
// results the reader expects; it raises its own error texts from them.

#include <memory>
#include <string>

#include "host/host.h"
#include "package/file_system.h"

namespace nv::wizard {

class HostFileSystem final : public package::FileSystem {
public:
    explicit HostFileSystem(host::Host& host) : host_(host) {}

    std::unique_ptr<package::InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<package::OutputFile> Create(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    // Host paths are Windows paths on every build.
    std::string JoinPath(const std::string& folder, const std::string& name) override {
        return folder + '\\' + name;
    }

private:
    host::Host& host_;
};

}  // namespace nv::wizard
