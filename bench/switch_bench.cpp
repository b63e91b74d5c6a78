// The frames around a scene switch with 1920 x 1200 pictures: the saver's
// own frame (RenderFrame, finished with glFinish) timed one by one while a
// small show plays through several switches, paced as the saver paces
// them: a frame every 11 ms, or at once when the last one took longer.
// The window is small, so that a frame's drawing costs little and what the
// switch adds stands out.  Prints, for every switch, the longest frame from
// the start of the pause before it to ten frames after it, and which frame
// that was; and the median frame of the whole run for comparison.
// Run under Xvfb: xvfb-run -a ./build/switch_bench [--switches N]
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "options/options.h"
#include "platform/memory/memory_platform.h"
#include "render/rendering.h"
#include "scenario/scenario.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"
#include "tests/support/window_platform.h"

namespace {

const int kWidth = 320, kHeight = 200, kTickStep = 11;
const int kPictureWidth = 1920, kPictureHeight = 1200;

// Smooth gradients with fine noise, so decoding costs what a photograph
// costs.
pictures::Rgb Picture(int seed) {
    pictures::Rgb p(kPictureWidth, kPictureHeight);
    uint32_t s = (uint32_t)seed * 2654435761u + 1;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            s = s * 1664525u + 1013904223u;
            uint8_t* px = p.At(x, y);
            px[0] = (uint8_t)((x * 200) / kPictureWidth + (s >> 28) + 20 * seed);
            px[1] = (uint8_t)((y * 200) / kPictureHeight + ((s >> 20) & 15));
            px[2] = (uint8_t)(((x + y) / 16 + (s >> 12)) & 255);
        }
    return p;
}

pictures::Rgba Sprite() {
    pictures::Rgba p(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* px = p.At(x, y);
            px[0] = px[1] = px[2] = 255;
            px[3] = (uint8_t)(255 - 15 * std::max(std::abs(2 * x - 15), std::abs(2 * y - 15)) / 2);
        }
    return p;
}

// Three scenes of two pictures each, a row of six emitters, and a script
// whose jets play for about a second, so that the show switches often.
void MakeDataSet(const TempDir& dir) {
    const std::string& root = dir.path();
    std::string scenes;
    for (int i = 0; i < 3; ++i) {
        const std::string name = "scene" + std::to_string(i);
        dir.Write(name + "/scene.xml",
                  "<Scene><EColor r='220' g='235' b='255' a='120'/><Back file='back.jpg'/>"
                  "<Water file='water.jpg'/></Scene>");
        pictures::WriteJpeg((root + name + "/back.jpg").c_str(), Picture(2 * i + 1));
        pictures::WriteJpeg((root + name + "/water.jpg").c_str(), Picture(2 * i + 2));
        scenes += "<Scene path='" + name + "'/>";
    }
    for (const char* sprite : {"particle7.bmp", "fSource.bmp", "emitterTube.bmp"})
        pictures::WriteBmp32((root + sprite).c_str(), Sprite());
    std::string figure = "<Figure><Formula fid='1' count='6'/><Egroup id='1'>";
    for (int i = 0; i < 6; ++i)
        figure += "<Emmiter id='" + std::to_string(i) + "' x='" + std::to_string(-25 + 10 * i) +
                  "' y='0' z='30'/>";
    dir.Write("_figures/row.xml", figure + "</Egroup></Figure>");
    dir.Write("_scripts/short.xml",
              "<Script><Uses><Figure figureId='1' file='row.xml'/></Uses><ActionScript>"
              "<Command first='0' last='5' EType='1' effTime='600' effTimeD='40' cycles='1'"
              " vx1='-0.05' vy1='0.3' vz1='0' vx2='0.05' vy2='0.35' vz2='0'/>"
              "</ActionScript></Script>");
    dir.Write("defaultScenario.xml",
              "<Scenario><Scenes>" + scenes + "</Scenes><Script action='short.xml'/></Scenario>");
    dir.Write("options.xml", "<OPTIONS/>");
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int switches = 4;
    for (int i = 1; i + 1 < argc; i += 2)
        if (!std::strcmp(argv[i], "--switches")) switches = std::max(1, std::atoi(argv[i + 1]));
    TempDir data;
    MakeDataSet(data);
    UseDataDir(data.path());

    GlTestWindow window(kWidth, kHeight);
    if (!window.ok()) {
        std::fprintf(stderr, "no GLX window (is DISPLAY set?)\n");
        return 1;
    }
    WindowPlatform platform(window);
    plat::Install(&platform);
    uint32_t& tick = platform.tick;
    tick = 1000;
    g_saverDC = 1;
    g_accumAvailable = 0;
    g_options.KeepAspect_1_6 = 0;
    g_options.DoNotUseAccumBuffer = 1;
    g_run.seedSalt = 5;
    InitRendering();
    ResizeViewport(kWidth, kHeight);
    CScenario& show = *g_scenario;
    std::printf("renderer: %s; %dx%d window, %dx%d pictures\n",
                (const char*)glGetString(GL_RENDERER), kWidth, kHeight, kPictureWidth,
                kPictureHeight);

    using Clock = std::chrono::steady_clock;
    std::vector<double> all;
    // Frames since the pause began (-1: not in a pause) and since the switch.
    int sincePause = -1, sinceSwitch = -1, seen = 0;
    double longest = 0, worstOfAll = 0;
    std::string longestAt;
    while (seen < switches) {
        tick += kTickStep;
        const int before = show.switchCount;
        const Clock::time_point t0 = Clock::now();
        RenderFrame();
        glFinish();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        all.push_back(ms);
        std::this_thread::sleep_until(t0 + std::chrono::milliseconds(kTickStep));
        if (all.size() > 200000) {
            std::fprintf(stderr, "the show never switched\n");
            return 1;
        }
        const bool switched = show.switchCount != before;
        if (sincePause < 0 && show.countdown == COUNTDOWN_PAUSE) sincePause = 0;
        if (switched) sinceSwitch = 0;
        if (sincePause >= 0 || sinceSwitch >= 0) {
            char where[48];
            if (sinceSwitch >= 0)
                std::snprintf(where, sizeof where, "switch frame %+d", sinceSwitch);
            else
                std::snprintf(where, sizeof where, "pause frame %d", sincePause);
            if (ms > longest) longest = ms, longestAt = where;
            if (sincePause >= 0 && sinceSwitch < 0) ++sincePause;
            if (sinceSwitch >= 0 && ++sinceSwitch > 10) {
                ++seen;
                std::printf("switch %d: longest frame %.1f ms (%s)\n", seen, longest,
                            longestAt.c_str());
                worstOfAll = std::max(worstOfAll, longest);
                sincePause = sinceSwitch = -1;
                longest = 0;
            }
        }
    }
    std::printf("longest frame around a switch: %.1f ms; median frame %.1f ms, over %zu frames\n",
                worstOfAll, Median(all), all.size());
    if (platform.messages) std::printf("%d message boxes\n", platform.messages);
    plat::Install(nullptr);
    return 0;
}
