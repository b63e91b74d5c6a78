// Frame time of the complete frame at 1280x800 for a scene of 60 busy
// emitters, with the motion-blur trail on and off, split into backdrop and
// water, fountain simulation, fountain drawing, and trail with swap.
// The water goes through the ripple program when the shader sources are
// found (--shaders DIR, default data/shaders of the working directory).
// Run under Xvfb from the source tree:
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./build/frame_bench [--frames N]
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

#include "options/options.h"
#include "platform/memory_platform.h"
#include "render/rendering.h"
#include "scenario/action_script.h"
#include "scenario/scenario.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"

namespace {

const int kWidth = 1280, kHeight = 800, kTickStep = 11;

// The in-memory platform with a real swap; message boxes are printed.
class BenchPlatform : public plat::MemoryPlatform {
public:
    explicit BenchPlatform(GlTestWindow& w) : window_(w) {}
    void MessageBox(plat::HWND, const char* text, const char* caption, unsigned) override {
        ++messages;
        std::fprintf(stderr, "message box [%s]: %s\n", caption, text);
    }
    bool SwapBuffers(plat::HWND) override {
        window_.Swap();
        return true;
    }
    int messages = 0;

private:
    GlTestWindow& window_;
};

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

}  // namespace

int main(int argc, char** argv) {
    int frames = 40, warmup = 700;
    std::string shaders = "data/shaders";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--frames")) frames = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--warmup")) warmup = std::max(0, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--shaders")) shaders = argv[i + 1];
    }
    TempDir data;
    MakeDataSet(data, shaders);
    UseDataDir(data.path());

    GlTestWindow window(kWidth, kHeight, true);
    if (!window.ok()) {
        std::fprintf(stderr, "no GLX window with an accumulation buffer (is DISPLAY set?)\n");
        return 1;
    }
    BenchPlatform platform(window);
    plat::Install(&platform);
    uint32_t& tick = platform.tick;
    tick = 1000;
    g_saverDC = 1;
    g_accumAvailable = 1;
    g_options.KeepAspect_1_6 = 0;
    g_options.DoNotUseAccumBuffer = 0;

    InitRendering();
    ResizeViewport(kWidth, kHeight);
    CScenario& show = *g_scenario;
    if (!show.script) return 1;
    std::printf("renderer: %s; water %s\n", (const char*)glGetString(GL_RENDERER),
                g_shadersAvailable ? "through the ripple program" : "fixed-function");

    // Bring the pools to their steady state without drawing.
    for (int i = 0; i < warmup; ++i) {
        tick += kTickStep;
        g_frameParticleCount = 0;
        show.script->Run((int32_t)tick, i > 0);
        show.script->SimulateParticles((int32_t)tick);
    }
    std::printf("after %d frames of warm-up: %d live particles in 60 pools\n", warmup,
                g_frameParticleCount);

    using Clock = std::chrono::steady_clock;
    for (int trail = 1; trail >= 0; --trail) {
        g_options.DoNotUseAccumBuffer = trail ? 0 : 1;
        ResizeViewport(kWidth, kHeight);
        Stats stageT, simT, drawT, trailT, sumT, wholeT;
        int particles = 0;
        for (int i = 0; i < frames; ++i) {
            // The frame's own stages, each finished before the next; the
            // show's update is taken apart into its simulation and drawing.
            tick += kTickStep;
            const Clock::time_point t0 = Clock::now();
            BeginFrame();
            DrawStage();
            glFinish();
            const Clock::time_point t1 = Clock::now();
            show.script->Run((int32_t)tick, true);
            show.script->SimulateParticles((int32_t)tick);
            const Clock::time_point t2 = Clock::now();
            show.script->DrawEmitters();
            show.script->DrawParticles();
            glFinish();
            const Clock::time_point t3 = Clock::now();
            ApplyTrail();
            PresentFrame();
            glFinish();
            const Clock::time_point t4 = Clock::now();
            particles = g_frameParticleCount;
            stageT.samples.push_back(Ms(t0, t1));
            simT.samples.push_back(Ms(t1, t2));
            drawT.samples.push_back(Ms(t2, t3));
            trailT.samples.push_back(Ms(t3, t4));
            sumT.samples.push_back(Ms(t0, t4));

            // The same frame as the saver draws it, in one piece.
            tick += kTickStep;
            const Clock::time_point w0 = Clock::now();
            RenderFrame();
            glFinish();
            wholeT.samples.push_back(Ms(w0, Clock::now()));
        }
        std::printf("\ntrail %s, %dx%d, %d particles, %d frames (ms: median / mean)\n",
                    trail ? "on " : "off", kWidth, kHeight, particles, frames);
        std::printf("  backdrop and water  %7.2f / %7.2f\n", stageT.Median(), stageT.Mean());
        std::printf("  fountain simulation %7.2f / %7.2f\n", simT.Median(), simT.Mean());
        std::printf("  fountain drawing    %7.2f / %7.2f\n", drawT.Median(), drawT.Mean());
        std::printf("  trail and swap      %7.2f / %7.2f\n", trailT.Median(), trailT.Mean());
        std::printf("  sum of the parts    %7.2f / %7.2f\n", sumT.Median(), sumT.Mean());
        std::printf("  RenderFrame whole   %7.2f / %7.2f\n", wholeT.Median(), wholeT.Mean());
    }
    if (platform.messages) std::printf("\n%d message boxes\n", platform.messages);
    plat::Install(nullptr);
    return 0;
}
