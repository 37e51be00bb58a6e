#pragma once
// New folders with the access list a FolderProtection names. The installer's host and the
// folder chooser both create folders through this, so a folder the user makes in the chooser
// is protected exactly like one the installation makes.

#include <windows.h>

#include <string>
#include <vector>

#include "host/host.h"

namespace nv::host {

// The security attributes for CreateDirectory that give a new folder `protection`. Holds the
// descriptor and its access list, which the attributes point into: neither copied nor moved.
class FolderSecurity {
public:
    explicit FolderSecurity(FolderProtection protection);
    FolderSecurity(const FolderSecurity&) = delete;
    FolderSecurity& operator=(const FolderSecurity&) = delete;
    FolderSecurity(FolderSecurity&&) = delete;
    FolderSecurity& operator=(FolderSecurity&&) = delete;
    ~FolderSecurity() = default;

    // False when the access list could not be built; the folder must not be made then.
    bool IsValid() const { return valid_; }
    // What CreateDirectory takes: null for kInherited (the parent's inheritable entries).
    SECURITY_ATTRIBUTES* Attributes() { return inherited_ ? nullptr : &attributes_; }

private:
    bool Build(FolderProtection protection);

    bool valid_ = false;
    bool inherited_ = false;
    std::vector<DWORD> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
};

// Creates one folder with `protection`; false on failure, also when the name exists.
bool CreateFolderWithProtection(const std::string& path, FolderProtection protection);

}  // namespace nv::host
