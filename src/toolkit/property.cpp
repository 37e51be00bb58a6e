#include "toolkit/property.h"

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

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
    for (const ClassInfo* info = this; info != nullptr; info = info->base_) {
        if (info == &other) {
            return true;
        }
    }
    return false;
}

PropertyList TakeProperties(std::span<std::unique_ptr<Property>> items) {
    PropertyList list;
    list.reserve(items.size());
    for (std::unique_ptr<Property>& item : items) {
        list.push_back(std::move(item));
    }
    return list;
}

}  // namespace nv::toolkit
