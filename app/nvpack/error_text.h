#pragma once
// nvpack's wording of the errors the payload layer raises: English, for the developer at the
// command line.

#include <string>

#include "base/error.h"

namespace nvpack {

// The message nvpack prints for `error`.
std::string ErrorText(const nv::Error& error);

}  // namespace nvpack
