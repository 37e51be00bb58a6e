#include "toolkit/win32/folder_chooser.h"

#include <winnetwk.h>

#include <string_view>

#include "toolkit/folder_browser.h"
#include "toolkit/win32/confirm_box.h"
#include "toolkit/win32/modal_window.h"
#include "toolkit/win32/system_library.h"

namespace nv::toolkit::win32 {
namespace {

constexpr char kCaption[] = "Verzeichnis ausw\xE4hlen";
constexpr char kConfirmCaption[] = "Best\xE4tigung";
constexpr char kConfirmQuestion[] =
    "Das angegebene Verzeichnis existiert nicht. Soll es angelegt werden?";

enum ControlId : int {
    kNameField = 100,
    kShownFolder,
    kFolderList,
    kFileList,
    kDriveList,
    kNetworkButton,
};

constexpr int kClientWidth = 424;
constexpr int kClientHeight = 272;
constexpr int kColumnWidth = 200;
constexpr int kRightColumn = 216;

using ConnectionDialog = DWORD(APIENTRY*)(HWND, DWORD);

std::string TextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

// A drive without a medium asks no question while the chooser is open; it simply fails.
class QuietErrors {
public:
    QuietErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(previous_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
    QuietErrors(QuietErrors&&) = delete;
    QuietErrors& operator=(QuietErrors&&) = delete;

private:
    UINT previous_;
};

void FillList(HWND list, UINT reset, UINT add, const std::vector<std::string>& names) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, reset, 0, 0);
    for (const std::string& name : names) {
        SendMessageA(list, add, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

class FolderChooser final : public ModalWindow {
public:
    FolderChooser(host::Host& system, const UiServices::FolderMaker& makeFolder)
        : browser_(system), makeFolder_(makeFolder) {}

    std::optional<std::string> Run(HWND owner, const std::string& startFolder) {
        mpr_ = LoadSystemLibrary("mpr.dll");
        if (mpr_) {
            connect_ = reinterpret_cast<ConnectionDialog>(
                reinterpret_cast<void*>(GetProcAddress(mpr_.Get(), "WNetConnectionDialog")));
        }
        Create(owner, "NvFolderChooser", kCaption, kClientWidth, kClientHeight);
        CreateControls();
        browser_.Open(startFolder);
        Mirror();
        SetInitialFocus(nameField_);
        RunModal();
        return result_;
    }

private:
    void CreateControls() {
        const DWORD label = SS_LEFT;
        AddControl("STATIC", "Verzeichnis&name:", label, -1, 8, 8, kColumnWidth, 13);
        nameField_ = AddControl("EDIT", std::string(), WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
                                kNameField, 8, 24, kClientWidth - 16, 21, WS_EX_CLIENTEDGE);
        AddControl("STATIC", "&Verzeichnisse:", label, -1, 8, 54, kColumnWidth, 13);
        shownFolder_ =
            AddControl("STATIC", std::string(), SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_PATHELLIPSIS,
                       kShownFolder, 8, 70, kColumnWidth, 13);
        folderList_ =
            AddControl("LISTBOX", std::string(),
                       WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                       kFolderList, 8, 86, kColumnWidth, 130, WS_EX_CLIENTEDGE);
        AddControl("STATIC", "&Dateien: (*.*)", label, -1, kRightColumn, 54, kColumnWidth, 13);
        fileList_ =
            AddControl("LISTBOX", std::string(),
                       WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL,
                       kFileList, kRightColumn, 86, kColumnWidth, 130, WS_EX_CLIENTEDGE);
        AddControl("STATIC", "&Laufwerke:", label, -1, 8, 224, kColumnWidth, 13);
        driveList_ = AddControl("COMBOBOX", std::string(),
                                WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, kDriveList,
                                8, 240, kColumnWidth, 200);
        int buttonLeft = kClientWidth - 8 - 3 * 64 - 2 * 4;
        if (connect_ != nullptr) {
            AddControl("BUTTON", "Ne&tzwerk...", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON,
                       kNetworkButton, buttonLeft, 239, 64, 23);
        }
        buttonLeft += 68;
        AddControl("BUTTON", "OK", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, IDOK, buttonLeft, 239,
                   64, 23);
        AddControl("BUTTON", "Abbrechen", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, buttonLeft + 68,
                   239, 64, 23);
        FillDrives();
    }

    void FillDrives() {
        FillList(driveList_, CB_RESETCONTENT, CB_ADDSTRING, browser_.Drives());
        SelectShownDrive();
    }

    void SelectShownDrive() {
        const std::string drive = browser_.ShownDrive();
        const LRESULT index =
            drive.empty() ? CB_ERR
                          : SendMessageA(driveList_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(drive.c_str()));
        SendMessageA(driveList_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    // Shows what the browser shows.
    void Mirror() {
        SetWindowTextA(nameField_, browser_.Shown().c_str());
        SetWindowTextA(shownFolder_, browser_.Shown().c_str());
        FillList(folderList_, LB_RESETCONTENT, LB_ADDSTRING, browser_.Folders());
        SendMessageA(folderList_, LB_SETCURSEL, 0, 0);
        FillList(fileList_, LB_RESETCONTENT, LB_ADDSTRING, browser_.Files());
        SelectShownDrive();
    }

    void OpenSelectedFolder() {
        const LRESULT index = SendMessageA(folderList_, LB_GETCURSEL, 0, 0);
        if (index == LB_ERR) {
            return;
        }
        const LRESULT length = SendMessageA(folderList_, LB_GETTEXTLEN, index, 0);
        std::string name(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(folderList_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name.data()));
        name.resize(static_cast<std::size_t>(length));
        if (browser_.OpenListed(name)) {
            Mirror();
        } else {
            MessageBeep(MB_ICONWARNING);
        }
    }

    void ChangeDrive() {
        const LRESULT index = SendMessageA(driveList_, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) {
            return;
        }
        char drive[8] = {};
        if (SendMessageA(driveList_, CB_GETLBTEXTLEN, index, 0) >= 7) {
            return;
        }
        SendMessageA(driveList_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(drive));
        if (browser_.ChangeDrive(drive)) {
            Mirror();
        } else {
            MessageBeep(MB_ICONWARNING);
            SelectShownDrive();
        }
    }

    void ConnectNetworkDrive() {
        if (connect_ != nullptr && connect_(Window(), RESOURCETYPE_DISK) == NO_ERROR) {
            FillDrives();
        }
    }

    void Accept() {
        result_ = browser_.Accept(
            TextOf(nameField_),
            [this] { return ConfirmYesNo(Window(), kConfirmCaption, kConfirmQuestion); },
            makeFolder_);
        if (result_) {
            EndModal();
        } else {
            SetFocus(nameField_);
        }
    }

    std::optional<LRESULT> HandleMessage(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) override {
        switch (message) {
            case WM_COMMAND:
                Command(LOWORD(wParam), HIWORD(wParam));
                return 0;
            case WM_CLOSE:
                EndModal();
                return 0;
            case DM_GETDEFID:
                return MAKELRESULT(IDOK, DC_HASDEFID);
            case WM_NEXTDLGCTL:
                // Alt+letter on a label moves the focus to the control after it.
                if (LOWORD(lParam) != 0) {
                    SetFocus(reinterpret_cast<HWND>(wParam));
                } else if (HWND next = GetNextDlgTabItem(window, GetFocus(), wParam != 0)) {
                    SetFocus(next);
                }
                return 0;
            default:
                return std::nullopt;
        }
    }

    void Command(int id, int code) {
        switch (id) {
            case IDOK:
                // Enter in the folder list opens the folder instead of choosing.
                if (GetFocus() == folderList_) {
                    OpenSelectedFolder();
                } else {
                    Accept();
                }
                break;
            case IDCANCEL:
                EndModal();
                break;
            case kFolderList:
                if (code == LBN_DBLCLK) {
                    OpenSelectedFolder();
                }
                break;
            case kDriveList:
                if (code == CBN_SELCHANGE) {
                    ChangeDrive();
                }
                break;
            case kNetworkButton:
                if (code == BN_CLICKED) {
                    ConnectNetworkDrive();
                }
                break;
            default:
                break;
        }
    }

    FolderBrowser browser_;
    const UiServices::FolderMaker& makeFolder_;
    UniqueModule mpr_;
    ConnectionDialog connect_ = nullptr;
    HWND nameField_ = nullptr;
    HWND shownFolder_ = nullptr;
    HWND folderList_ = nullptr;
    HWND fileList_ = nullptr;
    HWND driveList_ = nullptr;
    std::optional<std::string> result_;
};

}  // namespace

std::optional<std::string> ChooseFolder(HWND owner, host::Host& system,
                                        const std::string& startFolder,
                                        const UiServices::FolderMaker& makeFolder) {
    const QuietErrors quiet;
    FolderChooser chooser(system, makeFolder);
    return chooser.Run(owner, startFolder);
}

}  // namespace nv::toolkit::win32
