#pragma once
// The wizard's seven pages, by the number PageNumber holds, and what an installation can end
// with.

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
