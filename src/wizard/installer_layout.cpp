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

constexpr FontKind kWin = FontKind::Window;
constexpr FontKind kTitle = FontKind::Title;
constexpr FontKind kLarge = FontKind::Large;
constexpr FontKind kRed = FontKind::Error;

// Page panels all lie at the same place: (208, 144), 441 x 313, white, no bevel.
constexpr int kPl = 208, kPt = 144, kPw = 441, kPh = 313;

}  // namespace

const std::vector<ControlDef>& InstallerLayout() {
    // clang-format off
    static const std::vector<ControlDef> layout = {
        // kind         name              parent           left  top  width height text items index tab flags font
        {kImage,       "iSplash",        nullptr,           0,   0, 653, 500, "", nullptr, -1, -1, kAlignTop, kWin},
        {kImage,       "iInfoPicture",   nullptr,          46, 240, 110, 145, "", nullptr, -1, -1, kStretch, kWin},
        {kImageList,   "ilInfoPics",     nullptr,           0,   0, 110, 145, "", nullptr, -1, -1, 0, kWin},
        {kButton,      "btnPrev",        nullptr,         400, 464,  75,  25, "&Zur\xFC" "ck", nullptr, -1, 5, kHidden | kDisabled, kWin},
        {kButton,      "btnNext",        nullptr,         480, 464,  75,  25, "&Weiter", nullptr, -1, 6, kDisabled, kWin},
        {kButton,      "btnCancel",      nullptr,         558, 464,  78,  25, "&Abbrechen", nullptr, -1, 7, 0, kWin},

        {kPanel,       "pLanguage",      nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 0, kWhite, kWin},
        {kPanel,       "pLicense",       nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 1, kWhite | kHidden, kWin},
        {kPanel,       "pInstallpath",   nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 2, kWhite | kHidden, kWin},
        {kPanel,       "pInstall",       nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 3, kWhite | kHidden, kWin},
        {kPanel,       "pSuccess",       nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 4, kWhite | kHidden, kWin},
        {kPanel,       "pError",         nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 8, kWhite | kHidden, kWin},
        {kPanel,       "pCopyError",     nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 9, kWhite | kHidden, kWin},
        {kPanel,       "pAdmin",         nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 10, kWhite | kHidden, kWin},
        {kPanel,       "pTempdir",       nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 11, kWhite | kHidden, kWin},
        {kPanel,       "pUninstall",     nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 12, kWhite | kHidden, kWin},
        {kPanel,       "pUnistalling",   nullptr,         kPl, kPt, kPw, kPh, "", nullptr, -1, 13, kWhite | kHidden, kWin},

        // Page 1: language.
        {kRadioGroup,  "rgLanguage",     "pLanguage",     136, 123, 185,  81, "Language/Sprache", "&English\n&Deutsch", -1, 0, kWhite, kWin},

        // Page 2: licence.
        {kLabel,       "lbLicense",      "pLicense",       16,   8, 111,  24, "Lizenzvertrag", nullptr, -1, -1, 0, kLarge},
        {kRichEdit,    "reLicense",      "pLicense",       16,  40, 409, 217, "", nullptr, -1, 0, kReadOnly | kScrollBoth, kWin},
        {kRadioGroup,  "rgLicense",      "pLicense",       16, 256, 409,  49, "", "Ich stimme dem Vertrag zu.\nIch stimme dem Vertrag nicht zu.", 1, 1, kWhite, kWin},

        // Page 3: installation folder and shortcuts.
        {kLabel,       "lbInstallpath",  "pInstallpath",   24,  88,  79,  13, "&Installationspfad:", nullptr, -1, -1, kRightAligned, kWin},
        {kEdit,        "edInstallpath",  "pInstallpath",  109,  84, 268,  21, "C:\\Programme\\Norvista\\", nullptr, -1, 0, 0, kWin},
        {kButton,      "btnInstallpath", "pInstallpath",  384,  84,  17,  21, "...", nullptr, -1, 1, 0, kWin},
        {kLabel,       "lbDesktop",      "pInstallpath",   40, 112,  63,  13, "&Desktopicon:", nullptr, -1, -1, kRightAligned, kWin},
        {kCheckBox,    "cbDesktop",      "pInstallpath",  109, 112,  17,  17, "&D", nullptr, -1, 2, kChecked, kWin},
        {kLabel,       "lbQuick",        "pInstallpath",   25, 136,  78,  13, "&Schnellstarticon:", nullptr, -1, -1, kRightAligned, kWin},
        {kCheckBox,    "cbQuick",        "pInstallpath",  109, 136,  17,  17, "&S", nullptr, -1, 3, kChecked, kWin},
        {kLabel,       "lbStartmenu",    "pInstallpath",   20, 160,  83,  13, "Start&men\xFC" "eintrag:", nullptr, -1, -1, kRightAligned, kWin},
        {kCheckBox,    "cbStartmenu",    "pInstallpath",  109, 160,  17,  17, "&M", nullptr, -1, 4, kChecked, kWin},

        // Page 4: installation.
        {kLabel,       "lbInstalling",   "pInstall",       40, 152, 233,  13, "Norvista wird installiert. Bitte warten...", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError",        "pInstall",       40, 152, 289,  13, "Kein Installationspaket gefunden. Setup.exe ist unvollst\xE4ndig.", nullptr, -1, -1, kHidden, kRed},
        {kProgressBar, "pbInstall",      "pInstall",       40, 168, 361,  16, "", nullptr, -1, 0, kHidden, kWin},

        // Page 5: success.
        {kLabel,       "lbFinish",       "pSuccess",        8,   8,  43,  13, "&Beenden", nullptr, -1, -1, kHidden, kWin},
        {kLabel,       "lbSuccess1",     "pSuccess",       24,  40, 187,  24, "Norvista", nullptr, -1, -1, 0, kTitle},
        {kLabel,       "lbSuccess2",     "pSuccess",       24,  72, 127,  13, "wurde erfolgreich installiert.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbSuccess3",     "pSuccess",       24,  96, 290,  13, "Klicken Sie auf <Beenden> um die Installation abzuschlie\xDF" "en.", nullptr, -1, -1, 0, kWin},
        {kCheckBox,    "cbStartNV",      "pSuccess",       24, 120, 217,  17, "&Norvista starten", nullptr, -1, 0, kChecked, kWin},

        // Page 4 failures and the administrator page.
        {kLabel,       "lbError1",       "pError",         24,  40,  68,  24, "Fehler!", nullptr, -1, -1, 0, kTitle},
        {kLabel,       "lbError2",       "pError",         24,  72, 266,  13, "Das Installationsverzeichnis konnte nicht erstellt werden.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError3",       "pError",         24,  96, 332,  13, "Klicken Sie auf <Zur\xFC" "ck> und w\xE4hlen Sie ein g\xFCltiges Verzeichnis aus.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError4",       "pCopyError",     24,  40,  68,  24, "Fehler!", nullptr, -1, -1, 0, kTitle},
        {kLabel,       "lbError5",       "pCopyError",     24,  72, 289,  13, "Beim Kopieren der Dateien. Eventuell verf\xFCgen Sie nicht \xFC" "ber", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError6",       "pCopyError",     24,  96, 305,  13, "ausreichende Rechte. Kontaktieren Sie dazu Ihren Administrator.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError7",       "pAdmin",         24,  40,  68,  24, "Fehler!", nullptr, -1, -1, 0, kTitle},
        {kLabel,       "lbError8",       "pAdmin",         24,  72, 221,  13, "Um Norvista installieren zu k\xF6nnen", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError9",       "pAdmin",         24,  96, 249,  13, "ben\xF6tigen Sie die Zugriffsrechte eines Administrators.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError10",      "pTempdir",       24,  40,  68,  24, "Fehler!", nullptr, -1, -1, 0, kTitle},
        {kLabel,       "lbError11",      "pTempdir",       24,  72, 246,  13, "Es konnte kein Tempor\xE4rverzeichnis erstellt werden.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError12",      "pTempdir",       24,  96, 254,  13, "Kopieren Sie die Datei \"Setup.exe\" in ein Verzeichnis,", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbError13",      "pTempdir",       24, 120, 154,  13, "in dem Sie Schreibrechte haben.", nullptr, -1, -1, 0, kWin},

        // Pages 6 and 7: removal.
        {kLabel,       "lbUninstall1",   "pUninstall",     24,  40, 318,  24, "Norvista deinstallieren", nullptr, -1, -1, 0, kTitle},
        {kLabel,       "lbUninstall2",   "pUninstall",     24,  72, 185,  13, "und alle seine Komponenten entfernen.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbUninstall3",   "pUninstall",     24,  96, 291,  13, "Klicken Sie auf <Weiter> um die Deinstallation abzuschlie\xDF" "en.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbUninstall4",   "pUninstall",     24, 120, 311,  13, "Klicken Sie auf <Abbrechen> wenn Sie nicht deinstallieren wollen.", nullptr, -1, -1, 0, kWin},
        {kLabel,       "lbUninstalling1","pUnistalling",   24,  40, 363,  24, "Norvista wurde deinstalliert", nullptr, -1, -1, 0, kTitle},
        {kLabel,       "lbUninstalling2","pUnistalling",   24,  72, 284,  13, "Klicken Sie auf <Beenden> um den Vorgang abzuschlie\xDF" "en.", nullptr, -1, -1, 0, kWin},
    };
    // clang-format on
    return layout;
}

}  // namespace nv::wizard
