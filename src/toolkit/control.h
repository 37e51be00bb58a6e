#pragma once
// Controls: components with a place on a form. Every control has a visual parent (the form or
// a panel), which is independent of its owner: the form owns every control placed on it, a
// panel owns none. Every change of state is reported to the form's backend, if one is attached.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/component.h"
#include "toolkit/graphics.h"

namespace nv::toolkit {

class TWinControl;

enum class TAlign { None, Top, Bottom, Left, Right, Client };

class TControl : public TComponent {
public:
    TControl();
    ~TControl() override;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    TControl(TControl&&) = delete;
    TControl& operator=(TControl&&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    std::int32_t Left() const { return left_; }
    void SetLeft(std::int32_t left) { SetBounds(left, top_, width_, height_); }
    std::int32_t Top() const { return top_; }
    void SetTop(std::int32_t top) { SetBounds(left_, top, width_, height_); }
    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t width) { SetBounds(left_, top_, width, height_); }
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t height) { SetBounds(left_, top_, width_, height); }
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { Update(visible_, visible, ControlProperty::Visible); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { Update(enabled_, enabled, ControlProperty::Enabled); }

    // The control's text: the caption of a label, button, box or form, the text of an edit field.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) {
        Update(caption_, caption, ControlProperty::Text);
    }

    TColor Color() const { return color_; }
    void SetColor(TColor color) { Update(color_, color, ControlProperty::Color); }
    TFont* Font() const { return font_.get(); }
    // Copies the attributes of `font` into the control's own font; none restores the default.
    void SetFont(TFont* font) { font_->Assign(font); }

    std::int32_t Cursor() const { return cursor_; }
    void SetCursor(std::int32_t cursor) { cursor_ = cursor; }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align) { Update(align_, align, ControlProperty::Layout); }

    // The visual parent: the form or a panel that shows this control. Not its owner.
    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);

    // The backend that shows this control, or none while it runs headless.
    ControlBackend* Backend() const { return backend_; }

protected:
    // Reports a change of state to the backend, if one is attached.
    void Changed(ControlProperty property);
    // Stores `value` in `field` and reports `property` when it differs from the value held.
    template <typename T>
    void Update(T& field, const T& value, ControlProperty property) {
        if (value != field) {
            field = value;
            Changed(property);
        }
    }
    // Stores a text that the backend already shows, without reporting it back.
    void StoreCaption(const std::string& caption) { caption_ = caption; }

private:
    friend class TForm;
    friend class TWinControl;

    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    TColor color_ = kClBtnFace;
    std::unique_ptr<TFont> font_;
    std::int32_t cursor_ = 0;
    TAlign align_ = TAlign::None;
    TWinControl* parent_ = nullptr;
    ControlBackend* backend_ = nullptr;
};

// A control that can hold other controls and take the keyboard focus.
class TWinControl : public TControl {
public:
    TWinControl() = default;
    ~TWinControl() override;
    TWinControl(const TWinControl&) = delete;
    TWinControl& operator=(const TWinControl&) = delete;
    TWinControl(TWinControl&&) = delete;
    TWinControl& operator=(TWinControl&&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Position in the tab order among the controls of the same visual parent.
    std::int32_t TabOrder() const { return tabOrder_; }
    void SetTabOrder(std::int32_t tabOrder) {
        Update(tabOrder_, tabOrder, ControlProperty::TabOrder);
    }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop) { Update(tabStop_, tabStop, ControlProperty::TabOrder); }

    // The controls whose visual parent this is, in the order they were placed on it.
    const std::vector<TControl*>& Controls() const { return controls_; }

private:
    friend class TControl;

    std::int32_t tabOrder_ = 0;
    bool tabStop_ = true;
    std::vector<TControl*> controls_;
};

}  // namespace nv::toolkit
