#include "render/fps_overlay.h"

#include <cstdio>

#include "platform/clock_ticks.h"

void CountFrame(FrameRate& rate, int32_t clockMs) {
    if (!rate.counting) {
        rate.counting = true;
        rate.windowStartMs = clockMs;
    }
    ++rate.frames;
    const int32_t elapsed = plat::TickDiff(clockMs, rate.windowStartMs);
    if (elapsed >= 1000) {
        rate.rate = rate.frames * 1000.0 / elapsed;
        rate.frames = 0;
        rate.windowStartMs = clockMs;
    }
}

void FormatFps(double rate, char* buf, int size) {
    std::snprintf(buf, (size_t)size, "FPS: %.1f", rate);
}
