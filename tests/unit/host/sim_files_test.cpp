// The simulated file system: the Windows path rules, streams, copies, profile files and
// the faults tests rely on.

#include <gtest/gtest.h>

#include "error_text.h"
#include "host/sim/sim_host.h"

namespace nv::host::sim {
namespace {

using testing::ErrorText;

std::string ReadAll(FileStream& stream) {
    std::string data(static_cast<std::size_t>(stream.Size()), '\0');
    stream.Seek(0);
    data.resize(stream.Read(data.data(), data.size()));
    return data;
}

void WriteFile(Host& host, const std::string& path, const std::string& data) {
    const std::unique_ptr<FileStream> out = host.CreateFileForWriting(path);
    out->Write(data.data(), data.size());
}

TEST(SimPaths, NamesCompareWithoutCase) {
    SimHost host;
    host.AddFile(R"(C:\Data\Norvis.EXE)", "x");
    EXPECT_TRUE(host.FileExists(R"(c:\data\norvis.exe)"));
    EXPECT_TRUE(host.FolderExists(R"(C:\DATA\)"));
    EXPECT_FALSE(host.FolderExists(R"(C:\Data\Norvis.exe)"));
    EXPECT_FALSE(host.FileExists("C:\\Data"));
    EXPECT_EQ(host.FolderEntries("c:\\DATA"), std::vector<std::string>{"Norvis.EXE"});
}

TEST(SimPaths, RelativeNamesFollowTheCurrentFolder) {
    SimHost host;
    EXPECT_EQ(host.CurrentFolder(), "C:\\setup");
    EXPECT_EQ(host.FullPathOf("tempnv"), R"(C:\setup\tempnv)");
    EXPECT_EQ(host.FullPathOf(R"(..\x\.\y)"), R"(C:\x\y)");
    EXPECT_EQ(host.FullPathOf("\\root.txt"), "C:\\root.txt");
    EXPECT_EQ(host.FullPathOf("c:/a/b"), R"(C:\a\b)");
    EXPECT_EQ(host.FullPathOf("C:rel"), R"(C:\setup\rel)");
    EXPECT_EQ(host.FullPathOf(R"(C:\..\..)"), "C:\\");
    EXPECT_EQ(host.FullPathOf(""), "");

    host.CreateFolder("tempnv");
    EXPECT_TRUE(host.FolderExists(R"(C:\setup\tempnv)"));

    host.AddFolder("D:\\elsewhere");  // no drive D: nothing is made
    EXPECT_FALSE(host.FolderExists("D:\\elsewhere"));
    host.AddDrive('D');
    host.AddFolder("D:\\elsewhere");
    ASSERT_TRUE(host.SetCurrentFolder("d:\\ELSEWHERE"));
    EXPECT_EQ(host.CurrentFolder(), "D:\\elsewhere");
    EXPECT_FALSE(host.FolderExists("tempnv"));
    EXPECT_EQ(host.FullPathOf("C:rel"), "C:\\rel");
    EXPECT_FALSE(host.SetCurrentFolder("D:\\missing"));
    EXPECT_EQ(host.CurrentFolder(), "D:\\elsewhere");
}

TEST(SimFolders, CreateAndRemoveFollowWindowsRules) {
    SimHost host;
    EXPECT_NO_THROW(host.CreateFolder("C:\\New"));
    EXPECT_THROW(host.CreateFolder("C:\\New"), Error);              // exists
    EXPECT_THROW(host.CreateFolder(R"(C:\Missing\Child)"), Error);  // no parent
    EXPECT_THROW(host.CreateFolder("Q:\\NoDrive"), Error);
    EXPECT_THROW(host.CreateFolder("C:\\Bad|Name"), Error);
    host.AddFile(R"(C:\New\file.txt)", "");
    EXPECT_THROW(host.CreateFolder(R"(C:\New\file.txt)"), Error);

    EXPECT_THROW(host.RemoveFolder("C:\\New"), Error);  // not empty
    EXPECT_TRUE(host.RemoveFile(R"(C:\New\file.txt)"));
    EXPECT_NO_THROW(host.RemoveFolder("C:\\New"));
    EXPECT_FALSE(host.FolderExists("C:\\New"));
    EXPECT_THROW(host.RemoveFolder("C:\\New"), Error);    // gone
    EXPECT_THROW(host.RemoveFolder("C:\\setup"), Error);  // current folder
    EXPECT_THROW(host.RemoveFolder("C:\\"), Error);
}

TEST(SimStreams, WriteReadSeekAndEndOfFile) {
    SimHost host;
    {
        const std::unique_ptr<FileStream> out = host.CreateFileForWriting("C:\\f.bin");
        out->Write("hello world", 11);
        out->Seek(6);
        out->Write("WORLD!", 6);
        EXPECT_EQ(out->Size(), 12U);
    }
    EXPECT_EQ(host.FileData("C:\\f.bin"), "hello WORLD!");

    const std::unique_ptr<FileStream> in = host.OpenFileForReading("c:\\F.BIN");
    EXPECT_EQ(in->Path(), "c:\\F.BIN");
    char buffer[8] = {};
    EXPECT_EQ(in->Read(buffer, 5), 5U);
    EXPECT_FALSE(in->Eof());
    in->Seek(10);
    EXPECT_EQ(in->Read(buffer, 8), 2U);
    EXPECT_EQ(std::string(buffer, 2), "D!");
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->Read(buffer, 8), 0U);
    EXPECT_THROW(in->Write("x", 1), Error);  // opened for reading only
    in->Seek(8);
    EXPECT_EQ(ErrorText([&] { in->ReadExactly(buffer, 5); }),
              "Unerwartetes Dateiende in c:\\F.BIN");
}

TEST(SimStreams, CreateTruncatesAndFailuresRaiseWithThePath) {
    SimHost host;
    host.AddFile("C:\\f.txt", "old content");
    WriteFile(host, "C:\\f.txt", "new");
    EXPECT_EQ(host.FileData("C:\\f.txt"), "new");

    EXPECT_EQ(ErrorText([&] { host.OpenFileForReading("C:\\missing.bin"); }),
              "Datei C:\\missing.bin kann nicht ge\xF6"
              "ffnet werden");
    EXPECT_EQ(ErrorText([&] { host.CreateFileForWriting(R"(C:\nofolder\x.bin)"); }),
              R"(Datei C:\nofolder\x.bin kann nicht erstellt werden)");
    EXPECT_THROW(host.OpenFileForReading("C:\\setup"), Error);  // a folder
}

TEST(SimStreams, OpenFileCannotBeDeletedOrRecreated) {
    SimHost host;
    host.AddFile("C:\\f.txt", "data");
    {
        const std::unique_ptr<FileStream> in = host.OpenFileForReading("C:\\f.txt");
        EXPECT_FALSE(host.RemoveFile("C:\\f.txt"));
        EXPECT_THROW(host.CreateFileForWriting("C:\\f.txt"), Error);
        EXPECT_EQ(ReadAll(*in), "data");
    }
    EXPECT_TRUE(host.RemoveFile("C:\\f.txt"));
    EXPECT_FALSE(host.RemoveFile("C:\\f.txt"));
}

TEST(SimCopy, RefusesToOverwriteAndReportsProgress) {
    SimHost host;
    host.AddFile("C:\\src.bin", std::string(200000, 'a'));
    int calls = 0;
    EXPECT_TRUE(host.CopyFileNoOverwrite("C:\\src.bin", "C:\\dst.bin", [&] { ++calls; }));
    EXPECT_EQ(calls, 4);  // one per 64 KiB piece
    EXPECT_EQ(host.FileData("C:\\dst.bin"), std::string(200000, 'a'));

    host.AddFile("C:\\src.bin", "changed");
    EXPECT_FALSE(host.CopyFileNoOverwrite("C:\\src.bin", "c:\\DST.bin"));
    EXPECT_EQ(host.FileData("C:\\dst.bin")->size(), 200000U);

    EXPECT_FALSE(host.CopyFileNoOverwrite("C:\\none.bin", "C:\\x.bin"));
    EXPECT_FALSE(host.CopyFileNoOverwrite("C:\\src.bin", R"(C:\nofolder\x.bin)"));
    EXPECT_FALSE(host.FileExists("C:\\x.bin"));
    EXPECT_TRUE(host.CopyFileNoOverwrite("C:\\src.bin", "C:\\empty.bin"));  // no progress given
}

TEST(SimFaults, FileInUseCannotBeReplaced) {
    SimHost host;
    host.AddFile(R"(C:\app\Norvis.exe)", "running");
    host.SetFileInUse(R"(C:\app\Norvis.exe)", true);
    EXPECT_FALSE(host.RemoveFile(R"(C:\app\Norvis.exe)"));
    EXPECT_THROW(host.CreateFileForWriting(R"(C:\app\Norvis.exe)"), Error);
    host.SetFileInUse(R"(C:\app\Norvis.exe)", false);
    EXPECT_TRUE(host.RemoveFile(R"(C:\app\Norvis.exe)"));
}

TEST(SimFaults, ReadOnlyFolderTakesNothing) {
    SimHost host;
    host.AddDrive('E');
    host.AddFile(R"(E:\cd\Setup.exe)", "setup");
    host.SetReadOnlyFolder("E:\\");
    EXPECT_FALSE(host.CreateFolderWithParents(R"(E:\cd\tempnv)"));
    EXPECT_THROW(host.CreateFileForWriting(R"(E:\cd\x)"), Error);
    EXPECT_FALSE(host.RemoveFile(R"(E:\cd\Setup.exe)"));
    EXPECT_FALSE(host.CopyFileNoOverwrite(R"(E:\cd\Setup.exe)", "E:\\copy.exe"));
    EXPECT_TRUE(host.CopyFileNoOverwrite(R"(E:\cd\Setup.exe)", "C:\\copy.exe"));
}

TEST(SimFaults, DiskFillsAfterTheFreeSpace) {
    SimHost host;
    host.AddFile(R"(C:\cd\Setup.exe)", "setup");
    host.SetFreeSpace(10);
    const std::unique_ptr<FileStream> out = host.CreateFileForWriting("C:\\big.bin");
    out->Write("12345678", 8);
    EXPECT_EQ(ErrorText([&] { out->Write("abc", 3); }), "Fehler beim Schreiben in C:\\big.bin");
    out->Write("ab", 2);
    EXPECT_FALSE(host.CopyFileNoOverwrite(R"(C:\cd\Setup.exe)", "C:\\copy2.exe"));
    EXPECT_FALSE(host.FileExists("C:\\copy2.exe"));
}

TEST(SimProfile, WritesTheUsualLayoutAndReadsItBack) {
    SimHost host;
    host.AddFolder(R"(C:\Programme\Norvista)");
    const std::string ini = R"(C:\Programme\Norvista\norvis.ini)";
    EXPECT_EQ(host.ReadProfileText(ini, "GENERAL", "LANGUAGE"), "");
    EXPECT_EQ(host.ReadProfileText(ini, "GENERAL", "LANGUAGE", "none"), "none");

    host.WriteProfileText(ini, "GENERAL", "LANGUAGE", "English");
    EXPECT_EQ(host.FileData(ini), "[GENERAL]\r\nLANGUAGE=English\r\n");
    EXPECT_EQ(host.ReadProfileText(ini, "general", "language"), "English");

    host.WriteProfileText(ini, "General", "Language", "Deutsch");
    host.WriteProfileText(ini, "GENERAL", "Other", "1");
    host.WriteProfileText(ini, "Second", "K", "v");
    EXPECT_EQ(host.FileData(ini),
              "[GENERAL]\r\nLANGUAGE=Deutsch\r\nOther=1\r\n[Second]\r\nK=v\r\n");
    EXPECT_EQ(host.ReadProfileText(ini, "Second", "LANGUAGE"), "");
}

TEST(SimProfile, AddsKeysAtTheEndOfTheirSection) {
    SimHost host;
    host.AddFile("C:\\a.ini", "; comment\r\n[One]\r\nA = 1\r\n\r\n[Two]\r\nB=2\r\n");
    EXPECT_EQ(host.ReadProfileText("C:\\a.ini", "one", "a"), "1");
    host.WriteProfileText("C:\\a.ini", "One", "C", "3");
    EXPECT_EQ(host.FileData("C:\\a.ini"),
              "; comment\r\n[One]\r\nA = 1\r\nC=3\r\n\r\n[Two]\r\nB=2\r\n");
}

TEST(SimProfile, UnwritableFileRaisesWithItsPath) {
    SimHost host;
    EXPECT_EQ(ErrorText([&] {
                  host.WriteProfileText(R"(C:\Missing\norvis.ini)", "GENERAL", "LANGUAGE",
                                        "English");
              }),
              R"(In C:\Missing\norvis.ini kann nicht geschrieben werden)");
    host.AddFile("C:\\x.ini", "[S]\r\nK=old\r\n");
    host.Fail(SimOp::kWriteProfile, "c:\\X.INI");
    EXPECT_THROW(host.WriteProfileText("C:\\x.ini", "S", "K", "new"), Error);
    EXPECT_EQ(host.ReadProfileText("C:\\x.ini", "S", "K"), "old");
}

TEST(SimProfile, ReadsAtMost2047Bytes) {
    SimHost host;
    host.AddFile("C:\\long.ini", "[S]\r\nK=" + std::string(3000, 'v') + "\r\n");
    EXPECT_EQ(host.ReadProfileText("C:\\long.ini", "S", "K").size(), 2047U);
}

}  // namespace
}  // namespace nv::host::sim
