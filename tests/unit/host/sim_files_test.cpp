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
    in->Seek(10);
    EXPECT_EQ(in->Read(buffer, 8), 2U);
    EXPECT_EQ(std::string(buffer, 2), "D!");
    EXPECT_EQ(in->Read(buffer, 8), 0U);
    EXPECT_THROW(in->Write("x", 1), Error);  // opened for reading only
    in->Seek(8);
    EXPECT_EQ(ErrorText([&] { in->ReadExactly(buffer, 5); }), "end-of-file: c:\\F.BIN");
}

TEST(SimStreams, CreateTruncatesAndFailuresRaiseWithThePath) {
    SimHost host;
    host.AddFile("C:\\f.txt", "old content");
    WriteFile(host, "C:\\f.txt", "new");
    EXPECT_EQ(host.FileData("C:\\f.txt"), "new");

    EXPECT_EQ(ErrorText([&] { host.OpenFileForReading("C:\\missing.bin"); }),
              "open-failed: C:\\missing.bin");
    EXPECT_EQ(ErrorText([&] { host.CreateFileForWriting(R"(C:\nofolder\x.bin)"); }),
              R"(create-failed: C:\nofolder\x.bin)");
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

TEST(SimCopy, CopiesAStreamFromItsStartIntoANewFileOnly) {
    SimHost host;
    const std::string data(kCopyPiece * 5 / 2, 'a');
    host.AddFile("C:\\src.bin", data);
    const std::unique_ptr<FileStream> source = host.OpenFileForReading("C:\\src.bin");
    source->Seek(5000);  // wherever the stream stands, the copy takes all of it
    int calls = 0;
    EXPECT_TRUE(host.CopyToNewFile(*source, "C:\\dst.bin", [&] { ++calls; }));
    EXPECT_EQ(calls, 3);  // one per piece
    EXPECT_EQ(host.FileData("C:\\dst.bin"), data);
    EXPECT_FALSE(host.IsHeld("C:\\dst.bin"));

    // Nothing that already has the name is replaced or written through.
    host.AddFile("C:\\victim.dll", "system library");
    host.AddFileLink("C:\\link.bin", "C:\\victim.dll");
    host.AddFolder("C:\\folder.bin");
    for (const char* taken : {"c:\\DST.bin", "C:\\link.bin", "C:\\folder.bin"}) {
        EXPECT_FALSE(host.CopyToNewFile(*source, taken)) << taken;
    }
    EXPECT_EQ(host.FileData("C:\\dst.bin")->size(), data.size());
    EXPECT_EQ(host.FileData("C:\\victim.dll"), "system library");

    EXPECT_FALSE(host.CopyToNewFile(*source, R"(C:\nofolder\x.bin)"));
    EXPECT_TRUE(host.CopyToNewFile(*source, "C:\\quiet.bin"));  // no progress given

    // A progress call that raises ends the copy; the incomplete file goes.
    EXPECT_THROW(host.CopyToNewFile(*source, "C:\\cancelled.bin", [] { throw Error("stop"); }),
                 Error);
    EXPECT_FALSE(host.FileExists("C:\\cancelled.bin"));
    // So does a read that fails.
    host.Fail(SimOp::kRead, "C:\\src.bin", 2);
    EXPECT_FALSE(host.CopyToNewFile(*source, "C:\\unread.bin"));
    EXPECT_FALSE(host.FileExists("C:\\unread.bin"));
}

TEST(SimStreams, HeldFilesAndFoldersKeepOthersOut) {
    SimHost host;
    host.AddFolder("C:\\open");
    host.SetFolderSecurity("C:\\open", {SimOwner::kCurrentUser, true, false});
    host.AddFolder("C:\\open\\held");
    {
        const std::unique_ptr<HeldFolder> held = host.HoldSafeFolder("C:\\open\\held");
        ASSERT_NE(held, nullptr);
        const std::unique_ptr<FileStream> file = host.CreateFileForWriting(R"(C:\open\held\f)");
        file->Write("mine", 4);
        // The program's own file shares reading with nobody while it writes.
        EXPECT_THROW(host.OpenFileForReading(R"(C:\open\held\f)"), Error);
        EXPECT_FALSE(host.RemoveFile(R"(C:\open\held\f)"));
        EXPECT_FALSE(host.OtherUserRename("C:\\open\\held", "C:\\open\\moved"));
        EXPECT_FALSE(held->RemoveIfEmpty());  // holds a file
        EXPECT_TRUE(file->Remove());
        EXPECT_FALSE(host.FileExists(R"(C:\open\held\f)"));
        EXPECT_TRUE(held->RemoveIfEmpty());
    }
    EXPECT_FALSE(host.FolderExists("C:\\open\\held"));
    // Once nothing holds it, another user may move a folder where others may write.
    host.AddFolder("C:\\open\\free");
    EXPECT_TRUE(host.OtherUserRename("C:\\open\\free", "C:\\open\\moved"));
    EXPECT_TRUE(host.FolderExists("C:\\open\\moved"));
    // A read-only stream cannot delete, and a removed stream cannot be used.
    host.AddFile("C:\\r.bin", "r");
    const std::unique_ptr<FileStream> reader = host.OpenFileForReading("C:\\r.bin");
    EXPECT_FALSE(reader->Remove());
}

TEST(SimShortcuts, OnlyARegularLnkFileIsRemovedAsAShortcut) {
    SimHost host;
    host.AddFile("C:\\d\\a.lnk", "link");
    host.AddFile("C:\\d\\a.txt", "text");
    host.AddFile("C:\\d\\target", "t");
    host.AddFileLink("C:\\d\\b.LNK", "C:\\d\\target");
    host.AddFolder("C:\\d\\c.lnk");
    const std::vector<std::pair<const char*, bool>> cases = {
        {"C:\\d\\a.lnk", true},  {"C:\\d\\a.txt", false},       {"C:\\d\\b.LNK", false},
        {"C:\\d\\c.lnk", false}, {"C:\\d\\missing.lnk", false}, {"", false},
    };
    for (const auto& [path, removed] : cases) {
        EXPECT_EQ(host.RemoveShortcutFile(path), removed) << path;
    }
    EXPECT_EQ(host.FileData("C:\\d\\target"), "t");
    EXPECT_TRUE(host.FileExists("C:\\d\\b.LNK"));
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
    EXPECT_FALSE(host.CreateProtectedFolder(R"(E:\cd\tempnv)", FolderProtection::kInherited));
    EXPECT_THROW(host.CreateFileForWriting(R"(E:\cd\x)"), Error);
    EXPECT_FALSE(host.RemoveFile(R"(E:\cd\Setup.exe)"));
    const std::unique_ptr<FileStream> setup = host.OpenFileForReading(R"(E:\cd\Setup.exe)");
    EXPECT_FALSE(host.CopyToNewFile(*setup, "E:\\copy.exe"));
    EXPECT_TRUE(host.CopyToNewFile(*setup, "C:\\copy.exe"));
}

TEST(SimFaults, DiskFillsAfterTheFreeSpace) {
    SimHost host;
    host.AddFile(R"(C:\cd\Setup.exe)", "setup");
    host.SetFreeSpace(10);
    const std::unique_ptr<FileStream> out = host.CreateFileForWriting("C:\\big.bin");
    out->Write("12345678", 8);
    EXPECT_EQ(ErrorText([&] { out->Write("abc", 3); }), "write-failed: C:\\big.bin");
    out->Write("ab", 2);
    const std::unique_ptr<FileStream> setup = host.OpenFileForReading(R"(C:\cd\Setup.exe)");
    EXPECT_FALSE(host.CopyToNewFile(*setup, "C:\\copy2.exe"));
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
              R"(profile-write-failed: C:\Missing\norvis.ini)");
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
