// The X11 platform where no display is reachable: everything that needs no
// window works, and windows simply fail.
#include <gtest/gtest.h>

#include <errno.h>
#include <time.h>
#include <unistd.h>

#include <memory>

#include "platform/x11/x11_platform.h"
#include "tests/support/scoped_env.h"

namespace {

using namespace plat;

LRESULT NoProc(HWND, uint32_t, WPARAM, LPARAM) { return 0; }

class X11HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Set("DISPLAY", ":4711");  // no server there
        x11.reset(CreateX11Platform());
    }
    ScopedEnv env;
    std::unique_ptr<Platform> x11;
};

TEST_F(X11HeadlessTest, MessageBoxIsOneLineOnStandardError) {
    testing::internal::CaptureStderr();
    x11->MessageBox(0, "Unable to load JPG File!", "Error", MB_OK);
    x11->MessageBox(0, "Error opening file for reading", "/data/options.xml", MB_ICONERROR);
    EXPECT_EQ(
        "Error: Unable to load JPG File!\n"
        "/data/options.xml: Error opening file for reading\n",
        testing::internal::GetCapturedStderr());
}

TEST_F(X11HeadlessTest, ClocksCountWallMilliseconds) {
    const int32_t start = x11->ProcessClockMs();
    EXPECT_GE(start, 0);
    EXPECT_LT(start, 1000);  // counted from the platform's start
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint32_t monotonic = (uint32_t)((int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
    EXPECT_LE(x11->TickCount() - monotonic, 50u);

    // Sleeping uses no processor time, yet the clock moves on.
    usleep(60 * 1000);
    const int32_t later = x11->ProcessClockMs();
    EXPECT_GE(later - start, 60);
    EXPECT_LT(later - start, 5000);
}

TEST_F(X11HeadlessTest, NtFamilyWithoutPasswordServices) {
    EXPECT_EQ(VER_PLATFORM_WIN32_NT, x11->PlatformId());
    EXPECT_EQ(nullptr, x11->LoadLibrary("PASSWORD.CPL"));
    EXPECT_EQ(nullptr, x11->LoadLibrary("MPR.DLL"));
    EXPECT_EQ(nullptr, x11->GetProcAddress(nullptr, "PwdChangePasswordA"));
    EXPECT_FALSE(x11->SetScreenSaverRunning(true));
    EXPECT_TRUE(x11->SetScreenSaverRunning(false));
    EXPECT_FALSE(x11->SetScreenSaverRunning(false));
}

TEST_F(X11HeadlessTest, WindowsFailWithoutADisplay) {
    // Nothing has needed the display yet.
    EXPECT_FALSE(x11->DisplayUnreachable());
    testing::internal::CaptureStderr();
    ASSERT_TRUE(x11->RegisterClass("C", NoProc));
    EXPECT_EQ(0u, x11->CreateWindow("C", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, 0));
    EXPECT_FALSE(x11->IsWindow(0x200001));
    EXPECT_FALSE(x11->IsWindowVisible(0x200001));
    int w = -1, h = -1;
    EXPECT_FALSE(x11->GetClientRect(0x200001, &w, &h));
    EXPECT_EQ(0, x11->ScreenWidth());
    EXPECT_EQ(0, x11->ScreenHeight());
    EXPECT_EQ(0u, x11->GetDesktopWindow());
    MSG msg;
    EXPECT_FALSE(x11->PeekMessage(&msg, 0));
    EXPECT_EQ(-1, x11->ShowCursor(false));
    EXPECT_EQ(0, x11->ShowCursor(true));
    // The failure to connect is told once, naming the display, and ends the
    // program with a failure status.
    EXPECT_EQ(
        std::string(program_invocation_short_name) + ": cannot open the X display \":4711\"\n",
        testing::internal::GetCapturedStderr());
    EXPECT_TRUE(x11->DisplayUnreachable());
}

TEST(X11Headless, WithoutDisplaySetTheMessageSaysSo) {
    ScopedEnv env;
    env.Unset("DISPLAY");
    std::unique_ptr<Platform> x11(CreateX11Platform());
    testing::internal::CaptureStderr();
    EXPECT_EQ(0u, x11->GetDesktopWindow());
    EXPECT_EQ(std::string(program_invocation_short_name) +
                  ": cannot open the X display (DISPLAY is not set)\n",
              testing::internal::GetCapturedStderr());
    EXPECT_TRUE(x11->DisplayUnreachable());
}

}  // namespace
