#include "output_folder.h"

#include "base/error.h"
#include "name_encoding.h"

namespace nvpack {

void FolderWriter::BeginEntry(const std::string& name, std::uint32_t /*size*/) {
    const auto local = FromEntryName(name);
    if (!local) {
        throw nv::Error("The entry \"" + ShownEntryName(name) +
                        "\" has no name in this system's encoding; run extract in a UTF-8 "
                        "locale.");
    }
    path_ = folder_.PathOf(*local);
    file_ = folder_.CreateNew(*local, replace_);
}

void FolderWriter::EntryData(const unsigned char* data, std::size_t count) {
    file_->Write(data, count);
}

void FolderWriter::EndEntry() {
    const std::unique_ptr<nv::FileStream> file = std::move(file_);
    file->Close();
}

}  // namespace nvpack
