// The folder chooser's browsing, headless on SimHost: where navigation leaves the current
// folder and what OK returns. Its window is tested under Wine (chooser_test).

#include "toolkit/folder_browser.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "host/sim/sim_host.h"

namespace nv::toolkit {
namespace {

class FolderBrowserTest : public ::testing::Test {
protected:
    FolderBrowserTest() { sim_.AddFolder(root_ + "\\Sub\\Inner"); }

    // OK on `typed`, failing the test when it asks to make a folder.
    std::optional<std::string> AcceptExisting(const std::string& typed) {
        return browser_.Accept(
            typed, [] { return ADD_FAILURE() << "asked to make a folder", false; },
            [](const std::string&) { return false; });
    }

    host::sim::SimHost sim_;
    FolderBrowser browser_{sim_};
    std::string root_ = "C:\\nv_chooser_test";
};

TEST_F(FolderBrowserTest, NavigationChangesTheCurrentFolderAndOkReturnsItWithABackslash) {
    browser_.Open(root_);
    // Open "Sub" (item 1), then ".." back up, then "Sub" again.
    for (const char* expected : {"Sub", "..", "Sub"}) {
        ASSERT_EQ(browser_.Folders().at(std::string(expected) == ".." ? 0 : 1), expected);
        ASSERT_TRUE(browser_.OpenListed(expected));
    }
    EXPECT_EQ(AcceptExisting(""), root_ + "\\Sub\\");
    EXPECT_EQ(sim_.CurrentFolder(), root_ + "\\Sub");
}

TEST_F(FolderBrowserTest, AMissingStartFolderStartsAtDriveC) {
    browser_.Open(root_ + "\\Missing\\Norvista");
    EXPECT_EQ(LowerCaseAscii(browser_.Shown()), "c:\\");
    EXPECT_EQ(LowerCaseAscii(sim_.CurrentFolder()), "c:\\");
    EXPECT_EQ(browser_.Folders().at(0), "nv_chooser_test") << "no \"..\" at a root";
    EXPECT_EQ(browser_.ShownDrive(), "c:");
}

TEST_F(FolderBrowserTest, ATypedExistingFolderIsReturnedWithoutAQuestion) {
    browser_.Open(root_);
    EXPECT_EQ(AcceptExisting("Sub\\Inner\\"), root_ + "\\Sub\\Inner\\")
        << "a relative name is taken from the shown folder";
}

}  // namespace
}  // namespace nv::toolkit
