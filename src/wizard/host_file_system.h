#pragma once
// The package reader's file operations, carried out through the Host: real Windows files in
// the setup, SimHost's simulated disk in the tests. The host's errors travel as they are.
//
// What it adds is the hold: every file created through it stays open - so that nobody else
// can rewrite, rename or delete it - until it is deleted through it or this object goes.
// Reading such a file again reads through the held handle, and deleting it deletes through
// that handle, so a file is never looked up by its name again once it was written.

#include <map>
#include <memory>
#include <string>

#include "host/host.h"
#include "package/file_system.h"

namespace nv::wizard {

// Reads `stream`, which stays the caller's, the way the package reader reads its files.
std::unique_ptr<package::InputFile> ReadThrough(host::FileStream& stream);

class HostFileSystem final : public package::FileSystem {
public:
    explicit HostFileSystem(host::Host& host) : host_(host) {}

    std::unique_ptr<package::InputFile> OpenRead(const std::string& path) override;
    std::unique_ptr<package::OutputFile> Create(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    // Host paths are Windows paths on every build.
    std::string JoinPath(const std::string& folder, const std::string& name) override {
        return folder + '\\' + name;
    }

    // The file created at `path` and still held, or null.
    host::FileStream* Held(const std::string& path);

    // From now on files created directly in `folder` (by a path that joins the folder's path
    // and a name) are made through the hold, relative to it. The folder must outlast this
    // object.
    void CreateInside(host::HeldFolder& folder) { folder_ = &folder; }

private:
    host::Host& host_;
    host::HeldFolder* folder_ = nullptr;
    std::map<std::string, std::shared_ptr<host::FileStream>> held_;  // by case-folded path
};

}  // namespace nv::wizard
