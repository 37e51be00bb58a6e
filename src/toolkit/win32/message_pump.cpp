#include "toolkit/win32/message_pump.h"

namespace nv::toolkit::win32 {

void DeliverMessage(MSG& message, HWND dialog) {
    if (dialog != nullptr && IsDialogMessageA(dialog, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void DeliverPendingMessages(HWND dialog) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DeliverMessage(message, dialog);
    }
}

}  // namespace nv::toolkit::win32
