#pragma once
// What a form's logic needs from the user-interface system beyond its controls: letting
// pending window messages run, the modal folder chooser, and the native window that owns
// programs started through the shell. The Win32 backend provides the real one; tests
// provide a scripted one.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace nv::toolkit {

class UiServices {
public:
    UiServices() = default;
    virtual ~UiServices() = default;
    UiServices(const UiServices&) = delete;
    UiServices& operator=(const UiServices&) = delete;
    UiServices(UiServices&&) = delete;
    UiServices& operator=(UiServices&&) = delete;

    // Runs every pending window message (clicks included) and returns. A request to close the
    // main form made meanwhile takes effect only when control is back in the message loop.
    virtual void ProcessMessages() = 0;

    // Makes a folder the user chose to create, with its missing parents; true when it exists
    // afterwards. The program decides how (where and with which access list).
    using FolderMaker = std::function<bool(const std::string& folder)>;

    // The modal folder chooser, opened at `startFolder` (which exists). It navigates by
    // changing the process's current folder; a typed folder that does not exist is made by
    // `makeFolder` after the user confirms. The chosen folder, or nothing when cancelled.
    virtual std::optional<std::string> BrowseForDirectory(const std::string& startFolder,
                                                          const FolderMaker& makeFolder) = 0;

    // The native handle of the main window (owner of programs started through the shell);
    // null where there is none.
    virtual void* MainWindowHandle() = 0;

    // Milliseconds from a cheap clock that may move in steps (about 16 ms for GetTickCount)
    // and wraps around, for letting messages run by time (ThrottledPump). Nothing when these
    // services have no clock: then messages run after every unit of work.
    virtual std::optional<std::uint32_t> Milliseconds() { return std::nullopt; }
};

// Hands every call on to services named later: a form needs its services while it is built,
// and the window system's services need the built form.
class DeferredUiServices final : public UiServices {
public:
    void SetTarget(UiServices& target) { target_ = &target; }

    void ProcessMessages() override { target_->ProcessMessages(); }
    std::optional<std::string> BrowseForDirectory(const std::string& startFolder,
                                                  const FolderMaker& makeFolder) override {
        return target_->BrowseForDirectory(startFolder, makeFolder);
    }
    void* MainWindowHandle() override { return target_->MainWindowHandle(); }
    std::optional<std::uint32_t> Milliseconds() override { return target_->Milliseconds(); }

private:
    UiServices* target_ = nullptr;
};

}  // namespace nv::toolkit
