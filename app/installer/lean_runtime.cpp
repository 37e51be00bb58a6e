// Pieces of the static run-time that Setup.exe replaces by smaller ones of its own. The
// linker takes a library's object file only for symbols nothing else defines, so defining
// these here keeps the larger objects out of the image (make bench prints the image's size).

#include <zlib.h>

#include <bits/functexcept.h>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

// The run-time's default handler for an exception nothing caught prints the demangled type
// name to a console this program does not have, and pulls in a 45 KB demangler to do so.
// Every exception is caught by the program's error reports; should one still escape, ending
// the program is all that is left to do. (The names are the run-time's own.)
// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,readability-identifier-naming)
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,readability-identifier-naming)

namespace {

// What the C++ library raises for misuse of its containers (an index past the end, a size
// beyond max_size). The library's own versions raise std::logic_error and its kin, which keep
// their texts in the library's reference-counted string; their object files bring about 30 KB
// of string code the setup does not otherwise use. The error report shows this one like any
// other std::exception: with the library's message.
class LibraryError final : public std::exception {
public:
    explicit LibraryError(const char* message) : message_(message) {}
    // NOLINTNEXTLINE(readability-identifier-naming): std::exception's name
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

[[noreturn]] void RaiseLibraryError(const char* message) {
    throw LibraryError(message);
}

}  // namespace

// The C++ library's reporting functions. All of them are defined, so that the library's
// object holding them is never linked as well (which would fail the link on duplicates).
// Memory and type errors keep their standard types: the error report tells memory running
// out from other failures.
// NOLINTBEGIN(cert-dcl58-cpp,bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,readability-identifier-naming,cert-dcl50-cpp)
namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_logic_error(const char* message) {
    RaiseLibraryError(message);
}
void __throw_domain_error(const char* message) {
    RaiseLibraryError(message);
}
void __throw_invalid_argument(const char* message) {
    RaiseLibraryError(message);
}
void __throw_length_error(const char* message) {
    RaiseLibraryError(message);
}
void __throw_out_of_range(const char* message) {
    RaiseLibraryError(message);
}
// The message is a printf format naming the index and size; it is shown as it stands.
void __throw_out_of_range_fmt(const char* format, ...) {
    RaiseLibraryError(format);
}
void __throw_runtime_error(const char* message) {
    RaiseLibraryError(message);
}
void __throw_range_error(const char* message) {
    RaiseLibraryError(message);
}
void __throw_overflow_error(const char* message) {
    RaiseLibraryError(message);
}
void __throw_underflow_error(const char* message) {
    RaiseLibraryError(message);
}

}  // namespace std
// NOLINTEND(cert-dcl58-cpp,bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,readability-identifier-naming,cert-dcl50-cpp)

// zlib's CRC-32. inflate() calls it only for gzip streams, and the setup opens its blocks as
// zlib streams (Adler-32), so it never runs here; but inflate's object refers to it, and
// zlib's own version brings 13 KB of tables. This one is the plain bitwise form: small,
// correct for any caller, and slow, which does not matter for a function that is not called.
extern "C" uLong crc32(uLong crc, const Bytef* buf, uInt len) {
    if (buf == nullptr) {
        return 0;
    }
    constexpr uLong kReversedPolynomial = 0xEDB88320UL;
    crc = ~crc & 0xFFFFFFFFUL;
    for (uInt i = 0; i < len; ++i) {
        crc ^= buf[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (kReversedPolynomial & (0UL - (crc & 1UL)));
        }
    }
    return ~crc & 0xFFFFFFFFUL;
}
