// Win32Host against a real Windows (Wine): registry, profile files, file streams, folders,
// special folders, shortcuts, the token and the version.

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "base/text.h"
#include "host/administrator.h"
#include "host/shell_link.h"
#include "host/special_folders.h"
#include "host/win32/win32_host.h"
#include "host/windows_version.h"
#include "win32/unique_handle.h"

namespace nv::host {
namespace {

constexpr const char* kTestKey = "Software\\NorvistaHostTest";

// The kind and subject of the nv::Error an action raises, or "(no error)". The host raises
// kinds; each program words them.
std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return std::string(ErrorKindName(e.Kind())) + ": " + e.Path();
    }
    return "(no error)";
}

// The system's code that came with the nv::Error an action raises; 0 when none did.
unsigned long ErrorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.SystemCode();
    }
    return 0;
}

std::string ReadWholeFile(Host& host, const std::string& path) {
    const std::unique_ptr<FileStream> in = host.OpenFileForReading(path);
    std::string data(static_cast<std::size_t>(in->Size()), '\0');
    data.resize(in->Read(data.data(), data.size()));
    return data;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry{};
    UniqueFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (find) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(path);
            } else {
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(find.Get(), &entry));
    }
    find.Reset();
    ::RemoveDirectoryA(folder.c_str());
}

// A fresh folder below the temporary folder, removed with its contents afterwards.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH + 1] = {};
        ASSERT_GT(::GetTempPathA(sizeof(base), base), 0U);
        folder_ = std::string(base) + "nv_host_test_" + std::to_string(::GetCurrentProcessId());
        RemoveTree(folder_);
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(folder_); }

    std::string In(const std::string& name) const { return folder_ + "\\" + name; }

    Win32Host host_;
    std::string folder_;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey); }
    void TearDown() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey); }
    Win32Host host_;
};

TEST_F(RegistryTest, TextValuesRoundTrip) {
    EXPECT_EQ(host_.OpenKey(kTestKey, KeyAccess::kRead), nullptr);
    {
        const std::unique_ptr<RegistryKey> key = host_.CreateKey(std::string("\\") + kTestKey);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->ReadString("InstallPath"), "");
        key->WriteString("InstallPath", R"(C:\Programme\Norvista\)");
        key->WriteString("DesktopLink", "");
        const std::optional<RegistryValue> raw = key->QueryValue("InstallPath");
        ASSERT_TRUE(raw.has_value());
        EXPECT_EQ(raw->type, kRegSz);
        EXPECT_EQ(raw->data, std::string("C:\\Programme\\Norvista\\\0", 23));
    }
    const std::unique_ptr<RegistryKey> key = host_.OpenKey(kTestKey, KeyAccess::kRead);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("Installpath"), R"(C:\Programme\Norvista\)");  // any case
    EXPECT_EQ(key->ReadString("DesktopLink"), "");
    EXPECT_FALSE(key->DeleteValue("InstallPath"));  // opened for reading
    EXPECT_EQ(ErrorText([&] { key->WriteString("InstallPath", "x"); }),
              "set-data-failed: InstallPath");
    EXPECT_EQ(ErrorCode([&] { key->WriteString("InstallPath", "x"); }),
              static_cast<unsigned long>(ERROR_ACCESS_DENIED));
}

TEST_F(RegistryTest, OtherTypesRaiseAndValuesDelete) {
    const std::unique_ptr<RegistryKey> key = host_.CreateKey(kTestKey);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->SetValue("Number", RegistryValue{kRegDword, std::string(4, '\x01')}));
    EXPECT_EQ(ErrorText([&] { key->ReadString("Number"); }), "invalid-data-type: Number");
    ASSERT_TRUE(key->SetValue("Expand", RegistryValue{kRegExpandSz, std::string("%TEMP%\0", 7)}));
    EXPECT_EQ(key->ReadString("Expand"), "%TEMP%");
    EXPECT_TRUE(key->DeleteValue("NUMBER"));
    EXPECT_FALSE(key->DeleteValue("Number"));
    EXPECT_FALSE(key->QueryValue("Number").has_value());
}

TEST_F(RegistryTest, DwordsAndKeyDeletion) {
    {
        const std::unique_ptr<RegistryKey> key = host_.CreateKey(kTestKey);
        ASSERT_NE(key, nullptr);
        key->WriteDword("EstimatedSize", 0x01020304U);
        DWORD type = 0;
        DWORD number = 0;
        DWORD size = sizeof(number);
        ASSERT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, kTestKey, "EstimatedSize", RRF_RT_ANY, &type,
                                 &number, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(number, 0x01020304U);
    }
    EXPECT_TRUE(host_.DeleteKey(std::string("\\") + kTestKey));
    EXPECT_EQ(host_.OpenKey(kTestKey, KeyAccess::kRead), nullptr);
    EXPECT_FALSE(host_.DeleteKey(kTestKey));  // gone already
}

TEST_F(TempFolderTest, ProfileFilesWriteAndReadBack) {
    const std::string ini = In("norvis.ini");
    EXPECT_EQ(host_.ReadProfileText(ini, "GENERAL", "LANGUAGE"), "");
    host_.WriteProfileText(ini, "GENERAL", "LANGUAGE", "English");
    EXPECT_EQ(host_.ReadProfileText(ini, "general", "language"), "English");
    const std::string text = ReadWholeFile(host_, ini);
    EXPECT_NE(text.find("[GENERAL]"), std::string::npos) << text;
    EXPECT_NE(text.find("LANGUAGE=English"), std::string::npos) << text;

    const std::string unwritable = In("missing\\norvis.ini");
    EXPECT_EQ(ErrorText([&] { host_.WriteProfileText(unwritable, "GENERAL", "LANGUAGE", "x"); }),
              "profile-write-failed: " + unwritable);
}

TEST_F(TempFolderTest, StreamsWriteSeekAndRead) {
    const std::string file = In("data.bin");
    {
        const std::unique_ptr<FileStream> out = host_.CreateFileForWriting(file);
        out->Write("hello world", 11);
        out->Seek(6);
        out->Write("WORLD!", 6);
        EXPECT_EQ(out->Size(), 12U);
    }
    std::unique_ptr<FileStream> in = host_.OpenFileForReading(file);
    char buffer[16] = {};
    EXPECT_EQ(in->Read(buffer, 5), 5U);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    in->Seek(10);
    EXPECT_EQ(in->Read(buffer, sizeof(buffer)), 2U);
    EXPECT_EQ(std::string(buffer, 2), "D!");
    in->Seek(8);
    EXPECT_EQ(ErrorText([&] { in->ReadExactly(buffer, 5); }), "end-of-file: " + file);
    EXPECT_THROW(in->Write("x", 1), Error);

    EXPECT_EQ(ErrorText([&] { host_.OpenFileForReading(In("none.bin")); }),
              "open-failed: " + In("none.bin"));
    EXPECT_EQ(ErrorCode([&] { host_.OpenFileForReading(In("none.bin")); }),
              static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ErrorText([&] { host_.CreateFileForWriting(In("no\\x.bin")); }),
              "create-failed: " + In("no\\x.bin"));
    EXPECT_EQ(ErrorCode([&] { host_.CreateFileForWriting(In("no\\x.bin")); }),
              static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));

    // A file open for reading cannot be recreated; once closed, creating truncates it.
    EXPECT_THROW(host_.CreateFileForWriting(file), Error);
    in.reset();
    host_.CreateFileForWriting(file)->Write("ab", 2);
    EXPECT_EQ(ReadWholeFile(host_, In("data.bin")), "ab");
}

TEST_F(TempFolderTest, FoldersAndCopies) {
    EXPECT_TRUE(host_.FolderExists(folder_));
    for (const char* folder : {"a", R"(a\b)", R"(a\b\c)"}) {
        host_.CreateFolder(In(folder));
    }
    EXPECT_TRUE(host_.FolderExists(In(R"(A\B\C)")));
    EXPECT_EQ(ErrorText([&] { host_.CreateFolder(In("a")); }), "create-folder-failed: " + In("a"));
    EXPECT_NE(ErrorCode([&] { host_.CreateFolder(In("a")); }), 0U);
    EXPECT_EQ(ErrorText([&] { host_.RemoveFolder(In("a")); }), "remove-folder-failed: " + In("a"));
    EXPECT_NO_THROW(host_.RemoveFolder(In(R"(a\b\c)")));
    EXPECT_FALSE(host_.FolderExists(In(R"(a\b\c)")));
}

TEST_F(TempFolderTest, CopiesComeFromAnOpenStreamIntoANewFile) {
    std::string data(kCopyPiece * 5 / 2, 'x');
    data.back() = 'z';
    host_.CreateFileForWriting(In("src.bin"))->Write(data.data(), data.size());
    const std::unique_ptr<FileStream> source = host_.OpenFileForReading(In("src.bin"));
    source->Seek(1000);  // a copy starts at the beginning wherever the stream stands
    int calls = 0;
    EXPECT_TRUE(host_.CopyToNewFile(*source, In("dst.bin"), [&] { ++calls; }));
    EXPECT_EQ(calls, 3);  // one per piece
    EXPECT_EQ(ReadWholeFile(host_, In("dst.bin")), data);

    // An existing destination is refused and left as it was.
    host_.CreateFileForWriting(In("there.bin"))->Write("mine", 4);
    EXPECT_FALSE(host_.CopyToNewFile(*source, In("there.bin")));
    EXPECT_EQ(ReadWholeFile(host_, In("there.bin")), "mine");
    EXPECT_FALSE(host_.CopyToNewFile(*source, In("missing\\dst.bin")));

    // A progress callback that raises ends the copy; the partial file goes and the error
    // comes out.
    calls = 0;
    EXPECT_THROW(host_.CopyToNewFile(*source, In("cancelled.bin"),
                                     [&] {
                                         if (++calls == 2) {
                                             throw std::runtime_error("stop");
                                         }
                                     }),
                 std::runtime_error);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(::GetFileAttributesA(In("cancelled.bin").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_TRUE(host_.RemoveFile(In("dst.bin")));
    EXPECT_FALSE(host_.RemoveFile(In("dst.bin")));
}

TEST_F(TempFolderTest, RelativeNamesResolveAgainstTheCurrentFolder) {
    const std::string before = host_.CurrentFolder();
    ASSERT_TRUE(host_.SetCurrentFolder(folder_));
    EXPECT_TRUE(SameTextIgnoreCase(host_.CurrentFolder(), folder_)) << host_.CurrentFolder();
    host_.CreateFolder("tempnv");
    EXPECT_TRUE(host_.FolderExists(In("tempnv")));
    EXPECT_TRUE(SameTextIgnoreCase(host_.FullPathOf("tempnv"), In("tempnv")));
    EXPECT_FALSE(host_.SetCurrentFolder(In("missing")));
    ASSERT_TRUE(host_.SetCurrentFolder(before));
}

TEST_F(TempFolderTest, ListsFoldersAndFilesSortedWithoutCaseAndTheDrives) {
    for (const char* folder : {"a", R"(a\b)", R"(a\Z)"}) {
        ASSERT_TRUE(::CreateDirectoryA(In(folder).c_str(), nullptr)) << folder;
    }
    host_.CreateFileForWriting(In(R"(a\file.txt)"));
    const FolderContent content = host_.ListFolder(In("a"));
    EXPECT_EQ(content.folders, (std::vector<std::string>{"b", "Z"}));
    EXPECT_EQ(content.files, (std::vector<std::string>{"file.txt"}));
    EXPECT_TRUE(host_.ListFolder(In("missing")).folders.empty());
    EXPECT_EQ(host_.FullPathOf("c:\\a\\..\\b"), "c:\\b");
    const std::vector<std::string> drives = host_.LogicalDrives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), "c:\\"), drives.end());
}

TEST(Win32Shell, SpecialFoldersResolve) {
    Win32Host host;
    for (const int csidl : {kCsidlProgramFiles, kCsidlAppData, kCsidlCommonPrograms,
                            kCsidlCommonDesktopDirectory, kCsidlDesktopDirectory}) {
        const std::string folder = GetSpecialFolder(host, csidl);
        EXPECT_FALSE(folder.empty()) << csidl;
        EXPECT_NE(folder.back(), '\\') << folder;
    }
    EXPECT_FALSE(DesktopFolder(host).empty());
    EXPECT_FALSE(ProgramsMenuFolder(host).empty());
    EXPECT_TRUE(host.FolderExists(GetSpecialFolder(host, kCsidlAppData)));
    EXPECT_EQ(GetSpecialFolder(host, 0x7FFF), "");
}

// COM for the shell-link object, as the program's entry provides it.
class ShellLinkTest : public TempFolderTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        TempFolderTest::SetUp();
    }
    void TearDown() override {
        TempFolderTest::TearDown();
        ::CoUninitialize();
    }
};

TEST_F(ShellLinkTest, ShortcutIsWrittenWithItsFields) {
    const std::string target = In("Norvis.exe");
    host_.CreateFileForWriting(target)->Write("MZ", 2);
    const std::string linkFile = In("Norvista.lnk");
    ASSERT_TRUE(CreateShellLink(host_, target, linkFile, "Norvista test", 0));

    UniqueCom<IShellLinkA> link;
    ASSERT_TRUE(
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(link.Put()))));
    UniqueCom<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(
        link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))));
    const std::wstring wide(linkFile.begin(), linkFile.end());
    ASSERT_TRUE(SUCCEEDED(file.Get()->Load(wide.c_str(), STGM_READ)));

    char text[MAX_PATH + 1] = {};
    ASSERT_TRUE(SUCCEEDED(link.Get()->GetPath(text, sizeof(text), nullptr, 0)));
    EXPECT_TRUE(SameTextIgnoreCase(text, target)) << text;
    ASSERT_TRUE(SUCCEEDED(link.Get()->GetWorkingDirectory(text, sizeof(text))));
    EXPECT_TRUE(SameTextIgnoreCase(WithTrailingBackslash(text), folder_ + "\\")) << text;
    ASSERT_TRUE(SUCCEEDED(link.Get()->GetDescription(text, sizeof(text))));
    EXPECT_STREQ(text, "Norvista test");
    int icon = -1;
    ASSERT_TRUE(SUCCEEDED(link.Get()->GetIconLocation(text, sizeof(text), &icon)));
    EXPECT_TRUE(SameTextIgnoreCase(text, target)) << text;
    EXPECT_EQ(icon, 0);
}

TEST_F(ShellLinkTest, FailedSaveStillReportsTrue) {
    const std::string linkFile = In("missing\\Norvista.lnk");
    EXPECT_TRUE(CreateShellLink(host_, In("Norvis.exe"), linkFile, "", 0));
    EXPECT_EQ(::GetFileAttributesA(linkFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Shell, StartingAMissingProgramFails) {
    Win32Host host;
    EXPECT_FALSE(host.ShellOpen(nullptr, R"(C:\nv_no_such_folder\Norvis.exe)", "C:\\"));
}

TEST(Win32System, AdministratorUnderWine) {
    Win32Host host;
    const std::optional<std::vector<TokenGroup>> groups = host.TokenGroups();
    ASSERT_TRUE(groups.has_value());
    EXPECT_FALSE(groups->empty());
    EXPECT_TRUE(IsAdministrator(host));
}

TEST(Win32System, VersionAndExecutable) {
    Win32Host host;
    std::string text;
    GetWindowsVersionText(host, text);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, kVersionQueryFailedText);
    EXPECT_TRUE(host.QueryVersion(VersionQuery::kExtended).has_value());
    EXPECT_TRUE(host.QueryVersion(VersionQuery::kShort).has_value());
}

// The error another program meets when it tries `action`.
DWORD ErrorOf(BOOL succeeded) {
    return succeeded ? ERROR_SUCCESS : ::GetLastError();
}

TEST(Win32System, TheRunningExecutableIsHeldWhileTheHostLasts) {
    std::string exe;
    {
        Win32Host host;
        exe = host.ExecutablePath();
        ASSERT_GT(exe.size(), 4U);
        EXPECT_TRUE(SameTextIgnoreCase(exe.substr(exe.size() - 4), ".exe")) << exe;
        FileStream* own = host.Executable();
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(own->Path(), exe);
        std::string head(2, '\0');
        own->Seek(0);
        own->ReadExactly(head.data(), head.size());
        EXPECT_EQ(head, "MZ");
        EXPECT_EQ(own->Size(), host.OpenFileForReading(exe)->Size()) << "others may read";
        EXPECT_FALSE(own->Remove());

        // Nobody can rename, replace or rewrite it meanwhile.
        const std::string moved = exe + ".moved";
        EXPECT_EQ(ErrorOf(::MoveFileA(exe.c_str(), moved.c_str())), ERROR_SHARING_VIOLATION);
        EXPECT_EQ(ErrorOf(::DeleteFileA(exe.c_str())), ERROR_SHARING_VIOLATION);
        UniqueFileHandle writer(::CreateFileA(
            exe.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer);
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        ::MoveFileA(moved.c_str(), exe.c_str());  // should the rename have gone through
    }
    // Once the host is gone the hold ends: what refused above was the hold, not the loader.
    const std::string moved = exe + ".moved";
    ASSERT_TRUE(::MoveFileA(exe.c_str(), moved.c_str())) << ::GetLastError();
    ASSERT_TRUE(::MoveFileA(moved.c_str(), exe.c_str())) << ::GetLastError();
}

}  // namespace
}  // namespace nv::host
