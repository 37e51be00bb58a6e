#pragma once
// The technical summary of the nv::Error an action raises (its kind, the file, folder or value
// it concerns, the system's code), or "(no error)". The host raises kinds; the programs word
// them, so these tests check the facts, not a wording.

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
