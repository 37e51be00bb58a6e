// ThrottledPump: messages run when the interval has passed on the services' clock, and not
// otherwise; without a clock they run at every check.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/throttled_pump.h"

namespace nv::toolkit {
namespace {

class FakeClockUi final : public UiServices {
public:
    void ProcessMessages() override {
        ++pumps;
        if (throwOnPump) {
            throw std::runtime_error("handler failed");
        }
    }
    std::optional<std::string> BrowseForDirectory(const std::string& /*startFolder*/,
                                                  const FolderMaker& /*makeFolder*/) override {
        return std::nullopt;
    }
    void* MainWindowHandle() override { return nullptr; }
    std::optional<std::uint32_t> Milliseconds() override { return clock; }

    std::optional<std::uint32_t> clock = 1000;
    int pumps = 0;
    bool throwOnPump = false;
};

constexpr std::uint32_t kInterval = ThrottledPump::kIntervalMs;

// A run of checks, the clock moving on by `advance` milliseconds before each.
struct Checks {
    std::uint32_t advance;
    int count;
};

struct PumpCase {
    const char* label;
    std::optional<std::uint32_t> start;  // the clock when the pump is made; none: no clock
    std::vector<Checks> checks;
    int pumps;  // message runs expected after all checks
};

class ThrottledPumpSweep : public ::testing::TestWithParam<PumpCase> {};

TEST_P(ThrottledPumpSweep, RunsMessagesOnlyWhenTheIntervalHasPassed) {
    const PumpCase& c = GetParam();
    FakeClockUi ui;
    ui.clock = c.start;
    ThrottledPump pump(ui);
    for (const Checks& checks : c.checks) {
        for (int i = 0; i < checks.count; ++i) {
            if (ui.clock) {
                *ui.clock += checks.advance;
            }
            pump.Check();
        }
    }
    EXPECT_EQ(ui.pumps, c.pumps);
}

INSTANTIATE_TEST_SUITE_P(
    ThrottledPump, ThrottledPumpSweep,
    ::testing::Values(
        PumpCase{"clock_standing_still", 1000, {{0, 10000}}, 0},
        PumpCase{"just_short_of_the_interval", 1000, {{kInterval - 1, 1}}, 0},
        // Then the interval starts again from that run.
        PumpCase{"interval_reached", 1000, {{kInterval - 1, 1}, {1, 1}, {0, 1}}, 1},
        // A long unit of work gives one run, not three.
        PumpCase{"long_unit", 1000, {{kInterval, 1}, {3 * kInterval, 1}, {0, 1}}, 2},
        PumpCase{"one_millisecond_per_unit", 1000, {{1, 100 * static_cast<int>(kInterval)}}, 100},
        PumpCase{"wrap_around_short", 0xFFFFFFFFU - 2, {{kInterval - 1, 1}}, 0},
        PumpCase{"wrap_around_reached", 0xFFFFFFFFU - 2, {{kInterval - 1, 1}, {1, 1}}, 1},
        PumpCase{"no_clock", std::nullopt, {{0, 5}}, 5}),
    [](const auto& info) { return info.param.label; });

TEST(ThrottledPump, AnErrorFromAHandlerPassesThroughAndTheNextCheckTriesAgain) {
    FakeClockUi ui;
    ThrottledPump pump(ui);
    ui.throwOnPump = true;
    *ui.clock += kInterval;
    EXPECT_THROW(pump.Check(), std::runtime_error);
    ui.throwOnPump = false;
    pump.Check();
    EXPECT_EQ(ui.pumps, 2);
}

}  // namespace
}  // namespace nv::toolkit
