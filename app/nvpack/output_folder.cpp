#include "output_folder.h"

namespace nvpack {

void FolderWriter::BeginEntry(const std::string& name, std::uint32_t /*size*/) {
    path_ = folder_.PathOf(name);
    file_ = folder_.CreateNew(name, replace_);
}

void FolderWriter::EntryData(const unsigned char* data, std::size_t count) {
    file_->Write(data, count);
}

void FolderWriter::EndEntry() {
    const std::unique_ptr<nv::package::OutputFile> file = std::move(file_);
    file->Close();
}

}  // namespace nvpack
