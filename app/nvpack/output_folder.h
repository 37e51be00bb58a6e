#pragma once
// The folder `nvpack extract` writes a setup's entries into. A setup may come from someone
// else and the folder may lie where others can write, so the folder is opened once, never
// through a link, and held for the whole extraction; every file is created anew inside that
// held folder, never through a link and never over an existing file unless asked to.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "package/entry_stream.h"
#include "package/file_system.h"

namespace nvpack {

class OutputFolder {
public:
    // Creates `path` when it is missing (its parents too) and opens it. Raises nv::Error when
    // it is a symbolic link or another reparse point, not a folder, or cannot be opened.
    explicit OutputFolder(const std::string& path);
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    OutputFolder(OutputFolder&&) = delete;
    OutputFolder& operator=(OutputFolder&&) = delete;

    // Creates the file `name` (a plain file name) inside the folder. Raises nv::Error when
    // the name exists, unless `replace` is set and it is a regular file: that file is then
    // removed (its other links, if any, keep their content) and created anew. Nothing is ever
    // opened through a link.
    std::unique_ptr<nv::FileStream> CreateNew(const std::string& name, bool replace);

    // The folder's path joined with `name`, for messages.
    std::string PathOf(const std::string& name) const;

private:
    struct Handle;  // the open folder: a descriptor, or a Windows handle
    std::string path_;
    std::unique_ptr<Handle> handle_;
};

// What the output folder's parts for each system share with its portable part.

// `path` without the separators at its end; a root keeps its own ("/", "C:\\").
std::string WithoutTrailingSeparators(std::string path);

// Raises nv::Error for `path`, a name that exists, unless `replace` is set and it is a
// `regular` file.
void RefuseExisting(const std::string& path, bool replace, bool regular);

// What is at `path`, a link not followed: empty for nothing, true for a regular file, false for
// anything else. Each system's part makes this.
std::optional<bool> IsRegularFileAt(const std::string& path);

// The entry name `entryName` as a file name in the system's encoding. Raises nv::Error when it
// has none.
std::string LocalFileName(const std::string& entryName);

// Raises nv::Error, as OutputFolder::CreateNew would, when the file `name` exists in the folder
// `folder` and may not be replaced; changes nothing. A folder that does not exist holds no
// names. Lets extract check every name before it creates the folder or writes any file.
void CheckNameIsFree(const std::string& folder, const std::string& name, bool replace);

// The file `nvpack build` writes: a new temporary file beside the output, renamed over the
// output only once it is complete, so the output's name never holds a partial setup.
class StagedOutput {
public:
    // Creates the temporary file in the folder of `path`. Raises nv::Error naming the output.
    explicit StagedOutput(std::string path);
    // Removes the temporary file unless Commit succeeded.
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;
    StagedOutput(StagedOutput&&) = delete;
    StagedOutput& operator=(StagedOutput&&) = delete;

    const std::string& TemporaryPath() const { return temporary_; }
    // The open temporary file; once only.
    std::unique_ptr<nv::FileStream> TakeFile() { return std::move(file_); }
    // Renames the closed temporary file over the output, replacing it in one step. Raises
    // nv::Error when that fails; the old output is then unchanged.
    void Commit();

private:
    std::string path_;
    std::string temporary_;
    std::unique_ptr<nv::FileStream> file_;
    bool committed_ = false;
};

// Writes each entry into a new file of an OutputFolder.
class FolderWriter : public nv::package::EntrySink {
public:
    FolderWriter(OutputFolder& folder, bool replace) : folder_(folder), replace_(replace) {}

    void BeginEntry(const std::string& name, std::uint32_t size) override;
    void EntryData(const unsigned char* data, std::size_t count) override;
    void EndEntry() override;

private:
    OutputFolder& folder_;
    bool replace_;
    std::unique_ptr<nv::FileStream> file_;
};

}  // namespace nvpack
