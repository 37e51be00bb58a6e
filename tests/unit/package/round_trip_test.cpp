// Writer to reader: setups built by WritePackage and by hand, extracted the way the
// installation extracts them.

#include <gtest/gtest.h>

#include "package/block_stream.h"
#include "package/extract.h"
#include "package/format.h"
#include "package_support.h"

namespace nv::package::testing {
namespace {

using Entries = std::vector<std::pair<std::string, Bytes>>;

struct RoundTripCase {
    std::string label;
    Entries entries;
    std::size_t pieceSize = 32768;
    int level = 9;
};

std::ostream& operator<<(std::ostream& out, const RoundTripCase& c) {
    return out << c.label;
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ExtractsEveryEntryAndCountsEveryStep) {
    const RoundTripCase& c = GetParam();
    FakeFileSystem fs;
    fs.files["stub.exe"] = MakeStub();
    std::vector<PackEntry> inputs;
    for (const auto& [name, data] : c.entries) {
        fs.files["in\\" + name] = data;
        inputs.push_back({name, "in\\" + name});
    }
    PackOptions options;
    options.pieceSize = c.pieceSize;
    options.level = c.level;
    const PackSummary summary = WritePackage(fs, "stub.exe", inputs, "setup.exe", options);
    EXPECT_EQ(summary.payloadOffset, kStubImageEnd);
    EXPECT_EQ(summary.entryStreamSize, EntryStream(c.entries).size());

    const Extraction extraction = Extract(fs);
    ASSERT_EQ(extraction.result, ExtractResult::kOk);
    for (const auto& [name, data] : c.entries) {
        ASSERT_EQ(fs.files.count("tmp\\" + name), 1U) << name;
        EXPECT_EQ(fs.files["tmp\\" + name], data) << name;
        // Written in pieces of up to kSplitPiece, not chunk by chunk: a piece is cut short
        // only when the next chunk would not fit.
        const std::vector<std::size_t>& writes = fs.writes["tmp\\" + name];
        for (const std::size_t size : writes) {
            EXPECT_LE(size, kSplitPiece) << name;
        }
        EXPECT_LE(writes.size(), data.size() / (kSplitPiece - kDataChunkSize) + 1) << name;
    }
    EXPECT_EQ(fs.files.count("tmp\\package.dlz"), 0U);
    EXPECT_EQ(fs.files.count("tmp\\package.dld"), 0U);
    const std::size_t payload = fs.files["setup.exe"].size() - kStubImageEnd;
    const int rawPieces = static_cast<int>((payload + 32767) / 32768);
    const int splitPieces =
        static_cast<int>((summary.entryStreamSize + kDataChunkSize - 1) / kDataChunkSize);
    // A unit of work: each raw piece, each block, each 8192-byte piece split, each deletion.
    const int units = rawPieces + static_cast<int>(summary.blocks) + splitPieces + 2;
    EXPECT_EQ(extraction.steps, units);
    EXPECT_EQ(extraction.messagePumps, units);
}

Entries ProductLike() {
    return {{"Sorvelin.exe", Noise(40000, 1)},
            {"Norvis.exe", Text(150000, 2)},
            {"Norvis.hlp", Text(20000, 3)},
            {"Norvis_uk.hlp", Text(19000, 4)},
            {"brannok.wav", Noise(3272, 5)},
            {"NV.OBJ", Text(55, 6)},
            {"Deutsch.lng", {}},
            {"English.lng", {}}};
}

INSTANTIATE_TEST_SUITE_P(
    Package, RoundTrip,
    ::testing::Values(
        RoundTripCase{"no_entries", {}},
        RoundTripCase{"empty_entries", {{"a.lng", {}}, {"b.txt", Text(10, 1)}, {"c.lng", {}}}},
        RoundTripCase{"chunk_boundaries",
                      {{"a", Text(8191, 1)},
                       {"b", Text(8192, 2)},
                       {"c", Text(8193, 3)},
                       {"d", Text(16384, 4)},
                       {"e", Noise(16383, 5)},
                       {"f", Noise(24577, 6)}}},
        RoundTripCase{"entry_across_blocks", {{"big.bin", Text(300000, 7)}}, 32768},
        RoundTripCase{"split_piece_boundaries",
                      {{"a", Text(kSplitPiece - 1, 15)},
                       {"b", Text(kSplitPiece, 16)},
                       {"c", Noise(kSplitPiece + 1, 17)},
                       {"d", Text(3 * kSplitPiece + kDataChunkSize + 5, 18)}}},
        RoundTripCase{"mixed_block_sizes",
                      {{"t1", Text(70000, 8)}, {"n", Noise(70000, 9)}, {"t2", Text(9000, 10)}},
                      5000},
        RoundTripCase{"incompressible", {{"noise.bin", Noise(200000, 11)}}},
        RoundTripCase{"stored_level_0", {{"noise.bin", Noise(100000, 12)}}, 32768, 0},
        RoundTripCase{"large_pieces", {{"text", Text(500000, 13)}}, 1 << 20},
        RoundTripCase{"tiny_pieces", {{"x", Text(3000, 14)}, {"y", {}}}, 7},
        RoundTripCase{"product_like", ProductLike()}),
    [](const auto& info) { return info.param.label; });

// Every block stays within the reader's 32768-byte input buffer, and incompressible data is
// cut into smaller pieces rather than overflowing it.
TEST(PackageWriter, BlocksNeverExceedTheReadersBuffer) {
    for (const int level : {0, 1, 9}) {
        const Bytes noise = Noise(100000, 20);
        Deflater deflater(level);
        Bytes blocks;
        const std::uint32_t count = deflater.CompressPiece(noise.data(), noise.size(), blocks);
        EXPECT_GT(count, 3U) << "level " << level;
        std::size_t at = 0;
        std::uint32_t seen = 0;
        while (at < blocks.size()) {
            const std::size_t length = ReadU16(&blocks[at]);
            EXPECT_GE(length, 1U);
            EXPECT_LE(length, kMaxBlockLength);
            at += 2 + length;
            ++seen;
        }
        EXPECT_EQ(at, blocks.size());
        EXPECT_EQ(seen, count);
    }
}

TEST(PackageWriter, CompressesAtTheRequestedLevel) {
    const Bytes text = Text(32768, 21);
    Deflater best(9);
    Bytes blocks;
    ASSERT_EQ(best.CompressPiece(text.data(), text.size(), blocks), 1U);
    EXPECT_EQ(blocks[2], 0x78);
    EXPECT_EQ(blocks[3], 0xDA);  // the header zlib writes at its highest level
    EXPECT_LT(blocks.size(), text.size() / 4);
}

// The final raw piece can hold the trailer alone or part of it: then nothing is dropped and
// the trailer's bytes stay behind the end marker, where they are never read.
class ShortFinalPiece : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ShortFinalPiece, KeepsOrDropsTheTrailerAndExtractsTheSame) {
    const std::size_t finalPiece = GetParam();
    const Entries entries = {{"data.bin", Noise(50000, 30)}, {"empty", {}}};
    Bytes blocks = BlockStream(EntryStream(entries));
    // Pad behind the end marker so that the payload, trailer included, leaves `finalPiece`
    // bytes for the last 32768-byte read.
    const std::size_t unpadded = blocks.size() + kTrailerSize;
    blocks.resize(blocks.size() + (32768 + finalPiece - unpadded % 32768) % 32768, 0xEE);
    FakeFileSystem fs;
    fs.files["setup.exe"] = SetupFile(blocks);
    ASSERT_EQ((fs.files["setup.exe"].size() - kStubImageEnd) % 32768, finalPiece % 32768);

    const auto setup = fs.OpenRead("setup.exe");
    const auto location = LocatePayload(*setup);
    ASSERT_TRUE(location);
    CopyPayloadRaw(fs, *setup, *location, "raw", {});
    Bytes expected = blocks;
    if (finalPiece <= kTrailerSize) {
        AppendU32(expected, kStubImageEnd);
    }
    EXPECT_EQ(fs.files["raw"], expected);

    ASSERT_EQ(Extract(fs).result, ExtractResult::kOk);
    EXPECT_EQ(fs.files["tmp\\data.bin"], entries[0].second);
    EXPECT_TRUE(fs.files["tmp\\empty"].empty());
}

INSTANTIATE_TEST_SUITE_P(Package, ShortFinalPiece, ::testing::Values(1, 2, 3, 4, 5, 32768));

TEST(DecompressPackageFile, RefusesEqualPathsWithoutTouchingAnything) {
    FakeFileSystem fs;
    fs.files["p"] = BlockStream(EntryStream({{"a", Text(100, 1)}}));
    const Bytes before = fs.files["p"];
    EXPECT_FALSE(DecompressPackageFile(fs, "p", "p"));
    EXPECT_EQ(fs.files["p"], before);
    EXPECT_EQ(fs.files.size(), 1U);
}

TEST(DecompressPackageFile, ReplacesAnOldDestinationWithTheJoinedOutput) {
    FakeFileSystem fs;
    const Bytes stream = EntryStream({{"a", Text(70000, 1)}, {"b", Noise(40000, 2)}});
    fs.files["src"] = BlockStream(stream, 10000);
    fs.files["dst"] = Noise(500000, 3);
    EXPECT_TRUE(DecompressPackageFile(fs, "src", "dst"));
    EXPECT_EQ(fs.files["dst"], stream);
}

// A block that inflates to far more than the buffers hold is written out as it comes.
TEST(DecompressPackageFile, StreamsABlockWithAHugeOutput) {
    FakeFileSystem fs;
    const Bytes zeros(8 << 20, 0);
    Deflater deflater(9);
    Bytes blocks;
    ASSERT_EQ(deflater.CompressPiece(zeros.data(), zeros.size(), blocks), 1U);
    AppendU16(blocks, 0);
    fs.files["src"] = blocks;
    EXPECT_TRUE(DecompressPackageFile(fs, "src", "dst"));
    EXPECT_EQ(fs.files["dst"], zeros);
}

}  // namespace
}  // namespace nv::package::testing
