// Sorvelin.exe, the demo product's update helper: reports the installed version and that no
// update is available, and exits. Installed in the product's "Updates" folder.

#include <windows.h>

#include <cstdio>

int main() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::printf("Sorvelin - Norvista update helper\n");
    std::printf("Program: %s\n", length > 0 && length < MAX_PATH ? path : "(unknown)");
    std::printf("Norvista 1.0 is up to date; no update is available.\n");
    return 0;
}
