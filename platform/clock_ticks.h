// Readings of the 32-bit millisecond clocks (the system tick count and the
// process clock).  They wrap every 49.7 days and, read as signed numbers,
// turn negative every 24.8: two readings are compared only through their
// difference, taken here.
#pragma once

#include <cstdint>

namespace plat {

// Milliseconds from earlier to later; negative when later comes first.
// Right for readings less than 24.8 days apart, whatever the clock reads.
inline int32_t TickDiff(uint32_t later, uint32_t earlier) { return (int32_t)(later - earlier); }

// The reading ms milliseconds after tick.
inline int32_t TickAdd(uint32_t tick, int32_t ms) { return (int32_t)(tick + (uint32_t)ms); }

// Whether a clock at now has gone past (or reached) the reading at.
inline bool TickReached(uint32_t now, uint32_t at) { return TickDiff(now, at) >= 0; }

}  // namespace plat
