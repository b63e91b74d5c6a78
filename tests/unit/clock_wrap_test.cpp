// The two 32-bit millisecond clocks across the points where they wrap: 2^31,
// where they turn negative read as signed (24.8 days), and 2^32, where they
// start again at 0 (49.7 days).
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/clock_ticks.h"
#include "scenario/scenario.h"
#include "tests/support/host_fixture.h"
#include "tools/show_play/show_play.h"

using namespace plat;

namespace {

class ClockWrap : public HostFixture, public ::testing::WithParamInterface<uint64_t> {
protected:
    uint32_t Wrap() const { return (uint32_t)GetParam(); }
};

// The saver's own loop with its process clock passing the wrap half a
// second in: a frame every 11 ms before and after, and every turn without
// a frame sleeps until the next is due.
TEST_P(ClockWrap, FramesKeepTheirPaceOnTheProcessClock) {
    const uint32_t start = Wrap() - 500;
    p.processClock = (int32_t)start;
    p.waitAdvancesClock = true;
    int turnsWithoutTime = 0;
    uint32_t lastClock = start;
    bool ended = false;
    p.onPump = [&] {
        HWND h = App().m_hSaverWnd;
        // A turn that neither drew (the render seam does not advance the
        // clock) nor slept: a loop spinning.
        turnsWithoutTime += (uint32_t)p.processClock == lastClock;
        lastClock = (uint32_t)p.processClock;
        if (!ended && (TickDiff(p.processClock, start) >= 3000 || turnsWithoutTime > 1000)) {
            ended = true;
            p.Inject(h, WM_KEYDOWN);
        }
    };
    App().RunSaver();
    // 3000 ms at 11 ms a frame.
    EXPECT_NEAR(3000 / 11, g_renderLog.frames, 2);
    EXPECT_LE(turnsWithoutTime, g_renderLog.frames + 2);
    for (int32_t wait : p.waits) {
        EXPECT_GT(wait, 0);
        EXPECT_LE(wait, 11);
    }
}

// A show played on the system tick across the wrap: its jets run out and
// the scenario switches before and after, at the same pace.
TEST_P(ClockWrap, ScriptsKeepSwitchingOnTheSystemTick) {
    TempDir dir;
    UseDataDir(dir.path());
    dir.Write("_figures/pair.xml",
              "<Figure><Formula fid='1' count='2'/><Egroup id='1'>"
              "<Emmiter x='-1' y='0' z='0'/><Emmiter x='1' y='0' z='0'/></Egroup></Figure>");
    dir.Write("_scripts/swing.xml",
              "<Script><Uses><Figure figureId='1' file='pair.xml'/></Uses><ActionScript>"
              "<Command EType='1' effTime='2000' cycles='2' vx1='0' vy1='0.15' vz1='0'"
              " vx2='0.01' vy2='0.15' vz2='0'/></ActionScript></Script>");
    dir.Write("a/scene.xml", "<Scene><EColor r='9'/></Scene>");
    dir.Write("defaultScenario.xml",
              "<Scenario><Scenes><Scene path='a'/></Scenes><Script action='swing.xml'/>"
              "</Scenario>");
    std::srand(5);
    CScenario show;
    show.Load("defaultScenario.xml");
    PlayOptions options;
    options.startTick = Wrap() - 30000;
    options.frames = 30000;
    options.untilSwitches = 9;
    std::vector<int32_t> switchTicks;
    PlayScenario(show, p, options, [&](const PlayedFrame& f) {
        if (f.switched) switchTicks.push_back(TickDiff(f.tick, Wrap()));
        return true;
    });
    ASSERT_EQ(8u, switchTicks.size()) << "the show stopped switching";
    EXPECT_LT(switchTicks.front(), 0);
    EXPECT_GT(switchTicks.back(), 0);
    // Each script lasts as long as the one before.
    for (size_t i = 2; i < switchTicks.size(); ++i)
        EXPECT_NEAR(switchTicks[1] - switchTicks[0], switchTicks[i] - switchTicks[i - 1], 50);
    EXPECT_TRUE(p.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(AtBothWraps, ClockWrap, ::testing::Values(1ull << 31, 1ull << 32));

}  // namespace
