#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/file.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_support.h"
#include "textures/bmp_file.h"
#include "textures/jpeg_file.h"
#include "textures/texture.h"

namespace {

std::vector<uint8_t> Ramp(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = (uint8_t)(i * 7 + 3);
    return v;
}

class BmpFileTest : public ::testing::Test {
protected:
    TempDir dir;
    BmpPixels bmp;

    bool Read(const std::string& bytes) {
        return ReadBmpFile(dir.Write("picture.bmp", bytes).c_str(), &bmp);
    }
};

TEST_F(BmpFileTest, ReadsThirtyTwoBitPixelsInFileOrder) {
    const std::vector<uint8_t> data = Ramp(5 * 3 * 4);
    ASSERT_TRUE(Read(BmpBytes(5, 3, (uint32_t)data.size(), data)));
    EXPECT_EQ(5, bmp.width);
    EXPECT_EQ(3, bmp.height);
    EXPECT_EQ(0, std::memcmp(data.data(), bmp.bgra.get(), data.size()));
}

TEST_F(BmpFileTest, ImageSizeZeroMeansWidthTimesHeightTimesFour) {
    const std::vector<uint8_t> data = Ramp(4 * 2 * 4);
    ASSERT_TRUE(Read(BmpBytes(4, 2, 0, data)));
    EXPECT_EQ(0, std::memcmp(data.data(), bmp.bgra.get(), data.size()));
}

TEST_F(BmpFileTest, PixelsAreTakenFromByte54WhateverTheHeaderSays) {
    const std::vector<uint8_t> data = Ramp(2 * 2 * 4 + 84);
    ASSERT_TRUE(Read(BmpBytes(2, 2, 0, data, /*pixelOffset=*/138)));
    EXPECT_EQ(0, std::memcmp(data.data(), bmp.bgra.get(), 16));
}

TEST_F(BmpFileTest, PaddedImageSizeWithinTheFileIsAccepted) {
    const std::vector<uint8_t> data = Ramp(3 * 2 * 4 + 8);
    ASSERT_TRUE(Read(BmpBytes(3, 2, (uint32_t)data.size(), data)));
    EXPECT_EQ(0, std::memcmp(data.data(), bmp.bgra.get(), 24));
}

TEST_F(BmpFileTest, PathsWithBackslashesAreOpened) {
    const std::vector<uint8_t> data = Ramp(4);
    dir.Write("sprites/one.bmp", BmpBytes(1, 1, 4, data));
    EXPECT_TRUE(ReadBmpFile((dir.path() + "sprites\\one.bmp").c_str(), &bmp));
}

TEST_F(BmpFileTest, BrokenFilesAreRefusedWithoutTouchingTheResult) {
    const std::vector<uint8_t> four = Ramp(2 * 2 * 4);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"headers cut short", BmpBytes(2, 2, 16, four).substr(0, 40)},
        {"pixels cut short", BmpBytes(2, 2, 0, four).substr(0, 54 + 15)},
        {"image size larger than the file", BmpBytes(2, 2, 17, four)},
        {"image size smaller than the picture", BmpBytes(2, 2, 12, four)},
        {"negative width", BmpBytes(-2, 2, 0, four)},
        {"negative height (top-down)", BmpBytes(2, -2, 0, four)},
        {"zero width", BmpBytes(0, 2, 0, four)},
        {"huge sides, tiny file", BmpBytes(100000, 100000, 0, four)},
        {"huge sides, huge image size", BmpBytes(2147483647, 2147483647, 0xFFFFFFFFu, four)},
        {"sides over the limit", BmpBytes(16384, 16384, 0, four)},
    };
    for (const Case& c : cases) {
        bmp.width = 77;
        EXPECT_FALSE(Read(c.bytes)) << c.what;
        EXPECT_EQ(77, bmp.width) << c.what;
        EXPECT_EQ(nullptr, bmp.bgra) << c.what;
    }
    EXPECT_FALSE(ReadBmpFile((dir.path() + "missing.bmp").c_str(), &bmp));
    EXPECT_FALSE(ReadBmpFile("", &bmp));
    EXPECT_FALSE(ReadBmpFile(nullptr, &bmp));
}

// A top half of one colour over a bottom half of another.
std::vector<uint8_t> TwoBands(int w, int h, std::vector<uint8_t> top, std::vector<uint8_t> bottom) {
    std::vector<uint8_t> s;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::vector<uint8_t>& c = y < h / 2 ? top : bottom;
            s.insert(s.end(), c.begin(), c.end());
        }
    return s;
}

typedef std::unique_ptr<JpegImage> JpegPtr;

class JpegLoadTest : public ::testing::Test {
protected:
    MemoryPlatformScope scope;
    TempDir dir;

    std::string Path(const char* name) const { return dir.path() + name; }
    JpegPtr Load(const std::string& path) { return LoadJpegImage(path.c_str()); }
    // The one message box expected for a picture that cannot be used.
    void ExpectRefusedWithMessage(const std::string& path) {
        ASSERT_EQ(1u, scope.platform.boxes.size());
        const auto& box = scope.platform.boxes[0];
        EXPECT_EQ(0u, box.owner);
        EXPECT_EQ("Unable to load JPG File!", box.text);
        EXPECT_EQ(plat::DisplayPath(path.c_str()), box.caption);  // native separators
        EXPECT_EQ(plat::MB_OK, box.type);
    }
};

// The pixel at (x, y) counted from the bottom-left of the decoded record.
const uint8_t* At(const JpegImage& image, int x, int y) {
    return image.pixels.get() + (size_t)y * image.rowBytes + (size_t)x * 3;
}

TEST_F(JpegLoadTest, ColourPictureIsStoredBottomRowFirst) {
    const std::string path = Path("bands.jpg");
    ASSERT_TRUE(
        WriteJpeg(path, 32, 16, JPEG_COLOUR, TwoBands(32, 16, {250, 10, 10}, {10, 10, 250})));
    JpegPtr image = Load(path);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(32, image->width);
    EXPECT_EQ(16, image->height);
    EXPECT_EQ(96, image->rowBytes);
    // Bottom of the picture (blue) first, top (red) last.
    EXPECT_GT(At(*image, 4, 1)[2], 200);
    EXPECT_LT(At(*image, 4, 1)[0], 60);
    EXPECT_GT(At(*image, 4, 14)[0], 200);
    EXPECT_LT(At(*image, 4, 14)[2], 60);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(JpegLoadTest, GreyscalePictureIsExpandedToRgb) {
    const std::string path = Path("grey.jpg");
    ASSERT_TRUE(WriteJpeg(path, 24, 16, JPEG_GREY, TwoBands(24, 16, {230}, {20})));
    JpegPtr image = Load(path);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(24 * 3, image->rowBytes);
    for (int y : {1, 14}) {
        const uint8_t* p = At(*image, 23, y);
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
    }
    EXPECT_LT(At(*image, 23, 1)[0], 40);
    EXPECT_GT(At(*image, 23, 14)[0], 210);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(JpegLoadTest, CmykPictureIsRefused) {
    const std::string path = Path("cmyk.jpg");
    ASSERT_TRUE(
        WriteJpeg(path, 16, 16, JPEG_CMYK, TwoBands(16, 16, {0, 255, 255, 0}, {0, 0, 0, 0})));
    EXPECT_EQ(nullptr, Load(path));
    ExpectRefusedWithMessage(path);
}

TEST_F(JpegLoadTest, MissingFileShowsTheMessageOnce) {
    const std::string path = Path("nowhere.jpg");
    EXPECT_EQ(nullptr, Load(path));
    ExpectRefusedWithMessage(path);
}

TEST_F(JpegLoadTest, UndecodableFilesAreRefusedAndTheProcessGoesOn) {
    const std::string garbage = dir.Write("garbage.jpg", std::string(3000, '\x5a'));
    EXPECT_EQ(nullptr, Load(garbage));
    ExpectRefusedWithMessage(garbage);

    scope.platform.boxes.clear();
    const std::string headerOnly = dir.Write("start.jpg", std::string("\xFF\xD8\xFF", 3));
    EXPECT_EQ(nullptr, Load(headerOnly));
    ExpectRefusedWithMessage(headerOnly);
}

TEST_F(JpegLoadTest, PictureThatEndsEarlyIsCompletedByTheLibrary) {
    const std::string whole = Path("whole.jpg");
    std::vector<uint8_t> samples((size_t)64 * 64 * 3);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = (uint8_t)(i * 31 % 251);
    ASSERT_TRUE(WriteJpeg(whole, 64, 64, JPEG_COLOUR, samples));
    const std::string bytes = dir.Read("whole.jpg");
    const std::string cut = dir.Write("cut.jpg", bytes.substr(0, bytes.size() / 2));
    JpegPtr image = Load(cut);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(64, image->width);
    EXPECT_EQ(64, image->height);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

// Decoding for a worker shows nothing and keeps libjpeg's text, the text a
// load writes to standard error; it decodes what a load decodes.
TEST_F(JpegLoadTest, QuietDecodingKeepsTheLibrarysTextAndShowsNothing) {
    std::vector<uint8_t> samples((size_t)48 * 40 * 3);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = (uint8_t)(i * 13 % 253);
    ASSERT_TRUE(WriteJpeg(Path("whole.jpg"), 48, 40, JPEG_COLOUR, samples));
    const std::string bytes = dir.Read("whole.jpg");
    const std::string cut = dir.Write("cut.jpg", bytes.substr(0, bytes.size() * 2 / 3));
    const std::string garbage = dir.Write("garbage.jpg", std::string(2000, '\x33'));

    for (const std::string& path : {Path("whole.jpg"), cut, garbage, Path("nowhere.jpg")}) {
        SCOPED_TRACE(path);
        std::string kept;
        testing::internal::CaptureStderr();
        JpegPtr quiet = DecodeJpegFile(path.c_str(), &kept);
        const std::string quietOutput = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(scope.platform.boxes.empty());
        EXPECT_EQ("", quietOutput);

        testing::internal::CaptureStderr();
        JpegPtr loaded = Load(path);
        EXPECT_EQ(kept, testing::internal::GetCapturedStderr());
        ASSERT_EQ(loaded == nullptr, quiet == nullptr);
        if (loaded) {
            EXPECT_EQ(0, std::memcmp(loaded->pixels.get(), quiet->pixels.get(),
                                     (size_t)loaded->rowBytes * loaded->height));
        }
        EXPECT_EQ(loaded ? 0u : 1u, scope.platform.boxes.size());
        scope.platform.boxes.clear();
        // A whole picture has nothing to say; the others do, except a file
        // that is not there.
        EXPECT_EQ(path == cut || path == garbage, !kept.empty()) << kept;
    }
}

// Rewrites the sides named in the frame header of a JPEG file.
std::string WithSides(std::string jpeg, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if ((uint8_t)jpeg[i] == 0xFF &&
            ((uint8_t)jpeg[i + 1] == 0xC0 || (uint8_t)jpeg[i + 1] == 0xC1)) {
            jpeg[i + 5] = (char)(height >> 8);
            jpeg[i + 6] = (char)height;
            jpeg[i + 7] = (char)(width >> 8);
            jpeg[i + 8] = (char)width;
            return jpeg;
        }
    }
    return std::string();
}

TEST_F(JpegLoadTest, AbsurdSidesAreRefusedBeforeAllocating) {
    ASSERT_TRUE(
        WriteJpeg(Path("small.jpg"), 8, 8, JPEG_COLOUR, std::vector<uint8_t>(8 * 8 * 3, 128)));
    const std::string header = WithSides(dir.Read("small.jpg"), 60000, 60000);
    ASSERT_FALSE(header.empty());
    const std::string path = dir.Write("huge.jpg", header);
    EXPECT_EQ(nullptr, Load(path));
    ExpectRefusedWithMessage(path);
}

}  // namespace
