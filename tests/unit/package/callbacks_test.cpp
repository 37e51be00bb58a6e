// What an extraction tells its caller after each unit of work: which stage, how many bytes,
// and when window messages may run, checked against the files the fake file system holds at
// that moment.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "package/block_stream.h"
#include "package/format.h"
#include "package_support.h"

namespace nv::package::testing {
namespace {

struct Unit {
    ExtractStage stage;
    std::uint64_t bytes;
    std::uint64_t consumed;
    std::size_t dlz;        // size of "package.dlz" when the unit was reported
    std::size_t dld;        // size of "package.dld"
    std::size_t extracted;  // bytes in the extracted files
    bool pumped = false;    // window messages ran after this unit
};

std::size_t SizeOf(const FakeFileSystem& fs, const std::string& path) {
    const auto found = fs.files.find(path);
    return found == fs.files.end() ? 0 : found->second.size();
}

const std::vector<std::pair<std::string, Bytes>> kEntries = {
    {"big.bin", Noise(70000, 1)},
    {"text.txt", Text(90000, 2)},
    {"empty", {}},
    {"tiny", Text(3, 3)},
};

class ExtractCallbacksTest : public ::testing::Test {
protected:
    ExtractCallbacksTest() {
        stream = EntryStream(kEntries);
        blocks = BlockStream(stream, 20000);
        fs.files["setup.exe"] = SetupFile(blocks);
        fs.CreateFolder("tmp");
        callbacks.step = [this] { ++steps; };
        callbacks.progress = [this](const ExtractProgress& p) {
            EXPECT_EQ(steps, static_cast<int>(units.size()) + 1) << "step runs first";
            std::size_t extracted = 0;
            for (const auto& [name, data] : kEntries) {
                extracted += SizeOf(fs, "tmp\\" + name);
            }
            units.push_back({p.stage, p.bytes, p.consumed, SizeOf(fs, "tmp\\package.dlz"),
                             SizeOf(fs, "tmp\\package.dld"), extracted});
        };
        callbacks.processMessages = [this] {
            ASSERT_FALSE(units.empty()) << "messages run only after a unit of work";
            EXPECT_FALSE(units.back().pumped) << "once per unit";
            units.back().pumped = true;
        };
        callbacks.entry = [this](const std::string& name, std::uint32_t size) {
            entries.emplace_back(name, size);
        };
    }

    FakeFileSystem fs;
    Bytes stream;
    Bytes blocks;
    ExtractCallbacks callbacks;
    int steps = 0;
    std::vector<Unit> units;
    std::vector<std::pair<std::string, std::uint32_t>> entries;
};

TEST_F(ExtractCallbacksTest, ReportsEveryUnitInOrderWithTheBytesItWrote) {
    ASSERT_EQ(ExtractPackage(fs, "setup.exe", "tmp", callbacks), ExtractResult::kOk);

    std::uint64_t raw = 0;
    std::uint64_t inflated = 0;
    std::uint64_t split = 0;
    std::uint64_t lastConsumed = 0;
    int rawUnits = 0;
    int blockUnits = 0;
    int cleanUps = 0;
    ExtractStage previous = ExtractStage::kRawCopy;
    for (const Unit& unit : units) {
        EXPECT_TRUE(unit.pumped);
        EXPECT_GE(unit.stage, previous) << "stages run one after the other";
        previous = unit.stage;
        switch (unit.stage) {
            case ExtractStage::kRawCopy:
                ++rawUnits;
                raw += unit.bytes;
                EXPECT_LE(unit.bytes, 32768U);
                EXPECT_EQ(unit.dlz, raw) << "reported once written";
                break;
            case ExtractStage::kInflate:
                ++blockUnits;
                inflated += unit.bytes;
                EXPECT_LE(unit.bytes, 20000U);
                EXPECT_GT(unit.consumed, lastConsumed);
                lastConsumed = unit.consumed;
                EXPECT_EQ(unit.dld, inflated);
                break;
            case ExtractStage::kSplit:
                split += unit.bytes;
                EXPECT_LE(unit.bytes, kDataChunkSize);
                EXPECT_LE(unit.extracted, split);
                break;
            case ExtractStage::kCleanUp:
                ++cleanUps;
                EXPECT_EQ(unit.bytes, 0U);
                break;
        }
    }
    EXPECT_EQ(raw, blocks.size());  // the trailer is dropped
    EXPECT_EQ(rawUnits, static_cast<int>((blocks.size() + 4 + 32767) / 32768));
    EXPECT_EQ(blockUnits, static_cast<int>((stream.size() + 19999) / 20000));
    EXPECT_EQ(inflated, stream.size());
    EXPECT_EQ(lastConsumed, blocks.size() - 2) << "every block read, the end marker not";
    EXPECT_EQ(split, stream.size());
    EXPECT_EQ(cleanUps, 2);
    EXPECT_EQ(steps, static_cast<int>(units.size()));

    const std::vector<std::pair<std::string, std::uint32_t>> expected = {
        {"big.bin", 70000}, {"text.txt", 90000}, {"empty", 0}, {"tiny", 3}};
    EXPECT_EQ(entries, expected);
}

TEST_F(ExtractCallbacksTest, ADamagedPackageReportsNoCleanUp) {
    ++stream[stream.size() - 1];  // stored checksum off
    blocks = BlockStream(stream, 20000);
    fs.files["setup.exe"] = SetupFile(blocks);
    ASSERT_EQ(ExtractPackage(fs, "setup.exe", "tmp", callbacks), ExtractResult::kDamaged);
    ASSERT_FALSE(units.empty());
    EXPECT_EQ(units.back().stage, ExtractStage::kSplit);
    EXPECT_EQ(fs.files.count("tmp\\package.dld"), 1U);
}

// An error raised while messages run (the window's own error, say) ends the extraction there.
TEST_F(ExtractCallbacksTest, AnErrorFromTheMessagePumpEndsTheExtraction) {
    int pumps = 0;
    callbacks.processMessages = [&pumps] {
        if (++pumps == 2) {
            throw Error("stop");
        }
    };
    EXPECT_THROW(ExtractPackage(fs, "setup.exe", "tmp", callbacks), Error);
    EXPECT_EQ(pumps, 2);
    EXPECT_EQ(fs.files.count("tmp\\package.dld"), 0U) << "stopped during the raw copy";
}

TEST(InflateBlocksCallback, GivesEachBlocksOutputAndTheBytesReadSoFar) {
    const Bytes stream = EntryStream({{"a", Text(50000, 4)}, {"b", Noise(30000, 5)}});
    FakeFileSystem fs;
    fs.files["src"] = BlockStream(stream, 16384);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
    EXPECT_TRUE(DecompressPackageFile(fs, "src", "dst",
                                      [&seen](std::uint64_t produced, std::uint64_t consumed) {
                                          seen.emplace_back(produced, consumed);
                                      }));
    ASSERT_EQ(seen.size(), (stream.size() + 16383) / 16384);
    std::uint64_t consumed = 0;
    const Bytes& src = fs.files["src"];
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const std::size_t expected = std::min<std::size_t>(16384, stream.size() - i * 16384);
        EXPECT_EQ(seen[i].first, expected) << i;
        consumed += 2 + ReadU16(src.data() + consumed);
        EXPECT_EQ(seen[i].second, consumed) << i;
    }
    EXPECT_EQ(fs.files["dst"], stream);
}

}  // namespace
}  // namespace nv::package::testing
