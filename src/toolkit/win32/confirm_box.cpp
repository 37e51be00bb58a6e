#include "toolkit/win32/confirm_box.h"

#include "toolkit/win32/modal_window.h"

namespace nv::toolkit::win32 {
namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 96;

class ConfirmBox final : public ModalWindow {
public:
    bool Ask(HWND owner, const std::string& caption, const std::string& question) {
        Create(owner, "NvConfirmBox", caption, kClientWidth, kClientHeight);
        HWND icon = AddControl("STATIC", std::string(), SS_ICON, -1, 16, 16, 32, 32);
        SendMessageA(
            icon, STM_SETICON,
            reinterpret_cast<WPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION))),
            0);
        AddControl("STATIC", question, SS_LEFT | SS_NOPREFIX, -1, 60, 18, kClientWidth - 76, 32);
        HWND yes = AddControl("BUTTON", "&Ja", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, IDYES,
                              kClientWidth / 2 - 80, 60, 75, 23);
        AddControl("BUTTON", "&Nein", WS_TABSTOP | BS_PUSHBUTTON, IDNO, kClientWidth / 2 + 5, 60,
                   75, 23);
        SetInitialFocus(yes);
        RunModal();
        return yes_;
    }

private:
    std::optional<LRESULT> HandleMessage(HWND /*window*/, UINT message, WPARAM wParam,
                                         LPARAM /*lParam*/) override {
        switch (message) {
            case WM_COMMAND:
                if (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDNO ||
                    LOWORD(wParam) == IDCANCEL) {
                    yes_ = LOWORD(wParam) == IDYES;
                    EndModal();
                }
                return 0;
            case WM_CLOSE:
                yes_ = false;
                EndModal();
                return 0;
            case DM_GETDEFID:
                return MAKELRESULT(IDYES, DC_HASDEFID);
            case WM_NEXTDLGCTL:
                return 0;
            default:
                return std::nullopt;
        }
    }

    bool yes_ = false;
};

}  // namespace

bool ConfirmYesNo(HWND owner, const std::string& caption, const std::string& question) {
    ConfirmBox box;
    return box.Ask(owner, caption, question);
}

}  // namespace nv::toolkit::win32
