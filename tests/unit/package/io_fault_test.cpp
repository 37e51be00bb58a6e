// Failing files during extraction: each raises an error of the kind that names the failure
// and the file, and nothing is written outside the temporary folder.

#include <gtest/gtest.h>

#include "base/error.h"
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

TEST(ExtractionFaults, DiskFullDuringTheRawCopy) {
    FakeFileSystem fs;
    PutSetup(fs);
    fs.diskSpace = 1000;
    EXPECT_EQ(ExtractionError(fs), "write-failed: tmp\\package.dlz");
}

TEST(ExtractionFaults, DiskFullDuringDecompression) {
    FakeFileSystem fs;
    PutSetup(fs);
    fs.diskSpace = fs.files["setup.exe"].size() + 5000;
    EXPECT_EQ(ExtractionError(fs), "write-failed: tmp\\package.dld");
}

TEST(ExtractionFaults, DiskFullDuringSplitting) {
    FakeFileSystem fs;
    PutSetup(fs);
    fs.diskSpace = fs.files["setup.exe"].size() + EntryStream(kFiles).size() + 100;
    EXPECT_EQ(ExtractionError(fs), "write-failed: tmp\\one.bin");
}

TEST(ExtractionFaults, SetupThatReadsShortOrFails) {
    FakeFileSystem fs;
    PutSetup(fs);
    fs.shortReads["setup.exe"] = 2000;  // Size still reports the whole file
    EXPECT_EQ(ExtractionError(fs), "setup-unreadable");
    FakeFileSystem failing;
    PutSetup(failing);
    failing.failingReads["setup.exe"] = 5000;
    EXPECT_EQ(ExtractionError(failing), "setup-unreadable");
}

TEST(ExtractionFaults, PackageFileThatCannotBeReadBack) {
    FakeFileSystem fs;
    PutSetup(fs);
    fs.failingReads["tmp\\package.dld"] = 100;
    EXPECT_EQ(ExtractionError(fs), "read-failed: tmp\\package.dld");
    FakeFileSystem dlz;
    PutSetup(dlz);
    dlz.failingReads["tmp\\package.dlz"] = 100;
    EXPECT_EQ(ExtractionError(dlz), "package-unreadable");
}

TEST(ExtractionFaults, FilesThatCannotBeCreated) {
    for (const std::string path : {"tmp\\package.dlz", "tmp\\package.dld", "tmp\\two.bin"}) {
        FakeFileSystem fs;
        PutSetup(fs);
        fs.uncreatable.insert(path);
        EXPECT_EQ(ExtractionError(fs), "create-failed: " + path);
        EXPECT_EQ(fs.files.count(path), 0U);
    }
}

TEST(ExtractionFaults, MissingSetupFile) {
    FakeFileSystem fs;
    EXPECT_EQ(ExtractionError(fs), "open-failed: setup.exe");
}

TEST(ExtractionFaults, AShortReadOfThePackageFileIsADamagedPackageNotStaleData) {
    FakeFileSystem fs;
    PutSetup(fs);
    fs.shortReads["tmp\\package.dld"] = 30000;  // ends inside one.bin's data (13 header bytes)
    EXPECT_EQ(Extract(fs).result, ExtractResult::kDamaged);
    EXPECT_EQ(fs.files["tmp\\one.bin"],
              Bytes(kFiles[0].second.begin(), kFiles[0].second.begin() + (30000 - 13)));
}

}  // namespace
}  // namespace nv::package::testing
