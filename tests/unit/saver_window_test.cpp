#include <gtest/gtest.h>

#include "host/data_directory.h"
#include "options/options.h"
#include "tests/support/host_fixture.h"

using namespace plat;

namespace {

class SaverWindowTest : public HostFixture {
protected:
    HWND OpenFullScreen() {
        HWND h = App().CreateSaverWindow();
        EXPECT_NE(0u, h);
        return h;
    }
    void Move(HWND h, int x, int y) { SendMessage(h, WM_MOUSEMOVE, 0, MakeLParam(x, y)); }
};

TEST_F(SaverWindowTest, CreationSetsUpRenderingAndRewritesOptions) {
    p.screenW = 1280;
    p.screenH = 1024;
    HWND h = OpenFullScreen();
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(h, App().m_hSaverWnd);
    EXPECT_EQ(1, g_renderLog.setups);
    EXPECT_EQ(1, g_renderLog.inits);
    ASSERT_EQ(1u, g_renderLog.sizes.size());
    EXPECT_EQ(std::make_pair(1280, 1024), g_renderLog.sizes[0]);
    std::string dir = install.path();
    dir.pop_back();
    EXPECT_EQ(dir + "\\data\\", std::string(g_dataDir));
    // The options file was written back in full.
    EXPECT_NE(std::string::npos, install.Read("data/options.xml").find("<SleepEnabled v=\"1\" />"));
    EXPECT_EQ(-1, p.cursorCount);  // hidden for the full-screen run
    EXPECT_TRUE(p.boxes.empty());
}

TEST_F(SaverWindowTest, WindowClassesAskForTheirRedrawAndDeviceContextStyles) {
    HWND saver = OpenFullScreen();
    HWND host = App().CreateTestPreviewWindow();
    EXPECT_NE(0u, host);
    EXPECT_EQ(CS_HREDRAW | CS_VREDRAW, p.classStyles["TestScreensaverClass"]);
    EXPECT_EQ(CS_OWNDC | CS_HREDRAW | CS_VREDRAW, p.classStyles["ScreensaverPreviewHelperClass"]);
    DestroyWindow(host);
    DestroyWindow(saver);
}

TEST_F(SaverWindowTest, MouseRuleMeasuresFromTheFirstPositionPerAxis) {
    HWND h = OpenFullScreen();
    Move(h, 100, 100);  // first position: only recorded
    EXPECT_EQ(100, g_firstMouseX);
    Move(h, 150, 50);  // exactly 50 on both axes
    EXPECT_TRUE(IsWindow(h));
    Move(h, 130, 130);
    Move(h, 149, 149);
    EXPECT_TRUE(IsWindow(h));
    Move(h, 100, 151);  // 51 on one axis
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(0u, App().m_hSaverWnd);
    EXPECT_EQ(0, p.cursorCount);  // shown again on destroy
}

TEST_F(SaverWindowTest, FirstMoveFarAwayOnlyRecords) {
    HWND h = OpenFullScreen();
    Move(h, 900, 700);
    EXPECT_TRUE(IsWindow(h));
    Move(h, 849, 700);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(SaverWindowTest, IgnoreMouseMoveLeavesKeysButtonsAndDeactivation) {
    WriteOptions(1);
    HWND h = OpenFullScreen();
    EXPECT_EQ(1, g_options.IgnoreMouseMove);
    Move(h, 0, 0);
    Move(h, 500, 500);
    EXPECT_TRUE(IsWindow(h));
    SendMessage(h, WM_RBUTTONDOWN, 0, 0);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(SaverWindowTest, EveryEndingInputClosesTheFullScreenWindow) {
    const uint32_t enders[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                               WM_MBUTTONDOWN};
    for (uint32_t m : enders) {
        ResetState();
        HWND h = OpenFullScreen();
        SendMessage(h, m, 0, 0);
        EXPECT_FALSE(IsWindow(h)) << std::hex << m;
    }
    for (uint32_t m : {WM_ACTIVATE, WM_ACTIVATEAPP, WM_NCACTIVATE}) {
        HWND h = OpenFullScreen();
        SendMessage(h, m, 1, 0);  // gaining activation changes nothing
        EXPECT_TRUE(IsWindow(h));
        SendMessage(h, m, 0, 0);
        EXPECT_FALSE(IsWindow(h)) << std::hex << m;
    }
}

TEST_F(SaverWindowTest, SystemCommandsAndReleasesAreIgnored) {
    HWND h = OpenFullScreen();
    SendMessage(h, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    SendMessage(h, WM_LBUTTONUP, 0, 0);
    SendMessage(h, WM_KEYUP, 0, 0);
    SendMessage(h, WM_MOUSEWHEEL, 0, 0);
    EXPECT_TRUE(IsWindow(h));
}

TEST_F(SaverWindowTest, SizeMessageReachesTheViewportUnsigned) {
    HWND h = OpenFullScreen();
    SendMessage(h, WM_SIZE, 0, MakeLParam(40000, 600));
    EXPECT_EQ(std::make_pair(40000, 600), g_renderLog.sizes.back());
}

TEST_F(SaverWindowTest, PreviewIgnoresAllInputAndFillsItsParent) {
    p.foreign[777] = MemoryPlatform::Foreign{true, 152, 112};
    HWND h = App().CreatePreviewWindow(777);
    ASSERT_TRUE(IsWindow(h));
    int x, y, w, hh;
    ASSERT_TRUE(p.Geometry(h, &x, &y, &w, &hh));
    EXPECT_EQ(152, w);
    EXPECT_EQ(112, hh);
    EXPECT_EQ(0, p.cursorCount);  // cursor stays visible
    SendMessage(h, WM_MOUSEMOVE, 0, MakeLParam(1, 1));
    SendMessage(h, WM_MOUSEMOVE, 0, MakeLParam(300, 300));
    SendMessage(h, WM_KEYDOWN, 0, 0);
    SendMessage(h, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(-1, g_firstMouseX);
    // Later changes of the parent's size are not followed.
    p.foreign[777].w = 400;
    EXPECT_TRUE(p.Geometry(h, &x, &y, &w, &hh));
    EXPECT_EQ(152, w);
}

TEST_F(SaverWindowTest, OtherMonitorsAreCoveredInBlackUntilTheSaverEnds) {
    // One screen: the saver window alone; a preview covers nothing.
    HWND h = OpenFullScreen();
    EXPECT_EQ(1u, p.WindowCount());
    DestroyWindow(h);
    p.monitors = {
        {-1280, 0, 1280, 1024, false}, {0, 0, 1920, 1080, true}, {1920, -200, 1024, 768, false}};
    p.foreign[777] = MemoryPlatform::Foreign{true, 152, 112};
    DestroyWindow(App().CreatePreviewWindow(777));
    EXPECT_EQ(0u, p.WindowCount());

    for (int ending = 0; ending < 2; ++ending) {
        h = OpenFullScreen();
        ASSERT_EQ(3u, p.WindowCount());
        ASSERT_EQ(2, g_run.monitorCoverCount);
        const HWND left = g_run.monitorCovers[0].hwnd, right = g_run.monitorCovers[1].hwnd;
        int x, y, w, hh;
        ASSERT_TRUE(p.Geometry(right, &x, &y, &w, &hh));
        EXPECT_EQ(std::vector<int>({1920, -200, 1024, 768}), std::vector<int>({x, y, w, hh}));
        EXPECT_EQ(WS_POPUP | WS_VISIBLE, p.StyleOf(right));
        // Made before the saver window, which so takes the focus, and a
        // click never gives it to a cover.
        EXPECT_LT(right, h);
        EXPECT_EQ(MA_NOACTIVATE, SendMessage(left, WM_MOUSEACTIVATE, 0, 0));
        SendMessage(left, WM_PAINT, 0, 0);
        EXPECT_EQ(1 + ending, p.blackPaints);
        if (ending == 0) {
            // Moves count in desktop coordinates across all the windows.
            Move(left, 1250, 500);  // (-30, 500): the first position
            Move(h, 10, 540);       // 40 and 40 away
            EXPECT_TRUE(IsWindow(h));
            Move(left, 1199, 500);  // (-81, 500): 51 away
        } else {
            SendMessage(right, WM_KEYDOWN, 0, 0);
        }
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(0u, p.WindowCount()) << "the covers end with the saver";
    }
}

TEST_F(SaverWindowTest, PacingDrawsOnlyAfterMoreThanTenMilliseconds) {
    p.processClock = 10;
    PacedFrame();
    EXPECT_EQ(0, g_renderLog.frames);
    p.processClock = 11;  // the first frame of a process
    PacedFrame();
    EXPECT_EQ(1, g_renderLog.frames);
    p.processClock = 21;
    PacedFrame();
    EXPECT_EQ(1, g_renderLog.frames);
    p.processClock = 22;
    PacedFrame();
    EXPECT_EQ(2, g_renderLog.frames);
    EXPECT_EQ(22, g_lastFrameClock);
}

}  // namespace
