#pragma once
// TfInstaller: the wizard window. It owns every control (built from the stored layout), the
// language component and the wizard's position; its handlers drive the page flow, the
// installation and the removal. It talks to the system only through the Host and to the
// user-interface system only through its controls and UiServices, so the whole wizard runs
// headless in tests.

#include <array>
#include <cstdint>
#include <string>

#include "host/host.h"
#include "toolkit/form.h"
#include "toolkit/graphics.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"
#include "toolkit/ui_services.h"

namespace nv::lang {
class TMultilanguage;
}

namespace nv::wizard {

// The wizard's seven pages, by the number PageNumber holds.
enum WizardPage : std::uint8_t {
    kLanguagePage = 1,      // pLanguage (or pAdmin when the rights are missing)
    kLicencePage = 2,       // pLicense
    kFolderPage = 3,        // pInstallpath
    kInstallingPage = 4,    // pInstall, or the page of a failed installation
    kSuccessPage = 5,       // pSuccess
    kRemovalOfferPage = 6,  // pUninstall
    kRemovedPage = 7,       // pUnistalling
};

// How an installation ended: installed, or which page or message of the installing page
// tells why not.
enum class InstallOutcome : std::uint8_t {
    kInstalled,
    kNoPackage,          // none found, or damaged: lbError in place of lbInstalling and the bar
    kNoTemporaryFolder,  // pTempdir
    kFolderRefused,      // pError
    kCopyFailed,         // pCopyError
};

// What the user chose for an installation, as the controls hold it.
struct InstallChoices {
    std::string folder;
    int language = -1;
    bool desktopShortcut = false;
    bool quickLaunchShortcut = false;
    bool startMenuEntries = false;
};

// The window's pictures: the background and the five step numbers.
struct WizardPictures {
    toolkit::Bitmap splash;                // 650 x 500
    std::array<toolkit::Bitmap, 5> steps;  // 110 x 145 each, the digits 1 to 5
};

class TfInstaller : public toolkit::TForm {
public:
    TfInstaller(host::Host& host, toolkit::UiServices& ui, const WizardPictures& pictures);
    ~TfInstaller() override;
    TfInstaller(const TfInstaller&) = delete;
    TfInstaller& operator=(const TfInstaller&) = delete;
    TfInstaller(TfInstaller&&) = delete;
    TfInstaller& operator=(TfInstaller&&) = delete;

    // Creation: centres the window, proposes the installation folder, shows step 1 and
    // applies the English texts. Runs once, after every control exists.
    void FormCreate();

    // Page flow.
    void btnNextClick(toolkit::TComponent& sender);
    void btnPrevClick(toolkit::TComponent& sender);
    void btnCancelClick(toolkit::TComponent& sender);
    void rgLanguageClick(toolkit::TComponent& sender);
    void rgLicenseClick(toolkit::TComponent& sender);
    void btnInstallpathClick(toolkit::TComponent& sender);

    // Installation from the payload, giving what the page flow shows; removal, which ends on
    // the removal's last page whatever it meets.
    InstallOutcome InstallProduct();
    void Uninstall(const std::string& installedPath);

    // Shows picture InfoPictureIndex of ilInfoPics in iInfoPicture.
    void ShowInfoPicture();
    // The only way the window changes pages: shows page panel `panel` and no other, sets the
    // buttons it offers, makes its page the current one and shows its step picture.
    void MoveToPage(toolkit::TPanel* panel);

    InstallChoices Choices() const {
        return {edInstallpath->Text(), rgLanguage->ItemIndex(), cbDesktop->Checked(),
                cbQuick->Checked(), cbStartmenu->Checked()};
    }
    // The installation folder made absolute: kept, and shown in the folder field.
    void SetInstallFolder(const std::string& folder) {
        InstallFolder = folder;
        edInstallpath->SetText(folder);
    }

    // The wizard's position, which lives as long as the window: the page, its step picture,
    // the folder an earlier installation recorded, and the installation folder made absolute.
    std::uint8_t PageNumber = 0;
    std::int32_t InfoPictureIndex = 0;
    std::string InstalledPath;
    std::string InstallFolder;

    // The controls, owned by the form (panels are only their visual parents).
    toolkit::TImage* iSplash = nullptr;
    toolkit::TImage* iInfoPicture = nullptr;
    toolkit::TImageList* ilInfoPics = nullptr;
    toolkit::TButton* btnPrev = nullptr;
    toolkit::TButton* btnNext = nullptr;
    toolkit::TButton* btnCancel = nullptr;
    toolkit::TPanel* pLanguage = nullptr;
    toolkit::TPanel* pLicense = nullptr;
    toolkit::TPanel* pInstallpath = nullptr;
    toolkit::TPanel* pInstall = nullptr;
    toolkit::TPanel* pSuccess = nullptr;
    toolkit::TPanel* pError = nullptr;
    toolkit::TPanel* pCopyError = nullptr;
    toolkit::TPanel* pAdmin = nullptr;
    toolkit::TPanel* pTempdir = nullptr;
    toolkit::TPanel* pUninstall = nullptr;
    toolkit::TPanel* pUnistalling = nullptr;
    toolkit::TRadioGroup* rgLanguage = nullptr;
    toolkit::TLabel* lbLicense = nullptr;
    toolkit::TRichEdit* reLicense = nullptr;
    toolkit::TRadioGroup* rgLicense = nullptr;
    toolkit::TLabel* lbInstallpath = nullptr;
    toolkit::TEdit* edInstallpath = nullptr;
    toolkit::TButton* btnInstallpath = nullptr;
    toolkit::TLabel* lbDesktop = nullptr;
    toolkit::TCheckBox* cbDesktop = nullptr;
    toolkit::TLabel* lbQuick = nullptr;
    toolkit::TCheckBox* cbQuick = nullptr;
    toolkit::TLabel* lbStartmenu = nullptr;
    toolkit::TCheckBox* cbStartmenu = nullptr;
    toolkit::TLabel* lbInstalling = nullptr;
    toolkit::TLabel* lbError = nullptr;
    toolkit::TProgressBar* pbInstall = nullptr;
    toolkit::TLabel* lbFinish = nullptr;
    toolkit::TCheckBox* cbStartNV = nullptr;
    lang::TMultilanguage* Multilanguage1 = nullptr;

    host::Host& Host() const { return host_; }
    toolkit::UiServices& Ui() const { return ui_; }

private:
    void BuildFromLayout(const WizardPictures& pictures);
    void BindControls();
    // Sets Next and Previous as the current screen offers them.
    void OfferButtons();
    void ShowInstallOutcome(InstallOutcome outcome);

    host::Host& host_;
    toolkit::UiServices& ui_;
    toolkit::TPanel* shownPanel_ = nullptr;
};

}  // namespace nv::wizard
