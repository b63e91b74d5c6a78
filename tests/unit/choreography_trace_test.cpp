// Plays a small script on two figures frame by frame with a fixed seed and a
// simulated tick, without drawing, and checks the trace of command issues and
// active emitter counts against the recorded one.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "scenario/action_script.h"
#include "tests/support/test_support.h"
#include "tools/show_play/show_play.h"

namespace {

const char* const kRing =
    "<figure><Formula fid='1' count='4' cx='0' cy='0' rx='2' ry='2'/><Egroup id='0'>"
    "<Emmiter id='0' x='2' y='0' z='0'/><Emmiter id='1' x='0' y='0' z='2'/>"
    "<Emmiter id='2' x='-2' y='0' z='0'/><Emmiter id='3' x='0' y='0' z='-2'/>"
    "</Egroup></figure>";
const char* const kRow =
    "<figure><Formula fid='2' count='3'/><Egroup id='0'>"
    "<Emmiter x='-1' y='0' z='0'/><Emmiter x='0' y='0' z='0'/><Emmiter x='1' y='0' z='0'/>"
    "</Egroup></figure>";
// Swing on the ring, arc on the row, a sweep back down the ring whose
// emitters then stay active, and a delayed swing on the row.
const char* const kScript =
    "<script><Uses>"
    "<Figure figureId='1' file='ring.xml' dx='0' dy='-4'/>"
    "<Figure figureId='2' file='row.xml' dx='5' dy='-6'/>"
    "</Uses><ActionScript>"
    "<Command group='0' EType='1' tShift='100' effTime='400' effTimeD='50' cycles='2'"
    " vx1='0' vy1='0.2' vz1='0' vx2='0.05' vy2='0.3' vz2='0' nextAfter='-1'/>"
    "<Command group='1' EType='2' effTime='600' cycles='1' Angle1='45' Angle2='135'"
    " Power='0.3' YPowerK='1.2' centerX='5' centerY='-6' nextAfter='1'/>"
    "<Command group='0' first='3' last='0' EType='0' effTime='300' effTimeD='0' cycles='2'"
    " vy1='0.25' vy2='0.15' nextAfter='4'/>"
    "<Command group='1' EType='1' delayBS='500' effTime='700' vx1='-0.02' vy1='0.22'"
    " vx2='0.02'/>"
    "</ActionScript></script>";

struct Trace {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a over the recorded values
    std::vector<int> issueOrder;
    std::vector<int> issueFrames;
    int endReports = 0;
    int endFrame = -1;
    long long particlesMoved = 0;
    std::vector<int> finalActive;

    void Add(int64_t v) {
        for (int i = 0; i < 8; ++i) {
            hash ^= (uint64_t)(v >> (8 * i)) & 0xff;
            hash *= 1099511628211ull;
        }
    }
};

Trace Play(plat::MemoryPlatform& platform, int frames) {
    std::srand(4242);
    CActionScript s;
    s.Load("trace.xml");
    s.SetEmitterColor(200, 220, 255, 100);
    PlayOptions options;
    options.startTick = 500000;
    options.frames = frames;
    Trace t;
    int lastIssued = s.issuedMark;
    PlayScript(s, platform, options, [&](const PlayedFrame& f) {
        if (f.ended) {
            ++t.endReports;
            t.endFrame = f.frame;
        }
        if (s.issuedMark != lastIssued) {
            lastIssued = s.issuedMark;
            t.issueOrder.push_back(lastIssued);
            t.issueFrames.push_back(f.frame);
            t.Add(f.frame);
            t.Add(lastIssued);
        }
        for (int g = 0; g < s.figureSet->count; ++g) {
            const CFigure* fig = s.figureSet->figures[g];
            int active = 0;
            for (int k = 0; k < fig->emitterCount; ++k) active += fig->emitters[k]->IsActive();
            t.Add(active);
            if (f.frame == frames - 1) t.finalActive.push_back(active);
        }
        t.particlesMoved += f.particles;
        return true;
    });
    return t;
}

TEST(ChoreographyTrace, FixedSeedAndTickGiveTheRecordedTrace) {
    TempDir dir;
    MemoryPlatformScope scope;
    UseDataDir(dir.path());
    dir.Write("_figures/ring.xml", kRing);
    dir.Write("_figures/row.xml", kRow);
    dir.Write("_scripts/trace.xml", kScript);

    Trace a = Play(scope.platform, 3000);
    EXPECT_TRUE(scope.platform.boxes.empty());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), a.issueOrder);
    EXPECT_EQ(1, a.endReports);
    EXPECT_GT(a.endFrame, a.issueFrames.back());
    EXPECT_GT(a.particlesMoved, 0);

    // The same seed and ticks repeat everything, particles included.
    Trace b = Play(scope.platform, 3000);
    EXPECT_EQ(a.hash, b.hash);
    EXPECT_EQ(a.issueFrames, b.issueFrames);
    EXPECT_EQ(a.particlesMoved, b.particlesMoved);

    // Frame 0 issues the swing; frame 1 passes it (nextAfter -1) and issues
    // the arc; the ring's third emitter ends its second cycle in frame 110,
    // so frame 111 finds one active emitter there and issues the sweep; the
    // sweep's nextAfter of 4 passes at once and the delayed swing follows in
    // the same frame; its last emitter falls idle in frame 322.
    EXPECT_EQ((std::vector<int>{0, 1, 111, 112}), a.issueFrames);
    EXPECT_EQ(323, a.endFrame);
    // The ring's sweep sprays on after the script has ended.
    EXPECT_EQ((std::vector<int>{4, 0}), a.finalActive);
    EXPECT_EQ(0x986270cf67237098ull, a.hash) << std::hex << "trace hash 0x" << a.hash;
}

}  // namespace
