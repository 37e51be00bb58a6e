#include "toolkit/win32/modal_window.h"

#include "base/error.h"
#include "toolkit/win32/error_report.h"
#include "toolkit/win32/message_pump.h"

namespace nv::toolkit::win32 {

void ModalWindow::Create(HWND owner, const std::string& className, const std::string& caption,
                         int width, int height) {
    owner_ = owner;
    font_.Reset(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr) {
        GetWindowRect(owner, &area);
    }
    const int outerWidth = frame.right - frame.left;
    const int outerHeight = frame.bottom - frame.top;
    const int left = area.left + (area.right - area.left - outerWidth) / 2;
    const int top = area.top + (area.bottom - area.top - outerHeight) / 2;
    window_.Reset(CreateBridgedWindow(className, exStyle, style, caption,
                                      RECT{left, top, left + outerWidth, top + outerHeight}, owner,
                                      0, *this));
    if (!window_) {
        throw Error(ErrorKind::kOutOfResources, std::string(), GetLastError());
    }
}

HWND ModalWindow::AddControl(const char* className, const std::string& text, DWORD style, int id,
                             int left, int top, int width, int height, DWORD exStyle) {
    HWND control = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                   left, top, width, height, window_.Get(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    if (control != nullptr) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    }
    return control;
}

void ModalWindow::RunModal() {
    const bool ownerWasEnabled = owner_ != nullptr && IsWindowEnabled(owner_);
    if (ownerWasEnabled) {
        EnableWindow(owner_, FALSE);
    }
    ShowWindow(window_.Get(), SW_SHOW);
    if (initialFocus_ != nullptr) {
        SetFocus(initialFocus_);
    }
    done_ = false;
    while (!done_) {
        MSG message;
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        DeliverMessage(message, window_.Get());
    }
    // The owner is enabled before the window goes, so the activation returns to it.
    if (ownerWasEnabled) {
        EnableWindow(owner_, TRUE);
    }
    window_.Reset();
}

void ModalWindow::ReportError(HWND window, const std::string& text) {
    ShowErrorBox(window, text);
}

}  // namespace nv::toolkit::win32
