// The command line as the saver sees it: Windows passes one text whose
// program name is cut off here; the run mode and the preview handle come
// from the rest.
#include <gtest/gtest.h>

#include "host/run_mode.h"
#include "platform/application.h"

namespace {

TEST(CommandLine, TextAfterTheProgramNameAsWindowsPassesIt) {
    using plat::CommandLineAfterProgramName;
    EXPECT_EQ("/p 1234",
              CommandLineAfterProgramName("\"C:\\Windows\\System32\\wavendell.scr\" /p 1234"));
    EXPECT_EQ("/c:4567", CommandLineAfterProgramName("wavendell.scr /c:4567"));
    EXPECT_EQ("/s", CommandLineAfterProgramName("C:\\WINDOWS\\system32\\wavendell.scr \t /s"));
    // A quoted name may hold blanks and switch-like text.
    EXPECT_EQ("/S", CommandLineAfterProgramName("\"C:\\a /p b\\wavendell.scr\"/S"));
    EXPECT_EQ("", CommandLineAfterProgramName("\"C:\\Program Files\\wavendell.scr\""));
    EXPECT_EQ("", CommandLineAfterProgramName("\"unterminated /s"));
    EXPECT_EQ("", CommandLineAfterProgramName(""));
    EXPECT_EQ("", CommandLineAfterProgramName(nullptr));
}

TEST(CommandLine, WindowsSwitchesChooseTheModeAndTheDecimalHandle) {
    const std::string preview =
        LowerCommandLine(plat::CommandLineAfterProgramName("wavendell.scr /P 3344778"));
    EXPECT_EQ(MODE_PREVIEW, ChooseRunMode(preview));
    EXPECT_EQ(3344778u, PreviewHandleFrom(preview));
    EXPECT_EQ(MODE_CONFIGURE,
              ChooseRunMode(LowerCommandLine(plat::CommandLineAfterProgramName("w.scr /c:65810"))));
    EXPECT_EQ(MODE_CONFIGURE,
              ChooseRunMode(LowerCommandLine(plat::CommandLineAfterProgramName("w.scr"))));
    EXPECT_EQ(MODE_SAVER,
              ChooseRunMode(LowerCommandLine(plat::CommandLineAfterProgramName("w.scr /S"))));
}

}  // namespace
