#include "test_window.h"

#include <string>

#include "toolkit/application.h"
#include "toolkit/control_factory.h"

namespace nv::lang::testing {

using toolkit::ComponentKind;

namespace {

struct Row {
    ComponentKind kind;
    const char* name;
    const char* parent;  // empty: the window itself
    const char* text;
};

// A cut-down design of the wizard window: every control the script names, with German design
// texts, and some it leaves alone.
constexpr Row kRows[] = {
    {ComponentKind::Button, "btnPrev", "",
     "&Zur\xFC"
     "ck"},
    {ComponentKind::Button, "btnNext", "", "&Weiter"},
    {ComponentKind::Button, "btnCancel", "", "&Abbrechen"},
    {ComponentKind::Panel, "pLanguage", "", ""},
    {ComponentKind::Panel, "pLicense", "", ""},
    {ComponentKind::Panel, "pInstallpath", "", ""},
    {ComponentKind::Panel, "pInstall", "", ""},
    {ComponentKind::Panel, "pSuccess", "", ""},
    {ComponentKind::RadioGroup, "rgLanguage", "pLanguage", "Language/Sprache"},
    {ComponentKind::Label, "lbLicense", "pLicense", "Lizenzvertrag"},
    {ComponentKind::RichEdit, "reLicense", "pLicense", ""},
    {ComponentKind::RadioGroup, "rgLicense", "pLicense", ""},
    {ComponentKind::Label, "lbInstallpath", "pInstallpath", "&Installationspfad:"},
    {ComponentKind::Edit, "edInstallpath", "pInstallpath", "C:\\Programme\\Norvista"},
    {ComponentKind::Button, "btnInstallpath", "pInstallpath", "..."},
    {ComponentKind::Label, "lbDesktop", "pInstallpath", "&Desktopicon:"},
    {ComponentKind::CheckBox, "cbDesktop", "pInstallpath", "&D"},
    {ComponentKind::Label, "lbQuick", "pInstallpath", "&Schnellstarticon:"},
    {ComponentKind::CheckBox, "cbQuick", "pInstallpath", "&S"},
    {ComponentKind::Label, "lbStartmenu", "pInstallpath",
     "Start&men\xFC"
     "eintrag:"},
    {ComponentKind::CheckBox, "cbStartmenu", "pInstallpath", "&M"},
    {ComponentKind::Label, "lbInstalling", "pInstall", "Norvista wird installiert."},
    {ComponentKind::Label, "lbError", "pInstall", "Kein Installationspaket gefunden."},
    {ComponentKind::ProgressBar, "pbInstall", "pInstall", ""},
    {ComponentKind::Label, "lbFinish", "pSuccess", "&Beenden"},
    {ComponentKind::Label, "lbSuccess1", "pSuccess", "Norvista"},
    {ComponentKind::Label, "lbSuccess2", "pSuccess", "wurde erfolgreich installiert."},
    {ComponentKind::Label, "lbSuccess3", "pSuccess", "Klicken Sie auf <Beenden>."},
    {ComponentKind::CheckBox, "cbStartNV", "pSuccess", "&Norvista starten"},
    {ComponentKind::Label, "lbError1", "", "Fehler!"},
    {ComponentKind::Label, "lbError2", "", "design 2"},
    {ComponentKind::Label, "lbError3", "", "design 3"},
    {ComponentKind::Label, "lbError4", "", "Fehler!"},
    {ComponentKind::Label, "lbError5", "", "design 5"},
    {ComponentKind::Label, "lbError6", "", "design 6"},
    {ComponentKind::Label, "lbError7", "", "Fehler!"},
    {ComponentKind::Label, "lbError8", "", "design 8"},
    {ComponentKind::Label, "lbError9", "", "design 9"},
    {ComponentKind::Label, "lbError10", "", "Fehler!"},
    {ComponentKind::Label, "lbError11", "", "design 11"},
    {ComponentKind::Label, "lbError12", "", "design 12"},
    {ComponentKind::Label, "lbError13", "", "design 13"},
    {ComponentKind::Label, "lbUninstall1", "", "Norvista deinstallieren"},
    {ComponentKind::Label, "lbUninstall2", "", "design u2"},
    {ComponentKind::Label, "lbUninstall3", "", "design u3"},
    {ComponentKind::Label, "lbUninstall4", "", "design u4"},
    {ComponentKind::Label, "lbUninstalling1", "", "design ui1"},
    {ComponentKind::Label, "lbUninstalling2", "", "design ui2"},
    {ComponentKind::Image, "iInfoPicture", "", ""},
};

}  // namespace

TestWindow::TestWindow() {
    auto form = std::make_unique<toolkit::TForm>();
    form_ = form.get();
    // Several windows may exist at once; names are unique under the application object.
    static int count = 0;
    toolkit::Application().InsertComponent(std::move(form), "fTest" + std::to_string(++count));
    form_->SetCaption("Norvista Installer");
    for (const Row& row : kRows) {
        auto* parent =
            row.parent[0] == '\0'
                ? static_cast<toolkit::TWinControl*>(form_)
                : &dynamic_cast<toolkit::TWinControl&>(*form_->FindComponent(row.parent));
        auto& control = dynamic_cast<toolkit::TControl&>(
            toolkit::CreateComponentOfKind(*form_, row.kind, row.name, parent));
        control.SetCaption(row.text);
    }
    auto& languages = Get<toolkit::TRadioGroup>("rgLanguage");
    languages.Items()->SetText("&English\n&Deutsch");
    auto& license = Get<toolkit::TRadioGroup>("rgLicense");
    license.Items()->SetText("Ich stimme dem Vertrag zu.\nIch stimme dem Vertrag nicht zu.");
    license.SetItemIndex(1);
    language_ = &form_->CreateComponent<TMultilanguage>("Multilanguage1");
}

TestWindow::~TestWindow() {
    toolkit::Application().RemoveComponent(*form_);
}

}  // namespace nv::lang::testing
