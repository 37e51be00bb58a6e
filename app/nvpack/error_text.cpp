#include "error_text.h"

namespace nvpack {

std::string ErrorText(const nv::Error& error) {
    const std::string quoted = "\"" + error.Path() + "\"";
    std::string text = error.what();  // a kind added later and not worded here yet
    switch (error.Kind()) {
        case nv::ErrorKind::kText:
            return error.what();
        case nv::ErrorKind::kOpenFailed:
            text = "Cannot open " + quoted + ".";
            break;
        case nv::ErrorKind::kCreateFailed:
            text = "Cannot create " + quoted + ".";
            break;
        case nv::ErrorKind::kReadFailed:
            text = "Cannot read " + quoted + ".";
            break;
        case nv::ErrorKind::kWriteFailed:
            text = "Cannot write to " + quoted + ". The disk may be full.";
            break;
        case nv::ErrorKind::kSetupUnreadable:
            text = "The setup file cannot be read.";
            break;
        case nv::ErrorKind::kPackageUnreadable:
            text = "The package file cannot be read.";
            break;
        case nv::ErrorKind::kInflateFailed:
            text = "A block does not inflate (zlib reports an error); see nvpack verify.";
            break;
        case nv::ErrorKind::kOutOfMemory:
            text = "Out of memory.";
            break;
        case nv::ErrorKind::kOutOfResources:
            text = "Out of system resources.";
            break;
        case nv::ErrorKind::kUnexpected:
            text = "An unexpected error occurred.";
            break;
        case nv::ErrorKind::kSetDataFailed:
            text = "Cannot set the registry value " + quoted + ".";
            break;
        case nv::ErrorKind::kInvalidDataType:
            text = "The registry value " + quoted + " is not text.";
            break;
        case nv::ErrorKind::kProfileWriteFailed:
            text = "Cannot write to " + quoted + ".";
            break;
        case nv::ErrorKind::kCreateFolderFailed:
            text = "Cannot create the folder " + quoted + ".";
            break;
        case nv::ErrorKind::kRemoveFolderFailed:
            text = "Cannot remove the folder " + quoted + ".";
            break;
        case nv::ErrorKind::kSeekFailed:
            text = "Cannot seek in " + quoted + ".";
            break;
        case nv::ErrorKind::kEndOfFile:
            text = quoted + " ends unexpectedly.";
            break;
        case nv::ErrorKind::kChangedWhileRead:
            text = "Cannot read " + quoted + ", or it changed while being packed.";
            break;
    }
    if (error.SystemCode() != 0) {
        text += " (system error " + std::to_string(error.SystemCode()) + ")";
    }
    return text;
}

}  // namespace nvpack
