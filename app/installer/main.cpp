// Setup.exe's entry: its own file held open, safe DLL loading, COM for the shell-link object, the
// wizard window and its message loop.

#include <windows.h>

#include <objbase.h>

#include <optional>
#include <string>

#include "base/debug_trace.h"
#include "host/win32/win32_host.h"
#include "picture_bitmaps.h"
#include "toolkit/win32/error_report.h"
#include "toolkit/win32/win32_application.h"
#include "toolkit/win32/win32_backend.h"
#include "wizard/error_texts.h"
#include "wizard/installer_form.h"

namespace {

#ifndef NV_UNGUARDED_DLL_LOADING
// Loads DLLs only from the system folder from here on: a setup is usually started from a
// downloads folder where anyone may have left a DLL named like a system one.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryA("");  // and never the current folder
}
#endif

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

// The wizard needs its UI services while it is built, and the Win32 services need the built
// form: this hands calls on once both exist.
class DeferredUi final : public nv::toolkit::UiServices {
public:
    void ProcessMessages() override { target_->ProcessMessages(); }
    std::optional<std::string> BrowseForDirectory(const std::string& startFolder,
                                                  const FolderMaker& makeFolder) override {
        return target_->BrowseForDirectory(startFolder, makeFolder);
    }
    void* MainWindowHandle() override { return target_->MainWindowHandle(); }
    std::optional<std::uint32_t> Milliseconds() override { return target_->Milliseconds(); }
    void SetTarget(nv::toolkit::UiServices& target) { target_ = &target; }

private:
    nv::toolkit::UiServices* target_ = nullptr;
};

int RunWizard(nv::host::Win32Host& host) {
    DeferredUi ui;
    nv::wizard::TfInstaller form(host, ui, nv::wizard::LoadWizardPictures());
    nv::toolkit::win32::Win32UiServices services(form, host);
    ui.SetTarget(services);
    nv::toolkit::win32::Win32Backend backend;
    form.AttachBackend(&backend);
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
#ifndef NV_UNGUARDED_DLL_LOADING
    RestrictDllSearch();
#endif
    ComApartment com;
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
