// The X11 platform's waiting on the connection, moving our windows, and
// the display's power as the server reports it.
#include <gtest/gtest.h>  // first: before the X headers' macros

#include <X11/Xlib.h>
#ifdef WAVENDELL_HAVE_XEXT
#include <X11/extensions/dpms.h>
#endif
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/x11/x11_platform.h"
#include "tests/gl/x_test_input.h"

namespace {

using namespace plat;

struct Seen {
    HWND hwnd;
    uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT RecordingProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(Seen{hwnd, message, wParam, lParam});
    return DefWindowProc(hwnd, message, wParam, lParam);
}

const char kClass[] = "X11WaitMovePowerTestClass";

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t CpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return (int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

class X11WaitMovePowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(user.ok()) << "no X display";
        Install(nullptr);
        RegisterClass(kClass, RecordingProc);  // once per process
        g_seen.clear();
    }
    template <typename Pred>
    bool PumpUntil(Pred pred, int ms = 2000) {
        return ::PumpUntil(user, pred, ms);
    }
    // A mapped window of ours, with its first events served.
    HWND MakeShownWindow(uint32_t style, HWND parent, int w, int h) {
        const HWND hwnd = CreateWindow(kClass, "", style | WS_VISIBLE, 0, 0, w, h, parent);
        if (!hwnd) return 0;
        ShowWindow(hwnd);
        XWindowAttributes a{};
        if (!PumpUntil([&] {
                return user.Attributes(X11WindowOf(hwnd), &a) && a.map_state == IsViewable;
            }))
            return 0;
        PumpUntil([] { return false; }, 100);  // the exposures of the map
        return hwnd;
    }
    int Count(HWND hwnd, uint32_t message) {
        return (int)std::count_if(g_seen.begin(), g_seen.end(), [&](const Seen& s) {
            return s.hwnd == hwnd && s.message == message;
        });
    }
    XTestUser user;
};

TEST_F(X11WaitMovePowerTest, MovingAChildResizesItsXWindowAndIsToldOnce) {
    const Window parent = user.MakeWindow(20, 20, 320, 200);
    const HWND child = MakeShownWindow(WS_CHILD, parent, 320, 200);
    ASSERT_NE(0u, child);
    ASSERT_EQ(1, Count(child, WM_SIZE));

    ASSERT_TRUE(Current().MoveWindow(child, 0, 0, 480, 300));
    EXPECT_EQ(2, Count(child, WM_SIZE));
    EXPECT_EQ(MakeLParam(480, 300), g_seen.back().lParam);
    XWindowAttributes a{};
    ASSERT_TRUE(PumpUntil([&] {
        return user.Attributes(X11WindowOf(child), &a) && a.width == 480 && a.height == 300;
    }));
    EXPECT_EQ(0, a.x);
    EXPECT_EQ(0, a.y);
    // The server's own notice of the new size is no second WM_SIZE.
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(2, Count(child, WM_SIZE));

    // Moved without a new size, and to no size at all (X's 1 x 1).
    ASSERT_TRUE(Current().MoveWindow(child, 5, 6, 480, 300));
    ASSERT_TRUE(PumpUntil([&] { return user.Attributes(X11WindowOf(child), &a) && a.x == 5; }));
    EXPECT_EQ(6, a.y);
    ASSERT_TRUE(Current().MoveWindow(child, 0, 0, 0, 0));
    ASSERT_TRUE(PumpUntil([&] { return user.Attributes(X11WindowOf(child), &a) && a.width == 1; }));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(3, Count(child, WM_SIZE));
    int w = -1, h = -1;
    ASSERT_TRUE(GetClientRect(child, &w, &h));
    EXPECT_EQ(0, w);
    EXPECT_EQ(0, h);

    XDestroyWindow(user.display(), parent);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(child); }));
    // Our window went with its parent: moving it is refused.
    EXPECT_FALSE(Current().MoveWindow(child, 0, 0, 10, 10));
}

TEST_F(X11WaitMovePowerTest, WaitSleepsUntilTheTimeoutWhenNothingHappens) {
    const HWND hwnd = MakeShownWindow(WS_POPUP, 0, 200, 100);
    ASSERT_NE(0u, hwnd);
    const int64_t start = NowMs(), cpuStart = CpuMs();
    Current().WaitForEvents(300);
    const int64_t took = NowMs() - start, cpu = CpuMs() - cpuStart;
    EXPECT_GE(took, 290);
    EXPECT_LT(took, 1000);
    EXPECT_LT(cpu, 50) << "the wait spun";
    // No wait at all for nothing.
    const int64_t again = NowMs();
    Current().WaitForEvents(0);
    Current().WaitForEvents(-5);
    EXPECT_LT(NowMs() - again, 50);
    DestroyWindow(hwnd);
}

TEST_F(X11WaitMovePowerTest, WaitEndsWhenAnEventArrives) {
    const HWND hwnd = MakeShownWindow(WS_POPUP, 0, 200, 100);
    ASSERT_NE(0u, hwnd);
    const Window xwin = X11WindowOf(hwnd);

    // An event that arrived before the wait: no wait.
    XResizeWindow(user.display(), xwin, 210, 100);
    user.Sync();
    int64_t start = NowMs();
    Current().WaitForEvents(3000);
    EXPECT_LT(NowMs() - start, 500);
    ServeMessages();
    EXPECT_EQ(2, Count(hwnd, WM_SIZE));

    // An event that arrives during the wait ends it.
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        XResizeWindow(user.display(), xwin, 220, 100);
        user.Sync();
    });
    start = NowMs();
    Current().WaitForEvents(3000);
    const int64_t took = NowMs() - start;
    other.join();
    EXPECT_GE(took, 100);
    EXPECT_LT(took, 1500);
    ASSERT_TRUE(PumpUntil([&] { return Count(hwnd, WM_SIZE) == 3; }));
    DestroyWindow(hwnd);
}

// Where the server has DPMS, switching the display off is told to our
// top-level window and switching it on again asks for a paint; where it has
// none (Xvfb), nothing is told and nothing is printed.
TEST_F(X11WaitMovePowerTest, DisplayPowerIsToldWhereTheServerHasDpms) {
    const HWND host = MakeShownWindow(WS_CAPTION, 0, 200, 100);
    ASSERT_NE(0u, host);
    const HWND child = CreateWindow(kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, host);
    ASSERT_NE(0u, child);
#ifdef WAVENDELL_HAVE_XEXT
    int event = 0, error = 0;
    const bool dpms =
        DPMSQueryExtension(user.display(), &event, &error) && DPMSCapable(user.display());
#else
    const bool dpms = false;  // built without the extension library
#endif
    if (!dpms) {
        testing::internal::CaptureStderr();
        PumpUntil([] { return false; }, 1200);  // more than two polls
        EXPECT_EQ("", testing::internal::GetCapturedStderr());
        EXPECT_EQ(0, Count(host, WM_SYSCOMMAND));
        EXPECT_EQ(0, Count(child, WM_SYSCOMMAND));
        DestroyWindow(host);
        GTEST_SKIP() << "the X server has no DPMS: only its absence was tested";
    }
#ifdef WAVENDELL_HAVE_XEXT
    CARD16 levelBefore = 0;
    BOOL enabledBefore = False;
    DPMSInfo(user.display(), &levelBefore, &enabledBefore);
    DPMSEnable(user.display());
    DPMSForceLevel(user.display(), DPMSModeOff);
    user.Sync();
    const bool toldOff = PumpUntil([&] { return Count(host, WM_SYSCOMMAND) > 0; });
    const int paintsBefore = Count(host, WM_PAINT) + Count(child, WM_PAINT);
    DPMSForceLevel(user.display(), DPMSModeOn);
    if (!enabledBefore) DPMSDisable(user.display());
    user.Sync();
    ASSERT_TRUE(toldOff);
    const auto off = std::find_if(g_seen.begin(), g_seen.end(),
                                  [&](const Seen& s) { return s.message == WM_SYSCOMMAND; });
    EXPECT_EQ(host, off->hwnd);
    EXPECT_EQ(SC_MONITORPOWER, off->wParam);
    EXPECT_EQ(2, off->lParam);
    EXPECT_EQ(0, Count(child, WM_SYSCOMMAND));
    EXPECT_TRUE(PumpUntil(
        [&] { return Count(child, WM_PAINT) + Count(host, WM_PAINT) > paintsBefore + 1; }));
#endif
    DestroyWindow(host);
}

}  // namespace
