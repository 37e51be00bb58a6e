// A stand-in for a DLL someone left beside the setup. It does nothing but leave a trace: when
// any process loads it, it writes "<its own path>.loaded" holding the loading program's path.
// The planting test copies it under the names of the system DLLs the setup uses.

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    char marker[MAX_PATH + 16];
    const DWORD length = GetModuleFileNameA(self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return TRUE;
    }
    lstrcpyA(marker + length, ".loaded");
    char program[MAX_PATH];
    const DWORD programLength = GetModuleFileNameA(nullptr, program, MAX_PATH);
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, program, programLength, &written, nullptr);
        CloseHandle(file);
    }
    // Loading goes on, so the program may fail later for want of the real library's
    // functions; the trace is already written.
    return TRUE;
}
