// Norvis.exe, the demo product: one window titled "Norvista" that greets the user in the
// language stored under GENERAL/LANGUAGE of the norvis.ini beside the program.

#include <windows.h>

#include <string>
#include <string_view>

#include "base/text.h"

namespace {

constexpr int kGreetingId = 100;
constexpr int kCloseId = IDOK;

// The folder of this program, with a trailing backslash.
std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return nv::FolderPart(std::string_view(path, length));
}

std::string StoredLanguage() {
    const std::string ini = ProgramFolder() + "norvis.ini";
    char value[64] = {};
    GetPrivateProfileStringA("GENERAL", "LANGUAGE", "", value, sizeof value, ini.c_str());
    return value;
}

struct Texts {
    const char* greeting;
    const char* close;
};

Texts TextsFor(const std::string& language) {
    if (lstrcmpiA(language.c_str(), "Deutsch") == 0) {
        return {"Willkommen bei Norvista! Sch\xF6n, dass Sie da sind.",
                "&Schlie\xDF"
                "en"};
    }
    return {"Welcome to Norvista! Glad to have you here.", "&Close"};
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kCloseId || LOWORD(wParam) == IDCANCEL) {
                DestroyWindow(window);
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateChild(HWND parent, const char* kind, const char* text, DWORD style, int x, int y,
                 int width, int height, int id) {
    HWND child = CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
    return child;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int show) {
    const Texts texts = TextsFor(StoredLanguage());

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "NorvistaDemoWindow";
    if (RegisterClassA(&windowClass) == 0) {
        return 1;
    }
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "Norvista",
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 420, 160, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    CreateChild(window, "STATIC", texts.greeting, SS_CENTER, 10, 24, 390, 20, kGreetingId);
    CreateChild(window, "BUTTON", texts.close, BS_DEFPUSHBUTTON | WS_TABSTOP, 160, 64, 90, 26,
                kCloseId);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
