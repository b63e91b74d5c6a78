// The full-screen saver on the X11 platform: its window, and the input that
// ends it.
#include "tests/gl/saver_run.h"  // first: gtest before the X headers' macros

#include <X11/Xlib.h>

#include "platform/platform.h"
#include "platform/x11/x11_platform.h"

namespace {

using namespace plat;

TEST_F(SaverRunTest, FullScreenWindowTakesTheScreenAndTheKeyboard) {
    Window focusBefore = 0;
    int revert = 0;
    XGetInputFocus(user.display(), &focusBefore, &revert);
    Window xwin = 0;
    XWindowAttributes a{};
    int grab = -1, clientW = 0, clientH = 0;
    Run([&](int frame) {
        if (frame != 2) return;
        xwin = SaverXWindow();
        user.Attributes(xwin, &a);
        GetClientRect(SaverWindow(), &clientW, &clientH);
        Window focus = 0;
        XGetInputFocus(user.display(), &focus, &revert);
        EXPECT_EQ(xwin, focus);
        // The saver holds the keyboard.
        grab = XGrabKeyboard(user.display(), DefaultRootWindow(user.display()), False,
                             GrabModeAsync, GrabModeAsync, CurrentTime);
        if (grab == GrabSuccess) XUngrabKeyboard(user.display(), CurrentTime);
        SendMessage(SaverWindow(), WM_CLOSE, 0, 0);
    });
    ASSERT_NE(0u, xwin);
    EXPECT_EQ(0, a.x);
    EXPECT_EQ(0, a.y);
    EXPECT_EQ(user.screenWidth(), a.width);
    EXPECT_EQ(user.screenHeight(), a.height);
    EXPECT_EQ(IsViewable, a.map_state);
    EXPECT_TRUE(a.override_redirect);
    EXPECT_EQ(user.screenWidth(), clientW);
    EXPECT_EQ(user.screenHeight(), clientH);
    EXPECT_EQ(AlreadyGrabbed, grab);

    // Afterwards the window is gone, the focus is back and the flag cleared.
    user.Sync();
    EXPECT_FALSE(user.Attributes(xwin, &a));
    Window focusAfter = 0;
    XGetInputFocus(user.display(), &focusAfter, &revert);
    EXPECT_EQ(focusBefore, focusAfter);
    EXPECT_FALSE(Current().SetScreenSaverRunning(false));
    EXPECT_EQ(0u, app->m_hSaverWnd);
}

TEST_F(SaverRunTest, AKeyPressEndsTheRun) {
    int pressedAt = 0;
    Run([&](int frame) {
        if (frame == 3) {
            pressedAt = frame;
            user.PressKey();
        }
    });
    EXPECT_EQ(3, pressedAt);
    EXPECT_LT(frames(), pressedAt + 50);
}

class SaverButtonTest : public SaverRunTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(SaverButtonTest, AButtonEndsTheRun) {
    Run([&](int frame) {
        if (frame == 3) user.ClickButton(GetParam());
    });
    EXPECT_LT(frames(), 3 + 50);
}

INSTANTIATE_TEST_SUITE_P(LeftMiddleRight, SaverButtonTest, ::testing::Values(1u, 2u, 3u));

TEST_F(SaverRunTest, TheWheelDoesNotEndTheRun) {
    bool aliveAfterWheel = false;
    Run([&](int frame) {
        if (frame == 3) {
            user.ClickButton(4);
            user.ClickButton(5);
        }
        if (frame == 20) {
            aliveAfterWheel = IsWindow(SaverWindow());
            user.PressKey();
        }
    });
    EXPECT_TRUE(aliveAfterWheel);
}

// The window appears under the pointer at (300, 300): that is the first
// position.  A move of 50 pixels on both axes keeps the saver; 51 on one
// axis ends it.
TEST_F(SaverRunTest, PointerMotionBeyondFiftyPixelsEndsTheRun) {
    bool aliveAfterFifty = false;
    int movedAt = 0;
    Run([&](int frame) {
        if (frame == 3) user.MovePointerTo(350, 250);
        if (frame == 15) user.MovePointerTo(250, 350);
        if (frame == 25) {
            aliveAfterFifty = IsWindow(SaverWindow());
            movedAt = frame;
            user.MovePointerTo(300, 351);
        }
    });
    EXPECT_TRUE(aliveAfterFifty);
    EXPECT_EQ(25, movedAt);
    EXPECT_LT(frames(), movedAt + 50);
}

TEST_F(SaverRunTest, IgnoreMouseMoveKeepsTheSaverOnMotion) {
    WriteOptions("<IgnoreMouseMove v=\"1\"/>");
    bool aliveAfterMove = false;
    Run([&](int frame) {
        if (frame == 3) user.MovePointerTo(600, 700);
        if (frame == 15) {
            aliveAfterMove = IsWindow(SaverWindow());
            user.ClickButton(1);
        }
    });
    EXPECT_TRUE(aliveAfterMove);
}

TEST_F(SaverRunTest, LosingTheFocusEndsTheRun) {
    Window other = 0;
    Run([&](int frame) {
        if (frame == 3) {
            other = user.MakeWindow(0, 0, 20, 20);
            user.Focus(other);
        }
    });
    EXPECT_NE(0u, other);
    EXPECT_LT(frames(), 3 + 50);
}

// Another program destroys the window: the saver notices and ends.
TEST_F(SaverRunTest, AWindowDestroyedFromOutsideEndsTheRun) {
    Run([&](int frame) {
        if (frame == 3) {
            XDestroyWindow(user.display(), SaverXWindow());
            user.Sync();
        }
    });
    EXPECT_EQ(0u, app->m_hSaverWnd);
    EXPECT_LT(frames(), 3 + 50);
}

}  // namespace
