#include "platform/x11/display_power.h"

namespace plat {

LPARAM MonitorPowerOf(const DpmsReading& reading) {
    if (!reading.present || !reading.enabled) return -1;
    switch (reading.level) {
    case DPMS_LEVEL_STANDBY:
    case DPMS_LEVEL_SUSPEND:
        return 1;
    case DPMS_LEVEL_OFF:
        return 2;
    default:
        return -1;
    }
}

bool MonitorPowerWatch::PollDue(int64_t nowMs) {
    // A clock that went back (it should not) starts the interval anew.
    if (polled_ && nowMs >= lastPollMs_ && nowMs - lastPollMs_ < kPollIntervalMs) return false;
    polled_ = true;
    lastPollMs_ = nowMs;
    return true;
}

bool MonitorPowerWatch::Update(const DpmsReading& reading, LPARAM* power) {
    const LPARAM now = MonitorPowerOf(reading);
    if (now == power_) return false;
    power_ = now;
    *power = now;
    return true;
}

}  // namespace plat
