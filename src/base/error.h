#pragma once
// The one error type of the system. Errors the procedures expect switch pages instead;
// everything else is an nv::Error that travels up to the program's error report.
//
// An error is raised either with its final text, or as a kind with its details (the file it
// concerns, the system's error code). A kind is worded by the program that reports it, so a
// layer shared by several programs (the payload reader serves both the setup and the packer)
// raises facts and each program says them in its own language: see the describe function
// each program hands to its error report.

#include <cstddef>
#include <exception>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

namespace nv {

// What went wrong. New kinds are added at the end; every program's describe function words
// each kind and falls back to Error::what() for kinds it does not know.
enum class ErrorKind {
    kText,                // raised with its final text; what() is that text
    kOpenFailed,          // a file cannot be opened for reading (path)
    kCreateFailed,        // a file cannot be created (path)
    kReadFailed,          // a file cannot be read (path)
    kWriteFailed,         // a file cannot be written, the disk may be full (path)
    kSetupUnreadable,     // the setup's own file cannot be read, or ends early
    kPackageUnreadable,   // the compressed package file cannot be read
    kInflateFailed,       // a block of the package does not inflate
    kOutOfMemory,         // memory ran out
    kOutOfResources,      // the system has no resources left for a window, picture or font
    kUnexpected,          // an exception of no known type
    kSetDataFailed,       // a registry value cannot be written (path: the value's name)
    kInvalidDataType,     // a registry value is not text (path: the value's name)
    kProfileWriteFailed,  // an initialisation file cannot be written (path)
    kCreateFolderFailed,  // a folder cannot be created (path)
    kRemoveFolderFailed,  // a folder cannot be removed (path)
    kSeekFailed,          // the position in a file cannot be moved (path)
    kEndOfFile,           // a file ends before the bytes that had to be read (path)
    kChangedWhileRead,    // a file does not read back as large as it was checked (path)
};

// A short technical name of a kind ("write-failed"), for diagnostics; never shown as a
// program's message.
inline const char* ErrorKindName(ErrorKind kind) {
    // Indexed by the kind, in the order the kinds are declared.
    static constexpr const char* kNames[] = {"text",
                                             "open-failed",
                                             "create-failed",
                                             "read-failed",
                                             "write-failed",
                                             "setup-unreadable",
                                             "package-unreadable",
                                             "inflate-failed",
                                             "out-of-memory",
                                             "out-of-resources",
                                             "unexpected",
                                             "set-data-failed",
                                             "invalid-data-type",
                                             "profile-write-failed",
                                             "create-folder-failed",
                                             "remove-folder-failed",
                                             "seek-failed",
                                             "end-of-file",
                                             "changed-while-read"};
    static_assert(std::size(kNames) == static_cast<std::size_t>(ErrorKind::kChangedWhileRead) + 1);
    const auto index = static_cast<std::size_t>(kind);
    return index < std::size(kNames) ? kNames[index] : "unknown";
}

// Derived from std::exception, not std::runtime_error: the text is shared through a
// reference-counted pointer, so copying an error never throws, and the setup does not link
// the library's reference-counted string that runtime_error keeps its text in.
class Error : public std::exception {
public:
    // An error with its final text.
    explicit Error(const std::string& text) : text_(std::make_shared<const std::string>(text)) {}

    // An error of `kind` about `path` (empty when the kind names its subject itself; for a
    // registry value, the value's name), with the system's error code where one is known
    // (0: none). what() gives a technical summary.
    explicit Error(ErrorKind kind, std::string path = std::string(), unsigned long systemCode = 0)
        : text_(std::make_shared<const std::string>(Summary(kind, path, systemCode))),
          kind_(kind),
          path_(std::move(path)),
          systemCode_(systemCode) {}

    // NOLINTNEXTLINE(readability-identifier-naming): std::exception's name
    const char* what() const noexcept override { return text_->c_str(); }
    ErrorKind Kind() const { return kind_; }
    const std::string& Path() const { return path_; }
    unsigned long SystemCode() const { return systemCode_; }

private:
    static std::string Summary(ErrorKind kind, const std::string& path, unsigned long code) {
        std::string summary = ErrorKindName(kind);
        if (!path.empty()) {
            summary += ": " + path;
        }
        if (code != 0) {
            summary += " (" + std::to_string(code) + ")";
        }
        return summary;
    }

    std::shared_ptr<const std::string> text_;
    ErrorKind kind_ = ErrorKind::kText;
    std::string path_;
    unsigned long systemCode_ = 0;
};

// Gives the text a program shows for an error.
using ErrorDescriber = std::string (*)(const Error& error);

}  // namespace nv
