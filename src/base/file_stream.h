#pragma once
// FileStream: a file opened byte-wise, the one stream type of every layer: the host's files
// (real or simulated) and the files the package reader and writer, nvpack and the tests use.
// Closed when destroyed. Every failure raises nv::Error as a kind with the file's path and the
// system's code where one is known. A stream opened one way only fails the other way's calls.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "base/error.h"

namespace nv {

class FileStream {
public:
    explicit FileStream(std::string path = {}) : path_(std::move(path)) {}
    virtual ~FileStream() = default;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    FileStream(FileStream&&) = delete;
    FileStream& operator=(FileStream&&) = delete;

    // The file's size in bytes.
    virtual std::uint64_t Size() { throw Error(ErrorKind::kReadFailed, path_); }
    // Moves the position to `offset` bytes from the start.
    virtual void Seek(std::uint64_t /*offset*/) { throw Error(ErrorKind::kSeekFailed, path_); }
    // Reads up to `count` bytes; fewer only at the end of the file. Returns the count read.
    virtual std::size_t Read(void* /*buffer*/, std::size_t /*count*/) {
        throw Error(ErrorKind::kReadFailed, path_);
    }
    // Writes all `count` bytes, or raises (a full disk included).
    virtual void Write(const void* /*data*/, std::size_t /*count*/) {
        throw Error(ErrorKind::kWriteFailed, path_);
    }
    // Ends the writing; raises when buffered bytes could not be written. The destructor closes
    // silently when Close was not called; a stream that buffers nothing has nothing to do.
    virtual void Close() {}
    // Deletes the file through this stream, without looking its name up again; false when
    // the stream was not opened with the right to do so or the deletion failed. The stream
    // must not be used afterwards.
    virtual bool Remove() { return false; }

    // Reads exactly `count` bytes; meeting the end of the file first raises kEndOfFile.
    void ReadExactly(void* buffer, std::size_t count) {
        if (Read(buffer, count) != count) {
            throw Error(ErrorKind::kEndOfFile, path_);
        }
    }

    // The path the file was opened by, as given.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace nv
