// A picture made ready ahead (decoded and its levels made without GL, then
// uploaded in steps) is the texture a load makes of the same file.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scenario/scene_preloader.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"
#include "textures/prepared_picture.h"
#include "textures/texture.h"

namespace {

pictures::Rgb Noise(int w, int h, uint32_t seed) {
    pictures::Rgb p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            uint8_t* px = p.At(x, y);
            px[0] = (uint8_t)(x * 255 / w);
            px[1] = (uint8_t)(seed >> 24);
            px[2] = (uint8_t)(y * 255 / h);
        }
    return p;
}

// Everything of a texture a frame could see: its levels and its filters.
struct TextureContents {
    std::vector<std::vector<uint8_t>> levels;
    std::vector<int> sides;
    GLint minFilter = 0, magFilter = 0;
    bool operator==(const TextureContents& o) const {
        return levels == o.levels && sides == o.sides && minFilter == o.minFilter &&
               magFilter == o.magFilter;
    }
};

TextureContents Contents(uint32_t name) {
    TextureContents c;
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0;; ++level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (w == 0 || h == 0) break;
        c.sides.insert(c.sides.end(), {w, h});
        c.levels.emplace_back((size_t)w * h * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, c.levels.back().data());
    }
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &c.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &c.magFilter);
    return c;
}

GLint Bound() {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

TEST(PreparedPicture, MakesTheTextureALoadMakesInSteps) {
    GlTestWindow win(16, 16);
    ASSERT_TRUE(win.ok());
    MemoryPlatformScope scope;
    TempDir dir;
    // Rounded up and scaled, a power of two as it is, rounded down.
    const int sizes[][2] = {{1920, 1200}, {1024, 512}, {333, 77}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const std::string path = dir.path() + "picture.jpg";
        ASSERT_TRUE(pictures::WriteJpeg(path.c_str(), Noise(w, h, (uint32_t)w)));
        CTexture loaded;
        loaded.LoadJPEG(path.c_str());
        const TextureContents expected = Contents(loaded.name);

        // The pool holds an object of the size with another picture in it,
        // and one of another size.
        TexturePool pool;
        CTexture stale, other;
        ASSERT_TRUE(pictures::WriteJpeg((dir.path() + "stale.jpg").c_str(), Noise(w, h, 7)));
        ASSERT_TRUE(pictures::WriteJpeg((dir.path() + "other.jpg").c_str(), Noise(3, 3, 7)));
        stale.LoadJPEG((dir.path() + "stale.jpg").c_str());
        other.LoadJPEG((dir.path() + "other.jpg").c_str());
        const uint32_t staleName = stale.name;
        ASSERT_FALSE(Contents(staleName) == expected);
        pool.Give(other.name);
        pool.Give(stale.name);
        other.name = stale.name = 0;

        PreparedPicture picture;
        picture.Prepare(path.c_str());
        CTexture made;
        EXPECT_FALSE(picture.TakeTexture((dir.path() + "elsewhere.jpg").c_str(), made, pool));
        const GLint drawing = (GLint)loaded.name;
        glBindTexture(GL_TEXTURE_2D, drawing);
        int steps = 0;
        while (picture.UploadStep(pool)) {
            ++steps;
            EXPECT_EQ(drawing, Bound()) << "a step leaves the binding alone";
        }
        // A large picture takes several steps, a small one a single step.
        EXPECT_EQ(w * h > 1000000, steps >= 4) << steps << " steps";
        ASSERT_TRUE(picture.TakeTexture(path.c_str(), made, pool));
        EXPECT_EQ((GLint)made.name, Bound()) << "bound as a load leaves it";
        EXPECT_EQ(staleName, made.name) << "the object of the size is filled again";
        EXPECT_TRUE(Contents(made.name) == expected);
        EXPECT_FALSE(picture.TakeTexture(path.c_str(), made, pool)) << "taken once";
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    }
    EXPECT_TRUE(scope.platform.boxes.empty());
}

// A picture that cannot be read is not made ready and shows nothing: the
// switch loads it the usual way, with its message.
TEST(PreparedPicture, UnreadablePictureIsNotReadyAndShowsNothing) {
    GlTestWindow win(16, 16);
    ASSERT_TRUE(win.ok());
    MemoryPlatformScope scope;
    TempDir dir;
    const std::string garbage = dir.Write("garbage.jpg", std::string(500, 'x'));
    const std::string missing = dir.path() + "missing.jpg";
    TexturePool pool;
    for (const std::string& path : {garbage, missing}) {
        PreparedPicture picture;
        picture.Prepare(path.c_str());
        CTexture texture;
        EXPECT_FALSE(picture.UploadStep(pool));
        EXPECT_FALSE(picture.TakeTexture(path.c_str(), texture, pool));
        EXPECT_EQ(0u, texture.name);
    }
    EXPECT_TRUE(scope.platform.boxes.empty());
}

// The switch waits on the worker no longer than a frame: a picture still
// being decoded is loaded the usual way instead, and neither a new request
// nor the end of the worker waits for it.
TEST(ScenePreloader, TheSwitchNeverWaitsOnTheWorkerBeyondAFrame) {
    GlTestWindow win(16, 16);
    ASSERT_TRUE(win.ok());
    MemoryPlatformScope scope;
    TempDir dir;
    UseDataDir(dir.path());
    dir.Write("s/scene.xml", "<Scene><Back file='big.jpg'/></Scene>");
    ASSERT_TRUE(pictures::WriteJpeg((dir.path() + "s/big.jpg").c_str(), Noise(3000, 3000, 7)));
    const std::string path = dir.path() + "s\\big.jpg";  // as the switch names it
    for (int round = 0; round < 3; ++round) {
        ScenePreloader* preloader = new ScenePreloader;
        preloader->Request("s");
        CTexture texture;
        // Nine million pixels take the decoder far longer than 11 ms.
        EXPECT_FALSE(preloader->Take(path.c_str(), texture));
        EXPECT_EQ(0u, texture.name);
        preloader->Request("s");
        delete preloader;
    }
    EXPECT_TRUE(scope.platform.boxes.empty());
}

}  // namespace
