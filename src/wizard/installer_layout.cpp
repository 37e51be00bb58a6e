#include "wizard/installer_layout.h"

namespace nv::wizard {

namespace {

using namespace flag;
using enum toolkit::ComponentKind;

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
        {.kind = Image,        .name = "iSplash",         .left = 0, .top = 0, .width = 653, .height = 500, .flags = kAlignTop},
        {.kind = Image,        .name = "iInfoPicture",    .left = 46, .top = 240, .width = 110, .height = 145, .flags = kStretch},
        {.kind = ImageList,    .name = "ilInfoPics",      .left = 0, .top = 0, .width = 110, .height = 145},
        {.kind = Button,       .name = "btnPrev",         .left = 400, .top = 464, .width = 75, .height = 25, .text = "&Zur\xFC" "ck", .tabOrder = 5, .flags = kHidden | kDisabled},
        {.kind = Button,       .name = "btnNext",         .left = 480, .top = 464, .width = 75, .height = 25, .text = "&Weiter", .tabOrder = 6, .flags = kDisabled},
        {.kind = Button,       .name = "btnCancel",       .left = 558, .top = 464, .width = 78, .height = 25, .text = "&Abbrechen", .tabOrder = 7},

        {.kind = Panel,        .name = "pLanguage",       .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 0, .flags = kWhite},
        {.kind = Panel,        .name = "pLicense",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 1, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pInstallpath",    .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 2, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pInstall",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 3, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pSuccess",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 4, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pError",          .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 8, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pCopyError",      .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 9, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pAdmin",          .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 10, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pTempdir",        .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 11, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pUninstall",      .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 12, .flags = kWhite | kHidden},
        {.kind = Panel,        .name = "pUnistalling",    .left = kPl, .top = kPt, .width = kPw, .height = kPh, .tabOrder = 13, .flags = kWhite | kHidden},

        // Page 1: language.
        {.kind = RadioGroup,   .name = "rgLanguage",      .parent = "pLanguage", .left = 136, .top = 123, .width = 185, .height = 81, .text = "Language/Sprache", .items = "&English\n&Deutsch", .tabOrder = 0, .flags = kWhite},

        // Page 2: licence.
        {.kind = Label,        .name = "lbLicense",       .parent = "pLicense", .left = 16, .top = 8, .width = 111, .height = 24, .text = "Lizenzvertrag", .font = kLarge},
        {.kind = RichEdit,     .name = "reLicense",       .parent = "pLicense", .left = 16, .top = 40, .width = 409, .height = 217, .tabOrder = 0, .flags = kReadOnly | kScrollBoth},
        {.kind = RadioGroup,   .name = "rgLicense",       .parent = "pLicense", .left = 16, .top = 256, .width = 409, .height = 49, .items = "Ich stimme dem Vertrag zu.\nIch stimme dem Vertrag nicht zu.", .itemIndex = 1, .tabOrder = 1, .flags = kWhite},

        // Page 3: installation folder and shortcuts.
        {.kind = Label,        .name = "lbInstallpath",   .parent = "pInstallpath", .left = 24, .top = 88, .width = 79, .height = 13, .text = "&Installationspfad:", .flags = kRightAligned},
        {.kind = Edit,         .name = "edInstallpath",   .parent = "pInstallpath", .left = 109, .top = 84, .width = 268, .height = 21, .text = "C:\\Programme\\Norvista\\", .tabOrder = 0},
        {.kind = Button,       .name = "btnInstallpath",  .parent = "pInstallpath", .left = 384, .top = 84, .width = 17, .height = 21, .text = "...", .tabOrder = 1},
        {.kind = Label,        .name = "lbDesktop",       .parent = "pInstallpath", .left = 40, .top = 112, .width = 63, .height = 13, .text = "&Desktopicon:", .flags = kRightAligned},
        {.kind = CheckBox,     .name = "cbDesktop",       .parent = "pInstallpath", .left = 109, .top = 112, .width = 17, .height = 17, .text = "&D", .tabOrder = 2, .flags = kChecked},
        {.kind = Label,        .name = "lbQuick",         .parent = "pInstallpath", .left = 25, .top = 136, .width = 78, .height = 13, .text = "&Schnellstarticon:", .flags = kRightAligned},
        {.kind = CheckBox,     .name = "cbQuick",         .parent = "pInstallpath", .left = 109, .top = 136, .width = 17, .height = 17, .text = "&S", .tabOrder = 3, .flags = kChecked},
        {.kind = Label,        .name = "lbStartmenu",     .parent = "pInstallpath", .left = 20, .top = 160, .width = 83, .height = 13, .text = "Start&men\xFC" "eintrag:", .flags = kRightAligned},
        {.kind = CheckBox,     .name = "cbStartmenu",     .parent = "pInstallpath", .left = 109, .top = 160, .width = 17, .height = 17, .text = "&M", .tabOrder = 4, .flags = kChecked},

        // Page 4: installation.
        {.kind = Label,        .name = "lbInstalling",    .parent = "pInstall", .left = 40, .top = 152, .width = 233, .height = 13, .text = "Norvista wird installiert. Bitte warten..."},
        {.kind = Label,        .name = "lbError",         .parent = "pInstall", .left = 40, .top = 152, .width = 289, .height = 13, .text = "Kein Installationspaket gefunden. Setup.exe ist unvollst\xE4ndig.", .flags = kHidden, .font = kRed},
        {.kind = ProgressBar,  .name = "pbInstall",       .parent = "pInstall", .left = 40, .top = 168, .width = 361, .height = 16, .tabOrder = 0, .flags = kHidden},

        // Page 5: success.
        {.kind = Label,        .name = "lbFinish",        .parent = "pSuccess", .left = 8, .top = 8, .width = 43, .height = 13, .text = "&Beenden", .flags = kHidden},
        {.kind = Label,        .name = "lbSuccess1",      .parent = "pSuccess", .left = 24, .top = 40, .width = 187, .height = 24, .text = "Norvista", .font = kTitle},
        {.kind = Label,        .name = "lbSuccess2",      .parent = "pSuccess", .left = 24, .top = 72, .width = 127, .height = 13, .text = "wurde erfolgreich installiert."},
        {.kind = Label,        .name = "lbSuccess3",      .parent = "pSuccess", .left = 24, .top = 96, .width = 290, .height = 13, .text = "Klicken Sie auf <Beenden> um die Installation abzuschlie\xDF" "en."},
        {.kind = CheckBox,     .name = "cbStartNV",       .parent = "pSuccess", .left = 24, .top = 120, .width = 217, .height = 17, .text = "&Norvista starten", .tabOrder = 0, .flags = kChecked},

        // Page 4 failures and the administrator page.
        {.kind = Label,        .name = "lbError1",        .parent = "pError", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = Label,        .name = "lbError2",        .parent = "pError", .left = 24, .top = 72, .width = 266, .height = 13, .text = "Das Installationsverzeichnis konnte nicht erstellt werden."},
        {.kind = Label,        .name = "lbError3",        .parent = "pError", .left = 24, .top = 96, .width = 332, .height = 13, .text = "Klicken Sie auf <Zur\xFC" "ck> und w\xE4hlen Sie ein g\xFCltiges Verzeichnis aus."},
        {.kind = Label,        .name = "lbError4",        .parent = "pCopyError", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = Label,        .name = "lbError5",        .parent = "pCopyError", .left = 24, .top = 72, .width = 289, .height = 13, .text = "Beim Kopieren der Dateien. Eventuell verf\xFCgen Sie nicht \xFC" "ber"},
        {.kind = Label,        .name = "lbError6",        .parent = "pCopyError", .left = 24, .top = 96, .width = 305, .height = 13, .text = "ausreichende Rechte. Kontaktieren Sie dazu Ihren Administrator."},
        {.kind = Label,        .name = "lbError7",        .parent = "pAdmin", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = Label,        .name = "lbError8",        .parent = "pAdmin", .left = 24, .top = 72, .width = 221, .height = 13, .text = "Um Norvista installieren zu k\xF6nnen"},
        {.kind = Label,        .name = "lbError9",        .parent = "pAdmin", .left = 24, .top = 96, .width = 249, .height = 13, .text = "ben\xF6tigen Sie die Zugriffsrechte eines Administrators."},
        {.kind = Label,        .name = "lbError10",       .parent = "pTempdir", .left = 24, .top = 40, .width = 68, .height = 24, .text = "Fehler!", .font = kTitle},
        {.kind = Label,        .name = "lbError11",       .parent = "pTempdir", .left = 24, .top = 72, .width = 246, .height = 13, .text = "Es konnte kein Tempor\xE4rverzeichnis erstellt werden."},
        {.kind = Label,        .name = "lbError12",       .parent = "pTempdir", .left = 24, .top = 96, .width = 254, .height = 13, .text = "Kopieren Sie die Datei \"Setup.exe\" in ein Verzeichnis,"},
        {.kind = Label,        .name = "lbError13",       .parent = "pTempdir", .left = 24, .top = 120, .width = 154, .height = 13, .text = "in dem Sie Schreibrechte haben."},

        // Pages 6 and 7: removal.
        {.kind = Label,        .name = "lbUninstall1",    .parent = "pUninstall", .left = 24, .top = 40, .width = 318, .height = 24, .text = "Norvista deinstallieren", .font = kTitle},
        {.kind = Label,        .name = "lbUninstall2",    .parent = "pUninstall", .left = 24, .top = 72, .width = 185, .height = 13, .text = "und alle seine Komponenten entfernen."},
        {.kind = Label,        .name = "lbUninstall3",    .parent = "pUninstall", .left = 24, .top = 96, .width = 291, .height = 13, .text = "Klicken Sie auf <Weiter> um die Deinstallation abzuschlie\xDF" "en."},
        {.kind = Label,        .name = "lbUninstall4",    .parent = "pUninstall", .left = 24, .top = 120, .width = 311, .height = 13, .text = "Klicken Sie auf <Abbrechen> wenn Sie nicht deinstallieren wollen."},
        {.kind = Label,        .name = "lbUninstalling1", .parent = "pUnistalling", .left = 24, .top = 40, .width = 363, .height = 24, .text = "Norvista wurde deinstalliert", .font = kTitle},
        {.kind = Label,        .name = "lbUninstalling2", .parent = "pUnistalling", .left = 24, .top = 72, .width = 284, .height = 13, .text = "Klicken Sie auf <Beenden> um den Vorgang abzuschlie\xDF" "en."},
    };
    // clang-format on
    return layout;
}

}  // namespace nv::wizard
