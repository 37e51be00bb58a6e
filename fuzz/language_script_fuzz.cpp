// libFuzzer target over the language-script path: every line of the input is applied as an
// assignment (ParseAssignment, ResolveObjectPath, SetPropertyFromText) to a headless window
// holding a control of every kind, a language component and a language companion; then the
// whole input becomes the language component's script and is applied for a few language
// names through section selection. Setter errors (nv::Error) are the script's expected
// failure; any other exception, a crash, a sanitizer report, or a script that adds or removes
// components of the window is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "lang/multilanguage.h"
#include "toolkit/application.h"
#include "toolkit/control_factory.h"
#include "toolkit/form.h"
#include "toolkit/radio_group.h"
#include "toolkit/strings.h"

namespace {

using nv::toolkit::ComponentKind;

struct Row {
    ComponentKind kind;
    const char* name;
    const char* parent;  // empty: the window itself
};

// A control of every kind, some inside a panel (which owns none of them).
constexpr Row kRows[] = {
    {ComponentKind::Panel, "pMain", ""},
    {ComponentKind::Label, "lbTitle", "pMain"},
    {ComponentKind::Label, "lbError", ""},
    {ComponentKind::Button, "btnNext", ""},
    {ComponentKind::Button, "btnPrev", "pMain"},
    {ComponentKind::CheckBox, "cbQuick", "pMain"},
    {ComponentKind::RadioGroup, "rgLicense", "pMain"},
    {ComponentKind::Edit, "edInstallpath", "pMain"},
    {ComponentKind::RichEdit, "reLicense", "pMain"},
    {ComponentKind::ProgressBar, "pbInstall", ""},
    {ComponentKind::Image, "iInfoPicture", ""},
    {ComponentKind::ImageList, "ilInfoPictures", ""},
};

// The window exists for one input only, so that no input depends on what an earlier one left.
class Window {
public:
    Window() {
        auto form = std::make_unique<nv::toolkit::TForm>();
        form_ = form.get();
        nv::toolkit::Application().InsertComponent(std::move(form), "fFuzz");
        form_->SetCaption("Norvista Installer");
        for (const Row& row : kRows) {
            auto* parent =
                row.parent[0] == '\0'
                    ? static_cast<nv::toolkit::TWinControl*>(form_)
                    : dynamic_cast<nv::toolkit::TWinControl*>(form_->FindComponent(row.parent));
            nv::toolkit::CreateComponentOfKind(*form_, row.kind, row.name, parent);
        }
        auto* license = dynamic_cast<nv::toolkit::TRadioGroup*>(form_->FindComponent("rgLicense"));
        license->Items()->SetText("I &agree.\nI do n&ot agree.");
        license->SetItemIndex(1);
        language_ = &form_->CreateComponent<nv::lang::TMultilanguage>("Multilanguage1");
        form_->CreateComponent<nv::lang::TMultilanguageSync>("MultilanguageSync1");
    }
    ~Window() { nv::toolkit::Application().RemoveComponent(*form_); }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    Window(Window&&) = delete;
    Window& operator=(Window&&) = delete;

    nv::toolkit::TForm& Form() const { return *form_; }
    nv::lang::TMultilanguage& Language() const { return *language_; }

private:
    nv::toolkit::TForm* form_ = nullptr;
    nv::lang::TMultilanguage* language_ = nullptr;
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = Lines(text);
    Window window;
    const int components = window.Form().ComponentCount();
    for (const std::string& line : lines) {
        try {
            nv::lang::ApplyAssignment(&window.Form(), line);
        } catch (const nv::Error&) {
            // A property value the toolkit cannot convert: the script's expected error.
        }
    }
    nv::toolkit::TStringList script;
    for (const std::string& line : lines) {
        script.Add(line);
    }
    for (const char* language : {"English", "deutsch", ""}) {
        try {
            window.Language().SetLanguage(language);
            window.Language().SetScript(&script);
        } catch (const nv::Error&) {
        }
    }
    Check(window.Form().ComponentCount() == components);
    return 0;
}
