// The installation lets window messages run by time: with a clock, only when time has passed
// since they last ran, and the outcome is the same as with messages after every unit of work.
// Cancel and the close box during it: CloseDuringInstallTest.

#include <string>
#include <vector>

#include "toolkit/throttled_pump.h"
#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

class ThrottledInstallTest : public WizardTest {
protected:
    void ExpectInstalled() {
        EXPECT_EQ(Form().PageNumber, 5);
        EXPECT_EQ(VisiblePanel(), "pSuccess");
        for (const auto& [name, data] : ProductFiles()) {
            const std::string where = name == "Sorvelin.exe" ? "Updates\\Sorvelin.exe" : name;
            EXPECT_EQ(host.FileData(std::string(kDefaultFolder) + where).value_or("<missing>"),
                      data)
                << where;
        }
        EXPECT_EQ(host.FileData(std::string(kDefaultFolder) + "Setup.exe"),
                  host.FileData(kSetupPath));
        EXPECT_EQ(host.RegistryStringAt(kRecordKeyPath, "InstallPath"), kDefaultFolder);
    }
};

TEST_F(ThrottledInstallTest, WhileTheClockStandsStillNoMessagesRun) {
    ui.clock = 5000;
    ui.clockStep = 0;
    Install();
    ExpectInstalled();
    EXPECT_EQ(ui.pumps, 0);
    EXPECT_GT(ui.clockReadings, 40);  // the clock was looked at after every unit of work
}

TEST_F(ThrottledInstallTest, MessagesRunAsTimePassesAndOnlyThen) {
    ui.clock = 5000;
    ui.clockStep = 1;  // each look at the clock finds a millisecond gone
    Install();
    ExpectInstalled();
    EXPECT_GT(ui.pumps, 0);
    // Between two runs the clock was read at least once per millisecond of the interval.
    EXPECT_LE(ui.pumps * static_cast<int>(toolkit::ThrottledPump::kIntervalMs), ui.clockReadings);
}

TEST_F(ThrottledInstallTest, WhenEveryUnitTakesTheIntervalMessagesRunAfterEveryUnit) {
    ui.clock = 5000;
    ui.clockStep = toolkit::ThrottledPump::kIntervalMs;
    Install();
    ExpectInstalled();
    EXPECT_GT(ui.pumps, 40);
    // Every check found the interval passed and let messages run: one reading to start, then
    // per check the reading that found it passed and the one that starts the next interval.
    EXPECT_EQ(ui.clockReadings, 1 + 2 * ui.pumps);
}

// The shell may take tens of milliseconds to save one shortcut, so each shortcut is a unit of
// work of its own: messages may run after each one, the two in the start menu included, and
// between checking its folder (which stays held) and saving it.
TEST_F(ThrottledInstallTest, MessagesMayRunAfterEveryShortcutAndBeforeItIsSaved) {
    const std::vector<std::string> links = {
        R"(C:\users\Public\Desktop\Norvista.lnk)",
        R"(C:\users\user\AppData\Roaming\Microsoft\Internet Explorer\Quick Launch\Norvista.lnk)",
        R"(C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Norvista\Norvista.lnk)",
        R"(C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Norvista\Uninstall.lnk)"};
    host.AddFolder(links[1].substr(0, links[1].rfind('\\')));
    ui.clock = 5000;
    ui.clockStep = toolkit::ThrottledPump::kIntervalMs;
    std::vector<std::size_t> seen;  // at each run of messages: how many of the links exist
    std::vector<bool> heldBeforeSaved(links.size(), false);
    ui.onPump = [&] {
        std::size_t count = 0;
        while (count < links.size() && host.ShortcutAt(links[count])) {
            ++count;
        }
        if (seen.empty() || seen.back() != count) {
            seen.push_back(count);
        }
        if (count < links.size() && host.IsHeld(links[count].substr(0, links[count].rfind('\\')))) {
            heldBeforeSaved[count] = true;
        }
    };
    Install();
    ExpectInstalled();
    EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    // Each shortcut's folder is held before its save, except the account's own quick-launch
    // folder, which no check could vouch for (the shortcut file itself is checked instead).
    EXPECT_EQ(heldBeforeSaved, (std::vector<bool>{true, false, true, true}));
}

}  // namespace
}  // namespace nv::wizard::testing
