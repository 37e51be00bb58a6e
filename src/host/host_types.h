#pragma once
// Plain records that cross the Host interface: registry values, shortcut fields, the
// process token's groups and the Windows version record. Portable mirrors of the Win32
// structures, so that the logic built on them runs against any host.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nv::host {

// Registry access masks, with the numbers Windows gives them.
enum class KeyAccess : std::uint32_t {
    kQueryValue = 0x0001,  // KEY_QUERY_VALUE
    kRead = 0x20019,       // KEY_READ
    kAllAccess = 0xF003F,  // KEY_ALL_ACCESS
};

// Registry value types used here (REG_*).
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// A registry value as stored: its type and its raw bytes (a text value includes its
// terminating zero byte).
struct RegistryValue {
    std::uint32_t type = kRegNone;
    std::string data;

    bool operator==(const RegistryValue&) const = default;
};

// A REG_SZ value: the text and its terminating zero byte.
inline RegistryValue StringValue(const std::string& text) {
    return {kRegSz, text + '\0'};
}

// A REG_DWORD value: four bytes, least significant first.
inline RegistryValue DwordValue(std::uint32_t number) {
    RegistryValue value{kRegDword, std::string(4, '\0')};
    for (char& byte : value.data) {
        byte = static_cast<char>(number & 0xFFU);
        number >>= 8U;
    }
    return value;
}

// The fields of a shortcut file, all ANSI text.
struct ShellLinkFields {
    std::string path;
    std::string description;
    std::string workingDirectory;
    std::string iconPath;
    int iconIndex = 0;

    bool operator==(const ShellLinkFields&) const = default;
};

// A security identifier: revision, six-byte identifier authority and sub-authorities.
struct Sid {
    std::uint8_t revision = 1;
    std::array<std::uint8_t, 6> authority{};
    std::vector<std::uint32_t> subAuthorities;

    // Equal in every part, as EqualSid compares.
    bool operator==(const Sid&) const = default;
};

// Attribute flags of a token group (SE_GROUP_*).
constexpr std::uint32_t kSeGroupMandatory = 0x0001;
constexpr std::uint32_t kSeGroupEnabledByDefault = 0x0002;
constexpr std::uint32_t kSeGroupEnabled = 0x0004;
constexpr std::uint32_t kSeGroupOwner = 0x0008;
constexpr std::uint32_t kSeGroupUseForDenyOnly = 0x0010;

struct TokenGroup {
    Sid sid;
    std::uint32_t attributes = 0;
};

// Which form of the version query to make: the extended record (156 bytes) or the short
// one (148 bytes).
enum class VersionQuery { kExtended, kShort };

// Platform ids (VER_PLATFORM_*).
constexpr std::uint32_t kPlatformWin32s = 0;
constexpr std::uint32_t kPlatformWin32Windows = 1;
constexpr std::uint32_t kPlatformWin32Nt = 2;

// Suite mask bits (VER_SUITE_*) and product types (VER_NT_*).
constexpr std::uint16_t kSuiteEnterprise = 0x0002;
constexpr std::uint16_t kSuiteDatacenter = 0x0080;
constexpr std::uint16_t kSuitePersonal = 0x0200;
constexpr std::uint16_t kSuiteBlade = 0x0400;
constexpr std::uint8_t kNtWorkstation = 1;
constexpr std::uint8_t kNtDomainController = 2;
constexpr std::uint8_t kNtServer = 3;

// The version record. After a short query the fields from servicePackMajor on are zero.
struct VersionRecord {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::string csdVersion;  // the service-pack text, at most 127 bytes
    std::uint16_t servicePackMajor = 0;
    std::uint16_t servicePackMinor = 0;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;
};

// System metric index used by the version text (SM_MEDIACENTER).
constexpr int kSmMediaCenter = 87;

}  // namespace nv::host
