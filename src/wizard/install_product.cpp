// The installation: payload to temporary files, installation folder, the setup copy and the
// eight product files, the language, the shortcuts, the record, and the success page.

#include <array>
#include <exception>
#include <memory>

#include "base/error.h"
#include "host/shell_link.h"
#include "host/special_folders.h"
#include "package/extract.h"
#include "package/locate.h"
#include "wizard/host_file_system.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/temp_folder.h"

namespace nv::wizard {

namespace {

constexpr char kSetupCopy[] = "Setup.exe";
constexpr char kUpdatesFolder[] = "Updates";
constexpr char kProductExecutable[] = "Norvis.exe";
constexpr char kLinkName[] = "Norvista.lnk";
constexpr char kQuickLaunchFolder[] = "\\Microsoft\\Internet Explorer\\Quick Launch\\";
constexpr char kStartMenuFolder[] = "\\Norvista";

struct ProductFile {
    const char* source;       // name in the temporary folder
    const char* destination;  // below the installation folder
};

// The product's files, in copying order.
constexpr std::array<ProductFile, 8> kProductFiles = {{
    {"Norvis.exe", "Norvis.exe"},
    {"Norvis.hlp", "Norvis.hlp"},
    {"Norvis_uk.hlp", "Norvis_uk.hlp"},
    {"Deutsch.lng", "Deutsch.lng"},
    {"English.lng", "English.lng"},
    {"NV.OBJ", "NV.OBJ"},
    {"brannok.wav", "brannok.wav"},
    {"Sorvelin.exe", "Updates\\Sorvelin.exe"},
}};

// The extracted files removed after a successful copy, in this order.
constexpr std::array<const char*, 8> kTemporaryFiles = {
    "Norvis.exe", "Norvis.hlp", "Norvis_uk.hlp", "Deutsch.lng",
    "English.lng", "NV.OBJ", "brannok.wav", "Sorvelin.exe",
};

}  // namespace

void TfInstaller::InstallProduct() {
    HostFileSystem files(host_);
    const std::string setupPath = host_.ExecutablePath();
    auto advance = [this] { pbInstall->SetPosition(pbInstall->Position() + 1); };

    // Find the payload behind the running executable.
    std::unique_ptr<package::InputFile> setup = files.OpenRead(setupPath);
    if (!setup) {
        throw nv::Error("Datei kann nicht ge\xF6" "ffnet werden: " + setupPath);
    }
    const std::optional<package::PayloadLocation> location = package::LocatePayload(*setup);
    if (!location) {
        lbInstalling->SetVisible(false);
        lbError->SetVisible(true);
        return;
    }
    lbError->SetVisible(false);
    lbInstalling->SetVisible(true);
    pbInstall->SetPosition(0);
    pbInstall->SetRange(0, 100);
    pbInstall->SetVisible(true);

    const std::optional<std::string> temp = ChooseTempFolder(host_);
    if (!temp) {
        pInstall->SetVisible(false);
        pTempdir->SetVisible(true);
        btnNext->SetEnabled(false);
        btnPrev->SetEnabled(false);
        return;
    }
    const std::string& tempFolder = *temp;

    package::ExtractCallbacks callbacks;
    callbacks.step = advance;
    callbacks.processMessages = [this] { ui_.ProcessMessages(); };
    const package::ExtractResult extracted =
        package::ExtractPayload(files, *setup, *location, tempFolder, callbacks);
    setup.reset();
    if (extracted != package::ExtractResult::kOk) {
        lbError->SetVisible(true);
        lbInstalling->SetVisible(false);
        pbInstall->SetVisible(false);
        return;
    }

    // The installation folder, made absolute so that neither the folder chooser's moves of
    // the current folder nor a later removal can place or find it somewhere else.
    std::string folder = edInstallpath->Text();
    if (!folder.empty()) {
        folder = host_.FullPathOf(folder);
        edInstallpath->SetText(folder);
    }
    if (!host_.FolderExists(folder) && !host_.CreateFolderWithParents(folder)) {
        pInstall->SetVisible(false);
        pError->SetVisible(true);
        btnNext->SetEnabled(false);
        btnPrev->SetEnabled(true);
        return;
    }
    if (folder.back() != '\\') {
        folder += '\\';
        edInstallpath->SetText(folder);
    }

    bool failed = false;
    if (!host_.FolderExists(folder + kUpdatesFolder)) {
        try {
            host_.CreateFolder(folder + kUpdatesFolder);
        } catch (const nv::Error&) {
            failed = true;
        }
    }

    // The setup copies itself, payload included: started from there it offers removal.
    try {
        host_.RemoveFile(folder + kSetupCopy);
        host_.CopyFileNoOverwrite(setupPath, folder + kSetupCopy);
    } catch (const std::exception&) {
        // The copy of the setup is a convenience; the product works without it.
    }
    advance();

    for (const ProductFile& file : kProductFiles) {
        const std::string destination = folder + file.destination;
        host_.RemoveFile(destination);
        if (!failed &&
            !host_.CopyFileNoOverwrite(tempFolder + '\\' + file.source, destination)) {
            failed = true;
        }
        advance();
    }
    if (failed) {
        pInstall->SetVisible(false);
        pCopyError->SetVisible(true);
        return;
    }

    for (const char* name : kTemporaryFiles) {
        host_.RemoveFile(tempFolder + '\\' + name);
    }
    try {
        host_.RemoveFolder(tempFolder);
    } catch (const nv::Error&) {
        // It still holds files that were not ours.
    }

    SetProductLanguage(host_, folder + kIniFileName, rgLanguage->ItemIndex());

    InstallationRecord record;
    record.installPath = folder;
    const std::string product = folder + kProductExecutable;
    if (cbDesktop->Checked()) {
        const std::string desktop = host::DesktopFolder(host_);
        if (!desktop.empty()) {
            record.desktopLink = desktop + '\\' + kLinkName;
            host::CreateShellLink(host_, product, record.desktopLink, "", 0);
        }
    }
    if (cbQuick->Checked()) {
        const std::string appData = host::QuickLaunchBaseFolder(host_);
        if (!appData.empty()) {
            record.quicklaunchLink = appData + kQuickLaunchFolder + kLinkName;
            host::CreateShellLink(host_, product, record.quicklaunchLink, "", 0);
        }
    }
    if (cbStartmenu->Checked()) {
        const std::string programs = host::ProgramsMenuFolder(host_);
        if (!programs.empty()) {
            const std::string menu = programs + kStartMenuFolder;
            try {
                host_.CreateFolder(menu);
            } catch (const nv::Error&) {
                // Already there from an earlier installation.
            }
            record.startmenuLink = menu + '\\' + kLinkName;
            record.setupLink = menu + "\\Uninstall.lnk";
            try {
                host::CreateShellLink(host_, product, record.startmenuLink, "", 0);
            } catch (const std::exception&) {
            }
            try {
                host::CreateShellLink(host_, folder + kSetupCopy, record.setupLink, "", 0);
            } catch (const std::exception&) {
            }
        }
    }

    WriteInstallationRecord(host_, record);

    PageNumber = 5;
    ++InfoPictureIndex;
    ShowInfoPicture();
    pInstall->SetVisible(false);
    pSuccess->SetVisible(true);
    btnCancel->SetCaption(lbFinish->Caption());
}

}  // namespace nv::wizard
