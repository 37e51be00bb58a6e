// Setup.exe's own replacements for pieces of the run-time, linked into this program as into
// Setup.exe: the C++ library's failures still reach the error report (memory errors as memory
// errors), and zlib's checksum still checks gzip streams.

#include <windows.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "toolkit/win32/error_report.h"

namespace nv::toolkit::win32::test {
namespace {

// A size no allocation can have, read at run time so that the compiler does not see it.
volatile std::size_t gHuge = SIZE_MAX / 2;

std::string WordedKind(const Error& error) {
    return ErrorKindName(error.Kind());
}

// The error report's text for whatever `fail` throws, with and without the program's wording.
struct Report {
    std::string kind;
    std::string text;
};

template <class F>
Report ReportOf(F fail) {
    Report report;
    for (const bool worded : {true, false}) {
        SetErrorDescriber(worded ? WordedKind : nullptr);
        try {
            fail();
            ADD_FAILURE() << "nothing was thrown";
        } catch (...) {
            (worded ? report.kind : report.text) = CurrentErrorText();
        }
    }
    SetErrorDescriber(nullptr);
    return report;
}

TEST(LeanRuntime, TheLibrarysFailuresReachTheErrorReportAndMemoryStaysMemory) {
    struct Row {
        const char* what;
        std::function<void()> fail;
        const char* kind;
        const char* textPart;
    };
    // One row per kind of helper the program replaces: a formatted range error, a length
    // error, and the allocator's too-large request, which must stay a memory error.
    const std::vector<Row> rows = {
        {"index past a string's end", [] { (void)std::string("abc").at(5); }, "text",
         "basic_string::at"},
        {"vector beyond its largest size",
         [] {
             std::vector<int> v;
             v.reserve(v.max_size() + 1);
         },
         "text", "vector::reserve"},
        {"an allocation larger than memory", [] { (void)std::allocator<int>().allocate(gHuge); },
         "out-of-memory", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Report report = ReportOf(row.fail);
        EXPECT_EQ(report.kind, row.kind);
        EXPECT_NE(report.text.find(row.textPart), std::string::npos) << report.text;
        EXPECT_FALSE(report.text.empty());
    }
}

// "Norvista Setup" as a gzip member: inflate checks its CRC-32 against the trailer with the
// crc32 the program links.
constexpr unsigned char kGzipMember[] = {0x1F, 0x8B, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
                                         0x03, 0xF3, 0xCB, 0x2F, 0x2A, 0xCB, 0x2C, 0x2E, 0x49,
                                         0x54, 0x08, 0x4E, 0x2D, 0x29, 0x2D, 0x00, 0x00, 0x88,
                                         0xD0, 0xA9, 0x68, 0x0E, 0x00, 0x00, 0x00};
constexpr std::size_t kTrailerCrc = sizeof kGzipMember - 8;

int InflateGzip(const std::vector<unsigned char>& member, std::string& text) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return Z_STREAM_ERROR;
    }
    std::vector<unsigned char> in = member;
    char out[64] = {};
    stream.next_in = in.data();
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out);
    stream.avail_out = sizeof out;
    const int result = inflate(&stream, Z_FINISH);
    text.assign(out, sizeof out - stream.avail_out);
    inflateEnd(&stream);
    return result;
}

TEST(LeanRuntime, Crc32IsTheStandardChecksumAndChecksGzipStreams) {
    struct Vector {
        std::string bytes;
        uLong crc;
    };
    const Vector vectors[] = {
        {"", 0x00000000UL},
        {"a", 0xE8B7BE43UL},
        {"123456789", 0xCBF43926UL},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339UL},
        {std::string(1000, '\xFF'), 0xE0533230UL},
    };
    for (const Vector& v : vectors) {
        const auto* bytes = reinterpret_cast<const Bytef*>(v.bytes.data());
        EXPECT_EQ(crc32(0, bytes, static_cast<uInt>(v.bytes.size())), v.crc) << v.bytes.size();
        // In two parts, as inflate feeds it.
        const uInt half = static_cast<uInt>(v.bytes.size() / 2);
        EXPECT_EQ(
            crc32(crc32(0, bytes, half), bytes + half, static_cast<uInt>(v.bytes.size()) - half),
            v.crc);
    }
    EXPECT_EQ(crc32(12345, nullptr, 0), 0UL) << "no buffer: the initial value";

    std::string text;
    const std::vector<unsigned char> intact(std::begin(kGzipMember), std::end(kGzipMember));
    EXPECT_EQ(InflateGzip(intact, text), Z_STREAM_END);
    EXPECT_EQ(text, "Norvista Setup");
    for (std::size_t i = kTrailerCrc; i < kTrailerCrc + 4; ++i) {
        std::vector<unsigned char> altered = intact;
        altered[i] ^= 0x01;
        EXPECT_EQ(InflateGzip(altered, text), Z_DATA_ERROR) << "trailer byte " << i;
    }
}

}  // namespace
}  // namespace nv::toolkit::win32::test
