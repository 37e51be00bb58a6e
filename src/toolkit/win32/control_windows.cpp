// The backend's side of the model: creating each control's windows and mirroring every change
// of the model's state into them.

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>

#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"
#include "toolkit/win32/label_metrics.h"
#include "toolkit/win32/system_library.h"
#include "toolkit/win32/win32_backend.h"

namespace nv::toolkit::win32 {
namespace {

constexpr char kPanelClass[] = "NvPanel";
constexpr char kRadioGroupClass[] = "NvRadioGroup";
constexpr char kRichEditClass[] = "RichEdit20A";
constexpr UINT kPositionOnly = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

void SetStyleBits(HWND window, LONG_PTR bits, bool on) {
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | bits) : (style & ~bits);
    if (wanted != style) {
        SetWindowLongPtrA(window, GWL_STYLE, wanted);
    }
}

RECT BoundsOf(const TControl& control) {
    return RECT{control.Left(), control.Top(), control.Left() + control.Width(),
                control.Top() + control.Height()};
}

bool SameBounds(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

DWORD FormStyle(const TForm& form, DWORD& exStyle) {
    const std::uint32_t icons = form.BorderIcons();
    const bool systemMenu = (icons & BorderIconBit(TBorderIcon::SystemMenu)) != 0;
    DWORD boxes = 0;
    if ((icons & BorderIconBit(TBorderIcon::Minimize)) != 0) {
        boxes |= WS_MINIMIZEBOX;
    }
    if ((icons & BorderIconBit(TBorderIcon::Maximize)) != 0) {
        boxes |= WS_MAXIMIZEBOX;
    }
    DWORD style = WS_CLIPCHILDREN;
    exStyle = WS_EX_CONTROLPARENT;
    switch (form.BorderStyle()) {
        case TFormBorderStyle::None:
            return style | WS_POPUP;
        case TFormBorderStyle::Dialog:
            // A fixed dialog frame never has minimise or maximise boxes.
            exStyle |= WS_EX_DLGMODALFRAME;
            style |= WS_CAPTION;
            break;
        case TFormBorderStyle::Single:
            style |= WS_CAPTION | boxes;
            break;
        case TFormBorderStyle::ToolWindow:
            exStyle |= WS_EX_TOOLWINDOW;
            style |= WS_CAPTION;
            break;
        case TFormBorderStyle::Sizeable:
            style |= WS_CAPTION | WS_THICKFRAME | boxes;
            break;
        case TFormBorderStyle::SizeToolWin:
            exStyle |= WS_EX_TOOLWINDOW;
            style |= WS_CAPTION | WS_THICKFRAME;
            break;
    }
    return systemMenu ? (style | WS_SYSMENU) : style;
}

// The outer rectangle of a form whose client area has the model's size.
RECT FormFrame(const TForm& form) {
    DWORD exStyle = 0;
    const DWORD style = FormStyle(form, exStyle);
    RECT frame{0, 0, form.ClientWidth(), form.ClientHeight()};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return RECT{form.Left(), form.Top(), form.Left() + (frame.right - frame.left),
                form.Top() + (frame.bottom - frame.top)};
}

DWORD LabelAlignmentStyle(const TLabel& label) {
    switch (label.Alignment()) {
        case TAlignment::RightJustify:
            return SS_RIGHT;
        case TAlignment::Center:
            return SS_CENTER;
        case TAlignment::LeftJustify:
            break;
    }
    return SS_LEFT;
}

DWORD RichEditStyle(const TRichEdit& edit) {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_DISABLENOSCROLL;
    const TScrollStyle bars = edit.ScrollBars();
    if (bars == TScrollStyle::Vertical || bars == TScrollStyle::Both) {
        style |= WS_VSCROLL;
    }
    if (bars == TScrollStyle::Horizontal || bars == TScrollStyle::Both) {
        style |= WS_HSCROLL;
    }
    if (!edit.WordWrap()) {
        style |= ES_AUTOHSCROLL;
    }
    if (edit.ReadOnly()) {
        style |= ES_READONLY;
    }
    return style;
}

// Hands a text to a rich-text box as plain text: nothing in it is read as formatting.
struct StreamSource {
    const std::string* text;
    std::size_t offset;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t left = source->text->size() - source->offset;
    const std::size_t count = std::min(left, static_cast<std::size_t>(size));
    std::copy_n(source->text->data() + source->offset, count, buffer);
    source->offset += count;
    *read = static_cast<LONG>(count);
    return 0;
}

void EnsureCommonControls() {
    static const bool initialised = [] { return InitSystemCommonControls(ICC_PROGRESS_CLASS); }();
    (void)initialised;
}

}  // namespace

void Win32Backend::CreateWindows(ControlWindow& record) {
    TControl& control = *record.control;
    const int id = nextId_++;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const HWND parent = record.kind == ControlKind::Form ? nullptr : ParentWindowOf(control);
    const RECT bounds = BoundsOf(control);
    auto createChild = [&](DWORD exStyle, const char* className, const std::string& text,
                           DWORD style) {
        return CreateWindowExA(
            exStyle, className, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, bounds.left,
            bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    switch (record.kind) {
        case ControlKind::Form: {
            auto& form = static_cast<TForm&>(control);
            DWORD exStyle = 0;
            const DWORD style = FormStyle(form, exStyle);
            record.window.Reset(CreateBridgedWindow(form.ClassType().Name(), exStyle, style,
                                                    form.Caption(), FormFrame(form), nullptr, 0,
                                                    *this));
            break;
        }
        case ControlKind::Panel:
            record.window.Reset(CreateBridgedWindow(kPanelClass, WS_EX_CONTROLPARENT,
                                                    WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                                    control.Caption(), bounds, parent, id, *this));
            break;
        case ControlKind::Label:
            record.window.Reset(createChild(0, "STATIC", control.Caption(),
                                            LabelAlignmentStyle(static_cast<TLabel&>(control))));
            break;
        case ControlKind::Button:
            record.window.Reset(createChild(0, "BUTTON", control.Caption(), BS_PUSHBUTTON));
            break;
        case ControlKind::CheckBox:
            record.window.Reset(createChild(0, "BUTTON", control.Caption(), BS_AUTOCHECKBOX));
            break;
        case ControlKind::RadioGroup:
            record.window.Reset(CreateBridgedWindow(kRadioGroupClass, WS_EX_CONTROLPARENT,
                                                    WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                                    std::string(), bounds, parent, id, *this));
            if (record.window) {
                // The group box draws only its frame and caption; as a transparent window it
                // leaves the container free to paint the ground inside it.
                record.frame.Reset(CreateWindowExA(
                    WS_EX_TRANSPARENT, "BUTTON", control.Caption().c_str(),
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | BS_GROUPBOX, 0, 0,
                    control.Width(), control.Height(), record.window.Get(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)), instance, nullptr));
                CreateRadioItems(record);
            }
            break;
        case ControlKind::Edit: {
            auto& edit = static_cast<TEdit&>(control);
            record.settingText = true;
            record.window.Reset(createChild(WS_EX_CLIENTEDGE, "EDIT", edit.Text(),
                                            ES_AUTOHSCROLL | (edit.ReadOnly() ? ES_READONLY : 0)));
            record.settingText = false;
            break;
        }
        case ControlKind::RichEdit: {
            if (!richEdit_) {
                richEdit_ = LoadSystemLibrary("riched20.dll");
            }
            // Without the system's rich-text library a plain multi-line edit shows the text.
            const char* className = richEdit_ ? kRichEditClass : "EDIT";
            record.window.Reset(createChild(WS_EX_CLIENTEDGE, className, std::string(),
                                            RichEditStyle(static_cast<TRichEdit&>(control))));
            if (record.window && richEdit_) {
                SendMessageA(record.window.Get(), EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
            }
            ApplyLines(record);
            break;
        }
        case ControlKind::ProgressBar:
            EnsureCommonControls();
            record.window.Reset(createChild(0, PROGRESS_CLASSA, std::string(), 0));
            break;
        case ControlKind::Image:
            ApplyPicture(record);
            return;
        case ControlKind::Unknown:
            return;
    }
    if (!record.window) {
        return;
    }
    ApplyFont(record);
    Mirror(record, ControlProperty::Color);
    Mirror(record, ControlProperty::Checked);
    Mirror(record, ControlProperty::Range);
    ApplyEnabled(record);
    ApplyBounds(record);
    ApplyVisible(record);
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
    HWND window = record.window.Get();
    TControl& control = *record.control;
    switch (property) {
        case ControlProperty::Text:
            ApplyText(record);
            break;
        case ControlProperty::Visible:
            ApplyVisible(record);
            break;
        case ControlProperty::Enabled:
            ApplyEnabled(record);
            break;
        case ControlProperty::Bounds:
            ApplyBounds(record);
            break;
        case ControlProperty::Font:
            ApplyFont(record);
            break;
        case ControlProperty::Color:
            if (record.kind == ControlKind::RichEdit && window != nullptr) {
                SendMessageA(window, EM_SETBKGNDCOLOR, 0,
                             static_cast<LPARAM>(ToColorRef(control.Color())));
            }
            if (window != nullptr) {
                RedrawWindow(window, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
            break;
        case ControlProperty::Parent:
            if (record.kind == ControlKind::Image) {
                if (HWND main = MainWindow()) {
                    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
                }
            } else if (window != nullptr) {
                SetParent(window, ParentWindowOf(control));
                ApplyBounds(record);
                ApplyVisible(record);
            }
            ApplyTabOrder(control.Parent());
            break;
        case ControlProperty::TabOrder:
            ApplyTabOrder(control.Parent());
            break;
        case ControlProperty::Layout:
            ApplyLayout(record);
            break;
        case ControlProperty::Items:
            if (record.kind == ControlKind::RadioGroup && window != nullptr) {
                CreateRadioItems(record);
                RepairFocus();
            }
            break;
        case ControlProperty::ItemIndex:
            ApplyItemIndex(record);
            break;
        case ControlProperty::Lines:
            ApplyLines(record);
            break;
        case ControlProperty::Checked:
            if (record.kind == ControlKind::CheckBox && window != nullptr) {
                const bool checked = static_cast<TCheckBox&>(control).Checked();
                SendMessageA(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            break;
        case ControlProperty::ReadOnly:
            if (window != nullptr) {
                bool readOnly = false;
                if (record.kind == ControlKind::Edit) {
                    readOnly = static_cast<TEdit&>(control).ReadOnly();
                } else if (record.kind == ControlKind::RichEdit) {
                    readOnly = static_cast<TRichEdit&>(control).ReadOnly();
                } else {
                    break;
                }
                SendMessageA(window, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
            }
            break;
        case ControlProperty::Range:
        case ControlProperty::Position:
            if (record.kind == ControlKind::ProgressBar && window != nullptr) {
                const auto& bar = static_cast<TProgressBar&>(control);
                SendMessageA(window, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()),
                             static_cast<LPARAM>(bar.Max()));
                SendMessageA(window, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
            }
            break;
        case ControlProperty::Picture:
            ApplyPicture(record);
            break;
        case ControlProperty::Closed:
            break;
    }
}

void Win32Backend::ApplyBounds(ControlWindow& record) {
    TControl& control = *record.control;
    HWND window = record.window.Get();
    switch (record.kind) {
        case ControlKind::Form: {
            auto& form = static_cast<TForm&>(control);
            const RECT frame = FormFrame(form);
            if (!SameBounds(frame, BoundsOf(form))) {
                // The model learns the outer size; the change comes back here once more.
                form.SetBounds(frame.left, frame.top, frame.right - frame.left,
                               frame.bottom - frame.top);
                return;
            }
            if (window != nullptr) {
                SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
                             frame.bottom - frame.top, kPositionOnly);
            }
            return;
        }
        case ControlKind::Label: {
            auto& label = static_cast<TLabel&>(control);
            if (window != nullptr && label.AutoSize()) {
                const SIZE size = LabelSize(window, label.Caption());
                const RECT wanted = AutoSizedBounds(BoundsOf(label), size, label.Alignment());
                if (!SameBounds(wanted, BoundsOf(label))) {
                    label.SetBounds(wanted.left, wanted.top, wanted.right - wanted.left,
                                    wanted.bottom - wanted.top);
                    return;
                }
            }
            break;
        }
        case ControlKind::Image:
            if (HWND parent = ParentWindowOf(control)) {
                RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE);
            }
            return;
        default:
            break;
    }
    if (window != nullptr) {
        SetWindowPos(window, nullptr, control.Left(), control.Top(), control.Width(),
                     control.Height(), kPositionOnly);
        if (record.kind == ControlKind::RadioGroup) {
            LayoutRadioItems(record);
        }
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

void Win32Backend::ApplyText(ControlWindow& record) {
    TControl& control = *record.control;
    HWND window = record.kind == ControlKind::RadioGroup ? record.frame.Get() : record.window.Get();
    if (window == nullptr) {
        return;
    }
    record.settingText = true;
    SetWindowTextA(window, control.Caption().c_str());
    record.settingText = false;
    if (record.kind == ControlKind::Label) {
        ApplyBounds(record);
    } else if (record.kind == ControlKind::Panel) {
        InvalidateRect(window, nullptr, FALSE);
    } else if (record.kind == ControlKind::RadioGroup) {
        LayoutRadioItems(record);
    }
}

void Win32Backend::ApplyVisible(ControlWindow& record) {
    TControl& control = *record.control;
    if (record.kind == ControlKind::Image) {
        InvalidateImage(record);
        return;
    }
    HWND window = record.window.Get();
    if (window == nullptr) {
        return;
    }
    if (record.kind == ControlKind::Form) {
        ShowForm(window, control.Visible());
        return;
    }
    const bool shown = control.Visible() && control.Parent() != nullptr;
    ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
    RepairFocus();
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
    if (record.kind != ControlKind::Form) {
        RepairFocus();
    }
}

void Win32Backend::ApplyFont(ControlWindow& record) {
    HFONT font = gdi_.Font(*record.control->Font());
    const auto wParam = reinterpret_cast<WPARAM>(font);
    if (record.window) {
        SendMessageA(record.window.Get(), WM_SETFONT, wParam, TRUE);
    }
    if (record.frame) {
        SendMessageA(record.frame.Get(), WM_SETFONT, wParam, TRUE);
    }
    for (const UniqueWindow& item : record.items) {
        SendMessageA(item.Get(), WM_SETFONT, wParam, TRUE);
    }
    if (record.kind == ControlKind::Label) {
        ApplyBounds(record);
    } else if (record.kind == ControlKind::RadioGroup) {
        LayoutRadioItems(record);
    } else if (record.kind == ControlKind::Panel && record.window) {
        InvalidateRect(record.window.Get(), nullptr, FALSE);
    }
}

void Win32Backend::ApplyItemIndex(ControlWindow& record) {
    if (record.kind != ControlKind::RadioGroup) {
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

void Win32Backend::ApplyLines(ControlWindow& record) {
    HWND window = record.window.Get();
    if (record.kind != ControlKind::RichEdit || window == nullptr) {
        return;
    }
    std::string text = static_cast<const TRichEdit&>(*record.control).Lines()->Text();
    if (text.size() >= 2) {
        text.resize(text.size() - 2);  // lines are joined, not ended, by CR LF
    }
    if (richEdit_) {
        StreamSource source{&text, 0};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
        SendMessageA(window, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    } else {
        SetWindowTextA(window, text.c_str());
    }
    SendMessageA(window, EM_SETSEL, 0, 0);
    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
}

void Win32Backend::ApplyLayout(ControlWindow& record) {
    HWND window = record.window.Get();
    TControl& control = *record.control;
    switch (record.kind) {
        case ControlKind::Form: {
            if (window == nullptr) {
                return;
            }
            DWORD exStyle = 0;
            const DWORD style = FormStyle(static_cast<TForm&>(control), exStyle);
            const LONG_PTR shown = GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE;
            SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(style) | shown);
            SetWindowLongPtrA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | kPositionOnly);
            ApplyBounds(record);
            return;
        }
        case ControlKind::Label:
            if (window != nullptr) {
                SetStyleBits(window, SS_TYPEMASK, false);
                SetStyleBits(
                    window,
                    static_cast<LONG_PTR>(LabelAlignmentStyle(static_cast<TLabel&>(control))),
                    true);
                InvalidateRect(window, nullptr, TRUE);
                ApplyBounds(record);
            }
            return;
        case ControlKind::RichEdit:
            if (window != nullptr) {
                const auto& edit = static_cast<const TRichEdit&>(control);
                SetStyleBits(window, WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL, false);
                SetStyleBits(window, static_cast<LONG_PTR>(RichEditStyle(edit)), true);
                if (richEdit_) {
                    SendMessageA(window, EM_SETTARGETDEVICE, 0, edit.WordWrap() ? 0 : 1);
                }
                SetWindowPos(window, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | kPositionOnly);
            }
            return;
        case ControlKind::RadioGroup:
            LayoutRadioItems(record);
            return;
        case ControlKind::Image:
            InvalidateImage(record);
            ApplyPicture(record);
            return;
        default:
            if (window != nullptr) {
                InvalidateRect(window, nullptr, TRUE);
            }
            return;
    }
}

void Win32Backend::ApplyPicture(ControlWindow& record) {
    auto& image = static_cast<TImage&>(*record.control);
    record.picture = PreparedPicture(image.Picture()->GetBitmap());
    if (image.AutoSize() && !record.picture.Empty() &&
        (image.Width() != record.picture.Width() || image.Height() != record.picture.Height())) {
        image.SetBounds(image.Left(), image.Top(), record.picture.Width(), record.picture.Height());
    }
    InvalidateImage(record);
}

void Win32Backend::InvalidateImage(const ControlWindow& record) {
    HWND parent = ParentWindowOf(*record.control);
    if (parent != nullptr) {
        const RECT bounds = BoundsOf(*record.control);
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
        if (record->window && record->kind != ControlKind::Form && parent == visualParent) {
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
            record->kind == ControlKind::Button || record->kind == ControlKind::CheckBox ||
            record->kind == ControlKind::Edit || record->kind == ControlKind::RichEdit;
        if (takesTab) {
            SetStyleBits(window, WS_TABSTOP, windowed != nullptr && windowed->TabStop());
        } else if (record->kind == ControlKind::RadioGroup) {
            ApplyItemIndex(*record);
        }
    }
}

}  // namespace nv::toolkit::win32
