#include "host/sim/sim_faults.h"

#include <algorithm>
#include <array>

namespace nv::host::sim {

std::string_view SimOpName(SimOp op) {
    // In the order of SimOp.
    static constexpr std::array<std::string_view, 24> kNames = {
        "OpenRead",         "CreateFile",      "Read",          "Write",        "Seek",
        "CreateFolder",     "FolderSecurity",  "RemoveFolder",  "RemoveFile",   "ScheduleRemoval",
        "SetCurrentFolder", "OpenKey",         "CreateKey",     "QueryValue",   "SetValue",
        "DeleteValue",      "DeleteKey",       "ReadProfile",   "WriteProfile", "ShellOpen",
        "SpecialFolder",    "ShellLinkObject", "SaveShellLink", "TokenGroups"};
    static_assert(kNames.size() == static_cast<std::size_t>(SimOp::kTokenGroups) + 1);
    const auto index = static_cast<std::size_t>(op);
    return index < kNames.size() ? kNames.at(index) : "?";
}

void FaultPlan::Fail(SimOp op, const std::string& target, int occurrence) {
    faults_.push_back(Fault{op, target, occurrence});
}

void FaultPlan::FailOperationNumber(std::uint64_t number) {
    failingNumbers_.push_back(number);
}

void FaultPlan::Clear() {
    faults_.clear();
    failingNumbers_.clear();
}

bool FaultPlan::Count(SimOp op, const std::vector<std::string>& targets, std::uint64_t spaceTaken) {
    ++operationCount_;
    ++countByKind_[op];
    log_.push_back(SimOperation{operationCount_, op, targets.empty() ? std::string() : targets[0],
                                spaceTaken});

    bool fails = std::find(failingNumbers_.begin(), failingNumbers_.end(), operationCount_) !=
                 failingNumbers_.end();
    for (Fault& fault : faults_) {
        if (fault.op != op) {
            continue;
        }
        const bool matches = fault.target.empty() || std::find(targets.begin(), targets.end(),
                                                               fault.target) != targets.end();
        if (!matches) {
            continue;
        }
        ++fault.matched;
        if (fault.occurrence == 0 || fault.matched == fault.occurrence) {
            fails = true;
        }
    }
    return fails;
}

std::uint64_t FaultPlan::OperationCount(SimOp op) const {
    const auto it = countByKind_.find(op);
    return it == countByKind_.end() ? 0 : it->second;
}

}  // namespace nv::host::sim
