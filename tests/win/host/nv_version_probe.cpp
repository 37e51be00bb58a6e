// Prints the Windows version text and whether the process counts as administrator, so
// that a harness can check both under the Windows versions Wine pretends to be.

#include <cstdio>
#include <string>

#include "host/administrator.h"
#include "host/win32/win32_host.h"
#include "host/windows_version.h"

int main() {
    nv::host::Win32Host host;
    std::string text;
    nv::host::GetWindowsVersionText(host, text);
    std::printf("%s\n", text.c_str());
    std::printf("administrator=%d\n", nv::host::IsAdministrator(host) ? 1 : 0);
    return text.empty() ? 1 : 0;
}
