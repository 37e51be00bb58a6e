#pragma once
// The text of the nv::Error an action raises, or "(no error)".

#include <functional>
#include <string>

#include "base/error.h"

namespace nv::host::testing {

inline std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace nv::host::testing
