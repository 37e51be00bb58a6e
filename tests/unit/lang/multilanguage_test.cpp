#include "lang/multilanguage.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/error.h"
#include "lang/script.h"
#include "lang/wizard_script.h"
#include "test_window.h"
#include "toolkit/application.h"

namespace nv::lang {
namespace {

using testing::TestWindow;
using toolkit::TLabel;
using toolkit::TRadioGroup;
using toolkit::TRichEdit;
using toolkit::TStringList;

void LoadWizardScript(TMultilanguage& language) {
    // Read straight into the list, as a stored definition is: nothing is applied yet.
    for (const std::string& line : WizardScript()) {
        language.Script()->Add(line);
    }
}

// Every text the script can change, by component name (items and lines joined by "|").
std::map<std::string, std::string> Snapshot(const TestWindow& window) {
    std::map<std::string, std::string> texts;
    const toolkit::TForm& form = window.Form();
    for (int i = 0; i < form.ComponentCount(); ++i) {
        toolkit::TComponent& component = form.Components(i);
        std::string text;
        if (auto* control = dynamic_cast<toolkit::TControl*>(&component)) {
            text = control->Caption();
        }
        if (auto* group = dynamic_cast<TRadioGroup*>(&component)) {
            text += "|" + group->Items()->Text();
        }
        if (auto* rich = dynamic_cast<TRichEdit*>(&component)) {
            text += "|" + rich->Lines()->Text();
        }
        if (auto* image = dynamic_cast<toolkit::TImage*>(&component)) {
            text += "|" + std::to_string(image->Picture()->GetBitmap().width);
        }
        texts[component.Name()] = text;
    }
    texts["(window)"] = form.Caption();
    return texts;
}

// For each key of a section: the label or control text it must have produced.
void ExpectSectionApplied(const TestWindow& window, const std::string& section) {
    TStringList script;
    for (const std::string& line : WizardScript()) {
        script.Add(line);
    }
    int checked = 0;
    for (const std::string& line : SelectSection(script, section)) {
        const Assignment assignment = ParseAssignment(line);
        const std::size_t dot = assignment.key.rfind('.');
        const std::string name = assignment.key.substr(0, dot);
        const std::string property = assignment.key.substr(dot + 1);
        toolkit::TComponent* component = window.Form().FindComponent(name);
        if (name == "iGeneral") {
            EXPECT_EQ(component, nullptr);
            continue;
        }
        ASSERT_NE(component, nullptr) << name;
        if (property == "Caption") {
            EXPECT_EQ(dynamic_cast<toolkit::TControl&>(*component).Caption(), assignment.value)
                << name;
        } else {
            TStringList expected;
            expected.SetText(assignment.value);
            const toolkit::TStrings* actual = property == "Items"
                                                  ? dynamic_cast<TRadioGroup&>(*component).Items()
                                                  : dynamic_cast<TRichEdit&>(*component).Lines();
            EXPECT_EQ(actual->Text(), expected.Text()) << name;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 36);
}

// Each test works on a window of its own.
class TranslateTest : public ::testing::Test {
protected:
    TestWindow window;
};

TEST_F(TranslateTest, LoadingAppliesTheEmptySectionWhichChangesNothing) {
    LoadWizardScript(window.Language());
    const auto design = Snapshot(window);
    int translated = 0;
    window.Language().OnTranslate = [&](toolkit::TComponent&) { ++translated; };
    toolkit::NotifyLoaded(window.Form());
    EXPECT_EQ(Snapshot(window), design);
    EXPECT_EQ(translated, 1);
    EXPECT_EQ(window.Language().GetLanguage(), "");
}

TEST_F(TranslateTest, EnglishGermanEnglishRewritesEveryKeyAndKeepsTheRest) {
    LoadWizardScript(window.Language());
    const auto design = Snapshot(window);

    window.Language().SetLanguage("English");
    ExpectSectionApplied(window, "English");
    const auto english = Snapshot(window);
    EXPECT_EQ(window.Get<TRadioGroup>("rgLicense").Items()->Count(), 2);
    EXPECT_EQ(window.Get<TRichEdit>("reLicense").Lines()->Count(), 132);
    EXPECT_EQ(window.Caption("btnCancel"), "&Cancel");

    window.Language().SetLanguage("Deutsch");
    ExpectSectionApplied(window, "Deutsch");
    EXPECT_EQ(window.Get<TRichEdit>("reLicense").Lines()->Count(), 163);
    EXPECT_EQ(window.Caption("lbStartmenu"),
              "Start&men\xFC"
              "eintrag:");

    window.Language().SetLanguage("English");
    EXPECT_EQ(Snapshot(window), english);

    // The controls the script does not name keep their design texts in every language.
    for (const char* name :
         {"rgLanguage", "lbSuccess1", "cbDesktop", "cbStartmenu", "btnInstallpath", "edInstallpath",
          "pSuccess", "iInfoPicture", "(window)"}) {
        EXPECT_EQ(english.at(name), design.at(name)) << name;
    }
}

TEST_F(TranslateTest, TheChosenRadioItemSurvivesALanguageChange) {
    LoadWizardScript(window.Language());
    auto& license = window.Get<TRadioGroup>("rgLicense");
    window.Language().SetLanguage("English");
    license.SetItemIndex(0);
    window.Language().SetLanguage("Deutsch");
    EXPECT_EQ(license.ItemIndex(), 0);
    license.SetItemIndex(1);
    window.Language().SetLanguage("English");
    EXPECT_EQ(license.ItemIndex(), 1);
    EXPECT_EQ(license.Items()->Strings(1), "I do n&ot agree.");
}

TEST_F(TranslateTest, AnUnknownLanguageChangesNothingButStillRaisesOnTranslate) {
    LoadWizardScript(window.Language());
    window.Language().SetLanguage("Deutsch");
    const auto german = Snapshot(window);
    TMultilanguage* sender = nullptr;
    window.Language().OnTranslate = [&](toolkit::TComponent& s) {
        sender = dynamic_cast<TMultilanguage*>(&s);
    };
    window.Language().SetLanguage("Englisch");
    EXPECT_EQ(Snapshot(window), german);
    EXPECT_EQ(sender, &window.Language());
    EXPECT_EQ(window.Language().SectionLines().Count(), 0);
}

TEST_F(TranslateTest, EverySetLanguageAppliesAgainEvenWithTheSameName) {
    LoadWizardScript(window.Language());
    window.Language().SetLanguage("English");
    window.Get<TLabel>("lbFinish").SetCaption("changed by code");
    window.Language().SetLanguage("English");
    EXPECT_EQ(window.Caption("lbFinish"), "&Finish");
}

TEST_F(TranslateTest, SetScriptAppliesAtOnceButChangingTheListInPlaceDoesNot) {
    TMultilanguage& language = window.Language();
    language.SetLanguage("English");
    language.Script()->Add("[English]");
    language.Script()->Add("lbFinish.Caption = 'in place'");
    EXPECT_EQ(window.Caption("lbFinish"), "&Beenden");

    TStringList replacement;
    replacement.SetText("[English]\nlbFinish.Caption = 'replaced'");
    language.SetScript(&replacement);
    EXPECT_EQ(window.Caption("lbFinish"), "replaced");
    EXPECT_EQ(language.Script()->Count(), 2);
    EXPECT_NE(language.Script(), &replacement);

    // Through the published property, as a stored definition or a script would do it.
    const toolkit::Property* script = language.FindProperty("Script");
    ASSERT_NE(script, nullptr);
    replacement.SetText("[English]\nlbFinish.Caption = 'by property'");
    script->SetObject(language, &replacement);
    EXPECT_EQ(window.Caption("lbFinish"), "by property");
    language.FindProperty("Language")->SetAsText(language, "none");
    EXPECT_EQ(language.GetLanguage(), "none");
}

TEST(Translate, WithoutAnOwnerNothingIsReached) {
    TMultilanguage orphan;
    TStringList script;
    script.SetText("[x]\nCaption = 'y'\nName = 'renamed'");
    int translated = 0;
    orphan.OnTranslate = [&](toolkit::TComponent&) { ++translated; };
    orphan.SetScript(&script);
    orphan.SetLanguage("x");
    EXPECT_EQ(orphan.Name(), "");
    EXPECT_EQ(translated, 2);
}

// A script whose second line raises a toolkit error: the first line is applied, the third not.
class FailingLine : public ::testing::Test {
protected:
    void SetUp() override {
        script_.SetText(
            "[English]\n"
            "lbFinish.Caption = 'first'\n"
            "lbInstallpath.Alignment = 'taSideways'\n"
            "lbError1.Caption = 'third'\n");
        window_.Language().OnTranslate = [this](toolkit::TComponent&) { ++translated_; };
    }
    void ExpectStoppedAtTheFailingLine() {
        EXPECT_EQ(window_.Caption("lbFinish"), "first");
        EXPECT_EQ(window_.Caption("lbError1"), "Fehler!");
        EXPECT_EQ(translated_, 0);
    }
    TestWindow window_;
    TStringList script_;
    int translated_ = 0;
};

TEST_F(FailingLine, ReachesTheCallerOfSetLanguage) {
    for (int i = 0; i < script_.Count(); ++i) {
        window_.Language().Script()->Add(script_.Strings(i));
    }
    EXPECT_THROW(window_.Language().SetLanguage("English"), Error);
    ExpectStoppedAtTheFailingLine();
}

TEST_F(FailingLine, ReachesTheCallerOfSetScript) {
    window_.Language().Script()->Clear();
    EXPECT_NO_THROW(window_.Language().SetLanguage("English"));
    translated_ = 0;
    try {
        window_.Language().SetScript(&script_);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid property element: taSideways");
    }
    ExpectStoppedAtTheFailingLine();
}

TEST_F(FailingLine, ReachesTheCallerOfLoaded) {
    script_.SetText(
        "lbFinish.Caption = 'first'\n"  // before any header: the empty language
        "pbInstall.Position = 'fifty'\n"
        "lbError1.Caption = 'third'\n");
    for (int i = 0; i < script_.Count(); ++i) {
        window_.Language().Script()->Add(script_.Strings(i));
    }
    // An integer property given a word keeps its value silently; add a real failure after it.
    window_.Language().Script()->Insert(2, "btnNext.Enabled = 'maybe'");
    EXPECT_THROW(toolkit::NotifyLoaded(window_.Form()), Error);
    EXPECT_EQ(window_.Get<toolkit::TProgressBar>("pbInstall").Position(), 0);
    ExpectStoppedAtTheFailingLine();
}

TEST_F(TranslateTest, AScriptThatSetsItsOwnLanguageIsAnErrorNotARunaway) {
    TStringList script;
    script.SetText("[English]\nMultilanguage1.Language = 'English'\nlbFinish.Caption = 'after'");
    window.Language().SetLanguage("English");
    EXPECT_THROW(window.Language().SetScript(&script), Error);
    EXPECT_EQ(window.Caption("lbFinish"), "&Beenden");
    // The component is usable again afterwards.
    script.SetText("[English]\nlbFinish.Caption = 'fine'");
    window.Language().SetScript(&script);
    EXPECT_EQ(window.Caption("lbFinish"), "fine");
}

TEST_F(TranslateTest, BadScriptLinesChangeNothing) {
    TStringList script;
    script.SetText(
        "[English]\n"
        "lbNowhere.Caption = 'no such control'\n"
        "pLicense.lbLicense.Caption = 'through a panel'\n"
        "pbInstall.Position = 'half'\n"
        "lbLicense.NoSuchProperty = 'x'\n"
        "lbLicense.Caption.Length = '3'\n"
        "just text\n"
        "=\n");
    const auto before = Snapshot(window);
    window.Language().SetScript(&script);
    window.Language().SetLanguage("English");
    EXPECT_EQ(Snapshot(window), before);
}

// Two windows under the application object, each with its own language component and script.
class WithSync : public ::testing::Test {
protected:
    void SetUp() override {
        first_.Language().SetLanguage("");
        TStringList script;
        script.SetText("[A]\nlbFinish.Caption = 'first A'\n[B]\nlbFinish.Caption = 'first B'");
        first_.Language().SetScript(&script);
        script.SetText("[A]\nlbFinish.Caption = 'second A'\n[B]\nlbFinish.Caption = 'second B'");
        second_.Language().SetScript(&script);
    }
    TestWindow first_;
    TestWindow second_;
};

TEST_F(WithSync, WithoutACompanionEachComponentKeepsItsOwnLanguage) {
    EXPECT_EQ(FindLanguageSync(toolkit::Application()), nullptr);
    first_.Language().SetLanguage("A");
    EXPECT_EQ(first_.Caption("lbFinish"), "first A");
    EXPECT_EQ(second_.Caption("lbFinish"), "&Beenden");
    EXPECT_EQ(second_.Language().GetLanguage(), "");
}

TEST_F(WithSync, ACompanionAnywhereTakesOverEveryLanguageAndReappliesAll) {
    // The companion sits deep in the second window's tree: it is found all the same.
    auto& holder = second_.Form().CreateComponent<toolkit::TComponent>("holder");
    auto& sync = holder.CreateComponent<TMultilanguageSync>("sync");
    EXPECT_EQ(FindLanguageSync(toolkit::Application()), &sync);

    std::vector<std::string> order;
    first_.Language().OnTranslate = [&](toolkit::TComponent&) { order.emplace_back("first"); };
    second_.Language().OnTranslate = [&](toolkit::TComponent&) { order.emplace_back("second"); };

    second_.Language().SetLanguage("B");
    EXPECT_EQ(sync.Language(), "B");
    EXPECT_EQ(first_.Language().GetLanguage(), "B");
    EXPECT_EQ(first_.Caption("lbFinish"), "first B");
    EXPECT_EQ(second_.Caption("lbFinish"), "second B");
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));  // depth-first order

    order.clear();
    sync.FindProperty("Language")->SetAsText(sync, "A");
    EXPECT_EQ(first_.Caption("lbFinish"), "first A");
    EXPECT_EQ(second_.Caption("lbFinish"), "second A");
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));
}

TEST(FindLanguageSync, SearchesParentsBeforeChildrenInCreationOrder) {
    toolkit::TComponent root;
    auto& a = root.CreateComponent<toolkit::TComponent>("a");
    auto& deep = a.CreateComponent<TMultilanguageSync>("deep");
    auto& shallow = root.CreateComponent<TMultilanguageSync>("shallow");
    EXPECT_EQ(FindLanguageSync(root), &deep);  // a's subtree comes before the later sibling
    root.RemoveComponent(a);
    EXPECT_EQ(FindLanguageSync(root), &shallow);
    toolkit::TComponent empty;
    EXPECT_EQ(FindLanguageSync(empty), nullptr);
}

TEST(TranslateAll, DoesNotLookInsideLanguageComponents) {
    toolkit::TComponent root;
    auto& outer = root.CreateComponent<TMultilanguage>("outer");
    auto& inner = outer.CreateComponent<TMultilanguage>("inner");
    int outerCount = 0;
    int innerCount = 0;
    outer.OnTranslate = [&](toolkit::TComponent&) { ++outerCount; };
    inner.OnTranslate = [&](toolkit::TComponent&) { ++innerCount; };
    TranslateAll(root);
    EXPECT_EQ(outerCount, 1);
    EXPECT_EQ(innerCount, 0);
}

}  // namespace
}  // namespace nv::lang
