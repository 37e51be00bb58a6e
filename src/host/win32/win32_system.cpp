// The process token, the version record and system metrics on Windows.

#include <windows.h>

#include <vector>

#include "host/win32/native_sid.h"
#include "host/win32/win32_host.h"
#include "win32/unique_handle.h"

namespace nv::host {

std::optional<std::vector<TokenGroup>> Win32Host::TokenGroups() {
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
        return std::nullopt;
    }
    // The first call only tells the size the groups need.
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), ::TokenGroups, nullptr, 0, &size);
    if (size < sizeof(TOKEN_GROUPS)) {
        return std::nullopt;
    }
    // TOKEN_GROUPS holds pointers; a vector of them keeps the block suitably aligned.
    std::vector<void*> block((size + sizeof(void*) - 1) / sizeof(void*));
    if (!::GetTokenInformation(token.Get(), ::TokenGroups, block.data(), size, &size)) {
        return std::nullopt;
    }
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(block.data());
    std::vector<TokenGroup> result;
    result.reserve(groups->GroupCount);
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        const SID_AND_ATTRIBUTES& group = groups->Groups[i];
        if (::IsValidSid(group.Sid)) {
            result.push_back(TokenGroup{SidFromNative(group.Sid), group.Attributes});
        }
    }
    return result;
}

std::optional<VersionRecord> Win32Host::QueryVersion(VersionQuery query) {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize =
        query == VersionQuery::kExtended ? sizeof(OSVERSIONINFOEXA) : sizeof(OSVERSIONINFOA);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) == FALSE) {
        return std::nullopt;
    }
#pragma GCC diagnostic pop
    VersionRecord record;
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    record.csdVersion.assign(info.szCSDVersion,
                             strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
    if (query == VersionQuery::kExtended) {
        record.servicePackMajor = info.wServicePackMajor;
        record.servicePackMinor = info.wServicePackMinor;
        record.suiteMask = info.wSuiteMask;
        record.productType = info.wProductType;
    }
    return record;
}

int Win32Host::SystemMetric(int index) {
    return ::GetSystemMetrics(index);
}

}  // namespace nv::host
