// The built program on the test's X server: the full-screen saver ending on
// a key, the modes that end at once even without a display, the registry
// messages, and the preview inside another program's window.
#include <gtest/gtest.h>  // first: before the X headers' macros

#include <X11/Xlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/gl/saver_program.h"

namespace {

const char kMachineBox[] =
    "Error: HKEY_LOCAL_MACHINE Registry not found! Please reinstall Corvel Vivaruzov Screen "
    "Saver\n";
const char kUserBox[] =
    "Error: Registry not found! Please reinstall Corvel Vivaruzov Screen Saver\n";

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class WavendellProgramTest : public SaverProgramTest {
protected:
    void SetUp() override {
        install.Write("data/options.xml", "<OPTIONS/>");
        install.Write("home/.keep", "");
        install.Write("xdg/.keep", "");
        env = {{"XDG_CONFIG_DIRS", true, install.path() + "xdg"},
               {"XDG_CONFIG_HOME", true, install.path() + "home"}};
    }
    // The saver's full-screen window once it is shown and has the focus.
    Window WaitForSaverWindow() {
        Window found = 0;
        WaitFor([&] {
            found = user.FindTopLevel("wavendell");
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(user.display(), &focus, &revert);
            return found && focus == found;
        });
        return found;
    }
};

TEST_F(WavendellProgramTest, SaverShowsFullScreenAndEndsOnAKey) {
    ASSERT_TRUE(user.ok());
    WriteMachineKey();
    ASSERT_TRUE(Start({"/s"}));
    const Window saver = WaitForSaverWindow();
    ASSERT_NE(0u, saver);
    XWindowAttributes a{};
    ASSERT_TRUE(user.Attributes(saver, &a));
    EXPECT_EQ(user.screenWidth(), a.width);
    EXPECT_EQ(user.screenHeight(), a.height);

    user.PressKey();
    int status = -1;
    ASSERT_TRUE(program.Wait(5000, &status)) << "the saver did not end on a key";
    EXPECT_EQ(0, status);
    EXPECT_EQ(0, Occurrences(Err(), "Registry not found"));
    EXPECT_EQ(1, Occurrences(Out(), "Ready for OpenGL 2.0\n"));
    // The data directory came from the machine key: the options were
    // written back there.
    EXPECT_NE(std::string::npos, install.Read("data/options.xml").find("<KeepAspect_1_6 v="));
    EXPECT_FALSE(user.Attributes(saver, &a));
}

TEST_F(WavendellProgramTest, ModesWithoutAWindowEndAtOnceWithoutADisplay) {
    WriteMachineKey();
    env.push_back({"DISPLAY", false, ""});
    for (std::vector<std::string> args :
         {std::vector<std::string>{"/c"}, std::vector<std::string>{},
          std::vector<std::string>{"/c:4711"}, std::vector<std::string>{"/a"}}) {
        ASSERT_TRUE(Start(args));
        int status = -1;
        ASSERT_TRUE(program.Wait(5000, &status)) << (args.empty() ? "(empty)" : args[0]);
        EXPECT_EQ(0, status) << (args.empty() ? "(empty)" : args[0]);
        EXPECT_EQ("", Err()) << (args.empty() ? "(empty)" : args[0]);
    }
    // The full-screen saver and the hack have no screen to go to: they end
    // saying which display would not open, with a failure status.
    ASSERT_TRUE(Start({"/s"}));
    int status = -1;
    ASSERT_TRUE(program.Wait(5000, &status));
    EXPECT_EQ(1, status);
    EXPECT_EQ("wavendell: cannot open the X display (DISPLAY is not set)\n", Err());
    env.back() = {"DISPLAY", true, ":4711"};  // no server there
    ASSERT_TRUE(Start({"--root"}));
    ASSERT_TRUE(program.Wait(5000, &status));
    EXPECT_EQ(1, status);
    EXPECT_EQ("wavendell: cannot open the X display \":4711\"\n", Err());
}

// The hack form's own words are never read as the run-mode switches: an
// unknown option (even one holding "-s") is refused with the usage and
// status 2 before anything opens; --help and --version answer on standard
// output.  No display is needed for any of them.
TEST_F(WavendellProgramTest, UnknownOptionsAreRefusedAndHelpAndVersionAnswered) {
    WriteMachineKey();
    env.push_back({"DISPLAY", false, ""});
    int status = -1;
    ASSERT_TRUE(Start({"--help"}));
    ASSERT_TRUE(program.Wait(5000, &status));
    EXPECT_EQ(0, status);
    const std::string usage = Out();
    EXPECT_EQ(0u, usage.find("Usage: wavendell [OPTION]...\n")) << usage;
    EXPECT_NE(std::string::npos, usage.find("--window-id ID")) << usage;
    EXPECT_EQ("", Err());

    ASSERT_TRUE(Start({"--version"}));
    ASSERT_TRUE(program.Wait(5000, &status));
    EXPECT_EQ(0, status);
    EXPECT_EQ(std::string("wavendell (Wavendell fountains) ") + WAVENDELL_VERSION + "\n", Out());

    for (std::vector<std::string> args :
         {std::vector<std::string>{"--bogus"}, std::vector<std::string>{"--settings"},
          std::vector<std::string>{"--root", "-s"}}) {
        ASSERT_TRUE(Start(args));
        ASSERT_TRUE(program.Wait(5000, &status)) << args.back();
        EXPECT_EQ(2, status) << args.back();
        EXPECT_EQ("", Out()) << args.back();
        const std::string err = Err();
        EXPECT_EQ(0u, err.find("wavendell: unknown option \"" + args.back() + "\"\n")) << err;
        EXPECT_EQ(usage, err.substr(err.find('\n') + 1));
    }
}

TEST_F(WavendellProgramTest, MissingRegistryShowsBothBoxesAndTheSaverStillRuns) {
    ASSERT_TRUE(user.ok());
    // Without a data folder nothing is written anywhere in its place.
    env.push_back({"HOME", true, install.path() + "home"});
    struct stat rootBefore {};
    const bool rootHad = stat("/options.xml", &rootBefore) == 0;
    ASSERT_TRUE(Start({"/s"}));
    const Window saver = WaitForSaverWindow();
    ASSERT_NE(0u, saver);
    user.PressKey();
    int status = -1;
    ASSERT_TRUE(program.Wait(5000, &status));
    EXPECT_EQ(0, status);
    // Once at start-up and once when the window is made.
    const std::string err = Err();
    EXPECT_EQ(2, Occurrences(err, kMachineBox)) << err;
    EXPECT_EQ(2, Occurrences(err, kUserBox)) << err;
    EXPECT_FALSE(install.Exists("home/options.xml"));
    EXPECT_NE(0, access("options.xml", F_OK));  // the working directory
    struct stat rootAfter {};
    EXPECT_EQ(rootHad, stat("/options.xml", &rootAfter) == 0);
    if (rootHad) {
        EXPECT_EQ(rootBefore.st_mtime, rootAfter.st_mtime);
    }
}

TEST_F(WavendellProgramTest, PreviewDrawsInsideAnotherProgramsWindowUntilItGoes) {
    ASSERT_TRUE(user.ok());
    WriteMachineKey();
    const Window parent = user.MakeWindow(50, 40, 320, 200);
    ASSERT_TRUE(Start({"/p", std::to_string(parent)}));
    Window child = 0;
    ASSERT_TRUE(WaitFor([&] {
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        child = 0;
        if (XQueryTree(user.display(), parent, &root, &up, &children, &count) && count > 0)
            child = children[0];
        if (children) XFree(children);
        XWindowAttributes a{};
        return child && user.Attributes(child, &a) && a.map_state == IsViewable;
    }));
    XWindowAttributes a{};
    ASSERT_TRUE(user.Attributes(child, &a));
    EXPECT_EQ(320, a.width);
    EXPECT_EQ(200, a.height);

    // Input over the preview changes nothing.
    user.MovePointerTo(60, 50);
    user.ClickButton(1);
    int status = -1;
    EXPECT_FALSE(program.Wait(300, &status));

    XDestroyWindow(user.display(), parent);
    user.Sync();
    ASSERT_TRUE(program.Wait(5000, &status)) << "the preview outlived its window";
    EXPECT_EQ(0, status);
}

}  // namespace
