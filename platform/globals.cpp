#include "platform/globals.h"

char g_dataDir[512];
CScenario* g_scenario = nullptr;
CFountainTextures* g_fountainTextures = nullptr;
int g_frameParticleCount = 0;
double g_viewAspect = 1.6;
int g_accumAvailable = 1;
int g_shadersAvailable = 1;
uint32_t g_rippleProgram = 0;
uintptr_t g_saverDC = 0;
uintptr_t g_saverGLRC = 0;
bool g_fullScreen = false;
int32_t g_firstMouseX = -1, g_firstMouseY = -1;
int32_t g_lastFrameClock = 0;

RunState g_run;

void ResetProcessState() {
    g_dataDir[0] = '\0';
    g_frameParticleCount = 0;
    g_viewAspect = 1.6;
    g_accumAvailable = 1;
    g_shadersAvailable = 1;
    g_rippleProgram = 0;
    g_saverDC = 0;
    g_saverGLRC = 0;
    g_fullScreen = false;
    g_firstMouseX = g_firstMouseY = -1;
    g_lastFrameClock = 0;
    g_run = RunState();
}
