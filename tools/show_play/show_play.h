// Plays a show at a simulated pace on the in-memory platform, for the tests
// and tools that watch it frame by frame.  The platform's clock is the
// show's: set before the first frame and advanced a fixed step before each.
// A script played alone runs as the scenario runs it: commands held once it
// has reported its end, and the pause when a frame after that moves no
// particle.  A scenario runs its own countdown and switches.
#pragma once

#include <cstdint>
#include <functional>

class CActionScript;
class CScenario;
namespace plat {
class MemoryPlatform;
}

struct PlayOptions {
    uint32_t startTick = 0;  // the clock before the first frame
    uint32_t step = 11;      // simulated milliseconds a frame
    int firstFrame = 0;      // the number the first frame gets
    int frames = 0;          // the most frames played
    // A scenario stops once it has made this many scene switches, the one
    // its Load made included (0: no such limit).
    int untilSwitches = 0;
    // Draws as the saver does (needs a current GL context): a script's
    // emitters and particles; a scenario's whole frame (RenderFrame), which
    // plays g_scenario, so the scenario played must be that one.
    bool draw = false;
};

// What one frame did.
struct PlayedFrame {
    int frame = 0;
    int32_t tick = 0;
    int particles = 0;      // particles moved
    bool ended = false;     // the script went past its last command
    bool paused = false;    // the pause began
    bool switched = false;  // the scenario switched scene
};

// What the whole play did.
struct PlaySummary {
    int frames = 0;         // frames played
    int endFrame = -1;      // the first frame that ended a script (-1: none)
    int pauseFrame = -1;    // the first frame that began a pause (-1: none)
    int switches = 0;       // scene switches made
    int peakParticles = 0;  // the most particles one frame moved
};

// Called after every frame; false stops the play there.
using FrameWatch = std::function<bool(const PlayedFrame&)>;

PlaySummary PlayScript(CActionScript& script, plat::MemoryPlatform& platform,
                       const PlayOptions& options, const FrameWatch& watch = FrameWatch());
PlaySummary PlayScenario(CScenario& show, plat::MemoryPlatform& platform,
                         const PlayOptions& options, const FrameWatch& watch = FrameWatch());
