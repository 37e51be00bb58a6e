#pragma once
// Ctrl-C and termination during a build. The request is only noted when it arrives; the build
// looks for it between pieces and unwinds by raising Interrupted, so that its temporary file is
// removed and the old output stays as it was. Afterwards the program ends the way the request
// would have ended it.

namespace nvpack {

struct Interrupted {};

// From now on SIGINT and SIGTERM (on Windows Ctrl-C and Ctrl-Break) are noted, not obeyed.
void NoteInterruptions();

// Raises Interrupted when a request was noted.
void ThrowIfInterrupted();

// Ends the program as the noted request would have, had it not been caught.
[[noreturn]] void EndAsInterrupted();

}  // namespace nvpack
