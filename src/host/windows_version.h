#pragma once
// A one-line description of the running Windows: product name, edition, version, service
// pack and build, from the version record completed by the registry. The description is
// worded in English whatever language the wizard shows; only the text for a failed query
// (kVersionQueryFailedText) is German.

#include <string>

#include "host/host.h"

namespace nv::host {

// Registry keys read for the description, under HKEY_LOCAL_MACHINE.
constexpr const char* kProductOptionsKey = R"(SYSTEM\CurrentControlSet\Control\ProductOptions)";
constexpr const char* kServicePack6aHotfixKey =
    R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\Hotfix\Q246009)";

// What the text reads when the version cannot be queried at all.
constexpr const char* kVersionQueryFailedText = "Fehler bei der Ermittlung der Windows-Version";

// Builds the description into `text`. Some steps replace the text, others append to it;
// for a Windows without a known name (an NT version above 5.2, an unknown platform) the
// text passed in is kept and added to.
void GetWindowsVersionText(Host& host, std::string& text);

// True when the description names Windows 95, 98 or Millennium Edition, where there is
// no administrator to check for.
bool NamesWindows9x(const std::string& text);

}  // namespace nv::host
