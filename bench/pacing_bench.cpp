// The saver's pace: its own preview loop, on the real platform, in the
// small window of the test preview, where drawing costs almost nothing, so
// that what is measured is how the loop waits.  Counts the frames drawn
// over --seconds (10) after the first and prints frames a second against
// the design's 90.9 (one frame every 11 ms).
// It plays the show in --data (the source tree's data folder), whose
// options file the saver rewrites: bench/pacing.sh runs it on a copy, on
// Linux and under Wine.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/test_screensaver.h"
#include "platform/clock_ticks.h"
#include "platform/globals.h"
#include "platform/platform.h"

namespace {

class CountingSaver : public CTestScreensaver {
public:
    int seconds = 10;
    int frames = 0;
    int32_t firstClock = 0, lastClock = 0;
    // Gaps between frames: on time (11 ms), a reading late (12: the wait
    // overslept), and longer (a frame that took more than its period).
    int onTime = 0, aReadingLate = 0, longer = 0;
    bool started = false;
    plat::HWND host = 0;

    // The saver's frame hook, counting the frames it draws.  The first frame
    // (the show loading) starts the count.
    void PreviewFrame() override {
        const int32_t before = g_lastFrameClock;
        PacedFrame();
        if (g_lastFrameClock == before) return;
        const int32_t gap = plat::TickDiff(g_lastFrameClock, lastClock);
        lastClock = g_lastFrameClock;
        if (!started) {
            started = true;
            firstClock = lastClock;
            return;
        }
        ++frames;
        (gap <= 11 ? onTime : gap == 12 ? aReadingLate : longer) += 1;
        if (plat::TickDiff(lastClock, firstClock) >= seconds * 1000) plat::DestroyWindow(host);
    }
};

}  // namespace

int main(int argc, char** argv) {
    CountingSaver saver;
    std::string data = WAVENDELL_SOURCE_DIR "/data/";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--data")) data = argv[i + 1];
        if (!std::strcmp(argv[i], "--seconds")) saver.seconds = std::atoi(argv[i + 1]);
    }
    if (data.empty() || data.size() + 2 > sizeof g_run.showFolder || saver.seconds <= 0) {
        std::fprintf(stderr, "usage: pacing_bench [--data FOLDER] [--seconds N]\n");
        return 2;
    }
    const char last = data.back();
    if (last != '/' && last != '\\') data += '/';
    std::strcpy(g_run.showFolder, data.c_str());

    saver.host = saver.CreateTestPreviewWindow();
    if (!saver.host) {
        std::fprintf(stderr, "no window: is there a display?\n");
        return 1;
    }
    int w = 0, h = 0;
    plat::GetClientRect(saver.host, &w, &h);
    saver.RunPreview(saver.host);
    const int32_t ms = plat::TickDiff(saver.lastClock, saver.firstClock);
    if (saver.frames == 0 || ms <= 0) {
        std::fprintf(stderr, "no frames were drawn\n");
        return 1;
    }
    const double fps = saver.frames * 1000.0 / ms;
    std::printf("pacing: %d frames in %.3f s in a %dx%d preview: %.2f frames a second\n",
                saver.frames, ms / 1000.0, w, h, fps);
    std::printf("design: 90.91 (a frame every 11 ms); %.1f%% of it\n", fps / (1000.0 / 11) * 100);
    std::printf("gaps: %d of 11 ms, %d of 12 ms (the wait a reading late), %d longer (drawing)\n",
                saver.onTime, saver.aReadingLate, saver.longer);
    return 0;
}
