// A fixed pool of water drops fed by one emitter.
#pragma once

#include <cstdint>

class CEmitter;

struct CParticle {
    float x, y, z;
    float vx, vy, vz;
    float ax, ay, az;
    float driftX, driftY, driftZ;
    float r, g, b, a;
    int32_t birth;  // 0 = never emitted
    int32_t death;  // 0 = no limit
    int32_t live;
    float width, height;
};

enum { PARTICLES_PER_POOL = 1000, PARTICLE_LIFETIME_MS = 9000 };

class CParticleSystem {
public:
    float x, y, z;
    int32_t count;
    CParticle* particles;
    CEmitter* emitter = nullptr;  // not owned

    CParticleSystem(int32_t particleCount, float px, float py, float pz);
    ~CParticleSystem();
    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    void Emit(int32_t tick);
    void Move(int32_t tick);
    int FindFreeParticle() const;
    // Live particles as quads (needs a current GL context and the particle
    // pass set up).
    void Draw();
};
