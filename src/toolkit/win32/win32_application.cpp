#include "toolkit/win32/win32_application.h"

#include "toolkit/win32/folder_chooser.h"
#include "toolkit/win32/message_pump.h"
#include "toolkit/win32/win32_backend.h"

namespace nv::toolkit::win32 {
namespace {

HWND WindowOfForm(const TForm& form) {
    const Win32Backend* backend = Win32Backend::Of(form);
    return backend != nullptr ? backend->MainWindow() : nullptr;
}

}  // namespace

int Win32Application::Run(TForm& form) {
    if (!form.Closed()) {
        form.SetVisible(true);
    }
    // The backend destroys the form's window when it closes, once no handler runs any more;
    // the loop ends right after the message whose handler closed it.
    while (!form.Closed() && WindowOfForm(form) != nullptr) {
        MSG message;
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            break;
        }
        DeliverMessage(message, WindowOfForm(form));
    }
    return 0;
}

void Win32UiServices::ProcessMessages() {
    DeliverPendingMessages(WindowOfForm(mainForm_));
}

std::optional<std::string> Win32UiServices::BrowseForDirectory(const std::string& startFolder,
                                                               const FolderMaker& makeFolder) {
    return ChooseFolder(WindowOfForm(mainForm_), system_, startFolder, makeFolder);
}

void* Win32UiServices::MainWindowHandle() {
    return WindowOfForm(mainForm_);
}

std::optional<std::uint32_t> Win32UiServices::Milliseconds() {
    return static_cast<std::uint32_t>(GetTickCount());
}

}  // namespace nv::toolkit::win32
