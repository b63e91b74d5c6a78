#include <gtest/gtest.h>

#include <GL/glew.h>

#include <memory>
#include <vector>

#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"
#include "textures/texture.h"

namespace {

class TextureTest : public ::testing::Test {
protected:
    GlTestWindow win{300, 200};
    MemoryPlatformScope scope;
    TempDir dir;

    void SetUp() override { ASSERT_TRUE(win.ok()); }

    std::string SmallBmp(const char* name) {
        return dir.Write(name,
                         BmpBytes(2, 2, 0, BgraPixels(2, 2, [](int, int) { return 0xFF808080u; })));
    }
};

GLint Bound() {
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

GLint LevelParameter(int level, GLenum what) {
    GLint v = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &v);
    return v;
}

bool PowerOfTwo(GLint v) { return v > 0 && (v & (v - 1)) == 0; }

TEST_F(TextureTest, JpegShowsUprightWithOriginAtBottomLeft) {
    // 300 x 200, rows top first: upper-left red, upper-right green,
    // lower-left blue, lower-right yellow.
    std::vector<uint8_t> samples;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool top = y < 100, left = x < 150;
            const uint8_t c[3] = {(uint8_t)(top ? (left ? 255 : 0) : (left ? 0 : 255)),
                                  (uint8_t)(top ? (left ? 0 : 255) : (left ? 0 : 255)),
                                  (uint8_t)(top ? 0 : (left ? 255 : 0))};
            samples.insert(samples.end(), c, c + 3);
        }
    const std::string path = dir.path() + "quadrants.jpg";
    ASSERT_TRUE(WriteJpeg(path, 300, 200, JPEG_COLOUR, samples));

    CTexture texture;
    EXPECT_TRUE(texture.LoadJPEG(path.c_str()));
    ASSERT_NE(0u, texture.name);
    EXPECT_EQ((GLint)texture.name, Bound());
    // Rescaled to power-of-two sides, with a mipmap chain and linear filters.
    EXPECT_TRUE(PowerOfTwo(LevelParameter(0, GL_TEXTURE_WIDTH)));
    EXPECT_TRUE(PowerOfTwo(LevelParameter(0, GL_TEXTURE_HEIGHT)));
    EXPECT_GT(LevelParameter(1, GL_TEXTURE_WIDTH), 0);
    GLint minFilter = 0, magFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(GL_LINEAR, minFilter);
    EXPECT_EQ(GL_LINEAR, magFilter);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(0, 0);
    glTexCoord2f(1, 0), glVertex2f(1, 0);
    glTexCoord2f(1, 1), glVertex2f(1, 1);
    glTexCoord2f(0, 1), glVertex2f(0, 1);
    glEnd();

    uint8_t px[4];
    win.ReadPixel(75, 50, px);  // lower-left
    EXPECT_LT(px[0], 40);
    EXPECT_GT(px[2], 215);
    win.ReadPixel(225, 50, px);  // lower-right
    EXPECT_GT(px[0], 215);
    EXPECT_GT(px[1], 215);
    EXPECT_LT(px[2], 40);
    win.ReadPixel(75, 150, px);  // upper-left
    EXPECT_GT(px[0], 215);
    EXPECT_LT(px[1], 40);
    win.ReadPixel(225, 150, px);  // upper-right
    EXPECT_LT(px[0], 40);
    EXPECT_GT(px[1], 215);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(TextureTest, UnloadableJpegLeavesNoTextureAndTheOthersIntact) {
    CTexture good;
    good.LoadBMP(SmallBmp("good.bmp").c_str());
    ASSERT_NE(0u, good.name);
    {
        CTexture missing;
        EXPECT_TRUE(missing.LoadJPEG((dir.path() + "missing.jpg").c_str()));
        EXPECT_EQ(0u, missing.name);
        const std::string garbage = dir.Write("garbage.jpg", std::string(500, 'x'));
        CTexture broken;
        EXPECT_TRUE(broken.LoadJPEG(garbage.c_str()));
        EXPECT_EQ(0u, broken.name);
        EXPECT_EQ(2u, scope.platform.boxes.size());
        // Binding one selects no texture at all, not another one.
        good.Bind();
        broken.Bind();
        EXPECT_EQ(0, Bound());
    }
    // Destroying them deleted nothing else.
    EXPECT_TRUE(glIsTexture(good.name));
}

TEST_F(TextureTest, BrokenBmpLeavesNoTexture) {
    CTexture truncated;
    const std::string bytes = BmpBytes(64, 64, 0, std::vector<uint8_t>(100, 0xAB));
    truncated.LoadBMP(dir.Write("short.bmp", bytes).c_str());
    EXPECT_EQ(0u, truncated.name);
    CTexture missing;
    missing.LoadBMP((dir.path() + "missing.bmp").c_str());
    EXPECT_EQ(0u, missing.name);
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
}

TEST_F(TextureTest, DestroyingALoadedTextureDeletesOnlyItsOwn) {
    CTexture keep;
    keep.LoadBMP(SmallBmp("keep.bmp").c_str());
    GLuint gone = 0;
    {
        CTexture other;
        other.LoadBMP(SmallBmp("other.bmp").c_str());
        gone = other.name;
        ASSERT_NE(0u, gone);
        ASSERT_NE(keep.name, gone);
    }
    EXPECT_FALSE(glIsTexture(gone));
    EXPECT_TRUE(glIsTexture(keep.name));
}

TEST_F(TextureTest, SphereMappingIsSwitchedOnOnlyByItsMode) {
    CTexture plain;
    EXPECT_TRUE(plain.SetMapping(TEX_PLAIN));
    plain.LoadBMP(SmallBmp("plain.bmp").c_str());
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));

    CTexture sphere;
    sphere.SetMapping(TEX_SPHEREMAP);
    EXPECT_TRUE(sphere.SetMapping(573));  // other values change nothing
    EXPECT_TRUE(sphere.sphereMap);
    sphere.LoadBMP(SmallBmp("sphere.bmp").c_str());
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
    GLint mode = 0;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(GL_SPHERE_MAP, mode);
    sphere.SetMapping(TEX_PLAIN);
    EXPECT_FALSE(sphere.sphereMap);
}

}  // namespace
