#pragma once
// Debug traces: lines for someone looking for what went wrong, such as a failure the program
// goes on without. A program sends them where its platform shows them (the setup: to
// OutputDebugStringA, for a debugger or a trace viewer); without a sink they go nowhere, and
// nothing is ever written to the standard output.

#include <string>

namespace nv {

using DebugTraceSink = void (*)(const char* text);

// The sink the traces go to from now on; null: nowhere.
inline DebugTraceSink debugTraceSink = nullptr;

inline void SetDebugTraceSink(DebugTraceSink sink) {
    debugTraceSink = sink;
}

inline void DebugTrace(const std::string& text) {
    if (debugTraceSink != nullptr) {
        debugTraceSink(text.c_str());
    }
}

}  // namespace nv
