// Win32Host's private folders, its trust test for existing folders, and file creation over
// links, on a real Windows (Wine).

#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "host/win32/unique_handle.h"
#include "host/win32/win32_host.h"

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

    Win32Host host_;
    std::string folder_;
    std::vector<std::string> created_;
};

// The entries of a folder's own access list, as trustee SIDs in text form.
std::vector<std::string> DaclTrustees(const std::string& path, bool& isProtected) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::vector<std::string> trustees;
    if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return trustees;
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    isProtected = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (::GetAce(dacl, i, &ace)) {
            char* text = nullptr;
            if (::ConvertSidToStringSidA(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, &text)) {
                trustees.emplace_back(text);
                ::LocalFree(text);
            }
        }
    }
    ::LocalFree(descriptor);
    return trustees;
}

// Makes a folder anyone may change (Everyone: full control); true when the file system
// keeps that list. Wine keeps a folder's access list only where it can store it with the
// file; elsewhere it derives one from the Unix permissions.
bool MakeOpenFolder(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:P(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr)) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const BOOL made = ::CreateDirectoryA(path.c_str(), &attributes);
    ::LocalFree(descriptor);
    bool isProtected = false;
    const std::vector<std::string> trustees = DaclTrustees(path, isProtected);
    return made && trustees.size() == 1 && trustees[0] == "S-1-1-0";
}

TEST_F(SecurityTest, AFreshPrivateFolderPassesTheCheckAndIsNeverTakenOver) {
    const std::string path = In("private");
    ASSERT_TRUE(host_.CreatePrivateFolder(path));
    EXPECT_TRUE(host_.FolderExists(path));
    // The folder this program made must not look unsafe to the same program, whatever the
    // system derives its permissions from.
    EXPECT_TRUE(host_.IsSafeExistingFolder(path));
    EXPECT_FALSE(host_.CreatePrivateFolder(path));
}

TEST_F(SecurityTest, APrivateFolderAdmitsOnlyAdministratorsSystemAndTheUser) {
    if (!MakeOpenFolder(In("probe"))) {
        GTEST_SKIP() << "this file system does not keep access lists";
    }
    const std::string path = In("private");
    ASSERT_TRUE(host_.CreatePrivateFolder(path));
    bool isProtected = false;
    const std::vector<std::string> trustees = DaclTrustees(path, isProtected);
    EXPECT_TRUE(isProtected);
    ASSERT_EQ(trustees.size(), 3U);
    EXPECT_EQ(trustees[0], "S-1-5-32-544");
    EXPECT_EQ(trustees[1], "S-1-5-18");
}

TEST_F(SecurityTest, AFolderAnyoneMayWriteToIsNotTrusted) {
    const std::string path = In("open");
    if (!MakeOpenFolder(path)) {
        GTEST_SKIP() << "this file system does not keep access lists";
    }
    EXPECT_FALSE(host_.IsSafeExistingFolder(path));
}

TEST_F(SecurityTest, OnlyExistingFoldersCanBeTrusted) {
    EXPECT_FALSE(host_.IsSafeExistingFolder(In("missing")));
    const std::string file = In("file");
    WriteText(file, "x");
    EXPECT_FALSE(host_.IsSafeExistingFolder(file));
}

TEST_F(SecurityTest, CreatingAFileReplacesAHardLinkInsteadOfWritingThroughIt) {
    const std::string target = In("target.txt");
    const std::string link = In("link.txt");
    WriteText(target, "original");
    ASSERT_TRUE(::CreateHardLinkA(link.c_str(), target.c_str(), nullptr));
    host_.CreateFileForWriting(link)->Write("new", 3);
    EXPECT_EQ(FileText(target), "original");
    EXPECT_EQ(FileText(link), "new");
}

TEST_F(SecurityTest, CreatingAFileReplacesASymbolicLinkInsteadOfWritingThroughIt) {
    const std::string target = In("target.txt");
    const std::string link = In("symlink.txt");
    WriteText(target, "original");
    if (!::CreateSymbolicLinkA(link.c_str(), target.c_str(), 0)) {
        GTEST_SKIP() << "symbolic links are not available here (error " << ::GetLastError() << ")";
    }
    host_.CreateFileForWriting(link)->Write("new", 3);
    EXPECT_EQ(FileText(target), "original");
    EXPECT_EQ(FileText(link), "new");
}

}  // namespace
}  // namespace nv::host
