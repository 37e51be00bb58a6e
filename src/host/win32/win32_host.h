#pragma once
// Win32Host: the Host interface on the real Windows calls, through their ANSI entry points.
// COM must be initialised on the calling thread (the program's entry does that) before
// shortcuts are saved.

#include <memory>

#include "host/host.h"

namespace nv::host {

class Win32Host final : public Host {
public:
    // Opens the running executable's own file first of all (see Executable).
    Win32Host();

    std::string ExecutablePath() override;
    FileStream* Executable() override { return executable_.get(); }
    std::unique_ptr<FileStream> OpenFileForReading(const std::string& path) override;
    std::unique_ptr<FileStream> CreateFileForWriting(const std::string& path) override;
    std::unique_ptr<FileStream> CreateNewFile(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::unique_ptr<HeldFolder> HoldSafeFolder(const std::string& path) override;
    std::unique_ptr<HeldFolder> HoldSafePath(const std::string& path, PathEnd end) override;
    bool SetCurrentFolder(const std::string& path) override;
    std::string CurrentFolder() override;
    std::string FullPathOf(const std::string& path) override;
    FolderContent ListFolder(const std::string& folder) override;
    std::vector<std::string> LogicalDrives() override;
    bool RemoveFile(const std::string& path) override;
    bool ScheduleRemovalAtRestart(const std::string& path) override;
    bool RemoveShortcutFile(const std::string& path) override;
    bool ShellOpen(void* owner, const std::string& file, const std::string& folder) override;
    std::string SpecialFolderPath(int csidl) override;
    bool SaveShellLink(const ShellLinkFields& fields, const std::string& linkFile) override;
    std::optional<std::vector<TokenGroup>> TokenGroups() override;
    std::optional<VersionRecord> QueryVersion(VersionQuery query) override;
    int SystemMetric(int index) override;

protected:
    std::unique_ptr<RegistryKey> DoOpenKey(const std::string& path, KeyAccess access,
                                           bool create) override;
    bool DoDeleteKey(const std::string& path) override;
    std::string DoReadProfileText(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) override;
    bool DoWriteProfileText(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& value) override;
    bool DoCreateFolder(const std::string& path, FolderProtection protection) override;
    bool DoRemoveFolder(const std::string& path) override;
    unsigned long LastFailureCode() override;

private:
    std::unique_ptr<FileStream> executable_;
};

}  // namespace nv::host
