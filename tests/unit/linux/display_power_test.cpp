// The display's power: DPMS readings as monitor power, the changes the
// windows hear of, and what the run loops make of them.
#include <gtest/gtest.h>

#include <vector>

#include "platform/x11/display_power.h"
#include "tests/support/host_fixture.h"

using namespace plat;

namespace {

DpmsReading Reading(int level, bool enabled = true, bool present = true) {
    DpmsReading r;
    r.present = present;
    r.enabled = enabled;
    r.level = level;
    return r;
}

TEST(MonitorPowerOf, LevelsOfAnEnabledServer) {
    EXPECT_EQ(-1, MonitorPowerOf(Reading(DPMS_LEVEL_ON)));
    EXPECT_EQ(1, MonitorPowerOf(Reading(DPMS_LEVEL_STANDBY)));
    EXPECT_EQ(1, MonitorPowerOf(Reading(DPMS_LEVEL_SUSPEND)));
    EXPECT_EQ(2, MonitorPowerOf(Reading(DPMS_LEVEL_OFF)));
    // A level the extension does not name is no reason to stop drawing.
    EXPECT_EQ(-1, MonitorPowerOf(Reading(4)));
    EXPECT_EQ(-1, MonitorPowerOf(Reading(-1)));
}

TEST(MonitorPowerOf, WithoutTheExtensionOrSwitchedOffTheDisplayIsOn) {
    for (int level : {DPMS_LEVEL_STANDBY, DPMS_LEVEL_SUSPEND, DPMS_LEVEL_OFF}) {
        EXPECT_EQ(-1, MonitorPowerOf(Reading(level, false, true))) << level;
        EXPECT_EQ(-1, MonitorPowerOf(Reading(level, true, false))) << level;
    }
    EXPECT_EQ(-1, MonitorPowerOf(DpmsReading()));
}

TEST(MonitorPowerWatch, TellsEachChangeOnce) {
    MonitorPowerWatch watch;
    LPARAM power = 99;
    // The display starts on: an "on" reading is no news.
    EXPECT_FALSE(watch.Update(Reading(DPMS_LEVEL_ON), &power));
    EXPECT_EQ(99, power);
    ASSERT_TRUE(watch.Update(Reading(DPMS_LEVEL_STANDBY), &power));
    EXPECT_EQ(1, power);
    EXPECT_FALSE(watch.Update(Reading(DPMS_LEVEL_STANDBY), &power));
    // Standby to suspend is still low power.
    EXPECT_FALSE(watch.Update(Reading(DPMS_LEVEL_SUSPEND), &power));
    // Low power to off is told, so that the full-screen saver ends.
    ASSERT_TRUE(watch.Update(Reading(DPMS_LEVEL_OFF), &power));
    EXPECT_EQ(2, power);
    EXPECT_FALSE(watch.Update(Reading(DPMS_LEVEL_OFF), &power));
    ASSERT_TRUE(watch.Update(Reading(DPMS_LEVEL_ON), &power));
    EXPECT_EQ(-1, power);
    EXPECT_FALSE(watch.Update(Reading(DPMS_LEVEL_ON), &power));
}

TEST(MonitorPowerWatch, DarkAtTheStartAndSwitchedOffPowerManagement) {
    MonitorPowerWatch watch;
    LPARAM power = 0;
    ASSERT_TRUE(watch.Update(Reading(DPMS_LEVEL_OFF), &power));
    EXPECT_EQ(2, power);
    // Power management switched off while dark: the display is back on.
    ASSERT_TRUE(watch.Update(Reading(DPMS_LEVEL_OFF, false), &power));
    EXPECT_EQ(-1, power);

    // A server without the extension never tells anything.
    MonitorPowerWatch none;
    for (int level = 0; level < 4; ++level)
        EXPECT_FALSE(none.Update(Reading(level, true, false), &power)) << level;
}

TEST(MonitorPowerWatch, PollsAtMostEveryHalfSecond) {
    MonitorPowerWatch watch;
    EXPECT_TRUE(watch.PollDue(100000));
    EXPECT_FALSE(watch.PollDue(100000));
    EXPECT_FALSE(watch.PollDue(100499));
    EXPECT_TRUE(watch.PollDue(100500));
    EXPECT_FALSE(watch.PollDue(100600));
    EXPECT_TRUE(watch.PollDue(101100));
    // A clock that went back does not stop the polling.
    EXPECT_TRUE(watch.PollDue(50));
    EXPECT_FALSE(watch.PollDue(60));
}

// --- delivery to the windows and the loops' reactions ---

LRESULT QuietProc(HWND, uint32_t, WPARAM, LPARAM) { return 0; }

std::vector<MSG> Drain(MemoryPlatform& p) {
    std::vector<MSG> out;
    MSG m;
    while (p.PeekMessage(&m, 0)) out.push_back(m);
    return out;
}

TEST(PostMonitorPower, PowerDownGoesToTheTopOfOurWindowsAndPowerUpPaintsAll) {
    MemoryPlatformScope scope;
    MemoryPlatform& p = scope.platform;
    p.foreign[700] = MemoryPlatform::Foreign{true, 100, 100};
    ASSERT_TRUE(p.RegisterClass("C", QuietProc));
    const HWND host = p.CreateWindow("C", "host", WS_CAPTION | WS_VISIBLE, 0, 0, 50, 50, 0);
    const HWND inHost = p.CreateWindow("C", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, host);
    const HWND inForeign = p.CreateWindow("C", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, 700);
    ASSERT_TRUE(host && inHost && inForeign);

    p.PostMonitorPower(2);
    std::vector<MSG> got = Drain(p);
    ASSERT_EQ(2u, got.size());
    for (const MSG& m : got) {
        EXPECT_TRUE(m.hwnd == host || m.hwnd == inForeign) << m.hwnd;
        EXPECT_EQ(WM_SYSCOMMAND, m.message);
        EXPECT_EQ(SC_MONITORPOWER, m.wParam);
        EXPECT_EQ(2, m.lParam);
    }
    p.PostMonitorPower(1);
    got = Drain(p);
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(1, got[0].lParam);

    // Back on: one paint for each window, none doubled.
    p.Inject(inHost, WM_PAINT);
    p.PostMonitorPower(-1);
    got = Drain(p);
    ASSERT_EQ(3u, got.size());
    for (HWND h : {host, inHost, inForeign}) {
        int paints = 0;
        for (const MSG& m : got) paints += m.hwnd == h && m.message == WM_PAINT;
        EXPECT_EQ(1, paints) << h;
    }
}

class DisplayPowerLoopTest : public HostFixture {};

TEST_F(DisplayPowerLoopTest, DarkDisplayPausesTheHackAndItsReturnResumesIt) {
    p.foreign[500] = MemoryPlatform::Foreign{true, 200, 150};
    int framesAtOff = -1, framesBeforeOn = -1, framesAtEnd = -1;
    p.onPump = [&] {
        p.processClock += 11;
        if (p.pumps == 4) p.PostMonitorPower(2);
        if (p.pumps == 5) framesAtOff = g_renderLog.frames;
        if (p.pumps == 12) {
            framesBeforeOn = g_renderLog.frames;
            p.PostMonitorPower(-1);
        }
        if (p.pumps == 20) {
            framesAtEnd = g_renderLog.frames;
            p.foreign.erase(500);
        }
    };
    App().RunPreview(500);
    EXPECT_GT(framesAtOff, 0);
    EXPECT_EQ(framesAtOff, framesBeforeOn);
    EXPECT_GT(framesAtEnd, framesBeforeOn);
}

TEST_F(DisplayPowerLoopTest, DisplayOffEndsTheFullScreenSaverLowPowerDoesNot) {
    HWND saver = 0;
    bool aliveAfterLowPower = false;
    p.onPump = [&] {
        p.processClock += 11;
        saver = App().m_hSaverWnd ? App().m_hSaverWnd : saver;
        if (p.pumps == 3) p.PostMonitorPower(1);
        if (p.pumps == 6) aliveAfterLowPower = IsWindow(saver);
        if (p.pumps == 8) p.PostMonitorPower(2);
        if (p.pumps == 50) DestroyWindow(saver);  // ends a saver that went on
    };
    App().RunSaver();
    EXPECT_TRUE(aliveAfterLowPower);
    EXPECT_FALSE(IsWindow(saver));
    EXPECT_LT(p.pumps, 50);
}

}  // namespace
