#include <gtest/gtest.h>

#include "platform/x11/glx_pixel_format.h"

namespace {

using namespace plat;

GlxFormat Rgba8(int depth = 24, int accum = 0, GlxCaveat caveat = CAVEAT_NONE) {
    GlxFormat f;
    f.doubleBuffer = true;
    f.red = f.green = f.blue = f.alpha = 8;
    f.depth = depth;
    f.accumRed = f.accumGreen = f.accumBlue = f.accumAlpha = accum;
    f.caveat = caveat;
    f.visualDepth = 24;
    return f;
}

PixelFormatDescriptor Request(uint8_t accumBits) {
    PixelFormatDescriptor pfd;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    pfd.cAccumBits = accumBits;
    pfd.cDepthBits = 32;
    return pfd;
}

// Formats as Mesa offers them: plain ones first, accumulation ones marked slow.
std::vector<GlxFormat> MesaLike() {
    GlxFormat single = Rgba8();
    single.doubleBuffer = false;
    GlxFormat rgb565 = Rgba8(16);
    rgb565.red = rgb565.blue = 5;
    rgb565.green = 6;
    rgb565.alpha = 0;
    GlxFormat argbVisual = Rgba8(24, 16, CAVEAT_SLOW);
    argbVisual.visualDepth = 32;
    return {single,                                // 1
            rgb565,                                // 2
            Rgba8(16),                             // 3
            Rgba8(24),                             // 4
            argbVisual,                            // 5
            Rgba8(16, 16, CAVEAT_SLOW),            // 6
            Rgba8(24, 16, CAVEAT_SLOW),            // 7
            Rgba8(24, 0, CAVEAT_NON_CONFORMANT)};  // 8
}

TEST(GlxPixelFormat, AccumulationRequestsGetAnAccumulationBufferEvenWhenSlow) {
    const auto formats = MesaLike();
    EXPECT_EQ(7, ChooseFormat(formats, Request(64), 24));
    EXPECT_EQ(7, ChooseFormat(formats, Request(32), 24));  // 16 bits serve a wish of 8
    EXPECT_EQ(4, ChooseFormat(formats, Request(0), 24));   // none wanted: no slow format
}

TEST(GlxPixelFormat, EightBitAccumulationIsEnoughForA32BitRequestOnly) {
    std::vector<GlxFormat> formats = {Rgba8(24), Rgba8(24, 8, CAVEAT_SLOW),
                                      Rgba8(24, 16, CAVEAT_SLOW)};
    EXPECT_EQ(2, ChooseFormat(formats, Request(32), 24));
    EXPECT_EQ(3, ChooseFormat(formats, Request(64), 24));
    // Without any accumulation format the closest plain one is taken.
    formats = {Rgba8(16), Rgba8(24)};
    EXPECT_EQ(2, ChooseFormat(formats, Request(64), 24));
}

TEST(GlxPixelFormat, ClosestColourDepthAndBuffering) {
    const auto formats = MesaLike();
    std::vector<GlxFormat> noDouble = {formats[0], formats[1]};
    // Double buffering outranks colour: the 16-bit double-buffered one wins.
    EXPECT_EQ(2, ChooseFormat(noDouble, Request(0), 24));
    PixelFormatDescriptor single = Request(0);
    single.dwFlags &= ~PFD_DOUBLEBUFFER;
    EXPECT_EQ(1, ChooseFormat(noDouble, single, 24));
    // A 32-bit depth wish is met by the deepest buffer there is.
    std::vector<GlxFormat> depths = {Rgba8(16), Rgba8(24), Rgba8(0)};
    EXPECT_EQ(2, ChooseFormat(depths, Request(0), 24));
    // The screen's own visual depth is preferred over a 32-bit visual.
    std::vector<GlxFormat> visuals = {formats[4], formats[6]};
    EXPECT_EQ(2, ChooseFormat(visuals, Request(64), 24));
    EXPECT_EQ(0, ChooseFormat({}, Request(64), 24));
}

TEST(GlxPixelFormat, OnlyIndirectOrNonConformantFormatsAreGeneric) {
    PixelFormatDescriptor d = DescribeFormat(Rgba8(24, 16, CAVEAT_SLOW), false);
    EXPECT_EQ((uint32_t)(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER), d.dwFlags);
    EXPECT_EQ(32, d.cColorBits);
    EXPECT_EQ(64, d.cAccumBits);
    EXPECT_EQ(24, d.cDepthBits);

    EXPECT_TRUE(DescribeFormat(Rgba8(24, 16, CAVEAT_SLOW), true).dwFlags & PFD_GENERIC_FORMAT);
    EXPECT_TRUE(DescribeFormat(Rgba8(24, 0, CAVEAT_NON_CONFORMANT), false).dwFlags &
                PFD_GENERIC_FORMAT);
    GlxFormat single = Rgba8();
    single.doubleBuffer = false;
    EXPECT_FALSE(DescribeFormat(single, false).dwFlags & (PFD_DOUBLEBUFFER | PFD_GENERIC_FORMAT));
    EXPECT_EQ(0, DescribeFormat(single, false).cAccumBits);
}

}  // namespace
