// A group of emitters placed in a shape, read from a figure file.
#pragma once

#include <cstdint>

#include "fountains/show_limits.h"

class CEmitter;
class CParticleSystem;

class CFigure {
public:
    float cx = 0, cy = 0, rx = 0, ry = 0;
    int32_t emitterCount = 0;
    int32_t fid = 0;
    int32_t figureId = 0;
    CParticleSystem** particleSystems = nullptr;  // [emitterCount], owned
    CEmitter** emitters = nullptr;                // [emitterCount], owned

    CFigure() = default;
    ~CFigure();
    CFigure(const CFigure&) = delete;
    CFigure& operator=(const CFigure&) = delete;

    // Reads "_figures\<fileName>" and builds its emitters at the offsets.
    // A file with more than maxEmitters emitters is not loaded.
    bool Load(const char* fileName, int32_t figureId, double dx, double dy, double dz,
              int32_t maxEmitters = kMaxEmittersPerScript);
    void AllocateEmitters(int32_t count, int32_t figureId);
    void DrawEmitters();
    // Emits, moves and draws every pool: SimulateParticles, then
    // DrawParticles.  Pools are independent, so this draws exactly what
    // emitting, moving and drawing them one by one would.
    void AnimateParticles(int32_t tick);
    // Emits and moves every pool in index order.
    void SimulateParticles(int32_t tick);
    // The particle pass set-up, then every pool's quads in index order.
    void DrawParticles();
};
