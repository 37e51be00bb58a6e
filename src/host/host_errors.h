#pragma once
// The texts of the errors the host raises, made in one place so that every host reports a
// failure with the same words.

#include <string>

#include "base/error.h"

namespace nv::host {

Error InvalidDataTypeError(const std::string& valueName);
Error SetDataError(const std::string& valueName);
Error ProfileWriteError(const std::string& file);
Error CreateFolderError();
Error RemoveFolderError();
Error FileOpenError(const std::string& path);
Error FileCreateError(const std::string& path);
Error FileReadError(const std::string& path);
Error FileWriteError(const std::string& path);
Error FileSeekError(const std::string& path);
Error EndOfFileError(const std::string& path);

}  // namespace nv::host
