#pragma once
// The Win32 backend of the control model: one window per control, kept in step with the
// model, and the user's actions raised as the controls' events.
//
//   Win32Backend backend;
//   form.AttachBackend(&backend);   // creates the windows
//   Win32Application().Run(form);   // shows the form until it closes
//
// Every window the backend creates for itself goes through the one window bridge, so an
// exception thrown by an event handler ends in the default error report (a message box owned
// by the form's window) and the window stays as it was.
//
// Colours: a control whose Color is the default button face takes the colour of its visual
// parent, so labels, check boxes and radio groups on a white panel are white as well.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/win32/control_window.h"
#include "toolkit/win32/error_report.h"
#include "toolkit/win32/gdi_cache.h"
#include "toolkit/win32/window_bridge.h"

namespace nv::toolkit {
class TForm;
}

namespace nv::toolkit::win32 {

// Not final: the start-up benchmark times the backend's work through a subclass.
class Win32Backend : public ControlBackend, private MessageTarget {
public:
    explicit Win32Backend(ErrorBox errorBox = ShowErrorBox);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;
    Win32Backend(Win32Backend&&) = delete;
    Win32Backend& operator=(Win32Backend&&) = delete;

    void Attach(TControl& control) override;
    void Detach(TControl& control) override;
    void Changed(TControl& control, ControlProperty property) override;
    void AttachFinished() override;

    // From here on, the windows of controls that a whole form brings along hidden (a page
    // panel that is not shown, and everything on it) are made just after the form's window
    // has been shown and painted, before any other message reaches it: the window appears
    // sooner, and nothing hidden can be seen or reached before it exists. Each such window
    // takes the model's state of that moment. A hidden control made visible earlier, a change
    // of parent, or a caller asking for a window makes them at once.
    void CreateHiddenWindowsOnceShown() { deferHidden_ = true; }

    // The window that shows `control` (a radio group's container), or null when it has none.
    HWND WindowOf(const TControl& control);
    // The form's window, or null before the form is attached and after it closed.
    HWND MainWindow() const;

    // The Win32 backend `control` is shown through, or none.
    static Win32Backend* Of(const TControl& control);

private:
    std::optional<LRESULT> HandleMessage(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) override;
    void ReportError(HWND window, const std::string& text) override;

    // Windows and the changes every kind shows (control_windows.cpp).
    void CreateWindows(ControlWindow& record);
    void Mirror(ControlWindow& record, ControlProperty property);
    void MirrorCommon(ControlWindow& record, ControlProperty property);
    void ApplyEnabled(ControlWindow& record);
    void CreateRadioItems(ControlWindow& record);
    void LayoutRadioItems(ControlWindow& record);
    void ApplyItemIndex(ControlWindow& record);
    void ApplyTabOrder(const TControl* visualParent);
    void ApplyTabOrderNow(const TControl* visualParent);
    SIZE LabelSize(HWND label, const std::string& text);

    void InvalidateImage(const ControlWindow& record);

    // One handler per kind of control (control_kinds.cpp): `create` makes the control's
    // windows, `mirror` shows a change only this kind shows (false: the common mirroring
    // does it), `command` turns a notification from one of its windows into the model's event.
    struct KindHandler {
        void (*create)(Win32Backend& backend, ControlWindow& record, int id);
        bool (*mirror)(Win32Backend& backend, ControlWindow& record, ControlProperty property);
        void (*command)(Win32Backend& backend, ControlWindow& record, HWND child, WORD code);
    };
    static const KindHandler& HandlerOf(ComponentKind kind);
    struct Kinds;  // the handlers
    friend struct Kinds;

    // Messages (backend_messages.cpp).
    void Command(HWND child, WORD code);
    std::optional<LRESULT> ControlColor(HDC dc, HWND child);
    void Paint(ControlWindow& record);
    void Activate(bool active);
    void MoveFocus(WPARAM wParam, LPARAM lParam);
    void RepairFocus();
    void CloseNow();

    // Hidden windows made after the first paint (CreateHiddenWindowsOnceShown).
    bool HiddenInForm(const TControl& control) const;
    void ShowForm(HWND window, bool visible);
    void CreateDeferredWindows();

    HWND ExistingWindowOf(const TControl& control) const;
    ControlWindow* Find(const TControl& control) const;
    ControlWindow* FindByWindow(HWND window) const;
    HWND ParentWindowOf(const TControl& control) const;
    TColor BackgroundOf(const TControl& control) const;

    ErrorBox errorBox_;
    GdiCache gdi_;
    UniqueModule richEdit_;  // declared before the records: it outlives their windows
    TForm* form_ = nullptr;
    std::vector<std::unique_ptr<ControlWindow>> records_;  // in the order of attaching
    int nextId_ = 100;       // control identifiers stay clear of IDOK and IDCANCEL
    int dispatchDepth_ = 0;  // messages of this backend's windows being handled
    bool closePending_ = false;
    HWND lastFocus_ = nullptr;  // the focused control when the form was last deactivated
    bool deferHidden_ = false;
    bool deferredCreationDue_ = false;  // the form is painted; the next message makes them
    // While a whole form attaches, the visual parents whose tab order is still to be applied:
    // each is ordered once when the form has finished, not again after every child.
    bool attaching_ = false;
    std::vector<const TControl*> tabOrderPending_;
    // Measured label texts by font, drawing flags and text. A label is measured at creation,
    // on every font or bounds change and for every new text; the same text in the same font
    // measures the same, and the fonts live as long as the backend (gdi_). A wizard has a few
    // dozen texts per language, so a plain list searched from the front is enough.
    struct MeasuredLabel {
        HFONT font;
        LONG_PTR noPrefix;  // SS_NOPREFIX or 0
        std::string text;
        SIZE size;
    };
    std::vector<MeasuredLabel> labelSizes_;
};

}  // namespace nv::toolkit::win32
