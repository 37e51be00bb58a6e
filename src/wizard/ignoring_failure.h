#pragma once
// The one way the setup runs a step whose failure it goes on without.
//
// Some steps of the installation and the removal only tidy up or add a convenience: making a
// folder that may be there from an earlier installation, removing a folder that may still hold
// files, writing a start-menu shortcut or the setup's copy of itself. When one of them fails
// the product is installed or removed all the same, so the failure is neither reported nor
// allowed to stop the steps after it. Every such step goes through this helper, so that what
// is ignored can be found in one place, and is traced (kind, path and system code) for
// whoever looks for a failure with a debugger.

#include <string>

#include "base/debug_trace.h"
#include "base/error.h"

namespace nv::wizard {

// Runs `step`; an error of type `Failure` it raises ends the step and nothing more. The
// default ignores the errors the host raises; a convenience step may name a wider type.
template <typename Failure = nv::Error, typename Step>
void IgnoringFailure(Step step) {
    try {
        step();
    } catch (const Failure& failure) {
        // Whatever went wrong, the step was not needed for the rest.
        DebugTrace(std::string("Setup: ignored failure: ") + failure.what());
    }
}

}  // namespace nv::wizard
