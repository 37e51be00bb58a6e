#pragma once
// Delivering window messages: keyboard navigation through the dialog manager of `dialog`
// (Tab, Shift+Tab, arrow keys in radio groups, Alt+letter), everything else dispatched.

#include <windows.h>

namespace nv::toolkit::win32 {

void DeliverMessage(MSG& message, HWND dialog);

// Delivers every message already waiting, then returns. A quit request met on the way ends
// the loop and is posted again, so the outermost loop still sees it.
void DeliverPendingMessages(HWND dialog);

}  // namespace nv::toolkit::win32
