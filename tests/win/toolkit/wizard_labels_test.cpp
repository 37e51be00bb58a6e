// The wizard's own window through the Win32 backend: on every page and in both languages,
// each label's text, drawn the way the label draws it, fits the label's box. Pages are shown by
// making their panel the visible one, so the pages the flow cannot reach under Wine (an
// administrator is always one there) are checked as well.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/sim_host.h"
#include "toolkit/std_controls.h"
#include "toolkit/ui_services.h"
#include "toolkit/win32/message_pump.h"
#include "toolkit/win32/win32_backend.h"
#include "win/toolkit/test_form.h"
#include "win32/unique_handle.h"
#include "wizard/installer_form.h"

namespace nv::toolkit::win32::test {
namespace {

class NoUi final : public UiServices {
public:
    void ProcessMessages() override {}
    std::optional<std::string> BrowseForDirectory(const std::string& /*start*/,
                                                  const FolderMaker& /*makeFolder*/) override {
        return std::nullopt;
    }
    void* MainWindowHandle() override { return nullptr; }
};

constexpr const char* kPanels[] = {"pLanguage", "pLicense",   "pInstallpath", "pInstall",
                                   "pSuccess",  "pError",     "pCopyError",   "pAdmin",
                                   "pTempdir",  "pUninstall", "pUnistalling"};

// The columns of a label's box its own painting inks, found by letting the label paint itself
// `extra` pixels wider (on the side its alignment grows to) into a white bitmap. Returns the
// inked columns relative to the box's left edge: ink left of 0 or at or beyond the box's width
// is text the label cuts off at its real size.
struct Ink {
    int left;
    int right;  // one past the last inked column; left == right when nothing is inked
};

Ink PaintedInk(HWND label, int extra) {
    RECT box{};
    GetWindowRect(label, &box);
    MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&box), 2);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const bool growsLeft = (GetWindowLongA(label, GWL_STYLE) & SS_TYPEMASK) == SS_RIGHT;
    const int shift = growsLeft ? extra : 0;
    SetWindowPos(label, nullptr, box.left - shift, box.top, width + extra, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width + extra;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    const UniqueBitmap bitmap(CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    Ink ink{0, 0};
    if (bitmap && bits != nullptr) {
        const HGDIOBJ previous = SelectObject(memory, bitmap.Get());
        RECT all{0, 0, width + extra, height};
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        int first = width + extra;
        int last = -1;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width + extra; ++x) {
                // Text, black or red, shows on the white the label paints as its ground.
                const std::uint32_t pixel =
                    pixels[static_cast<std::size_t>(y) * (width + extra) + x];
                if (std::min({pixel & 0xFFU, (pixel >> 8) & 0xFFU, (pixel >> 16) & 0xFFU}) <
                    0xC0U) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        if (last >= 0) {
            ink = {first - shift, last + 1 - shift};
        }
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    SetWindowPos(label, nullptr, box.left, box.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return ink;
}

// Plain pictures of the sizes the window expects.
wizard::WizardPictures PlainPictures() {
    wizard::WizardPictures pictures;
    pictures.splash = {650, 500, std::vector<std::uint32_t>(650 * 500, 0xFFFFFFFFU)};
    for (Bitmap& step : pictures.steps) {
        step = {110, 145, std::vector<std::uint32_t>(110 * 145, 0)};
    }
    return pictures;
}

TEST(WizardLabels, EveryLabelOfEveryPageFitsItsTextInBothLanguages) {
    host::sim::SimHost host;
    NoUi ui;
    wizard::TfInstaller form(host, ui, PlainPictures());
    Win32Backend backend([](HWND, const std::string& text) { ADD_FAILURE() << text; });
    form.AttachBackend(&backend);
    form.FormCreate();
    int checked = 0;
    for (const int language : {0, 1}) {
        form.rgLanguage->SelectByUser(language);
        for (const char* shown : kPanels) {
            for (const char* panel : kPanels) {
                dynamic_cast<TControl&>(*form.FindComponent(panel))
                    .SetVisible(std::string(panel) == shown);
            }
            Pump();
            const auto& page = dynamic_cast<const TWinControl&>(*form.FindComponent(shown));
            for (const TControl* control : page.Controls()) {
                const auto* label = dynamic_cast<const TLabel*>(control);
                HWND window = label != nullptr ? backend.WindowOf(*label) : nullptr;
                if (window == nullptr || label->Name() == "lbFinish") {
                    continue;  // lbFinish only holds a caption and is never shown
                }
                RECT client{};
                GetClientRect(window, &client);
                const Ink ink = PaintedInk(window, 200);
                const std::string what = std::string(language == 0 ? "English " : "Deutsch ") +
                                         label->Name() + " \"" + label->Caption() + "\"";
                EXPECT_LT(ink.left, ink.right) << what << ": nothing drawn";
                EXPECT_GE(ink.left, 0) << what;
                EXPECT_LE(ink.right, client.right) << what << ": cut off";
                ++checked;
            }
        }
    }
    form.AttachBackend(nullptr);
    EXPECT_GE(checked, 2 * 28);  // every label but lbFinish, twice
}

}  // namespace
}  // namespace nv::toolkit::win32::test
