#include "toolkit/win32/error_report.h"

#include <exception>
#include <new>

namespace nv::toolkit::win32 {
namespace {

ErrorDescriber gDescribe = nullptr;

std::string Describe(const Error& error) {
    return gDescribe != nullptr ? gDescribe(error) : std::string(error.what());
}

}  // namespace

void ShowErrorBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), kErrorCaption, MB_ICONERROR | MB_OK);
}

void SetErrorDescriber(ErrorDescriber describe) {
    gDescribe = describe;
}

std::string CurrentErrorText() {
    try {
        throw;
    } catch (const Error& error) {
        return Describe(error);
    } catch (const std::bad_alloc&) {
        return Describe(Error(ErrorKind::kOutOfMemory));
    } catch (const std::exception& error) {
        return Describe(Error(error.what()));
    } catch (...) {
        return Describe(Error(ErrorKind::kUnexpected));
    }
}

}  // namespace nv::toolkit::win32
