// Setup.exe's entry: its own file held open, safe DLL loading, the wizard window, COM for the
// shell-link object, and the window's message loop.

#include <windows.h>

#include <objbase.h>

#include "base/debug_trace.h"
#include "host/win32/win32_host.h"
#include "picture_bitmaps.h"
#include "toolkit/ui_services.h"
#include "toolkit/win32/error_report.h"
#include "toolkit/win32/system_library.h"
#include "toolkit/win32/win32_application.h"
#include "toolkit/win32/win32_backend.h"
#include "wizard/error_texts.h"
#include "wizard/installer_form.h"

namespace {

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
    ComApartment(ComApartment&&) = delete;
    ComApartment& operator=(ComApartment&&) = delete;

private:
    bool initialised_;
};

int RunWizard(nv::host::Win32Host& host) {
    nv::toolkit::DeferredUiServices ui;
    nv::wizard::TfInstaller form(host, ui, nv::wizard::LoadWizardPictures());
    nv::toolkit::win32::Win32UiServices services(form, host);
    ui.SetTarget(services);
    nv::toolkit::win32::Win32Backend backend;
    backend.CreateHiddenWindowsOnceShown();
    form.AttachBackend(&backend);
    // COM once the first window exists: made first, the apartment pays for starting the
    // window system's driver on its own, on top of what the first window costs anyway.
    ComApartment com;
    form.FormCreate();
    const int exitCode = nv::toolkit::win32::Win32Application().Run(form);
    form.AttachBackend(nullptr);
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    // First of all the host, which opens this program's own file and holds it so that nobody
    // can rename or rewrite it: the payload and the setup copy are read through that handle.
    nv::host::Win32Host host;
    nv::toolkit::win32::RestrictDllSearch();
    nv::SetDebugTraceSink([](const char* text) { OutputDebugStringA(text); });
    // Every error box of the setup speaks German, whichever layer raised the error.
    nv::toolkit::win32::SetErrorDescriber(nv::wizard::ErrorText);
    try {
        return RunWizard(host);
    } catch (...) {
        // Only failures before the window exists get here; later ones are reported by the
        // window's own error report.
        MessageBoxA(nullptr, nv::toolkit::win32::CurrentErrorText().c_str(),
                    nv::toolkit::win32::kErrorCaption, MB_OK | MB_ICONERROR);
        return 1;
    }
}
