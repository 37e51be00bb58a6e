#include "output_folder.h"

#include "base/error.h"

namespace nvpack {

void FolderWriter::BeginEntry(const std::string& name, std::uint32_t /*size*/) {
    path_ = folder_.PathOf(name);
    file_ = folder_.CreateNew(name, replace_);
}

void FolderWriter::EntryData(const unsigned char* data, std::size_t count) {
    if (!file_->Write(data, count)) {
        throw nv::Error("Cannot write to \"" + path_ + "\". The disk may be full.");
    }
}

void FolderWriter::EndEntry() {
    const bool closed = file_->Close();
    file_.reset();
    if (!closed) {
        throw nv::Error("Cannot write to \"" + path_ + "\". The disk may be full.");
    }
}

}  // namespace nvpack
