#pragma once
// A one-line progress display on stderr, shown only when stderr is a terminal.

#include <cstdint>
#include <string>

namespace nvpack {

class Progress {
public:
    explicit Progress(std::string label);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    Progress(Progress&&) = delete;
    Progress& operator=(Progress&&) = delete;

    void Update(std::uint64_t done, std::uint64_t total);
    // Clears the line, so that what is printed next starts on a clean line.
    void End();

private:
    std::string label_;
    bool shown_;
    int lastPercent_ = -1;
};

}  // namespace nvpack
