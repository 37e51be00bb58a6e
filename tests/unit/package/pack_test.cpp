// The packer: identical output for any number of jobs, checked inputs, no output left behind
// on failure.

#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "error_text.h"
#include "package/entry_stream.h"
#include "package_support.h"

namespace nv::package::testing {
namespace {

struct Packer : ::testing::Test {
    FakeFileSystem fs;
    std::vector<PackEntry> entries;

    void SetUp() override {
        fs.files["stub.exe"] = MakeStub();
        Add("a.bin", Text(300000, 1));
        Add("b.bin", Noise(100000, 2));
        Add("c.lng", {});
    }
    void Add(const std::string& name, Bytes data) {
        fs.files["in\\" + name] = std::move(data);
        entries.push_back({name, "in\\" + name});
    }
    std::string PackError(const std::string& stub = "stub.exe") {
        try {
            WritePackage(fs, stub, entries, "out.exe", {});
        } catch (const Error& error) {
            EXPECT_EQ(fs.files.count("out.exe"), 0U);
            return nvpack::ErrorText(error);  // as nvpack reports it
        }
        return "(no error)";
    }
};

TEST_F(Packer, OutputIsTheSameForAnyNumberOfJobs) {
    PackOptions options;
    options.pieceSize = 10000;
    options.jobs = 1;
    const PackSummary one = WritePackage(fs, "stub.exe", entries, "one.exe", options);
    for (const unsigned jobs : {2U, 3U, 8U}) {
        options.jobs = jobs;
        const PackSummary many = WritePackage(fs, "stub.exe", entries, "many.exe", options);
        EXPECT_EQ(fs.files["many.exe"], fs.files["one.exe"]) << jobs << " jobs";
        EXPECT_EQ(many.blocks, one.blocks);
    }
    EXPECT_GT(one.blocks, 40U);
}

TEST_F(Packer, WritesStubPayloadAndTrailerAsTheFormatSays) {
    std::vector<std::pair<std::string, Bytes>> expected;
    for (const auto& entry : entries) {
        expected.emplace_back(entry.name, fs.files[entry.path]);
    }
    const PackSummary summary = WritePackage(fs, "stub.exe", entries, "out.exe", {});
    // Stub, block stream, zero bytes up to a multiple of 8 with the trailer, trailer.
    Bytes built = MakeStub();
    Append(built, BlockStream(EntryStream(expected)));
    while ((built.size() + 4) % 8 != 0) {
        built.push_back(0);
    }
    AppendU32(built, kStubImageEnd);
    EXPECT_EQ(fs.files["out.exe"], built);
    std::uint32_t sum = 0;
    for (const auto& [name, data] : expected) {
        for (const unsigned char byte : data) {
            sum += byte;
        }
    }
    EXPECT_EQ(summary.checksum, sum);
}

TEST_F(Packer, ReportsProgressUpToTheWholeStream) {
    PackOptions options;
    std::uint64_t last = 0;
    std::uint64_t total = 0;
    options.progress = [&](std::uint64_t done, std::uint64_t all) {
        EXPECT_GT(done, last);
        last = done;
        total = all;
    };
    const PackSummary summary = WritePackage(fs, "stub.exe", entries, "out.exe", options);
    EXPECT_EQ(last, summary.entryStreamSize);
    EXPECT_EQ(total, summary.entryStreamSize);
}

TEST_F(Packer, RefusesNamesThatAreNotPlainFileNames) {
    Add("..", Text(5, 3));
    EXPECT_EQ(PackError(), "\"..\" is not a plain file name usable as an entry name.");
    entries.back().name = "package.dld";
    EXPECT_EQ(PackError(), "\"package.dld\" is not a plain file name usable as an entry name.");
}

TEST_F(Packer, RefusesMissingInputsAndABadStub) {
    entries.push_back({"gone.bin", "in\\gone.bin"});
    EXPECT_EQ(PackError(), "Cannot open \"in\\gone.bin\".");
    entries.pop_back();
    EXPECT_EQ(PackError("missing.exe"), "Cannot open \"missing.exe\".");
    fs.files["text.exe"] = Text(5000, 4);
    EXPECT_EQ(PackError("text.exe"), "\"text.exe\" is not a Windows executable.");
}

// Each file failure is raised as a kind with the file it concerns, and leaves no output.
TEST_F(Packer, RaisesEachFileFailureAsAKindWithItsFile) {
    struct Row {
        const char* what;
        std::function<void(FakeFileSystem&)> fault;
        std::string stub;
        ErrorKind kind;
        const char* path;
    };
    const Row rows[] = {
        {"stub missing", [](FakeFileSystem&) {}, "missing.exe", ErrorKind::kOpenFailed,
         "missing.exe"},
        {"input missing", [](FakeFileSystem& files) { files.files.erase("in\\b.bin"); }, "stub.exe",
         ErrorKind::kOpenFailed, "in\\b.bin"},
        {"output uncreatable", [](FakeFileSystem& files) { files.uncreatable.insert("out.exe"); },
         "stub.exe", ErrorKind::kCreateFailed, "out.exe"},
        {"stub unreadable",
         [](FakeFileSystem& files) {
             files.failingReads["stub.exe"] = files.files["stub.exe"].size() - 1;
         },
         "stub.exe", ErrorKind::kReadFailed, "stub.exe"},
        {"input shrinks", [](FakeFileSystem& files) { files.shortReads["in\\a.bin"] = 10; },
         "stub.exe", ErrorKind::kChangedWhileRead, "in\\a.bin"},
        {"disk full", [](FakeFileSystem& files) { files.diskSpace = 100; }, "stub.exe",
         ErrorKind::kWriteFailed, "out.exe"},
    };
    for (const Row& row : rows) {
        FakeFileSystem files;
        files.files = fs.files;
        row.fault(files);
        try {
            WritePackage(files, row.stub, entries, "out.exe", {});
            ADD_FAILURE() << row.what << ": packed";
        } catch (const Error& error) {
            EXPECT_EQ(error.Kind(), row.kind) << row.what << ": " << error.what();
            EXPECT_EQ(error.Path(), row.path) << row.what;
        }
        EXPECT_EQ(files.files.count("out.exe"), 0U) << row.what;
    }
}

TEST_F(Packer, RefusesBadOptions) {
    PackOptions options;
    options.level = 10;
    EXPECT_THROW(WritePackage(fs, "stub.exe", entries, "out.exe", options), Error);
    options.level = 9;
    options.pieceSize = 0;
    EXPECT_THROW(WritePackage(fs, "stub.exe", entries, "out.exe", options), Error);
    EXPECT_EQ(fs.files.count("out.exe"), 0U);
}

TEST_F(Packer, DeletesItsOutputWhenTheDiskFills) {
    fs.diskSpace = 5000;
    EXPECT_EQ(PackError(), "Cannot write to \"out.exe\". The disk may be full.");
    for (const unsigned jobs : {1U, 4U}) {
        fs.diskSpace = 60000;
        PackOptions options;
        options.jobs = jobs;
        EXPECT_THROW(WritePackage(fs, "stub.exe", entries, "out.exe", options), Error);
        EXPECT_EQ(fs.files.count("out.exe"), 0U);
    }
}

TEST_F(Packer, NoticesAnInputThatShrinksWhileBeingRead) {
    fs.shortReads["in\\a.bin"] = 1000;
    EXPECT_EQ(PackError(), "Cannot read \"in\\a.bin\", or it changed while being packed.");
}

// The parser counts a full chunk at every 8192-byte mark of an entry, however the bytes
// arrive.
TEST(EntryStreamParserTest, CountsFullChunksWhateverTheFeedSizes) {
    struct NullSink : EntrySink {
        std::size_t bytes = 0;
        void BeginEntry(const std::string& /*name*/, std::uint32_t /*size*/) override {}
        void EntryData(const unsigned char* /*data*/, std::size_t count) override {
            bytes += count;
        }
        void EndEntry() override {}
    };
    const Bytes stream =
        EntryStream({{"a", Text(8192 * 3, 1)}, {"b", Text(8191, 2)}, {"c", Text(8193, 3)}});
    for (const std::size_t feed : {1UL, 7UL, 8192UL, 100000UL}) {
        NullSink sink;
        int chunks = 0;
        EntryStreamParser parser(sink, Windows1252ToUtf16, [&chunks] { ++chunks; });
        for (std::size_t at = 0; at < stream.size(); at += feed) {
            parser.Feed(stream.data() + at, std::min(feed, stream.size() - at));
        }
        const EntryStreamOutcome outcome = parser.Finish();
        EXPECT_TRUE(outcome.Intact()) << outcome.fault;
        EXPECT_EQ(outcome.entries, 3U);
        EXPECT_EQ(chunks, 4) << "feed " << feed;
        EXPECT_EQ(sink.bytes, std::size_t{8192} * 3 + 8191 + 8193);
    }
}

}  // namespace
}  // namespace nv::package::testing
