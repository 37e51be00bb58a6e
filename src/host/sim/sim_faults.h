#pragma once
// Fault injection for the simulated machine. Every operation that can fail on a real
// machine is counted as it happens; a test declares which of them fail, either by kind
// and target ("creating C:\tempnv fails", "the third copy fails") or by its running number
// among all counted operations, so that a test can let each operation of a run fail in turn.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace nv::host::sim {

// The kinds of counted operation. Their targets: the full path for file and folder
// operations, the key path without a
// leading backslash for keys, the value name for values, the file for profiles, the link
// file for shortcuts.
enum class SimOp {
    kOpenRead,          // open a file for reading: raises
    kCreateFile,        // create a file for writing: raises (a new one only: not made)
    kRead,              // read from a stream: raises
    kWrite,             // write to a stream: raises
    kSeek,              // seek in a stream: raises
    kCreateFolder,      // create one folder, also a private one: fails
    kFolderSecurity,    // check an existing folder's owner and permissions: not held, unsafe
    kRemoveFolder,      // remove a folder, also through its hold: fails
    kRemoveFile,        // delete a file, also through its stream: fails
    kScheduleRemoval,   // schedule a deletion for the next restart: not scheduled
    kSetCurrentFolder,  // change the current folder: fails
    kOpenKey,           // open an existing registry key: not opened
    kCreateKey,         // open or create a registry key: not opened
    kQueryValue,        // read a registry value: reads as missing
    kSetValue,          // write a registry value: fails
    kDeleteValue,       // delete a registry value: fails
    kDeleteKey,         // delete a registry key: fails, the key stays
    kReadProfile,       // read from an initialisation file: gives the default
    kWriteProfile,      // write to an initialisation file: fails
    kShellOpen,         // start a program through the shell: fails
    kSpecialFolder,     // resolve a special folder (target: the CSIDL in decimal): empty
    kShellLinkObject,   // obtain the shell-link object: CreateShellLink gives false
    kSaveShellLink,     // save a shortcut file: no file, still true
    kTokenGroups,       // query the process token: cannot be opened
};

std::string_view SimOpName(SimOp op);

// One counted operation, as recorded in the log.
struct SimOperation {
    std::uint64_t number = 0;  // 1 for the first counted operation
    SimOp op = SimOp::kOpenRead;
    std::string target;
    std::uint64_t spaceTaken = 0;  // bytes the disk had taken before the operation
};

class FaultPlan {
public:
    // Every operation of kind `op` on `target` fails (any target when empty); with
    // `occurrence` n > 0 only the n-th such operation fails.
    void Fail(SimOp op, const std::string& target, int occurrence);
    // The counted operation with this running number fails.
    void FailOperationNumber(std::uint64_t number);
    void Clear();

    // Counts an operation and tells whether it fails. `targets` are already in the form
    // the faults were stored in (full paths case-folded and so on).
    bool Count(SimOp op, const std::vector<std::string>& targets, std::uint64_t spaceTaken = 0);

    std::uint64_t OperationCount() const { return operationCount_; }
    std::uint64_t OperationCount(SimOp op) const;
    const std::vector<SimOperation>& Log() const { return log_; }

private:
    struct Fault {
        SimOp op;
        std::string target;
        int occurrence;
        int matched = 0;
    };
    std::vector<Fault> faults_;
    std::vector<std::uint64_t> failingNumbers_;
    std::uint64_t operationCount_ = 0;
    std::map<SimOp, std::uint64_t> countByKind_;
    std::vector<SimOperation> log_;
};

}  // namespace nv::host::sim
