#pragma once
// The language component: holds a language script and a language name, and whenever the name is
// set, the script is replaced or its owner has finished loading, writes the section of that
// language into the properties of the owner's components.
//
// An optional companion, TMultilanguageSync, holds one language name for the whole application:
// while one exists anywhere under the application object, every language component takes its
// language from it, and setting the language on any of them re-applies all of them.

#include <memory>
#include <string>
#include <string_view>

#include "toolkit/component.h"
#include "toolkit/strings.h"

namespace nv::lang {

class TMultilanguageSync;

class TMultilanguage : public toolkit::TComponent {
public:
    static const toolkit::ClassInfo& StaticClass();
    const toolkit::ClassInfo& ClassType() const override { return StaticClass(); }

    // The script itself. Changing it in place applies nothing; SetScript does.
    toolkit::TStrings* Script() const { return script_.get(); }
    // Replaces the script with copies of the lines of `script` (none empties it), then applies
    // the current language.
    void SetScript(toolkit::TStrings* script);

    // The effective language: the companion's name when one exists, otherwise this component's.
    const std::string& GetLanguage() const;
    // Stores the name and applies it (through the companion, when one exists, to every
    // language component). Applies the section again even when the name did not change.
    void SetLanguage(const std::string& language);

    // The lines the last application selected.
    const toolkit::TStrings& SectionLines() const { return *sectionLines_; }

    // Applies the section of the current language to the owner's components, then raises
    // OnTranslate. A setter error stops the application at that line and passes to the
    // caller; OnTranslate is then not raised.
    void Translate();

    // Runs after the owner's stored definition has been read: applies the current language.
    void Loaded() override;

    toolkit::TNotifyEvent OnCreate;  // kept for completeness: never raised
    toolkit::TNotifyEvent OnTranslate;

private:
    std::unique_ptr<toolkit::TStringList> script_ = std::make_unique<toolkit::TStringList>();
    std::unique_ptr<toolkit::TStringList> sectionLines_ = std::make_unique<toolkit::TStringList>();
    std::string language_;
    bool translating_ = false;
};

class TMultilanguageSync : public toolkit::TComponent {
public:
    static const toolkit::ClassInfo& StaticClass();
    const toolkit::ClassInfo& ClassType() const override { return StaticClass(); }

    const std::string& Language() const { return language_; }
    // Stores the name, then re-applies every language component of the application.
    void SetLanguage(const std::string& language);

private:
    std::string language_;
};

// The first TMultilanguageSync under `root`, depth-first with parents before children, in
// creation order; none when there is none.
TMultilanguageSync* FindLanguageSync(toolkit::TComponent& root);

// Runs Translate on every TMultilanguage under `root`, depth-first in creation order (the
// components a language component owns are not searched).
void TranslateAll(toolkit::TComponent& root);

// Applies one assignment line to the objects under `root`: the key's text up to its last "."
// is the object path, the rest the property name. A key that reaches nothing changes nothing.
void ApplyAssignment(toolkit::TPersistent* root, std::string_view line);

}  // namespace nv::lang
