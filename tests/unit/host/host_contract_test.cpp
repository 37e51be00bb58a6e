// The members Host builds on its primitives: the raised folder errors and key paths.

#include <gtest/gtest.h>

#include "error_text.h"
#include "host/sim/sim_host.h"

namespace nv::host {
namespace {

using sim::SimHost;

using testing::ErrorText;

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
