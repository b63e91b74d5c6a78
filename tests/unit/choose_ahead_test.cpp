// Choosing the next script and scene at the start of the pause draws the
// same random numbers in the same order as choosing at the switch: a show
// of several switches, played both ways from one seed, moves every particle
// the same, chooses the same and leaves the generator in the same state.
// Where a random number could be drawn during the pause, the choice waits
// for the switch.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "fountains/particle_system.h"
#include "scenario/action_script.h"
#include "scenario/scenario.h"
#include "tests/support/test_support.h"
#include "tools/show_play/show_play.h"

namespace {

// Swings that fall idle, then an arc that sprays for a while: every
// emitter is idle with its jet off once the script has played.
const char kQuiet[] =
    "<Script><Uses><Figure figureId='1' file='row.xml'/></Uses><ActionScript>"
    "<Command EType='1' effTime='300' effTimeD='40' cycles='2' vx1='-0.03' vy1='0.2' vz1='0'"
    " vx2='0.03' vy2='0.25' vz2='0' nextAfter='-1'/>"
    "<Command first='1' last='3' EType='2' effTime='400' cycles='1' Angle1='60' Angle2='120'"
    " Power='0.2' YPowerK='1'/></ActionScript></Script>";
// A swing on two emitters, then one on the other two that starts one and a
// half seconds after it is issued and is not waited for: the pause begins
// when the first swing's particles have fallen, with the late swing still
// to come, and the late swing sprays during the pause.
const char kLate[] =
    "<Script><Uses><Figure figureId='1' file='row.xml'/></Uses><ActionScript>"
    "<Command first='0' last='1' EType='1' effTime='200' cycles='1' vx1='0' vy1='0.15'"
    " vz1='0' vx2='0.02' vy2='0.18' vz2='0' nextAfter='-1'/>"
    "<Command first='2' last='3' EType='1' delayBS='1500' effTime='300' cycles='1' vx1='0'"
    " vy1='0.1' vz1='0' vx2='0' vy2='0.12' vz2='0' nextAfter='4'/></ActionScript></Script>";

struct Trace {
    uint64_t hash = 1469598103934665603ull;
    int chosenAheadAfterQuiet = 0, pausesAfterQuiet = 0;
    int chosenAheadAfterLate = 0, pausesAfterLate = 0, lateParticlesInPause = 0;
    int nextRandom = 0;
    std::string choices;

    void Add(int64_t v) {
        for (int i = 0; i < 8; ++i) {
            hash ^= (uint64_t)(v >> (8 * i)) & 0xff;
            hash *= 1099511628211ull;
        }
    }
    void AddFloat(float f) {
        int32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Add(bits);
    }
};

class ChooseAhead : public ::testing::Test {
protected:
    ChooseAhead() {
        UseDataDir(dir.path());
        std::string row = "<Figure><Formula fid='1' count='4'/><Egroup id='1'>";
        for (int i = 0; i < 4; ++i)
            row += "<Emmiter x='" + std::to_string(-6 + 4 * i) + "' y='0' z='0'/>";
        dir.Write("_figures/row.xml", row + "</Egroup></Figure>");
        dir.Write("_scripts/quiet.xml", kQuiet);
        dir.Write("_scripts/late.xml", kLate);
        for (const char* scene : {"a", "b", "c"})
            dir.Write(std::string(scene) + "/scene.xml", "<Scene><EColor r='9'/></Scene>");
        dir.Write("defaultScenario.xml",
                  "<Scenario><Scenes><Scene path='a'/><Scene path='b'/><Scene path='c'/>"
                  "</Scenes><Script action='quiet.xml'/><Script action='late.xml'/>"
                  "<Script action='quiet.xml' scenePath='c'/></Scenario>");
    }

    Trace Play(bool ahead, int switches) {
        std::srand(99);
        CScenario show;
        show.chooseAhead = ahead;
        scope.platform.tick = 20000;
        show.Load("defaultScenario.xml");
        PlayOptions options;
        options.startTick = scope.platform.tick;
        options.frames = switches * 3000;
        options.untilSwitches = switches + 1;
        Trace run;
        int aheadBefore = show.switchesChosenAhead;
        PlayScenario(show, scope.platform, options, [&](const PlayedFrame& f) {
            run.Add(f.frame);
            run.Add(show.switchCount);
            run.Add(f.particles);
            // No frame counted below switches: the script named is the one
            // whose pause it is.
            const std::string& playing = show.playingScript;
            if (f.paused) {
                const bool chosen = show.switchesChosenAhead != aheadBefore;
                (playing == "late.xml" ? run.pausesAfterLate : run.pausesAfterQuiet) += 1;
                (playing == "late.xml" ? run.chosenAheadAfterLate : run.chosenAheadAfterQuiet) +=
                    chosen;
            }
            aheadBefore = show.switchesChosenAhead;
            if (show.countdown > COUNTDOWN_SWITCH && show.countdown < COUNTDOWN_PAUSE &&
                playing == "late.xml")
                run.lateParticlesInPause += f.particles;
            if (f.switched) run.choices += show.playingScript + "@" + show.playingScene + " ";
            if (!show.script || !show.script->figureSet) return true;
            const CFigureSet& set = *show.script->figureSet;
            for (int32_t fig = 0; fig < set.count; ++fig)
                for (int32_t k = 0; k < set.figures[fig]->emitterCount; ++k) {
                    const CParticleSystem& pool = *set.figures[fig]->particleSystems[k];
                    for (int32_t i = 0; i < pool.count; ++i) {
                        if (!pool.particles[i].live) continue;
                        run.AddFloat(pool.particles[i].x);
                        run.AddFloat(pool.particles[i].y);
                        run.AddFloat(pool.particles[i].width);
                        run.AddFloat(pool.particles[i].r);
                    }
                }
            return true;
        });
        EXPECT_GT(show.switchCount, switches) << "the show stalled";
        run.nextRandom = std::rand();
        return run;
    }

    TempDir dir;
    MemoryPlatformScope scope;
};

TEST_F(ChooseAhead, DrawsTheSameNumbersInTheSameOrderAsTheSwitch) {
    const Trace atSwitch = Play(false, 12);
    const Trace ahead = Play(true, 12);
    EXPECT_EQ(atSwitch.choices, ahead.choices);
    EXPECT_EQ(atSwitch.hash, ahead.hash) << std::hex << atSwitch.hash << " " << ahead.hash;
    EXPECT_EQ(atSwitch.nextRandom, ahead.nextRandom);
    EXPECT_TRUE(scope.platform.boxes.empty());

    // Both scripts played, and the choice was made ahead exactly after the
    // quiet one; after the late one particles flew during the pause.
    EXPECT_EQ(0, atSwitch.chosenAheadAfterQuiet + atSwitch.chosenAheadAfterLate);
    EXPECT_GT(ahead.pausesAfterQuiet, 2);
    EXPECT_GT(ahead.pausesAfterLate, 2);
    EXPECT_EQ(ahead.pausesAfterQuiet, ahead.chosenAheadAfterQuiet);
    EXPECT_EQ(0, ahead.chosenAheadAfterLate);
    EXPECT_GT(ahead.lateParticlesInPause, 0);
}

}  // namespace
