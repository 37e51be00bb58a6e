#include "toolkit/control_factory.h"

#include <memory>
#include <utility>

#include "base/error.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"

namespace nv::toolkit {
namespace {

std::unique_ptr<TComponent> MakeComponent(ComponentKind kind) {
    switch (kind) {
        case ComponentKind::Panel:
            return std::make_unique<TPanel>();
        case ComponentKind::Label:
            return std::make_unique<TLabel>();
        case ComponentKind::Button:
            return std::make_unique<TButton>();
        case ComponentKind::CheckBox:
            return std::make_unique<TCheckBox>();
        case ComponentKind::RadioGroup:
            return std::make_unique<TRadioGroup>();
        case ComponentKind::Edit:
            return std::make_unique<TEdit>();
        case ComponentKind::RichEdit:
            return std::make_unique<TRichEdit>();
        case ComponentKind::ProgressBar:
            return std::make_unique<TProgressBar>();
        case ComponentKind::Image:
            return std::make_unique<TImage>();
        case ComponentKind::ImageList:
            return std::make_unique<TImageList>();
        case ComponentKind::Form:
        case ComponentKind::Other:
            break;
    }
    throw Error("A component of this kind cannot be made by kind.");
}

}  // namespace

TComponent& CreateComponentOfKind(TComponent& owner, ComponentKind kind, const std::string& name,
                                  TWinControl* parent) {
    std::unique_ptr<TComponent> component = MakeComponent(kind);
    TComponent& result = *component;
    if (auto* control = dynamic_cast<TControl*>(&result); control != nullptr && parent != nullptr) {
        control->SetParent(parent);
    }
    owner.InsertComponent(std::move(component), name);
    return result;
}

}  // namespace nv::toolkit
