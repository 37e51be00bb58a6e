// The backend's side of the user: window messages turned into the controls' events, and the
// painting of the windows the backend draws itself.

#include <windows.h>

#include <optional>

#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"
#include "toolkit/win32/win32_backend.h"
#include "win32/unique_handle.h"

namespace nv::toolkit::win32 {
namespace {

// Counts the messages being handled; the outermost one's end is where a pending close happens.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    DepthGuard(DepthGuard&&) = delete;
    DepthGuard& operator=(DepthGuard&&) = delete;

private:
    int& depth_;
};

// Painting into a memory bitmap that is copied to the window at the end, so nothing flickers.
class BufferedPaint {
public:
    explicit BufferedPaint(HWND window) : window_(window), target_(BeginPaint(window, &paint_)) {
        const RECT& area = paint_.rcPaint;
        if (target_ != nullptr) {
            dc_.Reset(CreateCompatibleDC(target_));
            bitmap_.Reset(
                CreateCompatibleBitmap(target_, area.right - area.left, area.bottom - area.top));
        }
        if (dc_ && bitmap_) {
            selected_.emplace(dc_.Get(), bitmap_.Get());
            SetWindowOrgEx(dc_.Get(), area.left, area.top, nullptr);
        }
    }
    ~BufferedPaint() {
        const RECT& area = paint_.rcPaint;
        if (selected_) {
            BitBlt(target_, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   dc_.Get(), area.left, area.top, SRCCOPY);
            selected_.reset();  // the bitmap is deselected before it goes
        }
        EndPaint(window_, &paint_);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    BufferedPaint(BufferedPaint&&) = delete;
    BufferedPaint& operator=(BufferedPaint&&) = delete;

    // Null when no buffer could be made; then nothing is drawn but the area is validated.
    HDC Dc() const { return selected_ ? dc_.Get() : nullptr; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC target_;
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    std::optional<SelectedObject> selected_;
};

bool IsUsable(HWND window) {
    return window != nullptr && IsWindowVisible(window) && IsWindowEnabled(window);
}

}  // namespace

std::optional<LRESULT> Win32Backend::HandleMessage(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    std::optional<LRESULT> result;
    if (deferredCreationDue_ && dispatchDepth_ == 0) {
        // The first message after the first paint, whether the posted one or one from
        // outside: the hidden windows exist before anything can act on the form.
        CreateDeferredWindows();
    }
    {
        DepthGuard depth(dispatchDepth_);
        ControlWindow* record = FindByWindow(window);
        const bool isForm = record != nullptr && record->kind == ComponentKind::Form;
        switch (message) {
            case WM_COMMAND:
                // Enter and Escape send IDOK and IDCANCEL from no control: no button answers.
                if (lParam != 0) {
                    Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
                }
                result = 0;
                break;
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
                result =
                    ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
                break;
            case WM_ERASEBKGND:
                result = record != nullptr ? 1 : 0;  // WM_PAINT draws the background
                break;
            case WM_PAINT:
                if (record != nullptr) {
                    Paint(*record);
                    result = 0;
                }
                break;
            case WM_CLOSE:
                // Only the title bar's close box closes the form. Other windows get WM_CLOSE
                // too (a multi-line edit posts it to its parent on Escape) and ignore it.
                if (isForm && form_ != nullptr) {
                    form_->Close();
                }
                result = 0;
                break;
            case WM_NEXTDLGCTL:
                // The form is no dialog, so nothing else moves the focus on this request. A
                // rich-text box sends it to its parent (a panel) on Tab and Shift+Tab.
                if (record != nullptr) {
                    MoveFocus(wParam, lParam);
                    result = 0;
                }
                break;
            case WM_ACTIVATE:
                if (isForm) {
                    Activate(LOWORD(wParam) != WA_INACTIVE);
                    result = 0;
                }
                break;
            default:
                break;
        }
    }
    if (dispatchDepth_ == 0 && closePending_) {
        CloseNow();
    }
    return result;
}

void Win32Backend::Command(HWND child, WORD code) {
    if (ControlWindow* record = FindByWindow(child)) {
        if (const auto command = HandlerOf(record->kind).command) {
            command(*this, *record, child, code);
        }
    }
}

std::optional<LRESULT> Win32Backend::ControlColor(HDC dc, HWND child) {
    const ControlWindow* record = FindByWindow(child);
    if (record == nullptr || record->kind == ComponentKind::Button) {
        return std::nullopt;
    }
    const TControl& control = *record->control;
    // Edit fields fill with their own colour; the others with what shows behind them.
    const TColor background =
        record->kind == ComponentKind::Edit || record->kind == ComponentKind::RichEdit
            ? control.Color()
            : BackgroundOf(control);
    HBRUSH brush = gdi_.Brush(background);
    if (brush == nullptr) {
        return std::nullopt;
    }
    if (control.Enabled()) {
        SetTextColor(dc, ToColorRef(control.Font()->Color()));
    }
    SetBkColor(dc, ToColorRef(background));
    return reinterpret_cast<LRESULT>(brush);
}

void Win32Backend::Paint(ControlWindow& record) {
    BufferedPaint paint(record.window.Get());
    HDC dc = paint.Dc();
    if (dc == nullptr) {
        return;
    }
    const TControl& control = *record.control;
    RECT client{};
    GetClientRect(record.window.Get(), &client);
    if (HBRUSH brush = gdi_.Brush(BackgroundOf(control))) {
        FillRect(dc, &client, brush);
    }
    if (record.kind == ComponentKind::Panel) {
        const auto& panel = static_cast<const TPanel&>(control);
        if (panel.BevelOuter() == TBevelCut::Raised) {
            DrawEdge(dc, &client, BDR_RAISEDOUTER, BF_RECT);
        } else if (panel.BevelOuter() == TBevelCut::Lowered) {
            DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
        }
        if (!panel.Caption().empty()) {
            const SelectedObject font(dc, gdi_.Font(*panel.Font()));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, ToColorRef(panel.Font()->Color()));
            RECT text = client;
            DrawTextA(dc, panel.Caption().c_str(), static_cast<int>(panel.Caption().size()), &text,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    // Pictures have no window: their parent paints them, later ones over earlier ones.
    const auto* container = dynamic_cast<const TWinControl*>(&control);
    if (container == nullptr) {
        return;
    }
    for (const TControl* child : container->Controls()) {
        const ControlWindow* image = Find(*child);
        if (image == nullptr || image->kind != ComponentKind::Image || !child->Visible()) {
            continue;
        }
        const RECT box{child->Left(), child->Top(), child->Left() + child->Width(),
                       child->Top() + child->Height()};
        image->picture.Paint(dc, box, static_cast<const TImage*>(child)->Stretch());
    }
}

void Win32Backend::Activate(bool active) {
    HWND main = MainWindow();
    if (!active) {
        HWND focus = GetFocus();
        lastFocus_ = focus != nullptr && IsChild(main, focus) ? focus : nullptr;
        return;
    }
    if (IsUsable(lastFocus_) && IsChild(main, lastFocus_)) {
        SetFocus(lastFocus_);
    } else {
        RepairFocus();
    }
}

void Win32Backend::MoveFocus(WPARAM wParam, LPARAM lParam) {
    HWND main = MainWindow();
    if (main == nullptr) {
        return;
    }
    // Either the control named in wParam, or the next (wParam zero) or previous tab stop.
    HWND target = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                      : GetNextDlgTabItem(main, GetFocus(), wParam != 0);
    if (target != nullptr && IsChild(main, target)) {
        SetFocus(target);
    }
}

void Win32Backend::RepairFocus() {
    // A control that loses the focus by being hidden or disabled leaves it nowhere, and the
    // keyboard would go dead: hand it to the first control Tab reaches.
    HWND main = MainWindow();
    if (main == nullptr || GetActiveWindow() != main) {
        return;
    }
    HWND focus = GetFocus();
    if (IsUsable(focus) && IsChild(main, focus)) {
        return;
    }
    if (HWND next = GetNextDlgTabItem(main, nullptr, FALSE)) {
        SetFocus(next);
    }
}

}  // namespace nv::toolkit::win32
