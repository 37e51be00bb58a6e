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
constexpr char kMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Norvista";
constexpr char kDesktopLink[] = "C:\\users\\Public\\Desktop\\Norvista.lnk";
constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvista";

class UninstallTest : public WizardTest {
protected:
    // An installation as the installer leaves it, recorded with `recordedPath`.
    void Installed(const std::string& recordedPath) {
        for (const char* name :
             {"Norvis.exe", "Norvis.hlp", "Norvis_uk.hlp", "Deutsch.lng", "English.lng", "NV.OBJ",
              "brannok.wav", "Updates\\Sorvelin.exe", "Setup.exe", "norvis.ini", "Norvis.gid"}) {
            host.AddFile(std::string(kFolder) + name, "x");
        }
        host.AddFile(kDesktopLink, "lnk");
        host.AddFile(std::string(kMenu) + "\\Norvista.lnk", "lnk");
        host.AddFile(std::string(kMenu) + "\\Uninstall.lnk", "lnk");
        host.SetRegistryString(kRecordKeyPath, "InstallPath", recordedPath);
        host.SetRegistryString(kRecordKeyPath, "DesktopLink", kDesktopLink);
        host.SetRegistryString(kRecordKeyPath, "QuicklaunchLink", "");
        host.SetRegistryString(kRecordKeyPath, "StartmenuLink",
                               std::string(kMenu) + "\\Norvista.lnk");
        host.SetRegistryString(kRecordKeyPath, "SetupLink", std::string(kMenu) + "\\Uninstall.lnk");
        host.SetRegistryString(kEntryKey, "DisplayName", "Norvista");
        host.SetRegistryString(kEntryKey, "UninstallString",
                               "\"" + std::string(kFolder) + "Setup.exe\"");
        host.SetRegistryValue(kEntryKey, "NoModify", host::DwordValue(1));
    }
    void Remove() {
        ChooseLanguage(0);
        Next();
        ASSERT_EQ(VisiblePanel(), "pUninstall");
        Next();
    }
    void ExpectFinalPage() {
        EXPECT_EQ(Form().PageNumber, 7);
        EXPECT_EQ(ShownStep(), 2);
        EXPECT_EQ(VisiblePanel(), "pUnistalling");
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
    ExpectFinalPage();
    for (const char* name :
         {"Norvis.exe", "Norvis.hlp", "Norvis_uk.hlp", "Deutsch.lng", "English.lng", "NV.OBJ",
          "brannok.wav", "Updates\\Sorvelin.exe", "Norvis.gid"}) {
        EXPECT_FALSE(Has(name)) << name;
    }
    EXPECT_TRUE(Has("Setup.exe"));
    EXPECT_TRUE(Has("norvis.ini"));
    EXPECT_FALSE(host.FolderExists(std::string(kFolder) + "Updates"));
    EXPECT_FALSE(host.FileExists(kDesktopLink));
    EXPECT_FALSE(host.FolderExists(kMenu));
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
        TfInstaller removal(host, ui, pictures);
        removal.FormCreate();
        removal.rgLanguage->SelectByUser(0);
        removal.btnNext->Click();
        removal.btnNext->Click();
        EXPECT_EQ(removal.PageNumber, 7) << label;
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
    ExpectFinalPage();
    EXPECT_FALSE(Has("Norvis.exe"));
    EXPECT_FALSE(Has("Updates\\Sorvelin.exe"));
    EXPECT_TRUE(Has("Setup.exe"));
}

TEST_F(UninstallTest, FoldersHoldingOtherFilesStayWithThem) {
    Installed(kFolder);
    host.AddFile(std::string(kFolder) + "Updates\\Patch.exe", "p");
    host.AddFile(std::string(kMenu) + "\\Readme.lnk", "r");
    Remove();
    ExpectFinalPage();
    EXPECT_TRUE(Has("Updates\\Patch.exe"));
    EXPECT_FALSE(Has("Updates\\Sorvelin.exe"));
    EXPECT_TRUE(host.FileExists(std::string(kMenu) + "\\Readme.lnk"));
    EXPECT_FALSE(host.FileExists(std::string(kMenu) + "\\Uninstall.lnk"));
}

TEST_F(UninstallTest, AMissingStartMenuValueStillRemovesTheRest) {
    Installed(kFolder);
    ASSERT_TRUE(
        host.OpenKey(kRecordKeyPath, host::KeyAccess::kAllAccess)->DeleteValue("StartmenuLink"));
    Remove();
    ExpectFinalPage();
    EXPECT_FALSE(host.FileExists(kDesktopLink));
    EXPECT_FALSE(host.FileExists(std::string(kMenu) + "\\Uninstall.lnk"));
    EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty());
}

TEST_F(UninstallTest, AKeyThatDoesNotOpenForWritingLeavesShortcutsAndValues) {
    Installed(kFolder);
    host.SetRegistryWritable(false);
    Remove();
    ExpectFinalPage();
    EXPECT_FALSE(Has("Norvis.exe"));
    EXPECT_FALSE(host.FolderExists(std::string(kFolder) + "Updates"));
    EXPECT_TRUE(host.FileExists(kDesktopLink));
    EXPECT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);
    EXPECT_TRUE(host.RegistryKeyExists(kEntryKey));
}

// While the record still names the installation, the entry stays with it: the next start,
// from the list too, offers the removal again.
TEST_F(UninstallTest, ARecordKeyThatDoesNotOpenKeepsTheEntry) {
    Installed(kFolder);
    host.Fail(host::sim::SimOp::kOpenKey, kRecordKeyPath, 2);  // the first is the page flow's
    Remove();
    ExpectFinalPage();
    EXPECT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);
    EXPECT_TRUE(host.RegistryKeyExists(kEntryKey));
    EXPECT_EQ(host.OperationCount(host::sim::SimOp::kDeleteKey), 0U);
}

TEST_F(UninstallTest, AnEntryThatCannotBeDeletedIsIgnored) {
    Installed(kFolder);
    host.Fail(host::sim::SimOp::kDeleteKey, kEntryKey);
    Remove();
    ExpectFinalPage();
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
    EXPECT_FALSE(host.FileExists(kDesktopLink));                          // before the bad value
    EXPECT_TRUE(host.FileExists(std::string(kMenu) + "\\Norvista.lnk"));  // after it
    EXPECT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);
}

// The installation folder is emptied only when it and every folder above it are safe and it
// still is the folder the record names; otherwise its files stay, the shortcuts go as usual,
// and the record and the entry stay, so that the next start offers the removal again.
enum class FolderState {
    kOtherFolderBehindName,
    kOpenToOthers,
    kJunction,
    kOthersOwn,
    kAccountOwns,
    kPassesOnToOthers,
    kParentOpenToOthers,
    kParentIsAJunction,
};

class UnsafeInstalledFolderTest : public UninstallTest,
                                  public ::testing::WithParamInterface<FolderState> {};

TEST_P(UnsafeInstalledFolderTest, KeepsItsFilesRecordAndEntryWhileShortcutsGo) {
    using host::sim::SimOwner;
    Installed(kFolder);
    host.SetFileInUse(std::string(kFolder) + "Norvis.exe", true);
    switch (GetParam()) {
        case FolderState::kOtherFolderBehindName:
            host.SetFinalPath(kFolder, "C:\\Windows\\System32");
            break;
        case FolderState::kOpenToOthers:
            host.SetFolderSecurity(kFolder, {SimOwner::kAdministrators, true, false});
            break;
        case FolderState::kJunction:
            host.SetFolderSecurity(kFolder, {SimOwner::kAdministrators, false, true});
            break;
        case FolderState::kOthersOwn:
            host.SetFolderSecurity(kFolder, {SimOwner::kOtherUser, false, false});
            break;
        case FolderState::kAccountOwns:  // its unelevated programs may change it
            host.SetFolderSecurity(kFolder, {SimOwner::kCurrentUser, false, false});
            break;
        case FolderState::kPassesOnToOthers:
            host.SetFolderSecurity(kFolder, {SimOwner::kAdministrators, false, false, false, true});
            break;
        case FolderState::kParentOpenToOthers:
            host.SetFolderSecurity("C:\\Apps", {SimOwner::kAdministrators, true, false});
            break;
        case FolderState::kParentIsAJunction:
            host.SetFolderSecurity("C:\\Apps", {SimOwner::kAdministrators, false, true});
            break;
    }
    Remove();
    ExpectFinalPage();
    EXPECT_TRUE(Has("Norvis.exe"));
    EXPECT_TRUE(Has("Updates\\Sorvelin.exe"));
    EXPECT_FALSE(host.FileExists(kDesktopLink));
    EXPECT_TRUE(host.ScheduledRemovals().empty()) << "nothing is left for the restart";
    EXPECT_EQ(host.RegistryStringAt(kRecordKeyPath, "InstallPath"), kFolder);
    EXPECT_TRUE(host.RegistryKeyExists(kEntryKey));
    TfInstaller again(host, ui, pictures);
    again.FormCreate();
    again.rgLanguage->SelectByUser(0);
    again.btnNext->Click();
    EXPECT_EQ(again.PageNumber, 6) << "the removal is offered again";
}

INSTANTIATE_TEST_SUITE_P(Folders, UnsafeInstalledFolderTest,
                         ::testing::Values(FolderState::kOtherFolderBehindName,
                                           FolderState::kOpenToOthers, FolderState::kJunction,
                                           FolderState::kOthersOwn, FolderState::kAccountOwns,
                                           FolderState::kPassesOnToOthers,
                                           FolderState::kParentOpenToOthers,
                                           FolderState::kParentIsAJunction));

// Only a regular ".lnk" file in a safe folder is deleted as a shortcut: a record value that
// names anything else, or a link planted in a shortcut's place, deletes nothing. The
// quick-launch shortcut lies in the account's own folder, which no check could vouch for: it
// is deleted when it is a regular ".lnk" file at its name, with no junction on the way.
TEST_F(UninstallTest, OnlyRegularShortcutFilesInSafeFoldersAreDeleted) {
    Installed(kFolder);
    host.AddFile("C:\\Windows\\system.ini", "system");
    host.SetRegistryString(kRecordKeyPath, "DesktopLink", "C:\\Windows\\system.ini");
    host.AddFile("C:\\Windows\\victim.lnk", "victim");
    host.AddFileLink(std::string(kMenu) + "\\Norvista.lnk", "C:\\Windows\\victim.lnk");
    const std::string quick = "C:\\users\\Open\\Norvista.lnk";
    host.AddFile(quick, "lnk");
    host.SetFolderSecurity("C:\\users\\Open", {host::sim::SimOwner::kCurrentUser, true, false});
    host.SetRegistryString(kRecordKeyPath, "QuicklaunchLink", quick);
    Remove();
    ExpectFinalPage();
    EXPECT_EQ(host.FileData("C:\\Windows\\system.ini"), "system");
    EXPECT_EQ(host.FileData("C:\\Windows\\victim.lnk"), "victim");
    EXPECT_TRUE(host.FileExists(std::string(kMenu) + "\\Norvista.lnk"));  // the link itself
    EXPECT_FALSE(host.FileExists(quick));
    EXPECT_FALSE(host.FileExists(std::string(kMenu) + "\\Uninstall.lnk"));
    EXPECT_TRUE(host.FolderExists(kMenu));  // still holds the planted link
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
    ASSERT_EQ(host.FolderExists(kMenu), choice.startMenu);
    ASSERT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);

    TfInstaller removal(host, ui, pictures);
    removal.FormCreate();
    removal.rgLanguage->SelectByUser(0);
    removal.btnNext->Click();
    ASSERT_EQ(removal.PageNumber, 6);
    removal.btnNext->Click();
    EXPECT_EQ(removal.PageNumber, 7);

    EXPECT_TRUE(host.RegistryKeyExists(kRecordKeyPath));
    EXPECT_TRUE(host.RegistryValueNames(kRecordKeyPath).empty());
    for (const host::sim::SimShellLink& link : host.ShellLinks()) {
        EXPECT_FALSE(host.FileExists(link.linkFile)) << link.linkFile;
    }
    EXPECT_FALSE(host.FileExists(kDesktopLink));
    EXPECT_FALSE(host.FolderExists(kMenu));
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
    TfInstaller again(host, ui, pictures);
    again.FormCreate();
    again.rgLanguage->SelectByUser(0);
    again.btnNext->Click();
    EXPECT_EQ(again.PageNumber, 2);
    EXPECT_TRUE(again.pLicense->Visible());
}

}  // namespace
}  // namespace nv::wizard::testing
