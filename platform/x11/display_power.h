// The display's power as the X server's DPMS extension reports it, and what
// a change of it means for the saver's windows: a display going to low
// power or off is told as WM_SYSCOMMAND with SC_MONITORPOWER (lParam 1 for
// low power, 2 for off); a display coming back on is told by a paint.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace plat {

// DPMS power levels, numbered as the extension numbers them.
enum : int {
    DPMS_LEVEL_ON = 0,
    DPMS_LEVEL_STANDBY = 1,
    DPMS_LEVEL_SUSPEND = 2,
    DPMS_LEVEL_OFF = 3
};

// One answer of the server.  present: the server has the extension and
// answered; enabled: power management is switched on; level: one of the
// DPMS levels.
struct DpmsReading {
    bool present = false;
    bool enabled = false;
    int level = DPMS_LEVEL_ON;
};

// The monitor power a reading stands for, as SC_MONITORPOWER's lParam:
// 2 off, 1 low power (standby or suspend), -1 on.  A server without the
// extension, with power management switched off or with a level it does
// not name counts as on.
LPARAM MonitorPowerOf(const DpmsReading& reading);

// Follows the readings of one display.  The display counts as on until a
// reading says otherwise, so a saver started on a dark display pauses too.
class MonitorPowerWatch {
public:
    static const int kPollIntervalMs = 500;

    // True when a reading is due at nowMs (the first call, then at most
    // every kPollIntervalMs); a true answer counts as the reading taken.
    bool PollDue(int64_t nowMs);
    // Takes a reading.  True when the windows must hear of it; *power is
    // then the new power: 1 or 2 for a power-down (also from low power to
    // off), -1 when the display came back on.
    bool Update(const DpmsReading& reading, LPARAM* power);

private:
    bool polled_ = false;
    int64_t lastPollMs_ = 0;
    LPARAM power_ = -1;
};

}  // namespace plat
