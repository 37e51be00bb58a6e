#include "toolkit/throttled_pump.h"

namespace nv::toolkit {

ThrottledPump::ThrottledPump(UiServices& ui) : ui_(ui), last_(ui.Milliseconds()) {}

void ThrottledPump::Check() {
    if (last_) {
        const std::optional<std::uint32_t> now = ui_.Milliseconds();
        // Unsigned difference: right across the clock's wrap-around.
        if (now && static_cast<std::uint32_t>(*now - *last_) < kIntervalMs) {
            return;
        }
    }
    ui_.ProcessMessages();
    // Counted from the end of the run, so that slow handlers (a repaint) do not bring the
    // next run forward.
    last_ = ui_.Milliseconds();
}

}  // namespace nv::toolkit
