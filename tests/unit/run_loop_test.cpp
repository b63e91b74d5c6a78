#include <gtest/gtest.h>

#include "tests/support/host_fixture.h"

using namespace plat;

namespace {

// A password service that refuses a set number of times, then accepts.
int g_refusals = 0;
int g_verifyCalls = 0;
HWND g_verifiedWindow = 0;
int VerifyStub(HWND h) {
    ++g_verifyCalls;
    g_verifiedWindow = h;
    return g_verifyCalls > g_refusals ? 1 : 0;
}

std::string g_changeProvider;
HWND g_changeOwner = 0;
int ChangeStub(const char* provider, HWND owner, uint32_t, void*) {
    g_changeProvider = provider;
    g_changeOwner = owner;
    return 0;
}

class RunLoopTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        g_refusals = 0;
        g_verifyCalls = 0;
        g_changeProvider.clear();
    }
    // Advances the process clock on every turn so each turn draws a frame,
    // and calls act(turn) before the queue is looked at.
    void Script(std::function<void(int)> act) {
        p.onPump = [this, act] {
            p.processClock += 11;
            act(p.pumps);
        };
    }
    HWND Window() { return App().m_hSaverWnd; }
};

TEST_F(RunLoopTest, KeyEndsTheRunAndClearsTheRunningFlag) {
    HWND seen = 0;
    Script([&](int turn) {
        seen = Window();
        if (turn == 5) p.Inject(seen, WM_KEYDOWN);
    });
    App().m_lpCmdLine = "/S";
    App().InitInstance();
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_GE(g_renderLog.frames, 4);
    // Start-up sets the flag, the loop sets it again, then both clear it.
    EXPECT_EQ((std::vector<bool>{true, true, false, false}), p.saverRunningCalls);
    EXPECT_FALSE(p.saverRunning);
    EXPECT_EQ(0, p.cursorCount);
    EXPECT_TRUE(p.libraryLoads.empty());  // NT family: no password service asked
}

TEST_F(RunLoopTest, MonitorPowerOffEndsTheSaverAndLeavesTheQueue) {
    Script([&](int turn) {
        if (turn == 3) {
            p.Inject(Window(), WM_SYSCOMMAND, SC_MONITORPOWER, 2);
            p.Inject(Window(), WM_KEYUP);
        }
    });
    HWND h = 0;
    p.onPump = [&, inner = p.onPump] {
        inner();
        h = Window();
    };
    App().RunSaver();
    EXPECT_FALSE(IsWindow(h));     // closed by the loop after verification
    EXPECT_EQ(3, p.pumps);         // no draining after the power-off
    EXPECT_EQ(0u, p.QueueSize());  // dropped with the window
}

TEST_F(RunLoopTest, OtherMonitorPowerStatesDoNotEndTheSaver) {
    Script([&](int turn) {
        if (turn == 2) p.Inject(Window(), WM_SYSCOMMAND, SC_MONITORPOWER, 1);
        if (turn == 6) p.Inject(Window(), WM_LBUTTONDOWN);
    });
    App().RunSaver();
    EXPECT_GE(p.pumps, 6);
}

TEST_F(RunLoopTest, RefusedPasswordKeepsDrawingAndAsksEveryTurn) {
    p.platformId = VER_PLATFORM_WIN32_WINDOWS;
    p.libraries["PASSWORD.CPL"]["VerifyScreenSavePwd"] = (void*)&VerifyStub;
    g_refusals = 3;
    HWND h = 0;
    Script([&](int turn) {
        if (turn == 1) {
            h = Window();
            p.Inject(h, WM_KEYDOWN);
        }
    });
    App().RunSaver();
    EXPECT_EQ(4, g_verifyCalls);
    EXPECT_EQ(h, g_verifiedWindow);    // the handle of the window that is gone
    EXPECT_EQ(4, p.libraryFrees);      // loaded and freed on every call
    EXPECT_EQ(3, g_renderLog.frames);  // drawing goes on while refused
    EXPECT_EQ(0, p.cursorCount);
}

TEST_F(RunLoopTest, MonitorOffWithRefusalsAlternatesFramesAndVerification) {
    p.platformId = VER_PLATFORM_WIN32_WINDOWS;
    p.libraries["PASSWORD.CPL"]["VerifyScreenSavePwd"] = (void*)&VerifyStub;
    g_refusals = 2;
    HWND h = 0;
    Script([&](int turn) {
        if (turn == 1) {
            h = Window();
            p.Inject(h, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
        }
    });
    p.processClock = 100;
    App().RunSaver();
    EXPECT_EQ(3, g_verifyCalls);
    EXPECT_EQ(1, p.pumps);
    EXPECT_FALSE(IsWindow(h));  // WM_CLOSE after confirmation
}

TEST_F(RunLoopTest, MissingPasswordServiceNeverConfirms) {
    p.platformId = VER_PLATFORM_WIN32_WINDOWS;
    // No library: VerifyPassword answers false.
    EXPECT_FALSE(App().VerifyPassword(0));
    p.libraries["PASSWORD.CPL"];  // library without the entry point
    EXPECT_FALSE(App().VerifyPassword(0));
    EXPECT_EQ(1, p.libraryFrees);
}

TEST_F(RunLoopTest, ChangePasswordCallsTheServiceWhenPresent) {
    App().m_lpCmdLine = "/a";
    App().InitInstance();  // no MPR.DLL: nothing happens
    EXPECT_TRUE(g_changeProvider.empty());
    p.libraries["MPR.DLL"]["PwdChangePasswordA"] = (void*)&ChangeStub;
    App().InitInstance();
    EXPECT_EQ("SCRSAVE", g_changeProvider);
    EXPECT_EQ(GetDesktopWindow(), g_changeOwner);
    EXPECT_EQ(0u, p.WindowCount());
}

TEST_F(RunLoopTest, ConfigurationModeOpensNothing) {
    for (const char* cmd : {"", "/c", "/c:4711"}) {
        App().m_lpCmdLine = cmd;
        App().InitInstance();
        EXPECT_EQ(0, g_renderLog.inits) << cmd;
        EXPECT_EQ(0u, p.WindowCount());
    }
    EXPECT_FALSE(p.saverRunning);
}

TEST_F(RunLoopTest, PreviewWithoutANumberEndsAtOnce) {
    App().m_lpCmdLine = "/p";
    App().InitInstance();
    EXPECT_EQ(0, g_renderLog.inits);
}

}  // namespace
