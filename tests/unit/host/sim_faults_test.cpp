// Fault injection as later tests use it: by kind and target, by occurrence, and by the
// running number of an operation so that each step of a run can fail in turn.

#include <gtest/gtest.h>

#include <functional>

#include "host/sim/sim_host.h"

namespace nv::host::sim {
namespace {

// A small run touching several kinds of operation; returns how far it got.
int RunSteps(SimHost& host) {
    int steps = 0;
    try {
        if (!host.CreateProtectedFolder("C:\\Target", FolderProtection::kInherited)) {
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

// Every failure the host raises is a kind with the file, folder or value it concerns; SimHost
// knows no system codes and passes 0.
TEST(FaultPlan, EachFailureRaisesItsKindWithItsSubject) {
    struct Row {
        SimOp op;  // the fault injected, at the row's target
        const char* target;
        std::function<void(SimHost&)> action;
        ErrorKind kind;
        const char* path;
    };
    const Row rows[] = {
        {SimOp::kOpenRead, "C:\\in.bin",
         [](SimHost& host) { host.OpenFileForReading("C:\\in.bin"); }, ErrorKind::kOpenFailed,
         "C:\\in.bin"},
        {SimOp::kCreateFile, "C:\\out.bin",
         [](SimHost& host) { host.CreateFileForWriting("C:\\out.bin"); }, ErrorKind::kCreateFailed,
         "C:\\out.bin"},
        {SimOp::kRead, "C:\\in.bin",
         [](SimHost& host) {
             char c = 0;
             host.OpenFileForReading("c:\\IN.bin")->Read(&c, 1);
         },
         ErrorKind::kReadFailed, "c:\\IN.bin"},
        {SimOp::kWrite, "C:\\out.bin",
         [](SimHost& host) { host.CreateFileForWriting("C:\\out.bin")->Write("a", 1); },
         ErrorKind::kWriteFailed, "C:\\out.bin"},
        {SimOp::kSeek, "C:\\in.bin",
         [](SimHost& host) { host.OpenFileForReading("C:\\in.bin")->Seek(1); },
         ErrorKind::kSeekFailed, "C:\\in.bin"},
        {SimOp::kSetValue, "Name",
         [](SimHost& host) { host.CreateKey("Software\\T")->WriteString("Name", "x"); },
         ErrorKind::kSetDataFailed, "Name"},
        {SimOp::kSetValue, "Size",
         [](SimHost& host) { host.CreateKey("Software\\T")->WriteDword("Size", 1); },
         ErrorKind::kSetDataFailed, "Size"},
        {SimOp::kWriteProfile, "C:\\x.ini",
         [](SimHost& host) { host.WriteProfileText("C:\\x.ini", "S", "K", "v"); },
         ErrorKind::kProfileWriteFailed, "C:\\x.ini"},
        {SimOp::kCreateFolder, "C:\\New", [](SimHost& host) { host.CreateFolder("C:\\New"); },
         ErrorKind::kCreateFolderFailed, "C:\\New"},
        {SimOp::kRemoveFolder, "C:\\Empty", [](SimHost& host) { host.RemoveFolder("C:\\Empty"); },
         ErrorKind::kRemoveFolderFailed, "C:\\Empty"},
    };
    const auto prepare = [](SimHost& host) {
        host.AddFile("C:\\in.bin", "abc");
        host.AddFolder("C:\\Empty");
    };
    for (const Row& row : rows) {
        const std::string label = std::string(SimOpName(row.op)) + " " + row.target;
        SimHost clean;
        prepare(clean);
        EXPECT_NO_THROW(row.action(clean)) << label << ": fails without the fault";
        SimHost host;
        prepare(host);
        host.Fail(row.op, row.target);
        try {
            row.action(host);
            ADD_FAILURE() << label << ": nothing raised";
        } catch (const Error& error) {
            EXPECT_EQ(error.Kind(), row.kind) << label << ": " << error.what();
            EXPECT_EQ(error.Path(), row.path) << label;
            EXPECT_EQ(error.SystemCode(), 0U) << label;
        }
    }
}

// What the host raises without an injected fault: the end of a file met early, and a value
// of the wrong type.
TEST(FaultPlan, ShortFilesAndWrongValueTypesRaiseTheirKinds) {
    SimHost host;
    host.AddFile("C:\\in.bin", "abc");
    char buffer[4] = {};
    try {
        host.OpenFileForReading("C:\\in.bin")->ReadExactly(buffer, 4);
        ADD_FAILURE() << "read past the end";
    } catch (const Error& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::kEndOfFile);
        EXPECT_EQ(error.Path(), "C:\\in.bin");
    }
    const std::unique_ptr<RegistryKey> key = host.CreateKey("Software\\T");
    key->WriteDword("Number", 7);
    try {
        key->ReadString("Number");
        ADD_FAILURE() << "a number read as text";
    } catch (const Error& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::kInvalidDataType);
        EXPECT_EQ(error.Path(), "Number");
    }
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
