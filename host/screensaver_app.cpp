#include "host/screensaver_app.h"

#include <cstdio>
#include <cstdlib>

#include <sstream>
#include <vector>

#include "host/hack_launch.h"
#include "host/run_mode.h"
#include "platform/globals.h"
#include "platform/signals.h"

using namespace plat;

bool CScreensaverApp::InitInstance() {
    // XScreenSaver's way of starting a hack comes first where there is
    // XScreenSaver: the substring tests below would misread its words.
    if (plat::HackLaunchFormAvailable()) {
        std::vector<std::string> args = m_args;
        if (args.empty()) {
            std::istringstream words(m_lpCmdLine);
            for (std::string w; words >> w;) args.push_back(w);
        }
        HackLaunch launch;
        std::string problem;
        switch (ParseHackLaunch(args, std::getenv("XSCREENSAVER_WINDOW"), &launch, &problem)) {
        case HACK_RUN:
            RunHack(launch);
            return false;
        case HACK_HELP:
            std::fputs(HackUsage(), stdout);
            std::fflush(stdout);
            return false;
        case HACK_VERSION:
            std::fputs(HackVersionLine().c_str(), stdout);
            std::fflush(stdout);
            return false;
        case HACK_BAD:
            std::fprintf(stderr, "wavendell: %s\n%s", problem.c_str(), HackUsage());
            std::fflush(stderr);
            m_exitStatus = 2;
            return false;
        case HACK_NOT_GIVEN:
            break;
        }
    }

    ReadStartupOptions();
    const std::string text = LowerCommandLine(m_lpCmdLine);
    const RunMode mode = ChooseRunMode(text);
    Platform& p = Current();
    p.SetScreenSaverRunning(true);
    switch (mode) {
    case MODE_SAVER:
        RunSaver();
        break;
    case MODE_CONFIGURE:
        Configure();
        break;
    case MODE_PREVIEW:
        RunPreview((HWND)PreviewHandleFrom(text));
        break;
    case MODE_TEST_PREVIEW: {
        HWND host = CreateTestPreviewWindow();
        RunPreview(host);
        DestroyWindow(host);
        break;
    }
    case MODE_CHANGE_PASSWORD:
        ChangePassword();
        break;
    }
    p.SetScreenSaverRunning(false);
    return false;
}

void CScreensaverApp::RunSaver() {
    HWND hwnd = CreateSaverWindow();
    if (!hwnd) return;
    Platform& p = Current();
    p.SetScreenSaverRunning(true);
    bool monitorOff = false;
    for (;;) {
        if (monitorOff || !IsWindow(hwnd)) {
            if (VerifyPassword(hwnd)) break;
        }
        SaverFrame();
        if (monitorOff) continue;
        // Drain the whole queue between two frames.
        MSG msg;
        bool any = false;
        while (PeekMessage(&msg, 0)) {
            any = true;
            if (msg.message == WM_SYSCOMMAND && msg.wParam == SC_MONITORPOWER && msg.lParam == 2)
                monitorOff = true;
            TranslateMessage(msg);
            DispatchMessage(msg);
            if (monitorOff) break;
        }
        if (!any && IsWindow(hwnd)) WaitForWork();
    }
    if (IsWindow(hwnd)) SendMessage(hwnd, WM_CLOSE, 0, 0);
    p.SetScreenSaverRunning(false);
    EndSaver();
}

// --- password services ---

typedef int (*VerifyScreenSavePwdFn)(HWND);
typedef int (*PwdChangePasswordFn)(const char*, HWND, uint32_t, void*);

bool CScreensaverApp::VerifyPassword(HWND hwnd) {
    Platform& p = Current();
    if (p.PlatformId() == VER_PLATFORM_WIN32_NT) return true;
    void* lib = p.LoadLibrary("PASSWORD.CPL");
    if (!lib) return false;
    auto verify = (VerifyScreenSavePwdFn)p.GetProcAddress(lib, "VerifyScreenSavePwd");
    if (!verify) {
        p.FreeLibrary(lib);
        return false;
    }
    ShowCursor(true);
    int ok = verify(hwnd);
    ShowCursor(false);
    p.FreeLibrary(lib);
    return ok == 1;
}

void CScreensaverApp::ChangePassword() {
    Platform& p = Current();
    void* lib = p.LoadLibrary("MPR.DLL");
    if (!lib) return;
    auto change = (PwdChangePasswordFn)p.GetProcAddress(lib, "PwdChangePasswordA");
    if (change) change("SCRSAVE", GetDesktopWindow(), 0, nullptr);
    p.FreeLibrary(lib);
}

// --- previews ---

void CScreensaverApp::WaitForWork() {
    const int32_t ms = MsUntilNextFrame();
    if (ms > 0) Current().WaitForEvents(ms);
}

void CScreensaverApp::RunHack(const HackLaunch& launch) {
    // The daemon ends a hack with SIGTERM, at any moment (a scene may be
    // loading): end at once, there is nothing to save.
    plat::EndProcessOnTerminationSignal();
    PrepareHack(launch);
    ReadStartupOptions();
    if (launch.ownWindow) {
        // Started by hand: a window of its own, which the user may resize
        // and close.
        HWND host = CreateHostWindow("Wavendell fountains");
        RunPreviewLoop(host, true);
        if (IsWindow(host)) DestroyWindow(host);
        return;
    }
    const HWND parent = launch.hasWindowId ? (HWND)launch.windowId : GetDesktopWindow();
    RunPreviewLoop(parent, true);
}

void CScreensaverApp::RunPreviewLoop(HWND parent, bool followParentSize) {
    if (!IsWindow(parent)) return;
    // Wait for the parent to be shown, serving its messages meanwhile.
    while (IsWindow(parent) && !IsWindowVisible(parent)) {
        MSG msg;
        while (PeekMessage(&msg, parent)) {
            TranslateMessage(msg);
            DispatchMessage(msg);
        }
        // Nobody tells us when another program shows its window: look again
        // shortly, without spinning.
        if (IsWindow(parent) && !IsWindowVisible(parent)) Current().WaitForEvents(10);
    }
    HWND child = CreatePreviewWindow(parent);
    if (!child) return;
    bool painting = true;
    int parentW = 0, parentH = 0;
    GetClientRect(parent, &parentW, &parentH);
    while (IsWindow(parent) && IsWindowVisible(parent) && IsWindow(child)) {
        if (followParentSize) {
            int w = parentW, h = parentH;
            if (GetClientRect(parent, &w, &h) && (w != parentW || h != parentH)) {
                parentW = w;
                parentH = h;
                Current().MoveWindow(child, 0, 0, w, h);
            }
        }
        if (painting) PreviewFrame();
        MSG msg;
        bool any = false;
        while (PeekMessage(&msg, 0)) {
            any = true;
            if (msg.message == WM_SYSCOMMAND && msg.wParam == SC_MONITORPOWER) {
                painting = false;
            } else if (msg.message == WM_PAINT && !painting) {
                ResumePreview();
                painting = true;
            }
            TranslateMessage(msg);
            DispatchMessage(msg);
        }
        if (!any && IsWindow(child)) {
            if (painting)
                WaitForWork();
            else
                Current().WaitForEvents(100);  // paused: only a paint matters
        }
    }
    if (IsWindow(child)) SendMessage(child, WM_CLOSE, 0, 0);
    EndPreview();
}

static const char kPreviewHostClass[] = "ScreensaverPreviewHelperClass";

HWND CScreensaverApp::CreateTestPreviewWindow() {
    return CreateHostWindow("Screensaver Preview Test");
}

HWND CScreensaverApp::CreateHostWindow(const char* title) {
    if (!g_run.previewHostClassRegistered)
        g_run.previewHostClassRegistered = RegisterClass(kPreviewHostClass, PreviewHostWindowProc,
                                                         CS_OWNDC | CS_HREDRAW | CS_VREDRAW);
    Platform& p = Current();
    const int W = p.ScreenWidth(), H = p.ScreenHeight();
    const int w = W / 4, h = H / 4;
    HWND host =
        CreateWindow(kPreviewHostClass, title, WS_CAPTION, (W - w) / 2, (H - h) / 2, w, h, 0);
    if (host) ShowWindow(host);
    return host;
}

LRESULT PreviewHostWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        Current().PaintBlack(hwnd);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}
