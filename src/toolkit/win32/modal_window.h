#pragma once
// A window of this toolkit shown modally: the owner is disabled while a local message loop
// runs, and gets the activation back when the window goes.

#include <windows.h>

#include <string>

#include "toolkit/win32/window_bridge.h"
#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {

class ModalWindow : protected MessageTarget {
protected:
    // Creates the popup window with a fixed dialog frame and a client area of `width` x
    // `height`, centred over `owner` (or the screen). Raises nv::Error when that fails.
    void Create(HWND owner, const std::string& className, const std::string& caption, int width,
                int height);
    // Shows the window and delivers messages until EndModal is called. A quit request ends
    // the loop as well and is passed on to the outer loop.
    void RunModal();
    void EndModal() { done_ = true; }
    // The control that holds the keyboard focus when the window appears.
    void SetInitialFocus(HWND control) { initialFocus_ = control; }

    HWND Window() const { return window_.Get(); }
    HFONT Font() const { return font_.Get(); }
    // A child control with the dialog font.
    HWND AddControl(const char* className, const std::string& text, DWORD style, int id, int left,
                    int top, int width, int height, DWORD exStyle = 0);

    void ReportError(HWND window, const std::string& text) override;

private:
    HWND owner_ = nullptr;
    HWND initialFocus_ = nullptr;
    UniqueFont font_;
    UniqueWindow window_;
    bool done_ = false;
};

}  // namespace nv::toolkit::win32
