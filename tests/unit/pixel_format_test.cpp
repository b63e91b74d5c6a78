#include <gtest/gtest.h>

#include <cstring>

#include "options/options.h"
#include "render/motion_trail.h"
#include "render/rendering.h"
#include "tests/support/test_support.h"

using namespace plat;

namespace {

PixelFormatDescriptor Format(uint8_t accum, bool generic) {
    PixelFormatDescriptor f;
    f.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER |
                (generic ? (uint32_t)PFD_GENERIC_FORMAT : 0u);
    f.cColorBits = 32;
    f.cDepthBits = 24;
    f.cAccumBits = accum;
    return f;
}

class PixelFormatTest : public ::testing::Test {
protected:
    MemoryPlatformScope scope;
    MemoryPlatform& p = scope.platform;
};

TEST_F(PixelFormatTest, AcceleratedAccumulationFormatEnablesTheTrail) {
    p.formats = {Format(64, false), Format(0, false)};
    SetupPixelFormat(7);
    EXPECT_EQ(1, g_accumAvailable);
    EXPECT_EQ(1, p.chosenFormat);
    EXPECT_EQ(7u, g_saverDC);
    EXPECT_TRUE(p.boxes.empty());
}

TEST_F(PixelFormatTest, GenericFormatsFallThroughToTheNextAttempt) {
    // 64 bits: generic; 32 bits: accelerated.
    p.formats = {Format(64, true), Format(32, false), Format(0, false)};
    SetupPixelFormat(7);
    EXPECT_EQ(2, p.chosenFormat);
    EXPECT_EQ(1, g_accumAvailable);
}

TEST_F(PixelFormatTest, AcceleratedFormatWithoutAccumulationTurnsTheTrailOff) {
    p.formats = {Format(0, false)};
    SetupPixelFormat(7);
    EXPECT_EQ(1, p.chosenFormat);
    EXPECT_EQ(0, g_accumAvailable);
}

TEST_F(PixelFormatTest, OnlyGenericFormatsTakeFormatOneWithoutTrail) {
    p.formats = {Format(0, true), Format(64, true)};
    SetupPixelFormat(7);
    EXPECT_EQ(1, p.chosenFormat);
    EXPECT_EQ(0, g_accumAvailable);
}

// A software rasteriser counts as the generic format for the trail, but
// keeps the format it chose; the run can still ask for the trail.
TEST_F(PixelFormatTest, SoftwareRendererTurnsTheTrailOffUnlessTheRunAsks) {
    ResetProcess();
    p.formats = {Format(64, false), Format(0, false)};
    p.softwareRenderer = true;
    SetupPixelFormat(7);
    EXPECT_EQ(1, p.chosenFormat);
    EXPECT_EQ(0, g_accumAvailable);
    EXPECT_TRUE(g_run.softwareRenderer);
    EXPECT_EQ(TRAIL_OFF, CurrentTrailPath());
    g_run.trail = 1;
    EXPECT_EQ(TRAIL_ACCUM, CurrentTrailPath());  // no framebuffer objects here
    g_options.DoNotUseAccumBuffer = 1;
    EXPECT_EQ(TRAIL_OFF, CurrentTrailPath());
    ResetProcess();

    for (const char* name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe",
                             "Mesa DRI Intel(R) HD Graphics 620 (KBL GT2)", "Software Rasterizer",
                             "GDI Generic", "NVIDIA GeForce RTX 4090/PCIe/SSE2"})
        EXPECT_EQ(std::strstr(name, "Intel") == nullptr && std::strstr(name, "NVIDIA") == nullptr,
                  IsSoftwareRendererName(name))
            << name;
    EXPECT_FALSE(IsSoftwareRendererName(nullptr));
}

TEST_F(PixelFormatTest, FailuresAreReportedAndTheRunGoesOn) {
    p.formats.clear();  // nothing to choose from
    p.setPixelFormatResult = false;
    SetupPixelFormat(9);
    ASSERT_EQ(2u, p.boxes.size());
    EXPECT_EQ("ChoosePixelFormat error", p.boxes[0].text);
    EXPECT_EQ("SetPixelFormat error", p.boxes[1].text);
    EXPECT_EQ("Error", p.boxes[1].caption);
    EXPECT_EQ(9u, p.boxes[0].owner);
    EXPECT_EQ((unsigned)MB_ICONERROR, p.boxes[0].type);
}

}  // namespace
