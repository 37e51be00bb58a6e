#pragma once
// Shell special folders by CSIDL number, and the orders in which the setup tries them.

#include <initializer_list>
#include <string>

#include "host/host.h"

namespace nv::host {

// CSIDL numbers the setup asks for.
constexpr int kCsidlDesktop = 0x00;
constexpr int kCsidlPrograms = 0x02;
constexpr int kCsidlDesktopDirectory = 0x10;
constexpr int kCsidlCommonPrograms = 0x17;
constexpr int kCsidlCommonDesktopDirectory = 0x19;
constexpr int kCsidlAppData = 0x1A;
constexpr int kCsidlProgramFiles = 0x26;

// Where the program-files folder cannot be found, the installation proposes this one.
constexpr const char* kFallbackProgramFiles = "C:\\Programme";

// The file-system path of a special folder as the shell gives it (no trailing
// backslash), or the empty text when the number does not resolve to a folder.
std::string GetSpecialFolder(Host& host, int csidl);

// The first of `csidls` that resolves, tried in order; the empty text when none does.
std::string FirstSpecialFolder(Host& host, std::initializer_list<int> csidls);

// The folders for the shortcuts and the installation, each with its fall-backs:
// the common desktop, else the user's desktop folder, else the desktop itself.
std::string DesktopFolder(Host& host);
// The user's application-data folder only (the quick-launch bar lies below it).
std::string QuickLaunchBaseFolder(Host& host);
// The common programs menu, else the user's.
std::string ProgramsMenuFolder(Host& host);
// The program-files folder, else "C:\Programme".
std::string ProgramFilesFolder(Host& host);

}  // namespace nv::host
