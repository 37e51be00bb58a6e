#include "host/win32/desktop_shell.h"

#include <windows.h>

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "win32/unique_handle.h"

namespace nv::host {

namespace {

// A BSTR owned for one scope.
class Bstr {
public:
    explicit Bstr(const std::string& text) {
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
        if (length > 0) {
            value_ = ::SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
            if (value_ != nullptr) {
                ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, value_, length);
            }
        }
    }
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&&) = delete;
    Bstr& operator=(Bstr&&) = delete;

    BSTR Get() const { return value_; }

private:
    BSTR value_ = nullptr;
};

// A VARIANT cleared when it goes.
class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    explicit Variant(BSTR text) : Variant() {
        value_.vt = VT_BSTR;
        value_.bstrVal = ::SysAllocString(text);
    }
    explicit Variant(int number) : Variant() {
        value_.vt = VT_I4;
        value_.lVal = number;
    }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&&) = delete;
    Variant& operator=(Variant&&) = delete;

    VARIANT& Get() { return value_; }

private:
    VARIANT value_;
};

template <typename Interface, typename From>
UniqueCom<Interface> Query(From* from, REFIID iid) {
    UniqueCom<Interface> result;
    if (from == nullptr ||
        FAILED(from->QueryInterface(iid, reinterpret_cast<void**>(result.Put())))) {
        result.Reset();
    }
    return result;
}

// The automation object of the desktop shell: shell windows → the desktop's browser → its
// view → the view's folder automation → the shell application.
UniqueCom<IShellDispatch2> DesktopShellDispatch() {
    UniqueCom<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                  IID_IShellWindows, reinterpret_cast<void**>(windows.Put())))) {
        return {};
    }
    Variant location(CSIDL_DESKTOP);
    Variant root;
    long window = 0;
    UniqueCom<IDispatch> desktop;
    if (windows.Get()->FindWindowSW(&location.Get(), &root.Get(), SWC_DESKTOP, &window,
                                    SWFO_NEEDDISPATCH, desktop.Put()) != S_OK) {
        return {};
    }
    auto provider = Query<IServiceProvider>(desktop.Get(), IID_IServiceProvider);
    UniqueCom<IShellBrowser> browser;
    if (!provider ||
        FAILED(provider.Get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                            reinterpret_cast<void**>(browser.Put())))) {
        return {};
    }
    UniqueCom<IShellView> view;
    if (FAILED(browser.Get()->QueryActiveShellView(view.Put())) || !view) {
        return {};
    }
    UniqueCom<IDispatch> background;
    if (FAILED(view.Get()->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                         reinterpret_cast<void**>(background.Put())))) {
        return {};
    }
    auto folderView = Query<IShellFolderViewDual>(background.Get(), IID_IShellFolderViewDual);
    UniqueCom<IDispatch> application;
    if (!folderView || FAILED(folderView.Get()->get_Application(application.Put()))) {
        return {};
    }
    return Query<IShellDispatch2>(application.Get(), IID_IShellDispatch2);
}

}  // namespace

bool OpenThroughDesktopShell(const std::string& file, const std::string& folder) {
    UniqueCom<IShellDispatch2> shell = DesktopShellDispatch();
    if (!shell) {
        return false;
    }
    Bstr fileText(file);
    Bstr folderText(folder);
    Bstr verbText("open");
    Variant noArguments;
    Variant workingFolder(folderText.Get());
    Variant verb(verbText.Get());
    Variant show(SW_SHOW);
    return SUCCEEDED(shell.Get()->ShellExecute(fileText.Get(), noArguments.Get(),
                                               workingFolder.Get(), verb.Get(), show.Get()));
}

}  // namespace nv::host
