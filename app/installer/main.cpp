// Setup.exe's entry: COM for the shell-link object, the one wizard window, the message loop.

#include <windows.h>

#include <objbase.h>

namespace {

constexpr char kWindowClass[] = "TfInstaller";
constexpr char kCaption[] = "Norvista Installer";
constexpr int kClientWidth = 653;
constexpr int kClientHeight = 500;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Single-threaded COM apartment for the lifetime of the program.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
    ComApartment com;

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExA(&windowClass) == 0) {
        return 1;
    }

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    HWND window = CreateWindowExA(kExStyle, kWindowClass, kCaption, kStyle, left, top, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
