// The members Host builds on its primitives: folder creation with parents, the raised
// folder errors and key paths.

#include <gtest/gtest.h>

#include "error_text.h"
#include "host/sim/sim_host.h"

namespace nv::host {
namespace {

using sim::SimHost;

using testing::ErrorText;

TEST(CreateFolderWithParents, MakesEveryMissingLevel) {
    SimHost host;
    EXPECT_TRUE(host.CreateFolderWithParents(R"(C:\Programme\Halvorn\Norvista\)"));
    EXPECT_TRUE(host.FolderExists("C:\\Programme"));
    EXPECT_TRUE(host.FolderExists(R"(C:\Programme\Halvorn\Norvista)"));
    EXPECT_TRUE(host.CreateFolderWithParents(R"(c:\PROGRAMME\Halvorn)"));  // exists already
    EXPECT_TRUE(host.CreateFolderWithParents("rel\\sub"));
    EXPECT_TRUE(host.FolderExists(R"(C:\setup\rel\sub)"));
    EXPECT_TRUE(host.CreateFolderWithParents("C:\\"));
    EXPECT_TRUE(host.CreateFolderWithParents("C:"));
}

TEST(CreateFolderWithParents, FailsWithoutRaising) {
    SimHost host;
    EXPECT_FALSE(host.CreateFolderWithParents(R"(Q:\NoDrive\Folder)"));
    EXPECT_FALSE(host.CreateFolderWithParents("Q:\\"));
    host.AddFile("C:\\file", "");
    EXPECT_FALSE(host.CreateFolderWithParents(R"(C:\file\below)"));
    host.Fail(sim::SimOp::kCreateFolder, R"(C:\A\B)");
    EXPECT_FALSE(host.CreateFolderWithParents(R"(C:\A\B\C)"));
    EXPECT_TRUE(host.FolderExists("C:\\A"));
    EXPECT_FALSE(host.FolderExists(R"(C:\A\B)"));
}

TEST(CreateFolderWithParents, EmptyPathRaises) {
    SimHost host;
    EXPECT_EQ(ErrorText([&] { host.CreateFolderWithParents(""); }), "create-folder-failed");
}

TEST(FolderErrors, CreateAndRemoveRaiseTheirTexts) {
    SimHost host;
    EXPECT_EQ(ErrorText([&] { host.CreateFolder(R"(C:\no\such)"); }),
              R"(create-folder-failed: C:\no\such)");
    EXPECT_EQ(ErrorText([&] { host.RemoveFolder("C:\\no"); }), "remove-folder-failed: C:\\no");
}

TEST(KeyPaths, LeadingBackslashIsDropped) {
    SimHost host;
    ASSERT_NE(host.CreateKey(R"(\Software\Halvorn\Norvista)"), nullptr);
    EXPECT_TRUE(host.RegistryKeyExists(R"(Software\Halvorn\Norvista)"));
    EXPECT_NE(host.OpenKey(R"(\Software\Halvorn)", KeyAccess::kRead), nullptr);
    EXPECT_NE(host.OpenKey(R"(software\halvorn\norvista)", KeyAccess::kAllAccess), nullptr);
    EXPECT_EQ(host.OpenKey(R"(\Software\Other)", KeyAccess::kRead), nullptr);
    EXPECT_FALSE(host.RegistryKeyExists("Software\\Other"));  // opening never creates
}

}  // namespace
}  // namespace nv::host
