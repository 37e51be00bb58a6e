#pragma once
// The one error type of the system: an exception that carries the text the user sees.
// Errors the procedures expect switch pages instead; everything else is an nv::Error that
// travels up to the window's default error report.

#include <stdexcept>
#include <string>

namespace nv {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace nv
