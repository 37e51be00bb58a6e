#include "host/shell_link.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace nv::host {
namespace {

using sim::SimHost;

TEST(ShellLinkFields, DeriveWorkingFolderAndIconFromTheTarget) {
    const ShellLinkFields f = ShellLinkFieldsFor(R"(C:\Programme\Norvista\Norvis.exe)", "", 0);
    EXPECT_EQ(f.path, R"(C:\Programme\Norvista\Norvis.exe)");
    EXPECT_EQ(f.description, "");
    EXPECT_EQ(f.workingDirectory, R"(C:\Programme\Norvista\)");
    EXPECT_EQ(f.iconPath, R"(C:\Programme\Norvista\Norvis.exe)");
    EXPECT_EQ(f.iconIndex, 0);

    EXPECT_EQ(ShellLinkFieldsFor("Norvis.exe", "", 0).workingDirectory, "");
    EXPECT_EQ(ShellLinkFieldsFor("D:Norvis.exe", "", 0).workingDirectory, "D:");
    EXPECT_EQ(ShellLinkFieldsFor(R"(D:\a:b\x.exe)", "d", 3).workingDirectory, R"(D:\a:b\)");
    EXPECT_EQ(ShellLinkFieldsFor("D:\\x.exe", "d", 3).iconIndex, 3);
}

TEST(CreateShellLink, WritesTheShortcutWithEveryField) {
    SimHost host;
    const std::string link = R"(C:\users\Public\Desktop\Norvista.lnk)";
    EXPECT_TRUE(CreateShellLink(host, R"(C:\Prog\Norvis.exe)", link, "Norvista", 0));
    const std::optional<ShellLinkFields> saved = host.ShortcutAt(link);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, ShellLinkFieldsFor(R"(C:\Prog\Norvis.exe)", "Norvista", 0));
    EXPECT_TRUE(host.FileExists(link));
}

TEST(CreateShellLink, FailedSaveStillReportsTrue) {
    SimHost host;
    const std::string link = R"(C:\users\user\AppData\Roaming\Microsoft\Internet Explorer\Quick )"
                             "Launch\\Norvista.lnk";
    EXPECT_TRUE(CreateShellLink(host, R"(C:\Prog\Norvis.exe)", link, "", 0));
    EXPECT_FALSE(host.FileExists(link));
    ASSERT_EQ(host.ShellLinks().size(), 1U);
    EXPECT_FALSE(host.ShellLinks()[0].saved);

    host.Fail(sim::SimOp::kSaveShellLink);
    EXPECT_TRUE(CreateShellLink(host, R"(C:\Prog\Norvis.exe)", R"(C:\users\x.lnk)", "", 0));
    EXPECT_FALSE(host.FileExists(R"(C:\users\x.lnk)"));
}

TEST(CreateShellLink, NoShellLinkObjectGivesFalse) {
    SimHost host;
    host.Fail(sim::SimOp::kShellLinkObject);
    EXPECT_FALSE(CreateShellLink(host, R"(C:\Prog\Norvis.exe)", R"(C:\users\x.lnk)", "", 0));
    EXPECT_FALSE(host.FileExists(R"(C:\users\x.lnk)"));
}

TEST(CreateShellLink, ExistingStartMenuFolderTakesBothShortcuts) {
    SimHost host;
    const std::string programs = R"(C:\ProgramData\Microsoft\Windows\Start Menu\Programs)";
    host.AddFolder(programs + "\\Norvista");
    EXPECT_THROW(host.CreateFolder(programs + "\\Norvista"), Error);
    CreateShellLink(host, R"(C:\P\Norvis.exe)", programs + R"(\Norvista\Norvista.lnk)", "", 0);
    CreateShellLink(host, R"(C:\P\Setup.exe)", programs + R"(\Norvista\Uninstall.lnk)", "", 0);
    EXPECT_EQ(host.ShortcutAt(programs + R"(\NORVISTA\norvista.lnk)")->path, R"(C:\P\Norvis.exe)");
    EXPECT_EQ(host.ShortcutAt(programs + R"(\Norvista\Uninstall.lnk)")->path, R"(C:\P\Setup.exe)");
}

TEST(CreateShellLink, DeletedShortcutIsGone) {
    SimHost host;
    CreateShellLink(host, R"(C:\P\Norvis.exe)", R"(C:\users\a.lnk)", "", 0);
    ASSERT_TRUE(host.ShortcutAt(R"(C:\users\a.lnk)").has_value());
    EXPECT_TRUE(host.RemoveFile(R"(C:\users\a.lnk)"));
    EXPECT_FALSE(host.ShortcutAt(R"(C:\users\a.lnk)").has_value());
}

}  // namespace
}  // namespace nv::host
