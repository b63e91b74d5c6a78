// Where the display renders only indirectly (GLX protocol executed by the X
// server), every format is the generic one: the saver takes format 1 and
// draws without the trail.  Runs against a private Xvfb that allows
// indirect GLX.
#include <gtest/gtest.h>  // first: before the X headers' macros

#include <GL/glx.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/x11/x11_platform.h"
#include "render/rendering.h"
#include "tests/gl/child_process.h"
#include "tests/support/test_support.h"

namespace {

using namespace plat;

LRESULT QuietProc(HWND, uint32_t, WPARAM, LPARAM) { return 0; }

// Exit codes of the check run in a child process.
enum { kGeneric = 0, kNoWindow = 2, kTrailOn = 3, kNotFormatOne = 4, kNoContext = 5 };

[[noreturn]] void CheckIndirectDisplay(const std::string& display) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("LIBGL_ALWAYS_INDIRECT", "1", 1);
    Platform* x11 = CreateX11Platform();
    Install(x11);
    RegisterClass("GenericFormatProbe", QuietProc);
    const HWND hwnd =
        CreateWindow("GenericFormatProbe", "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, 0);
    if (!hwnd) _exit(kNoWindow);
    g_accumAvailable = 1;
    SetupPixelFormat(hwnd);
    if (g_accumAvailable != 0) _exit(kTrailOn);
    // Format 1 was set: no other index is accepted any more.
    PixelFormatDescriptor any;
    if (!x11->SetPixelFormat(hwnd, 1, any) || x11->SetPixelFormat(hwnd, 2, any))
        _exit(kNotFormatOne);
    const uintptr_t ctx = x11->CreateContext(hwnd);
    if (!ctx || !x11->MakeCurrent(hwnd, ctx)) _exit(kNoContext);
    _exit(kGeneric);
}

TEST(GenericFormat, IndirectRenderingIsTheGenericFormatWithoutATrail) {
    // A private server that allows indirect GLX.
    TempDir logs;
    ChildProcess xvfb;
    std::string display;
    for (int n = 160; n < 200 && display.empty(); ++n) {
        if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
        ASSERT_TRUE(xvfb.Start(
            "/usr/bin/Xvfb",
            {":" + std::to_string(n), "+iglx", "-nolisten", "tcp", "-screen", "0", "320x240x24"},
            {}, logs.path() + "out", logs.path() + "err"));
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        for (int i = 0; i < 100 && display.empty(); ++i) {
            if (access(socket.c_str(), F_OK) == 0) display = ":" + std::to_string(n);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    if (display.empty()) GTEST_SKIP() << "could not start Xvfb";
    EXPECT_EXIT(CheckIndirectDisplay(display), ::testing::ExitedWithCode(kGeneric), "");
}

}  // namespace
