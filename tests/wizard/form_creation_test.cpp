// The window right after creation: page 1, the default folder, the English texts.

#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

using FormCreationTest = WizardTest;

TEST_F(FormCreationTest, StartsOnTheLanguagePageWithNextDisabledAndPreviousHidden) {
    TfInstaller& form = Form();
    EXPECT_EQ(form.PageNumber, 1);
    EXPECT_EQ(form.InfoPictureIndex, 0);
    EXPECT_EQ(ShownStep(), 0);
    EXPECT_EQ(VisiblePanel(), "pLanguage");
    EXPECT_FALSE(form.btnPrev->Visible());
    EXPECT_FALSE(form.btnPrev->Enabled());
    EXPECT_TRUE(form.btnNext->Visible());
    EXPECT_FALSE(form.btnNext->Enabled());
    EXPECT_TRUE(form.btnCancel->Enabled());
    EXPECT_EQ(form.rgLanguage->ItemIndex(), -1);
    EXPECT_EQ(form.Caption(), "Norvista Installer");
    EXPECT_EQ(form.ClientWidth(), 653);
    EXPECT_EQ(form.ClientHeight(), 500);
}

TEST_F(FormCreationTest, AppliesTheEnglishTextsAndKeepsTheDesignTextsOfControlsNotTranslated) {
    TfInstaller& form = Form();
    EXPECT_EQ(form.btnCancel->Caption(), "&Cancel");
    EXPECT_EQ(form.btnNext->Caption(), "&Next");
    EXPECT_EQ(form.btnPrev->Caption(), "&Previous");
    EXPECT_EQ(form.lbFinish->Caption(), "&Finish");
    EXPECT_EQ(form.lbInstallpath->Caption(), "&Installpath:");
    EXPECT_EQ(form.rgLicense->Items()->Count(), 2);
    EXPECT_EQ(form.rgLicense->Items()->Strings(0), "I &agree.");
    EXPECT_EQ(form.rgLicense->ItemIndex(), 1);
    // Not named by the language script: design texts in every language.
    EXPECT_EQ(form.rgLanguage->Caption(), "Language/Sprache");
    EXPECT_EQ(form.rgLanguage->Items()->Strings(0), "&English");
    EXPECT_EQ(form.rgLanguage->Items()->Strings(1), "&Deutsch");
    EXPECT_EQ(form.cbDesktop->Caption(), "&D");
    EXPECT_EQ(dynamic_cast<toolkit::TControl*>(form.FindComponent("lbSuccess1"))->Caption(),
              "Norvista");
    EXPECT_GT(form.reLicense->Lines()->Count(), 100);
}

TEST_F(FormCreationTest, ProposesTheProgramFilesFolderWithoutTrailingBackslash) {
    EXPECT_EQ(Form().edInstallpath->Text(), "C:\\Program Files\\Norvista");
}

TEST_F(FormCreationTest, FallsBackToProgrammeWhenNoProgramFilesFolderIsKnown) {
    host.SetSpecialFolder(0x26, "");
    EXPECT_EQ(Form().edInstallpath->Text(), "C:\\Programme\\Norvista");
}

TEST_F(FormCreationTest, CentresTheWindowByItsOuterSize) {
    host.SetSystemMetric(0, 1281);
    host.SetSystemMetric(1, 1025);
    TfInstaller& form = Form();
    EXPECT_EQ(form.Left(), 1281 / 2 - form.Width() / 2);
    EXPECT_EQ(form.Top(), 1025 / 2 - form.Height() / 2);
}

TEST_F(FormCreationTest, TheFormOwnsEveryControlAndThePanelsOwnNone) {
    TfInstaller& form = Form();
    for (const char* name : {"btnNext", "rgLanguage", "reLicense", "edInstallpath", "pbInstall",
                             "lbUninstalling2", "ilInfoPics", "Multilanguage1"}) {
        toolkit::TComponent* component = form.FindComponent(name);
        ASSERT_NE(component, nullptr) << name;
        EXPECT_EQ(component->Owner(), &form) << name;
    }
    EXPECT_EQ(form.pLicense->ComponentCount(), 0);
    EXPECT_EQ(form.reLicense->Parent(), form.pLicense);
}

}  // namespace
}  // namespace nv::wizard::testing
