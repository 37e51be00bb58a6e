// The installation engine on its own, for the benchmark: the wizard's form without windows,
// on the real Win32 host, walked to the folder page; then Next runs the installation of the
// payload appended to this very program (nvpack build --stub install_bench.exe ...).
//
//   install_bench.exe FOLDER
//
// Removes the installation record first (so the wizard offers installation), installs into
// FOLDER with every shortcut, and prints one line:
//   seconds=<InstallProduct wall time> page=<page reached> peak_ws=<bytes> peak_pagefile=<bytes>

#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "host/win32/win32_host.h"
#include "wizard/installer_form.h"

namespace {

// Window messages are asked for after every unit of work, as in the real program, but there
// is no window to deliver them to.
class HeadlessUi final : public nv::toolkit::UiServices {
public:
    void ProcessMessages() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    std::optional<std::string> BrowseForDirectory(const std::string& /*startFolder*/) override {
        return std::nullopt;
    }
    void* MainWindowHandle() override { return nullptr; }
};

nv::toolkit::Bitmap Plain(int width, int height) {
    nv::toolkit::Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                         0xFFFFFFFFU);
    return bitmap;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

int Run(const std::string& folder) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Halvorn\\Norvista");
    nv::host::Win32Host host;
    HeadlessUi ui;
    nv::wizard::WizardPictures pictures;
    pictures.splash = Plain(650, 500);
    for (nv::toolkit::Bitmap& step : pictures.steps) {
        step = Plain(110, 145);
    }
    nv::wizard::TfInstaller form(host, ui, pictures);
    form.FormCreate();
    form.rgLanguage->SelectByUser(0);
    form.btnNext->Click();
    nv::toolkit::TRadioGroup* licence = form.rgLicense;
    if (licence == nullptr || form.PageNumber != 2) {
        std::fprintf(stderr, "install_bench: not on the licence page (page %d)\n",
                     static_cast<int>(form.PageNumber));
        return 1;
    }
    licence->SelectByUser(0);
    form.btnNext->Click();
    form.edInstallpath->SetText(folder);
    form.cbDesktop->SetChecked(true);
    form.cbQuick->SetChecked(true);
    form.cbStartmenu->SetChecked(true);

    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    form.btnNext->Click();  // page 3 to 4: InstallProduct
    QueryPerformanceCounter(&end);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("seconds=%.6f page=%d peak_ws=%llu peak_pagefile=%llu\n", Seconds(start, end),
                static_cast<int>(form.PageNumber),
                static_cast<unsigned long long>(memory.PeakWorkingSetSize),
                static_cast<unsigned long long>(memory.PeakPagefileUsage));
    return form.PageNumber == 5 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: install_bench FOLDER\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) {
        return 1;
    }
    int result = 1;
    try {
        result = Run(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "install_bench: %s\n", error.what());
    }
    CoUninitialize();
    return result;
}
