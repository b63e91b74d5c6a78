// The trail through textures shows the picture the accumulation buffer
// shows: a small show played frame by frame through both, from one seed and
// one simulated tick, agrees to 2/255 in every channel of every frame,
// across a scene switch and a resize; and once the show is gone, the last
// bright drop fades to black in both.  Frames allocate nothing either way.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fountains/fountain_textures.h"
#include "options/options.h"
#include "render/motion_trail.h"
#include "render/rendering.h"
#include "scenario/scenario.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/small_show.h"
#include "tests/support/test_support.h"

namespace {

const int kW = 160, kH = 100;           // the window
const int kSmallW = 120, kSmallH = 80;  // its size after the resize
const int kShowFrames = 200, kDarkFrames = 100;
const int kSwitchAt = 90, kResizeAt = 150, kWarmFrames = 10;

struct Played {
    TrailPath path = TRAIL_OFF;
    int dropsAtEnd = 0;                        // particles moved in the show's last frame
    size_t allocations = 0;                    // by frames that neither switch nor resize
    std::vector<std::vector<uint8_t>> frames;  // RGBA, bottom row first
};

// The brightest channel in the window's size after the resize.
int Brightest(const std::vector<uint8_t>& frame) {
    int brightest = 0;
    for (int y = 0; y < kSmallH; ++y)
        for (int x = 0; x < kSmallW; ++x)
            for (int c = 0; c < 3; ++c)
                brightest = std::max<int>(brightest, frame[((size_t)y * kW + x) * 4 + c]);
    return brightest;
}

class MotionTrail : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.ok());
        SmallShow show = CleanSmallShow();
        // A second scene, so that the switch changes the picture.
        show.texts["defaultScenario.xml"] =
            "<Scenario><Scenes><Scene path='pond'/><Scene path='lake'/></Scenes>"
            "<Script action='jets.xml'/></Scenario>";
        show.texts["lake/scene.xml"] =
            "<Scene><EColor r='255' g='255' b='255' a='255'/><Back file='backdrop.jpg'/>"
            "<Water file='water.jpg'/></Scene>";
        show.pictures["lake/backdrop.jpg"] = {64, 64};
        show.pictures["lake/water.jpg"] = {64, 32};
        ASSERT_TRUE(show.WriteTo(dir.path()));
        UseDataDir(dir.path());
    }
    void TearDown() override { ResetProcess(); }

    // Plays the show through the given path: kShowFrames of it, then the
    // show taken away for kDarkFrames.
    Played Play(bool throughTextures) {
        ResetProcess();
        UseDataDir(dir.path());
        g_options.KeepAspect_1_6 = 0;
        g_options.DoNotUseAccumBuffer = 0;
        g_run.trail = 1;  // asked for: the renderer is a software one
        InitRendering();
        g_shadersAvailable = 0;  // the ripple runs on real time
        g_run.formatHasAccum = true;
        if (!throughTextures) g_run.framebufferObjects = false;
        std::srand(7);
        scope.platform.tick = 5000;
        g_scenario->SwitchScene();
        ResizeViewport(kW, kH);
        Played played;
        played.path = CurrentTrailPath();
        for (int f = 0; f < kShowFrames + kDarkFrames; ++f) {
            if (f == kSwitchAt) g_scenario->SwitchScene();
            if (f == kResizeAt) ResizeViewport(kSmallW, kSmallH);
            CScenario* show = g_scenario;
            if (f >= kShowFrames) g_scenario = nullptr;
            scope.platform.tick += 11;
            {
                AllocationCounter counter;
                RenderFrame();
                if ((f >= kWarmFrames && f < kSwitchAt) || f >= kShowFrames)
                    played.allocations += counter.count();
            }
            if (f == kShowFrames - 1) played.dropsAtEnd = g_frameParticleCount;
            g_scenario = show;
            played.frames.push_back(window.ReadAll());
        }
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
        return played;
    }

    GlTestWindow window{kW, kH, true};
    TempDir dir;
    MemoryPlatformScope scope;
};

TEST_F(MotionTrail, TexturesShowWhatTheAccumulationBufferShows) {
    const Played accum = Play(false);
    const Played textures = Play(true);
    ASSERT_EQ(TRAIL_ACCUM, accum.path);
    ASSERT_EQ(TRAIL_TEXTURES, textures.path);

    int worst = 0, worstFrame = -1;
    for (size_t f = 0; f < accum.frames.size(); ++f) {
        // After the resize only the window's new size is drawn.
        const int w = (int)f < kResizeAt ? kW : kSmallW, h = (int)f < kResizeAt ? kH : kSmallH;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    const size_t i = ((size_t)y * kW + x) * 4 + c;
                    const int a = accum.frames[f][i], b = textures.frames[f][i];
                    if (std::abs(a - b) > worst) worst = std::abs(a - b), worstFrame = (int)f;
                }
    }
    EXPECT_LE(worst, 2) << "frame " << worstFrame;

    // Drops flew when the show was taken away; ten frames later the trail
    // still shows them, and at the end they and the backdrop have faded to
    // black.
    for (const Played* p : {&accum, &textures}) {
        const char* name = p == &accum ? "glAccum" : "textures";
        EXPECT_GT(p->dropsAtEnd, 100) << name;
        EXPECT_EQ(0u, p->allocations) << name;
        EXPECT_GT(Brightest(p->frames[kShowFrames + 10]), 50) << name;
        EXPECT_EQ(0, Brightest(p->frames.back())) << name;
    }
}

}  // namespace
