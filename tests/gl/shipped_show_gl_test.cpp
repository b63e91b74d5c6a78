// The shipped show under real OpenGL: the sprites and every scene's
// pictures load as textures, the scenario starts the show and plays it
// without a message box, and the ripple shaders compile, link and move the
// water without changing its colours.

#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fountains/fountain_textures.h"
#include "render/rendering.h"
#include "render/ripple_shader.h"
#include "scenario/action_script.h"
#include "scenario/scenario.h"
#include "scenario/stage.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/shipped_show.h"
#include "tests/support/test_support.h"
#include "textures/texture.h"

namespace {

class ShippedShowGl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(win.ok());
        UseDataDir(ShippedDataDir());
    }
    void TearDown() override { g_fountainTextures = nullptr; }

    const std::vector<plat::MemoryPlatform::Box>& Boxes() const { return scope.platform.boxes; }

    static GLint Level0(GLenum what) {
        GLint v = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &v);
        return v;
    }

    GlTestWindow win{320, 200};
    MemoryPlatformScope scope;
};

int32_t BmpSide(const std::string& file, size_t at) {
    std::ifstream in(ShippedDataDir() + file, std::ios::binary);
    std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 54) return -1;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(b[at + i])) << (8 * i);
    return int32_t(v);
}

TEST_F(ShippedShowGl, SpritesLoadAsTexturesWithTheirAlpha) {
    CFountainTextures textures;
    const char* files[3] = {"particle7.bmp", "fSource.bmp", "emitterTube.bmp"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(0u, textures.textures[i].name) << files[i];
        textures.Bind(i);
        const GLint w = Level0(GL_TEXTURE_WIDTH), h = Level0(GL_TEXTURE_HEIGHT);
        EXPECT_EQ(BmpSide(files[i], 18), w) << files[i];
        EXPECT_EQ(BmpSide(files[i], 22), h) << files[i];
        ASSERT_GT(w, 0);
        ASSERT_GT(h, 0);
        std::vector<uint8_t> rgba((size_t)w * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int minAlpha = 255, maxAlpha = 0;
        for (size_t k = 3; k < rgba.size(); k += 4) {
            minAlpha = std::min<int>(minAlpha, rgba[k]);
            maxAlpha = std::max<int>(maxAlpha, rgba[k]);
        }
        EXPECT_EQ(0, minAlpha) << files[i];
        EXPECT_GE(maxAlpha, 200) << files[i];
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ShippedShowGl, EveryScenePicturesLoadIntoTheStage) {
    CStage stage;
    const std::vector<std::string> scenes = ShippedScenario().scenes;
    ASSERT_FALSE(scenes.empty());
    for (const std::string& scene : scenes) {
        stage.LoadScene(scene.c_str());
        ASSERT_NE(nullptr, stage.backTexture) << scene;
        ASSERT_NE(nullptr, stage.waterTexture) << scene;
        ASSERT_NE(0u, stage.backTexture->name) << scene;
        ASSERT_NE(0u, stage.waterTexture->name) << scene;
        stage.backTexture->Bind();
        EXPECT_GE(Level0(GL_TEXTURE_WIDTH), 1024) << scene;
        EXPECT_GE(Level0(GL_TEXTURE_HEIGHT), 512) << scene;
        stage.waterTexture->Bind();
        EXPECT_GE(Level0(GL_TEXTURE_WIDTH), 512) << scene;
        EXPECT_GT(stage.emitterColor[3], 0) << scene;
    }
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    EXPECT_TRUE(Boxes().empty());
}

// The scenario reads the shipped file, dresses the stage and plays: jets
// rise within the first seconds, all without a message box.
TEST_F(ShippedShowGl, ScenarioStartsAndPlaysTheShow) {
    std::srand(5);
    CFountainTextures textures;
    g_fountainTextures = &textures;
    glViewport(0, 0, win.width(), win.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (double)win.width() / win.height(), 0.5, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);

    CScenario scenario;
    scenario.Load("defaultScenario.xml");
    const ScenarioListing listing = ShippedScenario();
    EXPECT_EQ(listing.scenes.size(), scenario.scenes.size());
    EXPECT_EQ(listing.scripts.size(), scenario.scripts.size());
    ASSERT_NE(nullptr, scenario.script);
    ASSERT_NE(nullptr, scenario.stage->backTexture);
    EXPECT_NE(0u, scenario.stage->backTexture->name);
    for (const SceneEntry& e : scenario.scenes) EXPECT_FALSE(e.title.empty()) << e.path;

    uint32_t& clock = scope.platform.tick;
    clock = 200000;
    int peak = 0;
    for (int frame = 0; frame < 300; ++frame) {
        clock += 11;
        g_frameParticleCount = 0;
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        const double* c = scenario.stage->camera;
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        glDisable(GL_BLEND);
        scenario.stage->DrawBackdrop();
        scenario.stage->DrawWater();
        scenario.Update((int32_t)clock);
        peak = std::max(peak, g_frameParticleCount);
    }
    EXPECT_GT(peak, 500);
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    EXPECT_TRUE(Boxes().empty());
}

class RippleShader : public ShippedShowGl {
protected:
    void SetUp() override {
        ShippedShowGl::SetUp();
        ASSERT_EQ((GLenum)GLEW_OK, glewInit());
        if (!GLEW_VERSION_2_0) GTEST_SKIP() << "no OpenGL 2.0";
    }
};

TEST_F(RippleShader, SourcesCompileAndLink) {
    ASSERT_TRUE(LoadRippleShader());
    ASSERT_NE(0u, g_rippleProgram);
    GLint linked = 0;
    glGetProgramiv(g_rippleProgram, GL_LINK_STATUS, &linked);
    EXPECT_EQ(GL_TRUE, linked);
    GLuint shaders[4] = {0, 0, 0, 0};
    GLsizei count = 0;
    glGetAttachedShaders(g_rippleProgram, 4, &count, shaders);
    ASSERT_EQ(2, count);
    for (int i = 0; i < count; ++i) {
        GLint compiled = 0;
        glGetShaderiv(shaders[i], GL_COMPILE_STATUS, &compiled);
        EXPECT_EQ(GL_TRUE, compiled) << "shader " << i;
    }
    // The frame sets "time" on the program; the sources must use it.
    EXPECT_GE(glGetUniformLocation(g_rippleProgram, "time"), 0);
}

// Draws the stage's water of a scene from the stage camera, through the
// ripple program at time seconds, or without it when time is negative.
std::vector<uint8_t> DrawWaterAt(GlTestWindow& win, CStage& stage, float time) {
    glViewport(0, 0, win.width(), win.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (double)win.width() / win.height(), 0.5, 200.0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const double* c = stage.camera;
    gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (time >= 0) {
        glUseProgram(g_rippleProgram);
        glUniform1f(glGetUniformLocation(g_rippleProgram, "time"), time);
    }
    stage.DrawWater();
    glUseProgram(0);
    return win.ReadAll();
}

// The water moves from one moment to the next, everywhere on the surface,
// while its colours stay those of the scene's picture.
TEST_F(RippleShader, MovesTheWaterAndKeepsItsColours) {
    ASSERT_TRUE(LoadRippleShader());
    CStage stage;  // the window's 1.6 aspect: the default camera
    stage.LoadScene("marblePlaza");
    ASSERT_NE(nullptr, stage.waterTexture);
    ASSERT_NE(0u, stage.waterTexture->name);

    const std::vector<uint8_t> plain = DrawWaterAt(win, stage, -1);
    const std::vector<uint8_t> now = DrawWaterAt(win, stage, 30.0f);
    const std::vector<uint8_t> later = DrawWaterAt(win, stage, 30.4f);
    ASSERT_EQ(plain.size(), now.size());

    long water = 0, moved = 0;
    double plainSum[3] = {0, 0, 0}, rippledSum[3] = {0, 0, 0};
    int movedNear = 0, movedFar = 0, waterNear = 0, waterFar = 0;
    const int horizon = win.height() * 3 / 10;  // the water fills the lower part
    for (size_t i = 0; i < plain.size(); i += 4) {
        const bool isWater = plain[i] + plain[i + 1] + plain[i + 2] > 0;
        if (!isWater) continue;
        ++water;
        const int row = int(i / 4) / win.width();
        const bool near = row < horizon / 2;
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            plainSum[c] += plain[i + c];
            rippledSum[c] += now[i + c];
            d += std::abs(int(now[i + c]) - int(later[i + c]));
        }
        const bool changed = d > 6;
        moved += changed;
        (near ? waterNear : waterFar)++;
        (near ? movedNear : movedFar) += changed;
    }
    ASSERT_GT(water, long(win.width()) * win.height() / 5);
    EXPECT_GT(moved, water / 3);
    EXPECT_GT(movedNear, waterNear / 4);
    EXPECT_GT(movedFar, waterFar / 4);
    for (int c = 0; c < 3; ++c) {
        const double a = plainSum[c] / water, b = rippledSum[c] / water;
        EXPECT_NEAR(a, b, 0.2 * a + 4) << "channel " << c;
    }
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
