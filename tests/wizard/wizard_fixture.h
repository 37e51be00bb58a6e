#pragma once
// The wizard on a headless form against SimHost: a fresh simulated machine, a scripted user
// interface, and helpers that press buttons the way the user would (only enabled ones).

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/sim/sim_host.h"
#include "toolkit/ui_services.h"
#include "wizard/installer_form.h"

namespace nv::wizard::testing {

// The user-interface services a test scripts: what the folder chooser answers, and what
// happens while the installation lets window messages run.
class ScriptedUi final : public toolkit::UiServices {
public:
    void ProcessMessages() override {
        ++pumps;
        if (onPump) {
            onPump();
        }
    }
    std::optional<std::string> BrowseForDirectory(const std::string& startFolder,
                                                  const FolderMaker& makeFolder) override {
        browsedFrom.push_back(startFolder);
        if (chooserAnswer && chooserMakesIt) {  // typed as missing, and "Ja" pressed
            chooserMade = makeFolder(*chooserAnswer);
        }
        return chooserAnswer;
    }
    void* MainWindowHandle() override { return &pumps; }
    std::optional<std::uint32_t> Milliseconds() override {
        if (!clock) {
            return std::nullopt;
        }
        ++clockReadings;
        const std::uint32_t now = *clock;
        *clock += clockStep;
        return now;
    }

    int pumps = 0;
    // A fake clock for the throttled pump: none by default, so that messages run after every
    // unit of work; when set, it moves on by clockStep milliseconds at each reading.
    std::optional<std::uint32_t> clock;
    std::uint32_t clockStep = 0;
    int clockReadings = 0;
    std::function<void()> onPump;
    std::optional<std::string> chooserAnswer;
    bool chooserMakesIt = false;  // the answer is a folder the user had the chooser make
    bool chooserMade = false;     // what making it gave
    std::vector<std::string> browsedFrom;
};

// The product's eight files, in the order the packer writes them, with small contents.
std::vector<std::pair<std::string, std::string>> ProductFiles();
// Where a product file lies below the installation folder.
inline std::string InstalledName(const std::string& name) {
    return name == "Sorvelin.exe" ? "Updates\\" + name : name;
}

// Setup.exe bytes: a minimal program image with the payload of `files` appended; with
// `wrongChecksum` the stored checksum is off by one.
std::string SetupWithPayload(const std::vector<std::pair<std::string, std::string>>& files,
                             bool wrongChecksum = false);

inline constexpr char kSetupPath[] = "C:\\setup\\Setup.exe";
inline constexpr char kDefaultFolder[] = "C:\\Program Files\\Norvista\\";
inline constexpr char kRecordKeyPath[] = "Software\\Halvorn\\Norvista";
inline constexpr char kEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvista";
inline constexpr char kStartMenu[] =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Norvista";
inline constexpr char kCommonDesktopLink[] = "C:\\users\\Public\\Desktop\\Norvista.lnk";

class WizardTest : public ::testing::Test {
protected:
    WizardTest();

    // Builds the window and runs its creation handler (call after configuring the host).
    TfInstaller& Form();

    // The user's actions; each fails the test when the control is hidden or disabled.
    void ChooseLanguage(int item);
    void ChooseLicence(int item);
    void Next();
    void Prev();
    void Cancel();

    // Walks from page 1 to the folder page in English with the licence agreed.
    void WalkToFolderPage(int language = 0);
    // ... and runs the installation.
    void Install(int language = 0);

    // A new setup run on the same machine, past page 1 in English.
    std::unique_ptr<TfInstaller> StartAgain();

    // The one page panel that is visible; fails the test when not exactly one is.
    std::string VisiblePanel();
    // Whether a file was created below `folder`, case-folded as the operation log names it.
    bool CreatedFileIn(const std::string& folder);
    // The bitmap iInfoPicture shows, as the index of the step picture (-1: none of them).
    int ShownStep();
    // Expects the wizard on page `number`, showing step picture `step` and panel `panel`.
    void ExpectPage(int number, int step, const std::string& panel);

    host::sim::SimHost host;
    ScriptedUi ui;
    WizardPictures pictures;

private:
    std::unique_ptr<TfInstaller> form_;
};

}  // namespace nv::wizard::testing
