#pragma once
// The one bridge from window procedures to C++ objects. Every window this toolkit creates for
// itself (forms, panels, radio groups, the folder chooser) uses the same window procedure,
// which finds the object behind the window and lets it handle the message. An exception that
// escapes the object is caught here and reported through the object, so no exception ever
// crosses the operating system's frames and the window stays as it was.

#include <windows.h>

#include <optional>
#include <string>

namespace nv::toolkit::win32 {

class MessageTarget {
public:
    MessageTarget() = default;
    virtual ~MessageTarget() = default;
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;
    MessageTarget(MessageTarget&&) = delete;
    MessageTarget& operator=(MessageTarget&&) = delete;

    // Handles one message of `window`; nothing leaves it to the default handling.
    virtual std::optional<LRESULT> HandleMessage(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) = 0;
    // Shows the text of an exception that escaped HandleMessage.
    virtual void ReportError(HWND window, const std::string& text) = 0;
};

// Creates a window whose messages go to `target`, which must outlive it. The class `className`
// is registered on first use (button-face background, arrow cursor). Returns null on failure.
HWND CreateBridgedWindow(const std::string& className, DWORD exStyle, DWORD style,
                         const std::string& text, const RECT& bounds, HWND parent, int id,
                         MessageTarget& target);

}  // namespace nv::toolkit::win32
