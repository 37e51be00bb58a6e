#pragma once
// What nvpack reads of an executable's PE image beyond where its payload lies: the stub's mark,
// the resource Setup.exe carries so that nvpack can tell a setup stub of this project from
// any other program.

#include <optional>
#include <string>

#include "package/file_system.h"
#include "stub_mark.h"

namespace nvpack {

// The resource every setup stub carries: type RCDATA, this name, data starting with
// kStubMarkText.
inline constexpr char kStubMarkName[] = NV_STUB_MARK_NAME_TEXT;
inline constexpr char kStubMarkText[] = NV_STUB_MARK_TEXT;

// The data of the resource of numeric type `type` and name `name` (compared without regard to
// the case of A to Z), in the first language it is found in; empty when the image has no such
// resource or its resource tree cannot be read.
std::optional<std::string> ReadNamedResource(nv::FileStream& image, unsigned type,
                                             const std::string& name);

// True when `image` carries the stub's mark.
bool CarriesStubMark(nv::FileStream& image);

}  // namespace nvpack
