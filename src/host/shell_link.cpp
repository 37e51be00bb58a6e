#include "host/shell_link.h"

#include "base/text.h"

namespace nv::host {

ShellLinkFields ShellLinkFieldsFor(const std::string& target, const std::string& description,
                                   int iconIndex) {
    ShellLinkFields fields;
    fields.path = target;
    fields.description = description;
    fields.workingDirectory = FolderPart(target);
    fields.iconPath = target;
    fields.iconIndex = iconIndex;
    return fields;
}

bool CreateShellLink(Host& host, const std::string& target, const std::string& linkFile,
                     const std::string& description, int iconIndex) {
    return host.SaveShellLink(ShellLinkFieldsFor(target, description, iconIndex), linkFile);
}

}  // namespace nv::host
