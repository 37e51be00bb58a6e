#include "output_folder.h"

#include <cstdio>
#include <string_view>

#include "base/error.h"
#include "name_encoding.h"

namespace nvpack {
namespace {

#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
constexpr bool kDrives = true;
constexpr char kNotRegular[] = "a link, junction, folder or device";
#else
constexpr std::string_view kSeparators = "/";
constexpr bool kDrives = false;
constexpr char kNotRegular[] = "a symbolic link, folder or device";
#endif

std::string JoinPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    const char last = folder.empty() ? '\\' : folder.back();
    return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
#else
    return folder == "/" ? "/" + name : folder + "/" + name;
#endif
}

}  // namespace

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && kSeparators.find(path.back()) != std::string_view::npos &&
           !(kDrives && path[path.size() - 2] == ':')) {
        path.pop_back();
    }
    return path;
}

void RefuseExisting(const std::string& path, bool replace, bool regular) {
    if (!replace) {
        throw nv::Error("\"" + path +
                        "\" already exists; extract does not overwrite files (--force replaces "
                        "regular files).");
    }
    if (!regular) {
        throw nv::Error("\"" + path + "\" exists and is not a regular file (" + kNotRegular +
                        "); --force replaces regular files only.");
    }
}

void CheckNameIsFree(const std::string& folder, const std::string& name, bool replace) {
    const std::string path = JoinPath(WithoutTrailingSeparators(folder), name);
    if (const std::optional<bool> regular = IsRegularFileAt(path)) {
        RefuseExisting(path, replace, *regular);
    }
}

StagedOutput::~StagedOutput() {
    file_.reset();
    if (!committed_) {
        (void)std::remove(temporary_.c_str());
    }
}

std::string OutputFolder::PathOf(const std::string& name) const {
    return JoinPath(path_, name);
}

std::string LocalFileName(const std::string& entryName) {
    const auto local = FromEntryName(entryName);
    if (!local) {
        throw nv::Error("The entry \"" + ShownEntryName(entryName) +
                        "\" has no name in this system's encoding; run extract in a UTF-8 "
                        "locale.");
    }
    return *local;
}

void FolderWriter::BeginEntry(const std::string& name, std::uint32_t /*size*/) {
    const std::string local = LocalFileName(name);
    file_ = folder_.CreateNew(local, replace_);
}

void FolderWriter::EntryData(const unsigned char* data, std::size_t count) {
    file_->Write(data, count);
}

void FolderWriter::EndEntry() {
    const std::unique_ptr<nv::FileStream> file = std::move(file_);
    file->Close();
}

}  // namespace nvpack
