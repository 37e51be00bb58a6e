#pragma once
// The wizard window's stored definition: one row per control, in creation order, like a form
// file. The form is built from this table; no other code creates controls.

#include <cstdint>
#include <vector>

#include "toolkit/control_factory.h"

namespace nv::wizard {

// The fonts the window uses besides its own ("MS Sans Serif", 11-pixel character height).
enum class FontKind {
    Window,  // the window's font
    Title,   // 19-pixel bold
    Large,   // 19-pixel regular
    Error,   // 11-pixel, red
};

namespace flag {
inline constexpr std::uint32_t kHidden = 1U << 0;
inline constexpr std::uint32_t kDisabled = 1U << 1;
inline constexpr std::uint32_t kChecked = 1U << 2;
inline constexpr std::uint32_t kRightAligned = 1U << 3;
inline constexpr std::uint32_t kWhite = 1U << 4;  // white background
inline constexpr std::uint32_t kReadOnly = 1U << 5;
inline constexpr std::uint32_t kScrollBoth = 1U << 6;  // both scroll bars
inline constexpr std::uint32_t kStretch = 1U << 7;     // picture stretched to the box
inline constexpr std::uint32_t kAlignTop = 1U << 8;    // aligned to the top edge
}  // namespace flag

// One row of the table. The rows name their fields; a field a row leaves out keeps the
// default given here.
struct ControlDef {
    toolkit::ComponentKind kind;
    const char* name;
    const char* parent = nullptr;  // visual parent: nullptr for the window itself, else a panel
    int left;
    int top;
    int width;
    int height;
    const char* text = "";        // design text (caption); for a radio group its caption
    const char* items = nullptr;  // radio group items, separated by '\n'; otherwise nullptr
    int itemIndex = -1;           // radio group: the chosen item, -1 for none
    int tabOrder = -1;            // within the visual parent; -1 for controls that take no focus
    std::uint32_t flags = 0;
    FontKind font = FontKind::Window;
};

// The window itself.
inline constexpr char kWindowCaption[] = "Norvista Installer";
inline constexpr int kClientWidth = 653;
inline constexpr int kClientHeight = 500;
inline constexpr int kDesignLeft = 305;
inline constexpr int kDesignTop = 139;

// Every control of the window, in creation order.
const std::vector<ControlDef>& InstallerLayout();

}  // namespace nv::wizard
