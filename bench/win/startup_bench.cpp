// The setup's start inside the process, for the benchmark: the same steps as Setup.exe's
// entry, in the same order, each timed, up to the window's first paint.
//
//   startup_bench.exe
//
// Prints one line of key=value fields, each in milliseconds:
//   launch   process creation to main (as the system records the creation)
//   host     Win32Host made: the program's own file opened and held, DLL search restricted
//   pictures the background and step pictures drawn and read back
//   script   the language script made ready (inflated and split into lines)
//   form     the window's model built from the layout table, the script handed to it
//   windows  the window and the controls' windows shown at start created (of which richedit: the
//            rich-text box, its library loaded; progress: the progress bar, the common
//            controls loaded; labels: every label, measured to its text)
//   com      COM initialised, once the first window exists
//   create   FormCreate: centring, installation folder, page 1, English applied (of which
//            folder: the program-files folder asked for once beforehand; licence: the
//            licence text put into the rich-text box; mirror: every other change mirrored
//            into a window)
//   parse    the English section selected and split into assignments, measured on its own
//   to_show  main to the window shown: from here on others can see it
//   show     the window shown and painted
//   total    main to that point
//   hidden   then every message waiting delivered: the hidden pages' windows made
//
// The backend's share is told apart by a timing subclass of the Win32 backend; nothing in
// the shipped code is timed.

#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <string>

#include "host/special_folders.h"
#include "host/win32/win32_host.h"
#include "lang/script.h"
#include "lang/wizard_script.h"
#include "picture_bitmaps.h"
#include "toolkit/std_controls.h"
#include "toolkit/win32/error_report.h"
#include "toolkit/win32/message_pump.h"
#include "toolkit/win32/system_library.h"
#include "toolkit/win32/win32_application.h"
#include "toolkit/win32/win32_backend.h"
#include "wizard/error_texts.h"
#include "wizard/installer_form.h"

namespace {

using nv::toolkit::ComponentKind;

double Milliseconds() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return static_cast<double>(value.QuadPart) * 1000.0 / frequency;
}

// Milliseconds from the process's creation to now, by the system clock.
double SinceProcessCreation() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    FILETIME now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32U) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 1e4;
}

// Times the backend's work for the rich-text box and for everything else.
class TimedBackend final : public nv::toolkit::win32::Win32Backend {
public:
    void Attach(nv::toolkit::TControl& control) override {
        const double start = Milliseconds();
        Win32Backend::Attach(control);
        const double spent = Milliseconds() - start;
        byKind[static_cast<int>(control.Kind())] += spent;
    }
    void Changed(nv::toolkit::TControl& control, nv::toolkit::ControlProperty property) override {
        if (depth_ > 0) {  // a change made while mirroring another is counted in that one
            Win32Backend::Changed(control, property);
            return;
        }
        const double start = Milliseconds();
        ++depth_;
        Win32Backend::Changed(control, property);
        --depth_;
        const double spent = Milliseconds() - start;
        if (property == nv::toolkit::ControlProperty::Lines) {
            lines += spent;
        } else {
            others += spent;
        }
    }

    int depth_ = 0;
    double byKind[static_cast<int>(ComponentKind::Other) + 1] = {};
    double lines = 0;
    double others = 0;
};

}  // namespace

int main() {
    const double launch = SinceProcessCreation();
    const double mainStart = Milliseconds();
    double mark = mainStart;
    const auto lap = [&mark] {
        const double now = Milliseconds();
        const double spent = now - mark;
        mark = now;
        return spent;
    };
    try {
        nv::host::Win32Host host;
        const double hostMs = lap();
        nv::toolkit::win32::RestrictDllSearch();
        nv::toolkit::win32::SetErrorDescriber(nv::wizard::ErrorText);
        const nv::wizard::WizardPictures pictures = nv::wizard::LoadWizardPictures();
        const double picturesMs = lap();
        const std::vector<std::string>& script = nv::lang::WizardScript();
        const double scriptMs = lap();

        nv::toolkit::DeferredUiServices ui;
        nv::wizard::TfInstaller form(host, ui, pictures);
        nv::toolkit::win32::Win32UiServices services(form, host);
        ui.SetTarget(services);
        const double formMs = lap();
        TimedBackend backend;
        backend.CreateHiddenWindowsOnceShown();
        form.AttachBackend(&backend);
        const double windowsMs = lap();
        const bool com = SUCCEEDED(CoInitialize(nullptr));
        const double comMs = lap();
        const double attachOthers = backend.others;
        backend.others = 0;
        (void)nv::host::GetSpecialFolder(host, nv::host::kCsidlProgramFiles);
        const double folderMs = lap();
        form.FormCreate();
        const double createMs = lap();
        const double createLines = backend.lines;
        const double createOthers = backend.others;

        // Shown: the backend paints the window before it returns.
        const double shownAt = Milliseconds();
        form.SetVisible(true);
        const double showMs = lap();
        const double total = Milliseconds() - mainStart;
        // Then every message waiting delivered: the hidden pages' windows are made.
        nv::toolkit::win32::DeliverPendingMessages(backend.MainWindow());
        const double hiddenMs = lap();

        // The parsing share of applying a language, on its own (after the fact).
        mark = Milliseconds();
        nv::toolkit::TStringList lines;
        for (const std::string& line : script) {
            lines.Add(line);
        }
        std::size_t characters = 0;
        for (const std::string& line : nv::lang::SelectSection(lines, "English")) {
            characters += nv::lang::ParseAssignment(line).value.size();
        }
        const double parseMs = lap();

        std::printf(
            "launch=%.3f host=%.3f com=%.3f pictures=%.3f script=%.3f form=%.3f windows=%.3f "
            "richedit=%.3f progress=%.3f labels=%.3f attach_mirror=%.3f folder=%.3f "
            "create=%.3f licence=%.3f mirror=%.3f parse=%.3f to_show=%.3f show=%.3f "
            "total=%.3f hidden=%.3f texts=%zu\n",
            launch, hostMs, comMs, picturesMs, scriptMs, formMs, windowsMs,
            backend.byKind[static_cast<int>(ComponentKind::RichEdit)],
            backend.byKind[static_cast<int>(ComponentKind::ProgressBar)],
            backend.byKind[static_cast<int>(ComponentKind::Label)], attachOthers, folderMs,
            createMs, createLines, createOthers, parseMs, shownAt - mainStart, showMs, total,
            hiddenMs, characters);
        form.AttachBackend(nullptr);
        if (com) {
            CoUninitialize();
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
