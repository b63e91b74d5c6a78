#include "fountains/emitter.h"

#include <cmath>

#include "fountains/random_draw.h"
#include "platform/clock_ticks.h"

using plat::TickAdd;
using plat::TickDiff;

namespace {

const float kDegreesToRadians = 3.14159265358979f / 180.0f;

}  // namespace

bool CEmitter::Sprays() const { return !(std::fabs(vx) < 0.0001f && std::fabs(vy) < 0.0001f); }

void CEmitter::UpdateJet(int32_t tick) {
    if (start == 0 || TickDiff(tick, start) < 0) return;

    if (TickDiff(tick, end) > 0) {
        if (cycles > 0) --cycles;
        if (cycles <= 0) {
            // The program has run out.  A sweep keeps spraying at its last
            // velocity and stays active; swing and arc fall idle.
            if (EType == JET_SWING || EType == JET_ARC) {
                start = 0;
                vx = vy = vz = 0.0f;
            }
            return;
        }
        start = tick;
        end = TickAdd(tick, duration);
        if (EType == JET_SWING || EType == JET_ARC) direction = -direction;
    }

    // Position within the cycle, 0 at its start and 1 at its end.  A cycle of
    // no length is taken as already complete.
    const int32_t span = TickDiff(end, start);
    float t = span == 0 ? 1.0f : (float)TickDiff(tick, start) / (float)span;
    if ((EType == JET_SWING || EType == JET_ARC) && direction == -1) t = 1.0f - t;

    switch (EType) {
    case JET_SWEEP:
        vx = vx1 + (vx2 - vx1) * t;
        vy = vy1 + (vy2 - vy1) * t;
        vz = vz1 + (vz2 - vz1) * t;
        vx += (float)RandomBelow(200) / 100000.0f;
        vy += (float)RandomBelow(300) / 100000.0f;
        vz += (float)RandomBelow(300) / 100000.0f;
        break;
    case JET_SWING:
        vx = vx1 + (vx2 - vx1) * t;
        vy = vy1 + (vy2 - vy1) * t;
        vz = vz1 + (vz2 - vz1) * t;
        break;
    case JET_ARC: {
        // The horizontal part points at (centerX, centerY) and is divided by
        // the nozzle's distance from the world origin.  A nozzle at the
        // origin has no such distance; there the distance to the aim point
        // is used instead, so the horizontal speed is Power * cos(theta), as
        // it is for any nozzle aiming at the origin.  With the aim point at
        // the nozzle as well there is no horizontal direction at all.
        float d = std::sqrt(x * x + z * z);
        if (d == 0.0f) {
            const float dx = centerX - x, dz = centerY - z;
            d = std::sqrt(dx * dx + dz * dz);
            if (d == 0.0f) d = 1.0f;
        }
        const float theta = (Angle1 + (Angle2 - Angle1) * t) * kDegreesToRadians;
        const float c = std::cos(theta);
        const float s = std::sin(theta);
        vx = (float)RandomBelow(300) / 100000.0f + (centerX - x) * c * Power / d;
        vy = s * YPowerK * Power + (float)RandomBelow(300) / 100000.0f;
        vz = (float)RandomBelow(300) / 100000.0f + (centerY - z) * c * Power / d;
        break;
    }
    default:
        break;  // unknown program: the jet keeps its velocity
    }
}
