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
// TrustedInstaller (the service that owns the system's own files) and, only when asked, the
// account the process runs as.
class TrustedWriters {
public:
    // False when any of them cannot be made or the process's token cannot be read.
    bool Load(bool includeAccount);
    // The writers this process trusts: the account only where AccountIsTrustedWriter says so.
    bool LoadForThisProcess() { return Load(AccountIsTrustedWriter()); }
    bool Includes(PSID sid);
    // True when what this process creates is owned by a trusted writer (the token's default
    // owner), so that an entry for CREATOR OWNER passes rights to nobody else.
    bool CreatorIsTrusted() const { return creatorTrusted_; }
    PSID Administrators() { return administrators_.Get(); }
    PSID System() { return system_.Get(); }
    PSID Account() { return account_.Get(); }

    // Whether the account itself may be trusted. Under UAC an elevated program shares its
    // account's SID with that account's unelevated programs, which must not be able to
    // steer it: the account counts only when the token is not the full half of a split
    // token (UAC off, the built-in Administrator, systems without elevation) — then no
    // program of the account runs with fewer rights — and under Wine, which keeps no
    // boundary between one account's programs (every program runs elevated there).
    static bool AccountIsTrustedWriter();

private:
    SidBuffer administrators_;
    SidBuffer system_;
    SidBuffer trustedInstaller_;
    SidBuffer account_;
    bool includeAccount_ = false;
    bool creatorTrusted_ = false;
};

// True when the program runs under Wine, told by the export Wine's ntdll has and Windows'
// does not. Nothing the account controls (environment, per-user registry) decides it, and
// on Windows the kernel maps ntdll from the system folder.
bool RunsUnderWine();

// True when the process runs with an elevated token. False when it does not, and also where
// the system cannot tell (before elevation existed every token counts as not elevated).
bool IsProcessElevated();

}  // namespace nv::host
