// nvpack's reading side on real files: extraction into a folder where others may have planted
// links or files, and a listing whose memory does not grow with the payload.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>

#include "base/error.h"
#include "output_folder.h"
#include "package_support.h"
#include "payload_report.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator counts the bytes live on the heap exactly.
extern "C" std::size_t
__sanitizer_get_current_allocated_bytes();  // NOLINT(bugprone-reserved-identifier)
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace nv::package::testing {
namespace {

using Entries = std::vector<std::pair<std::string, Bytes>>;

const Entries kTwoFiles = {{"one.bin", Text(20000, 1)}, {"two.bin", Noise(9000, 2)}};
const Bytes kOutsideBytes = {'k', 'e', 'e', 'p'};

// A fresh folder of its own for each test.
class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "nvpack_reader_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string At(const std::string& name) const { return root_ + "/" + name; }

    static void Write(const std::string& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        Bytes bytes;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return bytes;
    }
    static bool IsLink(const std::string& path) {
        struct stat status {};
        return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
    }
    static bool Exists(const std::string& path) {
        struct stat status {};
        return ::lstat(path.c_str(), &status) == 0;
    }

    // Extracts a setup of `entries` into `folder` as `nvpack extract` does; the error text, or
    // the fault of a damaged package, or "" when all went well.
    std::string ExtractInto(const std::string& folder, const Entries& entries, bool force,
                            const std::function<void()>& afterFirstWrite = {}) {
        Write(At("setup.exe"), SetupFile(BlockStream(EntryStream(entries), 4096)));
        try {
            nvpack::OutputFolder output(folder);
            nvpack::FolderWriter writer(output, force);
            bool first = true;
            const auto inspection =
                nvpack::InspectSetup(At("setup.exe"), writer, [&](std::uint64_t, std::uint64_t) {
                    if (first && afterFirstWrite) {
                        afterFirstWrite();
                    }
                    first = false;
                });
            return inspection.Fault();
        } catch (const Error& error) {
            return error.what();
        }
    }

    std::string root_;
};

// --- Planted names --------------------------------------------------------------------------

struct PlantCase {
    std::string label;
    // Puts something at `target` (the second entry's path); `outside` is a file elsewhere.
    std::function<void(const std::string& target, const std::string& outside)> plant;
    bool force;
    std::string error;  // a part of the expected error text; empty when the entry is written
};

class PlantedName : public Scratch, public ::testing::WithParamInterface<PlantCase> {
protected:
    // The file elsewhere kept its bytes, and nothing was made where a dangling link pointed.
    void ExpectUntouchedOutside() const {
        EXPECT_EQ(Read(At("outside")), kOutsideBytes);
        EXPECT_FALSE(Exists(At("missing")));
    }
    static void ExpectWritten(const std::string& result, const std::string& target) {
        EXPECT_EQ(result, "");
        EXPECT_FALSE(IsLink(target));
        EXPECT_EQ(Read(target), kTwoFiles[1].second);
    }
    static void ExpectRefused(const std::string& result, const std::string& error,
                              const std::string& target) {
        EXPECT_NE(result.find(error), std::string::npos) << result;
        EXPECT_NE(result.find(target), std::string::npos) << result;
    }
};

TEST_P(PlantedName, IsNeverWrittenThroughAndOnlyARegularFileIsReplaced) {
    const PlantCase& c = GetParam();
    const std::string out = At("out");
    ASSERT_EQ(::mkdir(out.c_str(), 0700), 0);
    Write(At("outside"), kOutsideBytes);
    const std::string target = out + "/two.bin";
    if (c.plant) {
        c.plant(target, At("outside"));
    }
    const std::string result = ExtractInto(out, kTwoFiles, c.force);
    ExpectUntouchedOutside();
    EXPECT_EQ(Read(out + "/one.bin"), kTwoFiles[0].second);
    if (c.error.empty()) {
        ExpectWritten(result, target);
    } else {
        ExpectRefused(result, c.error, target);
    }
}

void PlantFile(const std::string& target, const std::string& /*outside*/) {
    std::ofstream(target) << "old";
}
void PlantLink(const std::string& target, const std::string& outside) {
    ASSERT_EQ(::symlink(outside.c_str(), target.c_str()), 0);
}
void PlantDanglingLink(const std::string& target, const std::string& outside) {
    const std::string missing = outside.substr(0, outside.rfind('/')) + "/missing";
    ASSERT_EQ(::symlink(missing.c_str(), target.c_str()), 0);
}
void PlantHardLink(const std::string& target, const std::string& outside) {
    ASSERT_EQ(::link(outside.c_str(), target.c_str()), 0);
}
void PlantFolder(const std::string& target, const std::string& /*outside*/) {
    ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
}
void PlantFifo(const std::string& target, const std::string& /*outside*/) {
    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
}

const char* const kExists = "already exists";
const char* const kNotRegular = "is not a regular file";

INSTANTIATE_TEST_SUITE_P(
    Extract, PlantedName,
    ::testing::Values(PlantCase{"nothing", nullptr, false, ""},
                      PlantCase{"file", PlantFile, false, kExists},
                      PlantCase{"file_forced", PlantFile, true, ""},
                      PlantCase{"link", PlantLink, false, kExists},
                      PlantCase{"link_forced", PlantLink, true, kNotRegular},
                      PlantCase{"dangling_link", PlantDanglingLink, false, kExists},
                      PlantCase{"dangling_link_forced", PlantDanglingLink, true, kNotRegular},
                      PlantCase{"hard_link", PlantHardLink, false, kExists},
                      PlantCase{"hard_link_forced", PlantHardLink, true, ""},
                      PlantCase{"folder_forced", PlantFolder, true, kNotRegular},
                      PlantCase{"fifo_forced", PlantFifo, true, kNotRegular}),
    [](const auto& info) { return info.param.label; });

// --- The folder itself ----------------------------------------------------------------------

using OutputFolderTest = Scratch;

TEST_F(OutputFolderTest, AFolderSwappedForALinkMidwayIsNotFollowed) {
    const std::string out = At("out");
    ASSERT_EQ(::mkdir(out.c_str(), 0700) | ::mkdir(At("elsewhere").c_str(), 0700), 0);
    // Entries of 20000 and 9000 bytes in 4096-byte blocks: the first write comes long before
    // the second file is made.
    const std::string moved = At("moved");
    const std::string elsewhere = At("elsewhere");
    const std::string result = ExtractInto(out, kTwoFiles, false, [&] {
        // Someone renames the folder away and puts a link to another one at its name.
        EXPECT_EQ(::rename(out.c_str(), moved.c_str()) | ::symlink(elsewhere.c_str(), out.c_str()),
                  0);
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(Read(At("moved/two.bin")), kTwoFiles[1].second);
    EXPECT_FALSE(Exists(At("elsewhere/two.bin")));
}

TEST_F(OutputFolderTest, IsCreatedWhenMissingWithItsParents) {
    EXPECT_EQ(ExtractInto(At("new/deeper/"), kTwoFiles, false), "");
    EXPECT_EQ(Read(At("new/deeper/two.bin")), kTwoFiles[1].second);
}

TEST_F(OutputFolderTest, IsRefusedWhenALinkOrAFile) {
    ASSERT_EQ(::mkdir(At("real").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(At("real").c_str(), At("link").c_str()), 0);
    EXPECT_NE(ExtractInto(At("link"), kTwoFiles, true).find("is a symbolic link"),
              std::string::npos);
    EXPECT_FALSE(Exists(At("real/one.bin")));

    Write(At("file"), kOutsideBytes);
    EXPECT_NE(ExtractInto(At("file"), kTwoFiles, true).find("is not a folder"), std::string::npos);
    EXPECT_EQ(Read(At("file")), kOutsideBytes);
}

TEST_F(OutputFolderTest, ADamagedPackageLeavesOnlyTheEntriesWrittenAndNoPackageFile) {
    Bytes stream = EntryStream(kTwoFiles);
    stream.back() ^= 1;
    Write(At("setup.exe"), SetupFile(BlockStream(stream)));
    nvpack::OutputFolder output(At("out"));
    nvpack::FolderWriter writer(output, false);
    const auto inspection = nvpack::InspectSetup(At("setup.exe"), writer);
    // Both sums as "0x" and eight upper-case hexadecimal digits; the flipped bit tells them apart.
    EXPECT_THAT(inspection.Fault(),
                ::testing::MatchesRegex("checksum mismatch: stored 0x[0-9A-F]{8}, "
                                        "computed 0x[0-9A-F]{8}"));
    const std::string stored = inspection.Fault().substr(26, 10);
    const std::string computed = inspection.Fault().substr(47, 10);
    EXPECT_NE(stored, computed);
    EXPECT_EQ(std::stoul(stored, nullptr, 16) ^ std::stoul(computed, nullptr, 16), 0x1000000U);
    EXPECT_EQ(Read(At("out/two.bin")), kTwoFiles[1].second);
    EXPECT_FALSE(Exists(At("out/package.dlz")));
    EXPECT_FALSE(Exists(At("out/package.dld")));
}

// --- Bounded memory -------------------------------------------------------------------------

std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

// 300 entries with names of 32768 bytes: 9.8 MB of names in a payload of a few kilobytes.
// The listing sees every one, yet the heap never holds more than a few of them.
TEST_F(OutputFolderTest, ListingManyLongNamesKeepsTheHeapFlat) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__GLIBC__)
    GTEST_SKIP() << "no way to count heap bytes here";
#endif
    Entries entries;
    for (int i = 0; i < 300; ++i) {
        std::string name = std::to_string(100000 + i);
        name.resize(32768, 'n');
        entries.push_back({name, {}});
    }
    Write(At("setup.exe"), SetupFile(BlockStream(EntryStream(entries))));
    entries.clear();
    entries.shrink_to_fit();

    std::size_t seen = 0;
    std::size_t whole = 0;  // names that arrived with all their bytes
    std::size_t first = 0;
    std::size_t peak = 0;
    nvpack::EntryLister lister([&](const std::string& name, std::uint32_t) {
        const std::size_t now = HeapInUse();
        first = seen++ == 0 ? now : first;
        peak = std::max(peak, now);
        whole += name.size() == 32768 ? 1 : 0;
    });
    const auto inspection = nvpack::InspectSetup(At("setup.exe"), lister);
    EXPECT_EQ(inspection.Fault(), "");
    EXPECT_EQ(seen, 300U);
    EXPECT_EQ(whole, 300U);
    EXPECT_EQ(inspection.outcome.entries, 300U);
    EXPECT_LT(peak - first, 4U * 32768U) << "the heap grew by " << peak - first << " bytes";
}

}  // namespace
}  // namespace nv::package::testing
