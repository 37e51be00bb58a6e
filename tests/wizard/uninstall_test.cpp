// Removal of an installation from page 6 to page 7.

#include <functional>
#include <utility>
#include <vector>

#include "base/error.h"
#include "host/host_types.h"
#include "host/sim/sim_faults.h"
#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

constexpr char kFolder[] = "C:\\Apps\\Norvista\\";
// The installation's files that a removal deletes; the setup copy and norvis.ini stay.
constexpr const char* kRemoved[] = {
    "Norvis.exe", "Norvis.hlp",  "Norvis_uk.hlp",         "Deutsch.lng", "English.lng",
    "NV.OBJ",     "brannok.wav", "Updates\\Sorvelin.exe", "Norvis.gid"};

class UninstallTest : public WizardTest {
protected:
    // An installation as the installer leaves it, recorded with `recordedPath`.
    void Installed(const std::string& recordedPath) {
        for (const char* name : kRemoved) {
            host.AddFile(std::string(kFolder) + name, "x");
        }
        host.AddFile(std::string(kFolder) + "Setup.exe", "x");
        host.AddFile(std::string(kFolder) + "norvis.ini", "x");
        host.AddFile(kCommonDesktopLink, "lnk");
        host.AddFile(std::string(kStartMenu) + "\\Norvista.lnk", "lnk");
        host.AddFile(std::string(kStartMenu) + "\\Uninstall.lnk", "lnk");
        host.SetRegistryString(kRecordKeyPath, "InstallPath", recordedPath);
        host.SetRegistryString(kRecordKeyPath, "DesktopLink", kCommonDesktopLink);
        host.SetRegistryString(kRecordKeyPath, "QuicklaunchLink", "");
        host.SetRegistryString(kRecordKeyPath, "StartmenuLink",
                               std::string(kStartMenu) + "\\Norvista.lnk");
        host.SetRegistryString(kRecordKeyPath, "SetupLink",
                               std::string(kStartMenu) + "\\Uninstall.lnk");
        host.SetRegistryString(kEntryKey, "DisplayName", "Norvista");
        host.SetRegistryString(kEntryKey, "UninstallString",
                               "\"" + std::string(kFolder) + "Setup.exe\"");
        host.SetRegistryValue(kEntryKey, "NoModify", host::DwordValue(1));
    }
    // Confirms the removal the start offers, and expects the last page.
    void Remove() {
        ChooseLanguage(0);
        Next();
        ASSERT_EQ(VisiblePanel(), "pUninstall");
        Next();
        ExpectPage(7, 2, "pUnistalling");
        EXPECT_FALSE(Form().btnNext->Enabled());
        EXPECT_FALSE(Form().btnPrev->Visible());
        EXPECT_TRUE(Form().btnCancel->Enabled());
        EXPECT_EQ(Form().btnCancel->Caption(), "&Finish");
    }
    bool Has(const std::string& name) { return host.FileExists(std::string(kFolder) + name); }
};

TEST_F(UninstallTest, RemovesFilesShortcutsAndValuesAndKeepsSetupIniAndKey) {
    Installed(kFolder);
    Remove();
    for (const char* name : kRemoved) {
        EXPECT_FALSE(Has(name)) << name;
    }
    EXPECT_TRUE(Has("Setup.exe"));
    EXPECT_TRUE(Has("norvis.ini"));
    EXPECT_FALSE(host.FolderExists(std::string(kFolder) + "Updates"));
    EXPECT_FALSE(host.FileExists(kCommonDesktopLink));
    EXPECT_FALSE(host.FolderExists(kStartMenu));
    EXPECT_TRUE(host.RegistryKeyExists(kRecordKeyPath));
    EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty());
    EXPECT_FALSE(host.RegistryKeyExists(kEntryKey));
    EXPECT_TRUE(host.RegistryKeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));

    Cancel();  // Finish only closes
    EXPECT_TRUE(Form().Closed());
    EXPECT_TRUE(host.ShellStarts().empty());
}

// A file that cannot be deleted because it is in use (the product still runs) is deleted at the
// next restart, and "Updates" after it; a file that is not there is not scheduled. After the
// restart only the setup and the language file stay.
TEST_F(UninstallTest, FilesInUseGoAtTheNextRestart) {
    const struct {
        const char* inUse;
        std::vector<std::string> scheduled;
    } cases[] = {
        {"Norvis.exe", {"Norvis.exe"}},
        {"Updates\\Sorvelin.exe", {"Updates\\Sorvelin.exe", "Updates"}},
        {nullptr, {}},
    };
    for (const auto& c : cases) {
        const std::string label = c.inUse != nullptr ? c.inUse : "nothing in use";
        host.RemoveRegistryKey(kRecordKeyPath);
        Installed(kFolder);
        if (c.inUse != nullptr) {
            host.SetFileInUse(std::string(kFolder) + c.inUse, true);
        }
        auto removal = StartAgain();
        removal->btnNext->Click();
        EXPECT_EQ(removal->PageNumber, 7) << label;
        std::vector<std::string> scheduled;
        for (const std::string& path : host.ScheduledRemovals()) {
            scheduled.push_back(path.substr(std::string(kFolder).size()));
        }
        EXPECT_EQ(scheduled, c.scheduled) << label;
        EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty()) << label;
        host.Restart();
        EXPECT_EQ(host.FolderEntries(kFolder),
                  (std::vector<std::string>{"norvis.ini", "Setup.exe"}))
            << label;
    }
}

TEST_F(UninstallTest, ARecordedFolderWithoutTrailingBackslashRemovesTheSameFiles) {
    Installed("C:\\Apps\\Norvista");
    Remove();
    EXPECT_FALSE(Has("Norvis.exe"));
    EXPECT_FALSE(Has("Updates\\Sorvelin.exe"));
    EXPECT_TRUE(Has("Setup.exe"));
}

TEST_F(UninstallTest, FoldersHoldingOtherFilesStayWithThem) {
    Installed(kFolder);
    host.AddFile(std::string(kFolder) + "Updates\\Patch.exe", "p");
    host.AddFile(std::string(kStartMenu) + "\\Readme.lnk", "r");
    Remove();
    EXPECT_TRUE(Has("Updates\\Patch.exe"));
    EXPECT_FALSE(Has("Updates\\Sorvelin.exe"));
    EXPECT_TRUE(host.FileExists(std::string(kStartMenu) + "\\Readme.lnk"));
    EXPECT_FALSE(host.FileExists(std::string(kStartMenu) + "\\Uninstall.lnk"));
}

TEST_F(UninstallTest, AMissingStartMenuValueStillRemovesTheRest) {
    Installed(kFolder);
    ASSERT_TRUE(
        host.OpenKey(kRecordKeyPath, host::KeyAccess::kAllAccess)->DeleteValue("StartmenuLink"));
    Remove();
    EXPECT_FALSE(host.FileExists(kCommonDesktopLink));
    EXPECT_FALSE(host.FileExists(std::string(kStartMenu) + "\\Uninstall.lnk"));
    EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty());
}

TEST_F(UninstallTest, AKeyThatDoesNotOpenForWritingLeavesShortcutsAndValues) {
    Installed(kFolder);
    host.SetRegistryWritable(false);
    Remove();
    EXPECT_FALSE(Has("Norvis.exe"));
    EXPECT_FALSE(host.FolderExists(std::string(kFolder) + "Updates"));
    EXPECT_TRUE(host.FileExists(kCommonDesktopLink));
    EXPECT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);
    EXPECT_TRUE(host.RegistryKeyExists(kEntryKey));
}

// While the record still names the installation, the entry stays with it: the next start,
// from the list too, offers the removal again.
TEST_F(UninstallTest, ARecordKeyThatDoesNotOpenKeepsTheEntry) {
    Installed(kFolder);
    host.Fail(host::sim::SimOp::kOpenKey, kRecordKeyPath, 2);  // the first is the page flow's
    Remove();
    EXPECT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);
    EXPECT_TRUE(host.RegistryKeyExists(kEntryKey));
    EXPECT_EQ(host.OperationCount(host::sim::SimOp::kDeleteKey), 0U);
}

TEST_F(UninstallTest, AnEntryThatCannotBeDeletedIsIgnored) {
    Installed(kFolder);
    host.Fail(host::sim::SimOp::kDeleteKey, kEntryKey);
    Remove();
    EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty());
    EXPECT_TRUE(host.RegistryKeyExists(kEntryKey));
}

TEST_F(UninstallTest, AShortcutValueOfTheWrongTypeIsReportedAndStopsTheRemovalThere) {
    Installed(kFolder);
    host.SetRegistryValue(kRecordKeyPath, "QuicklaunchLink",
                          {host::kRegDword, std::string(4, '\0')});
    ChooseLanguage(0);
    Next();
    EXPECT_THROW(Form().btnNext->Click(), nv::Error);
    EXPECT_FALSE(Has("Norvis.exe"));
    EXPECT_FALSE(host.FileExists(kCommonDesktopLink));  // before the bad value
    EXPECT_TRUE(host.FileExists(std::string(kStartMenu) + "\\Norvista.lnk"));  // after it
    EXPECT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);
}

// The installation folder is emptied only when it and every folder above it are safe and it
// still is the folder the record names; otherwise its files stay, the shortcuts go as usual,
// and the record and the entry stay, so that the next start offers the removal again.
// An unsafe folder: the installation folder or the folder above it with that security; without
// a folder, another folder lies behind the installation folder's name.
struct UnsafeFolder {
    const char* folder;
    host::sim::SimFolderSecurity security;
};

class UnsafeInstalledFolderTest : public UninstallTest,
                                  public ::testing::WithParamInterface<UnsafeFolder> {};

TEST_P(UnsafeInstalledFolderTest, KeepsItsFilesRecordAndEntryWhileShortcutsGo) {
    Installed(kFolder);
    host.SetFileInUse(std::string(kFolder) + "Norvis.exe", true);
    if (GetParam().folder == nullptr) {
        host.SetFinalPath(kFolder, "C:\\Windows\\System32");
    } else {
        host.SetFolderSecurity(GetParam().folder, GetParam().security);
    }
    Remove();
    EXPECT_TRUE(Has("Norvis.exe"));
    EXPECT_TRUE(Has("Updates\\Sorvelin.exe"));
    EXPECT_FALSE(host.FileExists(kCommonDesktopLink));
    EXPECT_TRUE(host.ScheduledRemovals().empty()) << "nothing is left for the restart";
    EXPECT_EQ(host.RegistryStringAt(kRecordKeyPath, "InstallPath"), kFolder);
    EXPECT_TRUE(host.RegistryKeyExists(kEntryKey));
    EXPECT_EQ(StartAgain()->PageNumber, 6) << "the removal is offered again";
}

using host::sim::SimOwner;
INSTANTIATE_TEST_SUITE_P(
    Folders, UnsafeInstalledFolderTest,
    ::testing::Values(UnsafeFolder{nullptr, {}},
                      UnsafeFolder{kFolder, {SimOwner::kAdministrators, true, false}},
                      UnsafeFolder{kFolder, {SimOwner::kAdministrators, false, true}},
                      UnsafeFolder{kFolder, {SimOwner::kOtherUser, false, false}},
                      // The account's unelevated programs may change it.
                      UnsafeFolder{kFolder, {SimOwner::kCurrentUser, false, false}},
                      UnsafeFolder{kFolder, {SimOwner::kAdministrators, false, false, false, true}},
                      UnsafeFolder{"C:\\Apps", {SimOwner::kAdministrators, true, false}},
                      UnsafeFolder{"C:\\Apps", {SimOwner::kAdministrators, false, true}}));

// Only a regular ".lnk" file in a safe folder is deleted as a shortcut: a record value that
// names anything else, or a link planted in a shortcut's place, deletes nothing. The
// quick-launch shortcut lies in the account's own folder, which no check could vouch for: it
// is deleted when it is a regular ".lnk" file at its name, with no junction on the way.
TEST_F(UninstallTest, OnlyRegularShortcutFilesInSafeFoldersAreDeleted) {
    Installed(kFolder);
    host.AddFile("C:\\Windows\\system.ini", "system");
    host.SetRegistryString(kRecordKeyPath, "DesktopLink", "C:\\Windows\\system.ini");
    host.AddFile("C:\\Windows\\victim.lnk", "victim");
    host.AddFileLink(std::string(kStartMenu) + "\\Norvista.lnk", "C:\\Windows\\victim.lnk");
    const std::string quick = "C:\\users\\Open\\Norvista.lnk";
    host.AddFile(quick, "lnk");
    host.SetFolderSecurity("C:\\users\\Open", {host::sim::SimOwner::kCurrentUser, true, false});
    host.SetRegistryString(kRecordKeyPath, "QuicklaunchLink", quick);
    Remove();
    EXPECT_EQ(host.FileData("C:\\Windows\\system.ini"), "system");
    EXPECT_EQ(host.FileData("C:\\Windows\\victim.lnk"), "victim");
    EXPECT_TRUE(host.FileExists(std::string(kStartMenu) + "\\Norvista.lnk"));  // the link itself
    EXPECT_FALSE(host.FileExists(quick));
    EXPECT_FALSE(host.FileExists(std::string(kStartMenu) + "\\Uninstall.lnk"));
    EXPECT_TRUE(host.FolderExists(kStartMenu));  // still holds the planted link
    EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty());
}

// An installation made by the wizard with some shortcut choices, then removed by a new run:
// every shortcut it made is gone, the start-menu folder with it, and so are all five values,
// also those written empty; only the setup copy and the initialisation file stay.
struct ShortcutChoice {
    const char* name;
    bool desktop;
    bool quick;
    bool startMenu;
};

class RoundTripTest : public WizardTest, public ::testing::WithParamInterface<ShortcutChoice> {};

TEST_P(RoundTripTest, RemovalLeavesNoShortcutFolderOrValue) {
    const ShortcutChoice& choice = GetParam();
    // A shortcut goes only into a folder that exists, and that the setup can check and hold.
    host.AddFolder("C:\\users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch");
    WalkToFolderPage();
    Form().cbDesktop->SetChecked(choice.desktop);
    Form().cbQuick->SetChecked(choice.quick);
    Form().cbStartmenu->SetChecked(choice.startMenu);
    Next();
    ASSERT_EQ(VisiblePanel(), "pSuccess");
    ASSERT_EQ(host.ShellLinks().size(),
              (choice.desktop ? 1U : 0U) + (choice.quick ? 1U : 0U) + (choice.startMenu ? 2U : 0U));
    ASSERT_EQ(host.FolderExists(kStartMenu), choice.startMenu);
    ASSERT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);

    auto removal = StartAgain();
    ASSERT_EQ(removal->PageNumber, 6);
    removal->btnNext->Click();
    EXPECT_EQ(removal->PageNumber, 7);

    EXPECT_TRUE(host.RegistryKeyExists(kRecordKeyPath));
    EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty());
    for (const host::sim::SimShellLink& link : host.ShellLinks()) {
        EXPECT_FALSE(host.FileExists(link.linkFile)) << link.linkFile;
    }
    EXPECT_FALSE(host.FileExists(kCommonDesktopLink));
    EXPECT_FALSE(host.FolderExists(kStartMenu));
    EXPECT_EQ(host.FolderEntries(kDefaultFolder),
              (std::vector<std::string>{"norvis.ini", "Setup.exe"}));
    // The folders the shortcuts would have gone to are still there.
    EXPECT_TRUE(host.FolderExists("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"));
    EXPECT_TRUE(host.FolderExists("C:\\users\\Public\\Desktop"));
}

INSTANTIATE_TEST_SUITE_P(Shortcuts, RoundTripTest,
                         ::testing::Values(ShortcutChoice{"AllThree", true, true, true},
                                           ShortcutChoice{"NoneOfThem", false, false, false},
                                           ShortcutChoice{"OnlyTheStartMenu", false, false, true},
                                           ShortcutChoice{"OnlyTheDesktop", true, false, false}),
                         [](const ::testing::TestParamInfo<ShortcutChoice>& info) {
                             return info.param.name;
                         });

TEST_F(UninstallTest, AfterRemovalTheNextStartOffersInstallationAgain) {
    Installed(kFolder);
    Remove();
    auto again = StartAgain();
    EXPECT_EQ(again->PageNumber, 2);
    EXPECT_TRUE(again->pLicense->Visible());
}

}  // namespace
}  // namespace nv::wizard::testing
