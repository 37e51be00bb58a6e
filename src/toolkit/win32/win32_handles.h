#pragma once
// Owning wrappers for the window-system handles this toolkit creates, and the scoped selection
// of a GDI object into a device context.

#include <windows.h>

#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {

namespace handle_release {
inline void Window(HWND window) noexcept {
    ::DestroyWindow(window);
}
inline void Module(HMODULE module) noexcept {
    ::FreeLibrary(module);
}
}  // namespace handle_release

using UniqueWindow = UniqueHandle<HWND, handle_release::Window>;
using UniqueModule = UniqueHandle<HMODULE, handle_release::Module>;

// Keeps a GDI object selected into a device context for one scope, then puts back what was
// selected before. Does nothing when the context or the object is null.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    SelectedObject(SelectedObject&&) = delete;
    SelectedObject& operator=(SelectedObject&&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace nv::toolkit::win32
