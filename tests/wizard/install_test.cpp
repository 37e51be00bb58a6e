// The installation on page 4: every outcome, as the window and the simulated machine show it.

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>

#include "base/debug_trace.h"
#include "base/error.h"
#include "host/sim/sim_faults.h"
#include "wizard/error_texts.h"
#include "wizard/installation_record.h"
#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

using host::sim::SimOp;

constexpr char kQuickLaunchLink[] =
    "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\Norvista.lnk";
// The entry's values in the order they are written.
constexpr std::array<const char*, 8> kEntryValues = {
    "DisplayName",     "Publisher",     "InstallLocation", "DisplayIcon",
    "UninstallString", "EstimatedSize", "NoModify",        "NoRepair"};

class InstallTest : public WizardTest {
protected:
    std::optional<std::string> Value(const char* name) {
        return host.RegistryStringAt(kRecordKeyPath, name);
    }
    std::string Installed(const std::string& name) {
        return host.FileData(std::string(kDefaultFolder) + name).value_or("<missing>");
    }
    // Installs, which must end on the success page.
    void InstallSuccessfully(int language = 0) {
        Install(language);
        ExpectSuccessPage();
    }
    void ExpectSuccessPage() {
        ExpectPage(5, 4, "pSuccess");
        EXPECT_FALSE(Form().btnNext->Enabled());
        EXPECT_FALSE(Form().btnPrev->Enabled());
        EXPECT_EQ(Form().btnCancel->Caption(), Form().lbFinish->Caption());
    }
    // Presses Next, which must raise an error, and gives its text as the error box words it.
    std::string ErrorOnNext() {
        try {
            Form().btnNext->Click();
        } catch (const nv::Error& error) {
            return ErrorText(error);
        }
        ADD_FAILURE() << "expected an error";
        return "";
    }
    // The language the installed norvis.ini names.
    std::string Language() {
        return host.ReadProfileText(std::string(kDefaultFolder) + "norvis.ini", "GENERAL",
                                    "LANGUAGE");
    }
    // The missing or damaged package's message in place of the progress.
    void ExpectPackageMessage() {
        ExpectStuckOnPageFour("pInstall");
        EXPECT_TRUE(Form().lbError->Visible());
        EXPECT_FALSE(Form().lbInstalling->Visible());
        EXPECT_FALSE(Form().pbInstall->Visible());
    }
    void ExpectStuckOnPageFour(const char* panel) {
        ExpectPage(4, 3, panel);
        EXPECT_FALSE(Form().btnNext->Enabled());
        EXPECT_FALSE(Form().btnPrev->Enabled());
        EXPECT_FALSE(Value("InstallPath").has_value());
    }
};

// --- Success ------------------------------------------------------------------------------

TEST_F(InstallTest, ADefaultInstallationPlacesFilesRecordLanguageAndShortcuts) {
    InstallSuccessfully();
    EXPECT_EQ(Form().btnCancel->Caption(), "&Finish");
    EXPECT_EQ(Form().edInstallpath->Text(), kDefaultFolder);
    for (const auto& [name, data] : ProductFiles()) {
        EXPECT_EQ(Installed(InstalledName(name)), data) << name;
    }
    EXPECT_EQ(Installed("Setup.exe"), *host.FileData(kSetupPath));
    EXPECT_EQ(Language(), "English");

    std::vector<std::string> written;
    for (const auto& op : host.OperationLog()) {
        if (op.op == SimOp::kSetValue) {
            written.push_back(op.target);
        }
    }
    // The record, then the entry in the list of installed programs.
    EXPECT_EQ(written,
              (std::vector<std::string>{"installpath", "desktoplink", "quicklaunchlink",
                                        "startmenulink", "setuplink", "displayname", "publisher",
                                        "installlocation", "displayicon", "uninstallstring",
                                        "estimatedsize", "nomodify", "norepair"}));
    EXPECT_EQ(Value("InstallPath"), kDefaultFolder);
    EXPECT_EQ(Value("DesktopLink"), kCommonDesktopLink);
    EXPECT_EQ(Value("QuicklaunchLink"), kQuickLaunchLink);
    EXPECT_EQ(Value("StartmenuLink"), std::string(kStartMenu) + "\\Norvista.lnk");
    EXPECT_EQ(Value("SetupLink"), std::string(kStartMenu) + "\\Uninstall.lnk");

    auto desktop = host.ShortcutAt(kCommonDesktopLink);
    ASSERT_TRUE(desktop.has_value());
    EXPECT_EQ(desktop->path, std::string(kDefaultFolder) + "Norvis.exe");
    EXPECT_EQ(desktop->workingDirectory, kDefaultFolder);
    EXPECT_EQ(desktop->iconPath, desktop->path);
    auto uninstall = host.ShortcutAt(std::string(kStartMenu) + "\\Uninstall.lnk");
    ASSERT_TRUE(uninstall.has_value());
    EXPECT_EQ(uninstall->path, std::string(kDefaultFolder) + "Setup.exe");

    EXPECT_FALSE(host.FolderExists("C:\\setup\\tempnv"));
    EXPECT_FALSE(host.FolderExists("C:\\tempnv"));
    EXPECT_GE(Form().pbInstall->Position(), 1);
    EXPECT_GT(ui.pumps, 0);
}

TEST_F(InstallTest, GermanIsStoredAsDeutsch) {
    InstallSuccessfully(1);
    EXPECT_EQ(Form().btnCancel->Caption(), "&Beenden");
    EXPECT_EQ(Language(), "Deutsch");
}

TEST_F(InstallTest, AnExistingInstallationIsReplacedAndKeepsItsLanguage) {
    host.AddFile(std::string(kDefaultFolder) + "Norvis.exe", "old");
    host.AddFile(std::string(kDefaultFolder) + "norvis.ini", "[GENERAL]\r\nLANGUAGE=Deutsch\r\n");
    InstallSuccessfully(0);
    EXPECT_EQ(Installed("Norvis.exe"), ProductFiles()[1].second);
    EXPECT_EQ(Language(), "Deutsch");
}

TEST_F(InstallTest, AFolderWithoutTrailingBackslashGetsOneInTheFieldAndTheRecord) {
    WalkToFolderPage();
    Form().edInstallpath->SetText("D:\\Tools\\Norvista");
    host.AddDrive('D');
    Next();
    ExpectSuccessPage();
    EXPECT_EQ(Form().edInstallpath->Text(), "D:\\Tools\\Norvista\\");
    EXPECT_EQ(Value("InstallPath"), "D:\\Tools\\Norvista\\");
}

TEST_F(InstallTest, ARelativeFolderIsMadeAbsoluteAgainstTheCurrentFolder) {
    WalkToFolderPage();
    Form().edInstallpath->SetText("Apps\\Norvista");
    Next();
    ExpectSuccessPage();
    EXPECT_EQ(Form().edInstallpath->Text(), "C:\\setup\\Apps\\Norvista\\");
    EXPECT_EQ(Value("InstallPath"), "C:\\setup\\Apps\\Norvista\\");
    EXPECT_TRUE(host.FileExists("C:\\setup\\Apps\\Norvista\\Norvis.exe"));
}

TEST_F(InstallTest, NoShortcutsWantedMeansNoLookupsAndFourEmptyValues) {
    WalkToFolderPage();
    Form().cbDesktop->SetChecked(false);
    Form().cbQuick->SetChecked(false);
    Form().cbStartmenu->SetChecked(false);
    const auto lookupsBefore = host.OperationCount(SimOp::kSpecialFolder);
    Next();
    ExpectSuccessPage();
    EXPECT_EQ(host.OperationCount(SimOp::kSpecialFolder), lookupsBefore);
    EXPECT_TRUE(host.ShellLinks().empty());
    for (const char* name : {"DesktopLink", "QuicklaunchLink", "StartmenuLink", "SetupLink"}) {
        EXPECT_EQ(Value(name), "") << name;
    }
}

TEST_F(InstallTest, WithoutACommonDesktopTheUsersDesktopIsUsed) {
    host.SetSpecialFolder(0x19, "");
    Install();
    EXPECT_EQ(Value("DesktopLink"), "C:\\users\\user\\Desktop\\Norvista.lnk");
    EXPECT_TRUE(host.ShortcutAt("C:\\users\\user\\Desktop\\Norvista.lnk").has_value());
}

TEST_F(InstallTest, AMissingQuickLaunchFolderStillRecordsThePath) {
    InstallSuccessfully();
    EXPECT_EQ(Value("QuicklaunchLink"), kQuickLaunchLink);
    EXPECT_FALSE(host.FileExists(kQuickLaunchLink));
}

TEST_F(InstallTest, AnExistingStartMenuFolderStillGetsBothShortcuts) {
    host.AddFolder(kStartMenu);
    host.AddFile(std::string(kStartMenu) + "\\Other.lnk", "x");
    static std::string traces;
    SetDebugTraceSink([](const char* text) { traces += std::string(text) + '\n'; });
    Install();
    SetDebugTraceSink(nullptr);
    EXPECT_NE(
        traces.find("Setup: ignored failure: create-folder-failed: " + std::string(kStartMenu)),
        std::string::npos)
        << traces;
    ExpectSuccessPage();
    EXPECT_TRUE(host.ShortcutAt(std::string(kStartMenu) + "\\Norvista.lnk").has_value());
    EXPECT_TRUE(host.ShortcutAt(std::string(kStartMenu) + "\\Uninstall.lnk").has_value());
}

TEST_F(InstallTest, AKeyThatCannotBeCreatedStillEndsOnTheSuccessPage) {
    host.SetRegistryWritable(false);
    InstallSuccessfully();
    EXPECT_FALSE(Value("InstallPath").has_value());
    EXPECT_FALSE(host.RegistryKeyExists(kEntryKey));
}

// --- The entry in Windows' list of installed programs --------------------------------------

TEST_F(InstallTest, TheEntryNamesTheProductItsFolderAndTheInstalledSetupAsItsRemoval) {
    WalkToFolderPage();
    Form().edInstallpath->SetText("C:\\My Apps\\Norvista");
    Next();
    ExpectSuccessPage();
    const std::string folder = "C:\\My Apps\\Norvista\\";
    const auto text = [&](const char* name) { return host.RegistryStringAt(kEntryKey, name); };
    const auto type = [&](const char* name) {
        return host.RegistryValueAt(kEntryKey, name).value_or(host::RegistryValue{}).type;
    };
    EXPECT_EQ(text("DisplayName"), "Norvista");
    EXPECT_EQ(text("Publisher"), "Halvorn");
    EXPECT_EQ(text("InstallLocation"), folder);
    EXPECT_EQ(text("InstallLocation"), Value("InstallPath"));
    EXPECT_EQ(text("DisplayIcon"), folder + "Norvis.exe");
    EXPECT_EQ(text("UninstallString"), "\"" + folder + "Setup.exe\"");
    for (const char* name :
         {"DisplayName", "Publisher", "InstallLocation", "DisplayIcon", "UninstallString"}) {
        EXPECT_EQ(type(name), host::kRegSz) << name;
    }
    EXPECT_EQ(host.RegistryValueNames(kEntryKey).size(), kEntryValues.size());

    // The setup copy and the eight product files, as they now lie in the folder.
    std::uint64_t bytes = host.FileData(folder + "Setup.exe")->size();
    for (const auto& [name, data] : ProductFiles()) {
        bytes += data.size();
    }
    ASSERT_NE(bytes % 1024, 0U) << "the contents should need rounding up";
    EXPECT_EQ(host.RegistryValueAt(kEntryKey, "EstimatedSize"),
              host::DwordValue(static_cast<std::uint32_t>(bytes / 1024 + 1)));
    EXPECT_EQ(host.RegistryValueAt(kEntryKey, "NoModify"), host::DwordValue(1));
    EXPECT_EQ(host.RegistryValueAt(kEntryKey, "NoRepair"), host::DwordValue(1));
}

TEST_F(InstallTest, AnEntryLeftFromAnInstallationElsewhereNowNamesTheNewFolder) {
    host.SetRegistryString(kEntryKey, "InstallLocation", "D:\\Old\\");
    host.SetRegistryString(kEntryKey, "UninstallString", "\"D:\\Old\\Setup.exe\"");
    host.SetRegistryValue(kEntryKey, "EstimatedSize", host::DwordValue(7));
    InstallSuccessfully();
    EXPECT_EQ(host.RegistryStringAt(kEntryKey, "InstallLocation"), kDefaultFolder);
    EXPECT_EQ(host.RegistryStringAt(kEntryKey, "UninstallString"),
              "\"" + std::string(kDefaultFolder) + "Setup.exe\"");
    EXPECT_NE(host.RegistryValueAt(kEntryKey, "EstimatedSize"), host::DwordValue(7));
    EXPECT_EQ(host.RegistryValueNames(kEntryKey).size(), kEntryValues.size());
}

// Each step of the entry failing in turn: the installation still succeeds with its record,
// and no half entry stays in the list.
struct EntryFault {
    SimOp op;
    const char* target;
};

void PrintTo(const EntryFault& fault, std::ostream* out) {
    *out << host::sim::SimOpName(fault.op) << ' ' << fault.target;
}

class EntryFaultTest : public InstallTest, public ::testing::WithParamInterface<EntryFault> {};

TEST_P(EntryFaultTest, IsIgnoredAndLeavesNoHalfEntry) {
    host.Fail(GetParam().op, GetParam().target);
    InstallSuccessfully();
    EXPECT_EQ(Value("InstallPath"), kDefaultFolder);
    EXPECT_EQ(host.RegistryValueNames(kRecordKeyPath).size(), 5U);
    EXPECT_FALSE(host.RegistryKeyExists(kEntryKey));
}

std::vector<EntryFault> EntryFaults() {
    std::vector<EntryFault> faults = {{SimOp::kCreateKey, kEntryKey}};
    for (const char* name : kEntryValues) {
        faults.push_back({SimOp::kSetValue, name});
    }
    return faults;
}

INSTANTIATE_TEST_SUITE_P(EachStep, EntryFaultTest, ::testing::ValuesIn(EntryFaults()),
                         [](const ::testing::TestParamInfo<EntryFault>& info) {
                             return info.param.op == SimOp::kCreateKey
                                        ? std::string("CreateKey")
                                        : std::string(info.param.target);
                         });

TEST_F(InstallTest, AHalfEntryThatCannotBeTakenAwayIsIgnoredToo) {
    host.Fail(SimOp::kSetValue, "UninstallString");
    host.Fail(SimOp::kDeleteKey, kEntryKey);
    InstallSuccessfully();
    EXPECT_EQ(host.RegistryStringAt(kEntryKey, "DisplayName"), "Norvista");
    EXPECT_FALSE(host.RegistryValueAt(kEntryKey, "UninstallString").has_value());
}

// The removal the entry starts rests on the record: without one the setup would offer to
// install, so there is no entry either.
TEST_F(InstallTest, NoRecordMeansNoEntry) {
    host.Fail(SimOp::kCreateKey, kRecordKeyPath);
    InstallSuccessfully();
    EXPECT_FALSE(host.RegistryKeyExists(kRecordKeyPath));
    EXPECT_FALSE(host.RegistryKeyExists(kEntryKey));
}

TEST(UninstallEntrySize, KiBRoundUpAndStopAtTheLargestDword) {
    const std::vector<std::pair<std::uint64_t, std::uint32_t>> cases = {
        {0, 0},
        {1, 1},
        {1024, 1},
        {1025, 2},
        {10 * 1024 * 1024, 10 * 1024},
        {0xFFFFFFFFULL * 1024, 0xFFFFFFFFU},
        {0xFFFFFFFFULL * 1024 + 1, 0xFFFFFFFFU},
        {~0ULL, 0xFFFFFFFFU},
    };
    for (const auto& [bytes, kib] : cases) {
        EXPECT_EQ(SizeInKiB(bytes), kib) << bytes;
    }
}

// --- Finish -------------------------------------------------------------------------------

TEST_F(InstallTest, FinishStartsTheProductInTheInstallationFolder) {
    Install();
    Cancel();
    EXPECT_TRUE(Form().Closed());
    ASSERT_EQ(host.ShellStarts().size(), 1U);
    const auto& start = host.ShellStarts()[0];
    EXPECT_EQ(start.verb, "open");
    EXPECT_EQ(start.file, std::string(kDefaultFolder) + "Norvis.exe");
    EXPECT_EQ(start.folder, kDefaultFolder);
    EXPECT_EQ(start.showCommand, 5);
    EXPECT_EQ(start.owner, ui.MainWindowHandle());
}

TEST_F(InstallTest, FinishWithTheStartBoxClearedOnlyCloses) {
    Install();
    Form().cbStartNV->SetChecked(false);
    Cancel();
    EXPECT_TRUE(Form().Closed());
    EXPECT_TRUE(host.ShellStarts().empty());
}

TEST_F(InstallTest, TheCloseBoxOnTheSuccessPageStartsNothing) {
    Install();
    Form().Close();
    EXPECT_TRUE(Form().Closed());
    EXPECT_TRUE(host.ShellStarts().empty());
}

// Cancel, or the title bar's close box, pressed while the installation lets messages run -
// after every unit of work, or by time on a clock: the installation completes, nothing is
// started, and the window is closed once it returns.
class CloseDuringInstallTest : public InstallTest,
                               public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(CloseDuringInstallTest, EndsOnlyAfterTheInstallationAndStartsNothing) {
    const auto [byCancelButton, messagesByTime] = GetParam();
    if (messagesByTime) {
        ui.clock = 5000;
        ui.clockStep = 1;
    }
    WalkToFolderPage();
    bool pressed = false;
    ui.onPump = [&] {
        if (!pressed) {
            pressed = true;
            EXPECT_EQ(Form().PageNumber, 4);
            if (byCancelButton) {
                Cancel();
            } else {
                Form().Close();
            }
            EXPECT_TRUE(Form().Closed());
        }
    };
    Next();
    EXPECT_TRUE(pressed);
    ExpectSuccessPage();
    EXPECT_EQ(Value("InstallPath"), kDefaultFolder);
    EXPECT_EQ(host.FileData(std::string(kDefaultFolder) + "Setup.exe"), host.FileData(kSetupPath));
    EXPECT_TRUE(host.ShellStarts().empty());
}

INSTANTIATE_TEST_SUITE_P(CancelOrCloseBox, CloseDuringInstallTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<bool, bool>>& info) {
                             return std::string(std::get<0>(info.param) ? "CancelButton"
                                                                        : "CloseBox") +
                                    (std::get<1>(info.param) ? "_MessagesByTime"
                                                             : "_MessagesEveryUnit");
                         });

// --- Extraction failures ------------------------------------------------------------------

TEST_F(InstallTest, ASetupWithoutPayloadShowsTheMissingPackageMessage) {
    host.SetExecutable(kSetupPath, SetupWithPayload({}).substr(0, 1024));
    Install();
    ExpectPackageMessage();
    EXPECT_EQ(Form().lbError->Caption(), "No installationpackage found. Setup.exe is damaged.");
    EXPECT_FALSE(host.FolderExists("C:\\setup\\tempnv"));
}

TEST_F(InstallTest, ASetupThatCannotReadItselfReportsItsFileByKind) {
    host.AddFile("C:\\setup\\blocker", "");
    host.SetExecutable("C:\\setup\\blocker\\Setup.exe", "");
    WalkToFolderPage();
    EXPECT_EQ(ErrorOnNext(),
              "Datei kann nicht ge\xF6"
              "ffnet werden: C:\\setup\\blocker\\Setup.exe");
    ExpectStuckOnPageFour("pInstall");
}

TEST_F(InstallTest, ADamagedPackageShowsTheMessageAndLeavesTheExtractedFiles) {
    host.SetExecutable(kSetupPath, SetupWithPayload(ProductFiles(), /*wrongChecksum=*/true));
    Install();
    ExpectPackageMessage();
    EXPECT_TRUE(host.FileExists("C:\\setup\\tempnv\\Norvis.exe"));
    EXPECT_TRUE(host.FileExists("C:\\setup\\tempnv\\package.dlz"));
    EXPECT_TRUE(host.FileExists("C:\\setup\\tempnv\\package.dld"));
}

TEST_F(InstallTest, TempnvThatCannotBeCreatedFallsBackToDriveC) {
    host.Fail(SimOp::kCreateFolder, "C:\\setup\\tempnv");
    InstallSuccessfully();
    EXPECT_GT(host.OperationCount(SimOp::kCreateFolder), 0U);
    EXPECT_TRUE(CreatedFileIn("c:\\tempnv\\"));
}

TEST_F(InstallTest, NoTemporaryFolderAtAllShowsItsPage) {
    host.Fail(SimOp::kCreateFolder, "C:\\setup\\tempnv");
    host.Fail(SimOp::kCreateFolder, "C:\\tempnv");
    Install();
    ExpectStuckOnPageFour("pTempdir");
}

TEST_F(InstallTest, AnExistingUnwritableTempnvIsReportedWithoutFallBack) {
    host.AddFolder("C:\\setup\\tempnv");
    host.SetReadOnlyFolder("C:\\setup\\tempnv");
    WalkToFolderPage();
    EXPECT_THROW(Form().btnNext->Click(), nv::Error);
    EXPECT_EQ(Form().PageNumber, 4);
    EXPECT_FALSE(host.FolderExists("C:\\tempnv"));
}

// --- Installation failures ----------------------------------------------------------------

TEST_F(InstallTest, AFolderThatCannotBeCreatedShowsTheErrorPageAndBackRetriesFromExtraction) {
    WalkToFolderPage();
    Form().edInstallpath->SetText("Q:\\Nowhere");
    Next();
    EXPECT_EQ(Form().PageNumber, 4);
    EXPECT_EQ(VisiblePanel(), "pError");
    EXPECT_TRUE(Form().btnPrev->Enabled());
    EXPECT_FALSE(Form().btnNext->Enabled());

    Prev();
    ExpectPage(3, 2, "pInstallpath");
    EXPECT_TRUE(Form().btnNext->Enabled());

    const int pumpsBefore = ui.pumps;
    Form().edInstallpath->SetText("C:\\Good");
    Next();
    ExpectSuccessPage();
    EXPECT_GT(ui.pumps, pumpsBefore);  // the payload was copied again
    EXPECT_TRUE(host.FileExists("C:\\Good\\Norvis.exe"));
}

// An existing folder others could change, or one below such a folder, is refused like one that
// cannot be made: the elevated setup would otherwise place programs that another user, or the
// account's unelevated programs, may replace.
constexpr char kShared[] = "C:\\Shared\\Norvista";

struct UnsafePlace {
    const char* folder;  // the installation folder or a folder above it
    host::sim::SimFolderSecurity security;
};

class UnsafeInstallFolderTest : public InstallTest,
                                public ::testing::WithParamInterface<UnsafePlace> {};

TEST_P(UnsafeInstallFolderTest, IsRefusedAndBackLeadsToAnother) {
    host.AddFolder(kShared);
    host.SetFolderSecurity(GetParam().folder, GetParam().security);
    WalkToFolderPage();
    Form().edInstallpath->SetText(kShared);
    Next();
    EXPECT_EQ(VisiblePanel(), "pError");
    EXPECT_TRUE(Form().btnPrev->Enabled());
    EXPECT_TRUE(host.FolderEntries(kShared).empty());
    Prev();
    Form().edInstallpath->SetText("C:\\Safe");
    Next();
    ExpectSuccessPage();
    EXPECT_TRUE(host.FileExists("C:\\Safe\\Norvis.exe"));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UnsafeInstallFolderTest,
    ::testing::Values(
        UnsafePlace{kShared, {host::sim::SimOwner::kOtherUser, false, false}},
        UnsafePlace{kShared, {host::sim::SimOwner::kAdministrators, true, false}},
        UnsafePlace{kShared, {host::sim::SimOwner::kAdministrators, false, true}},
        UnsafePlace{kShared, {host::sim::SimOwner::kCurrentUser, false, false}},
        UnsafePlace{kShared, {host::sim::SimOwner::kAdministrators, false, false, true}},
        UnsafePlace{kShared, {host::sim::SimOwner::kAdministrators, false, false, false, true}},
        UnsafePlace{"C:\\Shared", {host::sim::SimOwner::kCurrentUser, false, false}},
        UnsafePlace{"C:\\Shared", {host::sim::SimOwner::kOtherUser, false, false}},
        UnsafePlace{"C:\\Shared", {host::sim::SimOwner::kAdministrators, true, false}},
        UnsafePlace{"C:\\Shared", {host::sim::SimOwner::kAdministrators, false, true}}));

// A drive's root is never the installation folder: what is made there inherits the right of
// all users to change it. "C:\\" is checked as the root, not as the drive's current folder.
TEST_F(InstallTest, ADriveRootIsRefused) {
    host.SetFolderSecurity("C:\\",
                           {host::sim::SimOwner::kAdministrators, false, false, true, true});
    WalkToFolderPage();
    Form().edInstallpath->SetText("C:\\");
    Next();
    EXPECT_EQ(VisiblePanel(), "pError");
    EXPECT_FALSE(host.FileExists("C:\\Norvis.exe"));
    EXPECT_FALSE(host.FileExists("C:\\setup\\Norvis.exe"));
}

// A folder the setup makes, and every parent it makes on the way, gets the protection of a
// program-files folder, also below a root others may add folders to; it is held while the
// setup writes into it.
TEST_F(InstallTest, MadeFoldersAreProtectedAndHeldWhileTheSetupWritesIntoThem) {
    host.SetFolderSecurity("C:\\",
                           {host::sim::SimOwner::kAdministrators, false, false, true, true});
    WalkToFolderPage();
    Form().edInstallpath->SetText("C:\\Apps\\Halvorn\\Norvista");
    int heldPumps = 0;
    ui.onPump = [&] {
        if (host.FileExists("C:\\Apps\\Halvorn\\Norvista\\Setup.exe")) {
            for (const char* held : {"C:\\Apps", "C:\\Apps\\Halvorn", "C:\\Apps\\Halvorn\\Norvista",
                                     "C:\\Apps\\Halvorn\\Norvista\\Updates"}) {
                EXPECT_TRUE(host.IsHeld(held)) << held;
            }
            EXPECT_FALSE(host.OtherUserRename("C:\\Apps", "C:\\Moved"));
            ++heldPumps;
        }
    };
    Next();
    ExpectSuccessPage();
    EXPECT_GT(heldPumps, 0);
    for (const char* folder : {"C:\\Apps", "C:\\Apps\\Halvorn", "C:\\Apps\\Halvorn\\Norvista"}) {
        EXPECT_EQ(host.ProtectionOf(folder), host::FolderProtection::kProgram) << folder;
        EXPECT_FALSE(host.FolderSecurity(folder)->othersMayWrite) << folder;
        EXPECT_FALSE(host.IsHeld(folder)) << folder;  // every hold ends with the run
    }
}

// The quick-launch folder is the account's own: the shortcut goes there even so, but never
// through a junction its unelevated programs put on the way.
class QuickLaunchTest : public InstallTest, public ::testing::WithParamInterface<bool> {};

TEST_P(QuickLaunchTest, GoesIntoTheAccountsFolderButNotThroughAJunction) {
    const bool junction = GetParam();
    const std::string folder =
        "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch";
    host.AddFolder(folder);
    host.SetFolderSecurity(folder, {host::sim::SimOwner::kCurrentUser, false, false});
    host.AddFolder("C:\\Windows\\System32");
    if (junction) {
        host.ActAs(host::sim::SimActor::kAccount);
        ASSERT_TRUE(host.OtherUserMakeJunction(folder, "C:\\Windows\\System32"));
    }
    InstallSuccessfully();
    EXPECT_EQ(host.FileExists(folder + "\\Norvista.lnk"), !junction);
    EXPECT_TRUE(host.FolderEntries("C:\\Windows\\System32").empty());
    EXPECT_EQ(Value("QuicklaunchLink"), folder + "\\Norvista.lnk");
}

INSTANTIATE_TEST_SUITE_P(Folders, QuickLaunchTest, ::testing::Bool());

// A shortcut folder others may write to gets no shortcut; its value still names the path.
TEST_F(InstallTest, AShortcutFolderOthersMayWriteToGetsNoShortcut) {
    host.SetFolderSecurity("C:\\users\\Public\\Desktop",
                           {host::sim::SimOwner::kAdministrators, true, false});
    InstallSuccessfully();
    EXPECT_FALSE(host.FileExists(kCommonDesktopLink));
    EXPECT_EQ(Value("DesktopLink"), kCommonDesktopLink);
    EXPECT_TRUE(host.FileExists(std::string(kStartMenu) + "\\Norvista.lnk"));
}

TEST_F(InstallTest, AnEmptyFolderIsReportedAsAnError) {
    WalkToFolderPage();
    Form().edInstallpath->SetText("");
    EXPECT_EQ(ErrorOnNext(), "Verzeichnis kann nicht erstellt werden");
    EXPECT_EQ(Form().PageNumber, 4);
}

TEST_F(InstallTest, AProductFileInUseShowsTheCopyErrorAndLaterFilesAreNotReplaced) {
    host.AddFile(std::string(kDefaultFolder) + "Norvis.hlp", "old help");
    host.SetFileInUse(std::string(kDefaultFolder) + "Norvis.hlp", true);
    host.AddFile(std::string(kDefaultFolder) + "NV.OBJ", "old obj");
    Install();
    ExpectStuckOnPageFour("pCopyError");
    EXPECT_EQ(Installed("Norvis.exe"), ProductFiles()[1].second);
    EXPECT_EQ(Installed("Norvis.hlp"), "old help");
    EXPECT_FALSE(host.FileExists(std::string(kDefaultFolder) + "NV.OBJ"));
    EXPECT_FALSE(host.FileExists(std::string(kDefaultFolder) + "Updates\\Sorvelin.exe"));
    EXPECT_TRUE(host.FileExists("C:\\setup\\tempnv\\NV.OBJ"));
    EXPECT_FALSE(host.FileExists(std::string(kDefaultFolder) + "norvis.ini"));
}

TEST_F(InstallTest, AnUpdatesFolderThatCannotBeCreatedShowsTheCopyError) {
    host.Fail(SimOp::kCreateFolder, std::string(kDefaultFolder) + "Updates");
    Install();
    ExpectStuckOnPageFour("pCopyError");
}

TEST_F(InstallTest, AnUnwritableValueIsReportedByName) {
    host.Fail(SimOp::kSetValue, "InstallPath");
    WalkToFolderPage();
    EXPECT_EQ(ErrorOnNext(), "Fehler beim Setzen der Daten f\xFCr 'InstallPath'");
    EXPECT_EQ(Form().PageNumber, 4);
    EXPECT_NE(VisiblePanel(), "pSuccess");
}

TEST_F(InstallTest, AnUnwritableIniFileIsReportedAndNoShortcutsOrValuesFollow) {
    const std::string ini = std::string(kDefaultFolder) + "norvis.ini";
    host.Fail(SimOp::kWriteProfile, ini);
    WalkToFolderPage();
    EXPECT_EQ(ErrorOnNext(), "In " + ini + " kann nicht geschrieben werden");
    EXPECT_TRUE(host.ShellLinks().empty());
    EXPECT_FALSE(Value("InstallPath").has_value());
}

}  // namespace
}  // namespace nv::wizard::testing
