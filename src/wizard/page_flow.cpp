// The page flow: which page is shown, what the three buttons offer, and when the installation
// and the removal run. Everything happens inside the click handlers.

#include "base/error.h"
#include "base/text.h"
#include "host/administrator.h"
#include "host/special_folders.h"
#include "host/windows_version.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/product_identity.h"
#include "wizard/wizard_pages.h"

namespace nv::wizard {

void TfInstaller::MoveToPage(std::uint8_t page) {
    PageNumber = page;
    InfoPictureIndex = StepPictureOf(page);
    ShowInfoPicture();
}

void TfInstaller::btnNextClick(toolkit::TComponent& /*sender*/) {
    switch (PageNumber) {
        case kLanguagePage: {
            MoveToPage(kLicencePage);
            pLanguage->SetVisible(false);
            std::string versionText;
            host::GetWindowsVersionText(host_, versionText);
            if (!host::NamesWindows9x(versionText) && !host::IsAdministrator(host_)) {
                pAdmin->SetVisible(true);
                btnNext->SetEnabled(false);
                btnPrev->SetEnabled(false);
                return;
            }
            InstalledPath.clear();
            try {
                InstalledPath = ReadInstalledPath(host_);
            } catch (const nv::Error&) {
                // A record that cannot be read leaves the wizard on page 1 as it was, so the
                // next Next does not skip the licence page; the error is then reported.
                MoveToPage(kLanguagePage);
                ShowLanguagePage();
                throw;
            }
            if (!InstalledPath.empty()) {
                MoveToPage(kRemovalOfferPage);
                pUninstall->SetVisible(true);
                btnPrev->SetEnabled(true);
                btnPrev->SetVisible(true);
                btnNext->SetEnabled(true);
                return;
            }
            pLicense->SetVisible(true);
            btnPrev->SetEnabled(true);
            btnPrev->SetVisible(true);
            btnNext->SetEnabled(LicenceAgreed());
            return;
        }
        case kLicencePage:
            MoveToPage(kFolderPage);
            pLicense->SetVisible(false);
            pInstallpath->SetVisible(true);
            btnNext->SetEnabled(true);
            return;
        case kFolderPage:
            MoveToPage(kInstallingPage);
            pInstallpath->SetVisible(false);
            pInstall->SetVisible(true);
            btnNext->SetEnabled(false);
            btnPrev->SetEnabled(false);
            InstallProduct();
            return;
        case kRemovalOfferPage:
            MoveToPage(kRemovedPage);
            pUninstall->SetVisible(false);
            pUnistalling->SetVisible(true);
            btnNext->SetEnabled(false);
            Uninstall(InstalledPath);
            return;
        default:
            return;  // the other pages offer no way forward
    }
}

void TfInstaller::btnPrevClick(toolkit::TComponent& /*sender*/) {
    switch (PageNumber) {
        case kLicencePage:
            MoveToPage(kLanguagePage);
            pLicense->SetVisible(false);
            ShowLanguagePage();
            return;
        case kFolderPage:
            MoveToPage(kLicencePage);
            pInstallpath->SetVisible(false);
            pLicense->SetVisible(true);
            btnNext->SetEnabled(LicenceAgreed());
            return;
        case kInstallingPage:  // the installation folder could not be made: choose another
            MoveToPage(kFolderPage);
            pError->SetVisible(false);
            pInstallpath->SetVisible(true);
            btnNext->SetEnabled(true);
            return;
        case kRemovalOfferPage:
            MoveToPage(kLanguagePage);
            pUninstall->SetVisible(false);
            ShowLanguagePage();
            return;
        default:
            return;  // the other pages offer no way back
    }
}

void TfInstaller::ShowLanguagePage() {
    btnPrev->SetVisible(false);
    pLanguage->SetVisible(true);
    rgLicense->SetItemIndex(1);
    btnNext->SetEnabled(LanguageChosen());
}

void TfInstaller::btnCancelClick(toolkit::TComponent& /*sender*/) {
    if (PageNumber == kSuccessPage && cbStartNV->Checked()) {
        const std::string& folder = edInstallpath->Text();
        host_.ShellOpen(ui_.MainWindowHandle(), folder + kProductExecutable, folder);
    }
    Close();
}

void TfInstaller::rgLanguageClick(toolkit::TComponent& /*sender*/) {
    btnNext->SetEnabled(LanguageChosen());
    if (const char* language = LanguageName(rgLanguage->ItemIndex())) {
        ApplyLanguage(language);
    }
}

void TfInstaller::rgLicenseClick(toolkit::TComponent& /*sender*/) {
    btnNext->SetEnabled(rgLicense->ItemIndex() == 0);
}

void TfInstaller::btnInstallpathClick(toolkit::TComponent& /*sender*/) {
    std::string start = host::ProgramFilesFolder(host_) + '\\' + kDefaultFolderName;
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
