#pragma once
// SimHost: a Windows machine simulated in memory for native tests. Drives, folders and
// files with case-insensitive names and a current folder; a registry under
// HKEY_LOCAL_MACHINE with typed values; initialisation files kept as ordinary files in
// their usual text layout; special folders; shortcuts and shell starts recorded field by
// field; a configurable token and version record; and fault injection (sim_faults.h).
//
// A fresh SimHost looks like this: drive C: with the folders of the special-folder table
// below, the executable "C:\setup\Setup.exe" (empty), "C:\setup" as the current folder,
// an administrator's token, Windows XP Professional Service Pack 3, and a registry with
// the NT product options key ("ProductType" = "WinNT").
//
// Special folders: program files "C:\Program Files"; common desktop "C:\users\Public\Desktop";
// user desktop (0x10 and 0x00) "C:\users\user\Desktop"; application data
// "C:\users\user\AppData\Roaming"; common programs
// "C:\ProgramData\Microsoft\Windows\Start Menu\Programs"; user programs
// "C:\users\user\AppData\Roaming\Microsoft\Windows\Start Menu\Programs".

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/sim/sim_faults.h"

namespace nv::host::sim {

// A program start through the shell, as recorded.
struct SimShellStart {
    void* owner = nullptr;
    std::string verb;
    std::string file;
    std::string parameters;
    std::string folder;
    int showCommand = 0;
};

// A shortcut handed to the shell, as recorded (also when its save failed).
struct SimShellLink {
    std::string linkFile;  // full path
    ShellLinkFields fields;
    bool saved = false;
};

// Who owns a simulated folder.
enum class SimOwner { kCurrentUser, kAdministrators, kSystem, kOtherUser };

// The parts of a folder's security descriptor the setup looks at. "Others" are everyone but
// Administrators, SYSTEM and the owner.
struct SimFolderSecurity {
    SimOwner owner = SimOwner::kAdministrators;
    bool othersMayWrite = false;  // may add, rename and delete names, and change the folder
    bool reparsePoint = false;    // a junction or symbolic link standing for the folder
    bool othersMayAdd = false;    // may only add names and write attributes (a drive's root)
    bool othersInherit = false;   // an inheritable entry lets others change what is made inside
};

// Who acts on the machine beside the program: another user, or the account's own unelevated
// programs (same owner as the account, but without the elevated program's rights).
enum class SimActor { kOtherUser, kAccount };

class SimHost final : public Host {
public:
    SimHost();

    // --- Host.
    std::string ExecutablePath() override { return executable_; }
    FileStream* Executable() override { return executableStream_.get(); }
    std::unique_ptr<FileStream> OpenFileForReading(const std::string& path) override;
    std::unique_ptr<FileStream> CreateFileForWriting(const std::string& path) override;
    std::unique_ptr<FileStream> CreateNewFile(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::unique_ptr<HeldFolder> HoldSafeFolder(const std::string& path) override;
    std::unique_ptr<HeldFolder> HoldSafePath(const std::string& path, PathEnd end) override;
    bool SetCurrentFolder(const std::string& path) override;
    std::string CurrentFolder() override { return currentFolder_; }
    // Hidden and system entries are not simulated: every file and folder is listed.
    FolderContent ListFolder(const std::string& folder) override;
    // The drives added, in letter order.
    std::vector<std::string> LogicalDrives() override;
    std::string FullPathOf(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool ScheduleRemovalAtRestart(const std::string& path) override;
    bool RemoveShortcutFile(const std::string& path) override;
    bool ShellOpen(void* owner, const std::string& file, const std::string& folder) override;
    std::string SpecialFolderPath(int csidl) override;
    bool SaveShellLink(const ShellLinkFields& fields, const std::string& linkFile) override;
    std::optional<std::vector<TokenGroup>> TokenGroups() override;
    std::optional<VersionRecord> QueryVersion(VersionQuery query) override;
    int SystemMetric(int index) override;

    // --- Setting up the machine. Paths resolve against the current folder.
    // Adds a drive ("D") with an empty root folder.
    void AddDrive(char letter);
    // Adds a folder and its missing parents (on an existing drive).
    void AddFolder(const std::string& path);
    // Adds or replaces a file, making its missing parent folders (on an existing drive).
    void AddFile(const std::string& path, const std::string& data);
    // Adds a symbolic link to a file: reading the link reads `target`.
    void AddFileLink(const std::string& path, const std::string& target);
    // The owner, permissions and reparse flag of an existing folder. Folders the tests add
    // are Administrators' and closed to others; a folder the program creates is the
    // current user's (Administrators' when elevated), open to others exactly when it
    // inherits from a parent that is.
    void SetFolderSecurity(const std::string& path, const SimFolderSecurity& security);
    std::optional<SimFolderSecurity> FolderSecurity(const std::string& path);
    // The access list a folder was created with by the program; nothing for folders the
    // tests added.
    std::optional<FolderProtection> ProtectionOf(const std::string& path);
    // True when a private folder's list admits the current account besides Administrators
    // and SYSTEM.
    bool AdmitsAccount(const std::string& path);
    // Whether the process runs elevated with a split token (the default): a private folder
    // then leaves the account out, and the account is no trusted writer (its unelevated
    // programs share its owner).
    void SetElevated(bool elevated) { elevated_ = elevated; }
    // Folders at or below `folder` lie on a volume that keeps no access lists (FAT, a
    // network share).
    void SetVolumeWithoutAccessLists(const std::string& folder);
    // The path HeldFolder::FinalPath reports for `folder`, as when a parent of it is a
    // junction; by default the folder's own path.
    void SetFinalPath(const std::string& folder, const std::string& finalPath);
    // True while the program holds `path` (a file or folder) open.
    bool IsHeld(const std::string& path);
    // Sets the running executable's path, adding the file with `data`, and holds it open as
    // the real host does from its start.
    void SetExecutable(const std::string& path, const std::string& data);
    // Nothing can be created, written, copied into, deleted or removed at or below `folder`.
    void SetReadOnlyFolder(const std::string& folder);
    // A file in use cannot be deleted or overwritten.
    void SetFileInUse(const std::string& path, bool inUse);
    // Writing more than `bytes` in total from now on fills the disk; nothing = no limit.
    void SetFreeSpace(std::optional<std::uint64_t> bytes) { freeSpace_ = bytes; }
    // The deletions scheduled for the next restart, full paths in their order.
    const std::vector<std::string>& ScheduledRemovals() const { return scheduledRemovals_; }
    // Restarts the machine: files are no longer in use, and the scheduled deletions are
    // carried out in their order (a folder only when empty by then).
    void Restart();
    // Bytes writes and copies have taken so far (deleting gives nothing back).
    std::uint64_t SpaceTaken() const { return spaceTaken_; }

    // --- Inspecting files and folders.
    bool FileExists(const std::string& path);
    std::optional<std::string> FileData(const std::string& path);
    // Names of the files and folders directly in `folder`, in case-folded order.
    std::vector<std::string> FolderEntries(const std::string& folder);

    // --- Registry. Key paths as the program passes them (a leading backslash is dropped).
    void AddRegistryKey(const std::string& key) { MakeKey(key); }
    void SetRegistryValue(const std::string& key, const std::string& name,
                          const RegistryValue& value);
    void SetRegistryString(const std::string& key, const std::string& name,
                           const std::string& text);
    void RemoveRegistryKey(const std::string& key);
    bool RegistryKeyExists(const std::string& key) const { return FindKey(key) != nullptr; }
    std::optional<RegistryValue> RegistryValueAt(const std::string& key,
                                                 const std::string& name) const;
    // The text of a REG_SZ / REG_EXPAND_SZ value without its terminating zero.
    std::optional<std::string> RegistryStringAt(const std::string& key,
                                                const std::string& name) const;
    std::vector<std::string> RegistryValueNames(const std::string& key) const;
    // False: keys open for reading only and none can be created, as for a user without
    // administrator rights.
    void SetRegistryWritable(bool writable) { registryWritable_ = writable; }

    // --- Shell.
    void SetSpecialFolder(int csidl, const std::string& path);  // empty: does not resolve
    const std::vector<SimShellStart>& ShellStarts() const { return shellStarts_; }
    const std::vector<SimShellLink>& ShellLinks() const { return shellLinks_; }
    // The fields of the shortcut saved last at `linkFile`, while its file exists.
    std::optional<ShellLinkFields> ShortcutAt(const std::string& linkFile);

    // --- Token and version.
    // The token's groups; nothing means the token cannot be opened.
    void SetTokenGroups(std::optional<std::vector<TokenGroup>> groups) {
        tokenGroups_ = std::move(groups);
    }
    // The record both queries give, and which of them work.
    void SetVersion(const VersionRecord& record, bool extendedQueryWorks = true,
                    bool shortQueryWorks = true);
    void SetSystemMetric(int index, int value) { systemMetrics_[index] = value; }

    // --- Another user, or the account's unelevated programs, acting on the machine while the
    // setup runs (see ActAs): never counted and never failed by plan. Each act succeeds only
    // where the actor may act: names are added in a folder the actor owns or that lets others
    // add; renamed, replaced or deleted in one the actor owns or that is open to others; never
    // on anything the program holds open. What another user makes is theirs and open to
    // others; what the account makes is the account's. Paths resolve against the current
    // folder, through junctions on the way.
    // Who the acts below are made by; another user unless told.
    void ActAs(SimActor actor) { actor_ = actor; }
    // Renames a file or folder (with everything in it) to a free name.
    bool OtherUserRename(const std::string& from, const std::string& to);
    // Creates or rewrites a file.
    bool OtherUserWriteFile(const std::string& path, const std::string& data);
    // Makes `path` a symbolic (or hard) link to the file `target`, replacing what had the name.
    bool OtherUserPlantLink(const std::string& path, const std::string& target);
    // Creates a folder.
    bool OtherUserAddFolder(const std::string& path);
    // Makes `path` a junction to the folder `target`: a new one, one put in place of a junction
    // that was there, or an empty folder turned into a mount point — which needs only the
    // right to write the folder's attributes (its owner always has it), so it works on a
    // folder the program holds too.
    bool OtherUserMakeJunction(const std::string& path, const std::string& target);
    // Runs `action` right before the counted operation numbered `number` (1 is the first),
    // so that another user can act between any two operations of the program.
    void BeforeOperation(std::uint64_t number, std::function<void()> action);

    // --- Faults and the operation log.
    void Fail(SimOp op, const std::string& target = "", int occurrence = 0);
    void FailOperationNumber(std::uint64_t number) { faults_.FailOperationNumber(number); }
    void ClearFaults() { faults_.Clear(); }
    std::uint64_t OperationCount() const { return faults_.OperationCount(); }
    std::uint64_t OperationCount(SimOp op) const { return faults_.OperationCount(op); }
    const std::vector<SimOperation>& OperationLog() const { return faults_.Log(); }

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

private:
    class Stream;
    class Key;
    class Hold;
    friend class Stream;
    friend class Key;
    friend class Hold;

    struct Node {
        std::string path;  // full path in the case it was made with
        bool folder = false;
        std::string data;
        // The program's open handles on it. None shares writing or deletion, so while any
        // is open nobody may write, rename or delete the file or folder.
        int handles = 0;
        int writeHandles = 0;  // of those, the ones open for writing
        bool inUse = false;
        SimFolderSecurity security;                  // folders only
        std::optional<FolderProtection> protection;  // folders the program made
        bool admitsAccount = false;                  // a private folder's list names the account
        std::string finalPath;                       // what FinalPath reports when not empty
        std::string linkTarget;      // a symbolic link to this full path when not empty
        std::string junctionTarget;  // a folder: a junction to this full path when not empty
    };
    struct KeyNode {
        std::string path;
        std::map<std::string, std::pair<std::string, RegistryValue>> values;  // by folded name
    };

    // The full path `path` names, through the junctions on its way; with `followLast` false a
    // junction at the name itself is not followed (as when it is opened as itself).
    std::optional<std::string> Resolve(const std::string& path, bool followLast = true) const;
    // True when the owner may be trusted by this process (see SetElevated).
    bool TrustedOwner(SimOwner owner) const;
    // True when the folder may be trusted: as one that holds the next folder of a checked
    // path (`above`), or as one the program writes into.
    bool SafeFolder(const Node* node, bool above) const;
    // True when another actor may add names in, or change names in, the folder `fullPath`.
    bool ActorMayAdd(const std::string& fullPath);
    bool ActorMayChange(const std::string& fullPath);
    // True when another actor may put a file at `fullPath`: a new name where it may add, or in
    // place of a file nobody holds where it may change names.
    bool ActorMayPutFile(const std::string& fullPath);
    Node* Find(const std::string& fullPath);
    // The node `path` names (resolved as Resolve does); null when there is none.
    Node* Lookup(const std::string& path, bool followLast = true);
    // Makes the node for `fullPath` (or takes the one there) with that path and kind.
    Node& AddNode(const std::string& fullPath, bool folder);
    // Resolves `path` for the counted operation `op`; nothing when the operation fails by plan
    // or the path does not resolve.
    std::optional<std::string> ResolveFor(SimOp op, const std::string& path,
                                          bool followLast = true);
    // True when a new name may be made at `fullPath`: a valid name in a writable folder.
    bool MayCreate(const std::string& fullPath);
    // True when the folder `node` may be removed: no drive's root, writable, not the current
    // folder nor above it, empty, and open through no more than `ownHandles` handles.
    bool MayRemoveFolder(const Node* node, int ownHandles);
    // Creates the file at `fullPath` as it stands (no junction on the way is followed), as
    // CreateFileForWriting does; `path` is the name the stream and errors carry.
    std::unique_ptr<FileStream> CreateFileAt(const std::string& fullPath, const std::string& path);
    // The node a path names, following a file link to its target.
    Node* FindFollowingLinks(const std::string& fullPath);
    bool IsWritableFolder(const std::string& path) const;
    bool KeepsAccessLists(const std::string& path) const;
    // True when the program holds `fullPath` or anything below it open.
    bool HeldAtOrBelow(const std::string& fullPath) const;
    bool ParentIsFolder(const std::string& fullPath);
    bool Fails(SimOp op, const std::vector<std::string>& targets);
    // Takes `count` bytes from the free space; false when the disk is full.
    bool TakeSpace(std::uint64_t count);
    static std::string KeyPath(const std::string& key);
    const KeyNode* FindKey(const std::string& key) const;
    KeyNode& MakeKey(const std::string& key);

    std::map<std::string, Node> nodes_;  // by case-folded full path
    std::string currentFolder_ = "C:\\";
    std::string executable_;
    std::unique_ptr<FileStream> executableStream_;
    std::vector<std::string> readOnlyFolders_;
    std::vector<std::string> scheduledRemovals_;
    std::vector<std::string> foldersWithoutAccessLists_;
    bool elevated_ = true;
    std::map<std::uint64_t, std::vector<std::function<void()>>> actsBefore_;
    bool acting_ = false;  // another user's act is running: nothing is counted
    SimActor actor_ = SimActor::kOtherUser;
    std::optional<std::uint64_t> freeSpace_;
    std::uint64_t spaceTaken_ = 0;

    std::map<std::string, KeyNode> keys_;  // by case-folded path
    bool registryWritable_ = true;

    std::map<int, std::string> specialFolders_;
    std::vector<SimShellStart> shellStarts_;
    std::vector<SimShellLink> shellLinks_;

    std::optional<std::vector<TokenGroup>> tokenGroups_;
    VersionRecord version_;
    bool extendedQueryWorks_ = true;
    bool shortQueryWorks_ = true;
    std::map<int, int> systemMetrics_;

    FaultPlan faults_;
};

}  // namespace nv::host::sim
