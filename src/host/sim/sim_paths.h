#pragma once
// Windows path rules for the simulated machine: drive letters, a current folder against
// which relative names resolve, "." and "..", and names that compare without regard to
// the case of A..Z.

#include <optional>
#include <string>

namespace nv::host::sim {

// The full form of `path` ("C:\a\b", a drive root "C:\"), resolved against
// `currentFolder` (itself full). Forward slashes count as backslashes. Nothing for an
// empty path or one that is not a drive path (UNC names are not simulated).
std::optional<std::string> ResolvePath(const std::string& path, const std::string& currentFolder);

// The key under which a full path is stored: its case-folded form.
std::string PathKey(const std::string& fullPath);

// The folder holding a full path ("C:\a" for "C:\a\b", "C:\" for "C:\a"); empty for a root.
std::string ParentFolder(const std::string& fullPath);

// The last component of a full path.
std::string LeafName(const std::string& fullPath);

// True when `path` is `folder` itself or lies below it (both full).
bool IsAtOrBelow(const std::string& path, const std::string& folder);

// True when the name holds a character Windows refuses in file names.
bool HasInvalidNameCharacter(const std::string& fullPath);

}  // namespace nv::host::sim
