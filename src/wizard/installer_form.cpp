#include "wizard/installer_form.h"

#include "host/special_folders.h"
#include "lang/multilanguage.h"
#include "lang/wizard_script.h"
#include "toolkit/control_factory.h"
#include "wizard/installer_layout.h"
#include "wizard/product_identity.h"

namespace nv::wizard {

namespace {

using toolkit::TComponent;

// System metrics for the screen's size.
constexpr int kSmCxScreen = 0;
constexpr int kSmCyScreen = 1;

constexpr int kTitleFontHeight = 19;
constexpr int kWindowFontHeight = 11;

void ApplyFont(toolkit::TFont& font, FontKind kind) {
    switch (kind) {
        case FontKind::Window:
            return;
        case FontKind::Title:
            font.SetHeight(-kTitleFontHeight);
            font.SetStyle(toolkit::StyleBit(toolkit::TFontStyle::Bold));
            return;
        case FontKind::Large:
            font.SetHeight(-kTitleFontHeight);
            return;
        case FontKind::Error:
            font.SetHeight(-kWindowFontHeight);
            font.SetColor(toolkit::kClRed);
            return;
    }
}

void ApplyDefinition(TComponent& component, const ControlDef& def) {
    auto* control = dynamic_cast<toolkit::TControl*>(&component);
    if (control == nullptr) {
        return;  // the picture list has no place on the window
    }
    control->SetBounds(def.left, def.top, def.width, def.height);
    control->SetCaption(def.text);
    control->SetVisible((def.flags & flag::kHidden) == 0);
    control->SetEnabled((def.flags & flag::kDisabled) == 0);
    if ((def.flags & flag::kWhite) != 0) {
        control->SetColor(toolkit::kClWhite);
    }
    if ((def.flags & flag::kAlignTop) != 0) {
        control->SetAlign(toolkit::TAlign::Top);
    }
    ApplyFont(*control->Font(), def.font);
    if (auto* winControl = dynamic_cast<toolkit::TWinControl*>(control); winControl != nullptr) {
        winControl->SetTabStop(def.tabOrder >= 0 &&
                               dynamic_cast<toolkit::TPanel*>(control) == nullptr);
        if (def.tabOrder >= 0) {
            winControl->SetTabOrder(def.tabOrder);
        }
    }
    if (auto* panel = dynamic_cast<toolkit::TPanel*>(control)) {
        panel->SetBevelOuter(toolkit::TBevelCut::None);
        panel->SetCtl3D(true);
    } else if (auto* label = dynamic_cast<toolkit::TLabel*>(control)) {
        label->SetAutoSize(true);
        if ((def.flags & flag::kRightAligned) != 0) {
            label->SetAlignment(toolkit::TAlignment::RightJustify);
        }
    } else if (auto* checkBox = dynamic_cast<toolkit::TCheckBox*>(control)) {
        checkBox->SetChecked((def.flags & flag::kChecked) != 0);
    } else if (auto* group = dynamic_cast<toolkit::TRadioGroup*>(control)) {
        group->Items()->SetText(def.items);
        group->SetItemIndex(def.itemIndex);
    } else if (auto* richEdit = dynamic_cast<toolkit::TRichEdit*>(control)) {
        richEdit->SetReadOnly((def.flags & flag::kReadOnly) != 0);
        richEdit->SetScrollBars((def.flags & flag::kScrollBoth) != 0 ? toolkit::TScrollStyle::Both
                                                                     : toolkit::TScrollStyle::None);
    } else if (auto* progress = dynamic_cast<toolkit::TProgressBar*>(control)) {
        progress->SetRange(0, 100);
    } else if (auto* image = dynamic_cast<toolkit::TImage*>(control)) {
        image->SetStretch((def.flags & flag::kStretch) != 0);
    }
}

template <class T>
void Bind(const toolkit::TForm& form, const char* name, T*& field) {
    field = dynamic_cast<T*>(form.FindComponent(name));
}

}  // namespace

TfInstaller::TfInstaller(host::Host& host, toolkit::UiServices& ui, const WizardPictures& pictures)
    : host_(host), ui_(ui) {
    SetName("fInstaller");
    SetCaption(kWindowCaption);
    SetBorderStyle(toolkit::TFormBorderStyle::Dialog);
    SetBorderIcons(toolkit::BorderIconBit(toolkit::TBorderIcon::SystemMenu));
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    SetBounds(kDesignLeft, kDesignTop, Width() > 0 ? Width() : kClientWidth,
              Height() > 0 ? Height() : kClientHeight);
    SetColor(toolkit::kClBtnFace);
    BuildFromLayout(pictures);
    BindControls();

    btnNext->OnClick = [this](TComponent& sender) { btnNextClick(sender); };
    btnPrev->OnClick = [this](TComponent& sender) { btnPrevClick(sender); };
    btnCancel->OnClick = [this](TComponent& sender) { btnCancelClick(sender); };
    rgLanguage->OnClick = [this](TComponent& sender) { rgLanguageClick(sender); };
    rgLicense->OnClick = [this](TComponent& sender) { rgLicenseClick(sender); };
    btnInstallpath->OnClick = [this](TComponent& sender) { btnInstallpathClick(sender); };

    Multilanguage1 = &CreateComponent<lang::TMultilanguage>("Multilanguage1");
    toolkit::TStringList script;
    for (const std::string& line : lang::WizardScript()) {
        script.Add(line);
    }
    Multilanguage1->SetScript(&script);
}

TfInstaller::~TfInstaller() = default;

void TfInstaller::BuildFromLayout(const WizardPictures& pictures) {
    for (const ControlDef& def : InstallerLayout()) {
        toolkit::TWinControl* parent = this;
        if (def.parent != nullptr) {
            parent = dynamic_cast<toolkit::TWinControl*>(FindComponent(def.parent));
        }
        if (def.kind == toolkit::ComponentKind::ImageList) {
            auto& list = dynamic_cast<toolkit::TImageList&>(
                toolkit::CreateComponentOfKind(*this, def.kind, def.name));
            list.SetWidth(def.width);
            list.SetHeight(def.height);
            list.SetMasked(false);
            for (const toolkit::Bitmap& step : pictures.steps) {
                list.Add(step);
            }
            continue;
        }
        TComponent& component = toolkit::CreateComponentOfKind(*this, def.kind, def.name, parent);
        ApplyDefinition(component, def);
    }
    auto* splash = dynamic_cast<toolkit::TImage*>(FindComponent("iSplash"));
    splash->Picture()->SetBitmap(pictures.splash);
}

void TfInstaller::BindControls() {
    Bind(*this, "iSplash", iSplash);
    Bind(*this, "iInfoPicture", iInfoPicture);
    Bind(*this, "ilInfoPics", ilInfoPics);
    Bind(*this, "btnPrev", btnPrev);
    Bind(*this, "btnNext", btnNext);
    Bind(*this, "btnCancel", btnCancel);
    Bind(*this, "pLanguage", pLanguage);
    Bind(*this, "pLicense", pLicense);
    Bind(*this, "pInstallpath", pInstallpath);
    Bind(*this, "pInstall", pInstall);
    Bind(*this, "pSuccess", pSuccess);
    Bind(*this, "pError", pError);
    Bind(*this, "pCopyError", pCopyError);
    Bind(*this, "pAdmin", pAdmin);
    Bind(*this, "pTempdir", pTempdir);
    Bind(*this, "pUninstall", pUninstall);
    Bind(*this, "pUnistalling", pUnistalling);
    Bind(*this, "rgLanguage", rgLanguage);
    Bind(*this, "lbLicense", lbLicense);
    Bind(*this, "reLicense", reLicense);
    Bind(*this, "rgLicense", rgLicense);
    Bind(*this, "lbInstallpath", lbInstallpath);
    Bind(*this, "edInstallpath", edInstallpath);
    Bind(*this, "btnInstallpath", btnInstallpath);
    Bind(*this, "lbDesktop", lbDesktop);
    Bind(*this, "cbDesktop", cbDesktop);
    Bind(*this, "lbQuick", lbQuick);
    Bind(*this, "cbQuick", cbQuick);
    Bind(*this, "lbStartmenu", lbStartmenu);
    Bind(*this, "cbStartmenu", cbStartmenu);
    Bind(*this, "lbInstalling", lbInstalling);
    Bind(*this, "lbError", lbError);
    Bind(*this, "pbInstall", pbInstall);
    Bind(*this, "lbFinish", lbFinish);
    Bind(*this, "cbStartNV", cbStartNV);
}

void TfInstaller::FormCreate() {
    // Centred on the screen by the window's outer size.
    const int top = host_.SystemMetric(kSmCyScreen) / 2 - Height() / 2;
    const int left = host_.SystemMetric(kSmCxScreen) / 2 - Width() / 2;
    SetBounds(left, top, Width(), Height());

    std::string folder = host::GetSpecialFolder(host_, host::kCsidlProgramFiles);
    if (folder.empty()) {
        folder = host::kFallbackProgramFiles;
    }
    edInstallpath->SetText(folder + '\\' + kFolderName);

    MoveToPage(pLanguage);

    Multilanguage1->SetLanguage(kLanguageNames[0]);
}

void TfInstaller::ShowInfoPicture() {
    toolkit::TPicture picture;
    ilInfoPics->GetBitmap(InfoPictureIndex, picture);
    iInfoPicture->SetPicture(&picture);
}

}  // namespace nv::wizard
