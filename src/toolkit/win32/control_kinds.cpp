// One handler per kind of control: how the backend makes its windows, what of the model's
// changes only this kind shows, and which of its notifications are the user's actions.

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <iterator>
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

void MirrorReadOnly(HWND window, bool readOnly) {
    if (window != nullptr) {
        SendMessageA(window, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    }
}

}  // namespace

// The handlers, one set per kind, with the backend they work for.
struct Win32Backend::Kinds {
    static HWND CreateChild(Win32Backend& b, ControlWindow& record, int id, DWORD exStyle,
                            const char* className, const std::string& text, DWORD style) {
        const RECT bounds = BoundsOf(*record.control);
        return CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style,
                               bounds.left, bounds.top, bounds.right - bounds.left,
                               bounds.bottom - bounds.top, b.ParentWindowOf(*record.control),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    }

    // --- Form -----------------------------------------------------------------------------

    static void CreateForm(Win32Backend& b, ControlWindow& record, int /*id*/) {
        auto& form = static_cast<TForm&>(*record.control);
        DWORD exStyle = 0;
        const DWORD style = FormStyle(form, exStyle);
        record.window.Reset(CreateBridgedWindow(form.ClassType().Name(), exStyle, style,
                                                form.Caption(), FormFrame(form), nullptr, 0, b));
    }

    static bool MirrorForm(Win32Backend& b, ControlWindow& record, ControlProperty property) {
        auto& form = static_cast<TForm&>(*record.control);
        HWND window = record.window.Get();
        switch (property) {
            case ControlProperty::Visible:
                if (window != nullptr) {
                    b.ShowForm(window, form.Visible());
                }
                return true;
            case ControlProperty::Bounds: {
                const RECT frame = FormFrame(form);
                if (!SameBounds(frame, BoundsOf(form))) {
                    // The model learns the outer size; the change comes back here once more.
                    form.SetBounds(frame.left, frame.top, frame.right - frame.left,
                                   frame.bottom - frame.top);
                } else if (window != nullptr) {
                    SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
                                 frame.bottom - frame.top, kPositionOnly);
                }
                return true;
            }
            case ControlProperty::Layout: {
                if (window != nullptr) {
                    DWORD exStyle = 0;
                    const DWORD style = FormStyle(form, exStyle);
                    const LONG_PTR shown = GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE;
                    SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(style) | shown);
                    SetWindowLongPtrA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
                    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                                 SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | kPositionOnly);
                    MirrorForm(b, record, ControlProperty::Bounds);
                }
                return true;
            }
            default:
                return false;
        }
    }

    // --- Panel ----------------------------------------------------------------------------

    static void CreatePanel(Win32Backend& b, ControlWindow& record, int id) {
        record.window.Reset(CreateBridgedWindow(
            kPanelClass, WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
            record.control->Caption(), BoundsOf(*record.control), b.ParentWindowOf(*record.control),
            id, b));
    }

    static bool MirrorPanel(Win32Backend& b, ControlWindow& record, ControlProperty property) {
        if (property != ControlProperty::Text && property != ControlProperty::Font) {
            return false;
        }
        b.MirrorCommon(record, property);
        if (record.window) {
            InvalidateRect(record.window.Get(), nullptr, FALSE);  // it paints its caption itself
        }
        return true;
    }

    // --- Label ----------------------------------------------------------------------------

    static void CreateLabel(Win32Backend& b, ControlWindow& record, int id) {
        record.window.Reset(
            CreateChild(b, record, id, 0, "STATIC", record.control->Caption(),
                        LabelAlignmentStyle(static_cast<TLabel&>(*record.control))));
    }

    static bool MirrorLabel(Win32Backend& b, ControlWindow& record, ControlProperty property) {
        auto& label = static_cast<TLabel&>(*record.control);
        HWND window = record.window.Get();
        switch (property) {
            case ControlProperty::Text:
            case ControlProperty::Font:
                // A new text or font measures anew.
                b.MirrorCommon(record, property);
                b.Mirror(record, ControlProperty::Bounds);
                return true;
            case ControlProperty::Bounds:
                if (window != nullptr && label.AutoSize()) {
                    const SIZE size = b.LabelSize(window, label.Caption());
                    const RECT wanted = AutoSizedBounds(BoundsOf(label), size, label.Alignment());
                    if (!SameBounds(wanted, BoundsOf(label))) {
                        // The model takes the measured size; the change comes back here.
                        label.SetBounds(wanted.left, wanted.top, wanted.right - wanted.left,
                                        wanted.bottom - wanted.top);
                        return true;
                    }
                }
                return false;
            case ControlProperty::Layout:
                if (window != nullptr) {
                    SetStyleBits(window, SS_TYPEMASK, false);
                    SetStyleBits(window, static_cast<LONG_PTR>(LabelAlignmentStyle(label)), true);
                    InvalidateRect(window, nullptr, TRUE);
                    b.Mirror(record, ControlProperty::Bounds);
                }
                return true;
            default:
                return false;
        }
    }

    // --- Button and check box -------------------------------------------------------------

    static void CreateButton(Win32Backend& b, ControlWindow& record, int id) {
        record.window.Reset(
            CreateChild(b, record, id, 0, "BUTTON", record.control->Caption(), BS_PUSHBUTTON));
    }

    static void CommandButton(Win32Backend& /*b*/, ControlWindow& record, HWND /*child*/,
                              WORD code) {
        if (code == BN_CLICKED) {
            static_cast<TButton&>(*record.control).Click();
        }
    }

    static void CreateCheckBox(Win32Backend& b, ControlWindow& record, int id) {
        record.window.Reset(
            CreateChild(b, record, id, 0, "BUTTON", record.control->Caption(), BS_AUTOCHECKBOX));
    }

    static bool MirrorCheckBox(Win32Backend& /*b*/, ControlWindow& record,
                               ControlProperty property) {
        if (property != ControlProperty::Checked) {
            return false;
        }
        if (record.window) {
            const bool checked = static_cast<TCheckBox&>(*record.control).Checked();
            SendMessageA(record.window.Get(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED,
                         0);
        }
        return true;
    }

    static void CommandCheckBox(Win32Backend& /*b*/, ControlWindow& record, HWND child, WORD code) {
        if (code == BN_CLICKED) {
            auto& box = static_cast<TCheckBox&>(*record.control);
            const bool shown = SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (shown != box.Checked()) {
                box.ClickByUser();
            }
        }
    }

    // --- Radio group ----------------------------------------------------------------------

    static void CreateRadioGroup(Win32Backend& b, ControlWindow& record, int id) {
        TControl& control = *record.control;
        record.window.Reset(CreateBridgedWindow(
            kRadioGroupClass, WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
            std::string(), BoundsOf(control), b.ParentWindowOf(control), id, b));
        if (!record.window) {
            return;
        }
        // The group box draws only its frame and caption; as a transparent window it leaves the
        // container free to paint the ground inside it.
        record.frame.Reset(
            CreateWindowExA(WS_EX_TRANSPARENT, "BUTTON", control.Caption().c_str(),
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | BS_GROUPBOX, 0, 0,
                            control.Width(), control.Height(), record.window.Get(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.nextId_++)),
                            GetModuleHandleA(nullptr), nullptr));
        b.CreateRadioItems(record);
    }

    static bool MirrorRadioGroup(Win32Backend& b, ControlWindow& record, ControlProperty property) {
        switch (property) {
            case ControlProperty::Text:
                // The caption is the group box's.
                if (record.frame) {
                    record.settingText = true;
                    SetWindowTextA(record.frame.Get(), record.control->Caption().c_str());
                    record.settingText = false;
                }
                b.LayoutRadioItems(record);
                return true;
            case ControlProperty::Font:
            case ControlProperty::Bounds:
                b.MirrorCommon(record, property);
                b.LayoutRadioItems(record);
                return true;
            case ControlProperty::Layout:
                b.LayoutRadioItems(record);
                return true;
            case ControlProperty::Items:
                if (record.window) {
                    b.CreateRadioItems(record);
                    b.RepairFocus();
                }
                return true;
            case ControlProperty::ItemIndex:
                b.ApplyItemIndex(record);
                return true;
            default:
                return false;
        }
    }

    static void CommandRadioGroup(Win32Backend& /*b*/, ControlWindow& record, HWND child,
                                  WORD code) {
        // Every click on an item is the user's choice, also a click on the item already chosen:
        // a handler may act on a repeated choice (a language applied again).
        if (code != BN_CLICKED || SendMessageA(child, BM_GETCHECK, 0, 0) != BST_CHECKED) {
            return;
        }
        for (std::size_t i = 0; i < record.items.size(); ++i) {
            if (record.items[i].Get() == child) {
                static_cast<TRadioGroup&>(*record.control).SelectByUser(static_cast<int>(i));
                return;
            }
        }
    }

    // --- Edit -----------------------------------------------------------------------------

    static void CreateEdit(Win32Backend& b, ControlWindow& record, int id) {
        auto& edit = static_cast<TEdit&>(*record.control);
        record.settingText = true;
        record.window.Reset(CreateChild(b, record, id, WS_EX_CLIENTEDGE, "EDIT", edit.Text(),
                                        ES_AUTOHSCROLL | (edit.ReadOnly() ? ES_READONLY : 0)));
        record.settingText = false;
    }

    static bool MirrorEdit(Win32Backend& /*b*/, ControlWindow& record, ControlProperty property) {
        if (property != ControlProperty::ReadOnly) {
            return false;
        }
        MirrorReadOnly(record.window.Get(), static_cast<TEdit&>(*record.control).ReadOnly());
        return true;
    }

    static void CommandEdit(Win32Backend& /*b*/, ControlWindow& record, HWND child, WORD code) {
        if (code != EN_CHANGE || record.settingText) {
            return;
        }
        const int length = GetWindowTextLengthA(child);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const int got = GetWindowTextA(child, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
        static_cast<TEdit&>(*record.control).TextEditedByUser(text);
    }

    // --- Rich-text box --------------------------------------------------------------------

    static void CreateRichEdit(Win32Backend& b, ControlWindow& record, int id) {
        if (!b.richEdit_) {
            b.richEdit_ = LoadSystemLibrary("riched20.dll");
        }
        // Without the system's rich-text library a plain multi-line edit shows the text.
        const char* className = b.richEdit_ ? kRichEditClass : "EDIT";
        record.window.Reset(CreateChild(b, record, id, WS_EX_CLIENTEDGE, className, std::string(),
                                        RichEditStyle(static_cast<TRichEdit&>(*record.control))));
        if (record.window && b.richEdit_) {
            SendMessageA(record.window.Get(), EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
        }
        MirrorRichEdit(b, record, ControlProperty::Lines);
    }

    static bool MirrorRichEdit(Win32Backend& b, ControlWindow& record, ControlProperty property) {
        const auto& edit = static_cast<const TRichEdit&>(*record.control);
        HWND window = record.window.Get();
        const bool own = property == ControlProperty::ReadOnly ||
                         property == ControlProperty::Layout || property == ControlProperty::Lines;
        if (window == nullptr) {
            return own;
        }
        switch (property) {
            case ControlProperty::Color:
                SendMessageA(window, EM_SETBKGNDCOLOR, 0,
                             static_cast<LPARAM>(ToColorRef(edit.Color())));
                return false;  // and redrawn as any other
            case ControlProperty::ReadOnly:
                MirrorReadOnly(window, edit.ReadOnly());
                return true;
            case ControlProperty::Layout:
                SetStyleBits(window, WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL, false);
                SetStyleBits(window, static_cast<LONG_PTR>(RichEditStyle(edit)), true);
                if (b.richEdit_) {
                    SendMessageA(window, EM_SETTARGETDEVICE, 0, edit.WordWrap() ? 0 : 1);
                }
                SetWindowPos(window, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | kPositionOnly);
                return true;
            case ControlProperty::Lines: {
                std::string text = edit.Lines()->Text();
                if (text.size() >= 2) {
                    text.resize(text.size() - 2);  // lines are joined, not ended, by CR LF
                }
                if (b.richEdit_) {
                    StreamSource source{&text, 0};
                    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
                    SendMessageA(window, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
                } else {
                    SetWindowTextA(window, text.c_str());
                }
                SendMessageA(window, EM_SETSEL, 0, 0);
                SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
                return true;
            }
            default:
                return false;
        }
    }

    // --- Progress bar ---------------------------------------------------------------------

    static void CreateProgressBar(Win32Backend& b, ControlWindow& record, int id) {
        EnsureCommonControls();
        record.window.Reset(CreateChild(b, record, id, 0, PROGRESS_CLASSA, std::string(), 0));
    }

    static bool MirrorProgressBar(Win32Backend& /*b*/, ControlWindow& record,
                                  ControlProperty property) {
        if (property != ControlProperty::Range && property != ControlProperty::Position) {
            return false;
        }
        if (HWND window = record.window.Get()) {
            const auto& bar = static_cast<TProgressBar&>(*record.control);
            SendMessageA(window, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()),
                         static_cast<LPARAM>(bar.Max()));
            SendMessageA(window, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
        }
        return true;
    }

    // --- Image: no window of its own, painted by its visual parent ------------------------

    static void CreateImage(Win32Backend& b, ControlWindow& record, int /*id*/) {
        MirrorImage(b, record, ControlProperty::Picture);
    }

    static bool MirrorImage(Win32Backend& b, ControlWindow& record, ControlProperty property) {
        switch (property) {
            case ControlProperty::Visible:
                b.InvalidateImage(record);
                return true;
            case ControlProperty::Bounds:
                if (HWND parent = b.ParentWindowOf(*record.control)) {
                    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE);
                }
                return true;
            case ControlProperty::Parent:
                if (HWND main = b.MainWindow()) {
                    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
                }
                b.ApplyTabOrder(record.control->Parent());
                return true;
            case ControlProperty::Layout:
            case ControlProperty::Picture: {
                if (property == ControlProperty::Layout) {
                    b.InvalidateImage(record);
                }
                auto& image = static_cast<TImage&>(*record.control);
                record.picture = PreparedPicture(image.Picture()->GetBitmap());
                if (image.AutoSize() && !record.picture.Empty() &&
                    (image.Width() != record.picture.Width() ||
                     image.Height() != record.picture.Height())) {
                    image.SetBounds(image.Left(), image.Top(), record.picture.Width(),
                                    record.picture.Height());
                }
                b.InvalidateImage(record);
                return true;
            }
            default:
                return false;
        }
    }
};

const Win32Backend::KindHandler& Win32Backend::HandlerOf(ComponentKind kind) {
    static constexpr KindHandler kHandlers[] = {
        {&Kinds::CreateForm, &Kinds::MirrorForm, nullptr},                          // Form
        {&Kinds::CreatePanel, &Kinds::MirrorPanel, nullptr},                        // Panel
        {&Kinds::CreateLabel, &Kinds::MirrorLabel, nullptr},                        // Label
        {&Kinds::CreateButton, nullptr, &Kinds::CommandButton},                     // Button
        {&Kinds::CreateCheckBox, &Kinds::MirrorCheckBox, &Kinds::CommandCheckBox},  // CheckBox
        {&Kinds::CreateRadioGroup, &Kinds::MirrorRadioGroup,
         &Kinds::CommandRadioGroup},                                      // RadioGroup
        {&Kinds::CreateEdit, &Kinds::MirrorEdit, &Kinds::CommandEdit},    // Edit
        {&Kinds::CreateRichEdit, &Kinds::MirrorRichEdit, nullptr},        // RichEdit
        {&Kinds::CreateProgressBar, &Kinds::MirrorProgressBar, nullptr},  // ProgressBar
        {&Kinds::CreateImage, &Kinds::MirrorImage, nullptr},              // Image
        {nullptr, nullptr, nullptr},                                      // ImageList
        {nullptr, nullptr, nullptr},                                      // Other
    };
    static_assert(std::size(kHandlers) == static_cast<std::size_t>(ComponentKind::Other) + 1);
    return kHandlers[static_cast<std::size_t>(kind)];
}

}  // namespace nv::toolkit::win32
