#include "error_text.h"

namespace nvpack {
namespace {

struct Wording {
    nv::ErrorKind kind;
    const char* text;  // "%" stands for the error's path in quotes
};

constexpr Wording kWordings[] = {
    {nv::ErrorKind::kOpenFailed, "Cannot open %."},
    {nv::ErrorKind::kCreateFailed, "Cannot create %."},
    {nv::ErrorKind::kReadFailed, "Cannot read %."},
    {nv::ErrorKind::kWriteFailed, "Cannot write to %. The disk may be full."},
    {nv::ErrorKind::kSetupUnreadable, "The setup file cannot be read."},
    {nv::ErrorKind::kPackageUnreadable, "The package file cannot be read."},
    {nv::ErrorKind::kInflateFailed,
     "A block does not inflate (zlib reports an error); see nvpack verify."},
    {nv::ErrorKind::kOutOfMemory, "Out of memory."},
    {nv::ErrorKind::kOutOfResources, "Out of system resources."},
    {nv::ErrorKind::kUnexpected, "An unexpected error occurred."},
    {nv::ErrorKind::kSetDataFailed, "Cannot set the registry value %."},
    {nv::ErrorKind::kInvalidDataType, "The registry value % is not text."},
    {nv::ErrorKind::kProfileWriteFailed, "Cannot write to %."},
    {nv::ErrorKind::kCreateFolderFailed, "Cannot create the folder %."},
    {nv::ErrorKind::kRemoveFolderFailed, "Cannot remove the folder %."},
    {nv::ErrorKind::kSeekFailed, "Cannot seek in %."},
    {nv::ErrorKind::kEndOfFile, "% ends unexpectedly."},
    {nv::ErrorKind::kChangedWhileRead, "Cannot read %, or it changed while being packed."},
};

}  // namespace

std::string ErrorText(const nv::Error& error) {
    if (error.Kind() == nv::ErrorKind::kText) {
        return error.what();
    }
    std::string text = error.what();  // a kind added later and not worded here yet
    for (const Wording& wording : kWordings) {
        if (wording.kind == error.Kind()) {
            text = wording.text;
            if (const auto at = text.find('%'); at != std::string::npos) {
                text.replace(at, 1, "\"" + error.Path() + "\"");
            }
        }
    }
    if (error.SystemCode() != 0) {
        text += " (system error " + std::to_string(error.SystemCode()) + ")";
    }
    return text;
}

}  // namespace nvpack
