#pragma once
// The file operations the package code needs, behind a small interface so that the
// wizard can supply real Windows files, nvpack and the tests <cstdio> files, and the
// tests a fake that fails on purpose.
//
// Every operation folds a failure into its plain result (nullptr, false, an empty
// optional); the package code turns those into errors with a clear text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

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

    // Reads up to `count` bytes into `buffer` and stores how many arrived in `got`;
    // fewer than `count` means the end of the file was met. False on an I/O error.
    virtual bool Read(void* buffer, std::size_t count, std::size_t& got) = 0;
    // Moves the read position to `position` bytes from the start.
    virtual bool Seek(std::uint64_t position) = 0;
    // The file's size in bytes.
    virtual std::optional<std::uint64_t> Size() = 0;
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

    // Writes all `count` bytes; false when not all of them could be written (disk full).
    virtual bool Write(const void* data, std::size_t count) = 0;
    // Flushes and closes; false when buffered bytes could not be written. The destructor
    // closes silently when Close was not called.
    virtual bool Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;
    FileSystem(FileSystem&&) = delete;
    FileSystem& operator=(FileSystem&&) = delete;

    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
    virtual std::unique_ptr<OutputFile> Create(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;

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
