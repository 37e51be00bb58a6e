#include "host/shell_link.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace nv::host {
namespace {

using sim::SimHost;

TEST(ShellLinkFields, DeriveWorkingFolderAndIconFromTheTarget) {
    const ShellLinkFields f = ShellLinkFieldsFor("C:\\Programme\\Norvista\\Norvis.exe", "", 0);
    EXPECT_EQ(f.path, "C:\\Programme\\Norvista\\Norvis.exe");
    EXPECT_EQ(f.description, "");
    EXPECT_EQ(f.workingDirectory, "C:\\Programme\\Norvista\\");
    EXPECT_EQ(f.iconPath, "C:\\Programme\\Norvista\\Norvis.exe");
    EXPECT_EQ(f.iconIndex, 0);

    EXPECT_EQ(ShellLinkFieldsFor("Norvis.exe", "", 0).workingDirectory, "");
    EXPECT_EQ(ShellLinkFieldsFor("D:Norvis.exe", "", 0).workingDirectory, "D:");
    EXPECT_EQ(ShellLinkFieldsFor("D:\\a:b\\x.exe", "d", 3).workingDirectory, "D:\\a:b\\");
    EXPECT_EQ(ShellLinkFieldsFor("D:\\x.exe", "d", 3).iconIndex, 3);
}

TEST(CreateShellLink, WritesTheShortcutWithEveryField) {
    SimHost host;
    const std::string link = "C:\\users\\Public\\Desktop\\Norvista.lnk";
    EXPECT_TRUE(CreateShellLink(host, "C:\\Prog\\Norvis.exe", link, "Norvista", 0));
    const std::optional<ShellLinkFields> saved = host.ShortcutAt(link);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, ShellLinkFieldsFor("C:\\Prog\\Norvis.exe", "Norvista", 0));
    EXPECT_TRUE(host.FileExists(link));
}

TEST(CreateShellLink, FailedSaveStillReportsTrue) {
    SimHost host;
    const std::string link =
        "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick "
        "Launch\\Norvista.lnk";
    EXPECT_TRUE(CreateShellLink(host, "C:\\Prog\\Norvis.exe", link, "", 0));
    EXPECT_FALSE(host.FileExists(link));
    ASSERT_EQ(host.ShellLinks().size(), 1U);
    EXPECT_FALSE(host.ShellLinks()[0].saved);

    host.Fail(sim::SimOp::kSaveShellLink);
    EXPECT_TRUE(CreateShellLink(host, "C:\\Prog\\Norvis.exe", "C:\\users\\x.lnk", "", 0));
    EXPECT_FALSE(host.FileExists("C:\\users\\x.lnk"));
}

TEST(CreateShellLink, NoShellLinkObjectGivesFalse) {
    SimHost host;
    host.Fail(sim::SimOp::kShellLinkObject);
    EXPECT_FALSE(CreateShellLink(host, "C:\\Prog\\Norvis.exe", "C:\\users\\x.lnk", "", 0));
    EXPECT_FALSE(host.FileExists("C:\\users\\x.lnk"));
}

TEST(CreateShellLink, ExistingStartMenuFolderTakesBothShortcuts) {
    SimHost host;
    const std::string programs = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    host.AddFolder(programs + "\\Norvista");
    EXPECT_THROW(host.CreateFolder(programs + "\\Norvista"), Error);
    CreateShellLink(host, "C:\\P\\Norvis.exe", programs + "\\Norvista\\Norvista.lnk", "", 0);
    CreateShellLink(host, "C:\\P\\Setup.exe", programs + "\\Norvista\\Uninstall.lnk", "", 0);
    EXPECT_EQ(host.ShortcutAt(programs + "\\NORVISTA\\norvista.lnk")->path, "C:\\P\\Norvis.exe");
    EXPECT_EQ(host.ShortcutAt(programs + "\\Norvista\\Uninstall.lnk")->path, "C:\\P\\Setup.exe");
}

TEST(CreateShellLink, DeletedShortcutIsGone) {
    SimHost host;
    CreateShellLink(host, "C:\\P\\Norvis.exe", "C:\\users\\a.lnk", "", 0);
    ASSERT_TRUE(host.ShortcutAt("C:\\users\\a.lnk").has_value());
    EXPECT_TRUE(host.RemoveFile("C:\\users\\a.lnk"));
    EXPECT_FALSE(host.ShortcutAt("C:\\users\\a.lnk").has_value());
}

}  // namespace
}  // namespace nv::host
