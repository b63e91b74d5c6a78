#include "fountains/particle_system.h"

#include <cmath>
#include <new>

#include "fountains/emitter.h"
#include "fountains/random_draw.h"
#include "platform/clock_ticks.h"
#include "platform/globals.h"

namespace {

const float kGravity = -0.005f;
const int kStartsPerFrame = 3;

}  // namespace

CParticleSystem::CParticleSystem(int32_t particleCount, float px, float py, float pz)
    : x(px), y(py), z(pz), count(particleCount > 0 ? particleCount : 0), particles(nullptr) {
    // A pool that cannot be had is empty rather than the end of the saver.
    particles = new (std::nothrow) CParticle[count]();
    if (!particles) count = 0;
    for (int32_t i = 0; i < count; ++i) {
        particles[i].ay = kGravity;
    }
}

CParticleSystem::~CParticleSystem() { delete[] particles; }

// First free slot at or after index from, or -1.
static int FindFreeFrom(const CParticle* particles, int32_t count, int32_t from) {
    for (int32_t i = from; i < count; ++i)
        if (particles[i].live == 0) return i;
    return -1;
}

int CParticleSystem::FindFreeParticle() const { return FindFreeFrom(particles, count, 0); }

void CParticleSystem::Emit(int32_t tick) {
    if (!emitter || !emitter->Sprays()) return;
    const float jx = emitter->vx, jy = emitter->vy, jz = emitter->vz;
    // Absurd jet parameters can overflow the jet to infinity or no number;
    // such a jet emits nothing.
    if (!std::isfinite(jx) || !std::isfinite(jy) || !std::isfinite(jz)) return;

    const float phi = std::atan2(jy, jx);
    const float cosPhi = std::cos(phi), sinPhi = std::sin(phi);
    // Every slot before the one just taken was live, so the next search can
    // start after it: same result as a scan from index 0.
    int32_t from = 0;
    for (int i = 0; i < kStartsPerFrame; ++i) {
        const int k = FindFreeFrom(particles, count, from);
        if (k == -1) return;
        from = k + 1;
        CParticle& p = particles[k];
        p.birth = tick;
        p.death = plat::TickAdd(tick, PARTICLE_LIFETIME_MS);
        p.x = x + cosPhi * (float)i / 5.0f;
        p.y = y + sinPhi * (float)i / 5.0f;
        p.z = z;
        p.vx = jx;
        p.vy = jy;
        p.vz = jz;
        p.width = (float)RandomBelow(100) / 1000.0f + 0.17f;
        p.height = (float)RandomBelow(100) / 1000.0f + 0.25f;
        p.r = emitter->r;
        p.g = emitter->g;
        p.b = emitter->b;
        p.a = emitter->a;
        p.r += (float)RandomBelow(100) / 1000.0f;
        p.g += (float)RandomBelow(100) / 1000.0f;
        p.b += (float)RandomBelow(100) / 1000.0f;
        p.live = 1;
        p.driftX = -(float)RandomBelow(300) / 10000.0f;
        p.driftY = 0.0f;
        p.driftZ = 0.0f;
    }
}

void CParticleSystem::Move(int32_t tick) {
    int32_t tally = 0;
    int32_t moved = 0;
    for (int32_t i = 0; i < count; ++i) {
        CParticle& p = particles[i];
        p.live = 0;
        if (p.birth == 0 || plat::TickDiff(tick, p.birth) < 0) continue;
        if (p.death != 0 && plat::TickDiff(tick, p.death) > 0) continue;
        if (p.vy < 0.0f && p.y < 0.0f) continue;  // fallen back into the water

        p.live = 1;
        if (p.a > 0.001f) ++tally;
        ++moved;

        p.x += p.vx;
        p.y += p.vy;
        p.z += p.vz;
        p.vx += p.ax;
        p.vy += p.ay;
        p.vz += p.az;

        if (p.vy > 0.0f) {
            p.width += 0.001f;
            p.height += 0.0025f;
        } else {
            p.width += 0.021f;
            p.height += 0.006f;
            p.x += 2.0f * p.driftX;
            if (p.a > 0.0f) p.a -= 0.00378f;
        }
    }
    if (emitter) emitter->liveTally = tally;
    g_frameParticleCount += moved;
}
