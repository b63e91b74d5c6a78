// The GL context of the saver window and the composition of every frame:
// pixel format, one-time set-up, viewport and projection, the frame with its
// motion-blur trail.
#pragma once

#include <cstdint>

#include "platform/globals.h"
#include "platform/platform.h"

// Chooses and sets the window's pixel format (three attempts, accumulation
// depth 64, 32, 0); sets g_accumAvailable.
void SetupPixelFormat(plat::HWND hwnd);
// One-time state and objects, with the new context current.
void InitRendering();
// Viewport and projection for a window of w x h pixels.
void ResizeViewport(int w, int h);
// Draws and presents one frame: the stages below, in this order, with the
// system tick count.
void RenderFrame();

// The stages of a frame.  Benchmarks time them one by one.
// Zeroes the frame particle count, directs the drawing into the trail's
// frame texture where the trail goes through textures, clears, and places
// the stage's camera.
void BeginFrame();
// Backdrop and water, opaque; the water through the ripple program while
// g_shadersAvailable is set.
void DrawStage();
// Advances the show to tick and draws the fountains.
void UpdateShow(int32_t tick);
// The motion-blur trail, when the option and the pixel format allow it
// (render/motion_trail.h).
void ApplyTrail();
// Restores the matrices, draws the frame-rate read-out when asked, flushes
// and swaps.
void PresentFrame();

// Seconds for the ripple's "time" uniform, counted from the first call.
float RippleSeconds();

class CStage;
// The stage's water: through the ripple program while g_shadersAvailable is
// set, else with the fixed-function pipeline.
void DrawWaterSurface(CStage& stage);
