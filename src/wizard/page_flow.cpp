// The page flow: which screen is shown, what the three buttons offer, when the installation
// and the removal run, and how the window shows what they ended with. Everything happens
// inside the click handlers.

#include <algorithm>
#include <array>

#include "base/text.h"
#include "host/administrator.h"
#include "host/special_folders.h"
#include "host/windows_version.h"
#include "lang/multilanguage.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/product_identity.h"

namespace nv::wizard {

namespace {

// What a screen offers on Next or Previous.
enum class Offer : std::uint8_t { kHidden, kOff, kOn, kOnceLanguageChosen, kOnceLicenceAgreed };

struct ScreenDef {
    toolkit::TPanel* TfInstaller::*panel;
    std::uint8_t page;
    std::int32_t picture;  // the step picture's index in ilInfoPics
    Offer next;
    Offer previous;
    bool finishes;  // Cancel is labelled as Finish
};

// What the window shows with each page panel. The step pictures are the digits 1 to 5 along
// the installation; the removal offer and its end page show the digits 2 and 3, the steps they
// are reached in from the language page. A hidden button is disabled too.
constexpr std::array<ScreenDef, 11> kScreens = {{
    {&TfInstaller::pLanguage, kLanguagePage, 0, Offer::kOnceLanguageChosen, Offer::kHidden, false},
    {&TfInstaller::pAdmin, kLicencePage, 1, Offer::kOff, Offer::kHidden, false},
    {&TfInstaller::pLicense, kLicencePage, 1, Offer::kOnceLicenceAgreed, Offer::kOn, false},
    {&TfInstaller::pInstallpath, kFolderPage, 2, Offer::kOn, Offer::kOn, false},
    {&TfInstaller::pInstall, kInstallingPage, 3, Offer::kOff, Offer::kOff, false},
    {&TfInstaller::pTempdir, kInstallingPage, 3, Offer::kOff, Offer::kOff, false},
    {&TfInstaller::pError, kInstallingPage, 3, Offer::kOff, Offer::kOn, false},
    {&TfInstaller::pCopyError, kInstallingPage, 3, Offer::kOff, Offer::kOff, false},
    {&TfInstaller::pSuccess, kSuccessPage, 4, Offer::kOff, Offer::kOff, true},
    {&TfInstaller::pUninstall, kRemovalOfferPage, 1, Offer::kOn, Offer::kOn, false},
    {&TfInstaller::pUnistalling, kRemovedPage, 2, Offer::kOff, Offer::kHidden, true},
}};

// The row of page panel `panel`; the language page's for none.
const ScreenDef& DefinitionOf(const TfInstaller& form, const toolkit::TPanel* panel) {
    const auto* row = std::find_if(kScreens.begin(), kScreens.end(),
                                   [&](const ScreenDef& def) { return form.*def.panel == panel; });
    return row != kScreens.end() ? *row : kScreens.front();
}

}  // namespace

void TfInstaller::MoveToPage(toolkit::TPanel* panel) {
    const ScreenDef& shown = DefinitionOf(*this, panel);
    for (const ScreenDef& other : kScreens) {
        if (other.panel != shown.panel) {
            (this->*other.panel)->SetVisible(false);
        }
    }
    (this->*shown.panel)->SetVisible(true);
    shownPanel_ = panel;
    OfferButtons();
    if (shown.finishes) {
        btnCancel->SetCaption(lbFinish->Caption());
    }
    PageNumber = shown.page;
    InfoPictureIndex = shown.picture;
    ShowInfoPicture();
}

void TfInstaller::OfferButtons() {
    const auto offer = [this](toolkit::TButton& button, Offer what) {
        button.SetVisible(what != Offer::kHidden);
        button.SetEnabled(what == Offer::kOn ||
                          (what == Offer::kOnceLanguageChosen && rgLanguage->ItemIndex() != -1) ||
                          (what == Offer::kOnceLicenceAgreed && rgLicense->ItemIndex() == 0));
    };
    offer(*btnNext, DefinitionOf(*this, shownPanel_).next);
    offer(*btnPrev, DefinitionOf(*this, shownPanel_).previous);
}

// What the window shows after an installation: a page of its own, or the installing page's
// message.
void TfInstaller::ShowInstallOutcome(InstallOutcome outcome) {
    switch (outcome) {
        case InstallOutcome::kInstalled:
            return MoveToPage(pSuccess);
        case InstallOutcome::kNoPackage:
            lbInstalling->SetVisible(false);
            lbError->SetVisible(true);
            pbInstall->SetVisible(false);
            return;
        case InstallOutcome::kNoTemporaryFolder:
            return MoveToPage(pTempdir);
        case InstallOutcome::kFolderRefused:
            return MoveToPage(pError);
        case InstallOutcome::kCopyFailed:
            return MoveToPage(pCopyError);
    }
}

void TfInstaller::btnNextClick(toolkit::TComponent& /*sender*/) {
    switch (PageNumber) {
        case kLanguagePage: {
            std::string versionText;
            host::GetWindowsVersionText(host_, versionText);
            if (!host::NamesWindows9x(versionText) && !host::IsAdministrator(host_)) {
                return MoveToPage(pAdmin);
            }
            // A record that cannot be read leaves the wizard on page 1, so the next Next does not
            // skip the licence page; the error is then reported.
            InstalledPath.clear();
            InstalledPath = ReadInstalledPath(host_);
            return MoveToPage(InstalledPath.empty() ? pLicense : pUninstall);
        }
        case kLicencePage:
            return MoveToPage(pInstallpath);
        case kFolderPage:
            MoveToPage(pInstall);
            return ShowInstallOutcome(InstallProduct());
        case kRemovalOfferPage:
            MoveToPage(pUnistalling);
            return Uninstall(InstalledPath);
        default:
            return;  // the other pages offer no way forward
    }
}

void TfInstaller::btnPrevClick(toolkit::TComponent& /*sender*/) {
    switch (PageNumber) {
        case kLicencePage:
        case kRemovalOfferPage:
            rgLicense->SetItemIndex(1);  // the licence is to be agreed to again
            return MoveToPage(pLanguage);
        case kFolderPage:
            return MoveToPage(pLicense);
        case kInstallingPage:  // the installation folder could not be made: choose another
            return MoveToPage(pInstallpath);
        default:
            return;  // the other pages offer no way back
    }
}

void TfInstaller::btnCancelClick(toolkit::TComponent& /*sender*/) {
    if (PageNumber == kSuccessPage && cbStartNV->Checked()) {
        host_.ShellOpen(ui_.MainWindowHandle(), InstallFolder + kProductExecutable, InstallFolder);
    }
    Close();
}

void TfInstaller::rgLanguageClick(toolkit::TComponent& /*sender*/) {
    OfferButtons();
    if (const char* language = LanguageName(rgLanguage->ItemIndex())) {
        Multilanguage1->SetLanguage(language);
    }
}

void TfInstaller::rgLicenseClick(toolkit::TComponent& /*sender*/) {
    OfferButtons();
}

void TfInstaller::btnInstallpathClick(toolkit::TComponent& /*sender*/) {
    std::string start = host::ProgramFilesFolder(host_) + '\\' + kFolderName;
    if (!host_.FolderExists(start)) {
        start = "c:\\";
        host_.SetCurrentFolder(start);
    }
    // A folder the user has the chooser make is made as the installation makes it: checked from
    // the drive's root down, with a program folder's access list.
    std::optional<std::string> chosen =
        ui_.BrowseForDirectory(start, [this](const std::string& folder) {
            return host_.HoldInstallationFolder(host_.FullPathOf(folder)) != nullptr;
        });
    if (!chosen) {
        return;
    }
    edInstallpath->SetText(WithTrailingBackslash(*chosen));
}

}  // namespace nv::wizard
