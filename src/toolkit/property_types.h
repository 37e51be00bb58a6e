#pragma once
// The concrete property kinds, bound to a class's getter and setter. A class describes its
// published properties with the factory functions at the end, for example
//   IntegerProp("Left", &TControl::Left, &TControl::SetLeft)
//
// A property holds its getter and setter as members of TPersistent: the factories convert a
// class's own member pointers with static_cast, and a property is only ever applied to
// objects of the class that publishes it (lookups start at the object's own class), which is
// what makes calling through the converted pointer well defined. So one property class per
// kind of value serves every class, where a class per published class and kind would repeat
// the same conversion code for each.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "toolkit/errors.h"
#include "toolkit/persistent.h"
#include "toolkit/property.h"
#include "toolkit/text.h"

namespace nv::toolkit {

// Element names of enumeration and set types, in ordinal order: a constant array that lives as
// long as the program, such as
//   constexpr std::string_view kBevelNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
using IdentifierList = std::span<const std::string_view>;

// Parses a set written as element names separated by commas or blanks, optionally enclosed in
// square brackets, into a bit mask (bit i for element i). Raises the invalid-property-element
// error for a name the type lacks.
std::uint32_t ParseSetText(std::string_view text, IdentifierList names);
std::string SetToText(std::uint32_t bits, IdentifierList names);

// The ordinal of an enumeration identifier (A..Z without case), or the invalid-property-element
// error.
int ParseEnumText(std::string_view text, IdentifierList names);

// A getter and a setter of values of type V, as members of TPersistent (see above).
template <class V, class Arg = V>
struct Accessors {
    V (TPersistent::*get)() const;
    void (TPersistent::*set)(Arg);
};

// A class's own getter or setter as a member of TPersistent.
template <class C, class F>
auto AsPersistentMember(F C::*member) {
    return static_cast<F TPersistent::*>(member);
}

template <class C, class V, class Arg>
Accessors<V, Arg> AccessorsOf(V (C::*get)() const, void (C::*set)(Arg)) {
    return {AsPersistentMember(get), AsPersistentMember(set)};
}

using TextAccessors = Accessors<const std::string&>;

class IntegerProperty final : public Property {
public:
    IntegerProperty(std::string name, Accessors<std::int32_t> access)
        : Property(std::move(name), PropertyKind::Integer), access_(access) {}

    std::int32_t GetInteger(const TPersistent& object) const override;
    void SetInteger(TPersistent& object, std::int32_t value) const override;
    void SetAsText(TPersistent& object, std::string_view text) const override;
    std::string GetAsText(const TPersistent& object) const override;

private:
    Accessors<std::int32_t> access_;
};

// Text, wide-text and variant properties take the value unchanged (a variant converted from
// text holds that text as a text variant).
class TextProperty final : public Property {
public:
    TextProperty(std::string name, PropertyKind kind, TextAccessors access)
        : Property(std::move(name), kind), access_(access) {}

    void SetAsText(TPersistent& object, std::string_view text) const override;
    std::string GetAsText(const TPersistent& object) const override;

private:
    TextAccessors access_;
};

// The conversions every enumeration shares; the ordinal goes through the class's own type.
class EnumPropertyBase : public Property {
protected:
    EnumPropertyBase(std::string name, IdentifierList names)
        : Property(std::move(name), PropertyKind::Enumeration), names_(names) {}

    int Ordinal(std::string_view text) const { return ParseEnumText(text, names_); }
    std::string Name(std::size_t ordinal) const;

private:
    IdentifierList names_;
};

// Enumerations, Boolean included; V is an enum type or bool.
template <class V>
class EnumProperty final : public EnumPropertyBase {
public:
    EnumProperty(std::string name, IdentifierList names, Accessors<V> access)
        : EnumPropertyBase(std::move(name), names), access_(access) {}

    void SetAsText(TPersistent& object, std::string_view text) const override {
        (object.*access_.set)(static_cast<V>(Ordinal(text)));
    }
    std::string GetAsText(const TPersistent& object) const override {
        return Name(static_cast<std::size_t>((object.*access_.get)()));
    }

private:
    Accessors<V> access_;
};

class SetProperty final : public Property {
public:
    SetProperty(std::string name, IdentifierList names, Accessors<std::uint32_t> access)
        : Property(std::move(name), PropertyKind::Set), names_(names), access_(access) {}

    void SetAsText(TPersistent& object, std::string_view text) const override;
    std::string GetAsText(const TPersistent& object) const override;

private:
    IdentifierList names_;
    Accessors<std::uint32_t> access_;
};

class FloatProperty final : public Property {
public:
    FloatProperty(std::string name, Accessors<double> access)
        : Property(std::move(name), PropertyKind::Float), access_(access) {}

    void SetAsText(TPersistent& object, std::string_view text) const override;
    std::string GetAsText(const TPersistent& object) const override;

private:
    Accessors<double> access_;
};

// A character property takes its value as a number, the character's code from 0 to 255.
class CharProperty final : public Property {
public:
    CharProperty(std::string name, Accessors<char> access)
        : Property(std::move(name), PropertyKind::Char), access_(access) {}

    void SetAsText(TPersistent& object, std::string_view text) const override;
    std::string GetAsText(const TPersistent& object) const override;

private:
    Accessors<char> access_;
};

class Int64Property final : public Property {
public:
    Int64Property(std::string name, Accessors<std::int64_t> access)
        : Property(std::move(name), PropertyKind::Int64), access_(access) {}

    void SetAsText(TPersistent& object, std::string_view text) const override;
    std::string GetAsText(const TPersistent& object) const override;

private:
    Accessors<std::int64_t> access_;
};

// A reference to an object of class T (or derived), possibly none.
template <class T>
class ObjectProperty final : public Property {
public:
    ObjectProperty(std::string name, Accessors<T*> access)
        : Property(std::move(name), PropertyKind::Object), access_(access) {}

    TPersistent* GetObject(const TPersistent& object) const override {
        return (object.*access_.get)();
    }
    void SetObject(TPersistent& object, TPersistent* value) const override {
        if (value == nullptr) {
            (object.*access_.set)(nullptr);
        } else if (T* typed = dynamic_cast<T*>(value)) {
            (object.*access_.set)(typed);
        }
    }

private:
    Accessors<T*> access_;
};

// Events (and any other kind without a text conversion): published so that they can be found
// by name, but setting one from text raises the invalid-property-type error.
class UnsettableProperty final : public Property {
public:
    explicit UnsettableProperty(std::string name)
        : Property(std::move(name), PropertyKind::Unsettable) {}
};

// The factories take the name as a C string and the most common kinds are made out of line,
// so that each published property costs one call where its class describes it.
std::unique_ptr<Property> MakeIntegerProperty(const char* name, Accessors<std::int32_t> access);
std::unique_ptr<Property> MakeTextProperty(const char* name, PropertyKind kind,
                                           TextAccessors access);
std::unique_ptr<Property> MakeBoolProperty(const char* name, Accessors<bool> access);

template <class C>
std::unique_ptr<Property> IntegerProp(const char* name, std::int32_t (C::*get)() const,
                                      void (C::*set)(std::int32_t)) {
    return MakeIntegerProperty(name, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> TextProp(const char* name, const std::string& (C::*get)() const,
                                   void (C::*set)(const std::string&)) {
    return MakeTextProperty(name, PropertyKind::Text, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> WideTextProp(const char* name, const std::string& (C::*get)() const,
                                       void (C::*set)(const std::string&)) {
    return MakeTextProperty(name, PropertyKind::WideText, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> VariantProp(const char* name, const std::string& (C::*get)() const,
                                      void (C::*set)(const std::string&)) {
    return MakeTextProperty(name, PropertyKind::Variant, AccessorsOf(get, set));
}

template <class C, class V>
std::unique_ptr<Property> EnumProp(const char* name, IdentifierList names, V (C::*get)() const,
                                   void (C::*set)(V)) {
    return std::make_unique<EnumProperty<V>>(name, names, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> BoolProp(const char* name, bool (C::*get)() const, void (C::*set)(bool)) {
    return MakeBoolProperty(name, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> SetProp(const char* name, IdentifierList names,
                                  std::uint32_t (C::*get)() const, void (C::*set)(std::uint32_t)) {
    return std::make_unique<SetProperty>(name, names, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> FloatProp(const char* name, double (C::*get)() const,
                                    void (C::*set)(double)) {
    return std::make_unique<FloatProperty>(name, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> CharProp(const char* name, char (C::*get)() const, void (C::*set)(char)) {
    return std::make_unique<CharProperty>(name, AccessorsOf(get, set));
}

template <class C>
std::unique_ptr<Property> Int64Prop(const char* name, std::int64_t (C::*get)() const,
                                    void (C::*set)(std::int64_t)) {
    return std::make_unique<Int64Property>(name, AccessorsOf(get, set));
}

template <class C, class T>
std::unique_ptr<Property> ObjectProp(const char* name, T* (C::*get)() const, void (C::*set)(T*)) {
    return std::make_unique<ObjectProperty<T>>(name, AccessorsOf(get, set));
}

inline std::unique_ptr<Property> EventProp(const char* name) {
    return std::make_unique<UnsettableProperty>(name);
}

}  // namespace nv::toolkit
