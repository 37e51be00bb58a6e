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
#include "base/file_stream.h"
#include "package/format.h"

namespace nv::package {

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

    // Opens an existing file for reading; never null. A file this file system still holds
    // from its creation is the stream it was written through, wherever the writing left it.
    virtual std::shared_ptr<FileStream> OpenRead(const std::string& path) = 0;
    // Creates a file, or truncates the one there, for writing; never null. The file system
    // may keep a share of it (a hold) after the caller lets it go.
    virtual std::shared_ptr<FileStream> Create(const std::string& path) = 0;
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
