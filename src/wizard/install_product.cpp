// The installation: payload to temporary files, installation folder, the setup copy and the
// eight product files, the language, the shortcuts, the record, and the success page.

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>

#include "base/error.h"
#include "host/path_text.h"
#include "host/shell_link.h"
#include "host/special_folders.h"
#include "package/extract.h"
#include "package/locate.h"
#include "wizard/host_file_system.h"
#include "wizard/install_progress.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/temp_folder.h"
#include "wizard/uninstall_entry.h"

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
    "Norvis.exe",  "Norvis.hlp", "Norvis_uk.hlp", "Deutsch.lng",
    "English.lng", "NV.OBJ",     "brannok.wav",   "Sorvelin.exe",
};

// File names compare without regard to the case of the letters A to Z.
bool SameName(const std::string& a, const std::string& b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&lower](char x, char y) { return lower(x) == lower(y); });
}

// The product file an entry of the package is installed as, or null.
const char* ProductFileNamed(const std::string& name) {
    for (const ProductFile& file : kProductFiles) {
        if (SameName(name, file.source)) {
            return file.source;
        }
    }
    return nullptr;
}

// Holds, for one run of the installation, what it checked: the temporary folder, each file
// it extracted and the installation folder stay open from their check to their last use, so
// nobody can swap them in between. Every hold ends when the run does, whatever its outcome.
struct InstallHolds {
    std::unique_ptr<host::HeldFolder> temp;
    std::unique_ptr<host::HeldFolder> folder;
};

// Writes the shortcut `linkFile` only when its folder can be trusted, and holds that folder
// while writing: a folder others may write to could redirect the file through a link.
void CreateShortcutInSafeFolder(host::Host& host, const std::string& target,
                                const std::string& linkFile) {
    const std::unique_ptr<host::HeldFolder> folder =
        host.HoldSafeFolder(host::ContainingFolder(linkFile));
    if (folder) {
        host::CreateShellLink(host, target, linkFile, "", 0);
    }
}

}  // namespace

// Window messages run after every unit of work, from the first piece of the payload to the
// record, so that the window repaints and answers throughout. The handlers that can run
// meanwhile change nothing the installation relies on: forward and back are disabled, and
// cancel or the close box only asks the form to close, which takes effect once this handler
// has returned.
void TfInstaller::InstallProduct() {
    InstallHolds holds;
    HostFileSystem files(host_);  // goes first: the files close before their folders
    const auto pump = [this] { ui_.ProcessMessages(); };

    // Find the payload behind the running executable, read through the handle the host
    // opened at the program's start: the file at the executable's name now may be another.
    host::FileStream* setupStream = host_.Executable();
    if (setupStream == nullptr) {
        throw nv::Error(
            "Datei kann nicht ge\xF6"
            "ffnet werden: " +
            host_.ExecutablePath());
    }
    const std::unique_ptr<package::InputFile> setup = ReadThrough(*setupStream);
    const std::optional<package::PayloadLocation> location = package::LocatePayload(*setup);
    if (!location) {
        lbInstalling->SetVisible(false);
        lbError->SetVisible(true);
        return;
    }
    lbError->SetVisible(false);
    lbInstalling->SetVisible(true);
    const std::uint64_t setupBytes = setup->Size().value_or(location->end);
    InstallProgress progress(*pbInstall, location->end - location->offset, setupBytes);
    progress.Start();
    pbInstall->SetVisible(true);

    std::optional<TempFolder> temp = ChooseTempFolder(host_);
    if (!temp) {
        pInstall->SetVisible(false);
        pTempdir->SetVisible(true);
        btnNext->SetEnabled(false);
        btnPrev->SetEnabled(false);
        return;
    }
    const std::string tempFolder = temp->path;
    holds.temp = std::move(temp->hold);

    package::ExtractCallbacks callbacks;
    callbacks.progress = [&progress](const package::ExtractProgress& unit) {
        progress.Extracted(unit);
    };
    callbacks.processMessages = pump;
    std::map<std::string, std::uint32_t> entrySizes;  // by product file name
    callbacks.entry = [&entrySizes](const std::string& name, std::uint32_t size) {
        if (const char* product = ProductFileNamed(name)) {
            entrySizes[product] = size;  // a later entry of the same name replaces the file
        }
    };
    const package::ExtractResult extracted =
        package::ExtractPayload(files, *setup, *location, tempFolder, callbacks);
    if (extracted != package::ExtractResult::kOk) {
        lbError->SetVisible(true);
        lbInstalling->SetVisible(false);
        pbInstall->SetVisible(false);
        return;
    }
    for (const auto& [name, size] : entrySizes) {
        progress.ProductEntry(size);
    }
    const auto copyProgress = [&progress, &pump] {
        progress.CopyPiece();
        pump();
    };

    // The installation folder, made absolute so that neither the folder chooser's moves of
    // the current folder nor a later removal can place or find it somewhere else. A folder
    // made here gets the access list of a program-files folder; one that exists is used only
    // when others cannot write to it. Either is held while the setup writes into it.
    std::string folder = edInstallpath->Text();
    if (!folder.empty()) {
        folder = host_.FullPathOf(folder);
        edInstallpath->SetText(folder);
    }
    const bool folderReady =
        host_.FolderExists(folder) ||
        host_.CreateFolderWithParents(folder, host::FolderProtection::kProgram);
    if (folderReady) {
        holds.folder = host_.HoldSafeFolder(host::WithoutTrailingBackslashes(folder));
    }
    pump();
    if (!holds.folder) {
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
    pump();

    // The setup copies itself, payload included: started from there it offers removal. The
    // copy is read from the executable's own held handle.
    progress.BeginCopy(setupBytes);
    try {
        host_.RemoveFile(folder + kSetupCopy);
        host_.CopyToNewFile(*setupStream, folder + kSetupCopy, copyProgress);
    } catch (const std::exception&) {
        // The copy of the setup is a convenience; the product works without it.
    }
    progress.EndCopy();
    pump();

    // Each product file is copied from the handle its extraction still holds.
    for (const ProductFile& file : kProductFiles) {
        const std::string destination = folder + file.destination;
        const auto size = entrySizes.find(file.source);
        progress.BeginCopy(size != entrySizes.end() ? size->second : 0);
        host_.RemoveFile(destination);
        if (!failed) {
            host::FileStream* source = files.Held(files.JoinPath(tempFolder, file.source));
            failed = source == nullptr || !host_.CopyToNewFile(*source, destination, copyProgress);
        }
        progress.EndCopy();
        pump();
    }
    if (failed) {
        pInstall->SetVisible(false);
        pCopyError->SetVisible(true);
        return;
    }

    const auto finished = [&progress, &pump] {
        progress.FinishingStep();
        pump();
    };
    for (const char* name : kTemporaryFiles) {
        files.DeleteFile(files.JoinPath(tempFolder, name));
        finished();
    }
    // Through the held handle; it stays when it still holds files that were not ours.
    holds.temp->RemoveIfEmpty();
    holds.temp.reset();
    finished();

    SetProductLanguage(host_, folder + kIniFileName, rgLanguage->ItemIndex());
    finished();

    InstallationRecord record;
    record.installPath = folder;
    const std::string product = folder + kProductExecutable;
    if (cbDesktop->Checked()) {
        const std::string desktop = host::DesktopFolder(host_);
        if (!desktop.empty()) {
            record.desktopLink = desktop + '\\' + kLinkName;
            CreateShortcutInSafeFolder(host_, product, record.desktopLink);
        }
    }
    finished();
    if (cbQuick->Checked()) {
        const std::string appData = host::QuickLaunchBaseFolder(host_);
        if (!appData.empty()) {
            record.quicklaunchLink = appData + kQuickLaunchFolder + kLinkName;
            CreateShortcutInSafeFolder(host_, product, record.quicklaunchLink);
        }
    }
    finished();
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
                CreateShortcutInSafeFolder(host_, product, record.startmenuLink);
            } catch (const std::exception&) {
            }
            try {
                CreateShortcutInSafeFolder(host_, folder + kSetupCopy, record.setupLink);
            } catch (const std::exception&) {
            }
        }
    }
    finished();

    if (WriteInstallationRecord(host_, record)) {  // the listed removal needs it
        WriteUninstallEntry(host_, folder, entrySizes, setupBytes);
    }
    finished();
    progress.Complete();

    PageNumber = 5;
    ++InfoPictureIndex;
    ShowInfoPicture();
    pInstall->SetVisible(false);
    pSuccess->SetVisible(true);
    btnCancel->SetCaption(lbFinish->Caption());
}

}  // namespace nv::wizard
