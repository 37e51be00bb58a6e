#pragma once
// The concrete property kinds, bound to a class's getter and setter. A class describes its
// published properties with the factory functions at the end, for example
//   IntegerProp("Left", &TControl::Left, &TControl::SetLeft)

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/errors.h"
#include "toolkit/persistent.h"
#include "toolkit/property.h"
#include "toolkit/text.h"

namespace nv::toolkit {

// Element names of enumeration and set types, in ordinal order.
using IdentifierList = std::vector<std::string>;

// Parses a set written as element names separated by commas or blanks, optionally enclosed in
// square brackets, into a bit mask (bit i for element i). Raises the invalid-property-element
// error for a name the type lacks.
std::uint32_t ParseSetText(std::string_view text, const IdentifierList& names);
std::string SetToText(std::uint32_t bits, const IdentifierList& names);

// The ordinal of an enumeration identifier (A..Z without case), or the invalid-property-element
// error.
int ParseEnumText(std::string_view text, const IdentifierList& names);

template <class C>
class IntegerProperty final : public Property {
public:
    using Getter = std::int32_t (C::*)() const;
    using Setter = void (C::*)(std::int32_t);
    IntegerProperty(std::string name, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Integer), get_(get), set_(set) {}

    std::int32_t GetInteger(const TPersistent& object) const override {
        return (static_cast<const C&>(object).*get_)();
    }
    void SetInteger(TPersistent& object, std::int32_t value) const override {
        (static_cast<C&>(object).*set_)(value);
    }
    void SetAsText(TPersistent& object, std::string_view text) const override {
        const auto value = ParseInt32(text);
        if (!value) {
            ThrowConversionError(text, "integer");
        }
        SetInteger(object, *value);
    }
    std::string GetAsText(const TPersistent& object) const override {
        return std::to_string(GetInteger(object));
    }

private:
    Getter get_;
    Setter set_;
};

// Text and wide-text properties take the value unchanged.
template <class C>
class TextProperty final : public Property {
public:
    using Getter = const std::string& (C::*)() const;
    using Setter = void (C::*)(const std::string&);
    TextProperty(std::string name, PropertyKind kind, Getter get, Setter set)
        : Property(std::move(name), kind), get_(get), set_(set) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        (static_cast<C&>(object).*set_)(std::string(text));
    }
    std::string GetAsText(const TPersistent& object) const override {
        return (static_cast<const C&>(object).*get_)();
    }

private:
    Getter get_;
    Setter set_;
};

// Enumerations, Boolean included; V is an enum type or bool.
template <class C, class V>
class EnumProperty final : public Property {
public:
    using Getter = V (C::*)() const;
    using Setter = void (C::*)(V);
    EnumProperty(std::string name, IdentifierList names, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Enumeration),
          names_(std::move(names)),
          get_(get),
          set_(set) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        (static_cast<C&>(object).*set_)(static_cast<V>(ParseEnumText(text, names_)));
    }
    std::string GetAsText(const TPersistent& object) const override {
        const auto ordinal = static_cast<std::size_t>((static_cast<const C&>(object).*get_)());
        return ordinal < names_.size() ? names_[ordinal] : std::to_string(ordinal);
    }

private:
    IdentifierList names_;
    Getter get_;
    Setter set_;
};

template <class C>
class SetProperty final : public Property {
public:
    using Getter = std::uint32_t (C::*)() const;
    using Setter = void (C::*)(std::uint32_t);
    SetProperty(std::string name, IdentifierList names, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Set),
          names_(std::move(names)),
          get_(get),
          set_(set) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        (static_cast<C&>(object).*set_)(ParseSetText(text, names_));
    }
    std::string GetAsText(const TPersistent& object) const override {
        return SetToText((static_cast<const C&>(object).*get_)(), names_);
    }

private:
    IdentifierList names_;
    Getter get_;
    Setter set_;
};

template <class C>
class FloatProperty final : public Property {
public:
    using Getter = double (C::*)() const;
    using Setter = void (C::*)(double);
    FloatProperty(std::string name, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Float), get_(get), set_(set) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        const auto value = ParseFloat(text);
        if (!value) {
            ThrowConversionError(text, "floating-point");
        }
        (static_cast<C&>(object).*set_)(*value);
    }
    std::string GetAsText(const TPersistent& object) const override {
        return std::to_string((static_cast<const C&>(object).*get_)());
    }

private:
    Getter get_;
    Setter set_;
};

// A character property takes its value as a number, the character's code from 0 to 255.
template <class C>
class CharProperty final : public Property {
public:
    using Getter = char (C::*)() const;
    using Setter = void (C::*)(char);
    CharProperty(std::string name, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Char), get_(get), set_(set) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        const auto value = ParseInt32(text);
        if (!value || *value < 0 || *value > 255) {
            ThrowConversionError(text, "character code");
        }
        (static_cast<C&>(object).*set_)(static_cast<char>(static_cast<unsigned char>(*value)));
    }
    std::string GetAsText(const TPersistent& object) const override {
        return std::to_string(static_cast<unsigned char>((static_cast<const C&>(object).*get_)()));
    }

private:
    Getter get_;
    Setter set_;
};

template <class C>
class Int64Property final : public Property {
public:
    using Getter = std::int64_t (C::*)() const;
    using Setter = void (C::*)(std::int64_t);
    Int64Property(std::string name, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Int64), get_(get), set_(set) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        const auto value = ParseInt64(text);
        if (!value) {
            ThrowConversionError(text, "64-bit integer");
        }
        (static_cast<C&>(object).*set_)(*value);
    }
    std::string GetAsText(const TPersistent& object) const override {
        return std::to_string((static_cast<const C&>(object).*get_)());
    }

private:
    Getter get_;
    Setter set_;
};

// A variant property converted from text holds that text as a text variant.
template <class C>
class VariantProperty final : public Property {
public:
    using Getter = const std::string& (C::*)() const;
    using Setter = void (C::*)(const std::string&);
    VariantProperty(std::string name, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Variant), get_(get), set_(set) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        (static_cast<C&>(object).*set_)(std::string(text));
    }
    std::string GetAsText(const TPersistent& object) const override {
        return (static_cast<const C&>(object).*get_)();
    }

private:
    Getter get_;
    Setter set_;
};

// A reference to an object of class T (or derived), possibly none.
template <class C, class T>
class ObjectProperty final : public Property {
public:
    using Getter = T* (C::*)() const;
    using Setter = void (C::*)(T*);
    ObjectProperty(std::string name, Getter get, Setter set)
        : Property(std::move(name), PropertyKind::Object), get_(get), set_(set) {}

    TPersistent* GetObject(const TPersistent& object) const override {
        return (static_cast<const C&>(object).*get_)();
    }
    void SetObject(TPersistent& object, TPersistent* value) const override {
        if (value == nullptr) {
            (static_cast<C&>(object).*set_)(nullptr);
        } else if (T* typed = dynamic_cast<T*>(value)) {
            (static_cast<C&>(object).*set_)(typed);
        }
    }

private:
    Getter get_;
    Setter set_;
};

// Events (and any other kind without a text conversion): published so that they can be found
// by name, but setting one from text raises the invalid-property-type error.
class UnsettableProperty final : public Property {
public:
    explicit UnsettableProperty(std::string name)
        : Property(std::move(name), PropertyKind::Unsettable) {}
};

template <class C>
std::unique_ptr<Property> IntegerProp(std::string name, std::int32_t (C::*get)() const,
                                      void (C::*set)(std::int32_t)) {
    return std::make_unique<IntegerProperty<C>>(std::move(name), get, set);
}

template <class C>
std::unique_ptr<Property> TextProp(std::string name, const std::string& (C::*get)() const,
                                   void (C::*set)(const std::string&)) {
    return std::make_unique<TextProperty<C>>(std::move(name), PropertyKind::Text, get, set);
}

template <class C>
std::unique_ptr<Property> WideTextProp(std::string name, const std::string& (C::*get)() const,
                                       void (C::*set)(const std::string&)) {
    return std::make_unique<TextProperty<C>>(std::move(name), PropertyKind::WideText, get, set);
}

template <class C, class V>
std::unique_ptr<Property> EnumProp(std::string name, IdentifierList names, V (C::*get)() const,
                                   void (C::*set)(V)) {
    return std::make_unique<EnumProperty<C, V>>(std::move(name), std::move(names), get, set);
}

template <class C>
std::unique_ptr<Property> BoolProp(std::string name, bool (C::*get)() const, void (C::*set)(bool)) {
    return EnumProp<C, bool>(std::move(name), {"False", "True"}, get, set);
}

template <class C>
std::unique_ptr<Property> SetProp(std::string name, IdentifierList names,
                                  std::uint32_t (C::*get)() const, void (C::*set)(std::uint32_t)) {
    return std::make_unique<SetProperty<C>>(std::move(name), std::move(names), get, set);
}

template <class C>
std::unique_ptr<Property> FloatProp(std::string name, double (C::*get)() const,
                                    void (C::*set)(double)) {
    return std::make_unique<FloatProperty<C>>(std::move(name), get, set);
}

template <class C>
std::unique_ptr<Property> CharProp(std::string name, char (C::*get)() const, void (C::*set)(char)) {
    return std::make_unique<CharProperty<C>>(std::move(name), get, set);
}

template <class C>
std::unique_ptr<Property> Int64Prop(std::string name, std::int64_t (C::*get)() const,
                                    void (C::*set)(std::int64_t)) {
    return std::make_unique<Int64Property<C>>(std::move(name), get, set);
}

template <class C>
std::unique_ptr<Property> VariantProp(std::string name, const std::string& (C::*get)() const,
                                      void (C::*set)(const std::string&)) {
    return std::make_unique<VariantProperty<C>>(std::move(name), get, set);
}

template <class C, class T>
std::unique_ptr<Property> ObjectProp(std::string name, T* (C::*get)() const, void (C::*set)(T*)) {
    return std::make_unique<ObjectProperty<C, T>>(std::move(name), get, set);
}

inline std::unique_ptr<Property> EventProp(std::string name) {
    return std::make_unique<UnsettableProperty>(std::move(name));
}

}  // namespace nv::toolkit
