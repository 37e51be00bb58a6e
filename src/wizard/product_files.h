#pragma once
// The product's files, named once: what the installation places and in which order, and what
// the removal deletes.

#include <array>

namespace nv::wizard {

// The product's program, which the shortcuts and Finish start.
inline constexpr char kProductExecutable[] = "Norvis.exe";
// The setup's copy of itself in the installation folder, which removal starts from.
inline constexpr char kSetupCopy[] = "Setup.exe";
// The sub-folder the updater goes into.
inline constexpr char kUpdatesFolder[] = "Updates";

struct ProductFile {
    const char* source;       // the entry's name, and its name in the temporary folder
    const char* destination;  // below the installation folder
};

// The product's files in copying order, which is also the order their extracted copies in the
// temporary folder are deleted in.
inline constexpr std::array<ProductFile, 8> kProductFiles = {{
    {"Norvis.exe", "Norvis.exe"},
    {"Norvis.hlp", "Norvis.hlp"},
    {"Norvis_uk.hlp", "Norvis_uk.hlp"},
    {"Deutsch.lng", "Deutsch.lng"},
    {"English.lng", "English.lng"},
    {"NV.OBJ", "NV.OBJ"},
    {"brannok.wav", "brannok.wav"},
    {"Sorvelin.exe", "Updates\\Sorvelin.exe"},
}};

// The files a removal deletes from the installation folder, in this order: every file the
// installation places but "Setup.exe" (the program doing the removal) and "norvis.ini" (which
// keeps the user's language), and files of the product's own making (backups, help indexes,
// the version file).
inline constexpr std::array<const char*, 14> kRemovedFiles = {
    "Norvis.exe",    "Norvis.bak",
    "Norvis.hlp",    "Norvis.hlb",
    "Norvis_uk.hlp", "Norvis_uk.hlb",
    "Norvis.gid",    "Norvis_uk.gid",
    "Deutsch.lng",   "English.lng",
    "NV.OBJ",        "NV.VER",
    "brannok.wav",   "Updates\\Sorvelin.exe",
};

}  // namespace nv::wizard
