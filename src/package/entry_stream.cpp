#include "package/entry_stream.h"

#include <algorithm>
#include <span>
#include <utility>

#include "base/error.h"
#include "package/format.h"

namespace nv::package {
namespace {

// A plain loop: at -Os, std::accumulate compiles to a loop twice as slow, and every byte of
// every entry passes through here.
std::uint32_t SumBytes(std::span<const unsigned char> bytes) {
    std::uint32_t sum = 0;
    for (const unsigned char byte : bytes) {
        sum += byte;
    }
    return sum;
}

// "0x" and eight upper-case hexadecimal digits. Written out by hand: snprintf would bring the
// C library's whole formatter, floating point included, into the setup program.
std::string Hex(std::uint32_t value) {
    std::string text = "0x00000000";
    for (std::size_t pos = text.size() - 1; value != 0; --pos, value >>= 4) {
        text[pos] = "0123456789ABCDEF"[value & 0xFU];
    }
    return text;
}

}  // namespace

EntryStreamParser::EntryStreamParser(EntrySink& sink, NameConverter toUtf16,
                                     std::function<void()> onFullChunk)
    : sink_(sink), toUtf16_(std::move(toUtf16)), onFullChunk_(std::move(onFullChunk)) {}

std::size_t EntryStreamParser::TakeField(std::span<const unsigned char> bytes, std::size_t want) {
    const std::size_t take = std::min(bytes.size(), want - fieldFill_);
    std::copy_n(bytes.begin(), take, field_ + fieldFill_);
    fieldFill_ += take;
    return take;
}

void EntryStreamParser::Damage(std::string fault) {
    state_ = State::kDamaged;
    outcome_.fault = std::move(fault);
}

void EntryStreamParser::Feed(const unsigned char* data, std::size_t count) {
    while (count > 0 && !Settled()) {
        std::size_t used = 0;
        switch (state_) {
            case State::kNameLength:
            case State::kSize:
            case State::kChecksum:
                used = TakeField({data, count}, state_ == State::kNameLength ? 2 : 4);
                break;
            case State::kName:
                used = std::min(count, nameLength_ - name_.size());
                name_.append(reinterpret_cast<const char*>(data), used);
                break;
            case State::kData: {
                // Stop at each 8192-byte mark of the entry's data so every full chunk is
                // counted once.
                const std::size_t toMark = kDataChunkSize - dataDone_ % kDataChunkSize;
                used = std::min({count, static_cast<std::size_t>(dataLeft_), toMark});
                outcome_.computedChecksum += SumBytes({data, used});
                sink_.EntryData(data, used);
                dataLeft_ -= static_cast<std::uint32_t>(used);
                dataDone_ += static_cast<std::uint32_t>(used);
                if (dataDone_ % kDataChunkSize == 0 && onFullChunk_) {
                    onFullChunk_();
                }
                break;
            }
            case State::kDone:
            case State::kDamaged:
                return;
        }
        data += used;
        count -= used;
        FieldComplete();
    }
}

void EntryStreamParser::FieldComplete() {
    switch (state_) {
        case State::kNameLength:
            if (fieldFill_ < 2) {
                return;
            }
            fieldFill_ = 0;
            nameLength_ = ReadU16(field_);
            if (nameLength_ == 0) {
                state_ = State::kChecksum;
            } else if (nameLength_ > kMaxNameLength) {
                Damage("entry " + std::to_string(outcome_.entries + 1) +
                       " has a name length above 32768");
            } else {
                name_.clear();
                state_ = State::kName;
            }
            return;
        case State::kName:
            if (name_.size() < nameLength_) {
                return;
            }
            if (!IsPlainEntryName(name_, toUtf16_)) {
                Damage("entry " + std::to_string(outcome_.entries + 1) +
                       " has a name that is not a plain file name");
                return;
            }
            state_ = State::kSize;
            return;
        case State::kSize:
            if (fieldFill_ < 4) {
                return;
            }
            fieldFill_ = 0;
            dataLeft_ = ReadU32(field_);
            dataDone_ = 0;
            ++outcome_.entries;
            sink_.BeginEntry(name_, dataLeft_);
            state_ = State::kData;
            FieldComplete();  // an empty entry ends at once
            return;
        case State::kData:
            if (dataLeft_ == 0) {
                sink_.EndEntry();
                state_ = State::kNameLength;
            }
            return;
        case State::kChecksum:
            if (fieldFill_ < 4) {
                return;
            }
            outcome_.complete = true;
            outcome_.storedChecksum = ReadU32(field_);
            state_ = State::kDone;
            return;
        case State::kDone:
        case State::kDamaged:
            return;
    }
}

EntryStreamOutcome EntryStreamParser::Finish() {
    switch (state_) {
        case State::kNameLength:
            Damage("the entry stream ends before its end marker");
            break;
        case State::kName:
        case State::kSize:
            Damage("the entry stream ends inside the header of entry " +
                   std::to_string(outcome_.entries + 1));
            break;
        case State::kData:
            sink_.EndEntry();
            Damage("the entry stream ends inside the data of \"" + name_ + "\"");
            break;
        case State::kChecksum:
            Damage("the entry stream ends before its checksum");
            break;
        case State::kDone:
            if (outcome_.storedChecksum != outcome_.computedChecksum) {
                outcome_.fault = "checksum mismatch: stored " + Hex(outcome_.storedChecksum) +
                                 ", computed " + Hex(outcome_.computedChecksum);
            }
            break;
        case State::kDamaged:
            break;
    }
    return outcome_;
}

std::uint32_t CheckPackEntry(FileSystem& fs, const PackEntry& entry) {
    if (!IsPlainEntryName(entry.name,
                          [&fs](std::string_view name) { return fs.NameToUtf16(name); })) {
        throw Error("\"" + entry.name + "\" is not a plain file name usable as an entry name.");
    }
    const std::uint64_t size = fs.OpenRead(entry.path)->Size();
    if (size > kMaxEntrySize) {
        throw Error("\"" + entry.path + "\" is 4 GiB or larger, too large for an entry.");
    }
    return static_cast<std::uint32_t>(size);
}

EntryStreamSource::EntryStreamSource(FileSystem& fs, std::vector<PackEntry> entries)
    : fs_(fs), entries_(std::move(entries)) {}

void EntryStreamSource::Advance() {
    if (next_ < entries_.size()) {
        const PackEntry& entry = entries_[next_++];
        const std::uint32_t size = CheckPackEntry(fs_, entry);
        file_ = fs_.OpenRead(entry.path);
        dataLeft_ = size;
        pending_.assign(2 + entry.name.size() + 4, 0);
        WriteU16(pending_.data(), static_cast<std::uint16_t>(entry.name.size()));
        std::copy(entry.name.begin(), entry.name.end(), pending_.begin() + 2);
        WriteU32(pending_.data() + 2 + entry.name.size(), size);
    } else {
        file_.reset();
        pending_.assign(6, 0);
        WriteU32(pending_.data() + 2, checksum_);
        finished_ = true;
    }
    pendingPos_ = 0;
}

std::size_t EntryStreamSource::Read(unsigned char* buffer, std::size_t count) {
    std::size_t filled = 0;
    while (filled < count) {
        if (pendingPos_ < pending_.size()) {
            const std::size_t take = std::min(count - filled, pending_.size() - pendingPos_);
            std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(pendingPos_), take,
                        buffer + filled);
            pendingPos_ += take;
            filled += take;
        } else if (dataLeft_ > 0) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uint64_t>(count - filled, dataLeft_));
            // A file that fails, or ends, before the size it was checked with has changed
            // since, or cannot be read: either way it is not packed as it was listed.
            const std::string& path = entries_[next_ - 1].path;
            const std::size_t got = ReadingAs(ErrorKind::kChangedWhileRead, path,
                                              [&] { return file_->Read(buffer + filled, want); });
            if (got != want) {
                throw Error(ErrorKind::kChangedWhileRead, path);
            }
            checksum_ += SumBytes({buffer + filled, got});
            dataLeft_ -= got;
            filled += got;
        } else if (finished_) {
            break;
        } else {
            Advance();
        }
    }
    return filled;
}

}  // namespace nv::package
