// Frame time of the complete frame for a scene of 60 busy emitters, at
// 1280x800 or the size --size WxH gives, with each way of making the
// motion-blur trail in turn: off, through the accumulation buffer
// (glAccum) and through textures; split into backdrop and water, fountain
// simulation, fountain drawing, trail, and swap.  The three take turns for
// a few frames each (--rounds, --frames), so that a change in the
// machine's load falls on all of them.  Each stage is timed beside a floor
// measured in the same run, frame by frame: a minimal GL program doing the
// same drawing (the same quads, textures, blending, trail passes and swap,
// with vertex arrays built before the clock starts), so that the ratio says
// how much of a stage is ours on a shared, noisy machine.  The frames a
// second of the whole frame are printed next to the designed 90.9, and
// last what each way of making the trail adds to the frame.
// The water goes through the ripple program when the shader sources are
// found (--shaders DIR, default data/shaders of the working directory).
// Run under Xvfb from the source tree, on a screen at least the window's
// size:
//   xvfb-run -a -s "-screen 0 1920x1080x24" ./build/frame_bench --size 1920x1080
#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "fountains/fountain_textures.h"
#include "fountains/particle_system.h"
#include "options/options.h"
#include "platform/memory/memory_platform.h"
#include "render/motion_trail.h"
#include "render/rendering.h"
#include "scenario/action_script.h"
#include "scenario/scenario.h"
#include "scenario/stage.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_display.h"
#include "tests/support/test_support.h"
#include "tests/support/window_platform.h"
#include "textures/texture.h"
#include "tools/show_play/show_play.h"

namespace {

// The window's size unless --size gives another.
const int kWidth = 1280, kHeight = 800, kTickStep = 11;

// A noisy picture, so that texturing costs what a real picture costs.
pictures::Rgb NoisePicture(int w, int h, int seed) {
    pictures::Rgb p(w, h);
    uint32_t s = (uint32_t)seed * 2654435761u + 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            uint8_t* px = p.At(x, y);
            px[0] = (uint8_t)(40 + (x * 90) / w + (s >> 28));
            px[1] = (uint8_t)(60 + (y * 120) / h + ((s >> 20) & 15));
            px[2] = (uint8_t)(120 + ((s >> 12) & 31));
        }
    return p;
}

pictures::Rgba Sprite(bool darkWhereClear) {
    pictures::Rgba p(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double dx = (x - 15.5) / 15.5, dy = (y - 15.5) / 15.5;
            const double a = std::fmax(0.0, 1 - std::sqrt(dx * dx + dy * dy));
            uint8_t* px = p.At(x, y);
            px[3] = (uint8_t)(255 * a);
            px[0] = px[1] = px[2] = darkWhereClear ? px[3] : 255;
        }
    return p;
}

// One scene (1600x1000 backdrop, 1024x1024 water), one figure of 60
// emitters in a 10 x 6 grid, and one script that sets all of them spraying
// with the sweep program, which keeps them active for good.
void MakeDataSet(const TempDir& dir, const std::string& shaders) {
    const std::string& root = dir.path();
    dir.Write("scene/scene.xml",
              "<Scene><EColor r='220' g='235' b='255' a='120'/><Back file='back.jpg'/>"
              "<Water file='water.jpg'/></Scene>");
    pictures::WriteJpeg((root + "scene/back.jpg").c_str(), NoisePicture(1600, 1000, 1));
    pictures::WriteJpeg((root + "scene/water.jpg").c_str(), NoisePicture(1024, 1024, 2));
    pictures::WriteBmp32((root + "particle7.bmp").c_str(), Sprite(false));
    pictures::WriteBmp32((root + "fSource.bmp").c_str(), Sprite(true));
    pictures::WriteBmp32((root + "emitterTube.bmp").c_str(), Sprite(false));
    std::string figure = "<Figure><Formula fid='1' count='60'/><Egroup id='1'>";
    char line[120];
    for (int i = 0; i < 60; ++i) {
        std::snprintf(line, sizeof line, "<Emmiter id='%d' x='%d' y='0' z='%d'/>", i,
                      -54 + 12 * (i % 10), 15 + 9 * (i / 10));
        figure += line;
    }
    dir.Write("_figures/grid.xml", figure + "</Egroup></Figure>");
    dir.Write("_scripts/busy.xml",
              "<Script><Uses><Figure figureId='1' file='grid.xml'/></Uses><ActionScript>"
              "<Command first='0' last='59' effTime='2000' effTimeD='15' cycles='1' EType='0'"
              " vx1='-0.05' vy1='0.45' vz1='0' vx2='0.05' vy2='0.6' vz2='0' nextAfter='60'/>"
              "</ActionScript></Script>");
    dir.Write("defaultScenario.xml",
              "<Scenario><Scenes><Scene path='scene'/></Scenes><Script action='busy.xml'/>"
              "</Scenario>");
    dir.Write("options.xml", "<OPTIONS/>");
    std::error_code ignored;
    std::filesystem::create_directories(root + "shaders", ignored);
    for (const char* name : {"ripple.vsh", "ripple.fsh"})
        std::filesystem::copy_file(shaders + "/" + name, root + "shaders/" + name, ignored);
}

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Stats {
    std::vector<double> samples;
    double Median() const {
        std::vector<double> s = samples;
        std::sort(s.begin(), s.end());
        return s.empty() ? 0 : s[s.size() / 2];
    }
    double Mean() const {
        double sum = 0;
        for (double v : samples) sum += v;
        return samples.empty() ? 0 : sum / samples.size();
    }
};

// The floors: a minimal program drawing what the frame draws.  Its vertex
// arrays are copied from the show before its clock starts.
class Floor {
public:
    explicit Floor(GlTestWindow& window) : window_(window) {}

    // The quads of this frame's fountains: every emitter's splash and tube,
    // then every live particle, in the order the show draws them.
    void Capture(const CFigureSet& set) {
        emitterQuads_.clear();
        particles_.clear();
        for (int32_t f = 0; f < set.count; ++f) {
            const CFigure& figure = *set.figures[f];
            for (int32_t i = 0; i < figure.emitterCount; ++i) AddEmitter(*figure.emitters[i]);
        }
        for (int32_t f = 0; f < set.count; ++f) {
            const CFigure& figure = *set.figures[f];
            for (int32_t i = 0; i < figure.emitterCount; ++i)
                AddParticles(*figure.particleSystems[i]);
        }
        const size_t vertices = particles_.size() / 7;
        while (texCoords_.size() < vertices * 2)
            texCoords_.insert(texCoords_.end(), {0, 0, 0, 1, 1, 1, 1, 0});
    }

    // Clear and camera, then backdrop and water as two textured quads, the
    // water through the ripple program.
    void Stage(const CStage& stage) {
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        const double* c = stage.camera;
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        glDisable(GL_BLEND);
        const float W = stage.halfWidth, H = stage.height;
        const float back[12] = {W, 0, 0, W, H, 0, -W, H, 0, -W, 0, 0};
        const float water[12] = {W, 0, H, W, 0, 0, -W, 0, 0, -W, 0, H};
        static const float st[8] = {1, 0, 1, 1, 0, 1, 0, 0};
        glColor4f(1, 1, 1, 1);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, st);
        glBindTexture(GL_TEXTURE_2D, stage.backTexture ? stage.backTexture->name : 0);
        glVertexPointer(3, GL_FLOAT, 0, back);
        glDrawArrays(GL_QUADS, 0, 4);
        if (g_shadersAvailable) {
            glUseProgram(g_rippleProgram);
            glUniform1f(glGetUniformLocation(g_rippleProgram, "time"), 1.0f);
        }
        glBindTexture(GL_TEXTURE_2D, stage.waterTexture ? stage.waterTexture->name : 0);
        glVertexPointer(3, GL_FLOAT, 0, water);
        glDrawArrays(GL_QUADS, 0, 4);
        if (g_shadersAvailable) glUseProgram(0);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }

    // The captured quads: each emitter's two quads with their sprites, then
    // all particles in one draw.
    void Fountains() {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        static const float st[8] = {1, 1, 0, 1, 0, 0, 1, 0};
        glTexCoordPointer(2, GL_FLOAT, 0, st);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
        for (const EmitterQuad& q : emitterQuads_) {
            glBindTexture(GL_TEXTURE_2D, g_fountainTextures->textures[q.texture].name);
            glColor4fv(q.colour);
            glVertexPointer(3, GL_FLOAT, 0, q.xyz);
            glDrawArrays(GL_QUADS, 0, 4);
        }
        glBindTexture(GL_TEXTURE_2D, g_fountainTextures->textures[FTEX_PARTICLE].name);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 7 * sizeof(float), particles_.data());
        glColorPointer(4, GL_FLOAT, 7 * sizeof(float), particles_.data() + 3);
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords_.data());
        glDrawArrays(GL_QUADS, 0, (GLsizei)(particles_.size() / 7));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }

    void Trail() {
        glAccum(GL_MULT, 0.9f);
        glAccum(GL_ACCUM, 1.0f - 0.9f);
        glAccum(GL_RETURN, 1.0f);
    }

    // The trail through textures, in the formats the saver chose: the
    // frame drawn into a texture, blended into the accumulator, which is
    // drawn into the window.
    void MakeTextureTrail(const TrailTextures& ours) {
        if (frameFbo_) return;
        const GLenum formats[2] = {ours.srgb ? (GLenum)GL_SRGB8_ALPHA8 : (GLenum)GL_RGBA8,
                                   ours.accumFormat};
        GLuint* textures[2] = {&frameTexture_, &accumTexture_};
        GLuint* buffers[2] = {&frameFbo_, &accumFbo_};
        for (int i = 0; i < 2; ++i) {
            glGenTextures(1, textures[i]);
            glBindTexture(GL_TEXTURE_2D, *textures[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexImage2D(GL_TEXTURE_2D, 0, formats[i], ours.width, ours.height, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, nullptr);
            glGenFramebuffers(1, buffers[i]);
            glBindFramebuffer(GL_FRAMEBUFFER, *buffers[i]);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                   *textures[i], 0);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        srgb_ = ours.srgb;
    }
    void BeginTextureFrame() { glBindFramebuffer(GL_FRAMEBUFFER, frameFbo_); }
    void TextureTrail() {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindFramebuffer(GL_FRAMEBUFFER, accumFbo_);
        glEnable(GL_BLEND);
        glBlendColor(0, 0, 0, 1.0f - 0.9f);
        glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
        Quad(frameTexture_);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_BLEND);
        if (srgb_) glEnable(GL_FRAMEBUFFER_SRGB);
        Quad(accumTexture_);
        if (srgb_) glDisable(GL_FRAMEBUFFER_SRGB);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_LIGHTING);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }

    void Swap() { window_.Swap(); }

private:
    static void Quad(GLuint texture) {
        static const float xy[8] = {-1, -1, 1, -1, 1, 1, -1, 1};
        static const float st[8] = {0, 0, 1, 0, 1, 1, 0, 1};
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, xy);
        glTexCoordPointer(2, GL_FLOAT, 0, st);
        glDrawArrays(GL_QUADS, 0, 4);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }

    GLuint frameTexture_ = 0, accumTexture_ = 0, frameFbo_ = 0, accumFbo_ = 0;
    bool srgb_ = false;

    struct EmitterQuad {
        int texture;
        float colour[4];
        float xyz[12];
    };

    void AddEmitter(const CEmitter& e) {
        const float k = std::min(1.0f, std::max(0.0f, (float)e.liveTally / 30.0f));
        const float h = (1.0f + 3.0f * k) / 2.0f;
        emitterQuads_.push_back(EmitterQuad{FTEX_SOURCE,
                                            {e.r, e.g, e.b, 0.5f},
                                            {e.x + h, e.y, e.z + h, e.x - h, e.y, e.z + h, e.x - h,
                                             e.y, e.z - h, e.x + h, e.y, e.z - h}});
        const float w = 0.35f, t = 0.5f;
        emitterQuads_.push_back(EmitterQuad{
            FTEX_TUBE,
            {0.5f, 0.5f, 0.5f, 1.0f},
            {e.x + w, e.y, e.z, e.x - w, e.y, e.z, e.x - w, e.y + t, e.z, e.x + w, e.y + t, e.z}});
    }

    void AddParticles(const CParticleSystem& pool) {
        for (int32_t i = 0; i < pool.count; ++i) {
            const CParticle& p = pool.particles[i];
            if (!p.live) continue;
            const float corners[4][2] = {{p.x, p.y},
                                         {p.x, p.y + p.height},
                                         {p.x + p.width, p.y + p.height},
                                         {p.x + p.width, p.y}};
            for (const auto& c : corners)
                particles_.insert(particles_.end(), {c[0], c[1], p.z, p.r, p.g, p.b, p.a});
        }
    }

    GlTestWindow& window_;
    std::vector<EmitterQuad> emitterQuads_;
    std::vector<float> particles_;  // x, y, z, r, g, b, a per vertex
    std::vector<float> texCoords_;
};

// One stage of the frame: ours and its floor, frame by frame, until
// finished and until the calls returned (the part on the calling thread; a
// software renderer does the rest on threads of its own).
struct Paired {
    Stats ours, floor, oursCalls, floorCalls;
    void Print(const char* name) const {
        const double f = floor.Median();
        std::printf("  %-20s %7.2f / %7.2f   floor %7.2f   ratio %5.2f\n", name, ours.Median(),
                    ours.Mean(), f, f > 0 ? ours.Median() / f : 0.0);
    }
    void PrintCalls() const {
        std::printf("  %-20s %7.2f            floor %7.2f\n", "  of it in the calls",
                    oursCalls.Median(), floorCalls.Median());
    }
};

// One way of making the trail, and what its frames took.
struct PathRun {
    PathRun(const char* n, TrailPath p) : name(n), path(p) {}
    const char* name;
    TrailPath path;
    bool available = true;
    Paired stage, drawing, trailing, swap;
    Stats simT, wholeT;
    int particles = 0;
};

// Makes the trail the given way from the next frame on, as the saver would
// with the trail asked for (--trail) on a format with an accumulation
// buffer, and restarts it.
void UseTrailPath(TrailPath path, bool framebufferObjects, int w, int h) {
    g_options.DoNotUseAccumBuffer = path == TRAIL_OFF ? 1 : 0;
    g_run.trail = 1;
    g_run.formatHasAccum = true;
    g_run.framebufferObjects = framebufferObjects && path == TRAIL_TEXTURES;
    ResizeViewport(w, h);
}

bool ParseSize(const char* text, int* w, int* h) {
    return std::sscanf(text, "%dx%d", w, h) == 2 && *w > 0 && *h > 0 && *w <= 8192 && *h <= 8192;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 20, warmup = 700, rounds = 2, width = kWidth, height = kHeight;
    std::string shaders = "data/shaders";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--frames")) frames = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--warmup")) warmup = std::max(0, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--shaders")) shaders = argv[i + 1];
        if (!std::strcmp(argv[i], "--size") && !ParseSize(argv[i + 1], &width, &height)) {
            std::fprintf(stderr, "bad size %s (WxH)\n", argv[i + 1]);
            return 2;
        }
    }
    TempDir data;
    MakeDataSet(data, shaders);
    UseDataDir(data.path());

    GlTestWindow window(width, height, true);
    if (!window.ok()) {
        std::fprintf(stderr, "no GLX window with an accumulation buffer (is DISPLAY set?)\n");
        return 1;
    }
    // Pixels off the screen are not drawn: a window larger than the screen
    // would be timed cheaper than it is.
    Display* dpy = TestDisplay();
    if (width > DisplayWidth(dpy, DefaultScreen(dpy)) ||
        height > DisplayHeight(dpy, DefaultScreen(dpy))) {
        std::fprintf(stderr,
                     "the screen is smaller than %dx%d: start Xvfb with a screen that size\n",
                     width, height);
        return 1;
    }
    WindowPlatform platform(window);
    plat::Install(&platform);
    uint32_t& tick = platform.tick;
    tick = 1000;
    g_saverDC = 1;
    g_accumAvailable = 1;
    g_options.KeepAspect_1_6 = 0;
    g_options.DoNotUseAccumBuffer = 0;

    InitRendering();
    ResizeViewport(width, height);
    const bool framebufferObjects = g_run.framebufferObjects;
    CScenario& show = *g_scenario;
    if (!show.script) return 1;
    std::printf("renderer: %s (%s); water %s\n", (const char*)glGetString(GL_RENDERER),
                g_run.softwareRenderer ? "a software rasteriser" : "hardware",
                g_shadersAvailable ? "through the ripple program" : "fixed-function");
    static const char* const kPathNames[] = {"off", "glAccum", "textures"};
    std::printf("the trail as the saver makes it here unless asked: %s\n",
                kPathNames[CurrentTrailPath()]);

    // Bring the pools to their steady state without drawing.
    PlayOptions warming;
    warming.startTick = tick;
    warming.step = kTickStep;
    warming.frames = warmup;
    PlayScript(*show.script, platform, warming);
    std::printf("after %d frames of warm-up: %d live particles in 60 pools\n", warmup,
                g_frameParticleCount);

    using Clock = std::chrono::steady_clock;
    Floor floor(window);
    // Runs one part of the frame to its end on the GL side; its time in ms,
    // and in calls the time until they returned.
    auto timed = [](auto&& part, Stats* calls = nullptr) {
        const Clock::time_point t0 = Clock::now();
        part();
        if (calls) calls->samples.push_back(Ms(t0, Clock::now()));
        glFinish();
        return Ms(t0, Clock::now());
    };
    PathRun runs[3] = {{"off", TRAIL_OFF}, {"glAccum", TRAIL_ACCUM}, {"textures", TRAIL_TEXTURES}};
    // The paths take turns, a few frames each, so that a change in the
    // machine's load falls on all of them.
    for (int round = 0; round < rounds; ++round)
        for (PathRun& run : runs) {
            UseTrailPath(run.path, framebufferObjects, width, height);
            if (CurrentTrailPath() != run.path) {
                run.available = false;
                continue;
            }
            const bool textures = run.path == TRAIL_TEXTURES;
            if (textures) floor.MakeTextureTrail(g_run.trailTextures);
            for (int i = 0; i < frames; ++i) {
                // The frame's own stages, each finished before the next;
                // the show's update is taken apart into its simulation and
                // drawing.
                tick += kTickStep;
                run.stage.ours.samples.push_back(timed([] {
                    BeginFrame();
                    DrawStage();
                }));
                run.simT.samples.push_back(timed([&] {
                    show.script->Run((int32_t)tick, true);
                    show.script->SimulateParticles((int32_t)tick);
                }));
                run.drawing.ours.samples.push_back(timed(
                    [&] {
                        show.script->DrawEmitters();
                        show.script->DrawParticles();
                    },
                    &run.drawing.oursCalls));
                if (run.path != TRAIL_OFF)
                    run.trailing.ours.samples.push_back(timed([] { ApplyTrail(); }));
                run.swap.ours.samples.push_back(timed([] { PresentFrame(); }));
                run.particles = g_frameParticleCount;

                // The floor's frame of the same quads, stage by stage.
                floor.Capture(*show.script->figureSet);
                run.stage.floor.samples.push_back(timed([&] {
                    if (textures) floor.BeginTextureFrame();
                    floor.Stage(show.Stage());
                }));
                run.drawing.floor.samples.push_back(
                    timed([&] { floor.Fountains(); }, &run.drawing.floorCalls));
                if (run.path == TRAIL_ACCUM)
                    run.trailing.floor.samples.push_back(timed([&] { floor.Trail(); }));
                if (textures)
                    run.trailing.floor.samples.push_back(timed([&] { floor.TextureTrail(); }));
                run.swap.floor.samples.push_back(timed([&] { floor.Swap(); }));

                // The same frame as the saver draws it, in one piece.
                tick += kTickStep;
                run.wholeT.samples.push_back(timed([] { RenderFrame(); }));
            }
        }

    for (const PathRun& run : runs) {
        if (!run.available) {
            std::printf("\ntrail %s: not available here\n", run.name);
            continue;
        }
        std::printf(
            "\ntrail %s, %dx%d, %d particles, %d rounds of %d frames (ms: median / mean, "
            "floor median, ratio of medians)\n",
            run.name, width, height, run.particles, rounds, frames);
        run.stage.Print("backdrop and water");
        std::printf("  %-20s %7.2f / %7.2f\n", "fountain simulation", run.simT.Median(),
                    run.simT.Mean());
        run.drawing.Print("fountain drawing");
        run.drawing.PrintCalls();
        if (run.path != TRAIL_OFF) run.trailing.Print("trail");
        run.swap.Print("swap");
        const double whole = run.wholeT.Median();
        std::printf("  %-20s %7.2f / %7.2f   %.1f frames a second (designed 90.9)\n",
                    "RenderFrame whole", whole, run.wholeT.Mean(),
                    whole > 0 ? 1000.0 / whole : 0.0);
    }
    // What each way of making the trail adds to the whole frame.
    const double off = runs[0].wholeT.Median();
    std::printf("\ntrail cost at %dx%d (whole frame, median):", width, height);
    for (int i = 1; i < 3; ++i) {
        if (!runs[i].available) continue;
        const double with = runs[i].wholeT.Median();
        std::printf("  %s %+.2f ms (%.0f%% of the frame)", runs[i].name, with - off,
                    with > 0 ? 100.0 * (with - off) / with : 0.0);
    }
    std::printf("\n");
    if (platform.messages) std::printf("\n%d message boxes\n", platform.messages);
    plat::Install(nullptr);
    return 0;
}
