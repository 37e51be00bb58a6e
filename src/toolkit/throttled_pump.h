#pragma once
// Lets window messages run during long work on the user-interface thread, by time rather than
// after every unit of work: the work calls Check() after each unit, which lets messages run
// only once kIntervalMs have passed on the services' clock since they last ran. Asking the
// system for messages costs far more than most units of work (a round trip to the window
// system), so the window is kept answering at about 60 times a second and no more often.
//
//   ThrottledPump pump(ui);
//   for (...) { DoOneUnit(); pump.Check(); }
//
// Services without a clock (UiServices::Milliseconds gives nothing) have messages run at every
// Check, as before.

#include <cstdint>
#include <optional>

#include "toolkit/ui_services.h"

namespace nv::toolkit {

class ThrottledPump {
public:
    // At least this many milliseconds lie between two runs of the messages. A clock that moves
    // in steps of about 16 ms (GetTickCount) then lets them run at each of its steps.
    static constexpr std::uint32_t kIntervalMs = 15;

    // The interval starts now: the first Check that lets messages run comes kIntervalMs later.
    explicit ThrottledPump(UiServices& ui);

    // After a unit of work: runs the pending messages when the interval has passed (or when
    // the services have no clock), otherwise returns at once. An error a message handler
    // raises passes through.
    void Check();

private:
    UiServices& ui_;
    std::optional<std::uint32_t> last_;  // when messages last ran, by the services' clock
};

}  // namespace nv::toolkit
