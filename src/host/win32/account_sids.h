#pragma once
// The security identifiers the folder checks and the folders this program creates name:
// well-known groups and accounts, and the account the process runs as.

#include <windows.h>

#include <array>

namespace nv::host {

// A SID in a buffer of its own.
class SidBuffer {
public:
    bool MakeWellKnown(WELL_KNOWN_SID_TYPE type);
    // A SID of the NT authority with the given sub-authorities.
    template <std::size_t Count>
    bool MakeNtAuthority(const std::array<DWORD, Count>& subAuthorities) {
        return MakeNtAuthority(subAuthorities.data(), Count);
    }
    bool CopyFrom(PSID sid);
    PSID Get() { return bytes_.data(); }

private:
    bool MakeNtAuthority(const DWORD* subAuthorities, std::size_t count);

    alignas(DWORD) std::array<unsigned char, SECURITY_MAX_SID_SIZE> bytes_{};
};

// The writers a folder an elevated program trusts may have: Administrators, SYSTEM,
// TrustedInstaller (the service that owns the system's own files) and the account the
// process runs as.
class TrustedWriters {
public:
    // False when any of them cannot be made or the process's token cannot be read.
    bool Load();
    bool Includes(PSID sid);
    PSID Administrators() { return administrators_.Get(); }
    PSID System() { return system_.Get(); }
    PSID Account() { return account_.Get(); }

private:
    SidBuffer administrators_;
    SidBuffer system_;
    SidBuffer trustedInstaller_;
    SidBuffer account_;
};

// True when the process runs with an elevated token. False when it does not, and also where
// the system cannot tell (before elevation existed every token counts as not elevated).
bool IsProcessElevated();

}  // namespace nv::host
