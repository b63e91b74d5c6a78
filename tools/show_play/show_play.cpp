#include "tools/show_play/show_play.h"

#include <algorithm>

#include "platform/globals.h"
#include "platform/memory/memory_platform.h"
#include "render/rendering.h"
#include "scenario/action_script.h"
#include "scenario/scenario.h"

namespace {

// Advances the clock and numbers the frame; every play starts its frames so.
PlayedFrame StartFrame(plat::MemoryPlatform& platform, const PlayOptions& options, int index) {
    platform.tick += options.step;
    PlayedFrame f;
    f.frame = options.firstFrame + index;
    f.tick = (int32_t)platform.tick;
    g_frameParticleCount = 0;
    return f;
}

// Adds a played frame to the summary; true when the play goes on.
bool FinishFrame(const PlayedFrame& f, const FrameWatch& watch, PlaySummary* summary) {
    ++summary->frames;
    if (f.ended && summary->endFrame < 0) summary->endFrame = f.frame;
    if (f.paused && summary->pauseFrame < 0) summary->pauseFrame = f.frame;
    summary->switches += f.switched;
    summary->peakParticles = std::max(summary->peakParticles, f.particles);
    return !watch || watch(f);
}

}  // namespace

PlaySummary PlayScript(CActionScript& script, plat::MemoryPlatform& platform,
                       const PlayOptions& options, const FrameWatch& watch) {
    PlaySummary summary;
    platform.tick = options.startTick;
    bool held = false;
    for (int i = 0; i < options.frames; ++i) {
        PlayedFrame f = StartFrame(platform, options, i);
        // Commands are held once the end is reported, as the scenario
        // holds them; Run reports it only while they are not.
        f.ended = script.Run(f.tick, held);
        held = held || f.ended;
        if (options.draw) {
            script.DrawEmitters();
            script.AnimateParticles(f.tick);
        } else {
            script.SimulateParticles(f.tick);
        }
        f.particles = g_frameParticleCount;
        f.paused = held && f.particles == 0 && summary.pauseFrame < 0;
        if (!FinishFrame(f, watch, &summary)) break;
    }
    return summary;
}

PlaySummary PlayScenario(CScenario& show, plat::MemoryPlatform& platform,
                         const PlayOptions& options, const FrameWatch& watch) {
    PlaySummary summary;
    platform.tick = options.startTick;
    for (int i = 0; i < options.frames; ++i) {
        if (options.untilSwitches > 0 && show.switchCount >= options.untilSwitches) break;
        PlayedFrame f = StartFrame(platform, options, i);
        // The countdown tells the end (playing to draining) and the pause.
        const int32_t countdown = show.countdown, switches = show.switchCount;
        if (options.draw)
            RenderFrame();
        else
            show.Update(f.tick);
        f.particles = g_frameParticleCount;
        f.ended = countdown == COUNTDOWN_PLAYING && show.countdown != COUNTDOWN_PLAYING;
        f.paused = countdown != COUNTDOWN_PAUSE && show.countdown == COUNTDOWN_PAUSE;
        f.switched = show.switchCount != switches;
        if (!FinishFrame(f, watch, &summary)) break;
    }
    return summary;
}
