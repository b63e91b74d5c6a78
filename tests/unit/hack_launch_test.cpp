#include <gtest/gtest.h>

#include "host/hack_launch.h"
#include "host/run_mode.h"

namespace {

HackLaunch Parse(std::vector<std::string> args, const char* env = nullptr, bool* isHack = nullptr) {
    HackLaunch h;
    bool r = ParseHackLaunch(args, env, &h);
    if (isHack) *isHack = r;
    return h;
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

    // The options alone are not the hack form.
    bool hack = true;
    Parse({"--trail", "--data", "/srv/show"}, "0x1", &hack);
    EXPECT_FALSE(hack);
}

TEST(HackLaunch, WindowsSwitchesAreNotTheHackForm) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"/s"}, {"/p", "12"}, {"-p", "77"}, {"/c:4711"}, {}, {"--fps"}}) {
        bool hack = true;
        Parse(args, "0x1", &hack);
        EXPECT_FALSE(hack);
    }
    // And those switches keep their own meaning.
    EXPECT_EQ(MODE_PREVIEW, ChooseRunMode(LowerCommandLine("-p 77")));
}

}  // namespace
