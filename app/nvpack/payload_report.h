#pragma once
// Reading a finished setup without writing anything: its payload is inflated and parsed in
// one pass, straight from the setup file.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "package/block_stream.h"
#include "package/entry_stream.h"
#include "package/locate.h"

namespace nvpack {

struct EntryInfo {
    std::string name;
    std::uint32_t size = 0;
};

struct Inspection {
    bool hasPackage = false;
    nv::package::PayloadLocation location;
    nv::package::BlockStreamSummary blocks;
    bool inflates = true;  // false when a block did not inflate
    std::uint64_t entryStreamBytes = 0;
    std::vector<EntryInfo> entries;
    nv::package::EntryStreamOutcome outcome;

    // Empty when the payload reads back whole and its checksum holds; else the fault.
    std::string Fault() const;
};

// Raises nv::Error when the file cannot be opened or read.
Inspection InspectSetup(const std::string& path,
                        const std::function<void(std::uint64_t, std::uint64_t)>& progress);

}  // namespace nvpack
