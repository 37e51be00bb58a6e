#pragma once
// Published properties: named, typed accessors that let code (the language component above
// all) read and set an object's state by name. Each class describes its own properties in a
// ClassInfo; lookups walk from the object's class to its bases.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nv::toolkit {

class TPersistent;

enum class PropertyKind {
    Integer,
    Text,
    Object,
    Enumeration,
    Set,
    Float,
    Char,
    WideText,
    Int64,
    Variant,
    Unsettable,  // events, arrays, records, interfaces: no conversion from text
};

class Property {
public:
    Property(std::string name, PropertyKind kind) : name_(std::move(name)), kind_(kind) {}
    virtual ~Property() = default;
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;
    Property(Property&&) = delete;
    Property& operator=(Property&&) = delete;

    const std::string& Name() const { return name_; }
    PropertyKind Kind() const { return kind_; }

    // Integer properties. Other kinds raise the invalid-property-type error.
    virtual std::int32_t GetInteger(const TPersistent& object) const;
    virtual void SetInteger(TPersistent& object, std::int32_t value) const;

    // Object properties: the object referred to, possibly none. SetObject stores `value` when it
    // is none or of the property's class (or derived from it) and otherwise changes nothing.
    virtual TPersistent* GetObject(const TPersistent& object) const;
    virtual void SetObject(TPersistent& object, TPersistent* value) const;

    // The toolkit's conversion from text, for every settable kind but object. Raises the
    // invalid-property-element, invalid-property-type or conversion error.
    virtual void SetAsText(TPersistent& object, std::string_view text) const;

    // The current value written as text (enumerations by name, sets as "[a,b]").
    virtual std::string GetAsText(const TPersistent& object) const;

private:
    std::string name_;
    PropertyKind kind_;
};

using PropertyList = std::vector<std::unique_ptr<Property>>;

// Run-time description of a class: its name, its base and the properties it publishes.
class ClassInfo {
public:
    ClassInfo(std::string name, const ClassInfo* base, PropertyList properties = {})
        : name_(std::move(name)), base_(base), properties_(std::move(properties)) {}

    const std::string& Name() const { return name_; }

    // The property of that name on this class or a base, A..Z compared without case; the
    // class's own properties come before those of its bases. None when there is no such one.
    const Property* FindProperty(std::string_view name) const;

private:
    std::string name_;
    const ClassInfo* base_;
    PropertyList properties_;
};

// Moves the properties of `items` into a list; see MakePropertyList.
PropertyList TakeProperties(std::span<std::unique_ptr<Property>> items);

// The list a class publishes, in the order given. The work is done once, in TakeProperties,
// rather than once per property of every class.
template <class... Ps>
PropertyList MakePropertyList(Ps&&... properties) {
    std::unique_ptr<Property> items[] = {std::forward<Ps>(properties)...};
    return TakeProperties(items);
}

}  // namespace nv::toolkit
