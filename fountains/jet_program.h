// What a command sets a jet to do: the two velocities it moves between, how
// it moves between them, for how many cycles, and the aim of an arc.
#pragma once

#include <cstdint>

enum { JET_SWEEP = 0, JET_SWING = 1, JET_ARC = 2 };

// The defaults are an idle emitter's; a command has its own
// (CActionCommand).
struct JetProgram {
    float vx1 = 0, vy1 = 0, vz1 = 0;  // V1
    float vx2 = 0, vy2 = 0, vz2 = 0;  // V2
    int32_t EType = JET_SWEEP;
    int32_t cycles = 1;
    int32_t stop = 0;
    float centerX = 0, centerY = 0;  // where an arc aims
    float Angle1 = 0, Angle2 = 0;    // an arc's angles, degrees
    float YPowerK = 0;               // an arc's vertical share
    float Power = 0;                 // an arc's speed
};
