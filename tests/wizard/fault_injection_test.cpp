// Every operation of an installation and of a removal made to fail in turn, and the disk made
// full at every write: each run must end in the outcome its failure calls for (a page, the
// error report, or carrying on where a failure is ignored) and leave nothing behind that
// outcome does not allow. A summary of the outcomes goes to standard output.

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "host/sim/sim_faults.h"
#include "wizard/error_texts.h"
#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

using host::sim::SimOp;
using host::sim::SimOperation;

enum class Outcome {
    kSuccess,
    kErrorReport,     // nv::Error raised out of the click
    kPackageMessage,  // lbError on the installation page
    kTempdirPage,
    kFolderErrorPage,
    kCopyErrorPage,
    kRemovedPage,  // page 7 after a removal
    kUnexpected,
};

// Indexed by Outcome.
constexpr const char* kOutcomeNames[] = {"success page", "error report", "package message",
                                         "pTempdir",     "pError",       "pCopyError",
                                         "removal page", "UNEXPECTED"};

const char* OutcomeName(Outcome outcome) {
    return kOutcomeNames[static_cast<int>(outcome)];
}

// Names a failed operation in the messages: its number, kind and target.
std::string OperationLabel(const SimOperation& op) {
    return "operation " + std::to_string(op.number) + " " +
           std::string(host::sim::SimOpName(op.op)) + " " + op.target;
}

// Case-folded paths as the operation log gives them.
constexpr char kTempnv[] = "c:\\setup\\tempnv";
constexpr char kSetupExe[] = "c:\\setup\\setup.exe";
constexpr char kProgramFiles[] = "c:\\program files";
constexpr char kInstallFolder[] = "c:\\program files\\norvista";
constexpr char kUpdates[] = "c:\\program files\\norvista\\updates";
constexpr char kIniFile[] = "c:\\program files\\norvista\\norvis.ini";
constexpr char kStartMenu[] = "c:\\programdata\\microsoft\\windows\\start menu\\programs\\norvista";
constexpr char kRecordKey[] = "software\\halvorn\\norvista";
constexpr char kEntryKey[] = "software\\microsoft\\windows\\currentversion\\uninstall\\norvista";
// The values of the entry in the list of installed programs, which may fail without harm.
const std::set<std::string> kEntryValues = {"displayname", "publisher",       "installlocation",
                                            "displayicon", "uninstallstring", "estimatedsize",
                                            "nomodify",    "norepair"};
// Where an installation may leave files: its temporary folders, the installation folder and
// the shortcut folders.
const std::vector<std::string> kAllowedFolders = {
    kTempnv,
    "c:\\tempnv",
    kInstallFolder,
    "c:\\users\\public\\desktop",
    "c:\\users\\user\\desktop",
    "c:\\users\\user\\appdata\\roaming\\microsoft\\internet explorer\\quick launch",
    kStartMenu,
    "c:\\users\\user\\appdata\\roaming\\microsoft\\windows\\start menu\\programs\\norvista",
};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool Below(const std::string& path, const std::string& folder) {
    return StartsWith(path, folder + "\\");
}

// One fresh machine and wizard per run.
class Machine final : public WizardTest {
public:
    void TestBody() override {}
    using WizardTest::Cancel;
    using WizardTest::ChooseLanguage;
    using WizardTest::Form;
    using WizardTest::host;
    using WizardTest::Next;
    using WizardTest::StartAgain;
    using WizardTest::VisiblePanel;
    using WizardTest::WalkToFolderPage;

    // Presses a button and tells where the wizard ended; an error's text as the setup's error
    // box words it goes to `reported`.
    Outcome Press(toolkit::TButton& button) {
        try {
            button.Click();
        } catch (const nv::Error& error) {
            reported = ErrorText(error);
            return Form().PageNumber == 4 && !Form().btnNext->Enabled() &&
                           !Form().btnPrev->Enabled()
                       ? Outcome::kErrorReport
                       : Outcome::kUnexpected;
        }
        const std::string panel = VisiblePanel();
        if (panel == "pSuccess" && Form().PageNumber == 5) {
            return Outcome::kSuccess;
        }
        if (panel == "pInstall" && Form().lbError->Visible() && !Form().lbInstalling->Visible()) {
            return Outcome::kPackageMessage;
        }
        if (panel == "pTempdir") {
            return Outcome::kTempdirPage;
        }
        if (panel == "pError" && Form().btnPrev->Enabled()) {
            return Outcome::kFolderErrorPage;
        }
        if (panel == "pCopyError") {
            return Outcome::kCopyErrorPage;
        }
        if (panel == "pUnistalling" && Form().PageNumber == 7 && Form().btnCancel->Enabled()) {
            return Outcome::kRemovedPage;
        }
        return Outcome::kUnexpected;
    }

    // Every file below the drive's root, case-folded, with its contents.
    std::map<std::string, std::string> Files() {
        std::map<std::string, std::string> files;
        std::function<void(const std::string&)> walk = [&](const std::string& folder) {
            for (const std::string& name : host.FolderEntries(folder)) {
                const std::string path = (folder.back() == '\\' ? folder : folder + '\\') + name;
                if (host.FolderExists(path)) {
                    walk(path);
                } else {
                    files[LowerCaseAscii(path)] = host.FileData(path).value_or("");
                }
            }
        };
        walk("C:\\");
        return files;
    }

    std::vector<std::string> RecordValues() { return host.RegistryValueNames(kRecordKeyPath); }
    bool HasEntry() { return host.RegistryKeyExists(kEntryKey); }

    std::string reported;
};

// The setup's error box speaks German, whichever layer raised the error: `text`, reported
// when the operation `failed` failed, must be the German wording of that failure and name the
// file (or registry value) the operation concerned, as the wizard spelled it.
void ExpectGermanErrorText(const std::string& text, const SimOperation& failed,
                           const std::string& label) {
    const auto endsWith = [](const std::string& whole, const std::string& tail) {
        return whole.size() >= tail.size() &&
               whole.compare(whole.size() - tail.size(), tail.size(), tail) == 0;
    };
    std::string before;
    std::string after;
    switch (failed.op) {
        case SimOp::kOpenRead:
            before =
                "Datei kann nicht ge\xF6"
                "ffnet werden: ";
            break;
        case SimOp::kCreateFile:
            before = "Datei kann nicht erstellt werden: ";
            break;
        case SimOp::kWrite:
            before = "In ";
            after = " kann nicht geschrieben werden (eventuell ist der Datentr\xE4ger voll)";
            break;
        case SimOp::kRead:
        case SimOp::kSeek:
            if (failed.target == kSetupExe) {
                EXPECT_EQ(text, "Setup-Datei kann nicht gelesen werden") << label;
                return;
            }
            if (endsWith(failed.target, "\\package.dlz")) {
                EXPECT_EQ(text, "Installationspaket kann nicht gelesen werden") << label;
                return;
            }
            before = "Datei kann nicht gelesen werden: ";
            break;
        case SimOp::kWriteProfile:
            before = "In ";
            after = " kann nicht geschrieben werden";
            break;
        case SimOp::kSetValue:
            before = "Fehler beim Setzen der Daten f\xFCr '";
            after = "'";
            break;
        default:
            ADD_FAILURE() << label << ": no error text expected, reported " << text;
            return;
    }
    ASSERT_TRUE(text.size() > before.size() + after.size() && text.rfind(before, 0) == 0 &&
                endsWith(text, after))
        << label << ": reported \"" << text << "\"";
    // The name in the text is the operation's target as the wizard spelled it: the same
    // path, possibly relative to the current folder, in any case of letters.
    const std::string named =
        LowerCaseAscii(text.substr(before.size(), text.size() - before.size() - after.size()));
    EXPECT_TRUE(named == failed.target || endsWith(failed.target, "\\" + named))
        << label << ": names \"" << named << "\"";
}

// Counts outcomes per kind of failed operation, and prints them as a table.
class Summary {
public:
    explicit Summary(std::string title) : title_(std::move(title)) {}
    ~Summary() {
        std::printf("\n%s: %d injected faults\n", title_.c_str(), total_);
        std::printf("  %-18s %-16s %s\n", "operation", "outcome", "runs");
        for (const auto& [key, count] : rows_) {
            std::printf("  %-18s %-16s %d\n", key.first.c_str(), key.second.c_str(), count);
        }
        std::fflush(stdout);
    }
    Summary(const Summary&) = delete;
    Summary& operator=(const Summary&) = delete;
    Summary(Summary&&) = delete;
    Summary& operator=(Summary&&) = delete;

    void Add(const std::string& what, Outcome outcome) {
        ++total_;
        ++rows_[{what, OutcomeName(outcome)}];
    }
    int Total() const { return total_; }

private:
    std::string title_;
    int total_ = 0;
    std::map<std::pair<std::string, std::string>, int> rows_;
};

// The operations of one clean installation, numbered as a faulty run will number them.
struct CleanInstall {
    std::uint64_t before = 0;
    std::vector<SimOperation> operations;
    std::uint64_t copyStart = 0;      // number of the first file made in the installation folder
    std::uint64_t iniWrite = 0;       // number of the initialisation file's write
    std::uint64_t firstShortcut = 0;  // number of the first shortcut save
};

// The outcome an installation must reach when the one operation `op` fails.
Outcome ExpectedInstallOutcome(const SimOperation& op, const CleanInstall& clean) {
    const bool copying = op.number >= clean.copyStart && op.number < clean.iniWrite;
    switch (op.op) {
        case SimOp::kOpenRead:
        case SimOp::kCreateFile:
        case SimOp::kRead:
        case SimOp::kWrite:
        case SimOp::kSeek:
            if (copying) {
                // The setup's own copy is a convenience; a product file's is not.
                return op.target == kSetupExe ||
                               op.target == std::string(kInstallFolder) + "\\setup.exe"
                           ? Outcome::kSuccess
                           : Outcome::kCopyErrorPage;
            }
            return Outcome::kErrorReport;  // input/output errors of the extraction are raised
        case SimOp::kWriteProfile:
            return Outcome::kErrorReport;  // so are record errors
        case SimOp::kSetValue:
            // The record's values are raised; the entry in the list is a convenience.
            return kEntryValues.count(op.target) != 0 ? Outcome::kSuccess : Outcome::kErrorReport;
        case SimOp::kCreateFolder:
            if (op.target == kTempnv) {
                return Outcome::kSuccess;  // "C:\tempnv" instead
            }
            if (op.target == kUpdates) {
                return Outcome::kCopyErrorPage;
            }
            if (op.target == kStartMenu) {
                return Outcome::kSuccess;  // may exist already: ignored
            }
            return Outcome::kFolderErrorPage;  // the installation folder or a parent
        case SimOp::kFolderSecurity:
            // A folder that cannot be checked is not trusted: "C:\tempnv" instead of
            // "tempnv", the folder error page for the installation folder or the folder it is
            // made in, the copy error page for "Updates", no shortcut in a shortcut folder.
            if (op.target == kInstallFolder || op.target == kProgramFiles) {
                return Outcome::kFolderErrorPage;
            }
            return op.target == kUpdates ? Outcome::kCopyErrorPage : Outcome::kSuccess;
        default:
            // Deletions, folder removal, profile reads, special folders, shortcuts and a key
            // that cannot be created are ignored or have a fall-back.
            return Outcome::kSuccess;
    }
}

CleanInstall RecordCleanInstall() {
    Machine run;
    run.WalkToFolderPage();
    CleanInstall clean;
    clean.before = run.host.OperationCount();
    EXPECT_EQ(run.Press(*run.Form().btnNext), Outcome::kSuccess);
    const auto& log = run.host.OperationLog();
    clean.operations.assign(log.begin() + static_cast<std::ptrdiff_t>(clean.before), log.end());
    for (const SimOperation& op : clean.operations) {
        if (op.op == SimOp::kCreateFile && clean.copyStart == 0 &&
            Below(op.target, kInstallFolder)) {
            clean.copyStart = op.number;
        }
        if (op.op == SimOp::kWriteProfile && clean.iniWrite == 0) {
            clean.iniWrite = op.number;
        }
        if (op.op == SimOp::kSaveShellLink && clean.firstShortcut == 0) {
            clean.firstShortcut = op.number;
        }
    }
    return clean;
}

// What a finished faulty installation run may have left, given its outcome and the number
// of the failed operation.
void CheckInstallLeftovers(Machine& run, Outcome outcome, const SimOperation& failed,
                           const CleanInstall& clean, const std::string& label) {
    for (const auto& [path, data] : run.Files()) {
        if (path == kSetupExe) {
            continue;
        }
        bool allowed = false;
        for (const std::string& folder : kAllowedFolders) {
            allowed = allowed || Below(path, folder);
        }
        EXPECT_TRUE(allowed) << label << ": wrote " << path;
        if (outcome != Outcome::kSuccess) {
            if (path == kIniFile) {
                EXPECT_GT(failed.number, clean.iniWrite) << label << ": ini written";
            }
            if (StartsWith(path, "c:\\users\\") || Below(path, kStartMenu)) {
                EXPECT_GT(failed.number, clean.firstShortcut) << label << ": shortcut " << path;
            }
        }
    }
    const std::vector<std::string> values = run.RecordValues();
    if (outcome == Outcome::kSuccess) {
        for (const auto& [name, data] : ProductFiles()) {
            EXPECT_EQ(run.host.FileData(kDefaultFolder + InstalledName(name)), data)
                << label << ": " << name;
        }
        const bool keyRefused = failed.op == SimOp::kCreateKey && failed.target == kRecordKey;
        EXPECT_EQ(values.size(), keyRefused ? 0U : 5U) << label;
        // A failing step of the entry takes it away whole; without a record there is none.
        const bool entryFailed =
            (failed.op == SimOp::kCreateKey && failed.target == kEntryKey) ||
            (failed.op == SimOp::kSetValue && kEntryValues.count(failed.target) != 0);
        EXPECT_EQ(run.HasEntry(), !keyRefused && !entryFailed) << label;
        if (run.HasEntry()) {
            EXPECT_EQ(run.host.RegistryValueNames(kEntryKey).size(), kEntryValues.size()) << label;
        }
    } else if (failed.op == SimOp::kSetValue && outcome == Outcome::kErrorReport) {
        // The record is written value by value: those before the refused one remain.
        EXPECT_LT(values.size(), 5U) << label;
    } else {
        EXPECT_TRUE(values.empty()) << label << ": a record without a finished installation";
    }
    if (outcome != Outcome::kSuccess) {
        EXPECT_FALSE(run.HasEntry()) << label << ": listed without a finished installation";
    }
}

TEST(FaultInjection, EveryOperationOfAnInstallationFailingInTurn) {
    const CleanInstall clean = RecordCleanInstall();
    ASSERT_GT(clean.operations.size(), 50U);
    Summary summary("Installation, one operation failing");
    std::set<std::string> reports;  // every error text the runs reported
    for (const SimOperation& failed : clean.operations) {
        const std::string label = OperationLabel(failed);
        Machine run;
        run.WalkToFolderPage();
        ASSERT_EQ(run.host.OperationCount(), clean.before) << "the walk is not repeatable";
        run.host.FailOperationNumber(failed.number);
        const Outcome outcome = run.Press(*run.Form().btnNext);
        summary.Add(std::string(host::sim::SimOpName(failed.op)), outcome);
        // The payload locator reads the setup's headers and trailer; one it cannot read
        // counts as no payload, and a probe it can do without changes nothing: the
        // checksum still vouches for every extracted byte.
        const bool locating = (failed.op == SimOp::kRead || failed.op == SimOp::kSeek) &&
                              failed.target == kSetupExe && outcome != Outcome::kErrorReport;
        if (locating) {
            EXPECT_TRUE(outcome == Outcome::kPackageMessage || outcome == Outcome::kSuccess)
                << label << " ended in " << OutcomeName(outcome);
        } else {
            EXPECT_EQ(outcome, ExpectedInstallOutcome(failed, clean))
                << label << " ended in " << OutcomeName(outcome);
        }
        if (outcome == Outcome::kErrorReport) {
            ExpectGermanErrorText(run.reported, failed, label);
            reports.insert(run.reported);
        }
        CheckInstallLeftovers(run, outcome, failed, clean, label);
    }
    EXPECT_EQ(summary.Total(), static_cast<int>(clean.operations.size()));
    for (const std::string& text : reports) {
        std::printf("  reported: %s\n", text.c_str());
    }
}

// The first operation at or after `from` that a full disk makes fail and that is not
// ignored decides the outcome; an error report names that operation in `failing`.
Outcome ExpectedDiskFullOutcome(const CleanInstall& clean, std::size_t from,
                                const SimOperation** failing = nullptr) {
    for (std::size_t i = from; i < clean.operations.size(); ++i) {
        const SimOperation& op = clean.operations[i];
        if (op.op == SimOp::kWrite || op.op == SimOp::kWriteProfile) {
            const Outcome outcome = ExpectedInstallOutcome(op, clean);
            if (outcome != Outcome::kSuccess) {
                if (failing != nullptr) {
                    *failing = &op;
                }
                return outcome;  // not the setup's own copy, whose failure is ignored
            }
        }
    }
    return Outcome::kSuccess;
}

TEST(FaultInjection, TheDiskFullAtEveryWriteOfAnInstallation) {
    const CleanInstall clean = RecordCleanInstall();
    Summary summary("Installation, disk full");
    std::set<std::uint64_t> limits;
    for (std::size_t i = 0; i < clean.operations.size(); ++i) {
        const SimOperation& op = clean.operations[i];
        const bool takesSpace = op.op == SimOp::kWrite || op.op == SimOp::kWriteProfile;
        // Room for everything before this operation and not a byte more.
        if (!takesSpace || !limits.insert(op.spaceTaken).second) {
            continue;
        }
        const std::string label = "full after " + std::to_string(op.spaceTaken) + " bytes, at " +
                                  std::string(host::sim::SimOpName(op.op)) + " " + op.target;
        Machine run;
        run.WalkToFolderPage();
        run.host.SetFreeSpace(op.spaceTaken - clean.operations.front().spaceTaken);
        const Outcome outcome = run.Press(*run.Form().btnNext);
        summary.Add(std::string(host::sim::SimOpName(op.op)), outcome);
        // An operation that grows nothing (an empty file's write) succeeds on a full disk.
        const SimOperation* failing = nullptr;
        Outcome expected = ExpectedDiskFullOutcome(clean, i, &failing);
        EXPECT_EQ(outcome, expected) << label << " ended in " << OutcomeName(outcome);
        if (outcome == Outcome::kErrorReport && failing != nullptr) {
            ExpectGermanErrorText(run.reported, *failing, label);
        }
        CheckInstallLeftovers(run, outcome, op, clean, label);
    }
    EXPECT_GT(summary.Total(), 10);
}

// --- Removal ------------------------------------------------------------------------------

TEST(FaultInjection, EveryOperationOfARemovalFailingInTurn) {
    // Installs once, then removes on a copy of that machine: the installation is replayed
    // on a fresh machine for every run, since SimHost machines cannot be copied.
    auto prepare = [](Machine& run) {
        run.WalkToFolderPage();
        ASSERT_EQ(run.Press(*run.Form().btnNext), Outcome::kSuccess);
        run.Cancel();  // Finish, with the product started; a new setup run follows
    };

    Machine cleanRun;
    prepare(cleanRun);
    const std::map<std::string, std::string> installed = cleanRun.Files();
    auto cleanForm = cleanRun.StartAgain();
    ASSERT_EQ(cleanForm->PageNumber, 6);
    const std::uint64_t before = cleanRun.host.OperationCount();
    cleanForm->btnNext->Click();
    ASSERT_EQ(cleanForm->PageNumber, 7);
    const std::map<std::string, std::string> cleanAfter = cleanRun.Files();
    const std::vector<std::string> cleanValues = cleanRun.RecordValues();
    const std::vector<SimOperation> operations(
        cleanRun.host.OperationLog().begin() + static_cast<std::ptrdiff_t>(before),
        cleanRun.host.OperationLog().end());
    ASSERT_GT(operations.size(), 20U);
    EXPECT_TRUE(cleanValues.empty());
    EXPECT_FALSE(cleanRun.HasEntry());

    Summary summary("Removal, one operation failing");
    for (const SimOperation& failed : operations) {
        const std::string label = OperationLabel(failed);
        Machine run;
        prepare(run);
        auto form = run.StartAgain();
        ASSERT_EQ(run.host.OperationCount(), before) << "the set-up is not repeatable";
        run.host.FailOperationNumber(failed.number);
        Outcome outcome = Outcome::kUnexpected;
        try {
            form->btnNext->Click();
            if (form->PageNumber == 7 && form->pUnistalling->Visible() &&
                form->btnCancel->Enabled() && !form->btnNext->Enabled()) {
                outcome = Outcome::kRemovedPage;
            }
        } catch (const nv::Error& error) {
            ADD_FAILURE() << label << ": raised " << error.what();
        }
        summary.Add(std::string(host::sim::SimOpName(failed.op)), outcome);
        EXPECT_EQ(outcome, Outcome::kRemovedPage) << label;

        // Nothing is written, and what stays beyond a clean removal is what the failed
        // operation would have removed, or what depended on it.
        const std::map<std::string, std::string> after = run.Files();
        std::vector<std::string> extra;
        for (const auto& [path, data] : after) {
            EXPECT_TRUE(installed.count(path) == 1 && installed.at(path) == data)
                << label << ": wrote " << path;
            if (cleanAfter.count(path) == 0) {
                extra.push_back(path);
            }
        }
        switch (failed.op) {
            case SimOp::kRemoveFile:
                EXPECT_LE(extra.size(), 1U) << label;
                for (const std::string& path : extra) {
                    EXPECT_EQ(path, failed.target) << label;
                }
                break;
            case SimOp::kQueryValue:
                EXPECT_LE(extra.size(), 1U) << label;  // the shortcut that value names
                break;
            case SimOp::kFolderSecurity:
                // A folder that cannot be checked keeps what it holds: the installation
                // folder its product files, a shortcut folder its shortcut.
                if (failed.target != kInstallFolder) {
                    EXPECT_LE(extra.size(), 1U) << label;
                }
                for (const std::string& path : extra) {
                    EXPECT_TRUE(Below(path, failed.target)) << label << ": " << path;
                }
                break;
            case SimOp::kOpenKey:
                EXPECT_LE(extra.size(), 4U) << label;  // the four shortcuts
                for (const std::string& path : extra) {
                    EXPECT_TRUE(StartsWith(path, "c:\\users\\") || Below(path, kStartMenu))
                        << label << ": " << path;
                }
                break;
            default:
                EXPECT_TRUE(extra.empty()) << label;
        }
        // An installation folder that cannot be checked keeps the record and the entry too, so
        // that the next start offers the removal again.
        const bool folderKept =
            failed.op == SimOp::kFolderSecurity && failed.target == kInstallFolder;
        const std::vector<std::string> values = run.RecordValues();
        if (failed.op == SimOp::kOpenKey || folderKept) {
            EXPECT_EQ(values.size(), 5U) << label;
        } else if (failed.op == SimOp::kDeleteValue) {
            EXPECT_EQ(values.size(), 1U) << label;
        } else {
            EXPECT_TRUE(values.empty()) << label;
        }
        // The entry goes unless its own deletion fails, or the record stays and keeps it.
        EXPECT_EQ(run.HasEntry(),
                  failed.op == SimOp::kOpenKey || failed.op == SimOp::kDeleteKey || folderKept)
            << label;
    }
    EXPECT_EQ(summary.Total(), static_cast<int>(operations.size()));
}

// --- Others acting meanwhile --------------------------------------------------------------

// The setup started from a folder the account owns and others may write to (a downloads
// folder), on a drive whose root, as on Windows, lets everyone add folders and passes the
// right to change what is made there on to all users. Another user, or the account's own
// unelevated programs, act once, between two operations of the setup.
constexpr char kOpenInstallFolder[] = "C:\\Norvista";
constexpr char kTheirs[] = "their bytes";
// Where a junction planted by them leads: a folder only administrators may change.
constexpr char kVictim[] = "C:\\Windows\\System32";
constexpr char kVictimFile[] = "C:\\Windows\\System32\\victim.dll";

std::vector<std::pair<std::string, std::string>> TheirFiles() {
    std::vector<std::pair<std::string, std::string>> files = ProductFiles();
    for (auto& [name, data] : files) {
        data = kTheirs + name;
    }
    return files;
}

// Sets the machine up as described above, and walks to the folder page with `folder` typed.
void OpenToOthersWithFolder(Machine& run, const char* folder) {
    run.host.SetFolderSecurity("C:\\",
                               {host::sim::SimOwner::kAdministrators, false, false, true, true});
    run.host.SetFolderSecurity("C:\\setup", {host::sim::SimOwner::kCurrentUser, true, false});
    run.host.AddFile("C:\\setup\\theirs.exe", kTheirs);
    run.host.AddFile(kVictimFile, "system");
    run.host.AddFolder("C:\\users\\user\\Apps");
    run.host.SetFolderSecurity("C:\\users\\user\\Apps",
                               {host::sim::SimOwner::kCurrentUser, false, false});
    run.WalkToFolderPage();
    run.Form().edInstallpath->SetText(folder);
}

// Where the setup is told to install.
struct Place {
    const char* what;
    const char* folder;
};
const Place kPlaces[] = {
    {"below the root", kOpenInstallFolder},
    {"into Program Files", "C:\\Program Files\\Norvista"},
    {"below a folder the account owns", "C:\\users\\user\\Apps\\Norvista"},
    {"into the drive's root", "C:\\"},
};

// Every folder from the root down to `path`, and `path` itself.
std::vector<std::string> FoldersOnTheWay(const std::string& path) {
    std::vector<std::string> folders;
    for (std::size_t at = path.find('\\', 3); at != std::string::npos;
         at = path.find('\\', at + 1)) {
        folders.push_back(path.substr(0, at));
    }
    if (path.size() > 3) {
        folders.push_back(path);
    }
    return folders;
}

// Puts a folder of theirs, holding their files, in place of `folder`.
void ReplaceFolder(host::sim::SimHost& host, const std::string& folder) {
    host.OtherUserRename(folder, folder + ".old");
    host.OtherUserAddFolder(folder);
    for (const auto& [name, data] : TheirFiles()) {
        host.OtherUserWriteFile(folder + "\\" + name, data);
    }
}

// Makes `folder` lead to the victim: an empty folder becomes a mount point, a junction is
// re-pointed, any other folder is renamed away for a junction at its name.
void JunctionToVictim(host::sim::SimHost& host, const std::string& folder) {
    if (!host.OtherUserMakeJunction(folder, kVictim)) {
        host.OtherUserRename(folder, folder + ".old");
        host.OtherUserMakeJunction(folder, kVictim);
    }
}

struct Attack {
    const char* what;
    std::function<void(host::sim::SimHost&, const std::string& installFolder)> act;
};

const std::vector<Attack>& Attacks() {
    static const std::vector<Attack> attacks = {
        {"their folder in place of tempnv",
         [](host::sim::SimHost& host, const std::string&) {
             ReplaceFolder(host, "C:\\setup\\tempnv");
         }},
        {"their folder as C:\\tempnv",
         [](host::sim::SimHost& host, const std::string&) { ReplaceFolder(host, "C:\\tempnv"); }},
        {"their folder in place of the installation folder",
         [](host::sim::SimHost& host, const std::string& folder) { ReplaceFolder(host, folder); }},
        {"extracted files rewritten",
         [](host::sim::SimHost& host, const std::string& installFolder) {
             for (const std::string& folder :
                  {std::string("C:\\setup\\tempnv"), std::string("C:\\tempnv"), installFolder}) {
                 for (const auto& [name, data] : TheirFiles()) {
                     host.OtherUserWriteFile(folder + "\\" + name, data);
                 }
             }
         }},
        {"links to their file planted",
         [](host::sim::SimHost& host, const std::string& installFolder) {
             for (const std::string& folder :
                  {std::string("C:\\setup\\tempnv"), std::string("C:\\tempnv"), installFolder}) {
                 for (const auto& [name, data] : TheirFiles()) {
                     host.OtherUserPlantLink(folder + "\\" + name, "C:\\setup\\theirs.exe");
                 }
             }
         }},
        {"another setup at the setup's name",
         [](host::sim::SimHost& host, const std::string&) {
             host.OtherUserRename(kSetupPath, "C:\\setup\\Setup.old");
             host.OtherUserWriteFile(kSetupPath, SetupWithPayload(TheirFiles()));
         }},
        {"a junction on the way to the installation folder",
         [](host::sim::SimHost& host, const std::string& folder) {
             for (const std::string& on : FoldersOnTheWay(folder)) {
                 JunctionToVictim(host, on);
             }
         }},
        {"a junction at a temporary folder",
         [](host::sim::SimHost& host, const std::string&) {
             for (const char* folder : {"C:\\setup\\tempnv", "C:\\tempnv", "C:\\setup"}) {
                 JunctionToVictim(host, folder);
             }
         }},
    };
    return attacks;
}

const host::sim::SimActor kActors[] = {host::sim::SimActor::kOtherUser,
                                       host::sim::SimActor::kAccount};

const char* ActorName(host::sim::SimActor actor) {
    return actor == host::sim::SimActor::kAccount ? "the account's unelevated programs"
                                                  : "another user";
}

// Nothing was written to, or deleted from, the folder a planted junction leads to.
void ExpectVictimUntouched(Machine& run, const std::string& label) {
    EXPECT_EQ(run.host.FolderEntries(kVictim), std::vector<std::string>{"victim.dll"}) << label;
    EXPECT_EQ(run.host.FileData(kVictimFile), "system") << label;
}

// Runs every act in turn: what one of them makes is there for the next.
void ActAll(host::sim::SimHost& host, const std::string& installFolder) {
    for (const Attack& attack : Attacks()) {
        attack.act(host, installFolder);
    }
}

// Another user acts once in every way, each way in a run of its own, while the setup installs
// below the root; then, in every place, each actor takes every act at once.
TEST(FaultInjection, OthersActingBetweenAnyTwoOperationsNeverGetTheirBytesInstalled) {
    Summary summary("Installation, another user or the account acting once");
    int succeeded = 0;
    for (const Place& place : kPlaces) {
        Machine cleanRun;
        OpenToOthersWithFolder(cleanRun, place.folder);
        const std::uint64_t before = cleanRun.host.OperationCount();
        const Outcome cleanOutcome = cleanRun.Press(*cleanRun.Form().btnNext);
        // Only a folder nobody else can change on the way is installed into.
        EXPECT_EQ(cleanOutcome, place.folder == std::string(kOpenInstallFolder) ||
                                        place.folder == std::string(kPlaces[1].folder)
                                    ? Outcome::kSuccess
                                    : Outcome::kFolderErrorPage)
            << place.what;
        const std::uint64_t after = cleanRun.host.OperationCount();
        const std::string setup = *cleanRun.host.FileData(kSetupPath);
        const std::string folder = WithoutTrailingBackslashes(place.folder);

        // Each way alone below the root, by another user; all ways at once everywhere else.
        std::vector<std::pair<std::string, std::function<void(host::sim::SimHost&)>>> acts;
        for (const host::sim::SimActor actor : kActors) {
            const bool alone = &place == kPlaces && actor == host::sim::SimActor::kOtherUser;
            const std::string by = std::string(" by ") + ActorName(actor);
            if (!alone) {
                acts.emplace_back("every act" + by, [actor, &folder](host::sim::SimHost& host) {
                    host.ActAs(actor);
                    ActAll(host, folder);
                });
                continue;
            }
            for (const Attack& attack : Attacks()) {
                acts.emplace_back(attack.what + by, [&attack, &folder](host::sim::SimHost& host) {
                    attack.act(host, folder);
                });
            }
        }
        for (const auto& [what, act] : acts) {
            // Before the first operation of the installation up to after its last one.
            for (std::uint64_t number = before + 1; number <= after + 1; ++number) {
                const std::string label = what + ", installing " + place.what +
                                          ", before operation " + std::to_string(number);
                Machine run;
                OpenToOthersWithFolder(run, place.folder);
                run.host.BeforeOperation(number, [&run, &act = act] { act(run.host); });
                const Outcome outcome = run.Press(*run.Form().btnNext);
                summary.Add(what, outcome);
                EXPECT_NE(outcome, Outcome::kUnexpected) << label;
                ExpectVictimUntouched(run, label);
                succeeded += outcome == Outcome::kSuccess ? 1 : 0;
                // Whatever the outcome, every file in a folder the setup made holds the
                // original bytes (a folder of theirs at the name was refused, and holds only
                // theirs).
                for (const auto& [path, data] : run.Files()) {
                    if (!run.host.ProtectionOf(ContainingFolder(path)).has_value()) {
                        continue;
                    }
                    EXPECT_EQ(data.find(kTheirs), std::string::npos) << label << ": " << path;
                    if (SameTextIgnoreCase(path, folder + "\\Setup.exe")) {
                        EXPECT_EQ(data, setup) << label;
                    }
                }
                if (outcome == Outcome::kSuccess) {
                    for (const auto& [name, data] : ProductFiles()) {
                        EXPECT_EQ(run.host.FileData(folder + "\\" + InstalledName(name)), data)
                            << label << ": " << name;
                    }
                }
            }
        }
    }
    // Most acts are simply refused: the setup goes on to its success page.
    EXPECT_GT(succeeded, summary.Total() / 4);
}

// A removal with the same actors acting between any two of its operations deletes nothing
// outside the installation and its shortcuts, and ends on its last page.
TEST(FaultInjection, OthersActingBetweenAnyTwoOperationsOfARemovalDeleteNothingElse) {
    auto prepare = [](Machine& run) {
        OpenToOthersWithFolder(run, kOpenInstallFolder);
        EXPECT_EQ(run.Press(*run.Form().btnNext), Outcome::kSuccess);
        run.Cancel();
        return run.StartAgain();
    };
    Machine cleanRun;
    auto cleanForm = prepare(cleanRun);
    const std::uint64_t before = cleanRun.host.OperationCount();
    cleanForm->btnNext->Click();
    const std::uint64_t after = cleanRun.host.OperationCount();
    ASSERT_EQ(cleanForm->PageNumber, 7);

    Summary summary("Removal, another user or the account acting once");
    for (const host::sim::SimActor actor : kActors) {
        for (std::uint64_t number = before + 1; number <= after + 1; ++number) {
            const std::string label = std::string("every act by ") + ActorName(actor) +
                                      ", removing, before operation " + std::to_string(number);
            Machine run;
            auto form = prepare(run);
            run.host.BeforeOperation(number, [&run, actor] {
                run.host.ActAs(actor);
                ActAll(run.host, kOpenInstallFolder);
            });
            form->btnNext->Click();
            const bool removed = form->PageNumber == 7 && form->pUnistalling->Visible();
            summary.Add(ActorName(actor), removed ? Outcome::kRemovedPage : Outcome::kUnexpected);
            EXPECT_TRUE(removed) << label;
            ExpectVictimUntouched(run, label);
            EXPECT_EQ(run.host.FileData("C:\\setup\\theirs.exe"), kTheirs) << label;
        }
    }
}

}  // namespace
}  // namespace nv::wizard::testing
