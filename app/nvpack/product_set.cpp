#include "product_set.h"

#include <algorithm>

namespace nvpack {
namespace {

void Append(std::string& text, const std::string& label, const std::string& names) {
    if (names.empty()) {
        return;
    }
    text += (text.empty() ? "" : "; ") + label + " " + names;
}

std::string JoinNames(const std::string& names, const std::string& name) {
    return names.empty() ? name : names + ", " + name;
}

}  // namespace

void ProductSet::Add(const std::string& name) {
    if (const std::size_t file = nv::wizard::ProductFileIndex(name);
        file < nv::wizard::kProductFiles.size()) {
        ++counts_[file];
        return;
    }
    if (unexpected_.size() < kUnexpectedNamesKept) {
        unexpected_.push_back(name);
    }
    ++unexpectedCount_;
}

bool ProductSet::Exact() const {
    return std::ranges::all_of(counts_, [](unsigned long count) { return count == 1; }) &&
           unexpectedCount_ == 0;
}

std::string ProductSet::Differences() const {
    std::string missing;
    std::string repeated;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        if (counts_[i] == 0) {
            missing = JoinNames(missing, nv::wizard::kProductFiles[i].source);
        } else if (counts_[i] > 1) {
            repeated = JoinNames(repeated, nv::wizard::kProductFiles[i].source);
        }
    }
    std::string unexpected;
    for (const std::string& name : unexpected_) {
        unexpected = JoinNames(unexpected, name);
    }
    if (unexpectedCount_ > unexpected_.size()) {
        unexpected += " and " + std::to_string(unexpectedCount_ - unexpected_.size()) + " more";
    }
    std::string text;
    Append(text, "missing", missing);
    Append(text, "unexpected", unexpected);
    Append(text, "repeated", repeated);
    return text;
}

}  // namespace nvpack
