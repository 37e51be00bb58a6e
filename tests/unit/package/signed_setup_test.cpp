// Setups signed after they were built: the signature's certificate table ends the file, and
// the trailer is found in front of it, with or without the zero padding a signing tool adds.

#include <gtest/gtest.h>

#include "package/format.h"
#include "package/locate.h"
#include "package_support.h"

namespace nv::package::testing {
namespace {

using Entries = std::vector<std::pair<std::string, Bytes>>;

const Entries kFiles = {
    {"Norvis.exe", Noise(3000, 1)}, {"norvis.hlp", Text(9000, 2)}, {"empty.lng", {}}};

// An unsigned setup whose length leaves `remainder` modulo 8: bytes the reader ignores are put
// between the end marker and the trailer.
Bytes UnsignedSetup(std::size_t remainder) {
    Bytes setup = MakeStub();
    Append(setup, BlockStream(EntryStream(kFiles)));
    while ((setup.size() + kTrailerSize) % 8 != remainder) {
        setup.push_back(0xA5);
    }
    AppendU32(setup, kStubImageEnd);
    return setup;
}

std::optional<PayloadLocation> Locate(FakeFileSystem& fs, const Bytes& setup) {
    fs.files["setup.exe"] = setup;
    const auto file = fs.OpenRead("setup.exe");
    return LocatePayload(*file);
}

void ExpectExtractsWhole(FakeFileSystem& fs, const Bytes& setup, const Entries& files = kFiles) {
    fs.files["setup.exe"] = setup;
    ASSERT_EQ(Extract(fs).result, ExtractResult::kOk);
    for (const auto& [name, data] : files) {
        EXPECT_EQ(fs.files["tmp\\" + name], data) << name;
    }
    EXPECT_EQ(fs.files.count("tmp\\package.dlz"), 0U);
}

class SignedSetup : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SignedSetup, FindsTheTrailerBehindTheSignersPadding) {
    const Bytes original = UnsignedSetup(GetParam());
    for (const bool pe32 : {false, true}) {
        Bytes setup = original;
        const std::size_t table = SignSetup(setup, 1200, 7, pe32);
        EXPECT_EQ(table - original.size(), (8 - original.size() % 8) % 8);
        FakeFileSystem fs;
        const auto location = Locate(fs, setup);
        ASSERT_TRUE(location.has_value()) << pe32;
        EXPECT_EQ(location->offset, kStubImageEnd);
        EXPECT_EQ(location->end, original.size());

        // The raw copy stops before the padding and drops the trailer: nothing of the
        // signature reaches the package file.
        CopyPayloadRaw(fs, *fs.OpenRead("setup.exe"), *location, "raw.dlz", {});
        EXPECT_EQ(fs.files["raw.dlz"],
                  Bytes(original.begin() + kStubImageEnd, original.end() - kTrailerSize));
        ExpectExtractsWhole(fs, setup);
    }
}

TEST_P(SignedSetup, NvpackPadsSoThatTheSignerAddsNothing) {
    // Entry sizes chosen so that the unpadded setups cover every remainder modulo 8.
    const std::size_t extra = GetParam();
    FakeFileSystem fs;
    fs.files["stub.exe"] = MakeStub();
    Entries entries;
    std::size_t unpadded = 0;
    for (std::size_t size = 100;; ++size) {
        entries = {{"a.bin", Noise(size, 3)}, {"b.txt", Text(500, 4)}};
        unpadded = SetupFile(BlockStream(EntryStream(entries))).size();
        if (unpadded % 8 == extra) {
            break;
        }
    }
    std::vector<PackEntry> inputs;
    for (const auto& [name, data] : entries) {
        fs.files[name] = data;
        inputs.push_back({name, name});
    }
    WritePackage(fs, "stub.exe", inputs, "setup.exe", {});
    Bytes setup = fs.files["setup.exe"];
    ASSERT_EQ(setup.size() % 8, 0U);
    ASSERT_EQ(setup.size(), unpadded + (8 - extra) % 8);
    // Stub, block stream, zero padding, trailer.
    Bytes expected = MakeStub();
    Append(expected, BlockStream(EntryStream(entries)));
    expected.resize(setup.size() - kTrailerSize, 0);
    AppendU32(expected, kStubImageEnd);
    EXPECT_EQ(setup, expected);

    const Bytes built = setup;
    EXPECT_EQ(SignSetup(setup, 900), built.size());
    const auto location = Locate(fs, setup);
    ASSERT_TRUE(location.has_value());
    EXPECT_EQ(location->end, built.size());
    ExpectExtractsWhole(fs, setup, entries);
}

INSTANTIATE_TEST_SUITE_P(LengthModulo8, SignedSetup, ::testing::Range<std::size_t>(0, 8));

// --- What is not a signed setup ------------------------------------------------------------

TEST(SignedSetupFaults, MoreThanSevenZeroBytesAreNoSignerPadding) {
    Bytes setup = UnsignedSetup(0);
    setup.resize(setup.size() + 8, 0);
    SignSetup(setup, 600);
    FakeFileSystem fs;
    EXPECT_FALSE(Locate(fs, setup).has_value());
    EXPECT_EQ(Extract(fs).result, ExtractResult::kNoPackage);
    EXPECT_EQ(fs.files.size(), 1U);
}

TEST(SignedSetupFaults, NonZeroBytesBeforeTheTableHideTheTrailer) {
    for (const unsigned char junk : {0x01, 0x80, 0xFF}) {
        Bytes setup = UnsignedSetup(5);
        setup.push_back(junk);
        SignSetup(setup, 600);
        FakeFileSystem fs;
        EXPECT_FALSE(Locate(fs, setup).has_value()) << int{junk};
    }
}

TEST(SignedSetupFaults, ASignedStubWithoutPayloadHasNoPackage) {
    Bytes stub = MakeStub();
    SignSetup(stub, 600);
    FakeFileSystem fs;
    EXPECT_FALSE(Locate(fs, stub).has_value());
}

// The security directory names a table, but the table does not hide the trailer: the file's
// last four bytes are read as always.
TEST(SignedSetupFaults, ATableThatIsNotAtTheEndIsPassedOver) {
    // A stub signed first, the payload appended after it.
    Bytes setup = MakeStub();
    SignSetup(setup, 600);
    const std::size_t stubSize = setup.size();
    Append(setup, BlockStream(EntryStream(kFiles)));
    AppendU32(setup, static_cast<std::uint32_t>(stubSize));
    FakeFileSystem fs;
    const auto location = Locate(fs, setup);
    ASSERT_TRUE(location.has_value());
    EXPECT_EQ(location->offset, stubSize);
    ExpectExtractsWhole(fs, setup);
}

TEST(SignedSetupFaults, ATableInsideTheImageIsPassedOver) {
    Bytes setup = UnsignedSetup(0);
    SetCertificateDirectory(setup, 512, static_cast<std::uint32_t>(setup.size() - 512));
    FakeFileSystem fs;
    const auto location = Locate(fs, setup);
    ASSERT_TRUE(location.has_value());
    EXPECT_EQ(location->end, setup.size());
}

TEST(SignedSetupFaults, OnlyAHeaderThatNamesTheSecurityDirectoryHasATable) {
    const Bytes original = UnsignedSetup(3);
    Bytes setup = original;
    const std::size_t table = SignSetup(setup, 600);
    FakeFileSystem fs;
    // Four data directories stop short of the security directory; five reach it.
    SetCertificateDirectory(setup, static_cast<std::uint32_t>(table), 600, 4);
    EXPECT_FALSE(Locate(fs, setup).has_value());
    SetCertificateDirectory(setup, static_cast<std::uint32_t>(table), 600, 5);
    EXPECT_TRUE(Locate(fs, setup).has_value());
    // An optional header of an unknown kind names nothing.
    setup[0x40 + 24] = 0x07;
    setup[0x40 + 25] = 0x01;
    EXPECT_FALSE(Locate(fs, setup).has_value());
    // A table of size 0 is no table; then the file's last bytes must be the trailer.
    Bytes empty = original;
    SetCertificateDirectory(empty, static_cast<std::uint32_t>(empty.size()), 0);
    EXPECT_TRUE(Locate(fs, empty).has_value());
}

}  // namespace
}  // namespace nv::package::testing
