// Time to window, seen from outside: starts a program and polls every 2 ms for a visible
// top-level window of its process, then ends the program and reports the time.
//
//   window_timer.exe RUNS PROGRAM [ARGUMENT...]
//
// Prints one line per run, "ms=<milliseconds from process creation to a visible window>".
// The program is ended with TerminateProcess once its window shows (nothing it does after
// that point is measured), and waited for before the next run starts.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) != FALSE) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

double Seconds(const LARGE_INTEGER& value) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(value.QuadPart) / frequency;
}

// Quotes one argument for CreateProcess's command line.
std::string Quoted(const std::string& argument) {
    std::string result = "\"";
    for (const char c : argument) {
        if (c == '"') {
            result += '\\';
        }
        result += c;
    }
    return result + "\"";
}

// Milliseconds from CreateProcess to the first visible top-level window, or a negative value
// when the program ended or 20 s passed without one.
double TimeOneRun(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) == FALSE) {
        std::fprintf(stderr, "window_timer: cannot start %s (%lu)\n", commandLine.c_str(),
                     GetLastError());
        std::exit(2);
    }
    double result = -1;
    for (;;) {
        Search search{process.dwProcessId, false};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (search.found) {
            result = (Seconds(now) - Seconds(started)) * 1000.0;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 2) != WAIT_TIMEOUT ||
            Seconds(now) - Seconds(started) > 20) {
            break;
        }
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_timer RUNS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::string commandLine = Quoted(argv[2]);
    for (int i = 3; i < argc; ++i) {
        commandLine += " " + Quoted(argv[i]);
    }
    for (int run = 0; run < runs; ++run) {
        const double ms = TimeOneRun(commandLine);
        if (ms < 0) {
            std::fprintf(stderr, "window_timer: no window from %s\n", commandLine.c_str());
            return 1;
        }
        std::printf("ms=%.3f\n", ms);
        std::fflush(stdout);
    }
    return 0;
}
