// Fault injection as later tests use it: by kind and target, by occurrence, and by the
// running number of an operation so that each step of a run can fail in turn.

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace nv::host::sim {
namespace {

// A small run touching several kinds of operation; returns how far it got.
int RunSteps(SimHost& host) {
    int steps = 0;
    try {
        if (!host.CreateFolderWithParents("C:\\Target")) {
            return steps;
        }
        ++steps;
        if (!host.CreateNewFile(R"(C:\Target\a.bin)")) {
            return steps;
        }
        ++steps;
        const std::unique_ptr<RegistryKey> key = host.CreateKey("Software\\T");
        if (!key) {
            return steps;
        }
        ++steps;
        key->WriteString("V", "x");
        ++steps;
    } catch (const Error&) {
        return -steps - 1;
    }
    return steps;
}

TEST(FaultPlan, FailsByKindTargetAndOccurrence) {
    SimHost host;
    host.AddFile("C:\\a", "1");
    host.Fail(SimOp::kCreateFile, "C:\\second.bin");
    EXPECT_NE(host.CreateNewFile("C:\\first.bin"), nullptr);
    EXPECT_EQ(host.CreateNewFile("c:\\SECOND.bin"), nullptr);  // the target's case does not matter
    host.ClearFaults();

    host.Fail(SimOp::kRemoveFile, "", 2);  // only the second deletion fails
    host.AddFile("C:\\b", "");
    host.AddFile("C:\\c", "");
    EXPECT_TRUE(host.RemoveFile("C:\\first.bin"));
    EXPECT_FALSE(host.RemoveFile("C:\\b"));
    EXPECT_TRUE(host.RemoveFile("C:\\c"));
    EXPECT_TRUE(host.FileExists("C:\\b"));
}

TEST(FaultPlan, StreamOperationsCanFail) {
    SimHost host;
    host.AddFile("C:\\in.bin", "abc");
    host.Fail(SimOp::kRead, "C:\\in.bin");
    const std::unique_ptr<FileStream> in = host.OpenFileForReading("C:\\in.bin");
    char c = 0;
    EXPECT_THROW(in->Read(&c, 1), Error);

    host.Fail(SimOp::kWrite, "", 2);
    const std::unique_ptr<FileStream> out = host.CreateFileForWriting("C:\\out.bin");
    out->Write("a", 1);
    EXPECT_THROW(out->Write("b", 1), Error);
    EXPECT_EQ(host.FileData("C:\\out.bin"), "a");

    host.Fail(SimOp::kOpenRead, "C:\\in.bin");
    EXPECT_THROW(host.OpenFileForReading("C:\\in.bin"), Error);
}

TEST(FaultPlan, KeysFailByPath) {
    SimHost host;
    host.Fail(SimOp::kCreateKey, R"(\Software\Halvorn\Norvista)");
    EXPECT_EQ(host.CreateKey(R"(\Software\Halvorn\Norvista)"), nullptr);
    EXPECT_NE(host.CreateKey(R"(\Software\Halvorn\Other)"), nullptr);
}

TEST(FaultPlan, CountsAndLogsEveryOperation) {
    SimHost clean;
    ASSERT_EQ(RunSteps(clean), 4);
    EXPECT_EQ(clean.OperationCount(), 4U);  // create folder, create file, create key, set value
    EXPECT_EQ(clean.OperationCount(SimOp::kCreateFile), 1U);
    ASSERT_EQ(clean.OperationLog().size(), 4U);
    EXPECT_EQ(clean.OperationLog()[1].op, SimOp::kCreateFile);
    EXPECT_EQ(clean.OperationLog()[1].number, 2U);
    EXPECT_EQ(clean.OperationLog()[0].target, "c:\\target");
}

TEST(FaultPlan, EveryOperationOfARunCanFailInTurn) {
    SimHost clean;
    RunSteps(clean);
    const std::uint64_t total = clean.OperationCount();
    std::vector<int> outcomes;
    for (std::uint64_t n = 1; n <= total; ++n) {
        SimHost host;
        host.FailOperationNumber(n);
        outcomes.push_back(RunSteps(host));
    }
    // Each failure stops the run at its own step; the raised one (the value) is negative.
    EXPECT_EQ(outcomes, (std::vector<int>{0, 1, 2, -4}));
}

TEST(FaultPlan, SpecialFolderTargetsAreNumbers) {
    SimHost host;
    host.Fail(SimOp::kSpecialFolder, "38");
    EXPECT_EQ(host.SpecialFolderPath(0x26), "");
    EXPECT_NE(host.SpecialFolderPath(0x1A), "");
    EXPECT_EQ(SimOpName(SimOp::kSpecialFolder), "SpecialFolder");
}

TEST(SimShell, StartsAreRecorded) {
    SimHost host;
    host.AddFile(R"(C:\P\Norvis.exe)", "");
    int window = 0;
    EXPECT_TRUE(host.ShellOpen(&window, R"(C:\P\Norvis.exe)", R"(C:\P\)"));
    EXPECT_FALSE(host.ShellOpen(nullptr, R"(C:\P\Missing.exe)", R"(C:\P\)"));
    ASSERT_EQ(host.ShellStarts().size(), 2U);
    const SimShellStart& start = host.ShellStarts()[0];
    EXPECT_EQ(start.owner, &window);
    EXPECT_EQ(start.verb, "open");
    EXPECT_EQ(start.file, R"(C:\P\Norvis.exe)");
    EXPECT_EQ(start.parameters, "");
    EXPECT_EQ(start.folder, R"(C:\P\)");
    EXPECT_EQ(start.showCommand, 5);
}

}  // namespace
}  // namespace nv::host::sim
