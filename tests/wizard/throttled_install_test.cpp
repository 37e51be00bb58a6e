// The installation lets window messages run by time: with a clock, only when time has passed
// since they last ran, and the outcome is the same as with messages after every unit of work.
// Cancel and the close box during it: CloseDuringInstallTest.

#include <string>

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

}  // namespace
}  // namespace nv::wizard::testing
