#pragma once
// The message loop of the program's main form, and the user-interface services the form's
// logic uses from inside its handlers.
//
//   Win32Backend backend;
//   form.AttachBackend(&backend);
//   Win32UiServices services(form, host);   // handed to the form's logic
//   return Win32Application().Run(form);

#include <optional>
#include <string>

#include "host/host.h"
#include "toolkit/form.h"
#include "toolkit/ui_services.h"

namespace nv::toolkit::win32 {

class Win32Application {
public:
    // Shows `form` (attached to a Win32Backend) and delivers messages until the form has
    // closed or the thread is asked to quit. Returns the quit code, or 0 after a close.
    int Run(TForm& form);
};

class Win32UiServices final : public UiServices {
public:
    // `mainForm` is the form whose window owns the chooser and programs started through the
    // shell; its window is looked up at each use, so it may be attached later. The chooser
    // walks the file system through `system`.
    Win32UiServices(TForm& mainForm, host::Host& system) : mainForm_(mainForm), system_(system) {}

    void ProcessMessages() override;
    std::optional<std::string> BrowseForDirectory(const std::string& startFolder,
                                                  const FolderMaker& makeFolder) override;
    void* MainWindowHandle() override;
    // GetTickCount.
    std::optional<std::uint32_t> Milliseconds() override;

private:
    TForm& mainForm_;
    host::Host& system_;
};

}  // namespace nv::toolkit::win32
