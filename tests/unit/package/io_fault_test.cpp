// Failing files during extraction: each raises an error of the kind that names the failure
// and the file, and nothing is written outside the temporary folder.

#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "package/std_file_system.h"
#include "package_support.h"

namespace nv::package::testing {
namespace {

const std::vector<std::pair<std::string, Bytes>> kFiles = {{"one.bin", Text(60000, 1)},
                                                           {"two.bin", Noise(30000, 2)}};

void PutSetup(FakeFileSystem& fs) {
    fs.files["setup.exe"] = SetupFile(BlockStream(EntryStream(kFiles)));
}

// The error's kind and file, as its technical summary gives them; each program words them.
std::string ExtractionError(FakeFileSystem& fs) {
    try {
        Extract(fs);
    } catch (const Error& error) {
        return error.what();
    }
    return "(no error)";
}

// Each fault alone, and the error's summary it must end in.
TEST(ExtractionFaults, EachFailureNamesItsKindAndFile) {
    const std::size_t setupSize = SetupFile(BlockStream(EntryStream(kFiles))).size();
    struct Row {
        std::function<void(FakeFileSystem&)> fault;
        std::string error;
    };
    const Row rows[] = {
        // The disk full during the raw copy, during decompression, and during splitting.
        {[](FakeFileSystem& fs) { fs.diskSpace = 1000; }, "write-failed: tmp\\package.dlz"},
        {[&](FakeFileSystem& fs) { fs.diskSpace = setupSize + 5000; },
         "write-failed: tmp\\package.dld"},
        {[&](FakeFileSystem& fs) { fs.diskSpace = setupSize + EntryStream(kFiles).size() + 100; },
         "write-failed: tmp\\one.bin"},
        // A setup that reads short (its size still reports the whole file), or fails.
        {[](FakeFileSystem& fs) { fs.shortReads["setup.exe"] = 2000; }, "setup-unreadable"},
        {[](FakeFileSystem& fs) { fs.failingReads["setup.exe"] = 5000; }, "setup-unreadable"},
        // A package file that cannot be read back.
        {[](FakeFileSystem& fs) { fs.failingReads["tmp\\package.dld"] = 100; },
         "read-failed: tmp\\package.dld"},
        {[](FakeFileSystem& fs) { fs.failingReads["tmp\\package.dlz"] = 100; },
         "package-unreadable"},
        {[](FakeFileSystem& fs) { fs.files.erase("setup.exe"); }, "open-failed: setup.exe"},
    };
    for (const Row& row : rows) {
        FakeFileSystem fs;
        PutSetup(fs);
        row.fault(fs);
        EXPECT_EQ(ExtractionError(fs), row.error);
    }
    // Files that cannot be created are not made at all.
    for (const std::string path : {"tmp\\package.dlz", "tmp\\package.dld", "tmp\\two.bin"}) {
        FakeFileSystem fs;
        PutSetup(fs);
        fs.uncreatable.insert(path);
        EXPECT_EQ(ExtractionError(fs), "create-failed: " + path);
        EXPECT_EQ(fs.files.count(path), 0U);
    }
}

// The file system's errors reach the caller as they were raised, with the system's code; a
// failure to read the setup or the package file says which of them could not be read, and
// keeps the code.
TEST(ExtractionFaults, FileSystemErrorsTravelWithTheirCode) {
    struct Row {
        const char* what;
        std::function<void(FakeFileSystem&)> fault;
        ErrorKind kind;
        const char* path;
    };
    const Row rows[] = {
        {"setup missing", [](FakeFileSystem& fs) { fs.files.erase("setup.exe"); },
         ErrorKind::kOpenFailed, "setup.exe"},
        {"package file uncreatable",
         [](FakeFileSystem& fs) { fs.uncreatable.insert("tmp\\package.dlz"); },
         ErrorKind::kCreateFailed, "tmp\\package.dlz"},
        {"entry uncreatable", [](FakeFileSystem& fs) { fs.uncreatable.insert("tmp\\one.bin"); },
         ErrorKind::kCreateFailed, "tmp\\one.bin"},
        {"disk full", [](FakeFileSystem& fs) { fs.diskSpace = 1000; }, ErrorKind::kWriteFailed,
         "tmp\\package.dlz"},
        {"entry stream unreadable",
         [](FakeFileSystem& fs) { fs.failingReads["tmp\\package.dld"] = 100; },
         ErrorKind::kReadFailed, "tmp\\package.dld"},
        {"setup unreadable", [](FakeFileSystem& fs) { fs.failingReads["setup.exe"] = 5000; },
         ErrorKind::kSetupUnreadable, ""},
        {"package unreadable",
         [](FakeFileSystem& fs) { fs.failingReads["tmp\\package.dlz"] = 100; },
         ErrorKind::kPackageUnreadable, ""},
    };
    for (const Row& row : rows) {
        FakeFileSystem fs;
        PutSetup(fs);
        fs.systemCode = 112;
        row.fault(fs);
        try {
            Extract(fs);
            ADD_FAILURE() << row.what << ": extracted";
        } catch (const Error& error) {
            EXPECT_EQ(error.Kind(), row.kind) << row.what << ": " << error.what();
            EXPECT_EQ(error.Path(), row.path) << row.what;
            EXPECT_EQ(error.SystemCode(), 112U) << row.what;
        }
    }
}

// The C library's files raise the same kinds, naming the file.
TEST(ExtractionFaults, StdFileSystemRaisesKindsWithTheFile) {
    const std::string missing = ::testing::TempDir() + "nv_no_such_folder/x.bin";
    StdFileSystem fs;
    const auto kindOf = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const Error& error) {
            return std::string(ErrorKindName(error.Kind())) + " " + error.Path();
        }
        return std::string("(no error)");
    };
    EXPECT_EQ(kindOf([&] { fs.OpenRead(missing); }), "open-failed " + missing);
    EXPECT_EQ(kindOf([&] { fs.OpenRead(::testing::TempDir()); }),
              "open-failed " + ::testing::TempDir());
    EXPECT_EQ(kindOf([&] { fs.Create(missing); }), "create-failed " + missing);
    EXPECT_FALSE(fs.DeleteFile(missing));
}

TEST(ExtractionFaults, AShortReadOfThePackageFileIsADamagedPackageNotStaleData) {
    FakeFileSystem fs;
    PutSetup(fs);
    fs.shortReads["tmp\\package.dld"] = 30000;  // ends inside one.bin's data (13 header bytes)
    EXPECT_EQ(Extract(fs).result, ExtractResult::kDamaged);
    EXPECT_EQ(fs.files["tmp\\one.bin"], Prefix(kFiles[0].second, 30000 - 13));
}

}  // namespace
}  // namespace nv::package::testing
