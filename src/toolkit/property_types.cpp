#include "toolkit/property_types.h"

#include <string>

#include "base/text.h"

namespace nv::toolkit {

int ParseEnumText(std::string_view text, IdentifierList names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (SameTextIgnoreCase(names[i], text)) {
            return static_cast<int>(i);
        }
    }
    ThrowInvalidPropertyElement(text);
}

std::uint32_t ParseSetText(std::string_view text, IdentifierList names) {
    std::string_view rest = TrimBlanks(text);
    if (!rest.empty() && rest.front() == '[') {
        rest.remove_prefix(1);
        if (!rest.empty() && rest.back() == ']') {
            rest.remove_suffix(1);
        }
    }
    std::uint32_t bits = 0;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(", ");
        const std::string_view element = rest.substr(0, end);
        if (!element.empty()) {
            bits |= std::uint32_t{1} << static_cast<unsigned>(ParseEnumText(element, names));
        }
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return bits;
}

std::string SetToText(std::uint32_t bits, IdentifierList names) {
    std::string text = "[";
    for (std::size_t i = 0; i < names.size() && i < 32; ++i) {
        if ((bits & (std::uint32_t{1} << i)) != 0) {
            if (text.size() > 1) {
                text += ',';
            }
            text += names[i];
        }
    }
    return text + "]";
}

std::int32_t IntegerProperty::GetInteger(const TPersistent& object) const {
    return (object.*access_.get)();
}

void IntegerProperty::SetInteger(TPersistent& object, std::int32_t value) const {
    (object.*access_.set)(value);
}

void IntegerProperty::SetAsText(TPersistent& object, std::string_view text) const {
    SetInteger(object, ParsedOrThrow(ParseInt32(text), text, "integer"));
}

std::string IntegerProperty::GetAsText(const TPersistent& object) const {
    return std::to_string(GetInteger(object));
}

void TextProperty::SetAsText(TPersistent& object, std::string_view text) const {
    (object.*access_.set)(std::string(text));
}

std::string TextProperty::GetAsText(const TPersistent& object) const {
    return (object.*access_.get)();
}

std::string EnumPropertyBase::Name(std::size_t ordinal) const {
    return ordinal < names_.size() ? std::string(names_[ordinal]) : std::to_string(ordinal);
}

void SetProperty::SetAsText(TPersistent& object, std::string_view text) const {
    (object.*access_.set)(ParseSetText(text, names_));
}

std::string SetProperty::GetAsText(const TPersistent& object) const {
    return SetToText((object.*access_.get)(), names_);
}

void CharProperty::SetAsText(TPersistent& object, std::string_view text) const {
    const auto value = ParseInt32(text);
    if (!value || *value < 0 || *value > 255) {
        ThrowConversionError(text, "character code");
    }
    (object.*access_.set)(static_cast<char>(static_cast<unsigned char>(*value)));
}

std::string CharProperty::GetAsText(const TPersistent& object) const {
    return std::to_string(static_cast<unsigned char>((object.*access_.get)()));
}

void Int64Property::SetAsText(TPersistent& object, std::string_view text) const {
    (object.*access_.set)(ParsedOrThrow(ParseInt64(text), text, "64-bit integer"));
}

std::string Int64Property::GetAsText(const TPersistent& object) const {
    return std::to_string((object.*access_.get)());
}

std::unique_ptr<Property> MakeIntegerProperty(const char* name, Accessors<std::int32_t> access) {
    return std::make_unique<IntegerProperty>(name, access);
}

std::unique_ptr<Property> MakeTextProperty(const char* name, PropertyKind kind,
                                           TextAccessors access) {
    return std::make_unique<TextProperty>(name, kind, access);
}

std::unique_ptr<Property> MakeBoolProperty(const char* name, Accessors<bool> access) {
    static constexpr std::string_view kBoolNames[] = {"False", "True"};
    return std::make_unique<EnumProperty<bool>>(name, kBoolNames, access);
}

}  // namespace nv::toolkit
