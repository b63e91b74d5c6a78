// The particle pass without drawing: Emit and Move of 60 pools of 1000
// particles, every pool kept full.  Prints the time per frame and per moved
// particle.  Build in Release for meaningful figures.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/particle_system.h"
#include "render/rendering.h"

namespace {

const int kPools = 60;
const int kWarmUpFrames = 600;
const int kRounds = 7;
const int kFramesPerRound = 500;

struct Pass {
    std::vector<std::unique_ptr<CEmitter>> emitters;
    std::vector<std::unique_ptr<CParticleSystem>> pools;
    int32_t tick = 1000;

    Pass() {
        for (int i = 0; i < kPools; ++i) {
            const float x = -15.0f + 0.5f * i;
            emitters.emplace_back(new CEmitter(x, 0.0f, -(float)(i % 5)));
            CEmitter& e = *emitters.back();
            // Fast enough upwards that a drop stays above the water for
            // longer than the pool takes to fill (3 a frame).
            e.vx = 0.01f * (float)(i % 7 - 3);
            e.vy = 1.0f + 0.01f * (float)(i % 4);
            e.vz = 0.0f;
            pools.emplace_back(new CParticleSystem(PARTICLES_PER_POOL, x, 0.0f, e.z));
            pools.back()->emitter = &e;
        }
    }
    // One frame at 11 ms; returns the particles moved.
    int Frame() {
        g_frameParticleCount = 0;
        for (auto& p : pools) {
            p->Emit(tick);
            p->Move(tick);
        }
        tick += 11;
        return g_frameParticleCount;
    }
};

}  // namespace

int main() {
    std::srand(1);
    Pass pass;
    for (int i = 0; i < kWarmUpFrames; ++i) pass.Frame();

    std::vector<double> msPerFrame, nsPerParticle;
    long minLive = -1;
    for (int round = 0; round < kRounds; ++round) {
        long moved = 0;
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kFramesPerRound; ++i) {
            const int n = pass.Frame();
            moved += n;
            if (minLive < 0 || n < minLive) minLive = n;
        }
        const double ns =
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
        msPerFrame.push_back(ns / kFramesPerRound / 1e6);
        nsPerParticle.push_back(ns / (double)moved);
    }
    std::sort(msPerFrame.begin(), msPerFrame.end());
    std::sort(nsPerParticle.begin(), nsPerParticle.end());
    std::printf("particle pass (Emit + Move), %d pools x %d particles\n", kPools,
                (int)PARTICLES_PER_POOL);
    std::printf("  fewest particles moved in a frame: %ld of %d\n", minLive,
                kPools * (int)PARTICLES_PER_POOL);
    std::printf("  per frame:    median %.3f ms  (best %.3f, worst %.3f over %d rounds of %d)\n",
                msPerFrame[kRounds / 2], msPerFrame.front(), msPerFrame.back(), kRounds,
                kFramesPerRound);
    std::printf("  per particle: median %.2f ns\n", nsPerParticle[kRounds / 2]);
    return 0;
}
