// The levels made on the processor are the ones gluBuild2DMipmaps uploads,
// byte for byte, whatever the picture's sides.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdint>
#include <vector>

#include "tests/support/gl_test_window.h"
#include "textures/texture_levels.h"

namespace {

// A picture with gradients and noise, so that every filter weight shows.
std::vector<uint8_t> Picture(int w, int h) {
    std::vector<uint8_t> rgb((size_t)w * h * 3);
    uint32_t s = (uint32_t)(w * 7919 + h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            uint8_t* p = &rgb[((size_t)y * w + x) * 3];
            p[0] = (uint8_t)(x * 255 / w);
            p[1] = (uint8_t)(s >> 24);
            p[2] = (uint8_t)((x + 2 * y) * 255 / (w + 2 * h) ^ (s >> 29));
        }
    return rgb;
}

struct Level {
    int width, height;
    std::vector<uint8_t> pixels;
    bool operator==(const Level& o) const {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
};

// Every level of the bound texture, RGB rows without padding.
std::vector<Level> ReadLevels() {
    std::vector<Level> levels;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0;; ++level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (w == 0 || h == 0) break;
        std::vector<uint8_t> pixels((size_t)w * h * 3);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        levels.push_back(Level{w, h, pixels});
    }
    return levels;
}

TEST(TextureLevels, EveryLevelIsGlusByteForByte) {
    GlTestWindow win(16, 16);
    ASSERT_TRUE(win.ok());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Sides rounded up and down, enlarged and shrunk, powers of two, single
    // rows and columns.
    const int sizes[][2] = {{1920, 1200}, {1600, 1000}, {300, 200}, {2047, 1025}, {1000, 700},
                            {640, 480},   {1024, 512},  {3, 5},     {1, 300},     {300, 1},
                            {7, 1},       {1, 1},       {97, 61},   {1536, 1536}, {5, 7},
                            {2500, 1500}, {5000, 40}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const std::vector<uint8_t> picture = Picture(w, h);

        GLuint names[2];
        glGenTextures(2, names);
        glBindTexture(GL_TEXTURE_2D, names[0]);
        ASSERT_EQ(
            0, gluBuild2DMipmaps(GL_TEXTURE_2D, 4, w, h, GL_RGB, GL_UNSIGNED_BYTE, picture.data()));
        const std::vector<Level> glu = ReadLevels();

        TextureLevels levels;
        ASSERT_TRUE(levels.Build(picture.data(), w, h));
        glBindTexture(GL_TEXTURE_2D, names[1]);
        for (int i = 0; i < levels.count(); ++i)
            glTexImage2D(GL_TEXTURE_2D, i, 4, levels.width(i), levels.height(i), 0, GL_RGB,
                         GL_UNSIGNED_BYTE, levels.pixels(i));
        const std::vector<Level> ours = ReadLevels();
        glDeleteTextures(2, names);

        ASSERT_EQ(glu.size(), ours.size());
        ASSERT_EQ((size_t)levels.count(), glu.size());
        for (size_t i = 0; i < glu.size(); ++i) {
            EXPECT_EQ(glu[i].width, levels.width((int)i)) << "level " << i;
            EXPECT_EQ(glu[i].height, levels.height((int)i)) << "level " << i;
            EXPECT_TRUE(glu[i] == ours[i]) << "level " << i;
        }
    }
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
}

}  // namespace
