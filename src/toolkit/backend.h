#pragma once
// The interface between the control model and whatever shows the controls. A form with a
// backend attached reports every control it owns (Attach, parents before children), every
// change of a control's state (Changed) and every control that goes away (Detach). Without a
// backend the controls run headless: their state lives in the model alone.
//
// The other direction needs no interface: a backend raises user actions through the controls'
// own methods (TButton::Click, TCheckBox::ClickByUser, TRadioGroup::SelectByUser,
// TEdit::TextEditedByUser), which update the model and run the control's event handler.

namespace nv::toolkit {

class TControl;

// The part of a control's state that changed.
enum class ControlProperty {
    Text,  // caption, or the text of an edit field
    Visible,
    Enabled,
    Bounds,  // left, top, width, height
    Color,
    Font,
    Parent,     // the visual parent
    TabOrder,   // tab order or tab stop
    Layout,     // alignment, auto-size, align, bevel, border and similar appearance settings
    Items,      // the items of a radio group
    ItemIndex,  // the chosen item of a radio group
    Lines,      // the lines of a rich-text box
    Checked,
    ReadOnly,
    Range,     // minimum and maximum of a progress bar
    Position,  // position of a progress bar
    Picture,
    Closed,  // the form was closed
};

class ControlBackend {
public:
    ControlBackend() = default;
    virtual ~ControlBackend() = default;
    ControlBackend(const ControlBackend&) = delete;
    ControlBackend& operator=(const ControlBackend&) = delete;
    ControlBackend(ControlBackend&&) = delete;
    ControlBackend& operator=(ControlBackend&&) = delete;

    // The control joined a form that shows through this backend. Its visual parent (if any)
    // has been attached before it.
    virtual void Attach(TControl& control) = 0;
    // The control leaves: it is about to be destroyed, or the backend is being detached.
    virtual void Detach(TControl& control) = 0;
    // One part of an attached control's state changed.
    virtual void Changed(TControl& control, ControlProperty property) = 0;
    // A form has attached itself and every control it owns (one call after those Attach
    // calls): work that depends on all siblings can be done once here.
    virtual void AttachFinished() {}
};

}  // namespace nv::toolkit
