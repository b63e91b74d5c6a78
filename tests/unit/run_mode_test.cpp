#include <gtest/gtest.h>

#include "host/run_mode.h"

namespace {

RunMode ModeOf(const char* cmd) { return ChooseRunMode(LowerCommandLine(cmd)); }

TEST(RunMode, SwitchesAreSubstringsAndLaterHitsWin) {
    EXPECT_EQ(MODE_CONFIGURE, ModeOf(""));
    EXPECT_EQ(MODE_CONFIGURE, ModeOf("/c"));
    EXPECT_EQ(MODE_CONFIGURE, ModeOf("/c:4711"));
    EXPECT_EQ(MODE_CONFIGURE, ModeOf("anything else"));
    EXPECT_EQ(MODE_SAVER, ModeOf("/s"));
    EXPECT_EQ(MODE_SAVER, ModeOf("/S"));
    EXPECT_EQ(MODE_SAVER, ModeOf("-s"));
    EXPECT_EQ(MODE_CHANGE_PASSWORD, ModeOf("/s /a"));
    EXPECT_EQ(MODE_CHANGE_PASSWORD, ModeOf("-A"));
    EXPECT_EQ(MODE_PREVIEW, ModeOf("/a /p 12"));
    EXPECT_EQ(MODE_PREVIEW, ModeOf("/s /p 5"));
    EXPECT_EQ(MODE_TEST_PREVIEW, ModeOf("/p 12 /testpreview"));
    EXPECT_EQ(MODE_TEST_PREVIEW, ModeOf("/TestPreview"));
}

TEST(RunMode, PreviewHandleIsReadThreeCharactersAfterSlashP) {
    EXPECT_EQ(12u, PreviewHandleFrom(LowerCommandLine("/a /p 12")));
    EXPECT_EQ(77u, PreviewHandleFrom(LowerCommandLine("-p 77")));
    EXPECT_EQ(0u, PreviewHandleFrom(LowerCommandLine("x -p 77")));
    EXPECT_EQ(0u, PreviewHandleFrom(LowerCommandLine("/p")));
    EXPECT_EQ(0u, PreviewHandleFrom(LowerCommandLine("/p ")));
    EXPECT_EQ(0u, PreviewHandleFrom(LowerCommandLine("/p abc")));
    EXPECT_EQ(2u, PreviewHandleFrom(LowerCommandLine("/p12")));
    EXPECT_EQ(4711u, PreviewHandleFrom(LowerCommandLine("/p   4711xyz")));
    // A number no window handle can be is refused rather than wrapped.
    EXPECT_EQ(0u, PreviewHandleFrom(LowerCommandLine("/p 99999999999999999999")));
}

TEST(RunMode, LowerCaseHandlesMultibyteText) {
    EXPECT_EQ("/s", LowerCommandLine("/S"));
    // Invalid multibyte input still lowers ASCII letters.
    EXPECT_EQ(std::string("/s \xff"), LowerCommandLine("/S \xff"));
}

}  // namespace
