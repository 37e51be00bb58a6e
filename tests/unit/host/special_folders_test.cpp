#include "host/special_folders.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace nv::host {
namespace {

using sim::SimHost;

TEST(GetSpecialFolder, ResolvesOrGivesEmptyText) {
    SimHost host;
    EXPECT_EQ(GetSpecialFolder(host, kCsidlProgramFiles), "C:\\Program Files");
    EXPECT_EQ(GetSpecialFolder(host, 0x7F), "");
    host.SetSpecialFolder(kCsidlAppData, std::string("C:\\Data\0garbage", 15));
    EXPECT_EQ(GetSpecialFolder(host, kCsidlAppData), "C:\\Data");
}

TEST(SpecialFolderFallbacks, DesktopTriesCommonThenUserThenDesktop) {
    SimHost host;
    host.SetSpecialFolder(kCsidlCommonDesktopDirectory, R"(C:\Common\Desktop)");
    host.SetSpecialFolder(kCsidlDesktopDirectory, R"(C:\User\Desktop)");
    host.SetSpecialFolder(kCsidlDesktop, R"(C:\Shell\Desktop)");
    EXPECT_EQ(DesktopFolder(host), R"(C:\Common\Desktop)");

    host.SetSpecialFolder(kCsidlCommonDesktopDirectory, "");
    EXPECT_EQ(DesktopFolder(host), R"(C:\User\Desktop)");

    host.Fail(sim::SimOp::kSpecialFolder, std::to_string(kCsidlDesktopDirectory));
    EXPECT_EQ(DesktopFolder(host), R"(C:\Shell\Desktop)");

    host.SetSpecialFolder(kCsidlDesktop, "");
    EXPECT_EQ(DesktopFolder(host), "");
}

TEST(SpecialFolderFallbacks, LaterNumbersAreAskedOnlyWhenNeeded) {
    SimHost host;
    EXPECT_FALSE(DesktopFolder(host).empty());
    EXPECT_EQ(host.OperationCount(sim::SimOp::kSpecialFolder), 1U);
}

TEST(SpecialFolderFallbacks, QuickLaunchHasNoFallback) {
    SimHost host;
    host.SetSpecialFolder(kCsidlAppData, "");
    EXPECT_EQ(QuickLaunchBaseFolder(host), "");
    EXPECT_EQ(host.OperationCount(sim::SimOp::kSpecialFolder), 1U);
}

TEST(SpecialFolderFallbacks, ProgramsMenuTriesCommonThenUser) {
    SimHost host;
    EXPECT_EQ(ProgramsMenuFolder(host), R"(C:\ProgramData\Microsoft\Windows\Start Menu\Programs)");
    host.SetSpecialFolder(kCsidlCommonPrograms, "");
    EXPECT_EQ(ProgramsMenuFolder(host),
              R"(C:\users\user\AppData\Roaming\Microsoft\Windows\Start Menu\Programs)");
    host.SetSpecialFolder(kCsidlPrograms, "");
    EXPECT_EQ(ProgramsMenuFolder(host), "");
}

TEST(SpecialFolderFallbacks, ProgramFilesFallsBackToProgramme) {
    SimHost host;
    EXPECT_EQ(ProgramFilesFolder(host), "C:\\Program Files");
    host.SetSpecialFolder(kCsidlProgramFiles, "");
    EXPECT_EQ(ProgramFilesFolder(host), "C:\\Programme");
}

}  // namespace
}  // namespace nv::host
