#pragma once
// The setup's wording of the errors it reports in its error box: German, like every other
// message of the setup, whatever layer raised the error.

#include <string>

#include "base/error.h"

namespace nv::wizard {

// The text the setup shows for `error`: the German text of its kind with its details, or the
// error's own text when it was raised with one.
std::string ErrorText(const Error& error);

}  // namespace nv::wizard
