#include <gtest/gtest.h>

#include <cstdlib>

#include "host/hack_launch.h"
#include "platform/signals.h"
#include "render/fps_overlay.h"
#include "render/rendering.h"
#include "tests/support/host_fixture.h"

using namespace plat;

namespace {

class PreviewTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        p.foreign[500] = MemoryPlatform::Foreign{true, 200, 150};
    }
    // Each turn advances the clock far enough for a frame.
    void Script(std::function<void(int)> act) {
        p.onPump = [this, act] {
            p.processClock += 11;
            act(p.pumps);
        };
    }
};

TEST_F(PreviewTest, HiddenParentDelaysTheStart) {
    p.foreign[500].visible = false;
    Script([&](int turn) {
        if (turn == 20) p.foreign[500].visible = true;
        if (turn == 30) p.foreign.erase(500);
    });
    App().RunPreview(500);
    EXPECT_EQ(1, g_renderLog.inits);
    EXPECT_GT(g_renderLog.frames, 0);
    EXPECT_EQ(0u, p.WindowCount());  // the loop closed the child
}

TEST_F(PreviewTest, ParentDestroyedWhileHiddenEndsWithoutDrawing) {
    p.foreign[500].visible = false;
    Script([&](int turn) {
        if (turn == 5) p.foreign.erase(500);
    });
    App().RunPreview(500);
    EXPECT_EQ(0, g_renderLog.inits);
    EXPECT_EQ(0, g_renderLog.frames);
}

TEST_F(PreviewTest, HidingTheParentEndsThePreview) {
    HWND child = 0;
    Script([&](int turn) {
        child = App().m_hSaverWnd;
        if (turn == 4) p.foreign[500].visible = false;
    });
    App().RunPreview(500);
    EXPECT_NE(0u, child);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(3, g_renderLog.frames);
}

TEST_F(PreviewTest, PowerDownPausesAndAPaintResumes) {
    int framesAtPause = -1, framesBeforePaint = -1;
    Script([&](int turn) {
        HWND child = App().m_hSaverWnd;
        if (turn == 3) p.Inject(child, WM_SYSCOMMAND, SC_MONITORPOWER, 1);
        if (turn == 4) framesAtPause = g_renderLog.frames;
        if (turn == 10) {
            framesBeforePaint = g_renderLog.frames;
            p.Inject(child, WM_PAINT);
        }
        if (turn == 15) p.foreign.erase(500);
    });
    App().RunPreview(500);
    EXPECT_EQ(framesAtPause, framesBeforePaint);  // nothing drawn while paused
    EXPECT_GT(g_renderLog.frames, framesBeforePaint);
}

TEST_F(PreviewTest, InputOverThePreviewChangesNothing) {
    bool aliveAfterInput = false;
    Script([&](int turn) {
        HWND child = App().m_hSaverWnd;
        if (turn == 8) aliveAfterInput = IsWindow(child);
        if (turn == 2) {
            p.Inject(child, WM_KEYDOWN);
            p.Inject(child, WM_LBUTTONDOWN);
            p.Inject(child, WM_MOUSEMOVE, 0, MakeLParam(0, 0));
            p.Inject(child, WM_MOUSEMOVE, 0, MakeLParam(199, 149));
        }
        if (turn == 8) p.foreign.erase(500);
    });
    App().RunPreview(500);
    EXPECT_TRUE(aliveAfterInput);
    EXPECT_EQ(-1, g_firstMouseX);
}

TEST_F(PreviewTest, NoWindowHandleEndsAtOnce) {
    App().RunPreview(0);
    App().RunPreview(12345);
    EXPECT_EQ(0, p.pumps);
    EXPECT_EQ(0, g_renderLog.inits);
}

TEST_F(PreviewTest, TestHostIsAQuarterOfTheScreenCentred) {
    p.screenW = 1024;
    p.screenH = 768;
    HWND host = App().CreateTestPreviewWindow();
    int x, y, w, h;
    ASSERT_TRUE(p.Geometry(host, &x, &y, &w, &h));
    EXPECT_EQ(256, w);
    EXPECT_EQ(192, h);
    EXPECT_EQ(384, x);
    EXPECT_EQ(288, y);
    EXPECT_EQ("Screensaver Preview Test", p.lastTitle);
    EXPECT_TRUE(IsWindowVisible(host));
    SendMessage(host, WM_PAINT, 0, 0);
    EXPECT_EQ(1, p.blackPaints);
}

TEST_F(PreviewTest, TestPreviewModeRunsInItsHostAndDestroysIt) {
    p.screenW = 1000;
    p.screenH = 800;
    HWND host = 0;
    Script([&](int turn) {
        if (!host) {
            for (HWND h = 0x1000; h < 0x1010; ++h)
                if (IsWindow(h) && h != App().m_hSaverWnd) host = h;
        }
        if (turn == 5) DestroyWindow(host);
    });
    App().m_lpCmdLine = "/testpreview";
    App().InitInstance();
    EXPECT_EQ(1, g_renderLog.inits);
    ASSERT_FALSE(g_renderLog.sizes.empty());
    EXPECT_EQ(std::make_pair(250, 200), g_renderLog.sizes[0]);
    EXPECT_EQ(0u, p.WindowCount());
}

}  // namespace

namespace {

class HackModeTest : public PreviewTest {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        if (!plat::HackLaunchFormAvailable()) GTEST_SKIP() << "no XScreenSaver launch form here";
    }
};

TEST_F(HackModeTest, WindowIdRunFollowsTheWindowSizeAndIgnoresInput) {
    HWND child = 0;
    bool aliveAfterInput = false;
    Script([&](int turn) {
        child = App().m_hSaverWnd;
        if (turn == 3) {
            p.foreign[500].w = 640;
            p.foreign[500].h = 480;
        }
        if (turn == 6) {
            p.Inject(child, WM_KEYDOWN);
            p.Inject(child, WM_LBUTTONDOWN);
        }
        if (turn == 12) aliveAfterInput = IsWindow(child);
        if (turn == 14) p.foreign.erase(500);
    });
    App().m_lpCmdLine = "--root --window-id 500 --fps";
    App().InitInstance();
    EXPECT_TRUE(aliveAfterInput);
    ASSERT_GE(g_renderLog.sizes.size(), 2u);
    EXPECT_EQ(std::make_pair(200, 150), g_renderLog.sizes[0]);
    EXPECT_EQ(std::make_pair(640, 480), g_renderLog.sizes.back());
    EXPECT_TRUE(g_run.showFps);
    EXPECT_NE(0u, g_run.seedSalt);
    EXPECT_FALSE(IsWindow(child));
}

// Started by hand with a folder whose name holds "-s": the hack form,
// drawn in a captioned window of its own, never the full-screen saver.
TEST_F(HackModeTest, HackFormWithoutAWindowPlaysInAWindowOfItsOwn) {
    p.screenW = 1000;
    p.screenH = 800;
    install.Write("my-show/defaultScenario.xml", "<Scenario/>");
    HWND host = 0;
    Script([&](int turn) {
        for (HWND h = 0x1000; !host && h < 0x1010; ++h)
            if (IsWindow(h) && h != App().m_hSaverWnd) host = h;
        if (turn == 5) DestroyWindow(host);
    });
    App().m_args = {"--data", install.path() + "my-show", "--fps"};
    App().InitInstance();
    EXPECT_NE(0u, host);
    EXPECT_FALSE(g_fullScreen);
    ASSERT_FALSE(g_renderLog.sizes.empty());
    EXPECT_EQ(std::make_pair(250, 200), g_renderLog.sizes[0]);
    EXPECT_EQ(install.path() + "my-show/", std::string(g_dataDir));
    EXPECT_TRUE(g_run.showFps);
    EXPECT_EQ(0, App().m_exitStatus);
    EXPECT_EQ(0u, p.WindowCount());
}

// An unknown option runs nothing: the usage goes to standard error and the
// exit status is 2.  --help and --version answer on standard output.
TEST_F(HackModeTest, UnknownOptionsHelpAndVersionRunNothing) {
    Script([&](int) {});
    App().m_args = {"--settings"};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    App().InitInstance();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(std::string("wavendell: unknown option \"--settings\"\n") + HackUsage(), err);
    EXPECT_EQ(2, App().m_exitStatus);

    App().m_exitStatus = 0;
    App().m_args = {"--root", "--help"};
    testing::internal::CaptureStdout();
    App().InitInstance();
    EXPECT_EQ(HackUsage(), testing::internal::GetCapturedStdout());
    App().m_args = {"--version"};
    testing::internal::CaptureStdout();
    App().InitInstance();
    EXPECT_EQ(HackVersionLine(), testing::internal::GetCapturedStdout());
    EXPECT_EQ(0, App().m_exitStatus);

    // Nothing was read or shown.
    EXPECT_EQ(0, p.pumps);
    EXPECT_EQ(0, g_renderLog.inits);
    EXPECT_TRUE(p.boxes.empty());
    EXPECT_EQ(0u, p.WindowCount());
}

TEST_F(HackModeTest, RootWithoutAWindowDrawsInTheDesktopWindow) {
    unsetenv("XSCREENSAVER_WINDOW");
    p.foreign[p.GetDesktopWindow()] = MemoryPlatform::Foreign{true, 320, 200};
    HWND parentSeen = 0;
    Script([&](int turn) {
        if (turn == 1) {
            int x, y, w, h;
            if (p.Geometry(App().m_hSaverWnd, &x, &y, &w, &h)) parentSeen = w == 320 ? 1 : 0;
        }
        if (turn == 4) p.foreign.erase(p.GetDesktopWindow());
    });
    App().m_lpCmdLine = "-root";
    App().InitInstance();
    EXPECT_EQ(1u, parentSeen);
    EXPECT_EQ(1, g_renderLog.inits);
}

TEST_F(HackModeTest, HiddenParentIsAwaitedWithShortSleeps) {
    p.foreign[500].visible = false;
    int waitsWhileHidden = -1;
    p.onPump = [&] {
        if (p.pumps == 20) {
            waitsWhileHidden = (int)p.waits.size();
            p.foreign[500].visible = true;
        }
        if (p.pumps == 25) p.foreign.erase(500);
    };
    App().RunPreview(500);
    // One short sleep for each look at the hidden parent.
    EXPECT_EQ(19, waitsWhileHidden);
    for (int i = 0; i < waitsWhileHidden; ++i) EXPECT_EQ(10, p.waits[i]);
    EXPECT_EQ(1, g_renderLog.inits);
}

TEST_F(HackModeTest, LoopSleepsUntilTheNextFrameInsteadOfSpinning) {
    p.waitAdvancesClock = true;
    p.processClock = 100;
    // The clock moves only through the loop's own waits.
    p.onPump = [&] {
        if (p.pumps == 20) p.foreign.erase(500);
    };
    App().RunPreview(500);
    // Every empty turn slept exactly until the next frame was due, so every
    // turn drew a frame at 11 ms intervals.
    ASSERT_FALSE(p.waits.empty());
    for (int32_t w : p.waits) EXPECT_EQ(11, w);
    EXPECT_EQ(g_renderLog.frames, (int)p.waits.size());
}

}  // namespace
