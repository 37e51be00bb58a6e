// The installation: payload to temporary files, installation folder, the setup copy and the
// eight product files, the language, the shortcuts, the record, and the success page.

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/text.h"
#include "host/shell_link.h"
#include "host/special_folders.h"
#include "package/extract.h"
#include "package/locate.h"
#include "toolkit/throttled_pump.h"
#include "wizard/host_file_system.h"
#include "wizard/ignoring_failure.h"
#include "wizard/install_progress.h"
#include "wizard/installation_record.h"
#include "wizard/installer_form.h"
#include "wizard/product_identity.h"
#include "wizard/temp_folder.h"

namespace nv::wizard {

namespace {

constexpr char kQuickLaunchFolder[] = "\\Microsoft\\Internet Explorer\\Quick Launch\\";

// One run of the installation. It holds what it checked: the temporary folder, each file it
// extracted and the installation folder stay open from their check to their last use, so
// nobody can swap them in between; every hold ends with the run, whatever its outcome.
//
// Window messages run throughout, from the first piece of the payload to the record, so that
// the window repaints and answers: after a unit of work once 15 ms have passed since they last
// ran (asking for them costs more than most units). The handlers that can run
// meanwhile change nothing the installation relies on: forward and back are disabled, and
// cancel or the close box only asks the form to close, which takes effect once the run has
// returned.
class Installation {
public:
    explicit Installation(TfInstaller& form)
        : form_(form),
          choices_(form.Choices()),
          host_(form.Host()),
          pump_(form.Ui()),
          files_(host_) {}

    InstallOutcome Run() {
        // The steps that can fail, in their order, and what the installation ends with when
        // one does.
        using Step = bool (Installation::*)();
        static constexpr std::pair<Step, InstallOutcome> kSteps[] = {
            {&Installation::FindPayload, InstallOutcome::kNoPackage},
            {&Installation::ChooseTemporaryFolder, InstallOutcome::kNoTemporaryFolder},
            {&Installation::Extract, InstallOutcome::kNoPackage},
            {&Installation::PrepareFolder, InstallOutcome::kFolderRefused},
            {&Installation::CopyFiles, InstallOutcome::kCopyFailed},
        };
        for (const auto& [step, failure] : kSteps) {
            if (!(this->*step)()) {
                return failure;
            }
        }
        RemoveTemporaryFiles();
        for (const StepAfterCopies step : kStepsAfterCopies) {
            RunStep(step);
            Finished();
        }
        progress_->Complete();
        return InstallOutcome::kInstalled;
    }

private:
    void Pump() { pump_.Check(); }
    void Finished() {
        progress_->FinishingStep();
        Pump();
    }

    // Finds the payload behind the running executable, read through the handle the host
    // opened at the program's start: the file at the executable's name now may be another.
    bool FindPayload() {
        setupStream_ = host_.Executable();
        if (setupStream_ == nullptr) {
            throw nv::Error(ErrorKind::kOpenFailed, host_.ExecutablePath());
        }
        location_ = package::LocatePayload(*setupStream_);
        if (!location_) {
            return false;
        }
        // The setup's size only scales the progress bar; the payload's end stands in for it.
        setupBytes_ = location_->end;
        IgnoringFailure([&] { setupBytes_ = setupStream_->Size(); });
        progress_.emplace(*form_.pbInstall, location_->end - location_->offset, setupBytes_);
        progress_->Start();
        form_.pbInstall->SetVisible(true);
        return true;
    }

    bool ChooseTemporaryFolder() {
        std::optional<TempFolder> temp = ChooseTempFolder(host_);
        if (!temp) {
            return false;
        }
        tempFolder_ = temp->path;
        tempHold_ = std::move(temp->hold);
        files_.CreateInside(*tempHold_);  // the extracted files are made through its hold
        return true;
    }

    // The raw copy, decompression, splitting and check; the product's files stay held.
    bool Extract() {
        package::ExtractCallbacks callbacks;
        callbacks.progress = [this](const package::ExtractProgress& unit) {
            progress_->Extracted(unit);
        };
        callbacks.processMessages = [this] { Pump(); };
        callbacks.entry = [this](const std::string& name, std::uint32_t size) {
            if (const std::size_t file = ProductFileIndex(name); file < kProductFiles.size()) {
                // A later entry of the same name replaces it.
                entrySizes_[kProductFiles[file].source] = size;
            }
        };
        if (package::ExtractPayload(files_, *setupStream_, *location_, tempFolder_, callbacks) !=
            package::ExtractResult::kOk) {
            return false;
        }
        for (const auto& [name, size] : entrySizes_) {
            progress_->ProductEntry(size);
        }
        return true;
    }

    // The installation folder, made absolute so that neither the folder chooser's moves of
    // the current folder nor a later removal can place or find it somewhere else. Its whole
    // path is checked from the drive's root down: a folder made here gets the access list of
    // a program-files folder, one that exists is used only when nobody else can change it or
    // any folder above it. The folder and the folders above it stay held while the setup
    // writes, so every name inside it keeps meaning what was checked.
    bool PrepareFolder() {
        if (choices_.folder.empty()) {
            throw nv::Error(ErrorKind::kCreateFolderFailed);
        }
        folder_ = host_.FullPathOf(choices_.folder);
        form_.SetInstallFolder(folder_);
        folderHold_ = host_.HoldInstallationFolder(folder_);
        Pump();
        if (!folderHold_) {
            return false;
        }
        folder_ = WithTrailingBackslash(folder_);
        form_.SetInstallFolder(folder_);
        return true;
    }

    // "Updates" inside the held folder: made with a program folder's access list, or used
    // when nobody else can change it; held while Sorvelin.exe is copied into it.
    bool PrepareUpdatesFolder() {
        const std::string updates = folder_ + kUpdatesFolder;
        if (!host_.FolderExists(updates) &&
            !host_.CreateProtectedFolder(updates, host::FolderProtection::kProgram)) {
            return false;
        }
        updatesHold_ = host_.HoldSafeFolder(updates);
        return updatesHold_ != nullptr;
    }

    // "Updates", the setup's copy of itself and the eight product files; false after the
    // first failure, which later copies respect.
    bool CopyFiles() {
        bool failed = !PrepareUpdatesFolder();
        Pump();
        const auto copyProgress = [this] {
            progress_->CopyPiece();
            Pump();
        };

        // The setup copies itself, payload included: started from there it offers removal.
        // The copy is a convenience, read from the executable's own held handle.
        progress_->BeginCopy(setupBytes_);
        IgnoringFailure<std::exception>([&] {
            host_.RemoveFile(folder_ + kSetupCopy);
            host_.CopyToNewFile(*setupStream_, folder_ + kSetupCopy, copyProgress);
        });
        progress_->EndCopy();
        Pump();

        // Each product file is copied from the handle its extraction still holds.
        for (const ProductFile& file : kProductFiles) {
            const std::string destination = folder_ + file.destination;
            const auto size = entrySizes_.find(file.source);
            progress_->BeginCopy(size != entrySizes_.end() ? size->second : 0);
            host_.RemoveFile(destination);
            if (!failed) {
                host::FileStream* source = files_.Held(files_.JoinPath(tempFolder_, file.source));
                failed =
                    source == nullptr || !host_.CopyToNewFile(*source, destination, copyProgress);
            }
            progress_->EndCopy();
            Pump();
        }
        return !failed;
    }

    void RemoveTemporaryFiles() {
        for (const ProductFile& file : kProductFiles) {
            files_.DeleteFile(files_.JoinPath(tempFolder_, file.source));
            Finished();
        }
        // Through the held handle; it stays when it still holds files that were not ours.
        tempHold_->RemoveIfEmpty();
        tempHold_.reset();
        Finished();
    }

    void RunStep(StepAfterCopies step) {
        const std::string product = folder_ + kProductExecutable;
        switch (step) {
            case StepAfterCopies::kLanguage:
                SetProductLanguage(host_, folder_ + kIniFileName, choices_.language);
                return;
            case StepAfterCopies::kDesktopShortcut:
                if (choices_.desktopShortcut) {
                    const std::string desktop = host::DesktopFolder(host_);
                    if (!desktop.empty()) {
                        record_.desktopLink = desktop + '\\' + kLinkName;
                        CreateShortcutInSafeFolder(product, record_.desktopLink);
                    }
                }
                return;
            case StepAfterCopies::kQuickLaunchShortcut:
                if (choices_.quickLaunchShortcut) {
                    const std::string appData = host::QuickLaunchBaseFolder(host_);
                    if (!appData.empty()) {
                        record_.quicklaunchLink = appData + kQuickLaunchFolder + kLinkName;
                        CreateShortcutInOwnFolder(product, record_.quicklaunchLink);
                    }
                }
                return;
            case StepAfterCopies::kStartMenuEntries:
                if (choices_.startMenuEntries) {
                    CreateStartMenuEntries(product);
                }
                return;
            case StepAfterCopies::kRecord:
                record_.installPath = folder_;
                if (WriteInstallationRecord(host_, record_)) {  // the listed removal needs it
                    WriteUninstallEntry(host_, folder_, entrySizes_, setupBytes_);
                }
                return;
        }
    }

    // Writes the shortcut `linkFile` only when its folder can be trusted, and holds that folder
    // while writing: a folder others may write to could redirect the file through a link.
    // Checking the folder and saving the shortcut take a few and tens of milliseconds, so
    // messages may run in between.
    void CreateShortcutInSafeFolder(const std::string& target, const std::string& linkFile) {
        const std::unique_ptr<host::HeldFolder> folder =
            host_.HoldSafeFolder(ContainingFolder(linkFile));
        if (folder) {
            Pump();
            host::CreateShellLink(host_, target, linkFile, "", 0);
        }
    }

    // Writes the shortcut `linkFile` into a folder of the account's own (its quick-launch
    // folder), which its unelevated programs may change as they like: no check of the folder
    // could vouch for it. The host writes the shortcut into a file it makes new, and only
    // when the file system names that file `linkFile` (no link at the name, no junction on the
    // way).
    void CreateShortcutInOwnFolder(const std::string& target, const std::string& linkFile) {
        if (host_.FolderExists(ContainingFolder(linkFile))) {
            Pump();
            host::CreateShellLink(host_, target, linkFile, "", 0);
        }
    }

    void CreateStartMenuEntries(const std::string& product) {
        const std::string programs = host::ProgramsMenuFolder(host_);
        if (programs.empty()) {
            return;
        }
        const std::string menu = programs + '\\' + kFolderName;
        IgnoringFailure([&] { host_.CreateFolder(menu); });  // there from an earlier installation
        record_.startmenuLink = menu + '\\' + kLinkName;
        record_.setupLink = menu + '\\' + kUninstallLinkName;
        IgnoringFailure<std::exception>(
            [&] { CreateShortcutInSafeFolder(product, record_.startmenuLink); });
        Pump();  // a shortcut is saved by the shell, which can take tens of milliseconds
        IgnoringFailure<std::exception>(
            [&] { CreateShortcutInSafeFolder(folder_ + kSetupCopy, record_.setupLink); });
    }

    TfInstaller& form_;
    const InstallChoices choices_;
    host::Host& host_;
    toolkit::ThrottledPump pump_;
    // The folders are held longer than the files in them: members go in reverse order.
    std::unique_ptr<host::HeldFolder> tempHold_;
    std::unique_ptr<host::HeldFolder> folderHold_;
    std::unique_ptr<host::HeldFolder> updatesHold_;
    HostFileSystem files_;

    host::FileStream* setupStream_ = nullptr;
    std::optional<package::PayloadLocation> location_;
    std::uint64_t setupBytes_ = 0;
    std::optional<InstallProgress> progress_;
    std::string tempFolder_;
    std::string folder_;
    std::map<std::string, std::uint32_t> entrySizes_;  // by product file name
    InstallationRecord record_;
};

}  // namespace

InstallOutcome TfInstaller::InstallProduct() {
    return Installation(*this).Run();
}

}  // namespace nv::wizard
