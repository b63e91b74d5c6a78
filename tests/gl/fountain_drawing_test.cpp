#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/fountain_textures.h"
#include "fountains/particle_system.h"
#include "render/rendering.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"

namespace {

const uint32_t kWhite = 0xFFFFFFFFu;

// A data directory with the three sprites, all opaque white unless given.
void WriteSprites(const TempDir& dir, uint32_t particleColour = kWhite) {
    auto solid = [](uint32_t c) { return [c](int, int) { return c; }; };
    dir.Write("particle7.bmp", BmpBytes(4, 4, 64, BgraPixels(4, 4, solid(particleColour))));
    dir.Write("fSource.bmp", BmpBytes(4, 4, 64, BgraPixels(4, 4, solid(kWhite))));
    dir.Write("emitterTube.bmp", BmpBytes(4, 4, 64, BgraPixels(4, 4, solid(kWhite))));
}

// Plain state for reading colours back: no lighting, black background,
// orthographic projection, identity model-view.
void PlainView(double l, double r, double b, double t, double n = -10.0, double f = 10.0) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(l, r, b, t, n, f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

struct Rgb {
    int r, g, b;
};

Rgb PixelAt(const GlTestWindow& win, int x, int y) {
    uint8_t px[4];
    win.ReadPixel(x, y, px);
    return Rgb{px[0], px[1], px[2]};
}

bool IsBlack(const Rgb& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

// Non-black pixels on row y.
int LitInRow(const GlTestWindow& win, int y) {
    const std::vector<uint8_t> all = win.ReadAll();
    int n = 0;
    for (int x = 0; x < win.width(); ++x) {
        const uint8_t* p = &all[((size_t)y * win.width() + x) * 4];
        n += (p[0] | p[1] | p[2]) != 0;
    }
    return n;
}

#define EXPECT_RGB_NEAR(er, eg, eb, c) \
    do {                               \
        EXPECT_NEAR(er, (c).r, 2);     \
        EXPECT_NEAR(eg, (c).g, 2);     \
        EXPECT_NEAR(eb, (c).b, 2);     \
    } while (0)

class FountainDrawingTest : public ::testing::Test {
protected:
    GlTestWindow win{200, 200};
    TempDir dir;

    void SetUp() override { ASSERT_TRUE(win.ok()); }
    void TearDown() override {
        delete g_fountainTextures;
        g_fountainTextures = nullptr;
    }
    void MakeTextures(uint32_t particleColour = kWhite) {
        WriteSprites(dir, particleColour);
        UseDataDir(dir.path());
        g_fountainTextures = new CFountainTextures();
    }
};

void PlaceLive(CParticle& p, float x, float y, float w, float h, float r, float g, float b) {
    p.x = x, p.y = y, p.z = 0.0f;
    p.width = w, p.height = h;
    p.r = r, p.g = g, p.b = b, p.a = 1.0f;
    p.live = 1;
}

TEST_F(FountainDrawingTest, ParticleIsAQuadFromItsLowerLeftCorner) {
    PlainView(0, 200, 0, 200);
    glDisable(GL_TEXTURE_2D);
    CParticleSystem pool(3, 0.0f, 0.0f, 0.0f);
    PlaceLive(pool.particles[1], 40.0f, 60.0f, 80.0f, 100.0f, 0.8f, 0.4f, 0.2f);
    PlaceLive(pool.particles[2], 150.0f, 10.0f, 20.0f, 20.0f, 0.0f, 1.0f, 0.0f);
    pool.particles[2].live = 0;  // free: not drawn
    pool.Draw();
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());

    EXPECT_RGB_NEAR(204, 102, 51, PixelAt(win, 41, 61));
    EXPECT_RGB_NEAR(204, 102, 51, PixelAt(win, 118, 158));
    EXPECT_TRUE(IsBlack(PixelAt(win, 38, 100)));
    EXPECT_TRUE(IsBlack(PixelAt(win, 122, 100)));
    EXPECT_TRUE(IsBlack(PixelAt(win, 80, 58)));
    EXPECT_TRUE(IsBlack(PixelAt(win, 80, 162)));
    EXPECT_EQ(80, LitInRow(win, 100));
    EXPECT_TRUE(IsBlack(PixelAt(win, 160, 20)));
}

TEST_F(FountainDrawingTest, ParticleSpriteIsUprightWithOriginAtLowerLeft) {
    // Sprite quadrants: lower-left red, lower-right green, upper-left blue,
    // upper-right white (BMP rows bottom first).
    const uint32_t sprite[2][2] = {{0xFFFF0000u, 0xFF00FF00u}, {0xFF0000FFu, 0xFFFFFFFFu}};
    dir.Write(
        "quadrants.bmp",
        BmpBytes(8, 8, 0, BgraPixels(8, 8, [&](int x, int y) { return sprite[y / 4][x / 4]; })));
    CTexture texture;
    texture.LoadBMP((dir.path() + "quadrants.bmp").c_str());
    ASSERT_NE(0u, texture.name);

    PlainView(0, 200, 0, 200);
    texture.Bind();
    CParticleSystem pool(1, 0.0f, 0.0f, 0.0f);
    PlaceLive(pool.particles[0], 40.0f, 60.0f, 80.0f, 100.0f, 1.0f, 1.0f, 1.0f);
    pool.Draw();

    EXPECT_RGB_NEAR(255, 0, 0, PixelAt(win, 60, 85));
    EXPECT_RGB_NEAR(0, 255, 0, PixelAt(win, 100, 85));
    EXPECT_RGB_NEAR(0, 0, 255, PixelAt(win, 60, 135));
    EXPECT_RGB_NEAR(255, 255, 255, PixelAt(win, 100, 135));
}

TEST_F(FountainDrawingTest, EmptyPoolDrawsNothing) {
    PlainView(-5, 5, -5, 5);
    glDisable(GL_TEXTURE_2D);
    CParticleSystem pool(PARTICLES_PER_POOL, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < pool.count; ++i) {  // values but no live flag
        PlaceLive(pool.particles[i], -1.0f, -1.0f, 2.0f, 2.0f, 1.0f, 1.0f, 1.0f);
        pool.particles[i].live = 0;
    }
    pool.Draw();
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    EXPECT_EQ(0, LitInRow(win, 100));
}

// Half-width in world units of the splash drawn for a live tally, seen from
// above at 20 pixels a unit.
double SplashHalfSize(const GlTestWindow& win, int tally) {
    PlainView(-5, 5, -5, 5);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);  // look down the y axis
    SetupEmitterPass();
    CEmitter e(0.0f, 0.0f, 0.0f);
    e.liveTally = tally;
    e.Draw();
    return LitInRow(win, 100) / 20.0 / 2.0;
}

TEST_F(FountainDrawingTest, SplashGrowsWithTheLiveTally) {
    MakeTextures();
    EXPECT_NEAR(0.5, SplashHalfSize(win, 0), 0.05);
    EXPECT_NEAR(1.25, SplashHalfSize(win, 15), 0.05);
    EXPECT_NEAR(2.0, SplashHalfSize(win, 30), 0.05);
    EXPECT_NEAR(2.0, SplashHalfSize(win, 45), 0.05);
    EXPECT_NEAR(0.5, SplashHalfSize(win, -3), 0.05);
}

TEST_F(FountainDrawingTest, SplashBlendsHalfItsColourOverTheScene) {
    MakeTextures();
    PlainView(-5, 5, -5, 5);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    SetupEmitterPass();
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(GL_SRC_ALPHA, src);
    EXPECT_EQ(GL_ONE_MINUS_SRC_COLOR, dst);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    CEmitter e(1.0f, 0.0f, 0.0f);
    e.r = 1.0f, e.g = 0.5f, e.b = 0.0f;
    e.Draw();
    // Over black: half the emitter colour, centred on the nozzle (x = 1).
    EXPECT_RGB_NEAR(128, 64, 0, PixelAt(win, 120, 100));
    EXPECT_TRUE(IsBlack(PixelAt(win, 100 - 2, 100)));
}

TEST_F(FountainDrawingTest, TubeStandsHalfAUnitAboveTheNozzle) {
    MakeTextures();
    PlainView(-5, 5, -5, 5);  // seen from the front: the splash is edge-on
    SetupEmitterPass();
    CEmitter e(0.0f, -1.0f, 0.0f);
    e.Draw();
    // 0.7 wide, 0.5 high: 14 x 10 pixels from y = -1 (pixel row 80) up.
    EXPECT_RGB_NEAR(128, 128, 128, PixelAt(win, 100, 85));
    EXPECT_EQ(14, LitInRow(win, 85));
    EXPECT_EQ(0, LitInRow(win, 78));
    EXPECT_EQ(0, LitInRow(win, 91));
}

TEST_F(FountainDrawingTest, ParticlePassBindsTheSpriteAndBlendsByAlpha) {
    MakeTextures(0xFF00FF00u);  // green sprite
    PlainView(0, 200, 0, 200);
    glBindTexture(GL_TEXTURE_2D, 0);
    SetupParticlePass();
    GLint bound = 0, src = 0, dst = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ((GLint)g_fountainTextures->textures[FTEX_PARTICLE].name, bound);
    EXPECT_EQ(GL_SRC_ALPHA, src);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, dst);

    CParticleSystem pool(1, 0.0f, 0.0f, 0.0f);
    PlaceLive(pool.particles[0], 50.0f, 50.0f, 100.0f, 100.0f, 1.0f, 1.0f, 1.0f);
    pool.particles[0].a = 0.5f;
    pool.Draw();
    EXPECT_RGB_NEAR(0, 128, 0, PixelAt(win, 100, 100));
}

// The pool's quads as immediate mode draws them, one glColor4f and four
// texture coordinates and vertices a particle: the reference the vertex
// arrays must match.
void DrawImmediate(const CParticleSystem& pool) {
    glBegin(GL_QUADS);
    for (int32_t i = 0; i < pool.count; ++i) {
        const CParticle& p = pool.particles[i];
        if (!p.live) continue;
        glColor4f(p.r, p.g, p.b, p.a);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(p.x, p.y, p.z);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(p.x, p.y + p.height, p.z);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(p.x + p.width, p.y + p.height, p.z);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(p.x + p.width, p.y, p.z);
    }
    glEnd();
}

// A round spot fading out from its centre, its colour changing across it.
uint32_t TintedSpot(int x, int y) {
    const int dx = 2 * x - 15, dy = 2 * y - 15, d2 = dx * dx + dy * dy;
    const uint32_t a = d2 >= 256 ? 0 : 255 - (uint32_t)d2 * 255 / 256;
    return a << 24 | (uint32_t)(128 + 8 * x) << 16 | (uint32_t)(255 - 8 * y) << 8 | 0xC0u;
}

// The GL state a pass leaves behind that later drawing could see.
struct PassState {
    GLfloat colour[4], texCoord[4];
    GLboolean arrays[3];
    bool operator==(const PassState& o) const {
        return std::equal(colour, colour + 4, o.colour) &&
               std::equal(texCoord, texCoord + 4, o.texCoord) &&
               std::equal(arrays, arrays + 3, o.arrays);
    }
};

PassState ReadPassState() {
    PassState s;
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, s.texCoord);
    s.arrays[0] = glIsEnabled(GL_VERTEX_ARRAY);
    s.arrays[1] = glIsEnabled(GL_COLOR_ARRAY);
    s.arrays[2] = glIsEnabled(GL_TEXTURE_COORD_ARRAY);
    return s;
}

// A busy frame under the saver's own state (lighting with colour material,
// perspective, a translucent sprite blended over a background), drawn by
// the particle pass and by immediate mode.  What reaches the rasteriser is
// the same bit for bit: GL's feedback mode returns every triangle with its
// window position, lit colour and texture coordinates.  The pixels are the
// same but for the odd one off by 1, as immediate mode's own are from one
// frame to the next of the same drawing (llvmpipe rasterises a few edge
// pixels differently as its batches fall); the arrays' are reproducible.
TEST_F(FountainDrawingTest, ParticlePassDrawsWhatImmediateModeDraws) {
    WriteSprites(dir);
    dir.Write("particle7.bmp", BmpBytes(16, 16, 0, BgraPixels(16, 16, TintedSpot)));
    UseDataDir(dir.path());
    g_fountainTextures = new CFountainTextures();

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 0.5, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 6, 30, 0, 8, 0, 0, 1, 0);

    // Pools filled by every jet program over a few hundred frames, and one
    // pool of more particles than a batch holds.
    std::srand(11);
    std::vector<std::unique_ptr<CEmitter>> emitters;
    std::vector<std::unique_ptr<CParticleSystem>> pools;
    for (int i = 0; i < 12; ++i) {
        const float x = -11.0f + 2.0f * i, z = -3.0f * (i % 3);
        emitters.emplace_back(new CEmitter(x, 0.0f, z));
        CEmitter& e = *emitters.back();
        e.EType = i % 3;
        e.start = 1000, e.duration = 1500, e.end = 2500, e.cycles = 4;
        e.vx1 = -0.05f, e.vy1 = 0.25f, e.vx2 = 0.05f, e.vy2 = 0.35f;
        e.Angle1 = 50.0f, e.Angle2 = 130.0f, e.Power = 0.3f, e.YPowerK = 1.0f;
        e.r = 0.2f + 0.05f * i, e.g = 0.7f, e.b = 1.0f - 0.05f * i, e.a = 0.6f;
        pools.emplace_back(new CParticleSystem(PARTICLES_PER_POOL, x, 0.0f, z));
        pools.back()->emitter = &e;
    }
    int32_t tick = 1000;
    for (int frame = 0; frame < 400; ++frame, tick += 11) {
        for (auto& e : emitters) e->UpdateJet(tick);
        for (auto& p : pools) {
            p->Emit(tick);
            p->Move(tick);
        }
    }
    const int big = 2 * PARTICLES_PER_POOL + 500;
    pools.emplace_back(new CParticleSystem(big, 0.0f, 0.0f, 0.0f));
    for (int i = 0; i < big; ++i)
        PlaceLive(pools.back()->particles[i], -12.0f + 0.0097f * i, 2.0f + (float)(i % 37) * 0.4f,
                  0.3f + 0.4f / (float)(1 + i % 5), 0.5f, (float)(i % 7) / 7.0f, 0.5f, 1.0f);
    pools.back()->particles[big / 2].live = 0;
    int live = 0;
    for (auto& p : pools)
        for (int i = 0; i < p->count; ++i) live += p->particles[i].live != 0;
    ASSERT_GT(live, 5000);

    auto pass = [&](bool immediate) {
        SetupParticlePass();
        for (auto& p : pools) {
            if (immediate)
                DrawImmediate(*p);
            else
                p->Draw();
        }
    };
    auto feedback = [&](bool immediate) {
        std::vector<GLfloat> buffer((size_t)live * 2 * (2 + 3 * 11) + 1);
        glFeedbackBuffer((GLsizei)buffer.size(), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        pass(immediate);
        const GLint values = glRenderMode(GL_RENDER);
        buffer.resize(values > 0 ? (size_t)values : 0);
        return buffer;
    };
    const std::vector<GLfloat> submitted = feedback(true);
    // A polygon token, its vertex count, and 11 values a vertex, for most of
    // the two triangles of every quad (the rest are out of sight).
    EXPECT_GT(submitted.size(), (size_t)live * 3 / 2 * (2 + 3 * 11));
    EXPECT_TRUE(submitted == feedback(false));

    auto frame = [&](bool immediate) {
        glClearColor(0.1f, 0.3f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        pass(immediate);
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
        return win.ReadAll();
    };
    const std::vector<uint8_t> reference = frame(true);
    const PassState referenceState = ReadPassState();
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);  // not what the pass leaves
    glTexCoord2f(0.5f, 0.5f);
    const std::vector<uint8_t> drawn = frame(false);
    EXPECT_TRUE(referenceState == ReadPassState());
    EXPECT_TRUE(drawn == frame(false));

    size_t differing = 0, covered = 0;
    int worst = 0;
    for (size_t i = 0; i < drawn.size(); i += 4) {
        differing += !std::equal(&drawn[i], &drawn[i] + 3, &reference[i]);
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(drawn[i + c] - reference[i + c]));
        covered += drawn[i] != 26 || drawn[i + 1] != 77 || drawn[i + 2] != 51;
    }
    const size_t pixels = drawn.size() / 4;
    EXPECT_LE(worst, 1);
    EXPECT_LT(differing, pixels / 500) << differing << " of " << pixels << " pixels";
    EXPECT_GT(covered, pixels / 4) << "a busy frame covers much of the window";
}

TEST_F(FountainDrawingTest, FramesOfTheFountainsAllocateNothing) {
    MakeTextures();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10, 10, -2, 18, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    std::srand(3);
    std::vector<std::unique_ptr<CEmitter>> emitters;
    std::vector<std::unique_ptr<CParticleSystem>> pools;
    for (int i = 0; i < 4; ++i) {
        const float x = -6.0f + 4.0f * i;
        emitters.emplace_back(new CEmitter(x, 0.0f, 0.0f));
        CEmitter& e = *emitters.back();
        e.EType = i % 3;
        e.start = 1000, e.duration = 800, e.end = 1800, e.cycles = 3;
        e.vx1 = 0.02f, e.vy1 = 0.2f, e.vx2 = -0.02f, e.vy2 = 0.25f;
        e.Angle1 = 60.0f, e.Angle2 = 120.0f, e.Power = 0.2f, e.YPowerK = 1.0f;
        pools.emplace_back(new CParticleSystem(PARTICLES_PER_POOL, x, 0.0f, 0.0f));
        pools.back()->emitter = &e;
    }
    auto frame = [&](int32_t tick) {
        glClear(GL_COLOR_BUFFER_BIT);
        for (auto& e : emitters) e->UpdateJet(tick);
        SetupEmitterPass();
        for (auto& e : emitters) e->Draw();
        SetupParticlePass();
        for (auto& p : pools) {
            p->Emit(tick);
            p->Move(tick);
            p->Draw();
        }
        glFinish();
    };
    int32_t tick = 1000;
    for (int i = 0; i < 20; ++i, tick += 11) frame(tick);  // driver warm-up
    g_frameParticleCount = 0;
    {
        AllocationCounter counter;
        for (int i = 0; i < 300; ++i, tick += 11) frame(tick);
        EXPECT_EQ(0u, counter.count());
    }
    EXPECT_GT(g_frameParticleCount, 1000);
}

}  // namespace
