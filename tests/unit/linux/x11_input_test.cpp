#include <gtest/gtest.h>

#include <cstring>

#include "platform/x11/x11_input.h"

namespace {

using namespace plat;

XEvent Event(int type) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = type;
    return ev;
}

XEvent Button(int type, unsigned button, int x = 10, int y = 20) {
    XEvent ev = Event(type);
    ev.xbutton.button = button;
    ev.xbutton.x = x;
    ev.xbutton.y = y;
    return ev;
}

XEvent Focus(int type, int mode, int detail) {
    XEvent ev = Event(type);
    ev.xfocus.mode = mode;
    ev.xfocus.detail = detail;
    return ev;
}

// The message of an event for a top-level window of 640 x 480, or 0.
uint32_t MessageOf(const XEvent& ev, bool topLevel = true, InputMessage* out = nullptr) {
    InputMessage m{0, 0, 0};
    if (!TranslateInputEvent(ev, topLevel, 640, 480, &m)) return 0;
    if (out) *out = m;
    return m.message;
}

TEST(X11Input, ButtonsOneToThreeAreLeftMiddleRight) {
    InputMessage m;
    EXPECT_EQ(WM_LBUTTONDOWN, MessageOf(Button(ButtonPress, 1, 33, 44), true, &m));
    EXPECT_EQ(MakeLParam(33, 44), m.lParam);
    EXPECT_EQ(WM_MBUTTONDOWN, MessageOf(Button(ButtonPress, 2)));
    EXPECT_EQ(WM_RBUTTONDOWN, MessageOf(Button(ButtonPress, 3)));
    EXPECT_EQ(WM_LBUTTONUP, MessageOf(Button(ButtonRelease, 1)));
    EXPECT_EQ(WM_MBUTTONUP, MessageOf(Button(ButtonRelease, 2)));
    EXPECT_EQ(WM_RBUTTONUP, MessageOf(Button(ButtonRelease, 3)));
}

TEST(X11Input, WheelAndExtraButtonsAreNoButtonDowns) {
    InputMessage m;
    EXPECT_EQ(WM_MOUSEWHEEL, MessageOf(Button(ButtonPress, 4), true, &m));
    EXPECT_EQ(120, (int16_t)(m.wParam >> 16));
    EXPECT_EQ(WM_MOUSEWHEEL, MessageOf(Button(ButtonPress, 5), true, &m));
    EXPECT_EQ(-120, (int16_t)(m.wParam >> 16));
    for (unsigned b = 6; b <= 9; ++b) EXPECT_EQ(0u, MessageOf(Button(ButtonPress, b))) << b;
    for (unsigned b = 4; b <= 9; ++b) EXPECT_EQ(0u, MessageOf(Button(ButtonRelease, b))) << b;
}

TEST(X11Input, KeysAndPointerMotion) {
    XEvent key = Event(KeyPress);
    key.xkey.keycode = 38;
    InputMessage m;
    EXPECT_EQ(WM_KEYDOWN, MessageOf(key, true, &m));
    EXPECT_EQ(38u, m.wParam);
    key.type = KeyRelease;
    EXPECT_EQ(WM_KEYUP, MessageOf(key));

    // Window-relative, signed 16-bit words as the window procedure reads them.
    XEvent motion = Event(MotionNotify);
    motion.xmotion.x = -5;
    motion.xmotion.y = 1023;
    motion.xmotion.x_root = 900;
    ASSERT_EQ(WM_MOUSEMOVE, MessageOf(motion, true, &m));
    EXPECT_EQ(-5, (int16_t)(m.lParam & 0xFFFF));
    EXPECT_EQ(1023, (int16_t)((m.lParam >> 16) & 0xFFFF));

    // Entering the window is a move to the entry point; crossings caused by
    // grabs are not.
    XEvent enter = Event(EnterNotify);
    enter.xcrossing.mode = NotifyNormal;
    enter.xcrossing.x = 7;
    enter.xcrossing.y = 8;
    ASSERT_EQ(WM_MOUSEMOVE, MessageOf(enter, true, &m));
    EXPECT_EQ(MakeLParam(7, 8), m.lParam);
    enter.xcrossing.mode = NotifyGrab;
    EXPECT_EQ(0u, MessageOf(enter));
    enter.xcrossing.mode = NotifyUngrab;
    EXPECT_EQ(0u, MessageOf(enter));
}

TEST(X11Input, OnlyARealFocusLossOfATopLevelWindowDeactivates) {
    InputMessage m{1, 1, 1};
    EXPECT_EQ(WM_ACTIVATE, MessageOf(Focus(FocusOut, NotifyNormal, NotifyNonlinear), true, &m));
    EXPECT_EQ(0u, m.wParam);
    EXPECT_EQ(WM_ACTIVATE, MessageOf(Focus(FocusOut, NotifyNormal, NotifyAncestor)));
    EXPECT_EQ(WM_ACTIVATE, MessageOf(Focus(FocusOut, NotifyNormal, NotifyNonlinearVirtual)));
    // Focus moved away while our keyboard grab is active.
    EXPECT_EQ(WM_ACTIVATE, MessageOf(Focus(FocusOut, NotifyWhileGrabbed, NotifyNonlinear)));

    // Grabs move the focus only for their duration.
    EXPECT_EQ(0u, MessageOf(Focus(FocusOut, NotifyGrab, NotifyNonlinear)));
    EXPECT_EQ(0u, MessageOf(Focus(FocusOut, NotifyUngrab, NotifyNonlinear)));
    // Focus going to a child, or pointer-root bookkeeping.
    EXPECT_EQ(0u, MessageOf(Focus(FocusOut, NotifyNormal, NotifyInferior)));
    EXPECT_EQ(0u, MessageOf(Focus(FocusOut, NotifyNormal, NotifyPointer)));
    EXPECT_EQ(0u, MessageOf(Focus(FocusOut, NotifyNormal, NotifyPointerRoot)));
    EXPECT_EQ(0u, MessageOf(Focus(FocusOut, NotifyNormal, NotifyDetailNone)));
    // A child window is never activated or deactivated.
    EXPECT_EQ(0u, MessageOf(Focus(FocusOut, NotifyNormal, NotifyNonlinear), false));

    EXPECT_EQ(WM_ACTIVATE, MessageOf(Focus(FocusIn, NotifyNormal, NotifyNonlinear), true, &m));
    EXPECT_NE(0u, m.wParam);
}

TEST(X11Input, SizeOnlyWhenItChangesAndPaintAtTheEndOfAnExposeRun) {
    XEvent configure = Event(ConfigureNotify);
    configure.xconfigure.width = 640;
    configure.xconfigure.height = 480;
    configure.xconfigure.x = 50;  // moved, same size
    EXPECT_EQ(0u, MessageOf(configure));
    configure.xconfigure.height = 400;
    InputMessage m;
    ASSERT_EQ(WM_SIZE, MessageOf(configure, true, &m));
    EXPECT_EQ(MakeLParam(640, 400), m.lParam);

    XEvent expose = Event(Expose);
    expose.xexpose.count = 2;
    EXPECT_EQ(0u, MessageOf(expose));
    expose.xexpose.count = 0;
    EXPECT_EQ(WM_PAINT, MessageOf(expose));

    EXPECT_EQ(0u, MessageOf(Event(MapNotify)));
    EXPECT_EQ(0u, MessageOf(Event(PropertyNotify)));
}

}  // namespace
