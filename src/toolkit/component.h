#pragma once
// Named components that own other components. An owner destroys what it owns; names are unique
// among the components of one owner and are found without regard to the case of A..Z.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/persistent.h"

namespace nv::toolkit {

class TComponent;

// An event handler that receives the component that raised the event.
using TNotifyEvent = std::function<void(TComponent& sender)>;

enum class TOperation { Insert, Remove };

// What a component is, for whoever shows or builds components of several kinds: each class
// names its own kind, so nobody has to work it out from the class.
enum class ComponentKind {
    Form,
    Panel,
    Label,
    Button,
    CheckBox,
    RadioGroup,
    Edit,
    RichEdit,
    ProgressBar,
    Image,
    ImageList,
    Other,  // nothing a backend shows: the language components, a bare control
};

class TComponent : public TPersistent {
public:
    TComponent() = default;
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    TComponent(TComponent&&) = delete;
    TComponent& operator=(TComponent&&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    virtual ComponentKind Kind() const { return ComponentKind::Other; }

    const std::string& Name() const { return name_; }
    // Raises nv::Error when a sibling already carries the name (compared without case).
    void SetName(const std::string& name);
    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t tag) { tag_ = tag; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // The owned component at `index` in creation order; raises the list-index error outside.
    TComponent& Components(int index) const;

    // The first owned component, in creation order, whose name equals `name` without regard to
    // the case of A..Z. The empty name matches none.
    TComponent* FindComponent(std::string_view name) const;

    // Creates a component of class T owned by this one, named `name`.
    template <class T>
    T& CreateComponent(const std::string& name = {}) {
        auto component = std::make_unique<T>();
        T& result = *component;
        InsertComponent(std::move(component), name);
        return result;
    }
    // Takes ownership of `component` and gives it `name`. Raises nv::Error (and destroys the
    // component) when the name is taken.
    void InsertComponent(std::unique_ptr<TComponent> component, const std::string& name = {});
    // Gives up ownership of `component` (which must be owned by this one).
    std::unique_ptr<TComponent> RemoveComponent(TComponent& component);

    // Called once after the component's stored definition has been read completely.
    virtual void Loaded() {}

protected:
    // Told about every component inserted into or removed from this owner.
    virtual void Notification(TComponent& /*component*/, TOperation /*operation*/) {}

private:
    std::string name_;
    std::int32_t tag_ = 0;
    TComponent* owner_ = nullptr;
    std::vector<std::unique_ptr<TComponent>> components_;
};

// Runs Loaded on every component that `root` owns, depth-first in creation order, then on root.
void NotifyLoaded(TComponent& root);

}  // namespace nv::toolkit
