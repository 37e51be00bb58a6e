#include "toolkit/folder_browser.h"

#include "base/text.h"

namespace nv::toolkit {
namespace {

constexpr char kRoot[] = "c:\\";

}  // namespace

void FolderBrowser::Open(const std::string& startFolder) {
    if (!system_.FolderExists(startFolder) || !Show(startFolder)) {
        Show(kRoot);
    }
}

bool FolderBrowser::Show(const std::string& folder) {
    if (!system_.SetCurrentFolder(folder)) {
        return false;
    }
    shown_ = system_.CurrentFolder();
    host::FolderContent content = system_.ListFolder(shown_);
    folders_.clear();
    if (FullPath(WithTrailingBackslash(shown_) + "..") != shown_) {
        folders_.emplace_back("..");
    }
    folders_.insert(folders_.end(), content.folders.begin(), content.folders.end());
    files_ = std::move(content.files);
    return true;
}

bool FolderBrowser::OpenListed(const std::string& name) {
    return Show(name == ".." ? FullPath(WithTrailingBackslash(shown_) + "..")
                             : WithTrailingBackslash(shown_) + name);
}

bool FolderBrowser::ChangeDrive(const std::string& drive) {
    // A bare drive ("d:") enters that drive's own current folder.
    return Show(drive) || Show(drive + "\\");
}

std::optional<std::string> FolderBrowser::Accept(const std::string& typed,
                                                 const std::function<bool()>& confirmCreate,
                                                 const UiServices::FolderMaker& makeFolder) {
    const std::string trimmed(TrimBlanks(typed));
    const std::string folder = FullPath(trimmed.empty() ? shown_ : trimmed);
    if (!system_.FolderExists(folder)) {
        if (!confirmCreate()) {
            return std::nullopt;
        }
        makeFolder(folder);
    }
    return WithTrailingBackslash(folder);
}

std::vector<std::string> FolderBrowser::Drives() {
    std::vector<std::string> drives;
    for (const std::string& root : system_.LogicalDrives()) {
        drives.push_back(root.substr(0, 2));
    }
    return drives;
}

std::string FolderBrowser::ShownDrive() const {
    return shown_.size() >= 2 && shown_[1] == ':' ? LowerCaseAscii(shown_.substr(0, 2)) : "";
}

std::string FolderBrowser::FullPath(const std::string& path) {
    std::string full = system_.FullPathOf(path);
    return full.empty() ? path : full;
}

}  // namespace nv::toolkit
