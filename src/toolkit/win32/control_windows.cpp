// The backend's side of the model common to every kind of control: making a control's windows
// through its kind's handler, mirroring the changes every window shows, radio items, label
// sizes and the tab order.

#include <windows.h>

#include <algorithm>
#include <string>

#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/win32/label_metrics.h"
#include "toolkit/win32/win32_backend.h"

namespace nv::toolkit::win32 {
namespace {

constexpr UINT kPositionOnly = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

}  // namespace

void SetStyleBits(HWND window, LONG_PTR bits, bool on) {
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | bits) : (style & ~bits);
    if (wanted != style) {
        SetWindowLongPtrA(window, GWL_STYLE, wanted);
    }
}

void Win32Backend::CreateWindows(ControlWindow& record) {
    const KindHandler& kind = HandlerOf(record.kind);
    if (kind.create == nullptr) {
        return;  // a control this backend does not show
    }
    kind.create(*this, record, nextId_++);
    if (!record.window) {
        return;
    }
    for (const ControlProperty property :
         {ControlProperty::Font, ControlProperty::Color, ControlProperty::Checked,
          ControlProperty::Range, ControlProperty::Enabled, ControlProperty::Bounds,
          ControlProperty::Visible}) {
        Mirror(record, property);
    }
}

void Win32Backend::CreateRadioItems(ControlWindow& record) {
    auto& group = static_cast<TRadioGroup&>(*record.control);
    record.items.clear();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HFONT font = gdi_.Font(*group.Font());
    for (int i = 0; i < group.Items()->Count(); ++i) {
        const DWORD style =
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
        HWND item = CreateWindowExA(
            0, "BUTTON", group.Items()->Strings(i).c_str(), style, 0, 0, 0, 0, record.window.Get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)), instance, nullptr);
        if (item == nullptr) {
            continue;
        }
        SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        EnableWindow(item, group.Enabled());
        record.items.emplace_back(item);
    }
    // The buttons lie over the group box's frame.
    if (record.frame) {
        SetWindowPos(record.frame.Get(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    LayoutRadioItems(record);
    ApplyItemIndex(record);
}

void Win32Backend::LayoutRadioItems(ControlWindow& record) {
    const auto& group = static_cast<const TRadioGroup&>(*record.control);
    if (record.frame) {
        SetWindowPos(record.frame.Get(), nullptr, 0, 0, group.Width(), group.Height(),
                     kPositionOnly);
    }
    const int count = static_cast<int>(record.items.size());
    if (count == 0) {
        return;
    }
    // Items fill the box below the caption, column by column, in rows of equal height.
    const int columns = std::max(group.Columns(), 1);
    const int rows = (count + columns - 1) / columns;
    const int captionHeight = LineHeight(record.window.Get(), gdi_.Font(*group.Font()));
    const int available = std::max(group.Height() - captionHeight - 5, 0);
    const int itemHeight = available / rows;
    const int top = captionHeight + 1 + (available % rows) / 2;
    const int itemWidth = std::max((group.Width() - 10) / columns, 0);
    for (int i = 0; i < count; ++i) {
        SetWindowPos(record.items[static_cast<std::size_t>(i)].Get(), nullptr,
                     8 + (i / rows) * itemWidth, top + (i % rows) * itemHeight, itemWidth,
                     itemHeight, kPositionOnly);
    }
}

void Win32Backend::Mirror(ControlWindow& record, ControlProperty property) {
    const KindHandler& kind = HandlerOf(record.kind);
    if (kind.mirror == nullptr || !kind.mirror(*this, record, property)) {
        MirrorCommon(record, property);
    }
}

void Win32Backend::MirrorCommon(ControlWindow& record, ControlProperty property) {
    TControl& control = *record.control;
    HWND window = record.window.Get();
    switch (property) {
        case ControlProperty::Text:
            if (window != nullptr) {
                record.settingText = true;
                SetWindowTextA(window, control.Caption().c_str());
                record.settingText = false;
            }
            break;
        case ControlProperty::Visible:
            if (window != nullptr) {
                const bool shown = control.Visible() && control.Parent() != nullptr;
                ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
                RepairFocus();
            }
            break;
        case ControlProperty::Enabled:
            ApplyEnabled(record);
            break;
        case ControlProperty::Bounds:
            if (window != nullptr) {
                SetWindowPos(window, nullptr, control.Left(), control.Top(), control.Width(),
                             control.Height(), kPositionOnly);
            }
            break;
        case ControlProperty::Font: {
            const auto font = reinterpret_cast<WPARAM>(gdi_.Font(*control.Font()));
            if (window != nullptr) {
                SendMessageA(window, WM_SETFONT, font, TRUE);
            }
            if (record.frame) {
                SendMessageA(record.frame.Get(), WM_SETFONT, font, TRUE);
            }
            for (const UniqueWindow& item : record.items) {
                SendMessageA(item.Get(), WM_SETFONT, font, TRUE);
            }
            break;
        }
        case ControlProperty::Color:
            if (window != nullptr) {
                RedrawWindow(window, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
            break;
        case ControlProperty::Parent:
            if (window != nullptr) {
                SetParent(window, ParentWindowOf(control));
                Mirror(record, ControlProperty::Bounds);
                Mirror(record, ControlProperty::Visible);
            }
            ApplyTabOrder(control.Parent());
            break;
        case ControlProperty::TabOrder:
            ApplyTabOrder(control.Parent());
            break;
        case ControlProperty::Layout:
            if (window != nullptr) {
                InvalidateRect(window, nullptr, TRUE);
            }
            break;
        default:
            break;  // what only some kinds show is their handlers' business
    }
}

SIZE Win32Backend::LabelSize(HWND label, const std::string& text) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    const LONG_PTR noPrefix = GetWindowLongPtrA(label, GWL_STYLE) & SS_NOPREFIX;
    for (const MeasuredLabel& known : labelSizes_) {
        if (known.font == font && known.noPrefix == noPrefix && known.text == text) {
            return known.size;
        }
    }
    const SIZE size = MeasureLabelText(label, text);
    labelSizes_.push_back(MeasuredLabel{font, noPrefix, text, size});
    return size;
}

void Win32Backend::ApplyEnabled(ControlWindow& record) {
    const bool enabled = record.control->Enabled();
    if (record.window) {
        EnableWindow(record.window.Get(), enabled);
    }
    if (record.frame) {
        EnableWindow(record.frame.Get(), enabled);
    }
    for (const UniqueWindow& item : record.items) {
        EnableWindow(item.Get(), enabled);
    }
    if (record.kind != ComponentKind::Form) {
        RepairFocus();
    }
}

void Win32Backend::ApplyItemIndex(ControlWindow& record) {
    if (record.kind != ComponentKind::RadioGroup) {
        return;
    }
    const auto& group = static_cast<const TRadioGroup&>(*record.control);
    const int chosen = group.ItemIndex();
    // Tab enters the group at the chosen button, or at the first when none is chosen.
    const int tabItem = chosen >= 0 ? chosen : 0;
    for (std::size_t i = 0; i < record.items.size(); ++i) {
        HWND item = record.items[i].Get();
        const bool isChosen = static_cast<int>(i) == chosen;
        SendMessageA(item, BM_SETCHECK, isChosen ? BST_CHECKED : BST_UNCHECKED, 0);
        SetStyleBits(item, WS_TABSTOP, group.TabStop() && static_cast<int>(i) == tabItem);
    }
}

void Win32Backend::InvalidateImage(const ControlWindow& record) {
    const TControl& image = *record.control;
    if (HWND parent = ParentWindowOf(image)) {
        const RECT bounds{image.Left(), image.Top(), image.Left() + image.Width(),
                          image.Top() + image.Height()};
        InvalidateRect(parent, &bounds, FALSE);
    }
}

void Win32Backend::ApplyTabOrder(const TControl* visualParent) {
    if (visualParent == nullptr) {
        visualParent = form_;
    }
    if (attaching_) {
        if (std::find(tabOrderPending_.begin(), tabOrderPending_.end(), visualParent) ==
            tabOrderPending_.end()) {
            tabOrderPending_.push_back(visualParent);
        }
        return;
    }
    ApplyTabOrderNow(visualParent);
}

void Win32Backend::ApplyTabOrderNow(const TControl* visualParent) {
    // Within one parent, the z-order is the tab order: windowed controls by TabOrder (ties in
    // the order they were attached), then the rest. Tab and Shift+Tab follow it.
    if (visualParent == nullptr) {
        visualParent = form_;
    }
    std::vector<ControlWindow*> siblings;
    for (const auto& record : records_) {
        const TControl* parent = record->control->Parent() != nullptr
                                     ? record->control->Parent()
                                     : static_cast<const TControl*>(form_);
        if (record->window && record->kind != ComponentKind::Form && parent == visualParent) {
            siblings.push_back(record.get());
        }
    }
    auto tabOrderOf = [](const ControlWindow* record) -> std::int64_t {
        const auto* windowed = dynamic_cast<const TWinControl*>(record->control);
        return windowed != nullptr ? windowed->TabOrder() : INT64_MAX;
    };
    std::stable_sort(siblings.begin(), siblings.end(),
                     [&](const ControlWindow* a, const ControlWindow* b) {
                         return tabOrderOf(a) < tabOrderOf(b);
                     });
    HWND after = HWND_TOP;
    for (ControlWindow* record : siblings) {
        HWND window = record->window.Get();
        SetWindowPos(window, after, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        after = window;
        const auto* windowed = dynamic_cast<const TWinControl*>(record->control);
        const bool takesTab =
            record->kind == ComponentKind::Button || record->kind == ComponentKind::CheckBox ||
            record->kind == ComponentKind::Edit || record->kind == ComponentKind::RichEdit;
        if (takesTab) {
            SetStyleBits(window, WS_TABSTOP, windowed != nullptr && windowed->TabStop());
        } else if (record->kind == ComponentKind::RadioGroup) {
            ApplyItemIndex(*record);
        }
    }
}

}  // namespace nv::toolkit::win32
