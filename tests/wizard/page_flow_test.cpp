// Walking the pages forward and back, with the button states of every page.

#include "base/error.h"
#include "host/host_types.h"
#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

using host::kRegDword;

class PageFlowTest : public WizardTest {
protected:
    void MakeNonAdministrator() { host.SetTokenGroups(std::vector<host::TokenGroup>{}); }
    void SetWindows98() {
        host::VersionRecord record;
        record.platformId = host::kPlatformWin32Windows;
        record.majorVersion = 4;
        record.minorVersion = 10;
        record.buildNumber = 1998;
        host.SetVersion(record, false, true);
    }
};

// --- Page 1 -------------------------------------------------------------------------------

TEST_F(PageFlowTest, PickingALanguageEnablesNextAndRelabelsTheWindow) {
    ChooseLanguage(1);
    EXPECT_TRUE(Form().btnNext->Enabled());
    EXPECT_EQ(Form().btnCancel->Caption(), "&Abbrechen");
    EXPECT_EQ(Form().btnNext->Caption(), "&Weiter");
    EXPECT_EQ(Form().lbFinish->Caption(), "&Beenden");
    ChooseLanguage(0);
    EXPECT_EQ(Form().btnCancel->Caption(), "&Cancel");
    EXPECT_EQ(Form().PageNumber, 1);
}

TEST_F(PageFlowTest, NextFromPageOneShowsTheLicenceWithTheRefusalChosen) {
    ChooseLanguage(0);
    Next();
    ExpectPage(2, 1, "pLicense");
    EXPECT_TRUE(Form().btnPrev->Visible());
    EXPECT_TRUE(Form().btnPrev->Enabled());
    EXPECT_FALSE(Form().btnNext->Enabled());
}

TEST_F(PageFlowTest, ANonAdministratorOnAnNtSystemStopsOnTheAdministratorPage) {
    MakeNonAdministrator();
    ChooseLanguage(0);
    host.SetRegistryString(kRecordKeyPath, "InstallPath", "C:\\Somewhere\\");
    Next();
    EXPECT_EQ(Form().PageNumber, 2);
    EXPECT_EQ(VisiblePanel(), "pAdmin");
    EXPECT_FALSE(Form().btnNext->Enabled());
    EXPECT_FALSE(Form().btnPrev->Enabled());
    EXPECT_FALSE(Form().btnPrev->Visible());
    EXPECT_EQ(Form().InstalledPath, "");  // the record is not read
}

TEST_F(PageFlowTest, OnWindows98TheAdministratorCheckIsSkipped) {
    MakeNonAdministrator();
    SetWindows98();
    ChooseLanguage(0);
    Next();
    EXPECT_EQ(VisiblePanel(), "pLicense");
}

TEST_F(PageFlowTest, ARecordedFolderLeadsToTheRemovalOfferAndBack) {
    host.SetRegistryString(kRecordKeyPath, "InstallPath", "C:\\Old\\");
    ChooseLanguage(0);
    Next();
    ExpectPage(6, 1, "pUninstall");
    EXPECT_EQ(Form().InstalledPath, "C:\\Old\\");
    EXPECT_TRUE(Form().btnNext->Enabled());
    EXPECT_TRUE(Form().btnPrev->Enabled() && Form().btnPrev->Visible());

    Prev();
    ExpectPage(1, 0, "pLanguage");
    EXPECT_FALSE(Form().btnPrev->Visible());
    EXPECT_TRUE(Form().btnNext->Enabled());
}

TEST_F(PageFlowTest, AnEmptyRecordedFolderMeansNotInstalled) {
    host.SetRegistryString(kRecordKeyPath, "InstallPath", "");
    ChooseLanguage(0);
    Next();
    EXPECT_EQ(VisiblePanel(), "pLicense");
}

TEST_F(PageFlowTest, ARecordValueOfTheWrongTypeRestoresPageOneBeforeTheErrorIsReported) {
    host.SetRegistryValue(kRecordKeyPath, "Installpath", {kRegDword, std::string(4, '\1')});
    ChooseLanguage(0);
    EXPECT_THROW(Form().btnNext->Click(), nv::Error);
    ExpectPage(1, 0, "pLanguage");
    EXPECT_EQ(Form().InfoPictureIndex, 0);
    EXPECT_FALSE(Form().btnPrev->Visible());
    EXPECT_TRUE(Form().btnNext->Enabled());
}

// --- Page 2 -------------------------------------------------------------------------------

TEST_F(PageFlowTest, NextOnTheLicencePageFollowsTheConsent) {
    ChooseLanguage(0);
    Next();
    ChooseLicence(0);
    EXPECT_TRUE(Form().btnNext->Enabled());
    ChooseLicence(1);
    EXPECT_FALSE(Form().btnNext->Enabled());
}

TEST_F(PageFlowTest, GoingBackToPageOneResetsTheConsent) {
    ChooseLanguage(1);
    Next();
    ChooseLicence(0);
    Prev();
    EXPECT_EQ(Form().PageNumber, 1);
    EXPECT_EQ(VisiblePanel(), "pLanguage");
    EXPECT_EQ(Form().rgLicense->ItemIndex(), 1);
    EXPECT_TRUE(Form().btnNext->Enabled());
    Next();
    EXPECT_FALSE(Form().btnNext->Enabled());
}

// --- Page 3 -------------------------------------------------------------------------------

TEST_F(PageFlowTest, TheFolderPageAndBackKeepTheConsent) {
    WalkToFolderPage();
    EXPECT_EQ(Form().PageNumber, 3);
    EXPECT_EQ(ShownStep(), 2);
    EXPECT_TRUE(Form().btnNext->Enabled());
    EXPECT_TRUE(Form().btnPrev->Enabled());
    Prev();
    EXPECT_EQ(Form().PageNumber, 2);
    EXPECT_EQ(VisiblePanel(), "pLicense");
    EXPECT_TRUE(Form().btnNext->Enabled());
}

TEST_F(PageFlowTest, TheFolderChooserStartsAtTheDefaultAndAddsATrailingBackslash) {
    host.AddFolder("C:\\Program Files\\Norvista");
    WalkToFolderPage();
    ui.chooserAnswer = "D:\\Apps\\Norvista";
    Form().btnInstallpath->Click();
    ASSERT_EQ(ui.browsedFrom.size(), 1U);
    EXPECT_EQ(ui.browsedFrom[0], "C:\\Program Files\\Norvista");
    EXPECT_EQ(Form().edInstallpath->Text(), "D:\\Apps\\Norvista\\");

    ui.chooserAnswer = "E:\\";
    Form().btnInstallpath->Click();
    EXPECT_EQ(Form().edInstallpath->Text(), "E:\\");
}

// A folder the chooser makes is made as the installation makes it: with a program folder's
// access list, and not below a folder the account's unelevated programs could redirect.
TEST_F(PageFlowTest, AFolderTheChooserMakesIsCheckedFromTheRootDown) {
    host.AddFolder("C:\\users\\user\\Apps");
    host.SetFolderSecurity("C:\\users\\user\\Apps",
                           {host::sim::SimOwner::kCurrentUser, false, false});
    const struct {
        const char* folder;
        bool made;
    } cases[] = {{"C:\\Apps\\New\\Norvista", true}, {"C:\\users\\user\\Apps\\Norvista", false}};
    WalkToFolderPage();
    ui.chooserMakesIt = true;
    for (const auto& c : cases) {
        ui.chooserAnswer = c.folder;
        Form().btnInstallpath->Click();
        EXPECT_EQ(ui.chooserMade, c.made) << c.folder;
        EXPECT_EQ(host.FolderExists(c.folder), c.made) << c.folder;
        EXPECT_EQ(host.ProtectionOf(c.folder).has_value(), c.made) << c.folder;
        EXPECT_FALSE(host.IsHeld(c.folder)) << c.folder;
    }
}

TEST_F(PageFlowTest, AMissingStartFolderStartsTheChooserAtDriveCAndMakesItCurrent) {
    WalkToFolderPage();
    ui.chooserAnswer = std::nullopt;
    Form().edInstallpath->SetText("X:\\Typed");
    Form().btnInstallpath->Click();
    ASSERT_EQ(ui.browsedFrom.size(), 1U);
    EXPECT_EQ(ui.browsedFrom[0], "c:\\");
    EXPECT_EQ(host.CurrentFolder().substr(0, 3), "C:\\");
    EXPECT_EQ(Form().edInstallpath->Text(), "X:\\Typed");  // cancelled: unchanged
}

// --- Cancel -------------------------------------------------------------------------------

TEST_F(PageFlowTest, CancelClosesOnEveryPageWithoutStartingAnything) {
    ChooseLanguage(0);
    Next();
    Cancel();
    EXPECT_TRUE(Form().Closed());
    EXPECT_TRUE(host.ShellStarts().empty());
}

}  // namespace
}  // namespace nv::wizard::testing
