#pragma once
// A headless window carrying the controls that the wizard's language script names (plus a few
// it does not name), owned by the application object for as long as the test runs.

#include <memory>
#include <string>

#include "lang/multilanguage.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"

namespace nv::lang::testing {

class TestWindow {
public:
    TestWindow();
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    TestWindow(TestWindow&&) = delete;
    TestWindow& operator=(TestWindow&&) = delete;

    toolkit::TForm& Form() const { return *form_; }
    TMultilanguage& Language() const { return *language_; }

    // The owned component of that name, as T; fails the test when there is none.
    template <class T>
    T& Get(const std::string& name) const {
        return dynamic_cast<T&>(*form_->FindComponent(name));
    }
    const std::string& Caption(const std::string& name) const {
        return Get<toolkit::TControl>(name).Caption();
    }

private:
    toolkit::TForm* form_ = nullptr;
    TMultilanguage* language_ = nullptr;
};

}  // namespace nv::lang::testing
