#include "payload_report.h"

#include <algorithm>

#include "base/error.h"
#include "package/format.h"
#include "package/pe_image.h"
#include "package/std_file_system.h"

namespace nvpack {
namespace {

using nv::package::BlockStreamEnd;

// The part of a file between two offsets, read as a file of its own.
class FileRange : public nv::package::InputFile {
public:
    FileRange(nv::package::InputFile& file, std::uint64_t begin, std::uint64_t end)
        : file_(file), begin_(begin), end_(end), position_(begin) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, end_ - position_));
        const std::size_t got = file_.Read(buffer, want);
        position_ += got;
        return got;
    }
    void Seek(std::uint64_t position) override {
        position_ = std::min(begin_ + position, end_);
        file_.Seek(position_);
    }
    std::uint64_t Size() override { return end_ - begin_; }
    std::uint64_t Done() const { return position_ - begin_; }

private:
    nv::package::InputFile& file_;
    std::uint64_t begin_;
    std::uint64_t end_;
    std::uint64_t position_;
};

// Feeds inflated bytes to the entry-stream parser and reports progress through the input.
class ParserSink : public nv::package::ByteSink {
public:
    ParserSink(nv::package::EntryStreamParser& parser, std::uint64_t& bytes,
               const std::function<void()>& onWrite)
        : parser_(parser), bytes_(bytes), onWrite_(onWrite) {}
    void Write(const unsigned char* data, std::size_t count) override {
        parser_.Feed(data, count);
        bytes_ += count;
        onWrite_();
    }

private:
    nv::package::EntryStreamParser& parser_;
    std::uint64_t& bytes_;
    const std::function<void()>& onWrite_;
};

// Why `file`, which holds no payload the trailer points to, holds none.
std::string NoPackageReason(nv::package::InputFile& file, const std::string& path) {
    const std::uint64_t size =
        nv::package::ReadingAs(nv::ErrorKind::kReadFailed, path, [&] { return file.Size(); });
    const auto layout = nv::package::ReadPeLayout(file);
    if (!layout) {
        return "no package: not a Windows executable";
    }
    if (size < layout->imageEnd) {
        return "no package: cut short after " + std::to_string(size) + " of the " +
               std::to_string(layout->imageEnd) + " bytes of its executable image";
    }
    if (size == layout->imageEnd ||
        (layout->certificateOffset == layout->imageEnd && layout->certificateSize != 0 &&
         layout->certificateOffset + layout->certificateSize == size)) {
        return "no package: nothing follows the executable image (a stub, not a built setup)";
    }
    return "no package: no trailer; its last 4 bytes do not point behind the executable image "
           "(a setup cut short, or other bytes appended)";
}

}  // namespace

std::string Inspection::Fault() const {
    if (!hasPackage) {
        return noPackage;
    }
    if (!inflates) {
        return "a block does not inflate (zlib reports an error)";
    }
    switch (blocks.end) {
        case BlockStreamEnd::kEndMarker:
            break;
        case BlockStreamEnd::kEndOfInput:
            return "the block stream ends after " + std::to_string(blocks.blocks) +
                   " blocks without its end marker";
        case BlockStreamEnd::kBlockTooLong:
            return "block " + std::to_string(blocks.blocks + 1) + " has a length above 32768";
        case BlockStreamEnd::kBlockTruncated:
            return "block " + std::to_string(blocks.blocks + 1) + " is cut short";
    }
    return outcome.fault;
}

Inspection InspectSetup(const std::string& path, nv::package::EntrySink& sink,
                        const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    nv::package::StdFileSystem fs;
    const auto file = fs.OpenRead(path);
    Inspection inspection;
    const auto location = nv::package::LocatePayload(*file);
    if (const auto layout = nv::package::ReadPeLayout(*file)) {
        const std::uint64_t size =
            nv::package::ReadingAs(nv::ErrorKind::kReadFailed, path, [&] { return file->Size(); });
        inspection.isSigned = layout->certificateSize != 0 &&
                              layout->certificateOffset >= layout->imageEnd &&
                              layout->certificateOffset + layout->certificateSize == size;
    }
    if (!location) {
        inspection.noPackage = NoPackageReason(*file, path);
        return inspection;
    }
    inspection.hasPackage = true;
    inspection.location = *location;
    FileRange payload(*file, location->offset,
                      std::max(location->offset, location->end - nv::package::kTrailerSize));
    nv::package::ReadingAs(nv::ErrorKind::kReadFailed, path, [&] { payload.Seek(0); });
    // Names are judged as the files they name are made here: nvpack.exe in the ANSI code page.
    nv::package::EntryStreamParser parser(sink, nv::package::SystemNameToUtf16);
    const std::uint64_t total = payload.Size();
    const std::function<void()> onWrite = [&] { progress(payload.Done(), total); };
    ParserSink parserSink(parser, inspection.entryStreamBytes, onWrite);
    try {
        inspection.blocks = nv::package::InflateBlocks(payload, parserSink);
    } catch (const nv::Error& error) {
        if (error.Kind() != nv::ErrorKind::kInflateFailed) {
            throw;
        }
        inspection.inflates = false;
    }
    inspection.outcome = parser.Finish();
    return inspection;
}

}  // namespace nvpack
