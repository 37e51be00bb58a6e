#include "host/windows_version.h"

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace nv::host {
namespace {

// The product type is read into a buffer of 80 bytes; a longer value counts as none.
constexpr std::size_t kProductTypeLimit = 80;

std::string Decimal(std::uint32_t number) {
    return std::to_string(static_cast<std::int32_t>(number));
}

bool HasSuite(const VersionRecord& v, std::uint16_t bit) {
    return (v.suiteMask & bit) != 0;
}

// The Windows 95 family; no build number follows.
void DescribeWindows9x(const VersionRecord& v, std::string& text) {
    const char firstOfServicePack = v.csdVersion.empty() ? '\0' : v.csdVersion.front();
    if (v.majorVersion == 4 && v.minorVersion == 0) {
        text = "Microsoft Windows 95 ";
        if (firstOfServicePack == 'C' || firstOfServicePack == 'B') {
            text += "OSR2 ";
        }
    }
    if (v.majorVersion == 4 && v.minorVersion == 10) {
        text = "Microsoft Windows 98 ";
        if (firstOfServicePack == 'A') {
            text += "SE ";
        }
    }
    if (v.majorVersion == 4 && v.minorVersion == 90) {
        text = "Microsoft Windows Millennium Edition";
    }
}

void NameWindowsNt(const VersionRecord& v, std::string& text) {
    if (v.majorVersion == 5 && v.minorVersion == 2) {
        text = "Microsoft Windows Server 2003 family, ";
    }
    if (v.majorVersion == 5 && v.minorVersion == 1) {
        text = "Microsoft Windows XP ";
    }
    if (v.majorVersion == 5 && v.minorVersion == 0) {
        text = "Microsoft Windows 2000 ";
    }
    if (v.majorVersion <= 4) {
        text = "Microsoft Windows NT ";
    }
}

const char* WorkstationEdition(Host& host, const VersionRecord& v) {
    if (v.majorVersion == 4) {
        return "Workstation 4.0 ";
    }
    if (HasSuite(v, kSuitePersonal)) {
        return "Home Edition ";
    }
    if (host.SystemMetric(kSmMediaCenter) != 0) {
        return "Media Center Edition ";
    }
    return "Professional ";
}

const char* ServerEdition(const VersionRecord& v) {
    if (v.majorVersion == 5 && v.minorVersion == 2) {
        if (HasSuite(v, kSuiteDatacenter)) {
            return "Datacenter Edition ";
        }
        if (HasSuite(v, kSuiteEnterprise)) {
            return "Enterprise Edition ";
        }
        return v.suiteMask == kSuiteBlade ? "Web Edition " : "Standard Edition ";
    }
    if (v.majorVersion == 5 && v.minorVersion == 0) {
        if (HasSuite(v, kSuiteDatacenter)) {
            return "Datacenter Server ";
        }
        return HasSuite(v, kSuiteEnterprise) ? "Advanced Server " : "Server ";
    }
    return HasSuite(v, kSuiteEnterprise) ? "Server 4.0, Enterprise Edition " : "Server 4.0 ";
}

// The edition word from the extended record; null when none applies.
const char* EditionFromRecord(Host& host, const VersionRecord& v) {
    if (v.productType == kNtWorkstation) {
        return WorkstationEdition(host, v);
    }
    if (v.productType == kNtServer) {
        return ServerEdition(v);
    }
    return nullptr;
}

// "ProductType" of the product options, as the short record's systems keep it; empty when
// the key or value is missing, unreadable or longer than the buffer.
std::string ProductTypeFromRegistry(Host& host) {
    const std::unique_ptr<RegistryKey> key =
        host.OpenKey(kProductOptionsKey, KeyAccess::kQueryValue);
    if (!key) {
        return {};
    }
    const std::optional<RegistryValue> value = key->QueryValue("ProductType");
    if (!value || value->data.size() > kProductTypeLimit) {
        return {};
    }
    return value->data.substr(0, value->data.find('\0'));
}

void AppendEditionFromRegistry(Host& host, const VersionRecord& v, std::string& text) {
    const std::string productType = ProductTypeFromRegistry(host);
    for (const auto& [type, edition] : {std::pair{"WINNT", "Workstation "},
                                        {"LANMANNT", "Server "},
                                        {"SERVERNT", "Advanced Server "}}) {
        if (SameTextIgnoreCase(productType, type)) {
            text += edition;
        }
    }
    text += Decimal(v.majorVersion) + "." + Decimal(v.minorVersion);
}

void AppendServicePackAndBuild(Host& host, const VersionRecord& v, std::string& text) {
    const std::string build = Decimal(v.buildNumber & 0xFFFFU);
    if (v.majorVersion == 4 && SameTextIgnoreCase(v.csdVersion, "Service Pack 6") &&
        host.OpenKey(kServicePack6aHotfixKey, KeyAccess::kQueryValue)) {
        text += "Service Pack 6a (Build " + build + ")";
        return;
    }
    text += v.csdVersion + " (Build " + build + ")";
}

}  // namespace

void GetWindowsVersionText(Host& host, std::string& text) {
    bool extended = true;
    std::optional<VersionRecord> record = host.QueryVersion(VersionQuery::kExtended);
    if (!record) {
        extended = false;
        record = host.QueryVersion(VersionQuery::kShort);
    }
    if (!record) {
        text = kVersionQueryFailedText;
        return;
    }
    // The short record's extended fields read as zero.
    const VersionRecord& v = *record;

    switch (v.platformId) {
        case kPlatformWin32s:
            text = "Microsoft Win32s";
            return;
        case kPlatformWin32Windows:
            DescribeWindows9x(v, text);
            return;
        case kPlatformWin32Nt:
            NameWindowsNt(v, text);
            if (extended) {
                if (const char* edition = EditionFromRecord(host, v)) {
                    text += edition;
                }
            } else {
                AppendEditionFromRegistry(host, v, text);
            }
            AppendServicePackAndBuild(host, v, text);
            return;
        default:
            return;
    }
}

bool NamesWindows9x(const std::string& text) {
    return text.find("Microsoft Windows 95") != std::string::npos ||
           text.find("Microsoft Windows 98") != std::string::npos ||
           text.find("Microsoft Windows Millennium Edition") != std::string::npos;
}

}  // namespace nv::host
