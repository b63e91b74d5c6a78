// The built program started the way XScreenSaver starts a hack, playing the
// shipped show (a copy, since the saver writes its options back): it draws
// in the window it is given, with an accumulation visual of its own,
// follows that window's size, and ends at once when the window goes, or by
// the signal itself when a SIGTERM or SIGINT comes.
#include <gtest/gtest.h>  // first: before the X headers' macros

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/gl/saver_program.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_display.h"

namespace {

std::string Hex(Window w) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", (unsigned long)w);
    return text;
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class HackProgramTest : public SaverProgramTest {
protected:
    void SetUp() override {
        patienceMs = 60000;
        ASSERT_TRUE(user.ok()) << "no X display";
        std::filesystem::copy(std::string(WAVENDELL_SOURCE_DIR) + "/data", install.path() + "data",
                              std::filesystem::copy_options::recursive);
        WriteMachineKey();
        install.Write("home/.keep", "");
        env = {{"XDG_CONFIG_DIRS", true, install.path() + "xdg"},
               {"XDG_CONFIG_HOME", true, install.path() + "home"},
               {"XSCREENSAVER_WINDOW", false, ""}};
    }
    // The first child of window, 0 when it has none.
    Window ChildOf(Window window) {
        Window root = 0, up = 0, *children = nullptr, child = 0;
        unsigned count = 0;
        if (XQueryTree(user.display(), window, &root, &up, &children, &count) && count > 0)
            child = children[0];
        if (children) XFree(children);
        return child;
    }
    // Our drawing window inside parent, once it is shown.
    Window WaitForViewableChild(Window parent) {
        Window child = 0;
        WaitFor([&] {
            child = ChildOf(parent);
            XWindowAttributes a{};
            return child && user.Attributes(child, &a) && a.map_state == IsViewable;
        });
        return child;
    }
    // Whether any of a grid of points in the rectangle is not black.
    bool DrawnIn(Window window, int x0, int y0, int x1, int y1) {
        XImage* image = XGetImage(user.display(), window, x0, y0, (unsigned)(x1 - x0),
                                  (unsigned)(y1 - y0), AllPlanes, ZPixmap);
        if (!image) return false;
        bool drawn = false;
        for (int y = 0; y < y1 - y0 && !drawn; y += 7)
            for (int x = 0; x < x1 - x0 && !drawn; x += 7)
                drawn = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
        XDestroyImage(image);
        return drawn;
    }
    // The colour of one pixel of window as 0xRRGGBB, or -1.
    long PixelOf(Window window, int x, int y) {
        XImage* image = XGetImage(user.display(), window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return -1;
        const long pixel = (long)(XGetPixel(image, 0, 0) & 0xFFFFFF);
        XDestroyImage(image);
        return pixel;
    }
    // Ends the program with sig (SIGTERM, as the daemon does); the time it
    // took, or -1 when it did not end by that very signal within two
    // seconds, as a hack stopped by its parent does.
    int64_t TerminateAndTime(int sig = SIGTERM) {
        const int64_t start = NowMs();
        if (!program.Signal(sig)) return -1;
        int status = -1;
        if (!program.Wait(2000, &status) || program.EndSignal() != sig) return -1;
        return NowMs() - start;
    }
};

TEST_F(HackProgramTest, WindowIdIsDrawnIntoFollowedWhenResizedAndEndsTheRunWhenDestroyed) {
    const Window parent = user.MakeWindow(30, 30, 320, 200);
    ASSERT_TRUE(Start({"--window-id", Hex(parent)}));
    const Window child = WaitForViewableChild(parent);
    ASSERT_NE(0u, child);
    XWindowAttributes a{};
    ASSERT_TRUE(user.Attributes(child, &a));
    EXPECT_EQ(320, a.width);
    EXPECT_EQ(200, a.height);
    // Our own visual, with the accumulation buffer of the trail.
    EXPECT_GE(AccumRedBitsOfWindow(child), 16);
    ASSERT_TRUE(WaitFor([&] { return DrawnIn(child, 0, 0, 320, 200); }))
        << "nothing drawn in the window; stderr: " << Err();

    // Resized live: the child takes the new size and the picture fills it.
    XResizeWindow(user.display(), parent, 480, 300);
    user.Sync();
    ASSERT_TRUE(WaitFor(
        [&] { return user.Attributes(child, &a) && a.width == 480 && a.height == 300; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return DrawnIn(child, 330, 210, 480, 300); }, 5000));

    // The window goes: the run ends at once, quietly.
    const int64_t start = NowMs();
    XDestroyWindow(user.display(), parent);
    user.Sync();
    int status = -1;
    ASSERT_TRUE(program.Wait(3000, &status)) << "the saver outlived its window";
    EXPECT_EQ(0, status);
    EXPECT_LT(NowMs() - start, 1000);
    EXPECT_EQ("", Err());
}

TEST_F(HackProgramTest, TerminationSignalEndsTheRunAtOnceWhileLoadingAndWhileDrawing) {
    // Every scene gets a backdrop big enough to keep the first scene
    // loading for a good while.
    const int side = 4096;
    std::vector<uint8_t> samples((size_t)side * side * 3);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = (uint8_t)((i / 3 / side) >> 4);
    const std::string big = install.path() + "big.jpg";
    ASSERT_TRUE(WriteJpeg(big, side, side, JPEG_COLOUR, samples));
    for (const auto& entry : std::filesystem::directory_iterator(install.path() + "data"))
        if (std::filesystem::exists(entry.path() / "scene.xml"))
            std::filesystem::copy_file(big, entry.path() / "backdrop.jpg",
                                       std::filesystem::copy_options::overwrite_existing);

    const Window parent = user.MakeWindow(0, 0, 320, 200);
    // The child appears before the show is loaded into it.
    ASSERT_TRUE(Start({"-window-id", std::to_string(parent)}));
    ASSERT_TRUE(WaitFor([&] { return ChildOf(parent) != 0; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(DrawnIn(parent, 0, 0, 320, 200)) << "already drawing: no longer loading";
    const int64_t whileLoading = TerminateAndTime();
    EXPECT_GE(whileLoading, 0) << "no clean end on SIGTERM while loading";
    EXPECT_LT(whileLoading, 500);

    ASSERT_TRUE(Start({"--window-id", std::to_string(parent)}));
    Window child = 0;
    ASSERT_TRUE(WaitFor([&] {
        child = ChildOf(parent);
        return child && DrawnIn(child, 0, 0, 320, 200);
    }));
    const int64_t whileDrawing = TerminateAndTime();
    EXPECT_GE(whileDrawing, 0) << "no clean end on SIGTERM while drawing";
    EXPECT_LT(whileDrawing, 500);
    XWindowAttributes a{};
    EXPECT_TRUE(user.Attributes(parent, &a));  // the given window stays

    // Ctrl-C where it was started by hand ends it the same way.
    ASSERT_TRUE(Start({"--window-id", std::to_string(parent)}));
    ASSERT_TRUE(WaitFor([&] { return ChildOf(parent) != 0; }));
    const int64_t byInterrupt = TerminateAndTime(SIGINT);
    EXPECT_GE(byInterrupt, 0) << "no end by SIGINT";
    EXPECT_LT(byInterrupt, 500);
    EXPECT_EQ("", Err());
}

TEST_F(HackProgramTest, RootDrawsInTheWindowOfTheEnvironmentAndAWindowIdWins) {
    const Window named = user.MakeWindow(0, 0, 256, 160);
    const Window given = user.MakeWindow(300, 0, 256, 160);
    env.back() = {"XSCREENSAVER_WINDOW", true, Hex(named)};
    ASSERT_TRUE(Start({"--root"}));
    Window child = WaitForViewableChild(named);
    ASSERT_NE(0u, child);
    EXPECT_TRUE(WaitFor([&] { return DrawnIn(child, 0, 0, 256, 160); }));
    EXPECT_GE(TerminateAndTime(), 0);
    ASSERT_TRUE(WaitFor([&] { return ChildOf(named) == 0; }, 2000));

    // The settings dialog passes both; the window id wins.
    ASSERT_TRUE(Start({"--root", "--window-id", std::to_string(given), "--fps"}));
    child = WaitForViewableChild(given);
    ASSERT_NE(0u, child);
    EXPECT_TRUE(WaitFor([&] { return DrawnIn(child, 0, 0, 256, 160); }));
    EXPECT_EQ(0u, ChildOf(named));
    EXPECT_GE(TerminateAndTime(), 0);
}

// "--data" plays a show folder of the user's own: a copy of the test show
// whose backdrops are plain red, so the picture tells which show plays.  A
// folder that will not do is named in one line on standard error and the
// installed show plays.
TEST_F(HackProgramTest, DataFolderIsPlayedAndABadOneFallsBackToTheInstalledShowWithALine) {
    const std::string mine = install.path() + "my show";
    std::filesystem::copy(std::string(WAVENDELL_SOURCE_DIR) + "/tests/data/test_show", mine,
                          std::filesystem::copy_options::recursive);
    std::vector<uint8_t> red((size_t)64 * 64 * 3);
    for (size_t i = 0; i < red.size(); i += 3) red[i] = 255;
    for (const char* scene : {"garden", "lake"})
        ASSERT_TRUE(WriteJpeg(mine + "/" + scene + "/back.jpg", 64, 64, JPEG_COLOUR, red));
    const std::string installedOptions = install.Read("data/options.xml");

    const Window parent = user.MakeWindow(0, 0, 320, 200);
    ASSERT_TRUE(Start({"--window-id", Hex(parent), "--data", mine, "--no-trail"}));
    Window child = WaitForViewableChild(parent);
    ASSERT_NE(0u, child);
    // The backdrop, left of the fountains and above the water, turns red.
    auto red_backdrop = [&] {
        const long p = PixelOf(child, 32, 50);
        return p >= 0 && (p >> 16) > 160 && ((p >> 8) & 0xFF) < 90 && (p & 0xFF) < 90;
    };
    EXPECT_TRUE(WaitFor(red_backdrop))
        << "pixel " << std::hex << PixelOf(child, 32, 50) << "; stderr: " << Err();
    EXPECT_GE(TerminateAndTime(), 0);
    EXPECT_EQ("", Err());
    // That folder's options file was the one written; the installed one stays.
    EXPECT_NE(std::string::npos, install.Read("my show/options.xml").find("<SleepEnabled v="));
    EXPECT_EQ(installedOptions, install.Read("data/options.xml"));

    const std::string wrong = install.path() + "no such show";
    ASSERT_TRUE(Start({"--window-id", Hex(parent), "--data", wrong}));
    child = WaitForViewableChild(parent);
    ASSERT_NE(0u, child);
    EXPECT_TRUE(WaitFor([&] { return DrawnIn(child, 0, 0, 320, 200); }));
    EXPECT_FALSE(red_backdrop());
    EXPECT_GE(TerminateAndTime(), 0);
    EXPECT_EQ("wavendell: --data \"" + wrong +
                  "\": there is no such folder; playing the installed show instead\n",
              Err());
}

}  // namespace
