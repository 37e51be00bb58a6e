#pragma once
// Owning wrappers for the window-system handles this toolkit creates.

#include <windows.h>

#include "host/win32/unique_handle.h"

namespace nv::toolkit::win32 {

namespace handle_release {
inline void Window(HWND window) noexcept {
    ::DestroyWindow(window);
}
inline void GdiObject(HGDIOBJ object) noexcept {
    ::DeleteObject(object);
}
inline void Font(HFONT font) noexcept {
    GdiObject(font);
}
inline void Brush(HBRUSH brush) noexcept {
    GdiObject(brush);
}
inline void Bitmap(HBITMAP bitmap) noexcept {
    GdiObject(bitmap);
}
inline void Module(HMODULE module) noexcept {
    ::FreeLibrary(module);
}
}  // namespace handle_release

using UniqueWindow = host::UniqueHandle<HWND, handle_release::Window>;
using UniqueFont = host::UniqueHandle<HFONT, handle_release::Font>;
using UniqueBrush = host::UniqueHandle<HBRUSH, handle_release::Brush>;
using UniqueBitmap = host::UniqueHandle<HBITMAP, handle_release::Bitmap>;
using UniqueModule = host::UniqueHandle<HMODULE, handle_release::Module>;
using host::UniqueFindHandle;

}  // namespace nv::toolkit::win32
