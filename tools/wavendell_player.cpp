// Plays a data folder through the saver's own frame for a number of frames,
// with a simulated tick of 11 ms per frame (the paced rate), in a plain X
// window (Xvfb will do).  Prints per-frame figures, with the frame's real
// time and the frames a second it makes next to the designed 90.9, and
// writes chosen frames as PNG.  For checking data sets and taking screenshots; the saver itself
// has no such switches.
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/data_directory.h"
#include "options/options.h"
#include "platform/memory/memory_platform.h"
#include "render/rendering.h"
#include "scenario/scenario.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/window_platform.h"
#include "tools/png_file.h"
#include "tools/show_play/show_play.h"

namespace {

const char kUsage[] =
    "usage: wavendell_player DATA_DIR [options]\n"
    "  --frames N        frames to play (default 1000)\n"
    "  --size WxH        window size (default 1280x800)\n"
    "  --tick MS         simulated milliseconds per frame (default 11)\n"
    "  --png N[,N...]    write these frames as PNG\n"
    "  --out PREFIX      PNG file prefix (default frame_); files PREFIX00042.png\n"
    "  --trail           motion-blur trail, as the saver's --trail makes it\n"
    "  --seed S          seed the random choice of scripts and scenes\n"
    "  --script ACTION   play only script entries with this action\n"
    "  --scene PATH      play every script in this scene folder\n"
    "  --every K         print every K-th frame only (default 1; 0: none)\n"
    "  --strict          exit with status 3 when any message box was shown\n";

// The chosen frames are read back and written as PNG files before the swap.
// Frames are numbered by their swaps, from 1: every frame swaps once.
class PlayerPlatform : public WindowPlatform {
public:
    using WindowPlatform::WindowPlatform;

    bool SwapBuffers(plat::HWND w) override {
        ++frame;
        if (shots.count(frame)) {
            const std::vector<uint8_t> rgba = window().ReadAll();
            char name[32];
            std::snprintf(name, sizeof name, "%05d.png", frame);
            const std::string path = prefix + name;
            if (!png::WriteRgbaBottomUp(path, window().width(), window().height(), rgba.data()))
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
            else
                std::printf("wrote %s\n", path.c_str());
        }
        return WindowPlatform::SwapBuffers(w);
    }

    int frame = 0;
    std::set<int> shots;
    std::string prefix = "frame_";
};

const char* Phase(int countdown, bool switched) {
    if (switched) return "switch";
    if (countdown == COUNTDOWN_PLAYING) return "playing";
    if (countdown == COUNTDOWN_DRAINING) return "draining";
    return "pause";
}

bool ParseSize(const char* text, int* w, int* h) {
    return std::sscanf(text, "%dx%d", w, h) == 2 && *w > 0 && *h > 0 && *w <= 8192 && *h <= 8192;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string dataDir = argv[1];
    int frames = 1000, width = 1280, height = 800, tickStep = 11, every = 1;
    bool trail = false, strict = false, seeded = false;
    unsigned seed = 0;
    std::string onlyScript, onlyScene, prefix = "frame_";
    std::set<int> shots;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--trail") {
            trail = true;
        } else if (a == "--strict") {
            strict = true;
        } else if (v && a == "--frames") {
            frames = std::atoi(v), ++i;
        } else if (v && a == "--size") {
            if (!ParseSize(v, &width, &height)) {
                std::fprintf(stderr, "bad size %s\n", v);
                return 2;
            }
            ++i;
        } else if (v && a == "--tick") {
            tickStep = std::atoi(v), ++i;
        } else if (v && a == "--png") {
            for (const char* p = v; *p;) {
                shots.insert(std::atoi(p));
                p = std::strchr(p, ',');
                if (!p) break;
                ++p;
            }
            ++i;
        } else if (v && a == "--out") {
            prefix = v, ++i;
        } else if (v && a == "--seed") {
            seed = (unsigned)std::strtoul(v, nullptr, 10), seeded = true, ++i;
        } else if (v && a == "--script") {
            onlyScript = v, ++i;
        } else if (v && a == "--scene") {
            onlyScene = v, ++i;
        } else if (v && a == "--every") {
            every = std::atoi(v), ++i;
        } else {
            std::fprintf(stderr, "unknown option %s\n%s", a.c_str(), kUsage);
            return 2;
        }
    }
    if (dataDir.back() != '/' && dataDir.back() != '\\') dataDir += '/';
    if (dataDir.size() >= sizeof g_dataDir) {
        std::fprintf(stderr, "data directory path too long\n");
        return 2;
    }
    std::strcpy(g_dataDir, dataDir.c_str());

    GlTestWindow window(width, height, trail);
    if (!window.ok()) {
        std::fprintf(stderr, "no GLX window (is DISPLAY set?)\n");
        return 1;
    }
    PlayerPlatform platform(window);
    platform.shots = shots;
    platform.prefix = prefix;
    plat::Install(&platform);

    platform.tick = 1000;
    // As the saver with --trail (or --no-trail) in a window of such a format.
    g_options.DoNotUseAccumBuffer = trail ? 0 : 1;
    g_accumAvailable = trail ? 1 : 0;
    g_run.trail = trail ? 1 : 0;
    g_run.formatHasAccum = trail;
    g_saverDC = 1;

    InitRendering();
    CScenario& show = *g_scenario;
    if (!onlyScript.empty() || !onlyScene.empty() || seeded) {
        if (seeded) std::srand(seed);
        bool found = onlyScript.empty();
        for (ScriptEntry& s : show.scripts) {
            if (!onlyScript.empty()) {
                s.enabled = s.action == onlyScript;
                found = found || s.enabled;
            }
            if (!onlyScene.empty()) {
                s.hasScenePath = true;
                s.scenePath = onlyScene;
            }
        }
        if (!found) {
            std::fprintf(stderr, "no script entry with action %s\n", onlyScript.c_str());
            return 2;
        }
        show.SwitchScene();
    }
    ResizeViewport(width, height);

    // Frames a second as the designed pace would have them.
    const double kDesignedRate = 1000.0 / 11.0;
    std::vector<double> frameMs;
    frameMs.reserve((size_t)std::max(frames, 0));
    PlayOptions options;
    options.startTick = platform.tick;
    options.step = (uint32_t)tickStep;
    options.firstFrame = 1;
    options.frames = frames;
    options.draw = true;
    // A frame is timed from the end of the last one's report to the end of
    // its drawing.
    auto start = std::chrono::steady_clock::now();
    const PlaySummary played = PlayScenario(show, platform, options, [&](const PlayedFrame& f) {
        glFinish();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        frameMs.push_back(ms);
        if (every > 0 && (f.frame % every == 0 || f.switched))
            std::printf(
                "frame %6d  tick %9u  particles %6d  %7.1f ms %6.1f fps of %.1f  "
                "countdown %3d %-8s  script %s  scene %s\n",
                f.frame, platform.tick, f.particles, ms, 1000.0 / std::max(ms, 0.001),
                kDesignedRate, show.countdown, Phase(show.countdown, f.switched),
                show.playingScript.c_str(), show.playingScene.c_str());
        start = std::chrono::steady_clock::now();
        return true;
    });
    std::printf(
        "played %d frames (%.1f s simulated): %d switches, peak %d particles, %d "
        "message boxes\n",
        frames, frames * tickStep / 1000.0, played.switches, played.peakParticles,
        platform.messages);
    if (!frameMs.empty()) {
        std::sort(frameMs.begin(), frameMs.end());
        const double median = frameMs[frameMs.size() / 2];
        std::printf(
            "frame time: median %.1f ms, longest %.1f ms; %.1f frames a second "
            "(designed %.1f)\n",
            median, frameMs.back(), 1000.0 / std::max(median, 0.001), kDesignedRate);
    }
    plat::Install(nullptr);
    return strict && platform.messages ? 3 : 0;
}
