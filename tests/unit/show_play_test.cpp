// The show driver: its clock and frame numbers, the end and the pause of a
// script played alone, each reported once with commands held after the
// end, a watch that stops the play, and a scenario played to a number of
// switches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "scenario/action_script.h"
#include "scenario/scenario.h"
#include "tests/support/test_support.h"
#include "tools/show_play/show_play.h"

namespace {

class ShowPlay : public ::testing::Test {
protected:
    ShowPlay() {
        UseDataDir(dir.path());
        dir.Write("_figures/pair.xml",
                  "<Figure><Formula fid='1' count='2'/><Egroup id='1'>"
                  "<Emmiter x='-1' y='0' z='0'/><Emmiter x='1' y='0' z='0'/></Egroup></Figure>");
        // One short swing: left unheld after its end, the script would
        // report the end again every frame.
        dir.Write("_scripts/swing.xml",
                  "<Script><Uses><Figure figureId='1' file='pair.xml'/></Uses><ActionScript>"
                  "<Command EType='1' effTime='200' cycles='1' vx1='0' vy1='0.15' vz1='0'"
                  " vx2='0.01' vy2='0.15' vz2='0' nextAfter='-1'/></ActionScript></Script>");
        dir.Write("a/scene.xml", "<Scene><EColor r='9'/></Scene>");
        dir.Write("defaultScenario.xml",
                  "<Scenario><Scenes><Scene path='a'/></Scenes><Script action='swing.xml'/>"
                  "</Scenario>");
        std::srand(3);
    }

    TempDir dir;
    MemoryPlatformScope scope;
};

TEST_F(ShowPlay, ScriptEndsAndPausesOnceOnItsClockUntilTheWatchStopsIt) {
    CActionScript script;
    script.Load("swing.xml");
    PlayOptions options;
    options.startTick = 7000;
    options.step = 20;
    options.firstFrame = 5;
    options.frames = 2000;
    std::vector<int> ends, pauses;
    int stopAt = -1, mismatchedTicks = 0, peak = 0;
    const PlaySummary played =
        PlayScript(script, scope.platform, options, [&](const PlayedFrame& f) {
            mismatchedTicks +=
                f.tick != 7000 + 20 * (f.frame - 4) || (int32_t)scope.platform.tick != f.tick;
            if (f.ended) ends.push_back(f.frame);
            if (f.paused) {
                pauses.push_back(f.frame);
                stopAt = f.frame + 3;  // the frames after it move no particle either
            }
            peak = std::max(peak, f.particles);
            return f.frame != stopAt;
        });
    EXPECT_EQ(0, mismatchedTicks);
    ASSERT_EQ(1u, ends.size());
    ASSERT_EQ(1u, pauses.size());
    // Frame 5 issues the swing, frame 6 passes it (nextAfter -1); its
    // drops fall for a while after that.
    EXPECT_EQ(6, ends[0]);
    EXPECT_GT(pauses[0], ends[0] + 10);
    EXPECT_EQ(ends[0], played.endFrame);
    EXPECT_EQ(pauses[0], played.pauseFrame);
    EXPECT_EQ(stopAt - 4, played.frames);
    EXPECT_GT(played.peakParticles, 0);
    EXPECT_EQ(peak, played.peakParticles);
    EXPECT_EQ(0, played.switches);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(ShowPlay, ScenarioPlaysUntilItsSwitchesThroughItsCountdown) {
    CScenario show;
    show.Load("defaultScenario.xml");
    ASSERT_EQ(1, show.switchCount);
    PlayOptions options;
    options.startTick = 40000;
    options.frames = 5000;
    options.untilSwitches = 3;
    std::vector<int> ends, pauses, switches;
    const PlaySummary played =
        PlayScenario(show, scope.platform, options, [&](const PlayedFrame& f) {
            if (f.ended) ends.push_back(f.frame);
            if (f.paused) pauses.push_back(f.frame);
            if (f.switched) switches.push_back(f.frame);
            return true;
        });
    EXPECT_EQ(3, show.switchCount);
    EXPECT_EQ(2, played.switches);
    ASSERT_EQ(2u, switches.size());
    ASSERT_EQ(2u, ends.size());
    ASSERT_EQ(2u, pauses.size());
    // It stops right after the last switch; each script ends, its pause
    // begins when its drops have fallen, and the switch comes when the
    // pause has counted down.
    EXPECT_EQ(switches[1] + 1, played.frames);
    for (int i = 0; i < 2; ++i) {
        EXPECT_LT(ends[i], pauses[i]);
        EXPECT_EQ(pauses[i] + COUNTDOWN_PAUSE - COUNTDOWN_SWITCH, switches[i]);
    }
    EXPECT_LT(switches[0], ends[1]);
    EXPECT_EQ(ends[0], played.endFrame);
    EXPECT_EQ(pauses[0], played.pauseFrame);
    EXPECT_EQ((uint32_t)(40000 + 11 * played.frames), scope.platform.tick);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

}  // namespace
