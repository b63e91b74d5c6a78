#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "render/rendering.h"
#include "render/ripple_shader.h"
#include "scenario/stage.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"

namespace {

std::string ShippedShader(const char* name) {
    std::ifstream in(std::string(WAVENDELL_SOURCE_DIR) + "/data/shaders/" + name);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Rows of the window that show the water (bottom third) as bytes.
std::vector<uint8_t> WaterRows(const GlTestWindow& win) {
    std::vector<uint8_t> all = win.ReadAll();
    return std::vector<uint8_t>(all.begin(), all.begin() + (size_t)win.width() * 60 * 4);
}

class RippleWaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(win.ok());
        ASSERT_EQ(GLEW_OK, glewInit());
        ASSERT_TRUE(glewIsSupported("GL_VERSION_2_0"));
        // A striped water picture, so any bending of the look-up shows.
        std::vector<uint8_t> rgb;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const uint8_t v = ((x / 4 + y / 4) % 2) ? 230 : 30;
                rgb.insert(rgb.end(), {v, (uint8_t)(255 - v), 128});
            }
        dir.Write("scene/scene.xml", "<S><Water file=\"water.jpg\"/></S>");
        ASSERT_TRUE(WriteJpeg(dir.path() + "scene/water.jpg", 64, 64, JPEG_COLOUR, rgb));
        dir.Write("shaders/ripple.vsh", ShippedShader("ripple.vsh"));
        dir.Write("shaders/ripple.fsh", ShippedShader("ripple.fsh"));
        UseDataDir(dir.path());
        stage.LoadScene("scene");
        ASSERT_TRUE(scope.platform.boxes.empty());
        g_rippleProgram = 0;
        g_shadersAvailable = 1;
    }
    void TearDown() override { g_shadersAvailable = 1; }

    // A program that failed to link is refused by GL (an invalid-operation
    // error) and the water is drawn as without it.
    std::vector<uint8_t> Render(bool programMayBeRefused = false) {
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.6, 0.5, 200.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const double* c = stage.camera;
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        DrawWaterSurface(stage);
        GLenum error;
        while ((error = glGetError()) != GL_NO_ERROR)
            EXPECT_TRUE(programMayBeRefused && error == GL_INVALID_OPERATION) << error;
        return WaterRows(win);
    }

    GlTestWindow win{320, 200};
    MemoryPlatformScope scope;
    TempDir dir;
    CStage stage;
};

TEST_F(RippleWaterTest, ShippedShaderRipplesTheWaterOverTime) {
    ASSERT_TRUE(LoadRippleShader());
    GLint linked = 0;
    glGetProgramiv(g_rippleProgram, GL_LINK_STATUS, &linked);
    ASSERT_TRUE(linked);
    const std::vector<uint8_t> a = Render();
    Sleep(400);
    const std::vector<uint8_t> b = Render();
    EXPECT_NE(a, b);
    g_shadersAvailable = 0;
    const std::vector<uint8_t> plain = Render();
    EXPECT_NE(a, plain);
    // Not a black or empty picture either.
    size_t lit = 0;
    for (size_t i = 0; i < a.size(); i += 4) lit += (a[i] | a[i + 1] | a[i + 2]) != 0;
    EXPECT_GT(lit, a.size() / 8);
}

TEST_F(RippleWaterTest, WithoutTheFragmentSourceTheWaterIsDrawnUnrippled) {
    std::remove((dir.path() + "shaders/ripple.fsh").c_str());
    if (!LoadRippleShader()) g_shadersAvailable = 0;
    EXPECT_EQ(0, g_shadersAvailable);
    EXPECT_EQ(0u, g_rippleProgram);
    const std::vector<uint8_t> a = Render();
    Sleep(200);
    EXPECT_EQ(a, Render());
    size_t lit = 0;
    for (size_t i = 0; i < a.size(); i += 4) lit += (a[i] | a[i + 1] | a[i + 2]) != 0;
    EXPECT_GT(lit, a.size() / 8);
}

TEST_F(RippleWaterTest, EmptyVertexSourceCountsAsMissing) {
    dir.Write("shaders/ripple.vsh", "");
    EXPECT_FALSE(LoadRippleShader());
    EXPECT_EQ(0u, g_rippleProgram);
}

TEST_F(RippleWaterTest, BrokenSourceStillLeavesAWaterSurface) {
    dir.Write("shaders/ripple.fsh", "this is not GLSL");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(LoadRippleShader());  // compile results are not examined
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, log.find("ripple.fsh"));  // the reason is shown once
    const std::vector<uint8_t> rippled = Render(true);
    g_shadersAvailable = 0;
    const std::vector<uint8_t> plain = Render();
    EXPECT_EQ(plain, rippled);
}

TEST_F(RippleWaterTest, TimeUniformGrowsByAboutOnePerSecond) {
    ASSERT_TRUE(LoadRippleShader());
    const GLint loc = glGetUniformLocation(g_rippleProgram, "time");
    ASSERT_GE(loc, 0);
    Render();
    GLfloat t0 = -1, t1 = -1;
    glGetUniformfv(g_rippleProgram, loc, &t0);
    Sleep(1000);
    Render();
    glGetUniformfv(g_rippleProgram, loc, &t1);
    EXPECT_NEAR(1.0, t1 - t0, 0.2);
    EXPECT_GE(t0, 0.0f);
    EXPECT_LT(t0, 600.0f);  // seconds since start, not since boot
}

// Runs in a process of its own (below), where Mesa is told to offer GL 1.5
// before any context exists.
TEST(RippleWithoutGl2, DISABLED_InitialisationOnOldGl) {
    GlTestWindow win(64, 64);
    ASSERT_TRUE(win.ok());
    const char* version = (const char*)glGetString(GL_VERSION);
    ASSERT_TRUE(version);
    ASSERT_EQ(0, std::string(version).rfind("1.5", 0)) << version;
    MemoryPlatformScope scope;
    TempDir dir;
    dir.Write("shaders/ripple.vsh", "void main(){gl_Position=ftransform();}");
    dir.Write("shaders/ripple.fsh", "void main(){gl_FragColor=vec4(1.0);}");
    UseDataDir(dir.path());
    g_shadersAvailable = 1;
    g_rippleProgram = 0;
    testing::internal::CaptureStdout();
    InitRendering();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ("OpenGL 2.0 not supported\n", out);
    EXPECT_EQ(0, g_shadersAvailable);
    EXPECT_EQ(0u, g_rippleProgram);
}

TEST(RippleWithoutGl2, OldGlDrawsWaterWithoutTheProgram) {
    const std::string cmd =
        "MESA_GL_VERSION_OVERRIDE=1.5 /proc/" + std::to_string(getpid()) +
        "/exe --gtest_also_run_disabled_tests "
        "--gtest_filter=RippleWithoutGl2.DISABLED_InitialisationOnOldGl >/dev/null 2>&1";
    EXPECT_EQ(0, std::system(cmd.c_str()));
}

}  // namespace
