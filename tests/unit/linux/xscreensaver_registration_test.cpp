#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

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

// No defaults to write a new file from.
const std::vector<std::string> kNoDefaults = {"/nonexistent-wavendell/XScreenSaver"};

// An app-defaults file as XScreenSaver installs it: comments, directives,
// resources of its parts, a value continued onto a second line, a resource
// set twice, and the programs list.
const char kDefaults[] =
    "! XScreenSaver: the defaults for new users\n"
    "#error Do not run app-defaults files through xrdb!\n"
    "*mode:\t\t\trandom\n"
    "*timeout:\t\t0:10:00\n"
    "*dpmsQuickoffEnabled:\tFalse\n"
    "*imageDirectory:\t\n"
    "*installColormap:\tTrue\n"
    "*textLiteral:\t\tWater \\\n"
    "\t\tfalls\n"
    "*hacks.maze.name:\tThe Maze\n"
    "*default.Dialog.foreground:\t#000000\n"
    "XScreenSaver.pointerHysteresis:\t\t10\n"
    "*ignoreUninstalledPrograms: False\n"
    "*timeout:\t\t0:20:00\n"
    "\n"
    "*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n"
    "\n"
    "*hacks.superquadrics.name: Super Quadrics\n";

std::string Entry() { return HackProgramLine(kXScreenSaverHackDir); }

std::string Added(const std::string& text) {
    std::string out, why;
    EXPECT_EQ(REG_ADDED, AddHackToSettings(text, Entry(), &out, &why)) << text;
    return out;
}

std::string Removed(const std::string& text) {
    std::string out, why;
    EXPECT_EQ(UNREG_REMOVED, RemoveHackFromSettings(text, &out, &why)) << text;
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

// An entry written by hand without its separator before the blank line
// gets one, or ours would run on as its arguments.
TEST(XScreenSaverRegistration, TheEntryBeforeOursGetsTheSeparatorItLacks) {
    EXPECT_EQ("programs: \\\n  maze --root  \\n\\\n" + Entry() + "\n\nlock: False\n",
              Added("programs: \\\n  maze --root \\\n\nlock: False\n"));
    EXPECT_EQ("programs: \\\n  maze --root  \\n\\\n\nlock: False\n",
              Removed(Added("programs: \\\n  maze --root \\\n\nlock: False\n")));
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
    ASSERT_EQ(0, RegisterHackInFile(path, Entry(), dir.path(), kNoDefaults));
    EXPECT_EQ(kSettings, dir.Read(".xscreensaver.wavendell-backup"));
    EXPECT_EQ(Added(kSettings), dir.Read(".xscreensaver"));
    struct stat st;
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 07777);
    EXPECT_FALSE(dir.Exists(".xscreensaver.wavendell-new"));
    EXPECT_EQ(0, RegisterHackInFile(path, Entry(), dir.path(), kNoDefaults));  // idempotent
    EXPECT_EQ(kSettings, dir.Read(".xscreensaver.wavendell-backup"));

    const std::string bad = dir.Write("bad", "timeout: 1\n");
    EXPECT_EQ(1, RegisterHackInFile(bad, Entry(), dir.path(), kNoDefaults));
    EXPECT_EQ("timeout: 1\n", dir.Read("bad"));
    EXPECT_FALSE(dir.Exists("bad.wavendell-backup"));
    EXPECT_EQ(1, RegisterHackInFile(dir.path() + "missing", Entry(), dir.path(), kNoDefaults));
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
    ASSERT_EQ(0, RegisterHackInFile(link, Entry(), home, kNoDefaults));
    struct stat st;
    ASSERT_EQ(0, lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(Added("programs: maze\n"), dir.Read("home/dotfiles/xscreensaver"));
    EXPECT_EQ("programs: maze\n", dir.Read("home/.xscreensaver.wavendell-backup"));
    EXPECT_FALSE(dir.Exists("home/dotfiles/xscreensaver.wavendell-backup"));

    const std::string outside = dir.Write("profile", "programs: maze\n");
    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink("../profile", link.c_str()));
    EXPECT_EQ(1, RegisterHackInFile(link, Entry(), home, kNoDefaults));
    EXPECT_EQ("programs: maze\n", dir.Read("profile"));
    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink((home + "/missing").c_str(), link.c_str()));
    EXPECT_EQ(1, RegisterHackInFile(link, Entry(), home, kNoDefaults));
    EXPECT_EQ(0, lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));  // a dangling link stays a link
}

// What the settings dialog writes for a new user: its settings in its
// order and layout with the defaults' values, and the list as it stands,
// every entry continued onto the blank line that ends it.
TEST(XScreenSaverRegistration, ANewFileIsTheDefaultsAsTheDialogWritesThem) {
    std::string out, why;
    ASSERT_TRUE(SettingsFromDefaults(kDefaults, "/etc/X11/app-defaults/XScreenSaver", &out, &why));
    EXPECT_EQ(
        "# XScreenSaver Preferences File\n"
        "# Written by wavendell-register from /etc/X11/app-defaults/XScreenSaver.\n"
        "\n"
        "timeout:\t0:20:00\n"
        "installColormap:    True\n"
        "ignoreUninstalledPrograms:False\n"
        "dpmsQuickOff:\tFalse\n"
        "imageDirectory:\t\n"
        "\n"
        "mode:\t\trandom\n"
        "selected:\t-1\n"
        "\n"
        "textLiteral:\tWater \t\tfalls\n"
        "\n"
        "programs:\t\t\t\t\t\t\t\t      \\\n"
        "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
        "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
        "\n"
        "\n"
        "pointerHysteresis:  10\n"
        "\n",
        out);
    // Ours goes last, before the blank line.
    const std::string added = Added(out);
    EXPECT_NE(std::string::npos,
              added.find("superquadrics --root\t\t\t    \\n\\\n" + Entry() + "\n\n"));

    // A last entry without its separator gets one; so does nothing else.
    ASSERT_TRUE(SettingsFromDefaults("*programs: maze --root\n", "x", &out, &why));
    EXPECT_NE(std::string::npos, out.find("\nprograms: maze --root \\n\\\n\n\n"));
    EXPECT_NE(std::string::npos, Added(out).find("maze --root \\n\\\n" + Entry() + "\n\n"));
    ASSERT_TRUE(SettingsFromDefaults("*programs:\n", "x", &out, &why));
    EXPECT_NE(std::string::npos, out.find("\nprograms:\\\n\n\n"));

    EXPECT_FALSE(SettingsFromDefaults("*timeout: 0:10:00\n! *programs: maze\n", "x", &out, &why));
    EXPECT_NE(std::string::npos, why.find("programs"));
}

// Removing our entry from what adding made gives the file back byte for
// byte; the dialog's own rewrite of the entry (disabled, aligned) goes the
// same way from the middle of the list.
TEST(XScreenSaverRegistration, RemovingTakesOurLinesOutAndLeavesEveryOtherByte) {
    EXPECT_EQ(kSettings, Removed(Added(kSettings)));
    std::string out, why;
    EXPECT_EQ(UNREG_NOT_THERE, RemoveHackFromSettings(kSettings, &out, &why));

    std::string rewritten = kSettings;
    const std::string maze = "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n";
    const std::string ours = "- GL: \t\t\t\twavendell --root\t\t\t    \\n\\\n";
    rewritten.insert(rewritten.find(maze) + maze.size(), ours);
    EXPECT_EQ(kSettings, Removed(rewritten));

    // Every entry that runs it goes, one spread over two lines too.
    EXPECT_EQ("programs: \\\n  maze \\n\\\n\nlock: False\n",
              Removed("programs: \\\n  wavendell --root \\n\\\n  maze \\n\\\n"
                      "  GL:\t\twaven\\\ndell --root \\n\\\n\nlock: False\n"));
}

TEST(XScreenSaverRegistration, AnEntrySharingALineLeavesTheRestOfIt) {
    EXPECT_EQ("programs: maze --root \\n  qix --root\nlock: False\n",
              Removed("programs: maze --root \\n wavendell --root \\n  qix --root\nlock: False\n"));
    EXPECT_EQ("programs:\n", Removed("programs: wavendell -root\n"));
    EXPECT_EQ("programs: maze \\n\n", Removed("programs: maze \\n /opt/x/wavendell --root\n"));
    // A list ending on our line keeps the continuation before it, onto a
    // blank line, so the list still ends where it did.
    EXPECT_EQ("programs:\tmaze --root \\n\\\n\nlock: False\n",
              Removed(Added("programs:\tmaze --root\nlock: False\n")));
    EXPECT_EQ("programs: \\\n  maze \\n\\\n\n",
              Removed("programs: \\\n  maze \\n\\\n  wavendell --root"));
}

TEST(XScreenSaverRegistration, RemovingFindsNothingOrRefusesWhereAddingWould) {
    std::string out, why;
    EXPECT_EQ(UNREG_NOT_THERE, RemoveHackFromSettings("timeout: 0:10:00\n", &out, &why));
    EXPECT_EQ(UNREG_NOT_THERE,
              RemoveHackFromSettings("textProgram: wavendell\nprograms: maze --title wavendell\n",
                                     &out, &why));
    EXPECT_EQ(UNREG_UNPARSABLE,
              RemoveHackFromSettings("programs: \\\n  wavendell --root \\n\\", &out, &why));
    EXPECT_EQ(UNREG_UNPARSABLE,
              RemoveHackFromSettings(std::string("programs: wavendell\n\0x", 21), &out, &why));
}

// A new account: the file is written from the first defaults file that can
// be read, and taking the entry out again leaves exactly those defaults.
TEST(XScreenSaverRegistration, ANewAccountIsRegisteredFromTheDefaultsAndUnregisteredAgain) {
    TempDir dir;
    const std::string home = dir.path() + "home";
    const std::string defaults = dir.Write("app-defaults/XScreenSaver", kDefaults);
    dir.Write("home/.profile", "");
    const std::string path = home + "/.xscreensaver";
    ASSERT_EQ(0, RegisterHackInFile(path, Entry(), home, {dir.path() + "nothing", defaults}));
    std::string settings, why;
    ASSERT_TRUE(SettingsFromDefaults(kDefaults, defaults, &settings, &why));
    EXPECT_EQ(Added(settings), dir.Read("home/.xscreensaver"));
    EXPECT_FALSE(dir.Exists("home/.xscreensaver.wavendell-backup"));  // there was nothing
    struct stat st;
    ASSERT_EQ(0, stat(path.c_str(), &st));
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(0666u & ~mask, st.st_mode & 07777);  // as the dialog makes it

    ASSERT_EQ(0, UnregisterHackInFile(path, home));
    EXPECT_EQ(settings, dir.Read("home/.xscreensaver"));
    EXPECT_EQ(Added(settings), dir.Read("home/.xscreensaver.wavendell-backup"));
    EXPECT_EQ(0, UnregisterHackInFile(path, home));  // nothing left to take out
    EXPECT_EQ(settings, dir.Read("home/.xscreensaver"));
    EXPECT_EQ(Added(settings), dir.Read("home/.xscreensaver.wavendell-backup"));

    // Taking out of a missing file writes nothing; neither do defaults
    // without a list.
    EXPECT_EQ(0, UnregisterHackInFile(home + "/other", home));
    EXPECT_FALSE(dir.Exists("home/other"));
    const std::string bare = dir.Write("bare", "*timeout: 0:10:00\n");
    EXPECT_EQ(1, RegisterHackInFile(home + "/other", Entry(), home, {bare}));
    EXPECT_FALSE(dir.Exists("home/other"));
}

TEST(XScreenSaverRegistration, RemovingFollowsALinkOnlyInsideHomeToo) {
    TempDir dir;
    const std::string home = dir.path() + "home";
    const std::string registered = Added("programs: maze\n");
    dir.Write("home/dotfiles/xscreensaver", registered);
    const std::string outside = dir.Write("profile", registered);
    const std::string link = home + "/.xscreensaver";
    ASSERT_EQ(0, symlink("../profile", link.c_str()));
    EXPECT_EQ(1, UnregisterHackInFile(link, home));
    EXPECT_EQ(registered, dir.Read("profile"));
    EXPECT_FALSE(dir.Exists("home/.xscreensaver.wavendell-backup"));

    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink("dotfiles/xscreensaver", link.c_str()));
    EXPECT_EQ(0, UnregisterHackInFile(link, home));
    EXPECT_EQ(Removed(registered), dir.Read("home/dotfiles/xscreensaver"));
    EXPECT_EQ(registered, dir.Read("home/.xscreensaver.wavendell-backup"));
    struct stat st;
    ASSERT_EQ(0, lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

}  // namespace
