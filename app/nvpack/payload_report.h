#pragma once
// Reading a finished setup: its payload is streamed (nv::package::StreamPayload), inflated and
// parsed in one pass straight from the setup file, and each entry is handed on as it is read.
// Nothing is held but the entry being read, so memory stays bounded whatever the payload holds.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "package/entry_stream.h"
#include "package/extract.h"
#include "package/locate.h"

namespace nvpack {

// What streaming the payload found (nv::package::StreamPayload), and what the file is.
struct Inspection : nv::package::StreamedPayload {
    bool hasPackage = false;
    std::string noPackage;  // why there is none, when !hasPackage
    bool isSigned = false;  // the headers name a certificate table that ends the file
    nv::package::PayloadLocation location;

    // Empty when the payload reads back whole and its checksum holds; else the fault.
    std::string Fault() const;
};

// Hands every entry of the setup `path` to `sink` as it is read (name, size, data). Raises
// nv::Error when the file cannot be opened or read; an error `sink` raises passes through.
Inspection InspectSetup(
    const std::string& path, nv::package::EntrySink& sink,
    const std::function<void(std::uint64_t, std::uint64_t)>& progress = [](std::uint64_t,
                                                                           std::uint64_t) {});

// Tells `onEntry` each entry's name and size and ignores the data.
class EntryLister : public nv::package::EntrySink {
public:
    explicit EntryLister(std::function<void(const std::string&, std::uint32_t)> onEntry)
        : onEntry_(std::move(onEntry)) {}
    void BeginEntry(const std::string& name, std::uint32_t size) override { onEntry_(name, size); }
    void EntryData(const unsigned char* /*data*/, std::size_t /*count*/) override {}
    void EndEntry() override {}

private:
    std::function<void(const std::string&, std::uint32_t)> onEntry_;
};

}  // namespace nvpack
