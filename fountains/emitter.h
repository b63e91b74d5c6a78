// One nozzle and its timed jet program.
#pragma once

#include <cstdint>

#include "fountains/jet_program.h"

// The program a command gave it is its JetProgram part.
class CEmitter : public JetProgram {
public:
    int32_t start = 0;     // start of the current cycle (tick); 0 = idle
    int32_t end = 0;       // end of the current cycle (tick)
    int32_t duration = 0;  // ms of one cycle
    float x = 0, y = 0, z = 0;
    int32_t direction = 1;
    float r = 1.0f, g = 180.0f / 255.0f, b = 128.0f / 255.0f, a = 90.0f / 255.0f;
    int32_t liveTally = 0;
    float vx = 0, vy = 0, vz = 0;  // jet velocity handed to new particles

    CEmitter() = default;
    CEmitter(float px, float py, float pz) : x(px), y(py), z(pz) {}

    // Advances the jet program to tick and recomputes the jet velocity.
    void UpdateJet(int32_t tick);
    bool IsActive() const { return start != 0; }
    // Whether the jet velocity is enough for the pool to emit.
    bool Sprays() const;
    // Source splash and tube (needs a current GL context).
    void Draw();
};
