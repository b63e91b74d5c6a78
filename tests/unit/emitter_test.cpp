#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "fountains/emitter.h"

namespace {

// A program as a command would write it.
void Program(CEmitter& e, int type, int32_t start, int32_t duration, int32_t cycles) {
    e.EType = type;
    e.start = start;
    e.end = start + duration;
    e.duration = duration;
    e.cycles = cycles;
    e.direction = 1;
}

void SetVelocities(CEmitter& e, float x1, float y1, float z1, float x2, float y2, float z2) {
    e.vx1 = x1, e.vy1 = y1, e.vz1 = z1;
    e.vx2 = x2, e.vy2 = y2, e.vz2 = z2;
}

// Replays the generator from a seed to predict the jitter a step drew.
struct RandReplay {
    explicit RandReplay(unsigned seed) { std::srand(seed); }
    float Jitter(int n, float scale) { return (float)(std::rand() % n) / scale; }
};

TEST(EmitterJet, FreshEmitterIsIdleWithTheDefaultColourAndNoJet) {
    CEmitter e(1.0f, 2.0f, 3.0f);
    EXPECT_FALSE(e.IsActive());
    EXPECT_EQ(1, e.cycles);
    EXPECT_EQ(1, e.direction);
    EXPECT_FLOAT_EQ(1.0f, e.r);
    EXPECT_EQ(0.70588237f, e.g);
    EXPECT_EQ(0.50196081f, e.b);
    EXPECT_EQ(0.35294119f, e.a);
    for (int32_t tick : {0, 1, 5000, -7}) {
        e.UpdateJet(tick);
        EXPECT_EQ(0.0f, e.vx);
        EXPECT_EQ(0.0f, e.vy);
        EXPECT_EQ(0.0f, e.vz);
    }
}

TEST(EmitterJet, SweepRunsEachCycleFromV1ToV2WithJitterInDrawOrder) {
    CEmitter e;
    SetVelocities(e, 0.0f, 0.1f, -0.2f, 0.2f, 0.3f, 0.2f);
    Program(e, JET_SWEEP, 1000, 1000, 2);

    const unsigned seed = 4242;
    std::srand(seed);
    e.UpdateJet(1000);
    e.UpdateJet(1500);
    float v1500[3] = {e.vx, e.vy, e.vz};
    e.UpdateJet(2000);
    float v2000[3] = {e.vx, e.vy, e.vz};

    RandReplay r(seed);
    r.Jitter(200, 1e5f), r.Jitter(300, 1e5f), r.Jitter(300, 1e5f);
    float t = 0.5f;
    EXPECT_EQ(0.0f + (0.2f - 0.0f) * t + r.Jitter(200, 100000.0f), v1500[0]);
    EXPECT_EQ(0.1f + (0.3f - 0.1f) * t + r.Jitter(300, 100000.0f), v1500[1]);
    EXPECT_EQ(-0.2f + (0.2f - -0.2f) * t + r.Jitter(300, 100000.0f), v1500[2]);
    EXPECT_EQ(0.2f + r.Jitter(200, 100000.0f), v2000[0]);
    EXPECT_EQ(0.3f + r.Jitter(300, 100000.0f), v2000[1]);
    EXPECT_EQ(0.2f + r.Jitter(300, 100000.0f), v2000[2]);

    // The second cycle starts forward again from V1.
    e.UpdateJet(2001);
    EXPECT_EQ(2001, e.start);
    EXPECT_EQ(3001, e.end);
    EXPECT_EQ(1, e.cycles);
    EXPECT_GE(e.vx, 0.0f);
    EXPECT_LT(e.vx, 0.002f);
    EXPECT_GE(e.vy, 0.1f);
    EXPECT_LT(e.vy, 0.103f);

    // After the last cycle the jet stays at its last velocity, jitter and
    // all, and the emitter remains active.
    e.UpdateJet(3001);
    const float last[3] = {e.vx, e.vy, e.vz};
    EXPECT_NEAR(0.2f, last[0], 0.002f);
    for (int32_t tick = 3002; tick < 20000; tick += 997) {
        e.UpdateJet(tick);
        EXPECT_TRUE(e.IsActive());
        EXPECT_EQ(last[0], e.vx);
        EXPECT_EQ(last[1], e.vy);
        EXPECT_EQ(last[2], e.vz);
    }
    EXPECT_EQ(0, e.cycles);
}

TEST(EmitterJet, SwingRunsThereAndBackThenFallsIdleWithoutJitter) {
    CEmitter e;
    SetVelocities(e, 0.0f, 0.1f, 0.0f, 0.2f, 0.3f, -0.4f);
    Program(e, JET_SWING, 1000, 1000, 2);

    std::srand(99);
    const int expectedNext = std::rand();
    std::srand(99);

    e.UpdateJet(1000);
    EXPECT_EQ(0.0f, e.vx);
    EXPECT_EQ(0.1f, e.vy);
    e.UpdateJet(1250);
    EXPECT_EQ(0.0f + 0.2f * 0.25f, e.vx);
    EXPECT_EQ(0.0f + -0.4f * 0.25f, e.vz);
    e.UpdateJet(2000);
    EXPECT_EQ(0.2f, e.vx);
    EXPECT_EQ(0.3f, e.vy);
    EXPECT_EQ(-0.4f, e.vz);

    // Backward cycle: starts at V2 and ends at V1.
    e.UpdateJet(2001);
    EXPECT_EQ(-1, e.direction);
    EXPECT_EQ(0.2f, e.vx);
    EXPECT_EQ(0.3f, e.vy);
    e.UpdateJet(2751);
    EXPECT_EQ(0.0f + 0.2f * (1.0f - 0.75f), e.vx);
    e.UpdateJet(3001);
    EXPECT_EQ(0.0f, e.vx);
    EXPECT_EQ(0.1f, e.vy);
    EXPECT_EQ(0.0f, e.vz);
    EXPECT_TRUE(e.IsActive());

    e.UpdateJet(3002);
    EXPECT_FALSE(e.IsActive());
    EXPECT_EQ(0.0f, e.vx);
    EXPECT_EQ(0.0f, e.vy);
    EXPECT_EQ(0.0f, e.vz);
    // No random values were drawn by the whole program.
    EXPECT_EQ(expectedNext, std::rand());
}

// The tick at which a swing with the given cycles falls idle.
int32_t IdleTickOfSwing(int32_t cycles) {
    CEmitter e;
    SetVelocities(e, 0.1f, 0.1f, 0.0f, 0.2f, 0.2f, 0.0f);
    Program(e, JET_SWING, 100, 1000, cycles);
    for (int32_t tick = 100; tick < 100000; tick += 10) {
        e.UpdateJet(tick);
        if (!e.IsActive()) return tick;
    }
    return -1;
}

TEST(EmitterJet, CyclesOfOneZeroOrNegativeRunExactlyOneCycle) {
    EXPECT_EQ(1110, IdleTickOfSwing(1));
    EXPECT_EQ(1110, IdleTickOfSwing(0));
    EXPECT_EQ(1110, IdleTickOfSwing(-3));
    // Further cycles start 10 ms after the previous end (the next frame).
    EXPECT_EQ(2120, IdleTickOfSwing(2));
    EXPECT_EQ(3130, IdleTickOfSwing(3));
}

TEST(EmitterJet, BeforeItsStartTickTheEmitterKeepsItsJet) {
    CEmitter e;
    e.vx = 0.05f, e.vy = 0.25f, e.vz = -0.01f;  // left by an earlier program
    SetVelocities(e, 0.0f, 0.5f, 0.0f, 0.0f, 0.5f, 0.0f);
    Program(e, JET_SWING, 5000, 1000, 1);
    e.UpdateJet(4000);
    e.UpdateJet(4999);
    EXPECT_EQ(0.05f, e.vx);
    EXPECT_EQ(0.25f, e.vy);
    EXPECT_EQ(-0.01f, e.vz);
    EXPECT_TRUE(e.IsActive());
    e.UpdateJet(5000);
    EXPECT_EQ(0.0f, e.vx);
    EXPECT_EQ(0.5f, e.vy);
}

TEST(EmitterJet, ArcAtNinetyDegreesSpraysStraightUp) {
    CEmitter e(3.0f, 0.0f, 4.0f);
    Program(e, JET_ARC, 10, 500, 1);
    e.Angle1 = e.Angle2 = 90.0f;
    e.Power = 0.2f;
    e.YPowerK = 1.5f;
    e.centerX = -7.0f;
    e.centerY = 2.0f;
    const unsigned seed = 17;
    std::srand(seed);
    e.UpdateJet(300);
    RandReplay r(seed);
    const float jx = r.Jitter(300, 100000.0f), jy = r.Jitter(300, 100000.0f),
                jz = r.Jitter(300, 100000.0f);
    EXPECT_NEAR(jx, e.vx, 1e-6f);
    EXPECT_NEAR(0.2f * 1.5f + jy, e.vy, 1e-6f);
    EXPECT_NEAR(jz, e.vz, 1e-6f);
}

TEST(EmitterJet, ArcScalesTheHorizontalJetByTheDistanceFromTheOrigin) {
    CEmitter e(3.0f, 1.0f, 4.0f);  // 5 from the origin
    Program(e, JET_ARC, 10, 500, 1);
    e.Angle1 = e.Angle2 = 0.0f;
    e.Power = 0.5f;
    e.YPowerK = 2.0f;
    e.UpdateJet(10);
    // Aimed at the origin: length Power, pointing at it.
    EXPECT_NEAR(-0.3f, e.vx, 0.003f);
    EXPECT_NEAR(0.0f, e.vy, 0.003f);
    EXPECT_NEAR(-0.4f, e.vz, 0.003f);

    // Aimed at (9, 12), 10 away from the nozzle: twice the length.
    e.centerX = 9.0f;
    e.centerY = 12.0f;
    e.UpdateJet(10);
    EXPECT_NEAR(0.6f, e.vx, 0.003f);
    EXPECT_NEAR(0.8f, e.vz, 0.003f);

    // 180 degrees: away from the aim point; the angle follows t.
    e.Angle2 = 180.0f;
    e.UpdateJet(510);
    EXPECT_NEAR(-0.6f, e.vx, 0.003f);
    EXPECT_NEAR(-0.8f, e.vz, 0.003f);
}

TEST(EmitterJet, ArcSwingsItsAngleBackOnTheSecondCycleAndThenStops) {
    CEmitter e(0.0f, 0.0f, 2.0f);
    Program(e, JET_ARC, 1000, 1000, 2);
    e.Angle1 = 0.0f;
    e.Angle2 = 90.0f;
    e.Power = 1.0f;
    e.YPowerK = 1.0f;
    e.UpdateJet(2000);
    EXPECT_NEAR(1.0f, e.vy, 0.003f);
    e.UpdateJet(2001);  // backward: starts at Angle2
    EXPECT_NEAR(1.0f, e.vy, 0.003f);
    e.UpdateJet(3001);
    EXPECT_NEAR(0.0f, e.vy, 0.003f);
    EXPECT_NEAR(-1.0f, e.vz, 0.003f);
    e.UpdateJet(3002);
    EXPECT_FALSE(e.IsActive());
    EXPECT_EQ(0.0f, e.vx);
    EXPECT_EQ(0.0f, e.vy);
    EXPECT_EQ(0.0f, e.vz);
}

TEST(EmitterJet, ArcAtTheOriginStaysFinite) {
    CEmitter e(0.0f, 0.5f, 0.0f);
    Program(e, JET_ARC, 10, 500, 1);
    e.Angle1 = e.Angle2 = 0.0f;
    e.Power = 0.5f;
    e.YPowerK = 1.0f;
    e.centerX = 3.0f;
    e.centerY = 4.0f;
    e.UpdateJet(100);
    ASSERT_TRUE(std::isfinite(e.vx) && std::isfinite(e.vy) && std::isfinite(e.vz));
    // Horizontal speed Power towards the aim point.
    EXPECT_NEAR(0.3f, e.vx, 0.003f);
    EXPECT_NEAR(0.4f, e.vz, 0.003f);

    // Aim point on the nozzle too: no horizontal direction, only jitter.
    e.centerX = e.centerY = 0.0f;
    e.UpdateJet(200);
    ASSERT_TRUE(std::isfinite(e.vx) && std::isfinite(e.vy) && std::isfinite(e.vz));
    EXPECT_NEAR(0.0f, e.vx, 0.003f);
    EXPECT_NEAR(0.0f, e.vz, 0.003f);
}

TEST(EmitterJet, ZeroDurationCycleIsTakenAsComplete) {
    for (int type : {JET_SWEEP, JET_SWING, JET_ARC}) {
        CEmitter e(1.0f, 0.0f, 1.0f);
        SetVelocities(e, 0.0f, 0.1f, 0.0f, 0.4f, 0.3f, 0.0f);
        e.Angle1 = 0.0f;
        e.Angle2 = 90.0f;
        e.Power = 0.3f;
        e.YPowerK = 1.0f;
        Program(e, type, 500, 0, 2);
        e.UpdateJet(500);
        ASSERT_TRUE(std::isfinite(e.vx) && std::isfinite(e.vy) && std::isfinite(e.vz))
            << "type " << type;
        // t = 1: V2 for sweep and swing, Angle2 for arc.
        EXPECT_NEAR(0.3f, e.vy, 0.003f) << "type " << type;
        e.UpdateJet(501);  // second cycle, also of no length
        ASSERT_TRUE(std::isfinite(e.vx) && std::isfinite(e.vy)) << "type " << type;
    }
}

TEST(EmitterJet, UnknownProgramFreezesTheJet) {
    CEmitter e;
    e.vx = 0.1f, e.vy = 0.2f, e.vz = 0.3f;
    SetVelocities(e, 1.0f, 1.0f, 1.0f, 2.0f, 2.0f, 2.0f);
    Program(e, 7, 100, 100, 1);
    std::srand(5);
    const int next = std::rand();
    std::srand(5);
    for (int32_t tick : {100, 150, 200, 201, 5000}) {
        e.UpdateJet(tick);
        EXPECT_EQ(0.1f, e.vx);
        EXPECT_EQ(0.2f, e.vy);
        EXPECT_EQ(0.3f, e.vz);
    }
    EXPECT_EQ(next, std::rand());
}

}  // namespace
