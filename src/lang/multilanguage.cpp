#include "lang/multilanguage.h"

#include <vector>

#include "base/error.h"
#include "lang/object_path.h"
#include "lang/script.h"
#include "toolkit/application.h"
#include "toolkit/property_types.h"

namespace nv::lang {

using toolkit::TComponent;

namespace {

// The root of every search for the companion: the application object.
TComponent& SearchRoot() {
    return toolkit::Application();
}

}  // namespace

const toolkit::ClassInfo& TMultilanguage::StaticClass() {
    using namespace toolkit;
    static const ClassInfo info(
        "TMultilanguage", &TComponent::StaticClass(),
        MakePropertyList(
            ObjectProp("Script", &TMultilanguage::Script, &TMultilanguage::SetScript),
            TextProp("Language", &TMultilanguage::GetLanguage, &TMultilanguage::SetLanguage),
            EventProp("OnCreate"), EventProp("OnTranslate")));
    return info;
}

void TMultilanguage::SetScript(toolkit::TStrings* script) {
    script_->Assign(script);
    Translate();
}

const std::string& TMultilanguage::GetLanguage() const {
    if (const TMultilanguageSync* sync = FindLanguageSync(SearchRoot())) {
        return sync->Language();
    }
    return language_;
}

void TMultilanguage::SetLanguage(const std::string& language) {
    TMultilanguageSync* sync = FindLanguageSync(SearchRoot());
    language_ = language;
    if (sync != nullptr) {
        sync->SetLanguage(language);
    } else {
        Translate();
    }
}

void TMultilanguage::Translate() {
    // A script line that sets this component's own language or script would start the same
    // application again from inside itself, without end.
    if (translating_) {
        throw Error("The language script of " + Name() + " applies its own language again");
    }
    translating_ = true;
    try {
        // Work on a copy: a line may change the script list or the section lines.
        const std::vector<std::string> lines = SelectSection(*script_, GetLanguage());
        sectionLines_->BeginUpdate();
        sectionLines_->Clear();
        for (const std::string& line : lines) {
            sectionLines_->Add(line);
        }
        sectionLines_->EndUpdate();
        for (const std::string& line : lines) {
            ApplyAssignment(Owner(), line);
        }
    } catch (...) {
        translating_ = false;
        throw;
    }
    translating_ = false;
    if (OnTranslate) {
        OnTranslate(*this);
    }
}

void TMultilanguage::Loaded() {
    TComponent::Loaded();
    Translate();
}

const toolkit::ClassInfo& TMultilanguageSync::StaticClass() {
    using namespace toolkit;
    static const ClassInfo info("TMultilanguageSync", &TComponent::StaticClass(),
                                MakePropertyList(TextProp("Language", &TMultilanguageSync::Language,
                                                          &TMultilanguageSync::SetLanguage)));
    return info;
}

void TMultilanguageSync::SetLanguage(const std::string& language) {
    language_ = language;
    TranslateAll(SearchRoot());
}

TMultilanguageSync* FindLanguageSync(TComponent& root) {
    for (int i = 0; i < root.ComponentCount(); ++i) {
        TComponent& component = root.Components(i);
        if (auto* sync = dynamic_cast<TMultilanguageSync*>(&component)) {
            return sync;
        }
        if (TMultilanguageSync* found = FindLanguageSync(component)) {
            return found;
        }
    }
    return nullptr;
}

void TranslateAll(TComponent& root) {
    for (int i = 0; i < root.ComponentCount(); ++i) {
        TComponent& component = root.Components(i);
        if (auto* language = dynamic_cast<TMultilanguage*>(&component)) {
            language->Translate();
        } else {
            TranslateAll(component);
        }
    }
}

void ApplyAssignment(toolkit::TPersistent* root, std::string_view line) {
    const Assignment assignment = ParseAssignment(line);
    const std::string_view key = assignment.key;
    const std::size_t dot = key.rfind('.');
    const std::string_view path =
        dot == std::string_view::npos ? std::string_view{} : key.substr(0, dot);
    const std::string_view property = dot == std::string_view::npos ? key : key.substr(dot + 1);
    if (toolkit::TPersistent* target = ResolveObjectPath(root, path)) {
        SetPropertyFromText(*target, property, assignment.value, root);
    }
}

}  // namespace nv::lang
