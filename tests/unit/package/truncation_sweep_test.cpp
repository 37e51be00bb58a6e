// A small setup cut at every byte of its payload, and every payload byte flipped: each variant
// ends in an outcome its damaged region allows, never in a crash, never with a byte in an
// extracted file that the original entry does not hold at that place.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <set>

#include "base/error.h"
#include "package/format.h"
#include "package_support.h"

namespace nv::package::testing {
namespace {

using Entries = std::vector<std::pair<std::string, Bytes>>;

enum class Outcome { kOk, kNoPackage, kDamaged, kError };

std::ostream& operator<<(std::ostream& out, Outcome outcome) {
    static const char* const kNames[] = {"ok", "no package", "damaged", "error"};
    return out << kNames[static_cast<int>(outcome)];
}

const Entries& Files() {
    static const Entries files = {{"a.txt", Text(150, 1)}, {"b.bin", Noise(60, 2)}, {"c.lng", {}}};
    return files;
}

// Which part of the setup a byte belongs to.
enum class Region { kBlockLength, kLastBlockLength, kBlockData, kEndMarker, kIgnored, kTrailer };

struct Block {
    std::size_t start = 0;  // of its zlib stream, counted from the payload's start
    std::size_t length = 0;
};

struct Sample {
    Bytes setup;
    std::vector<Region> regions;  // one per byte from the payload's start
    std::vector<Block> blocks;
};

// Stub | blocks of at most 100 entry-stream bytes | end marker | 5 ignored bytes | trailer.
const Sample& SmallSetup() {
    static const Sample sample = [] {
        Sample s;
        const Bytes blocks = BlockStream(EntryStream(Files()), 100);
        std::size_t at = 0;
        while (ReadU16(&blocks[at]) != 0) {
            const std::size_t length = ReadU16(&blocks[at]);
            const bool last = ReadU16(&blocks[at + 2 + length]) == 0;
            s.regions.insert(s.regions.end(), 2,
                             last ? Region::kLastBlockLength : Region::kBlockLength);
            s.regions.insert(s.regions.end(), length, Region::kBlockData);
            s.blocks.push_back({at + 2, length});
            at += 2 + length;
        }
        s.regions.insert(s.regions.end(), 2, Region::kEndMarker);
        s.regions.insert(s.regions.end(), 5, Region::kIgnored);
        s.regions.insert(s.regions.end(), kTrailerSize, Region::kTrailer);
        s.setup = MakeStub();
        Append(s.setup, blocks);
        Append(s.setup, {0x5A, 0x00, 0x13, 0xFF, 0x80});
        AppendU32(s.setup, kStubImageEnd);
        return s;
    }();
    return sample;
}

// Extracts `setup` and checks what it left behind: only files inside the temporary folder,
// only the entries' names and the two package files, each entry a prefix of the original
// (the whole of it when the extraction succeeded).
Outcome ExtractAndCheck(const Bytes& setup, const std::string& label) {
    FakeFileSystem fs;
    fs.files["setup.exe"] = setup;
    Outcome outcome = Outcome::kOk;
    try {
        switch (Extract(fs).result) {
            case ExtractResult::kOk:
                outcome = Outcome::kOk;
                break;
            case ExtractResult::kNoPackage:
                outcome = Outcome::kNoPackage;
                break;
            case ExtractResult::kDamaged:
                outcome = Outcome::kDamaged;
                break;
        }
    } catch (const Error& error) {
        EXPECT_STRNE(error.what(), "") << label;
        outcome = Outcome::kError;
    }
    for (const auto& [path, data] : fs.files) {
        if (path == "setup.exe" || path == "tmp\\package.dlz" || path == "tmp\\package.dld") {
            continue;
        }
        const Bytes* original = nullptr;
        for (const auto& [name, bytes] : Files()) {
            if (path == "tmp\\" + name) {
                original = &bytes;
            }
        }
        if (original == nullptr) {
            ADD_FAILURE() << label << ": unexpected file " << path;
            continue;
        }
        if (data.size() > original->size()) {
            ADD_FAILURE() << label << ": " << path << " is longer than its entry";
            continue;
        }
        EXPECT_TRUE(std::equal(data.begin(), data.end(), original->begin()))
            << label << ": " << path << " holds bytes the entry does not";
        if (outcome == Outcome::kOk) {
            EXPECT_EQ(data.size(), original->size()) << label << ": " << path;
        }
    }
    if (outcome == Outcome::kOk) {
        for (const auto& [name, bytes] : Files()) {
            EXPECT_EQ(fs.files.count("tmp\\" + name), 1U) << label << ": " << name;
        }
    }
    return outcome;
}

// True when the block holding payload byte `at` of `flipped` still inflates, on its own with
// zlib, to what it held before: the flip hit bits the deflate format leaves unused (the last
// byte's padding), so the package is as good as before.
bool InflatesAsBefore(const Sample& sample, const Bytes& flipped, std::size_t at) {
    for (const Block& block : sample.blocks) {
        if (at < block.start || at >= block.start + block.length) {
            continue;
        }
        const auto inflate = [&block](const unsigned char* data, Bytes& out) {
            out.assign(1000, 0);
            auto size = static_cast<uLongf>(out.size());
            const int status =
                uncompress(out.data(), &size, data + block.start, static_cast<uLong>(block.length));
            out.resize(size);
            return status == Z_OK;
        };
        Bytes before;
        Bytes after;
        const bool intact = inflate(sample.setup.data() + kStubImageEnd, before);
        return intact && inflate(flipped.data() + kStubImageEnd, after) && after == before;
    }
    return false;
}

std::set<Outcome> Allowed(Region region) {
    switch (region) {
        case Region::kBlockLength:
            return {Outcome::kDamaged, Outcome::kError};
        case Region::kLastBlockLength:
            // A longer last block still inflates (zlib stops at its stream's end); what then
            // reads as a block length ends the block stream behind a complete entry stream.
            return {Outcome::kOk, Outcome::kDamaged, Outcome::kError};
        case Region::kBlockData:
            return {Outcome::kDamaged, Outcome::kError};
        case Region::kEndMarker:
            // The entry stream is complete before it; a length read there either ends the
            // block stream (too long, cut short) or inflates garbage.
            return {Outcome::kOk, Outcome::kDamaged, Outcome::kError};
        case Region::kIgnored:
            return {Outcome::kOk};
        case Region::kTrailer:
            return {Outcome::kNoPackage, Outcome::kDamaged, Outcome::kError};
    }
    return {};
}

TEST(TruncationSweep, TheIntactSetupExtractsWhole) {
    const Sample& sample = SmallSetup();
    ASSERT_LT(sample.setup.size(), kStubImageEnd + 400);
    ASSERT_EQ(sample.regions.size(), sample.setup.size() - kStubImageEnd);
    EXPECT_EQ(ExtractAndCheck(sample.setup, "intact"), Outcome::kOk);
}

TEST(TruncationSweep, ASetupCutAtAnyByteNeverSucceeds) {
    const Sample& sample = SmallSetup();
    std::set<Outcome> seen;
    for (std::size_t length = kStubImageEnd; length < sample.setup.size(); ++length) {
        const Bytes cut = Prefix(sample.setup, length);
        const std::string label = "cut at " + std::to_string(length);
        const Outcome outcome = ExtractAndCheck(cut, label);
        EXPECT_NE(outcome, Outcome::kOk) << label;
        seen.insert(outcome);
    }
    // A trailer taken from the block stream's bytes mostly names no payload.
    EXPECT_TRUE(seen.count(Outcome::kNoPackage));
}

TEST(TruncationSweep, EveryFlippedByteEndsAsItsRegionAllows) {
    const Sample& sample = SmallSetup();
    std::map<Region, std::set<Outcome>> seen;
    int unusedBits = 0;
    for (std::size_t at = 0; at < sample.regions.size(); ++at) {
        for (const unsigned char mask : {0xFF, 0x01, 0x80}) {
            Bytes flipped = sample.setup;
            flipped[kStubImageEnd + at] ^= mask;
            const std::string label =
                "byte " + std::to_string(at) + " of the payload ^ " + std::to_string(mask);
            const Region region = sample.regions[at];
            const Outcome outcome = ExtractAndCheck(flipped, label);
            if (region == Region::kBlockData && InflatesAsBefore(sample, flipped, at)) {
                EXPECT_EQ(outcome, Outcome::kOk) << label;
                ++unusedBits;
                continue;
            }
            EXPECT_TRUE(Allowed(region).count(outcome)) << label << " gave " << outcome;
            seen[region].insert(outcome);
        }
    }
    // Every region was hit, zlib's check caught every change to compressed data that
    // mattered, and only a few flips fell on unused bits.
    EXPECT_EQ(seen.size(), 6U);
    EXPECT_EQ(seen[Region::kBlockData], std::set<Outcome>{Outcome::kError});
    EXPECT_LT(unusedBits, static_cast<int>(sample.blocks.size()) * 3);
}

}  // namespace
}  // namespace nv::package::testing
