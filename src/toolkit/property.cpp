#include "toolkit/property.h"

#include <iterator>

#include "base/text.h"
#include "toolkit/errors.h"

namespace nv::toolkit {

std::int32_t Property::GetInteger(const TPersistent& /*object*/) const {
    ThrowInvalidPropertyType(name_);
}

void Property::SetInteger(TPersistent& /*object*/, std::int32_t /*value*/) const {
    ThrowInvalidPropertyType(name_);
}

TPersistent* Property::GetObject(const TPersistent& /*object*/) const {
    ThrowInvalidPropertyType(name_);
}

void Property::SetObject(TPersistent& /*object*/, TPersistent* /*value*/) const {
    ThrowInvalidPropertyType(name_);
}

void Property::SetAsText(TPersistent& /*object*/, std::string_view /*text*/) const {
    ThrowInvalidPropertyType(name_);
}

std::string Property::GetAsText(const TPersistent& /*object*/) const {
    ThrowInvalidPropertyType(name_);
}

const Property* ClassInfo::FindProperty(std::string_view name) const {
    for (const ClassInfo* info = this; info != nullptr; info = info->base_) {
        for (const auto& property : info->properties_) {
            if (SameTextIgnoreCase(property->Name(), name)) {
                return property.get();
            }
        }
    }
    return nullptr;
}

PropertyList TakeProperties(std::span<std::unique_ptr<Property>> items) {
    return {std::make_move_iterator(items.begin()), std::make_move_iterator(items.end())};
}

}  // namespace nv::toolkit
