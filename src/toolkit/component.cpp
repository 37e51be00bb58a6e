#include "toolkit/component.h"

#include <algorithm>
#include <utility>

#include "base/text.h"
#include "toolkit/errors.h"
#include "toolkit/property_types.h"

namespace nv::toolkit {

const ClassInfo& TComponent::StaticClass() {
    static const ClassInfo info(
        "TComponent", &TPersistent::StaticClass(),
        MakePropertyList(TextProp("Name", &TComponent::Name, &TComponent::SetName),
                         IntegerProp("Tag", &TComponent::Tag, &TComponent::SetTag)));
    return info;
}

TComponent::~TComponent() {
    // No notifications from here: an owner that wants them (a form detaching its controls)
    // acts in its own destructor, while it is still itself.
    while (!components_.empty()) {
        std::unique_ptr<TComponent> removed = std::move(components_.back());
        components_.pop_back();
        removed->owner_ = nullptr;
    }
}

void TComponent::SetName(const std::string& name) {
    if (owner_ != nullptr && !name.empty()) {
        const TComponent* existing = owner_->FindComponent(name);
        if (existing != nullptr && existing != this) {
            throw Error("A component named " + name + " already exists");
        }
    }
    name_ = name;
}

TComponent& TComponent::Components(int index) const {
    CheckListIndex(index, ComponentCount());
    return *components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    for (const auto& component : components_) {
        if (SameTextIgnoreCase(component->name_, name)) {
            return component.get();
        }
    }
    return nullptr;
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> component, const std::string& name) {
    if (!name.empty() && FindComponent(name) != nullptr) {
        throw Error("A component named " + name + " already exists");
    }
    component->name_ = name;
    component->owner_ = this;
    TComponent& inserted = *component;
    components_.push_back(std::move(component));
    Notification(inserted, TOperation::Insert);
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent& component) {
    const auto it = std::find_if(components_.begin(), components_.end(),
                                 [&](const auto& owned) { return owned.get() == &component; });
    if (it == components_.end()) {
        return nullptr;
    }
    Notification(component, TOperation::Remove);
    std::unique_ptr<TComponent> removed = std::move(*it);
    components_.erase(it);
    removed->owner_ = nullptr;
    return removed;
}

void NotifyLoaded(TComponent& root) {
    for (int i = 0; i < root.ComponentCount(); ++i) {
        NotifyLoaded(root.Components(i));
    }
    root.Loaded();
}

}  // namespace nv::toolkit
