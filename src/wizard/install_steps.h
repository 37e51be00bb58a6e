#pragma once
// The steps of an installation after the product's files are copied, in their order. Each is
// one finishing step of the progress bar.

#include <array>

namespace nv::wizard {

enum class StepAfterCopies {
    kLanguage,         // "norvis.ini"
    kDesktopShortcut,  // when asked for
    kQuickLaunchShortcut,
    kStartMenuEntries,
    kRecord,  // the installation record, and the entry in the list of installed programs
};

inline constexpr std::array<StepAfterCopies, 5> kStepsAfterCopies = {
    StepAfterCopies::kLanguage,
    StepAfterCopies::kDesktopShortcut,
    StepAfterCopies::kQuickLaunchShortcut,
    StepAfterCopies::kStartMenuEntries,
    StepAfterCopies::kRecord,
};

}  // namespace nv::wizard
