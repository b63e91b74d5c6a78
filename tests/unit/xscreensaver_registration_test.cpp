#include <gtest/gtest.h>

#include "host/xscreensaver_registration.h"
#include "tests/support/test_support.h"

namespace {

const char kSettings[] =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tmolecule --root\t\t\t    \\n\\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

TEST(XScreenSaverRegistration, AddsOneEntryAtTheTopAndKeepsEverythingElse) {
    std::string out, why;
    ASSERT_EQ(REG_ADDED, AddHackToSettings(kSettings, &out, &why));
    EXPECT_EQ(std::string(kSettings).size() + std::string(kHackProgramLine).size() + 1, out.size());
    const size_t header = out.find("programs:");
    const size_t ours = out.find(kHackProgramLine);
    EXPECT_EQ(out.find('\n', header) + 1, ours);
    EXPECT_NE(std::string::npos, out.find("pointerHysteresis:\t10\n"));
    EXPECT_NE(std::string::npos, out.find("maze --root"));
    // A second run changes nothing.
    std::string again;
    EXPECT_EQ(REG_ALREADY_THERE, AddHackToSettings(out, &again, &why));
}

TEST(XScreenSaverRegistration, OneLineAndEmptyListsBecomeContinuedLists) {
    std::string out, why;
    ASSERT_EQ(REG_ADDED, AddHackToSettings("programs:\tmaze --root\nlock: False\n", &out, &why));
    EXPECT_EQ(std::string("programs:\t\\\n") + kHackProgramLine + "\n  maze --root\nlock: False\n",
              out);
    ASSERT_EQ(REG_ADDED, AddHackToSettings("programs:\n", &out, &why));
    EXPECT_EQ(std::string::npos, out.find("\\n\\\n"));  // last entry has no continuation
}

TEST(XScreenSaverRegistration, RefusesWhatItCannotParse) {
    std::string out, why;
    EXPECT_EQ(REG_UNPARSABLE, AddHackToSettings("timeout: 0:10:00\n", &out, &why));
    EXPECT_NE(std::string::npos, why.find("programs:"));
    EXPECT_EQ(REG_UNPARSABLE, AddHackToSettings("programs: \\\n  maze --root \\n\\", &out, &why));
    EXPECT_EQ(REG_UNPARSABLE,
              AddHackToSettings(std::string("programs: maze\n\0x", 17), &out, &why));
}

TEST(XScreenSaverRegistration, FileIsReplacedWithABackupAndRefusalsChangeNothing) {
    TempDir dir;
    const std::string path = dir.Write(".xscreensaver", kSettings);
    ASSERT_EQ(0, RegisterHackInFile(path));
    EXPECT_EQ(kSettings, dir.Read(".xscreensaver.wavendell-backup"));
    EXPECT_NE(std::string::npos, dir.Read(".xscreensaver").find(kHackProgramLine));
    EXPECT_EQ(0, RegisterHackInFile(path));  // idempotent
    EXPECT_EQ(kSettings, dir.Read(".xscreensaver.wavendell-backup"));

    const std::string bad = dir.Write("bad", "timeout: 1\n");
    EXPECT_EQ(1, RegisterHackInFile(bad));
    EXPECT_EQ("timeout: 1\n", dir.Read("bad"));
    EXPECT_FALSE(dir.Exists("bad.wavendell-backup"));
    EXPECT_EQ(1, RegisterHackInFile(dir.path() + "missing"));
}

}  // namespace
