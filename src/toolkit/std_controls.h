#pragma once
// The standard controls: panel, label, push button, check box, edit field, rich-text box and
// progress bar. Each publishes the properties that scripts and page logic set by name.

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/control.h"
#include "toolkit/strings.h"

namespace nv::toolkit {

enum class TBevelCut { None, Lowered, Raised, Space };
enum class TAlignment { LeftJustify, RightJustify, Center };
enum class TScrollStyle { None, Horizontal, Vertical, Both };

// A container that shows other controls. It owns none of them.
class TPanel : public TWinControl {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::Panel; }

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel) { Update(bevelOuter_, bevel, ControlProperty::Layout); }
    // Whether the controls on the panel draw 3-D borders.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool ctl3D) { Update(ctl3D_, ctl3D, ControlProperty::Layout); }

private:
    TBevelCut bevelOuter_ = TBevelCut::Raised;
    bool ctl3D_ = true;
};

// A text without a window of its own. With AutoSize the backend sizes it to its text.
class TLabel : public TControl {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::Label; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment) {
        Update(alignment_, alignment, ControlProperty::Layout);
    }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize) { Update(autoSize_, autoSize, ControlProperty::Layout); }

private:
    TAlignment alignment_ = TAlignment::LeftJustify;
    bool autoSize_ = true;
};

class TButton : public TWinControl {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::Button; }

    // Raised by the backend when the user presses the button; runs OnClick.
    void Click();

    TNotifyEvent OnClick;
};

class TCheckBox : public TWinControl {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::CheckBox; }

    bool Checked() const { return checked_; }
    // Sets the state without raising OnClick.
    void SetChecked(bool checked) { Update(checked_, checked, ControlProperty::Checked); }
    // Raised by the backend when the user clicks the box: toggles it, then runs OnClick.
    void ClickByUser();

    TNotifyEvent OnClick;

private:
    bool checked_ = false;
};

class TEdit : public TWinControl {
public:
    TEdit();
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::Edit; }

    const std::string& Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    // Raised by the backend after the user typed: takes the text without echoing it back.
    void TextEditedByUser(const std::string& text);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { Update(readOnly_, readOnly, ControlProperty::ReadOnly); }

private:
    bool readOnly_ = false;
};

// A multi-line text box whose content is its list of lines.
class TRichEdit : public TWinControl {
public:
    TRichEdit();
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::RichEdit; }

    TStrings* Lines() const { return lines_.get(); }
    // Replaces the content with copies of the lines of `lines`; none empties the box.
    void SetLines(TStrings* lines) { lines_->Assign(lines); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { Update(readOnly_, readOnly, ControlProperty::ReadOnly); }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle scrollBars) {
        Update(scrollBars_, scrollBars, ControlProperty::Layout);
    }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap) { Update(wordWrap_, wordWrap, ControlProperty::Layout); }

private:
    std::unique_ptr<TStringList> lines_;
    bool readOnly_ = false;
    TScrollStyle scrollBars_ = TScrollStyle::None;
    bool wordWrap_ = true;
};

// A bar that shows Position within Min..Max. Position always stays within the range.
class TProgressBar : public TWinControl {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::ProgressBar; }

    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t min) { SetRange(min, max_ < min ? min : max_); }
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t max) { SetRange(min_ > max ? max : min_, max); }
    void SetRange(std::int32_t min, std::int32_t max);
    std::int32_t Position() const { return position_; }
    void SetPosition(std::int32_t position);
    std::int32_t Step() const { return step_; }
    void SetStep(std::int32_t step) { step_ = step; }
    // Advances Position by Step, stopping at Max.
    void StepIt();

private:
    std::int32_t min_ = 0;
    std::int32_t max_ = 100;
    std::int32_t position_ = 0;
    std::int32_t step_ = 10;
};

}  // namespace nv::toolkit
