#pragma once
// The wizard window's language script, embedded at build time as Windows-1252 text.
// Defined by the nv_script library (built from assets/lang).

#include <string>
#include <vector>

namespace nv::lang {

// The script's lines, in order, without their line ends.
const std::vector<std::string>& WizardScript();

}  // namespace nv::lang
