// Malformed setups: each ends as "no package", "damaged" or an error with a clear text, never
// with a crash, stale bytes in a file, or a file outside the temporary folder.

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>

#include "base/error.h"
#include "package/format.h"
#include "package/locate.h"
#include "package_support.h"

namespace nv::package::testing {
namespace {

using Entries = std::vector<std::pair<std::string, Bytes>>;

const Entries kTwoFiles = {{"first.bin", Text(20000, 1)}, {"second.bin", Noise(9000, 2)}};

// Extracts a setup whose payload is `blocks` (a block stream as it stands).
Extraction ExtractBlocks(FakeFileSystem& fs, const Bytes& blocks) {
    fs.files["setup.exe"] = SetupFile(blocks);
    return Extract(fs);
}

// Everything the extraction created lies inside "tmp".
void ExpectOnlyTemporaryFiles(const FakeFileSystem& fs) {
    for (const auto& [path, data] : fs.files) {
        EXPECT_TRUE(path == "setup.exe" || path.rfind("tmp\\", 0) == 0) << path;
    }
}

// --- Trailer --------------------------------------------------------------------------------

struct TrailerCase {
    std::string label;
    std::int64_t offset;  // written as the trailer's u32; relative values are resolved below
};

class NoPackage : public ::testing::TestWithParam<TrailerCase> {};

TEST_P(NoPackage, IsReportedWithoutTouchingTheFolder) {
    Bytes setup = MakeStub();
    Append(setup, BlockStream(EntryStream(kTwoFiles)));
    const std::int64_t size = static_cast<std::int64_t>(setup.size()) + 4;
    std::int64_t offset = GetParam().offset;
    if (offset == -1) {
        offset = size + 1;  // one beyond the file
    }
    AppendU32(setup, static_cast<std::uint32_t>(offset));
    FakeFileSystem fs;
    fs.files["setup.exe"] = setup;
    const Extraction extraction = Extract(fs);
    EXPECT_EQ(extraction.result, ExtractResult::kNoPackage);
    EXPECT_EQ(extraction.steps, 0);
    EXPECT_EQ(fs.files.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Trailer, NoPackage,
                         ::testing::Values(TrailerCase{"zero", 0},
                                           TrailerCase{"inside_headers", 64},
                                           TrailerCase{"one_before_image_end", kStubImageEnd - 1},
                                           TrailerCase{"beyond_file", -1},
                                           TrailerCase{"negative_as_signed", 0x80000400},
                                           TrailerCase{"all_ones", 0xFFFFFFFF}),
                         [](const auto& info) { return info.param.label; });

TEST(Trailer, AFileThatIsNoPeImageHasNoPackage) {
    FakeFileSystem fs;
    Bytes setup = SetupFile(BlockStream(EntryStream(kTwoFiles)));
    setup[0] = 'X';
    fs.files["setup.exe"] = setup;
    EXPECT_EQ(Extract(fs).result, ExtractResult::kNoPackage);

    Bytes badSignature = SetupFile(BlockStream(EntryStream(kTwoFiles)));
    badSignature[0x41] = 'X';
    fs.files["setup.exe"] = badSignature;
    EXPECT_EQ(Extract(fs).result, ExtractResult::kNoPackage);

    fs.files["setup.exe"] = {'M', 'Z', 0};
    EXPECT_EQ(Extract(fs).result, ExtractResult::kNoPackage);
    fs.files["setup.exe"] = {};
    EXPECT_EQ(Extract(fs).result, ExtractResult::kNoPackage);
}

TEST(Trailer, AStubWithoutPayloadHasNoPackage) {
    FakeFileSystem fs;
    fs.files["setup.exe"] = MakeStub();  // its last four bytes are zero
    EXPECT_EQ(Extract(fs).result, ExtractResult::kNoPackage);
}

TEST(Trailer, TheLowerBoundIsTheEndOfTheLastSectionsRawData) {
    Bytes stub = MakeStub();
    // A second section behind the first moves the image end to 1536.
    unsigned char* pe = &stub[0x40];
    WriteU16(pe + 6, 2);
    unsigned char* second = pe + 24 + 240 + 40;
    WriteU32(second + 16, 512);
    WriteU32(second + 20, 1024);
    stub.resize(1536, 0);
    const Bytes blocks = BlockStream(EntryStream(kTwoFiles));
    for (const std::uint32_t offset : {1024U, 1536U}) {
        Bytes setup = stub;
        Append(setup, blocks);
        AppendU32(setup, offset);
        FakeFileSystem fs;
        fs.files["setup.exe"] = setup;
        const auto file = fs.OpenRead("setup.exe");
        const auto location = LocatePayload(*file);
        EXPECT_EQ(location.has_value(), offset == 1536U) << offset;
    }
}

TEST(Trailer, AnOffsetAtTheVeryEndIsAnEmptyAndDamagedPackage) {
    Bytes setup = MakeStub();
    AppendU32(setup, static_cast<std::uint32_t>(setup.size() + 4));
    FakeFileSystem fs;
    fs.files["setup.exe"] = setup;
    EXPECT_EQ(Extract(fs).result, ExtractResult::kDamaged);
    ExpectOnlyTemporaryFiles(fs);
}

// --- Block stream ---------------------------------------------------------------------------

TEST(BlockStream, ABlockLengthAbove32768EndsDecompressionAsDamaged) {
    Bytes blocks = BlockStream(EntryStream(kTwoFiles), 8000);
    const std::size_t firstLength = ReadU16(blocks.data());
    Bytes broken = Prefix(blocks, 2 + firstLength);
    AppendU16(broken, 32769);
    broken.resize(broken.size() + 32769, 0x11);
    AppendU16(broken, 0);
    FakeFileSystem fs;
    EXPECT_EQ(ExtractBlocks(fs, broken).result, ExtractResult::kDamaged);
    ExpectOnlyTemporaryFiles(fs);
    // The first block's 8000 bytes reached the first file and nothing more.
    EXPECT_EQ(fs.files["tmp\\first.bin"].size(), 8000U - 2 - 9 - 4);
}

TEST(BlockStream, ABlockShorterThanItsLengthIsDamaged) {
    Bytes blocks = BlockStream(EntryStream(kTwoFiles), 8000);
    blocks.resize(blocks.size() - 40);  // cuts into the last block; no end marker
    FakeFileSystem fs;
    EXPECT_EQ(ExtractBlocks(fs, blocks).result, ExtractResult::kDamaged);
    ExpectOnlyTemporaryFiles(fs);
}

TEST(BlockStream, AStreamEndingBeforeItsZeroLengthIsDamaged) {
    const Bytes stream = EntryStream(kTwoFiles);
    Bytes blocks = BlockStream(Bytes(stream.begin(), stream.begin() + 16000), 8000);
    blocks.resize(blocks.size() - 2);  // no end marker either
    FakeFileSystem fs;
    EXPECT_EQ(ExtractBlocks(fs, blocks).result, ExtractResult::kDamaged);
    EXPECT_TRUE(fs.files.count("tmp\\package.dld"));  // kept for inspection
}

TEST(BlockStream, ABlockThatDoesNotInflateRaisesError) {
    Bytes blocks = BlockStream(EntryStream(kTwoFiles), 8000);
    blocks[2 + 10] ^= 0xFF;  // inside the first block's deflate data
    FakeFileSystem fs;
    try {
        ExtractBlocks(fs, blocks);
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::kInflateFailed);
    }
    ExpectOnlyTemporaryFiles(fs);
}

TEST(BlockStream, ABlockHoldingAnUnfinishedZlibStreamRaisesError) {
    const Bytes whole = BlockStream(EntryStream(kTwoFiles), 8000);
    const std::size_t length = ReadU16(whole.data());
    Bytes blocks;
    AppendU16(blocks, static_cast<std::uint16_t>(length - 20));
    blocks.insert(blocks.end(), whole.begin() + 2,
                  whole.begin() + 2 + static_cast<std::ptrdiff_t>(length) - 20);
    AppendU16(blocks, 0);
    FakeFileSystem fs;
    EXPECT_THROW(ExtractBlocks(fs, blocks), Error);
}

TEST(BlockStream, GarbageThatIsNoZlibStreamRaisesError) {
    Bytes blocks;
    AppendU16(blocks, 5);
    Append(blocks, {1, 2, 3, 4, 5});
    AppendU16(blocks, 0);
    FakeFileSystem fs;
    EXPECT_THROW(ExtractBlocks(fs, blocks), Error);
}

// --- Entry stream ---------------------------------------------------------------------------

TEST(EntryStream, EndingInsideAnEntryWritesOnlyTheBytesThatArrived) {
    const Bytes stream = EntryStream(kTwoFiles);
    const std::size_t secondDataStart = 2 + 9 + 4 + 20000 + 2 + 10 + 4;
    for (const std::size_t cut : {secondDataStart + 8192, secondDataStart + 100, secondDataStart}) {
        FakeFileSystem fs;
        EXPECT_EQ(ExtractBlocks(fs, BlockStream(Prefix(stream, cut))).result,
                  ExtractResult::kDamaged);
        EXPECT_EQ(fs.files["tmp\\first.bin"], kTwoFiles[0].second);
        EXPECT_EQ(fs.files["tmp\\second.bin"], Prefix(kTwoFiles[1].second, cut - secondDataStart));
    }
}

TEST(EntryStream, EndingInsideANameOrSizeCreatesNoFile) {
    const Bytes stream = EntryStream(kTwoFiles);
    const std::size_t secondHeader = 2 + 9 + 4 + 20000;
    for (const std::size_t cut :
         {secondHeader + 1, secondHeader + 2, secondHeader + 7, secondHeader + 2 + 10 + 3}) {
        FakeFileSystem fs;
        EXPECT_EQ(ExtractBlocks(fs, BlockStream(Prefix(stream, cut))).result,
                  ExtractResult::kDamaged)
            << cut;
        EXPECT_EQ(fs.files.count("tmp\\second.bin"), 0U) << cut;
    }
}

// A checksum cut short must not be completed from old buffer contents: with the sum of the
// data bytes ending in the bytes that did arrive, a stale tail would make it match.
TEST(EntryStream, EndingBeforeTheChecksumIsDamaged) {
    const Entries zeros = {{"zeros", Bytes(100, 0)}};  // checksum 0: stale zeros would match
    const Bytes stream = EntryStream(zeros);
    for (std::size_t keep = 0; keep < 4; ++keep) {
        FakeFileSystem fs;
        const Bytes cut(stream.begin(), stream.end() - 4 + static_cast<std::ptrdiff_t>(keep));
        EXPECT_EQ(ExtractBlocks(fs, BlockStream(cut)).result, ExtractResult::kDamaged) << keep;
    }
    FakeFileSystem fs;
    const Bytes noMarker(stream.begin(), stream.end() - 6);
    EXPECT_EQ(ExtractBlocks(fs, BlockStream(noMarker)).result, ExtractResult::kDamaged);
}

TEST(EntryStream, ANameLengthAbove32768IsDamagedAndCreatesNothing) {
    Bytes stream;
    AppendU16(stream, 40000);
    stream.resize(stream.size() + 40000, 'a');
    AppendU32(stream, 0);
    AppendU16(stream, 0);
    AppendU32(stream, 0);
    FakeFileSystem fs;
    EXPECT_EQ(ExtractBlocks(fs, BlockStream(stream)).result, ExtractResult::kDamaged);
    for (const auto& [path, data] : fs.files) {
        EXPECT_TRUE(path == "setup.exe" || path == "tmp\\package.dlz" || path == "tmp\\package.dld")
            << path;
    }
}

TEST(EntryStream, AChecksumMismatchIsDamagedAndKeepsEveryFile) {
    Bytes stream = EntryStream(kTwoFiles);
    stream.back() ^= 0x01;
    FakeFileSystem fs;
    EXPECT_EQ(ExtractBlocks(fs, BlockStream(stream)).result, ExtractResult::kDamaged);
    EXPECT_EQ(fs.files["tmp\\first.bin"], kTwoFiles[0].second);
    EXPECT_EQ(fs.files["tmp\\second.bin"], kTwoFiles[1].second);
    EXPECT_TRUE(fs.files.count("tmp\\package.dlz"));
    EXPECT_EQ(fs.files["tmp\\package.dld"], stream);
}

TEST(EntryStream, BytesAfterTheChecksumAreIgnored) {
    Bytes stream = EntryStream(kTwoFiles);
    Append(stream, Noise(1000, 9));
    FakeFileSystem fs;
    EXPECT_EQ(ExtractBlocks(fs, BlockStream(stream)).result, ExtractResult::kOk);
}

// A name, and the code page the files are made in when it is not Windows-1252.
struct NameRow {
    NameRow(const char* name, const char* codePage = nullptr) : name(name), codePage(codePage) {}
    NameRow(std::string name) : name(std::move(name)) {}
    std::string name;
    const char* codePage = nullptr;

    friend void PrintTo(const NameRow& row, std::ostream* out) {
        *out << ::testing::PrintToString(row.name) << " in "
             << (row.codePage != nullptr ? row.codePage : "CP1252");
    }
};

class UnsafeName : public ::testing::TestWithParam<NameRow> {};

TEST_P(UnsafeName, MakesThePackageDamagedAndIsNeverCreated) {
    const std::string name = GetParam().name;
    FakeFileSystem fs;
    if (GetParam().codePage != nullptr) {
        fs.nameConverter = CodePageConverter(GetParam().codePage);
    }
    const Entries entries = {{"ok.txt", Text(10, 1)}, {name, Text(10, 2)}};
    EXPECT_EQ(ExtractBlocks(fs, BlockStream(EntryStream(entries))).result, ExtractResult::kDamaged);
    EXPECT_EQ(fs.files["tmp\\ok.txt"], entries[0].second);
    for (const auto& [path, data] : fs.files) {
        EXPECT_TRUE(path == "setup.exe" || path == "tmp\\ok.txt" || path == "tmp\\package.dlz" ||
                    path == "tmp\\package.dld")
            << path;
    }
    EXPECT_EQ(fs.files["tmp\\package.dld"], EntryStream(entries));  // not overwritten
}

INSTANTIATE_TEST_SUITE_P(
    EntryNames, UnsafeName,
    ::testing::Values("..\\evil.exe", "../evil.exe", "sub\\x", "C:x", "a*b", "a?b", "a\"b", "a<b",
                      "a>b", "a|b", std::string("a\001b"), std::string("tab\tname"), ".", "..",
                      "trailing.", "trailing ", "CON", "con.txt", "Nul", "AUX.wav", "prn", "COM1",
                      "lpt9.x", "CON .txt", "COM0", "lpt0.txt", "COM\271", "lpt\262.log",
                      "Com\263 .x", "CONIN$", "conout$", "CLOCK$", "Conin$.txt", "package.dld",
                      "PACKAGE.DLZ", "Package.Dlz",
                      // A9 F6, A9 F7 and A9 F8 are the superscripts one to three in code page
                      // 949; A9 alone is cut off.
                      NameRow("COM\xA9\xF6", "CP949"), NameRow("lpt\xA9\xF7.txt", "CP949"),
                      NameRow("Com\xA9\xF8 .x", "CP949"), NameRow("cut\xA9", "CP949"),
                      NameRow("\x95\x5C.txt")));  // "•\" in Windows-1252

TEST(EntryNames, PlainNamesAreAccepted) {
    for (const NameRow& row : std::initializer_list<NameRow>{
             "Norvis.exe", "Norvis_uk.hlp", "NV.OBJ", "a", "COM10", "LPT00", "COM\274",
             "LPT\271\262", "CONSOLE.txt", "CONIN", "CONOUT$2", "CLOCK", "x.lng", ".hidden",
             "name with blanks.txt", "\374ber.txt", "package.dlz.bak", "COM\xA9\xF6",
             // In code page 932 the trail byte 5C is no backslash: 95 5C is one character.
             NameRow("\x95\x5C.txt", "CP932"), NameRow("\xC7\xD1\xB1\xDB.txt", "CP949")}) {
        const NameConverter convert =
            row.codePage != nullptr ? CodePageConverter(row.codePage) : Windows1252ToUtf16;
        EXPECT_TRUE(IsPlainEntryName(row.name, convert)) << ::testing::PrintToString(row);
    }
    EXPECT_FALSE(IsPlainEntryName("", Windows1252ToUtf16));
    EXPECT_FALSE(IsPlainEntryName(std::string(32769, 'a'), Windows1252ToUtf16));
}

}  // namespace
}  // namespace nv::package::testing
