#include "progress.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace nvpack {
namespace {

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

Progress::Progress(std::string label) : label_(std::move(label)), shown_(StderrIsTerminal()) {}

Progress::~Progress() {
    End();
}

void Progress::End() {
    if (shown_ && lastPercent_ >= 0) {
        (void)std::fprintf(stderr, "\r%*s\r", static_cast<int>(label_.size()) + 40, "");
        (void)std::fflush(stderr);
    }
    lastPercent_ = -1;
    shown_ = false;
}

void Progress::Update(std::uint64_t done, std::uint64_t total) {
    if (!shown_ || total == 0) {
        return;
    }
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == lastPercent_) {
        return;
    }
    lastPercent_ = percent;
    (void)std::fprintf(stderr, "\r%s %3d%%  %.1f of %.1f MB", label_.c_str(), percent,
                       static_cast<double>(done) / 1e6, static_cast<double>(total) / 1e6);
    (void)std::fflush(stderr);
}

}  // namespace nvpack
