#pragma once
// A form: the window that owns the controls placed on it and connects them to a backend.

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/control.h"

namespace nv::toolkit {

enum class TFormBorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

// Border icons, as bits of a set.
enum class TBorderIcon : std::uint32_t { SystemMenu, Minimize, Maximize, Help };
constexpr std::uint32_t BorderIconBit(TBorderIcon icon) {
    return std::uint32_t{1} << static_cast<std::uint32_t>(icon);
}

class TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    TForm(TForm&&) = delete;
    TForm& operator=(TForm&&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentKind Kind() const override { return ComponentKind::Form; }

    std::int32_t ClientWidth() const { return clientWidth_; }
    void SetClientWidth(std::int32_t width) {
        Update(clientWidth_, width, ControlProperty::Bounds);
    }
    std::int32_t ClientHeight() const { return clientHeight_; }
    void SetClientHeight(std::int32_t height) {
        Update(clientHeight_, height, ControlProperty::Bounds);
    }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style) {
        Update(borderStyle_, style, ControlProperty::Layout);
    }
    std::uint32_t BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(std::uint32_t icons) {
        Update(borderIcons_, icons, ControlProperty::Layout);
    }

    // Closes the form: it reports Closed to its backend, which ends the window; the model
    // stays intact until the form is destroyed.
    void Close() { Update(closed_, true, ControlProperty::Closed); }
    bool Closed() const { return closed_; }

    // Shows the form and every control it owns through `backend`: the form first, then each
    // control after its visual parent. Later controls are attached as they are created.
    // A backend already attached is detached first. None detaches.
    void AttachBackend(ControlBackend* backend);

protected:
    void Notification(TComponent& component, TOperation operation) override;

private:
    void AttachControl(TControl& control);
    void DetachAll();

    std::int32_t clientWidth_ = 0;
    std::int32_t clientHeight_ = 0;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::Sizeable;
    std::uint32_t borderIcons_ = BorderIconBit(TBorderIcon::SystemMenu) |
                                 BorderIconBit(TBorderIcon::Minimize) |
                                 BorderIconBit(TBorderIcon::Maximize);
    bool closed_ = false;
    std::vector<TControl*> attached_;  // in the order they were attached
};

}  // namespace nv::toolkit
