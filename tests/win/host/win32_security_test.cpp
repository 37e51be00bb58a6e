// Win32Host's protected folders, its trust test and hold on existing folders, and files that
// are created, held and deleted by handle, on a real Windows (Wine).

#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "host/win32/account_sids.h"
#include "host/win32/desktop_shell.h"
#include "host/win32/folder_protection.h"
#include "host/win32/folder_trust.h"
#include "host/win32/win32_host.h"
#include "win32/unique_handle.h"

namespace nv::host {
namespace {

class SecurityTest : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH + 1] = {};
        ASSERT_GT(::GetTempPathA(sizeof(base), base), 0U);
        folder_ = std::string(base) + "nv_security_test_" + std::to_string(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::string& path : created_) {
            ::DeleteFileA(path.c_str());
            ::RemoveDirectoryA(path.c_str());
        }
        ::RemoveDirectoryA(folder_.c_str());
    }
    std::string In(const std::string& name) {
        const std::string path = folder_ + "\\" + name;
        created_.insert(created_.begin(), path);
        return path;
    }
    static std::string FileText(const std::string& path) {
        UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        char buffer[256];
        DWORD got = 0;
        if (!file || !::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            return "<unreadable>";
        }
        return std::string(buffer, got);
    }
    static void WriteText(const std::string& path, const std::string& text) {
        UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                                nullptr));
    }
    static bool Exists(const std::string& path) {
        return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    Win32Host host_;
    std::string folder_;
    std::vector<std::string> created_;
};

// The error another program meets when it tries `action` on something this one holds.
DWORD ErrorOf(BOOL succeeded) {
    return succeeded ? ERROR_SUCCESS : ::GetLastError();
}

DWORD ErrorOfOpening(const std::string& path, DWORD access) {
    UniqueFileHandle file(
        ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? ERROR_SUCCESS : ::GetLastError();
}

// What other programs are refused on a held file or folder: renaming, deleting by name and
// (for files) opening for writing.
void ExpectOthersRefused(const std::string& path, bool isFolder) {
    const std::string elsewhere = path + ".moved";
    EXPECT_EQ(ErrorOf(::MoveFileA(path.c_str(), elsewhere.c_str())), ERROR_SHARING_VIOLATION)
        << path;
    EXPECT_EQ(ErrorOf(isFolder ? ::RemoveDirectoryA(path.c_str()) : ::DeleteFileA(path.c_str())),
              ERROR_SHARING_VIOLATION)
        << path;
    if (!isFolder) {
        EXPECT_EQ(ErrorOfOpening(path, GENERIC_WRITE), ERROR_SHARING_VIOLATION) << path;
        EXPECT_EQ(ErrorOfOpening(path, GENERIC_READ), ERROR_SUCCESS) << "reading stays allowed";
    }
    ::MoveFileA(elsewhere.c_str(), path.c_str());  // should the rename have gone through
}

// A descriptor in its text form, normalised by the system's own conversion.
std::string DescriptorText(PSECURITY_DESCRIPTOR descriptor, SECURITY_INFORMATION parts) {
    char* text = nullptr;
    if (!::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, parts,
                                                                &text, nullptr)) {
        return "<none>";
    }
    std::string result = text;
    ::LocalFree(text);
    return result;
}

// The owner and access list a file-system object keeps, in text form.
std::string KeptDescriptor(const std::string& path, SECURITY_INFORMATION parts) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, parts, nullptr, nullptr, nullptr,
                                nullptr, &descriptor) != ERROR_SUCCESS) {
        return "<unreadable>";
    }
    std::string text = DescriptorText(descriptor, parts);
    ::LocalFree(descriptor);
    return text;
}

// Makes a folder with the descriptor `sddl` describes; true when the file system keeps it as
// given. Wine keeps a folder's access list only where it can store it with the file;
// elsewhere it derives one from the Unix permissions.
bool MakeFolderWith(const std::string& path, const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return false;
    }
    const SECURITY_INFORMATION parts =
        DACL_SECURITY_INFORMATION | (sddl.rfind("O:", 0) == 0 ? OWNER_SECURITY_INFORMATION : 0);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const BOOL made = ::CreateDirectoryA(path.c_str(), &attributes);
    const std::string wanted = DescriptorText(descriptor, parts);
    ::LocalFree(descriptor);
    return made && KeptDescriptor(path, parts) == wanted;
}

// The account the test runs as, as a SID text.
std::string AccountSid() {
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
        return {};
    }
    std::vector<void*> block(64);
    DWORD size = 0;
    char* text = nullptr;
    if (!::GetTokenInformation(token.Get(), TokenUser, block.data(),
                               static_cast<DWORD>(block.size() * sizeof(void*)), &size) ||
        !::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(block.data())->User.Sid, &text)) {
        return {};
    }
    std::string sid = text;
    ::LocalFree(text);
    return sid;
}

bool TokenIsElevated() {
    UniqueKernelHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put()) &&
           ::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation,
                                 &size) &&
           elevation.TokenIsElevated != 0;
}

// A descriptor made from its text form, freed when it goes.
class TextDescriptor {
public:
    explicit TextDescriptor(const std::string& sddl) {
        ::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                               &descriptor_, nullptr);
    }
    ~TextDescriptor() { ::LocalFree(descriptor_); }
    TextDescriptor(const TextDescriptor&) = delete;
    TextDescriptor& operator=(const TextDescriptor&) = delete;
    TextDescriptor(TextDescriptor&&) = delete;
    TextDescriptor& operator=(TextDescriptor&&) = delete;
    PSECURITY_DESCRIPTOR Get() const { return descriptor_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

TEST_F(SecurityTest, NewFoldersGetTheAccessListTheirProtectionNames) {
    const bool keepsLists = MakeFolderWith(In("probe"), "D:P(A;OICI;FA;;;WD)");
    const std::string account =
        TokenIsElevated() ? std::string() : "(A;OICI;FA;;;" + AccountSid() + ")";
    const struct {
        FolderProtection protection;
        const char* name;
        std::string dacl;  // empty: whatever the parent passes on
    } cases[] = {
        {FolderProtection::kInherited, "inherited", ""},
        {FolderProtection::kPrivate, "private", "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)" + account},
        {FolderProtection::kProgram, "program",
         "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"},
    };
    for (const auto& c : cases) {
        FolderSecurity security(c.protection);
        ASSERT_TRUE(security.IsValid()) << c.name;
        if (c.dacl.empty()) {
            EXPECT_EQ(security.Attributes(), nullptr) << c.name;
        } else {
            ASSERT_NE(security.Attributes(), nullptr) << c.name;
            EXPECT_EQ(DescriptorText(security.Attributes()->lpSecurityDescriptor,
                                     DACL_SECURITY_INFORMATION),
                      c.dacl)
                << c.name;
            // Owned by a trusted writer, as a folder made with it is, it passes the test.
            const TextDescriptor owned("O:BA" + c.dacl);
            TrustedWriters elevated;
            ASSERT_TRUE(elevated.Load(false));
            EXPECT_TRUE(IsTrustedDescriptor(owned.Get(), elevated, FolderRole::kWrittenInto))
                << c.name;
        }

        const std::string path = In(c.name);
        ASSERT_TRUE(host_.CreateProtectedFolder(path, c.protection)) << c.name;
        EXPECT_TRUE(host_.FolderExists(path)) << c.name;
        EXPECT_FALSE(host_.CreateProtectedFolder(path, c.protection)) << "exists: " << c.name;
        // What this program made, the same program must be able to hold.
        EXPECT_NE(host_.HoldSafeFolder(path), nullptr) << c.name;
        if (keepsLists && !c.dacl.empty()) {
            EXPECT_EQ(KeptDescriptor(path, DACL_SECURITY_INFORMATION), c.dacl) << c.name;
        }
    }
    EXPECT_FALSE(host_.CreateProtectedFolder(In("missing\\inner"), FolderProtection::kProgram));
    if (!keepsLists) {
        std::printf(
            "note: this file system keeps no access lists: checked as built, not as kept\n");
    }
}

// What the installation and the folder chooser make: the folder with every missing parent,
// each with a program folder's access list; nothing through a file in the way.
TEST_F(SecurityTest, AnInstallationFolderIsMadeWithItsMissingParentsEachProtected) {
    const std::string top = In("made");
    In("made\\a");
    const std::string path = In("made\\a\\b");
    std::unique_ptr<HeldFolder> held = host_.HoldInstallationFolder(path + "\\");
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(held->Names(path));
    held.reset();
    const std::string program = In("program");
    ASSERT_TRUE(CreateFolderWithProtection(program, FolderProtection::kProgram));
    for (const std::string& made : {top, top + "\\a", path}) {
        EXPECT_EQ(KeptDescriptor(made, DACL_SECURITY_INFORMATION),
                  KeptDescriptor(program, DACL_SECURITY_INFORMATION))
            << made;
    }
    EXPECT_NE(host_.HoldInstallationFolder(path), nullptr) << "an existing folder is fine";
    const std::string blocker = In("blocker");
    WriteText(blocker, "x");
    EXPECT_EQ(host_.HoldInstallationFolder(blocker + "\\inside"), nullptr);
    EXPECT_FALSE(Exists(blocker + "\\inside"));
    EXPECT_EQ(host_.HoldInstallationFolder(""), nullptr);
}

// Each descriptor judged three ways: as a folder written into by a program that trusts its
// account (not elevated, or under Wine), by an elevated one that does not, and as a folder
// above the one written into (by the elevated program).
TEST_F(SecurityTest, OnlyFoldersNoOneElseMayChangeAreTrusted) {
    const std::string installer = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
    const std::string me = AccountSid();
    ASSERT_FALSE(me.empty());
    TrustedWriters withAccount;
    TrustedWriters elevated;
    ASSERT_TRUE(withAccount.Load(true));
    ASSERT_TRUE(elevated.Load(false));
    // CREATOR OWNER passes rights to whoever creates: harmless while that is a trusted writer.
    const bool creator = withAccount.CreatorIsTrusted();
    const bool creatorElevated = elevated.CreatorIsTrusted();
    const struct {
        std::string owner;
        std::string dacl;
        bool safe;          // written into, the account trusted
        bool safeElevated;  // written into, the account not trusted
        bool safeAbove;     // holding the next folder of a path
    } cases[] = {
        {me, "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", true, false, false},
        {"BA", "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;" + installer + ")", true, true, true},
        {"SY", "D:P(A;OICI;FA;;;" + me + ")", true, false, false},
        {installer, "D:P(A;OICI;FA;;;BA)", true, true, true},
        {"BA", "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;" + me + ")", true, false, false},
        {"BA", "D:P(A;OICI;FA;;;BA)(A;OICIIO;FA;;;CO)", creator, creatorElevated, true},
        {"BA", "D:P(A;OICI;FA;;;BA)(A;OICIIO;FA;;;WD)", false, false, true},  // passed on to all
        {"BA", "D:P(A;OICI;FA;;;BA)(A;OICIIO;0x1301bf;;;AU)", false, false, true},  // a root's
        {"BA", "D:P(A;OICI;FA;;;BA)(A;OICIIO;FA;;;CG)", false, false, true},        // creator group
        {"BA", "D:P(A;OICI;FA;;;BA)(D;OICI;FA;;;WD)", true, true, true},            // denying
        {me, "D:P(A;OICI;FA;;;WD)", false, false, false},
        {me, "D:P(A;OICI;FA;;;BA)(A;;0x2;;;BU)", false, false, false},  // adding files
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;0x2;;;BU)", false, false, true},
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;0x4;;;BU)", false, false, true},    // adding folders
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;0x100;;;BU)", false, false, true},  // writing attributes
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;0x40;;;AU)", false, false, false},  // deleting what it holds
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;SD;;;AU)", false, false, false},    // deleting it
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;WD;;;BU)", false, false, false},    // changing the list
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;WO;;;BU)", false, false, false},    // taking ownership
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;GW;;;WD)", false, false, true},     // generic writing
        {"BA", "D:P(A;OICI;FA;;;BA)(A;;GA;;;WD)", false, false, false},    // generic all
        {"BA", "D:P(A;OICI;FA;;;BA)(A;CI;0x2;;;BU)", false, false, true},  // inherited, here too
        {"BA", "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;CO)", false, false, false},  // applying here too
        {"BU", "D:P(A;OICI;FA;;;BA)", false, false, false},                  // owned by Users
        {"WD", "D:P(A;OICI;FA;;;BA)", false, false, false},                  // owned by everyone
        {me, "", false, false, false},                                       // no list at all
    };
    int kept = 0;
    for (const auto& c : cases) {
        const std::string sddl = "O:" + c.owner + c.dacl;
        const TextDescriptor descriptor(sddl);
        ASSERT_NE(descriptor.Get(), nullptr) << sddl;
        EXPECT_EQ(IsTrustedDescriptor(descriptor.Get(), withAccount, FolderRole::kWrittenInto),
                  c.safe)
            << sddl;
        EXPECT_EQ(IsTrustedDescriptor(descriptor.Get(), elevated, FolderRole::kWrittenInto),
                  c.safeElevated)
            << sddl;
        EXPECT_EQ(IsTrustedDescriptor(descriptor.Get(), elevated, FolderRole::kAbove), c.safeAbove)
            << sddl;
        // A drive's root may be deleted by others (it cannot be): only above the folder used.
        if (c.dacl.find("(A;;SD;;;AU)") != std::string::npos) {
            EXPECT_TRUE(IsTrustedDescriptor(descriptor.Get(), elevated, FolderRole::kRootAbove));
        }
        // And on a folder, where the file system keeps the list as given.
        const std::string path = In("case" + std::to_string(&c - cases));
        if (!c.dacl.empty() && MakeFolderWith(path, sddl)) {
            ++kept;
            const bool trustsAccount = TrustedWriters::AccountIsTrustedWriter();
            EXPECT_EQ(host_.HoldSafeFolder(path) != nullptr,
                      trustsAccount ? c.safe : c.safeElevated)
                << sddl;
        }
    }
    // A null list (as opposed to an empty one) lets everyone do everything.
    SidBuffer administrators;
    ASSERT_TRUE(administrators.MakeWellKnown(WinBuiltinAdministratorsSid));
    SECURITY_DESCRIPTOR nullList{};
    ASSERT_TRUE(::InitializeSecurityDescriptor(&nullList, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorOwner(&nullList, administrators.Get(), FALSE));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&nullList, TRUE, nullptr, FALSE));
    EXPECT_FALSE(IsTrustedDescriptor(&nullList, withAccount, FolderRole::kAbove));
    if (kept == 0) {
        std::printf(
            "note: this file system keeps no access lists: descriptors checked, not "
            "folders\n");
    }
}

TEST_F(SecurityTest, OnlyExistingFoldersAreHeld) {
    EXPECT_EQ(host_.HoldSafeFolder(In("missing")), nullptr);
    const std::string file = In("file");
    WriteText(file, "x");
    EXPECT_EQ(host_.HoldSafeFolder(file), nullptr);
    const std::string link = In("link");
    if (::CreateSymbolicLinkA(link.c_str(), folder_.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        (::GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        EXPECT_EQ(host_.HoldSafeFolder(link), nullptr) << "a link to a safe folder";
    }
}

TEST_F(SecurityTest, AHeldFolderCannotBeRenamedOrRemovedUntilReleased) {
    const std::string path = In("held");
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    std::unique_ptr<HeldFolder> held = host_.HoldSafeFolder(path + "\\..\\held\\");
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(SameTextIgnoreCase(held->FinalPath(), host_.FullPathOf(path))) << held->FinalPath();
    EXPECT_TRUE(held->OnLocalDiskWithAccessLists());
    ExpectOthersRefused(path, true);
    // Files can still be made and removed inside it.
    WriteText(path + "\\inside.txt", "x");
    EXPECT_FALSE(held->RemoveIfEmpty());
    ExpectOthersRefused(path, true);  // still held
    ASSERT_TRUE(::DeleteFileA((path + "\\inside.txt").c_str()));
    EXPECT_TRUE(held->RemoveIfEmpty());
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(held->FinalPath(), "");
    EXPECT_FALSE(held->RemoveIfEmpty());

    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    host_.HoldSafeFolder(path).reset();
    EXPECT_TRUE(::MoveFileA(path.c_str(), (path + "2").c_str())) << "released";
    In("held2");
}

TEST_F(SecurityTest, TheCurrentFolderIsHeldButNotRemoved) {
    const std::string path = In("current");
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    const std::string before = host_.CurrentFolder();
    ASSERT_TRUE(host_.SetCurrentFolder(path));
    std::unique_ptr<HeldFolder> held = host_.HoldSafeFolder(path);
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(held->RemoveIfEmpty());
    ExpectOthersRefused(path, true);
    ASSERT_TRUE(host_.SetCurrentFolder(before));
}

TEST_F(SecurityTest, CreatedFilesAreHeldUntilClosedAndRemovedByHandle) {
    const std::string existing = In("existing.txt");
    WriteText(existing, "keep");
    EXPECT_EQ(host_.CreateNewFile(existing), nullptr);
    EXPECT_EQ(FileText(existing), "keep");
    EXPECT_EQ(host_.CreateNewFile(folder_), nullptr);

    for (const bool replacing : {false, true}) {
        const std::string path = In(replacing ? "replaced.txt" : "new.txt");
        if (replacing) {
            WriteText(path, "old");
        }
        std::unique_ptr<FileStream> file =
            replacing ? host_.CreateFileForWriting(path) : host_.CreateNewFile(path);
        ASSERT_NE(file, nullptr);
        file->Write("new", 3);
        ExpectOthersRefused(path, false);
        std::string back(3, '\0');
        file->Seek(0);
        file->ReadExactly(back.data(), back.size());
        EXPECT_EQ(back, "new");
        EXPECT_TRUE(file->Remove());
        EXPECT_FALSE(Exists(path)) << path;
        EXPECT_FALSE(file->Remove());
    }

    // A stream opened for reading may not delete.
    std::unique_ptr<FileStream> reader = host_.OpenFileForReading(existing);
    EXPECT_FALSE(reader->Remove());
    reader.reset();
    EXPECT_EQ(FileText(existing), "keep");
}

TEST_F(SecurityTest, OnlyRegularShortcutFilesAreRemoved) {
    const std::string target = In("target.txt");
    WriteText(target, "target");
    WriteText(In("plain.lnk"), "shortcut");
    WriteText(In("UPPER.LNK"), "shortcut");
    WriteText(In("notes.txt"), "text");
    WriteText(In("plain.lnk.txt"), "text");
    ASSERT_TRUE(::CreateDirectoryA(In("folder.lnk").c_str(), nullptr));
    ASSERT_TRUE(::CreateHardLinkA(In("hard.lnk").c_str(), target.c_str(), nullptr));
    const bool symlinks =
        ::CreateSymbolicLinkA(In("symbolic.lnk").c_str(), target.c_str(), 0) &&
        (::GetFileAttributesA(In("symbolic.lnk").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const struct {
        const char* name;
        bool removed;
    } cases[] = {
        {"plain.lnk", true},    {"UPPER.LNK", true},      {"hard.lnk", true},
        {"notes.txt", false},   {"plain.lnk.txt", false}, {"folder.lnk", false},
        {"missing.lnk", false}, {"symbolic.lnk", false},
    };
    for (const auto& c : cases) {
        const std::string path = In(c.name);
        const bool existed = Exists(path);
        if (std::string(c.name) == "symbolic.lnk" && !symlinks) {
            continue;
        }
        EXPECT_EQ(host_.RemoveShortcutFile(path), c.removed) << c.name;
        EXPECT_EQ(Exists(path), existed && !c.removed) << c.name;
    }
    EXPECT_EQ(FileText(target), "target") << "what a link names stays";
    if (!symlinks) {
        GTEST_SKIP() << "symbolic links are not available here: that case was not run";
    }
}

// Neither a new file nor a shortcut is ever written through a link planted at its name: the
// name is replaced and what the link named keeps its bytes.
TEST_F(SecurityTest, CreatingAFileOrShortcutReplacesALinkInsteadOfWritingThroughIt) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const struct {
        const char* what;
        bool shortcut;
        bool symbolic;
    } cases[] = {
        {"file over a hard link", false, false},
        {"file over a symbolic link", false, true},
        {"shortcut over a hard link", true, false},
        {"shortcut over a symbolic link", true, true},
    };
    bool skipped = false;
    for (const auto& c : cases) {
        const std::string index = std::to_string(&c - cases);
        const std::string target = In("target" + index + ".txt");
        const std::string link = In("link" + index + ".lnk");
        WriteText(target, "original");
        if (c.symbolic ? !::CreateSymbolicLinkA(link.c_str(), target.c_str(), 0)
                       : !::CreateHardLinkA(link.c_str(), target.c_str(), nullptr)) {
            skipped = true;  // symbolic links are not available here
            continue;
        }
        if (c.shortcut) {
            ShellLinkFields fields;
            fields.path = target;
            EXPECT_TRUE(host_.SaveShellLink(fields, link)) << c.what;
        } else {
            host_.CreateFileForWriting(link)->Write("new", 3);
        }
        EXPECT_EQ(FileText(target), "original") << c.what;
        const std::string written = FileText(link);
        EXPECT_NE(written, "original") << c.what;
        EXPECT_EQ(written.rfind(c.shortcut ? std::string("L\0\0\0", 4) : "new", 0), 0U) << c.what;
    }
    ::CoUninitialize();
    if (skipped) {
        GTEST_SKIP() << "symbolic links are not available here: those cases were not run";
    }
}

// Every folder of a path is held from the drive's root down, and the held folder is matched
// with its path as the file system names it (a short 8.3 form names the same folder).
TEST_F(SecurityTest, AWholePathIsHeldAndMatchedAsTheFileSystemNamesIt) {
    const std::string above = In("above folder");
    const std::string path = In("above folder\\the installation folder");
    ASSERT_TRUE(::CreateDirectoryA(above.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    {
        std::unique_ptr<HeldFolder> held = host_.HoldSafePath(path, PathEnd::kWrittenInto);
        ASSERT_NE(held, nullptr);
        ExpectOthersRefused(path, true);
        ExpectOthersRefused(above, true);  // the folder above is held too
        EXPECT_TRUE(held->Names(path));
        EXPECT_TRUE(held->Names(path + "\\"));
        EXPECT_FALSE(held->Names(above));
        char shortPath[MAX_PATH + 1] = {};
        if (::GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath) > 0 &&
            !SameTextIgnoreCase(shortPath, path)) {
            EXPECT_TRUE(held->Names(shortPath)) << shortPath;
            EXPECT_NE(host_.HoldSafePath(shortPath, PathEnd::kWrittenInto), nullptr) << shortPath;
        }
    }
    EXPECT_EQ(host_.HoldSafePath(path + "\\missing", PathEnd::kWrittenInto), nullptr);
    EXPECT_EQ(host_.HoldSafePath("relative\\folder", PathEnd::kWrittenInto), nullptr);
    const std::string link = In("link to above");
    if (::CreateSymbolicLinkA(link.c_str(), above.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        (::GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        EXPECT_EQ(host_.HoldSafePath(link + "\\the installation folder", PathEnd::kWrittenInto),
                  nullptr);
    }
}

// "C:\" is the drive's root, never the drive's current folder, and never an installation
// folder: what is made there would inherit the right of all users to change it.
TEST_F(SecurityTest, ADriveRootIsHeldAsTheRootAndIsNoInstallationFolder) {
    const std::string before = host_.CurrentFolder();
    char windows[MAX_PATH + 1] = {};
    ASSERT_GT(::GetWindowsDirectoryA(windows, sizeof windows), 0U);
    ASSERT_TRUE(host_.SetCurrentFolder(windows));
    const std::string root = std::string(windows, 3);
    std::unique_ptr<HeldFolder> held = host_.HoldSafePath(root, PathEnd::kParentOfNew);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->FinalPath(), root);
    EXPECT_TRUE(held->Names(root));
    EXPECT_FALSE(held->Names(windows));
    EXPECT_EQ(host_.HoldInstallationFolder(root), nullptr);
    EXPECT_EQ(host_.HoldInstallationFolder(root.substr(0, 2)), nullptr);
    ASSERT_TRUE(host_.SetCurrentFolder(before));
}

// Files made inside a held folder are named relative to the hold: when the folder's parent is
// renamed and another folder takes the old name, they still land in the held folder.
TEST_F(SecurityTest, FilesMadeInsideAHeldFolderLandInItWhateverBecomesOfItsParent) {
    const std::string parent = In("parent");
    const std::string moved = In("moved");
    ASSERT_TRUE(::CreateDirectoryA(parent.c_str(), nullptr));
    const std::string path = In("parent\\held");
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    std::unique_ptr<HeldFolder> held = host_.HoldSafeFolder(path);
    ASSERT_NE(held, nullptr);
    // A name that is taken goes first; a name with a folder part is refused.
    WriteText(path + "\\taken.txt", "old");
    In("moved\\held\\taken.txt");
    held->CreateFileInside("taken.txt")->Write("new", 3);
    EXPECT_EQ(FileText(path + "\\taken.txt"), "new");
    EXPECT_THROW(held->CreateFileInside("..\\escape.txt"), Error);
    // (Wine deletes a file by the name it was opened by, so a deletion inside a folder whose
    // parent was renamed would miss: the rest makes new names only.)
    if (!::MoveFileA(parent.c_str(), moved.c_str())) {
        GTEST_SKIP() << "a parent of a held folder cannot be renamed here (error "
                     << ::GetLastError() << ")";
    }
    In("moved\\held");
    In("moved\\held\\inside.txt");
    ASSERT_TRUE(::CreateDirectoryA(parent.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    held->CreateFileInside("inside.txt")->Write("ours", 4);
    EXPECT_EQ(FileText(moved + "\\held\\inside.txt"), "ours");
    EXPECT_FALSE(Exists(path + "\\inside.txt"));
    held.reset();
}

// Finish starts the product itself only where that gives it no more rights than the user
// has: never from an elevated setup on Windows, where only the desktop shell may start it.
TEST(DirectStart, OnlyWithoutElevationOrUnderWine) {
    const struct {
        bool elevated;
        bool underWine;
        bool allowed;
    } cases[] = {
        {false, false, true}, {true, false, false}, {false, true, true}, {true, true, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(DirectStartAllowed(c.elevated, c.underWine), c.allowed)
            << c.elevated << c.underWine;
    }
    EXPECT_TRUE(RunsUnderWine()) << "these tests run under Wine";
}

}  // namespace
}  // namespace nv::host
