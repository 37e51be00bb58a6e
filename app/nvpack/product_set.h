#pragma once
// Whether a setup carries exactly the product files the setup installs: each of them once and
// nothing else. A setup without one of them stops at its copy on every machine, and a file it
// does not know stays behind in the temporary folder. Names compare as the setup compares
// them, the letters A to Z without regard to case.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "wizard/product_identity.h"

namespace nvpack {

class ProductSet {
public:
    // Counts `name` as one more entry of the setup.
    void Add(const std::string& name);

    // True when every product file was added exactly once and nothing else was.
    bool Exact() const;

    // What differs, as "missing A, B; unexpected C; repeated D"; empty when Exact(). Only the
    // first few unexpected names are kept, so a payload of countless names costs no memory.
    std::string Differences() const;

private:
    static constexpr std::size_t kUnexpectedNamesKept = 5;

    std::array<unsigned long, nv::wizard::kProductFiles.size()> counts_{};
    std::vector<std::string> unexpected_;
    unsigned long unexpectedCount_ = 0;
};

}  // namespace nvpack
