#pragma once
// Host: every operating-system service the setup uses, behind one interface. Win32Host
// makes the real calls; SimHost simulates a Windows machine in memory for the tests.
//
// Who reports what:
//  - Operations whose failure callers expect to test return a plain result (false, null,
//    an empty text): opening a registry key, deleting a value, deleting or copying a
//    file, creating a protected folder, making a folder current, starting a
//    program, saving a shortcut, looking up a special folder, the token and the version.
//  - Operations whose failure ends the procedure unless caught raise nv::Error as a kind
//    with its details: the file, folder or value concerned and the system's error code
//    where one is known. Each program words the kinds in its own language. They are raised
//    either by the non-virtual members of this header (registry values, profile files,
//    folders) or by the file streams of each host (open, create, read, write, seek).
//
// Paths are Windows paths in the ANSI code page; relative names resolve against the
// current folder. Registry paths are under HKEY_LOCAL_MACHINE.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/file_stream.h"
#include "host/host_types.h"

namespace nv::host {

// An open registry key; closed when destroyed.
class RegistryKey {
public:
    RegistryKey() = default;
    virtual ~RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&&) = delete;
    RegistryKey& operator=(RegistryKey&&) = delete;

    // The text of a value, up to its first zero byte. A missing or unreadable value reads
    // as the empty text; a value of a type other than REG_SZ or REG_EXPAND_SZ raises
    // kInvalidDataType with the value's name.
    std::string ReadString(const std::string& name);
    // Writes a REG_SZ value (its length counts the terminating zero). Raises
    // kSetDataFailed with the value's name when the value cannot be written.
    void WriteString(const std::string& name, const std::string& value);
    // Writes a REG_DWORD value. Raises like WriteString.
    void WriteDword(const std::string& name, std::uint32_t value);

    // The raw value, or nothing when it is missing or cannot be read.
    virtual std::optional<RegistryValue> QueryValue(const std::string& name) = 0;
    // Stores a raw value; false on failure.
    virtual bool SetValue(const std::string& name, const RegistryValue& value) = 0;
    // Deletes a value; false when it could not be deleted (for example when missing).
    virtual bool DeleteValue(const std::string& name) = 0;

protected:
    // The system's code for why SetValue failed last, for the error raised from it; 0 when
    // none is known.
    virtual unsigned long LastFailureCode() { return 0; }
};

// The host's files are the one stream type every layer reads and writes.
using nv::FileStream;

// Files are copied in pieces of this size, with a progress call after each: large, since each
// read and write is a call into the system, and small enough that a piece takes a few
// milliseconds.
inline constexpr std::size_t kCopyPiece = 262144;

// Called now and then while a file is copied, so that the caller can let window messages run.
using CopyProgress = std::function<void()>;

// A folder held open from the moment it was checked until this object goes. The hold does
// not share deletion, so while it lasts nobody can rename, delete or replace the folder:
// names inside it keep meaning what they meant when it was checked.
class HeldFolder {
public:
    explicit HeldFolder(std::string path) : path_(std::move(path)) {}
    virtual ~HeldFolder() = default;
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;
    HeldFolder(HeldFolder&&) = delete;
    HeldFolder& operator=(HeldFolder&&) = delete;

    // The path the folder was opened by.
    const std::string& Path() const { return path_; }
    // The folder's full path as the file system names the held folder, without a trailing
    // backslash (and without the "\\?\" prefix); empty when it cannot be told.
    virtual std::string FinalPath() = 0;
    // True when the held folder's final path is `path` (a full path), compared as Windows
    // compares names: in UTF-16, with long names, ignoring case the way the file system does.
    // The ANSI forms would not do: letters outside the code page all read as "?".
    virtual bool Names(const std::string& path) = 0;
    // True when the folder lies on a local fixed disk whose file system keeps access lists.
    virtual bool OnLocalDiskWithAccessLists() = 0;
    // Removes the folder through the held handle when it is empty; false otherwise (the
    // folder then stays held).
    virtual bool RemoveIfEmpty() = 0;
    // Creates the file `name` (a plain name) in the held folder, named relative to the hold
    // rather than by a path, so that it lands in the folder that was checked whatever became
    // of the names above it. What had the name goes first (a link itself, not what it points
    // to). The stream is like CreateFileForWriting's; raises kCreateFailed with the path.
    virtual std::unique_ptr<FileStream> CreateFileInside(const std::string& name) = 0;

private:
    std::string path_;
};

// What a folder checked by HoldSafePath is to the setup.
enum class PathEnd {
    // The setup creates files in it that an administrator will run: nobody but a trusted
    // writer may write to it, nor to what is created in it (inheritable entries count).
    kWrittenInto,
    // It only holds folders the setup is about to create with an access list of their own:
    // rights that merely add names or write attributes do not count.
    kParentOfNew,
};

// The access list a folder is created with.
enum class FolderProtection {
    // Whatever the parent passes on.
    kInherited,
    // Full control for Administrators and SYSTEM, and for the current account only when the
    // process is not elevated (an elevated setup must not let the account's unelevated
    // programs rewrite what it extracts); nobody else. Nothing inherited from the parent.
    kPrivate,
    // What a program-files folder has: full control for Administrators and SYSTEM, read and
    // execute for Users. Nothing inherited from the parent.
    kProgram,
};

// The names of the sub-folders and of the files in a folder, each sorted without regard to
// case; "." and ".." and hidden or system entries are left out.
struct FolderContent {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

class Host {
public:
    Host() = default;
    virtual ~Host() = default;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    Host(Host&&) = delete;
    Host& operator=(Host&&) = delete;

    // --- Registry, under HKEY_LOCAL_MACHINE. A leading backslash of the path is dropped.
    // Opens an existing key with the given access; null when it does not open.
    std::unique_ptr<RegistryKey> OpenKey(std::string_view path, KeyAccess access);
    // Opens the key with full access, creating it and its parents when missing; null when
    // that fails.
    std::unique_ptr<RegistryKey> CreateKey(std::string_view path);
    // Deletes a key with its values; a key that still has subkeys stays. False when the key
    // was not deleted (a missing key included).
    bool DeleteKey(std::string_view path);

    // --- Initialisation (private-profile) files, addressed by full path.
    // The value of section/key, or `defaultValue` when absent; at most 2047 bytes.
    std::string ReadProfileText(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& defaultValue = "");
    // Raises kProfileWriteFailed with the file on failure.
    void WriteProfileText(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value);

    // --- Files and folders.
    // Full path of the running executable.
    virtual std::string ExecutablePath() = 0;
    // The running executable's own file, opened once when the host was made and held until
    // the host goes: for reading, sharing reading only, so that nobody can rewrite, rename or
    // replace it meanwhile. Null when it could not be opened.
    virtual FileStream* Executable() = 0;
    // Opens an existing file for reading; raises when it cannot be opened.
    virtual std::unique_ptr<FileStream> OpenFileForReading(const std::string& path) = 0;
    // Creates a file for reading and writing. A file already there is replaced by a new one:
    // when that name is a link, the link goes and what it pointed to stays untouched. The
    // stream shares reading only (nobody else may write, rename or delete the file while it
    // is open) and can remove the file. Raises when the file cannot be created.
    virtual std::unique_ptr<FileStream> CreateFileForWriting(const std::string& path) = 0;
    // Creates a new file like CreateFileForWriting, but fails when anything (a file, a
    // folder, a link) already has the name; null then or on any other failure.
    virtual std::unique_ptr<FileStream> CreateNewFile(const std::string& path) = 0;
    // Creates one folder; raises kCreateFolderFailed on failure.
    void CreateFolder(const std::string& path);
    // Creates one folder with the given access list; false on failure, also when the name
    // exists.
    bool CreateProtectedFolder(const std::string& path, FolderProtection protection) {
        return DoCreateFolder(path, protection);
    }
    // Removes an empty folder; raises kRemoveFolderFailed on failure.
    void RemoveFolder(const std::string& path);
    // Opens an existing folder and holds it (see HeldFolder) when it can be trusted with files
    // an elevated program will run, copy or delete: it is no reparse point (junction or
    // symbolic link); its owner is a trusted writer (see HoldSafePath); and nobody else holds
    // an allowed entry for writing, adding files or folders, deleting, changing the access
    // list or taking ownership, neither for the folder itself nor passed on to what is
    // created in it (CREATOR OWNER passes the creator's rights on, and the creator is this
    // process). Null when the folder is missing, unsafe, or any of that cannot be
    // established. The check is made on the handle that is then held; only the last folder
    // of the path is checked (HoldSafePath checks them all).
    virtual std::unique_ptr<HeldFolder> HoldSafeFolder(const std::string& path) = 0;
    // Checks the folder `path` (a full path) from its drive root down and holds every folder
    // on the way: none may be a reparse point, every one above the last must be safe as a
    // parent (nobody but trusted writers may delete or rename what it holds, change its
    // access list or owner; adding names or writing attributes is allowed, and on a drive
    // root deleting too), and the last must be safe as `end` says. The trusted writers are
    // Administrators, SYSTEM and TrustedInstaller, and the account only where no program of
    // it runs with fewer rights (see TrustedWriters). The last folder's final path must be
    // `path` (see HeldFolder::Names) and lie on a local fixed disk with access lists. While
    // held, no folder on the way can be renamed, deleted or made a link (a drive's root, which
    // cannot be, is checked but not held), so names below the last one keep meaning what was
    // checked. Null when a folder is missing or any check
    // fails or cannot be made.
    virtual std::unique_ptr<HeldFolder> HoldSafePath(const std::string& path, PathEnd end) = 0;
    // The installation folder `path`, checked and held as HoldSafePath does it for a folder
    // written into. Missing folders on the way are created with the program-files access
    // list, each inside folders already checked and held, so that nothing is made through a
    // link; the whole path is checked again afterwards. A drive root is never such a folder:
    // what is created there would inherit the right of all users to change it. Null when
    // the path is not a full drive path or any check or creation fails.
    std::unique_ptr<HeldFolder> HoldInstallationFolder(const std::string& path);
    // True when `path` names an existing folder.
    virtual bool FolderExists(const std::string& path) = 0;
    // Makes a folder the process's current folder; false on failure.
    virtual bool SetCurrentFolder(const std::string& path) = 0;
    // The process's current folder.
    virtual std::string CurrentFolder() = 0;
    // The full path of `path` resolved against the current folder.
    virtual std::string FullPathOf(const std::string& path) = 0;
    // What `folder` holds; nothing when it cannot be listed.
    virtual FolderContent ListFolder(const std::string& folder) = 0;
    // The drive roots in use, such as "c:\", from a to z.
    virtual std::vector<std::string> LogicalDrives() = 0;
    // Deletes a file; false on failure. A link is deleted itself, never what it points to.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Has the file or folder `path` deleted at the next restart of the system, before any
    // program can hold it (Windows' session manager does it, as SYSTEM, by path); false when
    // nothing has the name or the deletion cannot be scheduled. Only for paths below a folder
    // that passed HoldSafePath: nobody but administrators can change them until the restart.
    virtual bool ScheduleRemovalAtRestart(const std::string& path) = 0;
    // Deletes `path` only when it is a shortcut: a regular file (no folder, no link or other
    // reparse point) whose name ends in ".lnk"; false otherwise or on failure.
    virtual bool RemoveShortcutFile(const std::string& path) = 0;
    // Copies everything `source` holds, from its start, into a new file `destination`, which
    // must not exist yet; false on failure, and a destination left incomplete is removed.
    // `progress`, when given, is called after each piece; an error it raises ends the copy
    // (the incomplete destination is removed) and travels on.
    bool CopyToNewFile(FileStream& source, const std::string& destination,
                       const CopyProgress& progress = {});

    // --- Shell.
    // Starts `file` with the verb "open", no parameters, `folder` as working folder, shown
    // normally, owned by the native window `owner` (may be null). True when the shell
    // accepted it.
    virtual bool ShellOpen(void* owner, const std::string& file, const std::string& folder) = 0;
    // The file-system path of a special folder (CSIDL number), or the empty text.
    virtual std::string SpecialFolderPath(int csidl) = 0;
    // Writes a shortcut file. False when the shell-link object or its file interface is
    // not available; true otherwise, even when saving the file failed.
    virtual bool SaveShellLink(const ShellLinkFields& fields, const std::string& linkFile) = 0;

    // --- Process token and version.
    // The groups of the current process's token; nothing when the token cannot be opened
    // or queried.
    virtual std::optional<std::vector<TokenGroup>> TokenGroups() = 0;
    // The version record by the given query, or nothing when that query fails.
    virtual std::optional<VersionRecord> QueryVersion(VersionQuery query) = 0;
    // GetSystemMetrics.
    virtual int SystemMetric(int index) = 0;

protected:
    // Primitives behind the non-virtual members above; each folds failure into its result.
    virtual std::unique_ptr<RegistryKey> DoOpenKey(const std::string& path, KeyAccess access,
                                                   bool create) = 0;
    virtual bool DoDeleteKey(const std::string& path) = 0;
    virtual std::string DoReadProfileText(const std::string& file, const std::string& section,
                                          const std::string& key,
                                          const std::string& defaultValue) = 0;
    virtual bool DoWriteProfileText(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& value) = 0;
    virtual bool DoCreateFolder(const std::string& path, FolderProtection protection) = 0;
    virtual bool DoRemoveFolder(const std::string& path) = 0;
    // The system's code for why the primitive that failed last did (GetLastError on
    // Windows), for the error raised from it; 0 when none is known.
    virtual unsigned long LastFailureCode() { return 0; }
};

}  // namespace nv::host
