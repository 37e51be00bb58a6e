#include "host/sim/sim_host.h"

#include "base/text.h"
#include "host/administrator.h"
#include "host/sim/sim_paths.h"
#include "host/special_folders.h"

namespace nv::host::sim {
namespace {

constexpr int kSwShow = 5;

Sid EveryoneSid() {
    Sid sid;
    sid.authority = {0, 0, 0, 0, 0, 1};
    sid.subAuthorities = {0};
    return sid;
}

}  // namespace

SimHost::SimHost() {
    AddDrive('C');
    const std::map<int, std::string> folders = {
        {kCsidlProgramFiles, "C:\\Program Files"},
        {kCsidlCommonDesktopDirectory, R"(C:\users\Public\Desktop)"},
        {kCsidlDesktopDirectory, R"(C:\users\user\Desktop)"},
        {kCsidlDesktop, R"(C:\users\user\Desktop)"},
        {kCsidlAppData, R"(C:\users\user\AppData\Roaming)"},
        {kCsidlCommonPrograms, R"(C:\ProgramData\Microsoft\Windows\Start Menu\Programs)"},
        {kCsidlPrograms, R"(C:\users\user\AppData\Roaming\Microsoft\Windows\Start Menu\Programs)"},
    };
    for (const auto& [csidl, path] : folders) {
        SetSpecialFolder(csidl, path);
        AddFolder(path);
    }
    SetExecutable(R"(C:\setup\Setup.exe)", "");
    currentFolder_ = ParentFolder(executable_);

    tokenGroups_ = std::vector<TokenGroup>{
        {EveryoneSid(), kSeGroupMandatory | kSeGroupEnabledByDefault | kSeGroupEnabled},
        {CreateAdministratorsSid(),
         kSeGroupMandatory | kSeGroupEnabledByDefault | kSeGroupEnabled | kSeGroupOwner},
    };
    version_.majorVersion = 5;
    version_.minorVersion = 1;
    version_.buildNumber = 2600;
    version_.platformId = kPlatformWin32Nt;
    version_.csdVersion = "Service Pack 3";
    version_.servicePackMajor = 3;
    version_.suiteMask = 0x0100;
    version_.productType = kNtWorkstation;
    SetRegistryString(R"(SYSTEM\CurrentControlSet\Control\ProductOptions)", "ProductType", "WinNT");
}

bool SimHost::ShellOpen(void* owner, const std::string& file, const std::string& folder) {
    if (Fails(SimOp::kShellOpen, {PathKey(Resolve(file).value_or(file))})) {
        return false;
    }
    shellStarts_.push_back(SimShellStart{owner, "open", file, "", folder, kSwShow});
    return FileExists(file);
}

std::string SimHost::SpecialFolderPath(int csidl) {
    if (Fails(SimOp::kSpecialFolder, {std::to_string(csidl)})) {
        return {};
    }
    const auto it = specialFolders_.find(csidl);
    return it == specialFolders_.end() ? std::string() : it->second;
}

void SimHost::SetSpecialFolder(int csidl, const std::string& path) {
    if (path.empty()) {
        specialFolders_.erase(csidl);
    } else {
        specialFolders_[csidl] = path;
    }
}

bool SimHost::SaveShellLink(const ShellLinkFields& fields, const std::string& linkFile) {
    if (Fails(SimOp::kShellLinkObject, {})) {
        return false;
    }
    const std::optional<std::string> full = Resolve(linkFile, false);
    SimShellLink link{full.value_or(linkFile), fields, false};
    // Like the real host, nothing is written when a junction on the way leads elsewhere.
    const bool named = full && PathKey(*full) == PathKey(FullPathOf(linkFile));
    if (!Fails(SimOp::kSaveShellLink, {PathKey(link.linkFile)}) && named && ParentIsFolder(*full) &&
        IsWritableFolder(*full)) {
        Node* existing = Find(*full);
        if (existing == nullptr || (!existing->folder && !existing->inUse)) {
            // The file's content is a readable summary; tests look at the recorded fields.
            AddFile(*full, "[ShellLink]\r\nPath=" + fields.path +
                               "\r\nDescription=" + fields.description + "\r\nWorkingDirectory=" +
                               fields.workingDirectory + "\r\nIconLocation=" + fields.iconPath +
                               "," + std::to_string(fields.iconIndex) + "\r\n");
            link.saved = true;
        }
    }
    shellLinks_.push_back(link);
    return true;
}

std::optional<ShellLinkFields> SimHost::ShortcutAt(const std::string& linkFile) {
    const std::optional<std::string> full = Resolve(linkFile);
    if (!full || !FileExists(*full)) {
        return std::nullopt;
    }
    for (auto it = shellLinks_.rbegin(); it != shellLinks_.rend(); ++it) {
        if (it->saved && SameTextIgnoreCase(it->linkFile, *full)) {
            return it->fields;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<TokenGroup>> SimHost::TokenGroups() {
    if (Fails(SimOp::kTokenGroups, {})) {
        return std::nullopt;
    }
    return tokenGroups_;
}

std::optional<VersionRecord> SimHost::QueryVersion(VersionQuery query) {
    if (query == VersionQuery::kExtended) {
        return extendedQueryWorks_ ? std::optional<VersionRecord>(version_) : std::nullopt;
    }
    if (!shortQueryWorks_) {
        return std::nullopt;
    }
    VersionRecord shortRecord = version_;
    shortRecord.servicePackMajor = shortRecord.servicePackMinor = shortRecord.suiteMask = 0;
    shortRecord.productType = 0;
    return shortRecord;
}

void SimHost::SetVersion(const VersionRecord& record, bool extendedQueryWorks,
                         bool shortQueryWorks) {
    version_ = record;
    extendedQueryWorks_ = extendedQueryWorks;
    shortQueryWorks_ = shortQueryWorks;
}

int SimHost::SystemMetric(int index) {
    const auto it = systemMetrics_.find(index);
    return it == systemMetrics_.end() ? 0 : it->second;
}

void SimHost::Fail(SimOp op, const std::string& target, int occurrence) {
    // The target in the form the operations give theirs.
    std::string canonical;
    switch (op) {
        case SimOp::kOpenKey:
        case SimOp::kCreateKey:
        case SimOp::kDeleteKey:
            canonical = PathKey(KeyPath(target));
            break;
        case SimOp::kQueryValue:
        case SimOp::kSetValue:
        case SimOp::kDeleteValue:
        case SimOp::kSpecialFolder:
        case SimOp::kShellLinkObject:
        case SimOp::kTokenGroups:
            canonical = LowerCaseAscii(target);
            break;
        default:
            canonical = PathKey(Resolve(target).value_or(target));
    }
    faults_.Fail(op, canonical, occurrence);
}

void SimHost::BeforeOperation(std::uint64_t number, std::function<void()> action) {
    actsBefore_[number].push_back(std::move(action));
}

bool SimHost::Fails(SimOp op, const std::vector<std::string>& targets) {
    if (acting_) {
        return false;  // another user's act: not the program's operation
    }
    const auto acts = actsBefore_.find(faults_.OperationCount() + 1);
    if (acts != actsBefore_.end()) {
        const std::vector<std::function<void()>> due = std::move(acts->second);
        actsBefore_.erase(acts);
        acting_ = true;
        for (const auto& act : due) {
            act();
        }
        acting_ = false;
    }
    return faults_.Count(op, targets, spaceTaken_);
}

}  // namespace nv::host::sim
