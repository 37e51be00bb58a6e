#pragma once
// The payload's byte layout: sizes, the names of the temporary package files, little-endian
// fields and the rule for entry names.
//
// Setup file:   executable image | block stream | padding | u32 PackageOffset (the image's
//               size) [| zero padding | certificate table, when signed afterwards]
// Block stream: { u16 length L (1..32768) | L bytes of one zlib stream } ... | u16 0
// Entry stream: { u16 name length N (1..32768) | N name bytes | u32 size S | S data bytes } ...
//               | u16 0 | u32 PackageChecksum (sum of all data bytes modulo 2^32)

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nv::package {

inline constexpr std::size_t kMaxBlockLength = 32768;
inline constexpr std::size_t kMaxNameLength = 32768;
inline constexpr std::size_t kTransferBufferSize = 32768;
inline constexpr std::size_t kDataChunkSize = 8192;
inline constexpr std::size_t kTrailerSize = 4;
inline constexpr std::uint64_t kMaxEntrySize = 0xFFFFFFFFULL;
// A code-signing tool pads a file with zero bytes to a multiple of this before it appends the
// certificate table; nvpack makes every setup that long already.
inline constexpr std::size_t kSignatureAlignment = 8;

inline constexpr const char* kCompressedPackageName = "package.dlz";
inline constexpr const char* kDecompressedPackageName = "package.dld";

inline std::uint16_t ReadU16(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline std::uint32_t ReadU32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline void WriteU16(unsigned char* bytes, std::uint16_t value) {
    bytes[0] = static_cast<unsigned char>(value & 0xFF);
    bytes[1] = static_cast<unsigned char>(value >> 8);
}

inline void WriteU32(unsigned char* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
    }
}

// Turns a name's bytes into the UTF-16 name Windows makes of them, as MultiByteToWideChar does
// with MB_ERR_INVALID_CHARS in one code page; no value when the bytes are not valid there.
using NameConverter = std::function<std::optional<std::u16string>(std::string_view)>;

// Windows-1252, the code page entry names are stored in and the setup's texts are written in.
// Every byte converts: the five it leaves undefined become the control characters of the same
// number, as on Windows.
std::optional<std::u16string> Windows1252ToUtf16(std::string_view bytes);

// The conversion of the system the files are made on: in a Windows build the process's ANSI
// code page, which the ANSI file calls convert names with (defined by the Win32 host); in every
// other build Windows-1252.
std::optional<std::u16string> SystemNameToUtf16(std::string_view bytes);

// True when `name` is a plain file name that is safe to create inside the temporary
// folder. The test runs on the UTF-16 name `toUtf16` makes of it, the name Windows creates: a
// name that does not convert is not plain; neither is one with a folder part, a character
// Windows forbids in names or a control character, "." or "..", one ending in a dot or blank,
// a reserved device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, CLOCK$, COM or LPT with a digit
// or a superscript 1 to 3; with or without an extension), or one of the two temporary package
// files.
bool IsPlainEntryName(std::string_view name, const NameConverter& toUtf16);

}  // namespace nv::package
