#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "host/xscreensaver_registration.h"
#include "tests/support/test_support.h"

namespace {

// As xscreensaver-settings writes the file: the list ends with a blank line.
const char kSettings[] =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "mode:\t\tone\n"
    "selected:\t2\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tmolecule --root\t\t\t    \\n\\\n"
    "\n"
    "\n"
    "pointerHysteresis:\t10\n";

std::string Entry() { return HackProgramLine(kXScreenSaverHackDir); }

std::string Added(const std::string& text) {
    std::string out, why;
    EXPECT_EQ(REG_ADDED, AddHackToSettings(text, Entry(), &out, &why)) << text;
    return out;
}

RegistrationResult Result(const std::string& text) {
    std::string out, why;
    return AddHackToSettings(text, Entry(), &out, &why);
}

TEST(XScreenSaverRegistration, EntryNamesTheProgramByNameOnlyInXScreenSaversDirectory) {
    EXPECT_EQ("  GL: \"Wavendell fountains\" wavendell --root \\n\\", Entry());
    EXPECT_EQ(Entry(), HackProgramLine("/usr/libexec/xscreensaver/"));
    EXPECT_EQ(
        "  GL: \"Wavendell fountains\" /usr/local/libexec/xscreensaver/wavendell --root \\n\\",
        HackProgramLine("/usr/local/libexec/xscreensaver"));
    // Nothing a shell or the entry parser would split or interpret.
    EXPECT_EQ("", HackProgramLine("/home/a b/libexec/xscreensaver"));
    EXPECT_EQ("", HackProgramLine("/opt/$x/libexec"));
    EXPECT_EQ("", HackProgramLine("relative/libexec"));
    EXPECT_EQ("", HackProgramLine(""));
}

TEST(XScreenSaverRegistration, AddsOneEntryLastAndKeepsEverythingElse) {
    const std::string out = Added(kSettings);
    // Only our line is new, before the blank line that ends the list, so
    // "selected: 2" still names molecule.
    std::string expected = kSettings;
    const std::string molecule = "molecule --root\t\t\t    \\n\\\n";
    expected.insert(expected.find(molecule) + molecule.size(), Entry() + "\n");
    EXPECT_EQ(expected, out);
    // A second run changes nothing.
    std::string again, why;
    EXPECT_EQ(REG_ALREADY_THERE, AddHackToSettings(out, Entry(), &again, &why));
}

TEST(XScreenSaverRegistration, ListsEndingInAnEntryOrOnTheHeaderAreContinued) {
    EXPECT_EQ(
        "programs:\tmaze --root \\n\\\n"
        "  GL: \"Wavendell fountains\" wavendell --root \\n\n"
        "lock: False\n",
        Added("programs:\tmaze --root\nlock: False\n"));
    EXPECT_EQ("programs:\\\n  GL: \"Wavendell fountains\" wavendell --root \\n\n",
              Added("programs:\n"));
    // An entry already ended with its separator gets no second one.
    EXPECT_EQ(
        "programs: \\\n  maze --root \\n\\n\\\n"
        "  GL: \"Wavendell fountains\" wavendell --root \\n\n",
        Added("programs: \\\n  maze --root \\n\\n\n"));
    // The file's last line without a newline.
    EXPECT_EQ("programs: maze \\n\\\n  GL: \"Wavendell fountains\" wavendell --root \\n\n",
              Added("programs: maze"));
}

TEST(XScreenSaverRegistration, AnyEntryRunningAProgramNamedWavendellCounts) {
    EXPECT_EQ(REG_ALREADY_THERE, Result("programs: wavendell -root\n"));
    EXPECT_EQ(REG_ALREADY_THERE,
              Result("programs: \\\n- GL: \"Fountains\" wavendell --root \\n\\\n\n"));
    EXPECT_EQ(REG_ALREADY_THERE,
              Result("programs: maze \\n  /usr/local/libexec/xscreensaver/wavendell --root\n"));
    EXPECT_EQ(REG_ALREADY_THERE, Result("programs: \\\n  GL:\t\twaven\\\ndell --root \\n\\\n\n"));
    // Names and arguments are not programs.
    EXPECT_EQ(REG_ADDED, Result("programs: \"wavendell\" maze --root\n"));
    EXPECT_EQ(REG_ADDED, Result("programs: wavendells --root\n"));
    EXPECT_EQ(REG_ADDED, Result("programs: maze --title wavendell\n"));
    // Entries of other resources do not count.
    EXPECT_EQ(REG_ADDED, Result("textProgram: wavendell\nprograms: maze\n"));
}

TEST(XScreenSaverRegistration, ContinuationIsABackslashRightBeforeTheNewline) {
    // A backslash followed by blanks ends the list there, as XScreenSaver
    // reads it: the next line is another resource.
    const std::string out = Added("programs: maze \\n\\ \nlock: False\n");
    EXPECT_EQ(
        "programs: maze \\n\\  \\n\\\n  GL: \"Wavendell fountains\" wavendell --root \\n\n"
        "lock: False\n",
        out);
}

TEST(XScreenSaverRegistration, RefusesWhatItCannotParse) {
    std::string out, why;
    EXPECT_EQ(REG_UNPARSABLE, AddHackToSettings("timeout: 0:10:00\n", Entry(), &out, &why));
    EXPECT_NE(std::string::npos, why.find("programs:"));
    EXPECT_EQ(REG_UNPARSABLE,
              AddHackToSettings("programs: \\\n  maze --root \\n\\", Entry(), &out, &why));
    EXPECT_EQ(REG_UNPARSABLE,
              AddHackToSettings(std::string("programs: maze\n\0x", 17), Entry(), &out, &why));
    EXPECT_EQ(REG_UNPARSABLE, AddHackToSettings("programs: maze\n", "", &out, &why));
}

TEST(XScreenSaverRegistration, FileIsReplacedWithABackupAndRefusalsChangeNothing) {
    TempDir dir;
    const std::string path = dir.Write(".xscreensaver", kSettings);
    ASSERT_EQ(0, chmod(path.c_str(), 0600));
    ASSERT_EQ(0, RegisterHackInFile(path, Entry(), dir.path()));
    EXPECT_EQ(kSettings, dir.Read(".xscreensaver.wavendell-backup"));
    EXPECT_EQ(Added(kSettings), dir.Read(".xscreensaver"));
    struct stat st;
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 07777);
    EXPECT_FALSE(dir.Exists(".xscreensaver.wavendell-new"));
    EXPECT_EQ(0, RegisterHackInFile(path, Entry(), dir.path()));  // idempotent
    EXPECT_EQ(kSettings, dir.Read(".xscreensaver.wavendell-backup"));

    const std::string bad = dir.Write("bad", "timeout: 1\n");
    EXPECT_EQ(1, RegisterHackInFile(bad, Entry(), dir.path()));
    EXPECT_EQ("timeout: 1\n", dir.Read("bad"));
    EXPECT_FALSE(dir.Exists("bad.wavendell-backup"));
    EXPECT_EQ(1, RegisterHackInFile(dir.path() + "missing", Entry(), dir.path()));
    EXPECT_FALSE(dir.Exists("missing"));
}

// A link is followed into the home folder only; the backup sits beside the
// name the user knows, and nothing outside home is written.
TEST(XScreenSaverRegistration, ALinkIsFollowedOnlyInsideHome) {
    TempDir dir;
    const std::string home = dir.path() + "home";
    const std::string target = dir.Write("home/dotfiles/xscreensaver", "programs: maze\n");
    const std::string link = home + "/.xscreensaver";
    ASSERT_EQ(0, symlink(target.c_str(), link.c_str()));
    ASSERT_EQ(0, RegisterHackInFile(link, Entry(), home));
    struct stat st;
    ASSERT_EQ(0, lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(Added("programs: maze\n"), dir.Read("home/dotfiles/xscreensaver"));
    EXPECT_EQ("programs: maze\n", dir.Read("home/.xscreensaver.wavendell-backup"));
    EXPECT_FALSE(dir.Exists("home/dotfiles/xscreensaver.wavendell-backup"));

    const std::string outside = dir.Write("profile", "programs: maze\n");
    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink("../profile", link.c_str()));
    EXPECT_EQ(1, RegisterHackInFile(link, Entry(), home));
    EXPECT_EQ("programs: maze\n", dir.Read("profile"));
    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink((home + "/missing").c_str(), link.c_str()));
    EXPECT_EQ(1, RegisterHackInFile(link, Entry(), home));
    EXPECT_EQ(0, lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));  // a dangling link stays a link
}

}  // namespace
