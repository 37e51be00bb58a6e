#include "interruption.h"

#include <csignal>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace nvpack {
namespace {

volatile std::sig_atomic_t noted = 0;  // the signal's number; 0 while none arrived

#ifdef _WIN32
BOOL WINAPI NoteControlEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        noted = SIGINT;
        return TRUE;
    }
    return FALSE;
}
#else
void NoteSignal(int signal) {
    noted = signal;
}
#endif

}  // namespace

void NoteInterruptions() {
#ifdef _WIN32
    (void)::SetConsoleCtrlHandler(NoteControlEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // reads and writes go on; the build looks between pieces
    (void)sigaction(SIGINT, &action, nullptr);
    (void)sigaction(SIGTERM, &action, nullptr);
#endif
}

void ThrowIfInterrupted() {
    if (noted != 0) {
        throw Interrupted{};
    }
}

void EndAsInterrupted() {
#ifdef _WIN32
    ::ExitProcess(STATUS_CONTROL_C_EXIT);
#else
    const int signal = noted != 0 ? static_cast<int>(noted) : SIGTERM;
    (void)std::signal(signal, SIG_DFL);
    (void)std::raise(signal);
    std::_Exit(128 + signal);
#endif
}

}  // namespace nvpack
