#pragma once
// The file operations the package code needs, behind a small interface so that the
// wizard can supply real Windows files, nvpack and the tests <cstdio> files, and the
// tests a fake that fails on purpose.
//
// Opening, creating, reading, seeking and writing raise nv::Error as a kind with the file it
// concerns (kOpenFailed, kCreateFailed, kReadFailed, kSeekFailed, kWriteFailed) and the
// system's code where one is known; the package code lets them travel, and raises a kind of
// its own only where it knows more (the file being read is the setup, or the package).
// Deleting a file is the one operation whose failure callers test, as false.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "package/format.h"

namespace nv::package {

// A file opened for reading, positioned at its start.
class InputFile {
public:
    virtual ~InputFile() = default;
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    InputFile(InputFile&&) = delete;
    InputFile& operator=(InputFile&&) = delete;

    // Reads up to `count` bytes into `buffer` and returns how many arrived; fewer than
    // `count` means the end of the file was met.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Moves the read position to `position` bytes from the start.
    virtual void Seek(std::uint64_t position) = 0;
    // The file's size in bytes.
    virtual std::uint64_t Size() = 0;
};

// A file created (or truncated) for writing.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&&) = delete;
    OutputFile& operator=(OutputFile&&) = delete;

    // Writes all `count` bytes, or raises (a full disk included).
    virtual void Write(const void* data, std::size_t count) = 0;
    // Flushes and closes; raises when buffered bytes could not be written. The destructor
    // closes silently when Close was not called.
    virtual void Close() = 0;
};

// Runs `read`, which reads or seeks in a file; an error it raises is raised again as one of
// `kind` about `path`, keeping the system's code. For a file whose failure means more than a
// failure of that file: any failure to read the setup makes the setup unreadable.
template <typename Read>
auto ReadingAs(ErrorKind kind, const std::string& path, Read read) -> decltype(read()) {
    try {
        return read();
    } catch (const Error& error) {
        throw Error(kind, path, error.SystemCode());
    }
}

class FileSystem {
public:
    virtual ~FileSystem() = default;
    FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;
    FileSystem(FileSystem&&) = delete;
    FileSystem& operator=(FileSystem&&) = delete;

    // Opens an existing file for reading; never null.
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
    // Creates a file, or truncates the one there, for writing; never null.
    virtual std::unique_ptr<OutputFile> Create(const std::string& path) = 0;
    // Deletes a file; false when it could not be deleted (a missing one included).
    virtual bool DeleteFile(const std::string& path) = 0;

    // The UTF-16 name the file `name` gets in this file system, or no value when its bytes do
    // not convert; the rule for entry names is applied to it. The system's own conversion,
    // unless a file system stands for another.
    virtual std::optional<std::u16string> NameToUtf16(std::string_view name) {
        return SystemNameToUtf16(name);
    }

    // The path of `name` inside `folder`, with this file system's separator.
    virtual std::string JoinPath(const std::string& folder, const std::string& name) {
        return folder + kSeparator + name;
    }

#ifdef _WIN32
    static constexpr char kSeparator = '\\';
#else
    static constexpr char kSeparator = '/';
#endif
};

}  // namespace nv::package
