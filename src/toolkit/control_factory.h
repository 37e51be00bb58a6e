#pragma once
// Creation of components by kind, so that a form can be built from a declarative table.

#include <string>
#include <string_view>

#include "toolkit/component.h"
#include "toolkit/control.h"

namespace nv::toolkit {

// Creates a component of `kind` owned by `owner` and named `name`. A control gets `parent` as
// its visual parent before it joins its owner, so a backend attached to the owner sees it in
// place. Raises nv::Error when the name is taken.
TComponent& CreateComponentOfKind(TComponent& owner, ComponentKind kind, const std::string& name,
                                  TWinControl* parent = nullptr);

}  // namespace nv::toolkit
