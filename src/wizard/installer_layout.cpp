#include "wizard/installer_layout.h"

namespace nv::wizard {

namespace {

using flag::kAlignTop;
using flag::kChecked;
using flag::kDisabled;
using flag::kHidden;
using flag::kReadOnly;
using flag::kRightAligned;
using flag::kScrollBoth;
using flag::kStretch;
using flag::kWhite;

constexpr toolkit::ComponentKind kImage = toolkit::ComponentKind::Image;
constexpr toolkit::ComponentKind kImageList = toolkit::ComponentKind::ImageList;
constexpr toolkit::ComponentKind kButton = toolkit::ComponentKind::Button;
constexpr toolkit::ComponentKind kPanel = toolkit::ComponentKind::Panel;
constexpr toolkit::ComponentKind kLabel = toolkit::ComponentKind::Label;
constexpr toolkit::ComponentKind kCheckBox = toolkit::ComponentKind::CheckBox;
constexpr toolkit::ComponentKind kRadioGroup = toolkit::ComponentKind::RadioGroup;
constexpr toolkit::ComponentKind kEdit = toolkit::ComponentKind::Edit;
constexpr toolkit::ComponentKind kRichEdit = toolkit::ComponentKind::RichEdit;
constexpr toolkit::ComponentKind kProgressBar = toolkit::ComponentKind::ProgressBar;

constexpr FontKind kTitle = FontKind::Title;
constexpr FontKind kLarge = FontKind::Large;
constexpr FontKind kRed = FontKind::Error;

// Page panels all lie at the same place: (208, 144), 441 x 313, white, no bevel.
constexpr int kPl = 208, kPt = 144, kPw = 441, kPh = 313;

}  // namespace

const std::vector<ControlDef>& InstallerLayout() {
    // clang-format off
    static const std::vector<ControlDef> layout = {
        // Fields left out keep their defaults (see ControlDef).
        {.kind = kImage,       .name = "iSplash",         .left = 0, .top = 0, .width = 653, .height = 500, .flags = kAlignTop},
        {.kind = kImage,       .name = "iInfoPicture",    .left = 46, .top = 240, .width = 110, .height = 145, .flags = kStretch},
        {.kind = kImageList,   .name = "ilInfoPics",      .left = 0, .top = 0, .width = 110, .height = 145},
        {.kind = kButton,      .name = "btnPrev",         .left = 400, .top = 464, .width = 75, .height = 25, .text = "&Zur\xFC" "ck", .tabOrder = 5, .flags = kHidden | kDisabled},
        {.kind = kButton,      .name = "btnNext",         .left = 480, .top = 464, .width = 75, .height = 25, .text = "&Weiter", .tabOrder = 6, .flags = kDisabled},
        {.kind = kButton,      .name = "btnCancel",       .left = 558, .top = 464, .width = 78, .height = 25, .text = "&Abbrechen", .tabOrder = 7},

        {.kind = kPanel,       .name = "pLanguage",       .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 0, .flags = kWhite},
        {.kind = kPanel,       .name = "pLicense",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 1, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pInstallpath",    .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 2, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pInstall",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 3, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pSuccess",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 4, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pError",          .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 8, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pCopyError",      .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 9, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pAdmin",          .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 10, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pTempdir",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 11, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pUninstall",      .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 12, .flags = kWhite | kHidden},
        {.kind = kPanel,       .name = "pUnistalling",    .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 13, .flags = kWhite | kHidden},

        // Page 1: language.
        {.kind = kRadioGroup,  .name = "rgLanguage",      .parent = "pLanguage", .left = 136, .top = 123, .width = 185, .height = 81, .text = "Language/Sprache", .items = "&English\n&Deutsch", .tabOrder = 0, .flags = kWhite},

        // Page 2: licence.
        {.kind = kLabel,       .name = "lbLicense",       .parent = "pLicense", .left = 16, .top = 8, .width = 111, .height = 24, .text = "Lizenzvertrag", .font = kLarge},
        {.kind = kRichEdit,    .name = "reLicense",       .parent = "pLicense", .left = 16, .top = 40, .width = 409, .height = 217, .tabOrder = 0, .flags = kReadOnly | kScrollBoth},
        {.kind = kRadioGroup,  .name = "rgLicense",       .parent = "pLicense", .left = 16, .top = 256, .width = 409, .height = 49, .items = "Ich stimme dem Vertrag zu.\nIch stimme dem Vertrag nicht zu.", .itemIndex = 1, .tabOrder = 1, .flags = kWhite},

        // Page 3: installation folder and shortcuts.
        {.kind = kLabel,       .name = "lbInstallpath",   .parent = "pInstallpath", .left = 24, .top = 88, .width = 79, .height = 13, .text = "&Installationspfad:", .flags = kRightAligned},
        {.kind = kEdit,        .name = "edInstallpath",   .parent = "pInstallpath", .left = 109, .top = 84, .width = 268, .height = 21, .text = "C:\\Programme\\Norvista\\", .tabOrder = 0},
        {.kind = kButton,      .name = "btnInstallpath",  .parent = "pInstallpath", .left = 384, .top = 84, .width = 17, .height = 21, .text = "...", .tabOrder = 1},
        {.kind = kLabel,       .name = "lbDesktop",       .parent = "pInstallpath", .left = 40, .top = 112, .width = 63, .height = 13, .text = "&Desktopicon:", .flags = kRightAligned},
        {.kind = kCheckBox,    .name = "cbDesktop",       .parent = "pInstallpath", .left = 109, .top = 112, .width = 17, .height = 17, .text = "&D", .tabOrder = 2, .flags = kChecked},
        {.kind = kLabel,       .name = "lbQuick",         .parent = "pInstallpath", .left = 25, .top = 136, .width = 78, .height = 13, .text = "&Schnellstarticon:", .flags = kRightAligned},
        {.kind = kCheckBox,    .name = "cbQuick",         .parent = "pInstallpath", .left = 109, .top = 136, .width = 17, .height = 17, .text = "&S", .tabOrder = 3, .flags = kChecked},
        {.kind = kLabel,       .name = "lbStartmenu",     .parent = "pInstallpath", .left = 20, .top = 160, .width = 83, .height = 13, .text = "Start&men\xFC" "eintrag:", .flags = kRightAligned},
        {.kind = kCheckBox,    .name = "cbStartmenu",     .parent = "pInstallpath", .left = 109, .top = 160, .width = 17, .height = 17, .text = "&M", .tabOrder = 4, .flags = kChecked},

        // Page 4: installation.
        {.kind = kLabel,       .name = "lbInstalling",    .parent = "pInstall", .left = 40, .top = 152, .width = 233, .height = 13, .text = "Norvista wird installiert. Bitte warten..."},
        {.kind = kLabel,       .name = "lbError",         .parent = "pInstall", .left = 40, .top = 152, .width = 289, .height = 13, .text = "Kein Installationspaket gefunden. Setup.exe ist unvollst\xE4ndig.", .flags = kHidden, .font = kRed},
        {.kind = kProgressBar, .name = "pbInstall",       .parent = "pInstall", .left = 40, .top = 168, .width = 361, .height = 16, .tabOrder = 0, .flags = kHidden},

        // Page 5: success.
        {.kind = kLabel,       .name = "lbFinish",        .parent = "pSuccess", .left = 8, .top = 8, .width = 43, .height = 13, .text = "&Beenden", .flags = kHidden},
        {.kind = kLabel,       .name = "lbSuccess1",      .parent = "pSuccess", .left = 24, .top = 40, .width = 187, .height = 24, .text = "Norvista", .font = kTitle},
        {.kind = kLabel,       .name = "lbSuccess2",      .parent = "pSuccess", .left = 24, .top = 72, .width = 127, .height = 13, .text = "wurde erfolgreich installiert."},
        {.kind = kLabel,       .name = "lbSuccess3",      .parent = "pSuccess", .left = 24, .top = 96, .width = 290, .height = 13, .text = "Klicken Sie auf <Beenden> um die Installation abzuschlie\xDF" "en."},
        {.kind = kCheckBox,    .name = "cbStartNV",       .parent = "pSuccess", .left = 24, .top = 120, .width = 217, .height = 17, .text = "&Norvista starten", .tabOrder = 0, .flags = kChecked},

        // Page 4 failures and the administrator page.
        {.kind = kLabel,       .name = "lbError1",        .parent = "pError", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = kLabel,       .name = "lbError2",        .parent = "pError", .left = 24, .top = 72, .width = 266, .height = 13, .text = "Das Installationsverzeichnis konnte nicht erstellt werden."},
        {.kind = kLabel,       .name = "lbError3",        .parent = "pError", .left = 24, .top = 96, .width = 332, .height = 13, .text = "Klicken Sie auf <Zur\xFC" "ck> und w\xE4hlen Sie ein g\xFCltiges Verzeichnis aus."},
        {.kind = kLabel,       .name = "lbError4",        .parent = "pCopyError", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = kLabel,       .name = "lbError5",        .parent = "pCopyError", .left = 24, .top = 72, .width = 289, .height = 13, .text = "Beim Kopieren der Dateien. Eventuell verf\xFCgen Sie nicht \xFC" "ber"},
        {.kind = kLabel,       .name = "lbError6",        .parent = "pCopyError", .left = 24, .top = 96, .width = 305, .height = 13, .text = "ausreichende Rechte. Kontaktieren Sie dazu Ihren Administrator."},
        {.kind = kLabel,       .name = "lbError7",        .parent = "pAdmin", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = kLabel,       .name = "lbError8",        .parent = "pAdmin", .left = 24, .top = 72, .width = 221, .height = 13, .text = "Um Norvista installieren zu k\xF6nnen"},
        {.kind = kLabel,       .name = "lbError9",        .parent = "pAdmin", .left = 24, .top = 96, .width = 249, .height = 13, .text = "ben\xF6tigen Sie die Zugriffsrechte eines Administrators."},
        {.kind = kLabel,       .name = "lbError10",       .parent = "pTempdir", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = kLabel,       .name = "lbError11",       .parent = "pTempdir", .left = 24, .top = 72, .width = 246, .height = 13, .text = "Es konnte kein Tempor\xE4rverzeichnis erstellt werden."},
        {.kind = kLabel,       .name = "lbError12",       .parent = "pTempdir", .left = 24, .top = 96, .width = 254, .height = 13, .text = "Kopieren Sie die Datei \"Setup.exe\" in ein Verzeichnis,"},
        {.kind = kLabel,       .name = "lbError13",       .parent = "pTempdir", .left = 24, .top = 120, .width = 154, .height = 13, .text = "in dem Sie Schreibrechte haben."},

        // Pages 6 and 7: removal.
        {.kind = kLabel,       .name = "lbUninstall1",    .parent = "pUninstall", .left = 24, .top = 40, .width = 318, .height = 24, .text = "Norvista deinstallieren", .font = kTitle},
        {.kind = kLabel,       .name = "lbUninstall2",    .parent = "pUninstall", .left = 24, .top = 72, .width = 185, .height = 13, .text = "und alle seine Komponenten entfernen."},
        {.kind = kLabel,       .name = "lbUninstall3",    .parent = "pUninstall", .left = 24, .top = 96, .width = 291, .height = 13, .text = "Klicken Sie auf <Weiter> um die Deinstallation abzuschlie\xDF" "en."},
        {.kind = kLabel,       .name = "lbUninstall4",    .parent = "pUninstall", .left = 24, .top = 120, .width = 311, .height = 13, .text = "Klicken Sie auf <Abbrechen> wenn Sie nicht deinstallieren wollen."},
        {.kind = kLabel,       .name = "lbUninstalling1", .parent = "pUnistalling", .left = 24, .top = 40, .width = 363, .height = 24, .text = "Norvista wurde deinstalliert", .font = kTitle},
        {.kind = kLabel,       .name = "lbUninstalling2", .parent = "pUnistalling", .left = 24, .top = 72, .width = 284, .height = 13, .text = "Klicken Sie auf <Beenden> um den Vorgang abzuschlie\xDF" "en."},
    };
    // clang-format on
    return layout;
}

}  // namespace nv::wizard
