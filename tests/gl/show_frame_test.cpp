// The complete frame under real GL: InitRendering with a data set, then
// RenderFrame with a simulated tick, read back before the (in-memory) swap.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fountains/fountain_textures.h"
#include "options/options.h"
#include "render/notice.h"
#include "render/rendering.h"
#include "scenario/action_script.h"
#include "scenario/scenario.h"
#include "scenario/stage.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"

namespace {

const int kW = 320, kH = 200;

struct Colour {
    int r, g, b;
};

// A picture of four quadrants: top left red, top right green, bottom left
// blue, bottom right yellow.
void WriteQuadrantJpeg(const std::string& path, int side) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool top = y < side / 2, left = x < side / 2;
            const Colour c = top ? (left ? Colour{255, 0, 0} : Colour{0, 255, 0})
                                 : (left ? Colour{0, 0, 255} : Colour{255, 255, 0});
            rgb.push_back((uint8_t)c.r);
            rgb.push_back((uint8_t)c.g);
            rgb.push_back((uint8_t)c.b);
        }
    ASSERT_TRUE(WriteJpeg(path, side, side, JPEG_COLOUR, rgb));
}

std::string SpriteBmp(uint32_t argb) {
    return BmpBytes(8, 8, 0, BgraPixels(8, 8, [argb](int, int) { return argb; }));
}

std::string Emitters(int count, double x0, double step, double z) {
    std::string out = "<Figure><Formula fid='1' count='0'/><Egroup id='1'>";
    for (int i = 0; i < count; ++i)
        out += "<Emmiter id='" + std::to_string(i) + "' x='" + std::to_string(x0 + i * step) +
               "' y='0' z='" + std::to_string(z) + "'/>";
    return out + "</Egroup></Figure>";
}

class ShowFrame : public ::testing::Test {
protected:
    ShowFrame() : ShowFrame(kW, kH) {}
    ShowFrame(int w, int h) : window(w, h) {}

    void SetUp() override {
        ASSERT_TRUE(window.ok());
        tick = 1000;
        saved = g_options;
        g_options.DoNotUseAccumBuffer = 1;
        g_options.KeepAspect_1_6 = 0;
        g_accumAvailable = 0;
        g_viewAspect = 1.6;
        UseDataDir(dir.path());
    }
    void TearDown() override {
        delete g_scenario;
        g_scenario = nullptr;
        delete g_fountainTextures;
        g_fountainTextures = nullptr;
        g_options = saved;
    }

    void WriteSprites() {
        dir.Write("particle7.bmp", SpriteBmp(0xFFFFFFFF));
        dir.Write("fSource.bmp", SpriteBmp(0xFFFFFFFF));
        dir.Write("emitterTube.bmp", SpriteBmp(0xFF808080));
    }
    void WriteScene(const std::string& name) {
        dir.Write(name + "/scene.xml",
                  "<Scene><EColor r='200' g='220' b='255' a='200'/><Back file='back.jpg'/>"
                  "<Water file='water.jpg'/></Scene>");
        WriteQuadrantJpeg(dir.path() + name + "/back.jpg", 64);
        WriteQuadrantJpeg(dir.path() + name + "/water.jpg", 64);
    }
    // One scene and a script that starts no fountain.
    void WriteStillShow() {
        WriteScene("s");
        dir.Write("_scripts/still.xml", "<Script><ActionScript><Command/></ActionScript></Script>");
        dir.Write("defaultScenario.xml",
                  "<Scenario><Scenes><Scene path='s'/></Scenes><Script action='still.xml'/>"
                  "</Scenario>");
    }
    // As the saver starts: one-time set-up, then the window's first size.
    void Start(unsigned seed = 1) {
        InitRendering();
        std::srand(seed);
        ResizeViewport(window.width(), window.height());
    }
    void Frame() {
        tick += 11;
        RenderFrame();
    }
    // The frame as it would be without fountains: the running script is
    // taken away for one frame.
    std::vector<uint8_t> StageOnly() {
        CActionScript* running = g_scenario->script;
        g_scenario->script = nullptr;
        Frame();
        g_scenario->script = running;
        return window.ReadAll();
    }
    // Window position of a world point under the stage camera.
    bool Project(double x, double y, double z, int* px, int* py) {
        GLdouble model[16], proj[16];
        GLint vp[4];
        const double* c = g_scenario->Stage().camera;
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glPopMatrix();
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, vp);
        GLdouble wx, wy, wz;
        gluProject(x, y, z, model, proj, vp, &wx, &wy, &wz);
        *px = (int)wx;
        *py = (int)wy;
        return *px >= 0 && *px < window.width() && *py >= 0 && *py < window.height();
    }
    Colour PixelAt(double x, double y, double z) {
        int px, py;
        EXPECT_TRUE(Project(x, y, z, &px, &py)) << x << "," << y << "," << z;
        uint8_t rgba[4] = {0, 0, 0, 0};
        window.ReadPixel(px, py, rgba);
        return Colour{rgba[0], rgba[1], rgba[2]};
    }
    static int Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int n = 0;
        for (size_t i = 0; i + 3 < a.size(); i += 4)
            n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
        return n;
    }
    size_t Boxes() const { return scope.platform.boxes.size(); }

    GlTestWindow window;
    MemoryPlatformScope scope;
    TempDir dir;
    COptions saved;
    uint32_t& tick = scope.platform.tick;
};

void ExpectColour(const char* what, Colour c, bool r, bool g, bool b) {
    SCOPED_TRACE(what);
    EXPECT_EQ(r, c.r > 150) << c.r << " " << c.g << " " << c.b;
    EXPECT_EQ(g, c.g > 150) << c.r << " " << c.g << " " << c.b;
    EXPECT_EQ(b, c.b > 150) << c.r << " " << c.g << " " << c.b;
}

TEST_F(ShowFrame, BackdropStandsUprightAndWaterRunsTowardsIt) {
    WriteStillShow();
    Start();
    Frame();
    EXPECT_EQ(0u, Boxes());
    const double W = g_scenario->Stage().halfWidth, H = g_scenario->Stage().height;
    ASSERT_EQ(80.0, W);
    // Backdrop at z = 0: the picture as it is, top at y = H.
    ExpectColour("backdrop top left", PixelAt(-W / 2, 3 * H / 4, 0), true, false, false);
    ExpectColour("backdrop top right", PixelAt(W / 2, 3 * H / 4, 0), false, true, false);
    ExpectColour("backdrop bottom left", PixelAt(-W / 2, H / 4, 0), false, false, true);
    ExpectColour("backdrop bottom right", PixelAt(W / 2, H / 4, 0), true, true, false);
    // Water at y = 0: the picture's top edge lies at the foot of the
    // backdrop, its bottom edge towards the viewer.
    ExpectColour("water far left", PixelAt(-W / 2, 0, H / 4), true, false, false);
    ExpectColour("water far right", PixelAt(W / 2, 0, H / 4), false, true, false);
    ExpectColour("water near left", PixelAt(-W / 2, 0, 3 * H / 4), false, false, true);
    ExpectColour("water near right", PixelAt(W / 2, 0, 3 * H / 4), true, true, false);
}

TEST_F(ShowFrame, BeforeAnySceneNothingOfTheStageIsDrawn) {
    // Another object's texture is left bound, as drawing elsewhere may do.
    GLuint red = 0;
    const uint8_t texel[4] = {255, 0, 0, 255};
    glGenTextures(1, &red);
    glBindTexture(GL_TEXTURE_2D, red);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

    Start();  // no scenario file
    ASSERT_EQ(1u, Boxes());
    glBindTexture(GL_TEXTURE_2D, red);
    Frame();
    const std::vector<uint8_t> px = window.ReadAll();
    size_t lit = 0;
    for (size_t i = 0; i < px.size(); i += 4) lit += px[i] || px[i + 1] || px[i + 2];
    EXPECT_EQ(0u, lit);
    glDeleteTextures(1, &red);
}

TEST_F(ShowFrame, NoFountainsAreDrawnInTheSwitchFrame) {
    WriteSprites();
    WriteScene("s");
    dir.Write("_figures/row.xml", Emitters(8, -28, 8, 40));
    // One command that addresses no emitter: the script ends at once and no
    // particle ever flies, yet every emitter is drawn in every frame.
    dir.Write("_scripts/idle.xml",
              "<Script><Uses><Figure figureId='1' file='row.xml'/></Uses>"
              "<ActionScript><Command first='3' last='3'/></ActionScript></Script>");
    dir.Write("defaultScenario.xml",
              "<Scenario><Scenes><Scene path='s'/></Scenes><Script action='idle.xml'/>"
              "</Scenario>");
    Start();
    Frame();
    Frame();
    ASSERT_EQ(100, g_scenario->countdown);
    while (g_scenario->countdown > 3) Frame();
    const std::vector<uint8_t> pause = window.ReadAll();
    Frame();
    ASSERT_EQ(0, g_scenario->countdown);
    const std::vector<uint8_t> switchFrame = window.ReadAll();
    const std::vector<uint8_t> stage = StageOnly();
    Frame();
    const std::vector<uint8_t> after = window.ReadAll();

    EXPECT_GT(Differing(pause, stage), 20) << "emitters show during the pause";
    EXPECT_EQ(0, Differing(switchFrame, stage)) << "fountains drawn in the switch frame";
    EXPECT_GT(Differing(after, stage), 20) << "emitters show again after the switch";
    EXPECT_EQ(0u, Boxes());
}

TEST_F(ShowFrame, PauseWaitsForTheLastParticleToFall) {
    WriteSprites();
    WriteScene("s");
    dir.Write("_figures/row.xml", Emitters(4, -12, 8, 40));
    dir.Write("_scripts/jets.xml",
              "<Script><Uses><Figure figureId='1' file='row.xml'/></Uses><ActionScript>"
              "<Command EType='1' effTime='200' effTimeD='0' cycles='1' vx1='0' vy1='0.3' vz1='0'"
              " vx2='0' vy2='0.4' vz2='0'/></ActionScript></Script>");
    dir.Write("defaultScenario.xml",
              "<Scenario><Scenes><Scene path='s'/></Scenes><Script action='jets.xml'/>"
              "</Scenario>");
    Start();
    int frames = 0, drainingFrames = 0, peak = 0;
    while (g_scenario->countdown != 100 && frames < 2000) {
        Frame();
        ++frames;
        if (g_frameParticleCount > peak) peak = g_frameParticleCount;
        if (g_scenario->countdown == 1) {
            ++drainingFrames;
            EXPECT_GT(g_frameParticleCount, 0) << "frame " << frames;
        }
    }
    ASSERT_EQ(100, g_scenario->countdown);
    EXPECT_EQ(0, g_frameParticleCount);  // the frame that started the pause
    EXPECT_GT(peak, 50);
    // Jets of vy up to 0.4 rise and fall back for well over a hundred frames
    // after the last command has passed.
    EXPECT_GT(drainingFrames, 100);
    EXPECT_EQ(0u, Boxes());
}

// The committed test show, as the saver starts it: scenes follow one
// another, each with backdrop, water and fountains, without a message.
TEST_F(ShowFrame, TestShowPlaysSceneAfterScene) {
    UseDataDir(std::string(WAVENDELL_SOURCE_DIR) + "/tests/data/test_show/");
    Start(7);
    int frames = 0, switches = 0, peakBefore = 0, peakAfter = 0, fountainPixels = 0;
    while (!(switches && peakAfter > 100)) {
        const int before = g_scenario->countdown;
        Frame();
        ++frames;
        ASSERT_LT(frames, 3000) << "the first scene never ended";
        if (before == 3) {
            ++switches;
            continue;
        }
        int& peak = switches ? peakAfter : peakBefore;
        if (g_frameParticleCount > peak) peak = g_frameParticleCount;
        if (frames == 300) {
            const std::vector<uint8_t> shown = window.ReadAll();
            const std::vector<uint8_t> stage = StageOnly();
            fountainPixels = Differing(shown, stage);
            // Backdrop above, water below: nothing of the stage is black.
            size_t black = 0;
            for (size_t i = 0; i < stage.size(); i += 4)
                black += !stage[i] && !stage[i + 1] && !stage[i + 2];
            EXPECT_EQ(0u, black);
        }
    }
    EXPECT_GT(fountainPixels, 500);
    EXPECT_GT(peakBefore, 1000);
    EXPECT_GT(peakAfter, 100) << "the next script plays after the switch";
    EXPECT_EQ(0u, Boxes());
}

// A tiny window keeps thousands of rotations quick to draw.
class LongRun : public ShowFrame {
protected:
    LongRun() : ShowFrame(40, 25) {}
};

// Thousands of switches through the real countdown, with particle pools,
// scene textures and sprites, free what they replace and show no message.
TEST_F(LongRun, ThousandsOfSwitchesKeepMemoryFlat) {
    WriteSprites();
    WriteScene("a");
    WriteScene("b");
    dir.Write("_figures/pair.xml", Emitters(2, -10, 20, 30));
    dir.Write("_figures/trio.xml", Emitters(3, -20, 20, 50));
    dir.Write("_scripts/jet.xml",
              "<Script><Uses><Figure figureId='1' file='pair.xml'/></Uses><ActionScript>"
              "<Command EType='1' effTime='40' cycles='1' vx1='0' vy1='0.08' vz1='0' vx2='0'"
              " vy2='0.1' vz2='0'/></ActionScript></Script>");
    dir.Write("_scripts/arc.xml",
              "<Script><Uses><Figure figureId='1' file='pair.xml'/>"
              "<Figure figureId='2' file='trio.xml'/></Uses><ActionScript>"
              "<Command group='1' EType='2' effTime='40' cycles='1' Angle1='80' Angle2='100'"
              " Power='0.1' YPowerK='1' centerX='0' centerY='40' nextAfter='-1'/>"
              "<Command group='0' EType='0' effTime='30' cycles='1' vx1='0' vy1='0.05' vz1='0'"
              " vx2='0' vy2='0.06' vz2='0' nextAfter='2'/>"
              "<Command group='0' EType='1' effTime='30' cycles='1' vx1='0' vy1='0.05' vz1='0'"
              " vx2='0' vy2='0.06' vz2='0'/></ActionScript></Script>");
    dir.Write("_scripts/idle.xml",
              "<Script><Uses><Figure figureId='2' file='trio.xml'/></Uses><ActionScript>"
              "<Command first='9' last='9'/></ActionScript></Script>");
    dir.Write("defaultScenario.xml",
              "<Scenario><Scenes><Scene path='a'/><Scene path='b'/></Scenes>"
              "<Script action='jet.xml'/><Script action='arc.xml'/>"
              "<Script action='idle.xml' scenePath='b'/></Scenario>");
    Start();

    int switches = 0, frames = 0, peak = 0;
    auto runUntil = [&](int target) {
        while (switches < target) {
            const int before = g_scenario->countdown;
            Frame();
            ++frames;
            if (g_frameParticleCount > peak) peak = g_frameParticleCount;
            switches += before == 3;
            ASSERT_LT(frames, target * 1000) << "the rotation stalled";
        }
    };
    // The GL driver keeps caches that rise and fall with its own heuristics,
    // so the heap as a whole is no measure; the blocks our code allocates
    // with new (scripts, figures, pools, textures, documents, strings) are.
    runUntil(200);
    AllocationCounter blocks;
    runUntil(2000);
    EXPECT_LT(blocks.net(), 200) << "blocks still held after 1800 switches";
    EXPECT_GT(blocks.count(), 1800u) << "every switch allocates its script anew";
    EXPECT_GT(peak, 0);
    EXPECT_EQ(0u, Boxes());
    std::printf("%d switches in %d frames, peak %d particles, %ld blocks held\n", switches, frames,
                peak, blocks.net());
}

// The next script and scene chosen at the start of the pause, with their
// pictures made ready during it, show exactly what choosing and loading at
// the switch shows: every frame the same, every message in the same frame
// and order.  Pictures of sides GLU rescales; a scene whose water cannot be
// read and one without its backdrop; a script after which the choice waits
// for the switch (a late swing sprays during the pause).
TEST_F(LongRun, ChoosingAheadShowsTheSameFramesAndMessages) {
    WriteSprites();
    const char* kScene =
        "<Scene><EColor r='200' g='220' b='255' a='200'/><Back file='back.jpg'/>"
        "<Water file='water.jpg'/></Scene>";
    for (const char* name : {"a", "b", "c"}) dir.Write(std::string(name) + "/scene.xml", kScene);
    WriteQuadrantJpeg(dir.path() + "a/back.jpg", 300);
    WriteQuadrantJpeg(dir.path() + "a/water.jpg", 100);
    WriteQuadrantJpeg(dir.path() + "b/back.jpg", 64);
    dir.Write("b/water.jpg", std::string(400, 'w'));
    WriteQuadrantJpeg(dir.path() + "c/water.jpg", 48);
    dir.Write("_figures/row.xml", Emitters(4, -18, 12, 40));
    dir.Write("_scripts/quiet.xml",
              "<Script><Uses><Figure figureId='1' file='row.xml'/></Uses><ActionScript>"
              "<Command EType='1' effTime='300' effTimeD='40' cycles='2' vx1='-0.03' vy1='0.2'"
              " vz1='0' vx2='0.03' vy2='0.25' vz2='0' nextAfter='-1'/>"
              "<Command first='1' last='3' EType='2' effTime='400' cycles='1' Angle1='60'"
              " Angle2='120' Power='0.2' YPowerK='1' centerX='0' centerY='40'/>"
              "</ActionScript></Script>");
    dir.Write("_scripts/late.xml",
              "<Script><Uses><Figure figureId='1' file='row.xml'/></Uses><ActionScript>"
              "<Command first='0' last='1' EType='1' effTime='200' cycles='1' vx1='0' vy1='0.15'"
              " vz1='0' vx2='0.02' vy2='0.18' vz2='0' nextAfter='-1'/>"
              "<Command first='2' last='3' EType='1' delayBS='1500' effTime='300' cycles='1'"
              " vx1='0' vy1='0.1' vz1='0' vx2='0' vy2='0.12' vz2='0' nextAfter='4'/>"
              "</ActionScript></Script>");
    dir.Write("defaultScenario.xml",
              "<Scenario><Scenes><Scene path='a'/><Scene path='b'/><Scene path='c'/></Scenes>"
              "<Script action='quiet.xml'/><Script action='late.xml'/>"
              "<Script action='quiet.xml' scenePath='a'/></Scenario>");

    struct Played {
        std::vector<uint64_t> frames;  // a hash of every frame's pixels
        std::vector<std::string> messages;
        int chosenAhead = 0;
        size_t pauseAllocations = 0;
    };
    auto play = [&](bool ahead) {
        Played p;
        tick = 1000;
        Start();
        g_scenario->chooseAhead = ahead;
        std::srand(21);
        g_scenario->SwitchScene();  // the first choice from the seed too
        size_t shown = scope.platform.boxes.size();
        for (int frame = 0; g_scenario->switchCount < 8; ++frame) {
            if (frame > 8000) {
                ADD_FAILURE() << "the show stalled";
                break;
            }
            const int switches = g_scenario->switchCount;
            AllocationCounter counter;
            Frame();
            // Frames of the pause allocate nothing: the pictures are made
            // ready on the worker.
            if (g_scenario->countdown > COUNTDOWN_SWITCH && switches == g_scenario->switchCount)
                p.pauseAllocations += counter.count();
            uint64_t h = 1469598103934665603ull;
            for (uint8_t byte : window.ReadAll()) h = (h ^ byte) * 1099511628211ull;
            p.frames.push_back(h);
            for (; shown < scope.platform.boxes.size(); ++shown) {
                const auto& box = scope.platform.boxes[shown];
                p.messages.push_back(std::to_string(frame) + " " + box.caption + ": " + box.text);
            }
        }
        p.chosenAhead = g_scenario->switchesChosenAhead;
        delete g_scenario;
        g_scenario = nullptr;
        delete g_fountainTextures;
        g_fountainTextures = nullptr;
        scope.platform.boxes.clear();
        return p;
    };
    const Played atSwitch = play(false);
    const Played ahead = play(true);
    EXPECT_EQ(0, atSwitch.chosenAhead);
    EXPECT_GT(ahead.chosenAhead, 2);
    EXPECT_LT(ahead.chosenAhead, 7) << "after the late script the switch chooses";
    EXPECT_EQ(0u, ahead.pauseAllocations);
    EXPECT_FALSE(ahead.messages.empty());
    EXPECT_EQ(atSwitch.messages, ahead.messages);
    ASSERT_EQ(atSwitch.frames.size(), ahead.frames.size());
    size_t differing = 0;
    for (size_t i = 0; i < ahead.frames.size(); ++i)
        differing += atSwitch.frames[i] != ahead.frames[i];
    EXPECT_EQ(0u, differing) << "of " << ahead.frames.size() << " frames";
}

// The common screen shapes at a quarter of their size, in one window.
class ShowFrameShapes : public ShowFrame {
protected:
    ShowFrameShapes() : ShowFrame(480, 384) {}
};

TEST_F(ShowFrameShapes, EveryCommonShapeIsFilledToItsSidesAboveTheHorizon) {
    WriteStillShow();
    // The stage is built before the window's first size, at the start-up
    // aspect, as in the saver; each later size brings its shape's camera.
    Start();
    const struct {
        int w, h;  // 1920x1080, 1280x1024, 1024x768, 1280x800, then 16:9 again
        float halfWidth;
    } shapes[] = {{480, 270, 85}, {320, 256, 70}, {256, 192, 70}, {320, 200, 80}, {480, 270, 85}};
    for (const auto& shape : shapes) {
        SCOPED_TRACE(std::to_string(shape.w) + "x" + std::to_string(shape.h));
        ResizeViewport(shape.w, shape.h);
        Frame();
        EXPECT_EQ(shape.halfWidth, g_scenario->Stage().halfWidth);
        int horizonX, horizonY;
        Project(0, 0, 0, &horizonX, &horizonY);
        ASSERT_GT(horizonY, 0);
        ASSERT_LT(horizonY, shape.h - 1);
        const std::vector<uint8_t> px = window.ReadAll();
        int black = 0;
        for (int y = horizonY; y < shape.h; ++y)
            for (int x : {0, 1, shape.w - 2, shape.w - 1}) {
                const uint8_t* p = &px[((size_t)y * window.width() + x) * 4];
                black += p[0] < 24 && p[1] < 24 && p[2] < 24;
            }
        EXPECT_EQ(0, black) << "black pixels at the sides above the horizon";
    }
    EXPECT_EQ(0u, Boxes());
}

TEST_F(ShowFrame, ANoticeReadsWrappedInTheTopCornerForItsFirstSecondsOnly) {
    WriteStillShow();
    const char kText[] =
        "Show folder /home/u/My Shows/copy show: there is no such folder; playing the "
        "installed show \xe5\x99\xb4";
    Start();
    int32_t& clock = scope.platform.processClock;
    clock = 5000;
    // Pixels of the text's own colour that the picture alone does not have.
    auto isText = [](const uint8_t* p) {
        return p[0] >= 240 && p[1] >= 240 && p[2] >= 90 && p[2] <= 115;
    };
    Frame();
    const std::vector<uint8_t> picture = window.ReadAll();
    std::snprintf(g_run.notice, sizeof g_run.notice, "%s", kText);
    auto textRows = [&](int* left, int* right) {
        const std::vector<uint8_t> px = window.ReadAll();
        int top = -1, bottom = kH;
        *left = kW, *right = -1;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const size_t i = ((size_t)y * kW + x) * 4;
                if (!isText(&px[i]) || isText(&picture[i])) continue;
                top = std::max(top, y), bottom = std::min(bottom, y);
                *left = std::min(*left, x), *right = std::max(*right, x);
            }
        return top < 0 ? 0 : top - bottom + 1;
    };
    int left, right;
    Frame();
    const int height = textRows(&left, &right);
    // Wrapped into several 7-pixel lines (9 apart) at the 320x200 size,
    // inside the window's width, from the top-left corner.
    EXPECT_GE(height, 9 + 7);
    EXPECT_LE(height, 4 * 9);
    EXPECT_GE(left, 4);
    EXPECT_LT(right, kW - 4);
    clock += kNoticeMs - 11;
    Frame();
    EXPECT_GT(textRows(&left, &right), 0) << "still there just before its time is up";
    clock += 11;
    Frame();
    EXPECT_EQ(0, textRows(&left, &right)) << "gone after its time";
    g_run.notice[0] = '\0';
    g_run.noticeStarted = false;
}

}  // namespace
