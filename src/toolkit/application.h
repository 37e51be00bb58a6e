#pragma once
// The application object: the root of the ownership tree. It owns the program's windows.

#include "toolkit/component.h"

namespace nv::toolkit {

class TApplication : public TComponent {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// The one application object of the process.
TApplication& Application();

}  // namespace nv::toolkit
