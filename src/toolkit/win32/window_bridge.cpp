#include "toolkit/win32/window_bridge.h"

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/win32/error_report.h"

namespace nv::toolkit::win32 {
namespace {

LRESULT CALLBACK BridgeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        // Messages that might still arrive belong to no object any more.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    if (target != nullptr) {
        try {
            if (const std::optional<LRESULT> result =
                    target->HandleMessage(window, message, wParam, lParam)) {
                return *result;
            }
        } catch (...) {
            const std::string text = CurrentErrorText();
            try {
                target->ReportError(window, text);
            } catch (...) {
                // Reporting failed as well (out of memory); nothing is left to tell the user.
            }
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool EnsureClass(const std::string& className, HINSTANCE instance) {
    // A program registers a few classes: a plain list searched from the front.
    static std::vector<std::string> registered;
    if (std::find(registered.begin(), registered.end(), className) != registered.end()) {
        return true;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = BridgeProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    registered.push_back(className);
    return true;
}

}  // namespace

HWND CreateBridgedWindow(const std::string& className, DWORD exStyle, DWORD style,
                         const std::string& text, const RECT& bounds, HWND parent, int id,
                         MessageTarget& target) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!EnsureClass(className, instance)) {
        return nullptr;
    }
    // A child window's menu parameter is its identifier.
    HMENU menuOrId =
        (style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    return CreateWindowExA(exStyle, className.c_str(), text.c_str(), style, bounds.left, bounds.top,
                           bounds.right - bounds.left, bounds.bottom - bounds.top, parent, menuOrId,
                           instance, &target);
}

}  // namespace nv::toolkit::win32
