#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/particle_system.h"
#include "render/rendering.h"
#include "tests/support/allocation_counter.h"

namespace {

// An emitter with a fixed jet and its pool at the same position.
struct Fountain {
    CEmitter emitter;
    CParticleSystem pool;
    Fountain(float x, float y, float z, int32_t count = PARTICLES_PER_POOL)
        : emitter(x, y, z), pool(count, x, y, z) {
        pool.emitter = &emitter;
    }
    void Jet(float vx, float vy, float vz) { emitter.vx = vx, emitter.vy = vy, emitter.vz = vz; }
    int LiveCount() const {
        int n = 0;
        for (int i = 0; i < pool.count; ++i) n += pool.particles[i].live != 0;
        return n;
    }
};

// A live particle placed by hand.
void Place(CParticle& p, float x, float y, float vx, float vy, float a, int32_t birth) {
    p.x = x, p.y = y, p.z = 0.0f;
    p.vx = vx, p.vy = vy, p.vz = 0.0f;
    p.r = p.g = p.b = 1.0f;
    p.a = a;
    p.width = 0.2f, p.height = 0.3f;
    p.driftX = -0.01f, p.driftY = p.driftZ = 0.0f;
    p.birth = birth;
    p.death = birth + PARTICLE_LIFETIME_MS;
    p.live = 1;
}

TEST(ParticlePool, NewPoolIsFreeWithGravityOnly) {
    CParticleSystem pool(PARTICLES_PER_POOL, 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(nullptr, pool.emitter);
    EXPECT_EQ(0, pool.FindFreeParticle());
    for (int i = 0; i < pool.count; ++i) {
        EXPECT_EQ(0, pool.particles[i].birth);
        EXPECT_EQ(0, pool.particles[i].live);
        EXPECT_EQ(0.0f, pool.particles[i].ax);
        EXPECT_EQ(-0.005f, pool.particles[i].ay);
        EXPECT_EQ(0.0f, pool.particles[i].az);
    }
    // Without an emitter nothing is emitted, and moving moves nothing.
    pool.Emit(100);
    g_frameParticleCount = 0;
    pool.Move(100);
    EXPECT_EQ(0, g_frameParticleCount);
    EXPECT_EQ(0, pool.FindFreeParticle());
}

TEST(ParticleEmission, FreshEmitterEmitsNothing) {
    Fountain f(0.0f, 0.0f, 0.0f);
    f.emitter.UpdateJet(1000);
    f.pool.Emit(1000);
    g_frameParticleCount = 0;
    f.pool.Move(1000);
    EXPECT_EQ(0, f.LiveCount());
    EXPECT_EQ(0, g_frameParticleCount);
    EXPECT_EQ(0, f.emitter.liveTally);
}

TEST(ParticleEmission, OnlyTheXYPartOfTheJetDecides) {
    Fountain zOnly(0.0f, 0.0f, 0.0f);
    zOnly.Jet(0.0f, 0.0f, 0.5f);
    zOnly.pool.Emit(10);
    EXPECT_EQ(0, zOnly.LiveCount());

    Fountain tiny(0.0f, 0.0f, 0.0f);
    tiny.Jet(0.0001f, -0.0001f, 0.0f);  // the threshold is strict
    tiny.pool.Emit(10);
    EXPECT_EQ(3, tiny.LiveCount());

    Fountain along(1.0f, 2.0f, 3.0f);
    along.Jet(0.0002f, 0.0f, 0.0f);
    along.pool.Emit(10);
    ASSERT_EQ(3, along.LiveCount());
    for (int i = 0; i < 3; ++i) {
        const CParticle& p = along.pool.particles[i];
        EXPECT_FLOAT_EQ(1.0f + 0.2f * i, p.x) << i;
        EXPECT_EQ(2.0f, p.y) << i;
        EXPECT_EQ(3.0f, p.z) << i;
    }
}

TEST(ParticleEmission, SetsEveryValueWithJitterInDrawOrder) {
    Fountain f(1.0f, 0.5f, -2.0f);
    f.Jet(0.0f, 0.2f, 0.01f);  // straight up
    f.emitter.r = 0.5f, f.emitter.g = 0.25f, f.emitter.b = 0.125f, f.emitter.a = 0.75f;
    f.pool.particles[1].live = 1;  // taken: the second particle goes to slot 2

    const unsigned seed = 321;
    std::srand(seed);
    f.pool.Emit(7000);

    std::srand(seed);
    const int slots[3] = {0, 2, 3};
    for (int i = 0; i < 3; ++i) {
        const CParticle& p = f.pool.particles[slots[i]];
        const float w = (float)(std::rand() % 100) / 1000.0f + 0.17f;
        const float h = (float)(std::rand() % 100) / 1000.0f + 0.25f;
        const float r = 0.5f + (float)(std::rand() % 100) / 1000.0f;
        const float g = 0.25f + (float)(std::rand() % 100) / 1000.0f;
        const float b = 0.125f + (float)(std::rand() % 100) / 1000.0f;
        const float drift = -(float)(std::rand() % 300) / 10000.0f;
        EXPECT_EQ(7000, p.birth);
        EXPECT_EQ(16000, p.death);
        EXPECT_EQ(1, p.live);
        EXPECT_NEAR(1.0f, p.x, 1e-6f);
        EXPECT_FLOAT_EQ(0.5f + 0.2f * i, p.y);
        EXPECT_EQ(-2.0f, p.z);
        EXPECT_EQ(0.0f, p.vx);
        EXPECT_EQ(0.2f, p.vy);
        EXPECT_EQ(0.01f, p.vz);
        EXPECT_EQ(w, p.width);
        EXPECT_EQ(h, p.height);
        EXPECT_EQ(r, p.r);
        EXPECT_EQ(g, p.g);
        EXPECT_EQ(b, p.b);
        EXPECT_EQ(0.75f, p.a);
        EXPECT_EQ(drift, p.driftX);
        EXPECT_EQ(0.0f, p.driftY);
        EXPECT_EQ(0.0f, p.driftZ);
        EXPECT_EQ(-0.005f, p.ay);
    }
    EXPECT_EQ(0, f.pool.particles[4].birth);
}

TEST(ParticleEmission, FullPoolStartsNothingUntilASlotIsFreed) {
    Fountain f(0.0f, 0.0f, 0.0f);
    f.Jet(0.0f, 0.3f, 0.0f);
    for (int frame = 0; frame < PARTICLES_PER_POOL / 3 + 1; ++frame) f.pool.Emit(100);
    ASSERT_EQ(PARTICLES_PER_POOL, f.LiveCount());
    EXPECT_EQ(-1, f.pool.FindFreeParticle());

    std::srand(8);
    const int next = std::rand();
    std::srand(8);
    f.pool.particles[999].birth = 55;
    f.pool.Emit(200);
    EXPECT_EQ(55, f.pool.particles[999].birth);
    EXPECT_EQ(next, std::rand());  // nothing drawn for a full pool

    f.pool.particles[500].live = 0;
    EXPECT_EQ(500, f.pool.FindFreeParticle());
    f.pool.Emit(300);
    EXPECT_EQ(300, f.pool.particles[500].birth);
    EXPECT_EQ(-1, f.pool.FindFreeParticle());
}

TEST(ParticleMotion, FirstStepMovesByTheJetThenAddsGravity) {
    Fountain f(2.0f, 0.0f, 1.0f);
    f.Jet(0.01f, 0.2f, -0.03f);
    f.pool.Emit(500);
    const CParticle before = f.pool.particles[0];
    f.pool.Move(500);
    const CParticle& p = f.pool.particles[0];
    EXPECT_EQ(before.x + 0.01f, p.x);
    EXPECT_EQ(before.y + 0.2f, p.y);
    EXPECT_EQ(before.z + -0.03f, p.z);
    EXPECT_EQ(0.2f + -0.005f, p.vy);
    EXPECT_EQ(0.01f, p.vx);
    // Rising: slow growth, no drift, alpha kept.
    EXPECT_EQ(before.width + 0.001f, p.width);
    EXPECT_EQ(before.height + 0.0025f, p.height);
    EXPECT_EQ(before.a, p.a);
}

TEST(ParticleMotion, FallingParticlesSpreadDriftAndFade) {
    CEmitter e;
    CParticleSystem pool(2, 0.0f, 0.0f, 0.0f);
    pool.emitter = &e;
    Place(pool.particles[0], 1.0f, 5.0f, 0.0f, 0.004f, 0.5f, 10);  // at the top
    Place(pool.particles[1], 1.0f, 5.0f, 0.0f, 0.0f, 0.002f, 10);  // fading out
    pool.Move(20);
    const CParticle& p = pool.particles[0];
    EXPECT_EQ(1.0f + 2.0f * -0.01f, p.x);
    EXPECT_EQ(0.2f + 0.021f, p.width);
    EXPECT_EQ(0.3f + 0.006f, p.height);
    EXPECT_EQ(0.5f - 0.00378f, p.a);
    // Alpha goes a little below zero and stays there.
    const CParticle& q = pool.particles[1];
    EXPECT_EQ(0.002f - 0.00378f, q.a);
    pool.Move(30);
    EXPECT_EQ(0.002f - 0.00378f, q.a);
    EXPECT_EQ(1, q.live);
}

TEST(ParticleMotion, LifetimeEndsNineSecondsAfterEmission) {
    Fountain f(0.0f, 0.0f, 0.0f);
    f.Jet(0.0f, 0.5f, 0.0f);
    f.pool.Emit(1000);
    f.pool.Move(1000);
    f.pool.Move(10000);  // T + 9000: still moved
    EXPECT_EQ(3, f.LiveCount());
    const CParticle kept = f.pool.particles[0];
    g_frameParticleCount = 0;
    f.pool.Move(10001);
    EXPECT_EQ(0, f.LiveCount());
    EXPECT_EQ(0, g_frameParticleCount);
    EXPECT_EQ(0, std::memcmp(&kept.x, &f.pool.particles[0].x, sizeof(float) * 16));
    EXPECT_EQ(0, f.pool.FindFreeParticle());
}

TEST(ParticleMotion, NotMovedBeforeItsBirthTick) {
    CEmitter e;
    CParticleSystem pool(1, 0.0f, 0.0f, 0.0f);
    pool.emitter = &e;
    Place(pool.particles[0], 0.0f, 1.0f, 0.0f, 0.1f, 0.5f, 5000);
    pool.Move(4999);
    EXPECT_EQ(0, pool.particles[0].live);
    EXPECT_EQ(1.0f, pool.particles[0].y);
}

TEST(ParticleMotion, BelowTheWaterOnlyFallingParticlesAreFreed) {
    CEmitter e;
    CParticleSystem pool(3, 0.0f, 0.0f, 0.0f);
    pool.emitter = &e;
    Place(pool.particles[0], 0.0f, -0.5f, 0.0f, 0.1f, 0.5f, 10);   // rising from below
    Place(pool.particles[1], 0.0f, -0.1f, 0.0f, -0.1f, 0.5f, 10);  // falling below
    Place(pool.particles[2], 0.0f, 0.05f, 0.0f, -0.1f, 0.5f, 10);  // about to cross
    g_frameParticleCount = 0;
    pool.Move(20);
    EXPECT_EQ(1, pool.particles[0].live);
    EXPECT_EQ(-0.5f + 0.1f, pool.particles[0].y);
    EXPECT_EQ(0, pool.particles[1].live);
    EXPECT_EQ(-0.1f, pool.particles[1].y);
    // The crossing one is moved (and drawn) once below the plane...
    EXPECT_EQ(1, pool.particles[2].live);
    EXPECT_LT(pool.particles[2].y, 0.0f);
    EXPECT_EQ(2, g_frameParticleCount);
    // ...and freed on the next pass.
    pool.Move(30);
    EXPECT_EQ(0, pool.particles[2].live);
    EXPECT_EQ(1, pool.FindFreeParticle());
}

TEST(ParticleMotion, LiveTallyCountsOnlyVisibleParticlesAndFrameCountAccumulates) {
    CEmitter e;
    e.liveTally = 77;
    CParticleSystem pool(4, 0.0f, 0.0f, 0.0f);
    pool.emitter = &e;
    Place(pool.particles[0], 0.0f, 1.0f, 0.0f, 0.1f, 0.001f, 10);
    Place(pool.particles[1], 0.0f, 1.0f, 0.0f, 0.1f, 0.0011f, 10);
    Place(pool.particles[2], 0.0f, 1.0f, 0.0f, 0.1f, -0.002f, 10);
    g_frameParticleCount = 5;
    pool.Move(20);
    EXPECT_EQ(1, e.liveTally);
    EXPECT_EQ(5 + 3, g_frameParticleCount);
    EXPECT_EQ(1, pool.particles[0].live);
    EXPECT_EQ(1.0f + 0.1f, pool.particles[0].y);
    pool.Move(21000);  // all expired
    EXPECT_EQ(0, e.liveTally);
}

// FNV-1a over raw bytes.
uint64_t Hash(const void* data, size_t size, uint64_t h) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

// A few hundred frames of three fountains running all three programs.
struct Show {
    std::vector<std::unique_ptr<Fountain>> fountains;
    int frame = 0;
    Show() {
        fountains.emplace_back(new Fountain(-3.0f, 0.2f, -1.0f));
        fountains.emplace_back(new Fountain(0.5f, 0.0f, 2.0f));
        fountains.emplace_back(new Fountain(4.0f, 0.1f, -3.0f));
        CEmitter& sweep = fountains[0]->emitter;
        sweep.EType = JET_SWEEP;
        sweep.start = 1100, sweep.duration = 700, sweep.end = 1800, sweep.cycles = 3;
        sweep.vx1 = -0.05f, sweep.vy1 = 0.12f, sweep.vz1 = 0.0f;
        sweep.vx2 = 0.05f, sweep.vy2 = 0.2f, sweep.vz2 = 0.02f;
        CEmitter& swing = fountains[1]->emitter;
        swing.EType = JET_SWING;
        swing.start = 1000, swing.duration = 900, swing.end = 1900, swing.cycles = 2;
        swing.vx1 = 0.03f, swing.vy1 = 0.25f, swing.vz1 = -0.01f;
        swing.vx2 = -0.04f, swing.vy2 = 0.15f, swing.vz2 = 0.01f;
        CEmitter& arc = fountains[2]->emitter;
        arc.EType = JET_ARC;
        arc.start = 1300, arc.duration = 1200, arc.end = 2500, arc.cycles = 2;
        arc.Angle1 = 30.0f, arc.Angle2 = 150.0f;
        arc.Power = 0.15f, arc.YPowerK = 1.2f;
        arc.centerX = 1.0f, arc.centerY = -2.0f;
    }
    // Plays the next frames, 11 ms apart; returns the particles moved.
    long Run(int frames) {
        long moved = 0;
        for (int n = 0; n < frames; ++n, ++frame) {
            const int32_t tick = 1000 + frame * 11;
            g_frameParticleCount = 0;
            for (auto& f : fountains) f->emitter.UpdateJet(tick);
            for (auto& f : fountains) {
                f->pool.Emit(tick);
                f->pool.Move(tick);
            }
            moved += g_frameParticleCount;
        }
        return moved;
    }
};

// The state after 400 frames from a fixed seed.
uint64_t StateAfterFramesFromSeed(long* moved) {
    std::srand(20240601);
    Show show;
    *moved = show.Run(400);
    uint64_t h = 1469598103934665603ull;
    for (auto& f : show.fountains) {
        h = Hash(f->pool.particles, sizeof(CParticle) * f->pool.count, h);
        const float jet[3] = {f->emitter.vx, f->emitter.vy, f->emitter.vz};
        h = Hash(jet, sizeof jet, h);
        h = Hash(&f->emitter.liveTally, sizeof f->emitter.liveTally, h);
    }
    return Hash(moved, sizeof *moved, h);
}

TEST(ParticleDeterminism, FixedSeedGivesTheRecordedState) {
    long moved = 0, movedAgain = 0;
    const uint64_t h = StateAfterFramesFromSeed(&moved);
    EXPECT_EQ(h, StateAfterFramesFromSeed(&movedAgain));
    EXPECT_GT(moved, 0);
    // Recorded from this implementation with glibc's generator (Windows'
    // C runtime draws another sequence); a change in the order of the
    // random draws or in the arithmetic changes it.
    if (RAND_MAX == 0x7FFFFFFF) {
        EXPECT_EQ(0x5029a68094422fdfull, h) << std::hex << "0x" << h;
    }
}

TEST(ParticleAllocation, FramesOfJetEmitAndMoveAllocateNothing) {
    {
        AllocationCounter counter;  // the counter itself sees allocations
        int* volatile probe = new int(1);
        delete probe;
        ASSERT_EQ(1u, counter.count());
    }
    std::srand(1);
    Show show;
    show.Run(50);
    AllocationCounter counter;
    const long moved = show.Run(300);
    EXPECT_EQ(0u, counter.count());
    EXPECT_GT(moved, 1000);
}

}  // namespace
