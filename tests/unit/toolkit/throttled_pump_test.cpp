// ThrottledPump: messages run when the interval has passed on the services' clock, and not
// otherwise; without a clock they run at every check.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>

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
    std::optional<std::string> BrowseForDirectory(const std::string& /*startFolder*/) override {
        return std::nullopt;
    }
    void* MainWindowHandle() override { return nullptr; }
    std::optional<std::uint32_t> Milliseconds() override { return clock; }

    std::optional<std::uint32_t> clock = 1000;
    int pumps = 0;
    bool throwOnPump = false;
};

constexpr std::uint32_t kInterval = ThrottledPump::kIntervalMs;

TEST(ThrottledPump, TheIntervalLiesBetweenFifteenAndThirtyMilliseconds) {
    EXPECT_GE(kInterval, 15U);
    EXPECT_LE(kInterval, 30U);
}

TEST(ThrottledPump, NoMessagesRunWhileTheClockStandsStill) {
    FakeClockUi ui;
    ThrottledPump pump(ui);
    for (int i = 0; i < 10000; ++i) {
        pump.Check();
    }
    EXPECT_EQ(ui.pumps, 0);
}

TEST(ThrottledPump, MessagesRunOnceTheIntervalHasPassed) {
    FakeClockUi ui;
    ThrottledPump pump(ui);
    *ui.clock += kInterval - 1;
    pump.Check();
    EXPECT_EQ(ui.pumps, 0);
    *ui.clock += 1;
    pump.Check();
    EXPECT_EQ(ui.pumps, 1);
    pump.Check();  // the interval starts again
    EXPECT_EQ(ui.pumps, 1);
    *ui.clock += 3 * kInterval;  // a long unit of work: one run, not three
    pump.Check();
    pump.Check();
    EXPECT_EQ(ui.pumps, 2);
}

TEST(ThrottledPump, AClockMovingOneMillisecondPerUnitRunsMessagesEveryIntervalOfUnits) {
    FakeClockUi ui;
    ThrottledPump pump(ui);
    const int units = 100 * static_cast<int>(kInterval);
    for (int i = 0; i < units; ++i) {
        *ui.clock += 1;
        pump.Check();
    }
    EXPECT_EQ(ui.pumps, 100);
}

TEST(ThrottledPump, TheClockMayWrapAround) {
    FakeClockUi ui;
    ui.clock = 0xFFFFFFFFU - 2;
    ThrottledPump pump(ui);
    *ui.clock += kInterval - 1;  // wraps
    pump.Check();
    EXPECT_EQ(ui.pumps, 0);
    *ui.clock += 1;
    pump.Check();
    EXPECT_EQ(ui.pumps, 1);
}

TEST(ThrottledPump, WithoutAClockMessagesRunAtEveryCheck) {
    FakeClockUi ui;
    ui.clock = std::nullopt;
    ThrottledPump pump(ui);
    for (int i = 0; i < 5; ++i) {
        pump.Check();
    }
    EXPECT_EQ(ui.pumps, 5);
}

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

TEST(ThrottledPump, ServicesHaveNoClockUnlessTheyGiveOne) {
    class NoClockUi final : public UiServices {
    public:
        void ProcessMessages() override {}
        std::optional<std::string> BrowseForDirectory(const std::string& /*start*/) override {
            return std::nullopt;
        }
        void* MainWindowHandle() override { return nullptr; }
    } ui;
    EXPECT_FALSE(ui.Milliseconds().has_value());
}

}  // namespace
}  // namespace nv::toolkit
