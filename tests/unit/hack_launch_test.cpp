#include <gtest/gtest.h>

#include "host/hack_launch.h"
#include "host/run_mode.h"

namespace {

HackLaunch Parse(std::vector<std::string> args, const char* env = nullptr, bool* isHack = nullptr) {
    HackLaunch h;
    std::string problem;
    const HackCommand c = ParseHackLaunch(args, env, &h, &problem);
    EXPECT_TRUE(c == HACK_RUN || c == HACK_NOT_GIVEN) << problem;
    if (isHack) *isHack = c == HACK_RUN;
    return h;
}

// What the command line asks for, and the problem told when it is wrong.
HackCommand Command(std::vector<std::string> args, std::string* problem = nullptr) {
    HackLaunch h;
    std::string told;
    const HackCommand c = ParseHackLaunch(args, "0x1", &h, &told);
    if (problem) *problem = told;
    return c;
}

TEST(HackLaunch, WindowIdsInHexAndDecimal) {
    uintptr_t id = 0;
    EXPECT_TRUE(ParseWindowId("0x2a00007", &id));
    EXPECT_EQ(0x2a00007u, id);
    EXPECT_TRUE(ParseWindowId("44040199", &id));
    EXPECT_EQ(44040199u, id);
    EXPECT_TRUE(ParseWindowId("0XFF", &id));
    EXPECT_EQ(255u, id);
    for (const char* bad : {"", "0x", "12z", "0x1g", "0", "0x100000000", "-5"})
        EXPECT_FALSE(ParseWindowId(bad, &id)) << bad;
}

TEST(HackLaunch, RootUsesTheEnvironmentWindowElseTheRootWindow) {
    bool hack = false;
    HackLaunch h = Parse({"--root"}, "0x1c00003", &hack);
    EXPECT_TRUE(hack);
    EXPECT_TRUE(h.hasWindowId);
    EXPECT_EQ(0x1c00003u, h.windowId);
    EXPECT_FALSE(h.useRootWindow);

    h = Parse({"-root"}, nullptr, &hack);
    EXPECT_TRUE(hack);
    EXPECT_TRUE(h.useRootWindow);
    h = Parse({"--root"}, "garbage", &hack);
    EXPECT_TRUE(h.useRootWindow);
}

TEST(HackLaunch, WindowIdWinsOverRootAndTheEnvironment) {
    HackLaunch h = Parse({"--root", "--window-id", "0x400001", "--fps"}, "0x999");
    EXPECT_EQ(0x400001u, h.windowId);
    EXPECT_TRUE(h.fps);
    h = Parse({"-window-id", "77"}, "0x999");
    EXPECT_EQ(77u, h.windowId);
    h = Parse({"--window-id=0x10"});
    EXPECT_EQ(16u, h.windowId);
}

TEST(HackLaunch, SettingsOptionsOverrideOnlyWhenGivenAndTheLastOfAPairWins) {
    HackLaunch h = Parse({"--root"});
    EXPECT_EQ(-1, h.trail);
    EXPECT_EQ(-1, h.letterbox);
    EXPECT_FALSE(h.hasData);

    h = Parse({"--root", "--no-trail", "-letterbox"});
    EXPECT_EQ(0, h.trail);
    EXPECT_EQ(1, h.letterbox);
    h = Parse({"--no-trail", "--window-id", "9", "--trail", "--letterbox", "--no-letterbox"});
    EXPECT_EQ(1, h.trail);
    EXPECT_EQ(0, h.letterbox);
    EXPECT_EQ(9u, h.windowId);

    // The folder is the next argument whatever it looks like, spaces and
    // all; the forms with "=" and a missing folder are told apart.
    h = Parse({"--data", "--root", "--window-id", "5"});
    EXPECT_TRUE(h.hasData);
    EXPECT_EQ("--root", h.data);
    EXPECT_FALSE(h.root);
    EXPECT_EQ(5u, h.windowId);
    h = Parse({"--root", "-data", "/home/ann/my shows/pond"});
    EXPECT_EQ("/home/ann/my shows/pond", h.data);
    h = Parse({"--root", "--data=/srv/show"});
    EXPECT_EQ("/srv/show", h.data);
    h = Parse({"--root", "--data"});
    EXPECT_TRUE(h.hasData);
    EXPECT_EQ("", h.data);
}

// Any argument beginning with "--" makes the whole line the hack form, its
// values included: a folder or a misspelt option holding "-s", "/p" or
// "-a" never reaches the run-mode switches.
TEST(HackLaunch, AnOptionWithTwoDashesMakesTheWholeLineTheHackForm) {
    bool hack = false;
    HackLaunch h = Parse({"--data", "/home/ann/my-show"}, "0x1c00003", &hack);
    EXPECT_TRUE(hack);
    EXPECT_EQ("/home/ann/my-show", h.data);
    // Neither --root nor a window id: a window of its own, whatever the
    // environment names.
    EXPECT_TRUE(h.ownWindow);
    EXPECT_FALSE(h.hasWindowId);
    EXPECT_FALSE(h.useRootWindow);
    h = Parse({"--fps", "--data", "/srv/a-pond /p 5"}, nullptr, &hack);
    EXPECT_TRUE(hack);
    EXPECT_TRUE(h.ownWindow);
    EXPECT_TRUE(h.fps);
    EXPECT_FALSE(Parse({"--root"}, nullptr).ownWindow);
    EXPECT_FALSE(Parse({"--window-id", "9"}, nullptr).ownWindow);
    // The single-dash words XScreenSaver once passed still make the form.
    EXPECT_EQ(HACK_RUN, Command({"-window-id", "7", "-data", "/srv/my-show", "-fps"}));
    // The substring tests would have read these as switches.
    EXPECT_EQ(MODE_SAVER, ChooseRunMode(LowerCommandLine("--settings")));
    EXPECT_EQ(MODE_SAVER, ChooseRunMode(LowerCommandLine("--data ~/my-show")));

    std::string problem;
    EXPECT_EQ(HACK_BAD, Command({"--settings"}, &problem));
    EXPECT_EQ("unknown option \"--settings\"", problem);
    EXPECT_EQ(HACK_BAD, Command({"--root", "/s"}, &problem));
    EXPECT_EQ("unexpected argument \"/s\"", problem);
    EXPECT_EQ(HACK_BAD, Command({"-s", "--fps"}, &problem));
    EXPECT_EQ("unknown option \"-s\"", problem);
    EXPECT_EQ(HACK_BAD, Command({"--"}, &problem));
    EXPECT_EQ(HACK_BAD, Command({"--Root"}, &problem));  // options are in lower case

    // A window id that is not one is told, not passed over.
    EXPECT_EQ(HACK_BAD, Command({"--root", "--window-id", "0xzz"}, &problem));
    EXPECT_EQ("--window-id \"0xzz\" is not a window id (0x... or decimal)", problem);
    EXPECT_EQ(HACK_BAD, Command({"--window-id=", "--root"}, &problem));
    EXPECT_EQ(HACK_BAD, Command({"--root", "--window-id"}, &problem));
    EXPECT_EQ("--window-id needs a window id", problem);
}

TEST(HackLaunch, HelpAndVersionAreAnsweredAndAnErrorWinsOverThem) {
    EXPECT_EQ(HACK_HELP, Command({"--help"}));
    EXPECT_EQ(HACK_HELP, Command({"--root", "-help", "--version"}));
    EXPECT_EQ(HACK_VERSION, Command({"--version"}));
    EXPECT_EQ(HACK_BAD, Command({"--help", "--bogus"}));
    // "--help" as the folder of --data is a folder.
    EXPECT_EQ(HACK_RUN, Command({"--data", "--help"}));
    const std::string usage = HackUsage();
    for (const char* option :
         {"--root", "--window-id ID", "--data FOLDER", "--trail", "--no-trail", "--letterbox",
          "--no-letterbox", "--fps", "--help", "--version", "/s", "/p ID", "/testpreview"})
        EXPECT_NE(std::string::npos, usage.find(option)) << option;
    EXPECT_EQ('\n', usage.back());
    EXPECT_EQ(std::string("wavendell (Wavendell fountains) ") + WAVENDELL_VERSION + "\n",
              HackVersionLine());
}

TEST(HackLaunch, WindowsSwitchesAreNotTheHackForm) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{{"/s"},
                                                                               {"/p", "12"},
                                                                               {"-p", "77"},
                                                                               {"/c:4711"},
                                                                               {},
                                                                               {"-s", "-fps"},
                                                                               {"/S", "-data"}}) {
        EXPECT_EQ(HACK_NOT_GIVEN, Command(args)) << args.size();
    }
    // And those switches keep their own meaning.
    EXPECT_EQ(MODE_PREVIEW, ChooseRunMode(LowerCommandLine("-p 77")));
}

}  // namespace
