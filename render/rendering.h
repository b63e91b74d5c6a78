// The GL context of the saver window and the composition of every frame:
// pixel format, one-time set-up, viewport and projection, the frame with its
// motion-blur trail.
#pragma once

#include <cstdint>

#include "platform/platform.h"

class CScenario;
class CFountainTextures;

extern plat::HWND g_saverDC;     // the saver window, whose surface GL draws on
extern uintptr_t g_saverGLRC;    // its GL context
extern int g_accumAvailable;     // chosen format has a usable accumulation buffer
extern int g_shadersAvailable;   // GL 2.0 present and the ripple program built
extern double g_viewAspect;      // viewport width over height
extern int g_frameParticleCount; // particles moved in this frame
extern CScenario* g_scenario;
extern CFountainTextures* g_fountainTextures;
// Mixed into the random seed (0: the calendar time alone).
extern unsigned g_seedSalt;

// Chooses and sets the window's pixel format (three attempts, accumulation
// depth 64, 32, 0); sets g_accumAvailable.
void SetupPixelFormat(plat::HWND hwnd);
// One-time state and objects, with the new context current.
void InitRendering();
// Viewport and projection for a window of w x h pixels.
void ResizeViewport(int w, int h);
// Draws and presents one frame.
void RenderFrame();

// Seconds for the ripple's "time" uniform, counted from the first call.
float RippleSeconds();

class CStage;
// The stage's water: through the ripple program while g_shadersAvailable is
// set, else with the fixed-function pipeline.
void DrawWaterSurface(CStage& stage);
