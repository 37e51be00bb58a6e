#pragma once
// What nvpack reads of an executable's PE image beyond where its payload lies: the stub's mark,
// the resource Setup.exe carries so that nvpack can tell a setup stub of this project from
// any other program.

#include "package/file_system.h"

namespace nvpack {

// True when `image` carries the stub's mark: a resource of type RCDATA named as stub_mark.h
// says, its data starting with the mark's text.
bool CarriesStubMark(nv::FileStream& image);

}  // namespace nvpack
