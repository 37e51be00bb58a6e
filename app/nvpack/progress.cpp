#include "progress.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define NV_ISATTY(fd) _isatty(fd)
#define NV_FILENO(file) _fileno(file)
#else
#include <unistd.h>
#define NV_ISATTY(fd) isatty(fd)
#define NV_FILENO(file) fileno(file)
#endif

namespace nvpack {

Progress::Progress(std::string label)
    : label_(std::move(label)), shown_(NV_ISATTY(NV_FILENO(stderr)) != 0) {}

Progress::~Progress() {
    if (shown_ && lastPercent_ >= 0) {
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(label_.size()) + 40, "");
    }
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
    std::fprintf(stderr, "\r%s %3d%%  %.1f of %.1f MB", label_.c_str(), percent,
                 static_cast<double>(done) / 1e6, static_cast<double>(total) / 1e6);
    std::fflush(stderr);
}

void Progress::Tick() {
    if (!shown_ || ++ticks_ % 64 != 0) {
        return;
    }
    lastPercent_ = 0;
    std::fprintf(stderr, "\r%s  %llu steps", label_.c_str(),
                 static_cast<unsigned long long>(ticks_));
    std::fflush(stderr);
}

}  // namespace nvpack
