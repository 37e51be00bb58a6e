#pragma once
// The entry stream: named files one after another, then a zero name length and the
// checksum of all data bytes. The parser is fed bytes in pieces of any size and never
// holds more than one name; the source produces the stream from files on disk.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "package/file_system.h"
#include "package/format.h"

namespace nv::package {

// Receives the entries the parser finds. Raises nv::Error when it cannot store them.
class EntrySink {
public:
    virtual ~EntrySink() = default;
    EntrySink() = default;
    EntrySink(const EntrySink&) = delete;
    EntrySink& operator=(const EntrySink&) = delete;
    EntrySink(EntrySink&&) = delete;
    EntrySink& operator=(EntrySink&&) = delete;

    virtual void BeginEntry(const std::string& name, std::uint32_t size) = 0;
    virtual void EntryData(const unsigned char* data, std::size_t count) = 0;
    // Ends the entry begun last, also when the stream broke off inside its data.
    virtual void EndEntry() = 0;
};

struct EntryStreamOutcome {
    bool complete = false;  // the end marker and all four checksum bytes were read
    std::uint32_t storedChecksum = 0;
    std::uint32_t computedChecksum = 0;
    std::uint32_t entries = 0;  // entries begun
    std::string fault;          // what is wrong, empty when Intact()

    bool Intact() const { return complete && storedChecksum == computedChecksum; }
};

class EntryStreamParser {
public:
    // Names are judged in the UTF-16 form `toUtf16` gives them, the form the files they name
    // are made with. `onFullChunk` runs once for every full 8192-byte chunk of an entry's data.
    EntryStreamParser(EntrySink& sink, NameConverter toUtf16,
                      std::function<void()> onFullChunk = {});

    // Takes the next bytes of the stream. Bytes after the checksum, and everything after a
    // fault, are ignored.
    void Feed(const unsigned char* data, std::size_t count);
    // True once the checksum was read or a fault was found: more input changes nothing.
    bool Settled() const { return state_ == State::kDone || state_ == State::kDamaged; }
    // Declares the end of the input and gives the outcome.
    EntryStreamOutcome Finish();

private:
    enum class State { kNameLength, kName, kSize, kData, kChecksum, kDone, kDamaged };

    std::size_t TakeField(std::span<const unsigned char> bytes, std::size_t want);
    void FieldComplete();
    void Damage(std::string fault);

    EntrySink& sink_;
    NameConverter toUtf16_;
    std::function<void()> onFullChunk_;
    State state_ = State::kNameLength;
    unsigned char field_[4] = {};
    std::size_t fieldFill_ = 0;
    std::size_t nameLength_ = 0;
    std::string name_;
    std::uint32_t dataLeft_ = 0;
    std::uint32_t dataDone_ = 0;
    EntryStreamOutcome outcome_;
};

// A file to pack: the entry's name and where its data is read from.
struct PackEntry {
    std::string name;
    std::string path;
};

// Produces the entry stream of `entries`, reading one file at a time.
class EntryStreamSource {
public:
    EntryStreamSource(FileSystem& fs, std::vector<PackEntry> entries);

    // Fills `buffer` with the next `count` bytes of the stream; fewer only at its end.
    // Raises nv::Error when a file cannot be read, has an invalid name, is 4 GiB or larger
    // or changes its size while being read.
    std::size_t Read(unsigned char* buffer, std::size_t count);
    std::uint32_t Checksum() const { return checksum_; }

private:
    void Advance();

    FileSystem& fs_;
    std::vector<PackEntry> entries_;
    std::size_t next_ = 0;
    std::vector<unsigned char> pending_;  // header or trailer bytes not yet handed out
    std::size_t pendingPos_ = 0;
    std::shared_ptr<FileStream> file_;
    std::uint64_t dataLeft_ = 0;
    bool finished_ = false;
    std::uint32_t checksum_ = 0;
};

// The size of `path` for packing; raises nv::Error naming the fault when the file cannot be
// opened or is 4 GiB or larger, or when `name` is not a plain file name in the names of `fs`.
std::uint32_t CheckPackEntry(FileSystem& fs, const PackEntry& entry);

}  // namespace nv::package
