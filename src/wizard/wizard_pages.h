#pragma once
// The wizard's seven pages, by the number PageNumber holds, and the step picture each shows;
// and what an installation can end with.

#include <cstdint>

namespace nv::wizard {

enum WizardPage : std::uint8_t {
    kLanguagePage = 1,      // pLanguage (or pAdmin when the rights are missing)
    kLicencePage = 2,       // pLicense
    kFolderPage = 3,        // pInstallpath
    kInstallingPage = 4,    // pInstall, or the page of a failed installation
    kSuccessPage = 5,       // pSuccess
    kRemovalOfferPage = 6,  // pUninstall
    kRemovedPage = 7,       // pUnistalling
};

// The index in ilInfoPics of the step picture a page shows: the digits 1 to 5 along the
// installation; the removal offer and its end page show the digits 2 and 3, the steps they
// are reached in from the language page.
constexpr std::int32_t StepPictureOf(std::uint8_t page) {
    switch (page) {
        case kRemovalOfferPage:
            return 1;
        case kRemovedPage:
            return 2;
        default:
            return page - 1;
    }
}

// How an installation ended: installed, or which page or message of the installing page
// tells why not.
enum class InstallOutcome : std::uint8_t {
    kInstalled,
    kNoPackage,          // none found, or damaged: lbError in place of lbInstalling and the bar
    kNoTemporaryFolder,  // pTempdir
    kFolderRefused,      // pError
    kCopyFailed,         // pCopyError
};

}  // namespace nv::wizard
