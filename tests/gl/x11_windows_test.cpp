// Windows of the X11 platform below the saver: foreign parents, the
// captioned window, pixel formats, size, paint and the cursor.
#include <gtest/gtest.h>  // first: before the X headers' macros

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/x11/x11_platform.h"
#include "tests/gl/x_test_input.h"

namespace {

using namespace plat;

struct Seen {
    HWND hwnd;
    uint32_t message;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT RecordingProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(Seen{hwnd, message, lParam});
    return DefWindowProc(hwnd, message, wParam, lParam);
}

const char kClass[] = "X11WindowsTestClass";

class X11WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(user.ok()) << "no X display";
        Install(nullptr);
        RegisterClass(kClass, RecordingProc);  // once per process
        g_seen.clear();
    }
    // Serves the queue until pred holds, for at most two seconds.
    template <typename Pred>
    bool PumpUntil(Pred pred) {
        return ::PumpUntil(user, pred);
    }
    int Count(HWND hwnd, uint32_t message) {
        return (int)std::count_if(g_seen.begin(), g_seen.end(), [&](const Seen& s) {
            return s.hwnd == hwnd && s.message == message;
        });
    }
    XTestUser user;
};

TEST_F(X11WindowsTest, ChildOfAForeignWindowFollowsItsParent) {
    const Window parent = user.MakeWindow(10, 10, 400, 300);
    ASSERT_TRUE(IsWindow(parent));
    EXPECT_TRUE(IsWindowVisible(parent));
    int w = 0, h = 0;
    ASSERT_TRUE(GetClientRect(parent, &w, &h));
    EXPECT_EQ(400, w);
    EXPECT_EQ(300, h);

    const HWND child = CreateWindow(kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, w, h, parent);
    ASSERT_NE(0u, child);
    EXPECT_EQ(1, Count(child, WM_CREATE));
    EXPECT_EQ(1, Count(child, WM_SIZE));
    XWindowAttributes a{};
    ASSERT_TRUE(PumpUntil(
        [&] { return user.Attributes(X11WindowOf(child), &a) && a.map_state == IsViewable; }));
    EXPECT_EQ(parent, user.ParentOf(X11WindowOf(child)));
    EXPECT_EQ(400, a.width);
    EXPECT_EQ(300, a.height);
    EXPECT_TRUE(IsWindowVisible(child));

    XUnmapWindow(user.display(), parent);
    user.Sync();
    EXPECT_FALSE(IsWindowVisible(parent));
    EXPECT_FALSE(IsWindowVisible(child));

    // The owner destroys its window, and ours inside it goes too.
    XDestroyWindow(user.display(), parent);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(child); }));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_EQ(1, Count(child, WM_DESTROY));
    EXPECT_EQ(0u, X11WindowOf(child));
}

TEST_F(X11WindowsTest, HandlesThatAreNoWindowsAreAnsweredWithoutHarm) {
    const Window gone = user.MakeWindow(0, 0, 10, 10);
    XDestroyWindow(user.display(), gone);
    user.Sync();
    for (HWND h : {(HWND)gone, (HWND)0x1FFFFFF0, (HWND)0x123456789ull, (HWND)12}) {
        EXPECT_FALSE(IsWindow(h)) << h;
        EXPECT_FALSE(IsWindowVisible(h)) << h;
        int w = -1, hh = -1;
        EXPECT_FALSE(GetClientRect(h, &w, &hh)) << h;
    }
    EXPECT_EQ(0u, CreateWindow(kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, gone));
    EXPECT_TRUE(IsWindow(GetDesktopWindow()));
}

TEST_F(X11WindowsTest, CaptionedWindowHasItsTitleAndClosesFromTheWindowManager) {
    const HWND hwnd =
        CreateWindow(kClass, "Screensaver Preview Test", WS_CAPTION, 100, 80, 320, 240, 0);
    ASSERT_NE(0u, hwnd);
    ShowWindow(hwnd);
    const Window xwin = X11WindowOf(hwnd);
    XWindowAttributes a{};
    ASSERT_TRUE(PumpUntil([&] { return user.Attributes(xwin, &a) && a.map_state == IsViewable; }));
    EXPECT_FALSE(a.override_redirect);
    EXPECT_EQ(100, a.x);
    EXPECT_EQ(80, a.y);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(user.display(), xwin, &name));
    EXPECT_STREQ("Screensaver Preview Test", name);
    XFree(name);
    Atom* protocols = nullptr;
    int count = 0;
    const Atom deleteWindow = XInternAtom(user.display(), "WM_DELETE_WINDOW", False);
    ASSERT_TRUE(XGetWMProtocols(user.display(), xwin, &protocols, &count));
    EXPECT_TRUE(std::find(protocols, protocols + count, deleteWindow) != protocols + count);
    XFree(protocols);

    // An exposed window is asked to paint once.
    ASSERT_TRUE(PumpUntil([&] { return Count(hwnd, WM_PAINT) > 0; }));
    EXPECT_EQ(1, Count(hwnd, WM_PAINT));

    // Resized by someone else: the window hears of it once.
    XResizeWindow(user.display(), xwin, 200, 150);
    ASSERT_TRUE(PumpUntil([&] { return Count(hwnd, WM_SIZE) == 2; }));
    auto lastSize = std::find_if(g_seen.rbegin(), g_seen.rend(),
                                 [](const Seen& s) { return s.message == WM_SIZE; });
    EXPECT_EQ(MakeLParam(200, 150), lastSize->lParam);
    int w = 0, h = 0;
    GetClientRect(hwnd, &w, &h);
    EXPECT_EQ(200, w);
    EXPECT_EQ(150, h);
    XMoveWindow(user.display(), xwin, 5, 5);
    int turns = 0;
    PumpUntil([&] { return ++turns == 10; });
    EXPECT_EQ(2, Count(hwnd, WM_SIZE));

    // The window manager's close button.
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = xwin;
    ev.xclient.message_type = XInternAtom(user.display(), "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)deleteWindow;
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(user.display(), xwin, False, NoEventMask, &ev);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(1, Count(hwnd, WM_CLOSE));
    EXPECT_EQ(1, Count(hwnd, WM_DESTROY));
    EXPECT_FALSE(user.Attributes(xwin, &a));
}

// Setting a pixel format may make the X window anew with another visual;
// the handle, the children and the visibility stay.
TEST_F(X11WindowsTest, PixelFormatIsSetOnceUnderTheSameHandle) {
    const HWND host = CreateWindow(kClass, "host", WS_CAPTION | WS_VISIBLE, 0, 0, 160, 120, 0);
    ASSERT_NE(0u, host);
    const HWND child = CreateWindow(kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 160, 120, host);
    ASSERT_NE(0u, child);
    EXPECT_EQ(0u, Current().CreateContext(child));  // no format yet

    PixelFormatDescriptor want;
    want.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    want.cColorBits = 32;
    want.cAccumBits = 64;
    want.cDepthBits = 32;
    const int index = Current().ChoosePixelFormat(child, want);
    ASSERT_GT(index, 0);
    PixelFormatDescriptor got;
    ASSERT_TRUE(Current().DescribePixelFormat(child, index, &got));
    EXPECT_GE(got.cAccumBits, 48);
    EXPECT_FALSE(got.dwFlags & PFD_GENERIC_FORMAT);  // direct rendering under Xvfb
    EXPECT_TRUE(got.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_FALSE(Current().DescribePixelFormat(child, 0, &got));
    EXPECT_FALSE(Current().DescribePixelFormat(child, 1000000, &got));

    ASSERT_TRUE(Current().SetPixelFormat(child, index, want));
    EXPECT_TRUE(Current().SetPixelFormat(child, index, want));
    EXPECT_FALSE(Current().SetPixelFormat(child, index == 1 ? 2 : 1, want));
    EXPECT_TRUE(IsWindow(child));
    const Window xchild = X11WindowOf(child);
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes a{};
        return user.Attributes(xchild, &a) && a.map_state == IsViewable;
    }));
    EXPECT_EQ(X11WindowOf(host), user.ParentOf(xchild));

    // Drawing on it works, and the picture reaches the screen.
    const uintptr_t ctx = Current().CreateContext(child);
    ASSERT_NE(0u, ctx);
    ASSERT_TRUE(Current().MakeCurrent(child, ctx));
    GLint accumRed = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &accumRed);
    EXPECT_GE(accumRed, 16);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(Current().SwapBuffers(child));
    XImage* image = XGetImage(user.display(), xchild, 80, 60, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(nullptr, image);
    XWindowAttributes a{};
    user.Attributes(xchild, &a);
    EXPECT_EQ(a.visual->green_mask, XGetPixel(image, 0, 0) & a.visual->green_mask);
    EXPECT_EQ(0u, XGetPixel(image, 0, 0) & a.visual->red_mask);
    XDestroyImage(image);

    // Destroying the host takes the child along, context current or not.
    DestroyWindow(host);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(user.Attributes(xchild, &a));
    EXPECT_FALSE(Current().SwapBuffers(child));
    EXPECT_FALSE(Current().MakeCurrent(child, ctx));
}

int g_xErrors = 0;
int CountXError(Display*, XErrorEvent*) {
    ++g_xErrors;
    return 0;
}

// The first current context on a window turns its swap interval off with
// what the screen offers, and with nothing where it offers none (Xvfb,
// whose client library exports the entry points all the same).
TEST_F(X11WindowsTest, SwapIntervalIsTurnedOffOnlyWhereTheScreenOffersIt) {
    const HWND hwnd = CreateWindow(kClass, "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48, 0);
    ASSERT_NE(0u, hwnd);
    PixelFormatDescriptor want;
    want.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    want.cColorBits = 32;
    const int index = Current().ChoosePixelFormat(hwnd, want);
    ASSERT_TRUE(Current().SetPixelFormat(hwnd, index, want));
    const uintptr_t ctx = Current().CreateContext(hwnd);
    ASSERT_NE(0u, ctx);
    EXPECT_EQ(SWAP_CONTROL_NONE, X11SwapControlOf(hwnd));  // nothing current yet
    // No X error comes of it: an interval call the screen does not support
    // would raise one.
    g_xErrors = 0;
    XErrorHandler before = XSetErrorHandler(CountXError);
    ASSERT_TRUE(Current().MakeCurrent(hwnd, ctx));
    Display* dpy = glXGetCurrentDisplay();
    XSync(dpy, False);
    XSetErrorHandler(before);
    EXPECT_EQ(0, g_xErrors);

    const SwapControl offered =
        ChooseSwapControl(glXQueryExtensionsString(dpy, DefaultScreen(dpy)));
    EXPECT_EQ(offered, X11SwapControlOf(hwnd)) << SwapControlName(offered);
    if (offered == SWAP_CONTROL_EXT) {
        unsigned interval = 1;
        glXQueryDrawable(dpy, X11WindowOf(hwnd), GLX_SWAP_INTERVAL_EXT, &interval);
        EXPECT_EQ(0u, interval);
    }
    // Frames go on after it, whatever was called.
    for (int i = 0; i < 3; ++i) {
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_TRUE(Current().SwapBuffers(hwnd));
    }
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    Current().MakeCurrent(0, 0);
    DestroyWindow(hwnd);
}

// The cursor over our windows disappears while the display counter is
// below zero.
TEST_F(X11WindowsTest, CursorIsHiddenWhileTheCounterIsNegative) {
    auto cursorIsBlank = [&] {
        XFixesCursorImage* image = XFixesGetCursorImage(user.display());
        if (!image) return false;
        bool blank = true;
        for (int i = 0; i < image->width * image->height; ++i)
            if (image->pixels[i] & 0xFF000000ul) blank = false;
        XFree(image);
        return blank;
    };
    int event = 0, error = 0;
    if (!XFixesQueryExtension(user.display(), &event, &error)) GTEST_SKIP() << "no XFIXES";
    const int sw = user.screenWidth(), sh = user.screenHeight();
    const HWND hwnd = CreateWindow(kClass, "", WS_POPUP | WS_VISIBLE, 0, 0, sw, sh, 0);
    ASSERT_NE(0u, hwnd);
    user.MovePointerTo(sw / 2, sh / 2);
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes a{};
        return user.Attributes(X11WindowOf(hwnd), &a) && a.map_state == IsViewable;
    }));
    EXPECT_FALSE(cursorIsBlank());
    EXPECT_EQ(-1, ShowCursor(false));
    user.Sync();
    EXPECT_TRUE(PumpUntil(cursorIsBlank));
    EXPECT_EQ(-2, ShowCursor(false));
    EXPECT_EQ(-1, ShowCursor(true));
    user.Sync();
    EXPECT_TRUE(cursorIsBlank());
    EXPECT_EQ(0, ShowCursor(true));
    EXPECT_TRUE(PumpUntil([&] { return !cursorIsBlank(); }));
    DestroyWindow(hwnd);
}

}  // namespace
