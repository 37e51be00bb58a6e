/* The setup stub's mark: a resource of type RCDATA under this name, its data beginning with this
   text. Setup.exe's resource script and nvpack both read it from here (plain macros, which the
   resource compiler understands, hence no constexpr). */
#pragma once

#define NV_STUB_MARK_NAME NVSETUPSTUB
#define NV_STUB_MARK_NAME_TEXT "NVSETUPSTUB"     // NOLINT(cppcoreguidelines-macro-usage)
#define NV_STUB_MARK_TEXT "Norvista setup stub"  // NOLINT(cppcoreguidelines-macro-usage)
