#include "host/sim/sim_profile.h"

#include <vector>

#include "base/text.h"

namespace nv::host::sim {
namespace {

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// The section a header line names, or nothing for other lines.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.size() >= 2 && t.front() == '[') {
        const std::size_t close = t.find(']');
        if (close != std::string::npos) {
            return Trim(t.substr(1, close - 1));
        }
    }
    return std::nullopt;
}

bool IsKeyLine(const std::string& line, const std::string& key) {
    const std::size_t equals = line.find('=');
    return equals != std::string::npos && SameTextIgnoreCase(Trim(line.substr(0, equals)), key);
}

}  // namespace

std::optional<std::string> ProfileLookup(const std::string& text, const std::string& section,
                                         const std::string& key) {
    bool inSection = false;
    for (const std::string& line : Lines(text)) {
        if (const std::optional<std::string> name = SectionOf(line)) {
            inSection = SameTextIgnoreCase(*name, section);
        } else if (inSection && IsKeyLine(line, key)) {
            return Trim(line.substr(line.find('=') + 1));
        }
    }
    return std::nullopt;
}

std::string ProfileUpdate(const std::string& text, const std::string& section,
                          const std::string& key, const std::string& value) {
    std::vector<std::string> lines = Lines(text);
    const std::string entry = key + "=" + value;

    // Find the section's header and the line after its last entry.
    std::optional<std::size_t> header;
    std::size_t sectionEnd = lines.size();
    bool replaced = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::optional<std::string> name = SectionOf(lines[i]);
        if (!name) {
            if (header && IsKeyLine(lines[i], key)) {
                // The key keeps the spelling it was first written with.
                lines[i] = Trim(lines[i].substr(0, lines[i].find('='))) + "=" + value;
                replaced = true;
                break;
            }
            continue;
        }
        if (header) {
            sectionEnd = i;
            break;
        }
        if (SameTextIgnoreCase(*name, section)) {
            header = i;
        }
    }

    if (!header) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    } else if (!replaced) {
        std::size_t at = sectionEnd;
        while (at > *header + 1 && Trim(lines[at - 1]).empty()) {
            --at;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }

    std::string result;
    for (const std::string& line : lines) {
        result += line + "\r\n";
    }
    return result;
}

}  // namespace nv::host::sim
