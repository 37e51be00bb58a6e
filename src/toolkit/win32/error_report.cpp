#include "toolkit/win32/error_report.h"

namespace nv::toolkit::win32 {

void ShowErrorBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), kErrorCaption, MB_ICONERROR | MB_OK);
}

}  // namespace nv::toolkit::win32
