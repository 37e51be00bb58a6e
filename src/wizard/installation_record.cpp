#include "wizard/installation_record.h"

#include <limits>

#include "base/error.h"

namespace nv::wizard {

std::string ReadInstalledPath(host::Host& host) {
    auto key = host.OpenKey(kRecordKey, host::KeyAccess::kRead);
    if (!key) {
        return {};
    }
    return key->ReadString(kValueInstalledPath);
}

bool WriteInstallationRecord(host::Host& host, const InstallationRecord& record) {
    auto key = host.CreateKey(kRecordKey);
    if (!key) {
        return false;
    }
    key->WriteString(kValueInstallPath, record.installPath);
    key->WriteString(kValueDesktopLink, record.desktopLink);
    key->WriteString(kValueQuicklaunchLink, record.quicklaunchLink);
    key->WriteString(kValueStartmenuLink, record.startmenuLink);
    key->WriteString(kValueSetupLink, record.setupLink);
    return true;
}

void SetProductLanguage(host::Host& host, const std::string& iniFile, int languageIndex) {
    if (!host.ReadProfileText(iniFile, kIniSection, kIniKey).empty()) {
        return;
    }
    if (const char* language = LanguageName(languageIndex)) {
        host.WriteProfileText(iniFile, kIniSection, kIniKey, language);
    }
}

std::uint32_t SizeInKiB(std::uint64_t bytes) {
    const std::uint64_t kib = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(kib < kLargest ? kib : kLargest);
}

void WriteUninstallEntry(host::Host& host, const std::string& installFolder,
                         const std::map<std::string, std::uint32_t>& productSizes,
                         std::uint64_t setupBytes) {
    std::uint64_t installedBytes = setupBytes;
    for (const auto& [name, size] : productSizes) {
        installedBytes += size;
    }
    auto key = host.CreateKey(kUninstallEntryKey);
    if (!key) {
        return;
    }
    try {
        key->WriteString(kEntryDisplayName, kProductName);
        key->WriteString(kEntryPublisher, kPublisher);
        key->WriteString(kEntryInstallLocation, installFolder);
        key->WriteString(kEntryDisplayIcon, installFolder + kProductExecutable);
        // Quoted, since the folder may hold blanks: the list runs this as a command line.
        key->WriteString(kEntryUninstallString, '"' + installFolder + kSetupCopy + '"');
        key->WriteDword(kEntryEstimatedSize, SizeInKiB(installedBytes));
        // The setup offers removal only; it has nothing to change or repair.
        key->WriteDword(kEntryNoModify, 1);
        key->WriteDword(kEntryNoRepair, 1);
    } catch (const nv::Error&) {
        key.reset();
        RemoveUninstallEntry(host);
    }
}

void RemoveUninstallEntry(host::Host& host) {
    host.DeleteKey(kUninstallEntryKey);
}

}  // namespace nv::wizard
