// The process-wide state of the saver, in one place at the bottom of the
// layers: the globals its parts share, and one object holding the state the
// program adds for its run modes.  Plain types only; no GL,
// window-system or container header.
#pragma once

#include <cstdint>

class COptions;
class CScenario;
class CFountainTextures;

// --- shared by the saver's parts ---

// The data directory: the installation directory from the registry followed
// by "\data\"; empty when there is none.  Content files are named from it.
extern char g_dataDir[512];
extern COptions g_options;  // defined with COptions
// The show, and the fountains' sprite textures, made by InitRendering.
extern CScenario* g_scenario;
extern CFountainTextures* g_fountainTextures;
// Particles moved in the current frame: zeroed when the frame starts, raised
// by the particle pass, read by the scenario to see the fountains run dry.
extern int g_frameParticleCount;
extern double g_viewAspect;     // viewport width over height (1.6 at start)
extern int g_accumAvailable;    // the pixel format has a usable accumulation buffer
extern int g_shadersAvailable;  // GL 2.0 present and the ripple program built
extern uint32_t g_rippleProgram;
// The saver window (its own device context) and its GL context.
extern uintptr_t g_saverDC;
extern uintptr_t g_saverGLRC;
// The saver window: full screen or a preview child, the first mouse
// position it saw (-1 until then), and the clock at which the last frame
// began.
extern bool g_fullScreen;
extern int32_t g_firstMouseX, g_firstMouseY;
extern int32_t g_lastFrameClock;

// --- added by the program ---

// Frames counted over one-second windows for the frame-rate read-out.
struct FrameRate {
    bool counting = false;  // a window has begun
    int32_t windowStartMs = 0;
    int frames = 0;
    double rate = 0.0;
};

// The motion-blur trail made through textures: the frame is drawn into a
// texture the size of the window, which is blended into an accumulator
// texture.  GL object names, 0 where none is made.
struct TrailTextures {
    uint32_t frameTexture = 0, frameBuffer = 0;
    uint32_t accumTexture = 0, accumBuffer = 0;
    uint32_t accumFormat = 0;  // the accumulator's internal format
    bool srgb = false;         // the window's colour is sRGB-encoded
    int width = 0, height = 0;
};

// A plain black window over a monitor other than the primary, while the
// saver runs full screen, and its top left on the desktop.
struct MonitorCover {
    uintptr_t hwnd = 0;
    int x = 0, y = 0;
};

struct RunState {
    // Asked for by the launch form before the window is made.
    bool showFps = false;   // draw the frame-rate read-out
    unsigned seedSalt = 0;  // mixed into the random seed (0: time alone)
    // Options of this run over the options file's (-1: the file's value;
    // 0 or 1: off or on), applied after the file is read, never written.
    int trail = -1;      // the motion-blur trail (DoNotUseAccumBuffer)
    int letterbox = -1;  // letterbox to 16:10 (KeepAspect_1_6)
    // A show folder of the user's own, checked and ending with a separator,
    // used instead of the installed data directory; empty when none.
    char showFolder[512] = {0};
    // What the rendering can do, told by SetupPixelFormat and InitRendering.
    // A software rasteriser renders: g_accumAvailable is then 0, and the
    // trail runs only when this run asks for it (trail 1).
    bool softwareRenderer = false;
    // The pixel format has an accumulation buffer and is not the generic one.
    bool formatHasAccum = false;
    // The context offers framebuffer objects: the trail can go through
    // textures, made by ResizeViewport.
    bool framebufferObjects = false;
    TrailTextures trailTextures;
    // Kept by the frame between calls.
    int windowWidth = 0, windowHeight = 0;
    bool rippleStarted = false;
    int32_t rippleStartMs = 0;  // ripple clock at the first water frame
    FrameRate frameRate;
    // A notice drawn over the picture for the first seconds (a show folder
    // asked for that cannot be played); empty when there is none.
    char notice[512] = {0};
    bool noticeStarted = false;
    int32_t noticeStartMs = 0;
    // Message boxes open now: the focus they take from the saver window is
    // not the user's doing and does not end the saver.
    int messageBoxesOpen = 0;
    // The options file's "cannot be read" message has been shown: it is
    // shown once a run, however often the file is read.
    bool optionsUnreadableTold = false;
    // Window classes this process has registered.
    bool saverClassRegistered = false;
    bool previewHostClassRegistered = false;
    bool monitorCoverClassRegistered = false;
    // The covers of the other monitors (count of them in use).
    static constexpr int kMaxMonitorCovers = 16;
    MonitorCover monitorCovers[kMaxMonitorCovers];
    int monitorCoverCount = 0;
};
extern RunState g_run;

// Puts every global above except g_options, g_scenario and
// g_fountainTextures (whose owners reset them) back to its start value.
void ResetProcessState();
