#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "scenario/action_script.h"
#include "tests/support/test_support.h"

namespace {

class ActionScriptTest : public ::testing::Test {
protected:
    void SetUp() override { UseDataDir(dir.path()); }

    // Figures of n idle emitters each, built without files.
    void GiveFigures(CActionScript& s, std::initializer_list<int> emitterCounts) {
        s.figureSet = new CFigureSet();
        s.figureSet->count = (int32_t)emitterCounts.size();
        s.figureSet->figures = new CFigure*[emitterCounts.size()];
        int i = 0;
        for (int n : emitterCounts) {
            CFigure* f = new CFigure();
            f->AllocateEmitters(n, i);
            for (int k = 0; k < n; ++k) f->emitters[k] = new CEmitter((float)k, 0, 0);
            s.figureSet->figures[i++] = f;
        }
    }
    void GiveCommands(CActionScript& s, std::initializer_list<CActionCommand> list) {
        s.commandCount = (int32_t)list.size();
        s.commands = new CActionCommand*[list.size()];
        int i = 0;
        for (const CActionCommand& c : list) s.commands[i++] = new CActionCommand(c);
    }
    static CActionCommand Cmd(int group, int first, int last, int nextAfter = 0) {
        CActionCommand c;
        c.group = group;
        c.first = first;
        c.last = last;
        c.nextAfter = nextAfter;
        return c;
    }
    static CEmitter& E(CActionScript& s, int figure, int k) {
        return *s.figureSet->figures[figure]->emitters[k];
    }
    static int Active(CActionScript& s, int figure) {
        int n = 0;
        CFigure* f = s.figureSet->figures[figure];
        for (int k = 0; k < f->emitterCount; ++k) n += f->emitters[k]->IsActive();
        return n;
    }
    static void Idle(CActionScript& s, int figure) {
        CFigure* f = s.figureSet->figures[figure];
        for (int k = 0; k < f->emitterCount; ++k) f->emitters[k]->start = 0;
    }

    TempDir dir;
    MemoryPlatformScope scope;
};

// ---------------------------------------------------------------- loading

TEST_F(ActionScriptTest, CommandAttributesDefaultsAndCarriedVelocities) {
    dir.Write("_figures/f.xml",
              "<f><Formula/><Egroup><Emmiter x='1'/><Emmiter x='2'/></Egroup></f>");
    dir.Write("_scripts/s.xml",
              "<any>"
              "<ActionScript>"
              "<Note group='9'/>"
              "<Command id='4' group='1' first='2' last='7' delayBS='30' tShift='40' effTime='500'"
              " effTimeD='60' cycles='3' stop='1' vx1='0.1' vy1='0.2' vz1='0.3' vx2='-0.1'"
              " vy2='-0.2' vz2='-0.3' nextAfter='-1' centerX='1.25' centerY='-2.5' Angle1='10'"
              " Angle2='80' YPowerK='2' Power='0.75' EType='2'/>"
              "<Command vy1='0.9'/>"
              "<Pause group='abc' last='x' effTime='' Power='fast' vx1='q' EType='-'/>"
              "</ActionScript>"
              "<Uses><Figure file='f.xml'/><Figure file='f.xml' dy='1'/></Uses>"
              "</any>");
    CActionScript s;
    s.Load("s.xml");
    EXPECT_TRUE(scope.platform.boxes.empty());
    ASSERT_NE(nullptr, s.figureSet);
    EXPECT_EQ(2, s.figureSet->count);
    ASSERT_EQ(3, s.commandCount);

    const CActionCommand& a = *s.commands[0];
    EXPECT_EQ(4, a.id);
    EXPECT_EQ(1, a.group);
    EXPECT_EQ(2, a.first);
    EXPECT_EQ(7, a.last);
    EXPECT_EQ(30, a.delayBS);
    EXPECT_EQ(40, a.tShift);
    EXPECT_EQ(500, a.effTime);
    EXPECT_EQ(60, a.effTimeD);
    EXPECT_EQ(3, a.cycles);
    EXPECT_EQ(1, a.stop);
    EXPECT_FLOAT_EQ(0.1f, a.vx1);
    EXPECT_FLOAT_EQ(0.2f, a.vy1);
    EXPECT_FLOAT_EQ(0.3f, a.vz1);
    EXPECT_FLOAT_EQ(-0.1f, a.vx2);
    EXPECT_FLOAT_EQ(-0.2f, a.vy2);
    EXPECT_FLOAT_EQ(-0.3f, a.vz2);
    EXPECT_EQ(-1, a.nextAfter);
    EXPECT_FLOAT_EQ(1.25f, a.centerX);
    EXPECT_FLOAT_EQ(-2.5f, a.centerY);
    EXPECT_FLOAT_EQ(10.0f, a.Angle1);
    EXPECT_FLOAT_EQ(80.0f, a.Angle2);
    EXPECT_FLOAT_EQ(2.0f, a.YPowerK);
    EXPECT_FLOAT_EQ(0.75f, a.Power);
    EXPECT_EQ(2, a.EType);

    // Defaults everywhere; absent velocities repeat the previous command's.
    const CActionCommand& b = *s.commands[1];
    EXPECT_EQ(0, b.group);
    EXPECT_EQ(0, b.first);
    EXPECT_EQ(500, b.last);
    EXPECT_EQ(0, b.delayBS);
    EXPECT_EQ(0, b.tShift);
    EXPECT_EQ(1000, b.effTime);
    EXPECT_EQ(100, b.effTimeD);
    EXPECT_EQ(2, b.cycles);
    EXPECT_EQ(0, b.stop);
    EXPECT_EQ(0, b.nextAfter);
    EXPECT_FLOAT_EQ(0.0f, b.centerX);
    EXPECT_FLOAT_EQ(0.0f, b.centerY);
    EXPECT_FLOAT_EQ(0.0f, b.Angle1);
    EXPECT_FLOAT_EQ(180.0f, b.Angle2);
    EXPECT_FLOAT_EQ(1.0f, b.YPowerK);
    EXPECT_FLOAT_EQ(0.5f, b.Power);
    EXPECT_EQ(1, b.EType);
    EXPECT_FLOAT_EQ(0.1f, b.vx1);
    EXPECT_FLOAT_EQ(0.9f, b.vy1);
    EXPECT_FLOAT_EQ(0.3f, b.vz1);
    EXPECT_FLOAT_EQ(-0.1f, b.vx2);
    EXPECT_FLOAT_EQ(-0.2f, b.vy2);
    EXPECT_FLOAT_EQ(-0.3f, b.vz2);

    // An element of another name after the first Command is a command; text
    // that is not a number gives the default, or the carried velocity.
    const CActionCommand& c = *s.commands[2];
    EXPECT_EQ(0, c.group);
    EXPECT_EQ(500, c.last);
    EXPECT_EQ(1000, c.effTime);
    EXPECT_FLOAT_EQ(0.5f, c.Power);
    EXPECT_EQ(1, c.EType);
    EXPECT_FLOAT_EQ(0.1f, c.vx1);
    EXPECT_FLOAT_EQ(0.9f, c.vy1);
}

TEST_F(ActionScriptTest, FirstCommandWithoutVelocitiesHasZeroVelocities) {
    dir.Write("_scripts/s.xml", "<r><ActionScript><Command vx2='1'/><Command/></ActionScript></r>");
    CActionScript s;
    s.Load("s.xml");
    ASSERT_EQ(2, s.commandCount);
    for (int i = 0; i < 2; ++i) {
        const CActionCommand& c = *s.commands[i];
        EXPECT_EQ(0.0f, c.vx1);
        EXPECT_EQ(0.0f, c.vy1);
        EXPECT_EQ(0.0f, c.vz1);
        EXPECT_EQ(1.0f, c.vx2);
        EXPECT_EQ(0.0f, c.vy2);
        EXPECT_EQ(0.0f, c.vz2);
    }
}

// Scripts that give nothing to play must let the show move on: they report
// the end on the first frame whose commands are not held.
TEST_F(ActionScriptTest, ScriptsWithNothingToPlayCountAsPlayedOut) {
    dir.Write("_figures/f.xml", "<f><Formula/><Egroup><Emmiter/><Emmiter/></Egroup></f>");
    dir.Write("_scripts/noroot.xml", "<!-- nothing here -->");
    dir.Write("_scripts/nofigures.xml", "<r><Uses/><ActionScript><Command/></ActionScript></r>");
    dir.Write("_scripts/nocommands.xml",
              "<r><Uses><Figure file='f.xml'/></Uses><ActionScript/></r>");
    dir.Write("_scripts/broken.xml", "<r><Uses>");
    std::string longName(250, 's');
    for (const std::string& name :
         {std::string("absent.xml"), std::string("noroot.xml"), std::string("nofigures.xml"),
          std::string("nocommands.xml"), std::string("broken.xml"), longName, std::string(),
          std::string(".")}) {
        scope.platform.boxes.clear();
        CActionScript s;
        s.Load(name.c_str());
        bool unreadable = name == "absent.xml" || name == "broken.xml" || name == longName ||
                          name.empty() || name == ".";
        if (unreadable) {
            ASSERT_EQ(1u, scope.platform.boxes.size()) << name;
            EXPECT_EQ("Error opening file for reading", scope.platform.boxes[0].text);
            EXPECT_EQ(name, scope.platform.boxes[0].caption);
        } else {
            EXPECT_TRUE(scope.platform.boxes.empty()) << name;
        }
        EXPECT_FALSE(s.Run(100, true)) << name;
        EXPECT_TRUE(s.Run(111, false)) << name;
        EXPECT_EQ(0, s.cursor);
        // Drawing a script without figures is a no-op (no GL needed here).
        if (!s.figureSet || s.figureSet->count == 0) {
            s.DrawEmitters();
            s.AnimateParticles(111);
        }
    }
}

TEST_F(ActionScriptTest, FailedLoadKeepsTheEarlierScript) {
    dir.Write("_figures/f.xml", "<f><Formula/><Egroup><Emmiter/><Emmiter/></Egroup></f>");
    dir.Write("_scripts/s.xml",
              "<r><Uses><Figure file='f.xml'/></Uses><ActionScript><Command/>"
              "<Command/></ActionScript></r>");
    CActionScript s;
    s.Load("s.xml");
    ASSERT_EQ(2, s.commandCount);
    CFigureSet* before = s.figureSet;
    s.Load("missing.xml");
    EXPECT_EQ(before, s.figureSet);
    EXPECT_EQ(2, s.commandCount);
    ASSERT_EQ(1u, scope.platform.boxes.size());
    EXPECT_EQ("missing.xml", scope.platform.boxes[0].caption);
}

// ---------------------------------------------------------------- ranges

// The fifteen fields of a jet program, in order.
std::vector<double> ProgramOf(const JetProgram& p) {
    return {p.vx1,          p.vy1,     p.vz1,           p.vx2,
            p.vy2,          p.vz2,     (double)p.EType, (double)p.cycles,
            (double)p.stop, p.centerX, p.centerY,       p.Angle1,
            p.Angle2,       p.YPowerK, p.Power};
}

// A command and an idle emitter start from programs of their own; applying
// a command gives the emitters its whole program.
TEST_F(ActionScriptTest, CommandAndIdleEmitterKeepTheirOwnProgramDefaults) {
    const CActionCommand c;
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0, 0, 0, JET_SWING, 2, 0, 0, 0, 0, 180, 1, 0.5}),
              ProgramOf(c));
    // group, first, last, delayBS, tShift, effTime, effTimeD, nextAfter, id
    EXPECT_EQ((std::vector<int32_t>{0, 0, EMITTER_RANGE_DEFAULT_LAST, 0, 0, 1000, 100, 0, 0}),
              (std::vector<int32_t>{c.group, c.first, c.last, c.delayBS, c.tShift, c.effTime,
                                    c.effTimeD, c.nextAfter, c.id}));
    const CEmitter idle;
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0, 0, 0, JET_SWEEP, 1, 0, 0, 0, 0, 0, 0, 0}),
              ProgramOf(idle));

    CActionScript s;
    GiveFigures(s, {2});
    s.ApplyCommand(Cmd(0, 0, 1), *s.figureSet->figures[0]);
    EXPECT_EQ(ProgramOf(c), ProgramOf(E(s, 0, 0)));
    EXPECT_EQ(ProgramOf(c), ProgramOf(E(s, 0, 1)));
}

TEST_F(ActionScriptTest, DefaultRangeAddressesWholeFigureWithStaggeredStarts) {
    CActionScript s;
    GiveFigures(s, {12});
    s.SetEmitterColor(51, 102, 204, 255);
    for (int k = 0; k < 12; ++k) {
        E(s, 0, k).direction = -1;
        E(s, 0, k).vx = 0.25f;  // the jet keeps its velocity until the new start
    }
    CActionCommand c;
    c.delayBS = 300;
    c.tShift = 50;
    c.effTime = 1000;
    c.effTimeD = 100;
    c.cycles = 4;
    c.stop = 7;
    c.EType = JET_ARC;
    c.vx1 = 0.1f, c.vy1 = 0.2f, c.vz1 = 0.3f, c.vx2 = 0.4f, c.vy2 = 0.5f, c.vz2 = 0.6f;
    c.centerX = 3, c.centerY = -4, c.Angle1 = 15, c.Angle2 = 75, c.YPowerK = 1.5f, c.Power = 0.8f;
    scope.platform.tick = 5000;
    s.ApplyCommand(c, *s.figureSet->figures[0]);
    for (int k = 0; k < 12; ++k) {
        const CEmitter& e = E(s, 0, k);
        SCOPED_TRACE(k);
        EXPECT_EQ(5300 + 50 * k, e.start);
        EXPECT_EQ(1000 + 100 * k, e.duration);
        EXPECT_EQ(e.start + e.duration, e.end);
        EXPECT_EQ(4, e.cycles);
        EXPECT_EQ(7, e.stop);
        EXPECT_EQ(JET_ARC, e.EType);
        EXPECT_EQ(1, e.direction);
        EXPECT_EQ(0.1f, e.vx1);
        EXPECT_EQ(0.2f, e.vy1);
        EXPECT_EQ(0.3f, e.vz1);
        EXPECT_EQ(0.4f, e.vx2);
        EXPECT_EQ(0.5f, e.vy2);
        EXPECT_EQ(0.6f, e.vz2);
        EXPECT_EQ(3.0f, e.centerX);
        EXPECT_EQ(-4.0f, e.centerY);
        EXPECT_EQ(15.0f, e.Angle1);
        EXPECT_EQ(75.0f, e.Angle2);
        EXPECT_EQ(1.5f, e.YPowerK);
        EXPECT_EQ(0.8f, e.Power);
        EXPECT_FLOAT_EQ(0.2f, e.r);
        EXPECT_FLOAT_EQ(0.4f, e.g);
        EXPECT_FLOAT_EQ(0.8f, e.b);
        EXPECT_FLOAT_EQ(1.0f, e.a);
        EXPECT_EQ(0.25f, e.vx);
        EXPECT_EQ((float)k, e.x);  // position untouched
    }
}

TEST_F(ActionScriptTest, ReversedRangeRunsDownwardsFromFirst) {
    CActionScript s;
    GiveFigures(s, {12});
    CActionCommand c = Cmd(0, 7, 2);
    c.tShift = 10;
    c.effTimeD = 5;
    scope.platform.tick = 1000;
    s.ApplyCommand(c, *s.figureSet->figures[0]);
    for (int k = 0; k < 12; ++k) {
        SCOPED_TRACE(k);
        if (k < 2 || k > 7) {
            EXPECT_EQ(0, E(s, 0, k).start);
            continue;
        }
        int m = 7 - k;
        EXPECT_EQ(1000 + 10 * m, E(s, 0, k).start);
        EXPECT_EQ(1000 + 5 * m, E(s, 0, k).duration);
    }
    // Bounds outside the list clamp to it: -3..2 is 0..2.
    CActionScript t;
    GiveFigures(t, {5});
    t.ApplyCommand(Cmd(0, -3, 2), *t.figureSet->figures[0]);
    EXPECT_EQ(3, Active(t, 0));
    EXPECT_EQ(0, E(t, 0, 3).start);
}

TEST_F(ActionScriptTest, EqualOrOutOfRangeBoundsChangeNothingYetCountAsIssued) {
    scope.platform.tick = 2000;
    for (CActionCommand c : {Cmd(0, 5, 5, 3), Cmd(0, 20, 30, 3), Cmd(0, 11, 600, 3)}) {
        CActionScript s;
        GiveFigures(s, {12});
        GiveCommands(s, {c, Cmd(0, 0, 3)});
        EXPECT_FALSE(s.StepCommands(0, 2000));
        EXPECT_EQ(0, Active(s, 0));
        EXPECT_EQ(0, s.issuedMark);
        EXPECT_EQ(3, s.waitingThreshold);
        EXPECT_FALSE(s.StepCommands(0, 2011));
        EXPECT_EQ(1, s.cursor);
    }
    // A single-emitter figure and an empty one are never set in motion.
    CActionScript s;
    GiveFigures(s, {1, 0});
    s.ApplyCommand(Cmd(0, 0, 500), *s.figureSet->figures[0]);
    s.ApplyCommand(Cmd(1, 0, 500), *s.figureSet->figures[1]);
    EXPECT_EQ(0, Active(s, 0));
}

TEST_F(ActionScriptTest, AbsurdTimesWrapInsteadOfOverflowing) {
    CActionScript s;
    GiveFigures(s, {3});
    CActionCommand c = Cmd(0, 0, 2);
    c.delayBS = 2147483000;
    c.tShift = 2147483000;
    c.effTime = 2147483000;
    c.effTimeD = 2147483000;
    scope.platform.tick = 4000000000u;
    s.ApplyCommand(c, *s.figureSet->figures[0]);
    // -294967296 + 2147483000 + 2 * 2147483000, taken modulo 2^32.
    EXPECT_EQ((int32_t)(uint32_t)(uint64_t)(-294967296LL + 3LL * 2147483000LL), E(s, 0, 2).start);
}

// ---------------------------------------------------------------- stepping

TEST_F(ActionScriptTest, CommandsWaitForTheirThresholdAndPassInALaterEvaluation) {
    CActionScript s;
    GiveFigures(s, {4});
    GiveCommands(s, {Cmd(0, 0, 3, 1), Cmd(0, 0, 1)});
    scope.platform.tick = 100;
    // First evaluation issues command 0: no threshold yet.
    EXPECT_FALSE(s.StepCommands(0, 100));
    EXPECT_EQ(4, Active(s, 0));
    EXPECT_EQ(0, s.cursor);
    EXPECT_EQ(0, s.issuedMark);
    EXPECT_EQ(1, s.waitingThreshold);
    // More than one active: wait.
    E(s, 0, 0).start = 0;
    E(s, 0, 1).start = 0;
    EXPECT_FALSE(s.StepCommands(0, 111));
    EXPECT_EQ(0, s.cursor);
    // One left active: the cursor passes command 0 but does not yet issue 1.
    E(s, 0, 2).start = 0;
    EXPECT_FALSE(s.StepCommands(0, 122));
    EXPECT_EQ(1, s.cursor);
    EXPECT_EQ(0, s.issuedMark);
    EXPECT_EQ(0, E(s, 0, 0).start);
    // Command 1 is issued in the next evaluation, against the same threshold.
    scope.platform.tick = 133;
    EXPECT_FALSE(s.StepCommands(0, 133));
    EXPECT_EQ(1, s.issuedMark);
    EXPECT_EQ(133, E(s, 0, 0).start);
    EXPECT_EQ(0, s.waitingThreshold);
    // Its default nextAfter 0 waits for every emitter of the figure.
    EXPECT_FALSE(s.StepCommands(0, 144));
    EXPECT_EQ(1, s.cursor);
    Idle(s, 0);
    EXPECT_TRUE(s.StepCommands(0, 155));
    EXPECT_EQ(0, s.cursor);
}

TEST_F(ActionScriptTest, NextAfterMinusOneNeverWaitsAndBelowMinusOneNeverPasses) {
    scope.platform.tick = 100;
    {
        CActionScript s;
        GiveFigures(s, {4});
        GiveCommands(s, {Cmd(0, 0, 3, -1), Cmd(0, 0, 3, -1)});
        EXPECT_FALSE(s.StepCommands(0, 100));
        EXPECT_EQ(4, Active(s, 0));
        EXPECT_FALSE(s.StepCommands(0, 111));
        EXPECT_EQ(1, s.cursor);
        EXPECT_FALSE(s.StepCommands(0, 122));
        EXPECT_EQ(1, s.issuedMark);
        EXPECT_TRUE(s.StepCommands(0, 133));
    }
    {
        CActionScript s;
        GiveFigures(s, {4});
        GiveCommands(s, {Cmd(0, 2, 2, -2), Cmd(0, 0, 3)});
        EXPECT_FALSE(s.StepCommands(0, 100));
        EXPECT_EQ(0, s.issuedMark);
        EXPECT_EQ(0, Active(s, 0));
        for (int i = 1; i < 50; ++i) EXPECT_FALSE(s.StepCommands(0, 100 + i));
        EXPECT_EQ(0, s.cursor);
    }
}

TEST_F(ActionScriptTest, DelayedStartsCountAsActiveAtOnce) {
    CActionScript s;
    GiveFigures(s, {6});
    CActionCommand c = Cmd(0, 0, 5, 2);
    c.delayBS = 60000;
    GiveCommands(s, {c, Cmd(0, 0, 1)});
    scope.platform.tick = 100;
    EXPECT_FALSE(s.StepCommands(0, 100));
    EXPECT_EQ(6, Active(s, 0));
    EXPECT_EQ(60100, E(s, 0, 0).start);
    for (int i = 1; i < 20; ++i) EXPECT_FALSE(s.StepCommands(0, 100 + 11 * i));
    EXPECT_EQ(0, s.cursor);
}

TEST_F(ActionScriptTest, CommandForAFigureThatDoesNotExistIsNeverIssued) {
    CActionScript s;
    GiveFigures(s, {3, 3});
    GiveCommands(s, {Cmd(2, 0, 2), Cmd(0, 0, 2)});
    scope.platform.tick = 100;
    for (int i = 0; i < 100; ++i) {
        scope.platform.tick = 100 + 11 * i;
        EXPECT_FALSE(s.Run(100 + 11 * i, false));
    }
    EXPECT_EQ(-1, s.issuedMark);
    EXPECT_EQ(0, s.cursor);
    EXPECT_EQ(0, Active(s, 0) + Active(s, 1));
}

TEST_F(ActionScriptTest, AdvanceAndNextIssueShareAFrameOnlyForALaterFigure) {
    CActionScript s;
    GiveFigures(s, {3, 3});
    // Empty ranges: nothing becomes active, so only the order matters.
    GiveCommands(s, {Cmd(0, 1, 1), Cmd(1, 1, 1), Cmd(0, 1, 1)});
    scope.platform.tick = 100;
    EXPECT_FALSE(s.Run(100, false));  // figure 0 issues command 0
    EXPECT_EQ(0, s.issuedMark);
    EXPECT_EQ(0, s.cursor);
    EXPECT_FALSE(s.Run(111, false));  // figure 0 passes it, figure 1 issues command 1
    EXPECT_EQ(1, s.issuedMark);
    EXPECT_EQ(1, s.cursor);
    EXPECT_FALSE(s.Run(122, false));  // figure 1 passes it; figure 0 came first
    EXPECT_EQ(2, s.cursor);
    EXPECT_EQ(1, s.issuedMark);
    EXPECT_FALSE(s.Run(133, false));  // figure 0 issues command 2
    EXPECT_EQ(2, s.issuedMark);
    EXPECT_TRUE(s.Run(144, false));  // and passes it: the end, cursor back at 0
    EXPECT_EQ(0, s.cursor);
    // Held frames issue nothing.
    EXPECT_FALSE(s.Run(155, true));
    EXPECT_EQ(2, s.issuedMark);
    EXPECT_EQ(0, s.cursor);
}

// ---------------------------------------------------------------- with jets

TEST_F(ActionScriptTest, IssuedCommandAdvancesItsJetsInTheSameFrameAndWhileHeld) {
    CActionScript s;
    GiveFigures(s, {2});
    CActionCommand c = Cmd(0, 0, 1, -1);
    c.EType = JET_SWING;
    c.tShift = 500;
    c.effTime = 1000;
    c.effTimeD = 0;
    c.vy1 = 0.5f;
    c.vy2 = 1.5f;
    GiveCommands(s, {c, Cmd(0, 1, 1, -1)});
    E(s, 0, 1).vx = 0.25f;
    scope.platform.tick = 10000;
    s.Run(10000, false);
    EXPECT_EQ(0.5f, E(s, 0, 0).vy);
    // The second emitter starts later and keeps its old jet until then.
    EXPECT_EQ(0.25f, E(s, 0, 1).vx);
    EXPECT_EQ(0.0f, E(s, 0, 1).vy);
    // Held frames issue nothing but the jets run on.
    scope.platform.tick = 10500;
    s.Run(10500, true);
    EXPECT_EQ(0, s.cursor);
    EXPECT_FLOAT_EQ(1.0f, E(s, 0, 0).vy);
    EXPECT_FLOAT_EQ(0.5f, E(s, 0, 1).vy);
}

// A sweep keeps spraying after its last cycle, so its emitters stay active
// and only a nextAfter of at least their number lets the script go on.
TEST_F(ActionScriptTest, SweepEmittersStayActiveAndHoldTheScriptBelowTheirCount) {
    for (int nextAfter : {0, 2, 3}) {
        SCOPED_TRACE(nextAfter);
        CActionScript s;
        GiveFigures(s, {3});
        CActionCommand c = Cmd(0, 0, 2, nextAfter);
        c.EType = JET_SWEEP;
        c.cycles = 1;
        c.effTime = 100;
        c.effTimeD = 10;
        c.vy1 = c.vy2 = 0.3f;
        GiveCommands(s, {c});
        bool ended = false;
        for (int frame = 0; frame < 200 && !ended; ++frame) {
            int32_t tick = 20000 + 11 * frame;
            scope.platform.tick = (uint32_t)tick;
            ended = s.Run(tick, false);
        }
        EXPECT_EQ(3, Active(s, 0));
        EXPECT_EQ(nextAfter >= 3, ended);
        EXPECT_GT(E(s, 0, 2).vy, 0.29f);
    }
}

}  // namespace
