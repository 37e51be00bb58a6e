#pragma once
// The root of every class whose properties can be reached by name.

#include <string_view>

#include "toolkit/property.h"

namespace nv::toolkit {

class TPersistent {
public:
    TPersistent() = default;
    virtual ~TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
    TPersistent(TPersistent&&) = delete;
    TPersistent& operator=(TPersistent&&) = delete;

    static const ClassInfo& StaticClass();
    virtual const ClassInfo& ClassType() const { return StaticClass(); }

    // The published property of that name on this object's class or its bases, or none.
    const Property* FindProperty(std::string_view name) const {
        return ClassType().FindProperty(name);
    }
};

}  // namespace nv::toolkit
