// The test programs' own definitions of the saver window's rendering steps
// (host/saver_rendering.h), linked in place of the saver's: each step runs
// the replacement a test put here, or the real step when there is none.
#pragma once

#include "platform/platform.h"

struct RenderCalls {
    void (*setupPixelFormat)(plat::HWND window) = nullptr;
    void (*initRendering)() = nullptr;
    void (*resizeViewport)(int width, int height) = nullptr;
    void (*renderFrame)() = nullptr;
};
// Null entries: the real steps.  Tests that replace one put it back.
extern RenderCalls g_renderCalls;
