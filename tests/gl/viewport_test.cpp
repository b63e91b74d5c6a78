#include <gtest/gtest.h>

#include <GL/gl.h>

#include "options/options.h"
#include "render/rendering.h"
#include "tests/support/gl_test_window.h"

namespace {

struct Viewport {
    GLint x, y, w, h;
};

class ViewportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(win.ok());
        g_options = COptions();
        g_viewAspect = 1.6;
        g_accumAvailable = 0;
    }
    void TearDown() override {
        g_options = COptions();
        g_viewAspect = 1.6;
    }
    Viewport Resize(int w, int h) {
        ResizeViewport(w, h);
        Viewport v;
        glGetIntegerv(GL_VIEWPORT, &v.x);
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
        return v;
    }
    // Width over height as the projection matrix has it.
    double ProjectedAspect() {
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        return (double)m[5] / (double)m[0];
    }
    GlTestWindow win{64, 64};
};

TEST_F(ViewportTest, LetterboxOnATallerWindowLeavesBarsAboveAndBelow) {
    g_options.KeepAspect_1_6 = 1;
    Viewport v = Resize(1280, 1024);
    EXPECT_EQ(0, v.x);
    EXPECT_EQ(112, v.y);
    EXPECT_EQ(1280, v.w);
    EXPECT_EQ(800, v.h);
    EXPECT_DOUBLE_EQ(1.6, g_viewAspect);
    EXPECT_NEAR(1.6, ProjectedAspect(), 1e-5);
}

TEST_F(ViewportTest, LetterboxOnAWiderWindowCutsTopAndBottom) {
    g_options.KeepAspect_1_6 = 1;
    Viewport v = Resize(1920, 1080);
    EXPECT_EQ(-60, v.y);
    EXPECT_EQ(1920, v.w);
    EXPECT_EQ(1200, v.h);
    EXPECT_DOUBLE_EQ(1.6, g_viewAspect);
}

TEST_F(ViewportTest, WithoutLetterboxTheViewportIsTheWindow) {
    Viewport v = Resize(1024, 768);
    EXPECT_EQ(0, v.x);
    EXPECT_EQ(0, v.y);
    EXPECT_EQ(1024, v.w);
    EXPECT_EQ(768, v.h);
    EXPECT_DOUBLE_EQ(1024.0 / 768.0, g_viewAspect);
    EXPECT_NEAR(1024.0 / 768.0, ProjectedAspect(), 1e-5);
}

TEST_F(ViewportTest, CollapsedWindowKeepsTheLastAspect) {
    Resize(1024, 768);
    Viewport v = Resize(1024, 0);
    EXPECT_EQ(0, v.h);
    EXPECT_DOUBLE_EQ(1024.0 / 768.0, g_viewAspect);
    EXPECT_NEAR(1024.0 / 768.0, ProjectedAspect(), 1e-5);
    g_options.KeepAspect_1_6 = 1;
    Resize(0, 600);
    EXPECT_DOUBLE_EQ(1024.0 / 768.0, g_viewAspect);
    // The next real size takes over again.
    Resize(1600, 1000);
    EXPECT_DOUBLE_EQ(1.6, g_viewAspect);
}

}  // namespace
