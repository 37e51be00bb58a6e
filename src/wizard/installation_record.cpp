#include "wizard/installation_record.h"

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

}  // namespace nv::wizard
