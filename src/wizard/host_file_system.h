#pragma once
// The package reader's file operations, carried out through the Host: real Windows files in
// the setup, SimHost's simulated disk in the tests. The host's errors travel as they are.
//
// What it adds is the hold: every file created through it stays open - so that nobody else
// can rewrite, rename or delete it - until it is deleted through it or this object goes; the
// stream handed out is the held one. Reading such a file again reads through the held handle
// from its start, and deleting it deletes through that handle, so a file is never looked up by
// its name again once it was written.

#include <map>
#include <memory>
#include <string>

#include "host/host.h"
#include "package/file_system.h"

namespace nv::wizard {

class HostFileSystem final : public package::FileSystem {
public:
    explicit HostFileSystem(host::Host& host) : host_(host) {}

    std::shared_ptr<host::FileStream> OpenRead(const std::string& path) override;
    std::shared_ptr<host::FileStream> Create(const std::string& path) override;
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
