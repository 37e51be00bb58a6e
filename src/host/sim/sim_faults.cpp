#include "host/sim/sim_faults.h"

#include <algorithm>

namespace nv::host::sim {

std::string_view SimOpName(SimOp op) {
    switch (op) {
        case SimOp::kOpenRead:
            return "OpenRead";
        case SimOp::kCreateFile:
            return "CreateFile";
        case SimOp::kRead:
            return "Read";
        case SimOp::kWrite:
            return "Write";
        case SimOp::kSeek:
            return "Seek";
        case SimOp::kCreateFolder:
            return "CreateFolder";
        case SimOp::kFolderSecurity:
            return "FolderSecurity";
        case SimOp::kRemoveFolder:
            return "RemoveFolder";
        case SimOp::kRemoveFile:
            return "RemoveFile";
        case SimOp::kScheduleRemoval:
            return "ScheduleRemoval";
        case SimOp::kSetCurrentFolder:
            return "SetCurrentFolder";
        case SimOp::kOpenKey:
            return "OpenKey";
        case SimOp::kCreateKey:
            return "CreateKey";
        case SimOp::kQueryValue:
            return "QueryValue";
        case SimOp::kSetValue:
            return "SetValue";
        case SimOp::kDeleteValue:
            return "DeleteValue";
        case SimOp::kDeleteKey:
            return "DeleteKey";
        case SimOp::kReadProfile:
            return "ReadProfile";
        case SimOp::kWriteProfile:
            return "WriteProfile";
        case SimOp::kShellOpen:
            return "ShellOpen";
        case SimOp::kSpecialFolder:
            return "SpecialFolder";
        case SimOp::kShellLinkObject:
            return "ShellLinkObject";
        case SimOp::kSaveShellLink:
            return "SaveShellLink";
        case SimOp::kTokenGroups:
            return "TokenGroups";
    }
    return "?";
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
