#pragma once
// UniqueHandle: sole ownership of one operating-system resource (a kernel handle, a
// registry key, a SID, an item-identifier list, a COM interface, a GDI object, a memory device
// context, a window, a loaded library...), released exactly once when the owner goes away.
// Move-only. Each kind of handle is a one-line alias naming its type, its release function and the
// value that means "no handle": some Win32 calls return NULL on failure, others
// INVALID_HANDLE_VALUE (-1), and the two must not be confused.

#include <windows.h>

#include <shlobj.h>
#include <cstdint>
#include <utility>

namespace nv {

template <typename Handle, void (*Close)(Handle) noexcept, std::intptr_t InvalidValue = 0>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    static Handle Invalid() noexcept { return reinterpret_cast<Handle>(InvalidValue); }

    Handle Get() const noexcept { return handle_; }
    bool IsValid() const noexcept { return handle_ != Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Releases the current handle and returns where a Win32 call can store a new one.
    Handle* Put() noexcept {
        Reset();
        return &handle_;
    }
    // Gives up ownership without releasing.
    Handle Release() noexcept { return std::exchange(handle_, Invalid()); }
    void Reset(Handle handle = Invalid()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Invalid()) {
            Close(old);
        }
    }

private:
    Handle handle_ = Invalid();
};

namespace handle_release {
inline void KernelHandle(HANDLE handle) noexcept {
    ::CloseHandle(handle);
}
inline void FindHandle(HANDLE handle) noexcept {
    ::FindClose(handle);
}
inline void RegistryKey(HKEY key) noexcept {
    ::RegCloseKey(key);
}
inline void AllocatedSid(PSID sid) noexcept {
    ::FreeSid(sid);
}
inline void ShellIdList(LPITEMIDLIST list) noexcept {
    ::CoTaskMemFree(list);
}
template <typename Object>
void GdiObject(Object object) noexcept {
    ::DeleteObject(object);
}
inline void MemoryDc(HDC dc) noexcept {
    ::DeleteDC(dc);
}
inline void Window(HWND window) noexcept {
    ::DestroyWindow(window);
}
inline void Module(HMODULE module) noexcept {
    ::FreeLibrary(module);
}
template <typename Interface>
void ComInterface(Interface* pointer) noexcept {
    pointer->Release();
}
}  // namespace handle_release

// NULL means "no handle": process tokens, most kernel objects.
using UniqueKernelHandle = UniqueHandle<HANDLE, handle_release::KernelHandle>;
// INVALID_HANDLE_VALUE means "no handle": CreateFile.
using UniqueFileHandle = UniqueHandle<HANDLE, handle_release::KernelHandle, -1>;
// INVALID_HANDLE_VALUE means "no handle": FindFirstFile.
using UniqueFindHandle = UniqueHandle<HANDLE, handle_release::FindHandle, -1>;
using UniqueRegistryKey = UniqueHandle<HKEY, handle_release::RegistryKey>;
// A SID from AllocateAndInitializeSid.
using UniqueSid = UniqueHandle<PSID, handle_release::AllocatedSid>;
// An item-identifier list the shell allocated.
using UniqueIdList = UniqueHandle<LPITEMIDLIST, handle_release::ShellIdList>;
// GDI objects: a bitmap, a font, a brush. A GDI object must not be selected into a device
// context when its owner goes away.
using UniqueBitmap = UniqueHandle<HBITMAP, handle_release::GdiObject<HBITMAP>>;
using UniqueFont = UniqueHandle<HFONT, handle_release::GdiObject<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, handle_release::GdiObject<HBRUSH>>;
// A device context from CreateCompatibleDC (a window's own one goes back with ReleaseDC).
using UniqueMemoryDc = UniqueHandle<HDC, handle_release::MemoryDc>;
using UniqueWindow = UniqueHandle<HWND, handle_release::Window>;
using UniqueModule = UniqueHandle<HMODULE, handle_release::Module>;
template <typename Interface>
using UniqueCom = UniqueHandle<Interface*, handle_release::ComInterface<Interface>>;

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

}  // namespace nv
