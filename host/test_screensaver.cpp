#include "host/test_screensaver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/data_directory.h"
#include "host/hack_launch.h"
#include "host/monitor_covers.h"
#include "host/saver_rendering.h"
#include "host/show_folder.h"
#include "options/options.h"
#include "platform/clock_ticks.h"
#include "platform/signals.h"

using namespace plat;

static const char kSaverClass[] = "TestScreensaverClass";

void CTestScreensaver::ReadStartupOptions() {
    FindDataDirectory();
    g_options.Load("options.xml");
}

HWND CTestScreensaver::CreateWindowFor(HWND parent) {
    if (!g_run.saverClassRegistered)
        g_run.saverClassRegistered =
            RegisterClass(kSaverClass, SaverWindowProc, CS_HREDRAW | CS_VREDRAW);
    Platform& p = Current();
    int w = 0, h = 0;
    if (g_fullScreen) {
        w = p.ScreenWidth();
        h = p.ScreenHeight();
    } else {
        GetClientRect(parent, &w, &h);
    }
    uint32_t style = g_fullScreen ? (WS_POPUP | WS_VISIBLE) : (WS_CHILD | WS_VISIBLE);
    // The other monitors are covered first, so that the saver window, made
    // last, has the focus.
    if (g_fullScreen) CoverOtherMonitors();
    // The handle is known to the window procedure before creation returns.
    m_hSaverWnd = CreateWindow(kSaverClass, "", style, 0, 0, w, h, g_fullScreen ? 0 : parent);
    if (!m_hSaverWnd && g_fullScreen) RemoveMonitorCovers();
    return m_hSaverWnd;
}

HWND CTestScreensaver::CreateSaverWindow() {
    g_fullScreen = true;
    return CreateWindowFor(0);
}

HWND CTestScreensaver::CreatePreviewWindow(HWND parent) {
    g_fullScreen = false;
    return CreateWindowFor(parent);
}

// Milliseconds since the last frame began.  A last frame that seems to lie
// ahead was drawn more than 24.8 days ago (the window was paused that
// long): it counts as long past.
static int32_t MsSinceLastFrame(int32_t clock) {
    const int32_t since = TickDiff(clock, g_lastFrameClock);
    return since < 0 ? INT32_MAX : since;
}

void PacedFrame() {
    const int32_t clock = ProcessClockMs();
    if (MsSinceLastFrame(clock) >= kFramePeriodMs) {
        saver_rendering::Frame();
        g_lastFrameClock = clock;
    }
}

// Text for a message line: tabs and line breaks written as \t, \n and \r.
static std::string Visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

void CTestScreensaver::PrepareHack(const HackLaunch& launch) {
    g_run.showFps = launch.fps;
    g_run.seedSalt = ProcessSeedSalt();
    g_run.trail = launch.trail;
    g_run.letterbox = launch.letterbox;
    g_run.showFolder[0] = '\0';
    g_run.notice[0] = '\0';
    g_run.noticeStarted = false;
    if (!launch.hasData) return;
    std::string used, dataDir, problem;
    if (FindShowFolder(launch.data, std::getenv("HOME"), &used, &dataDir, &problem)) {
        std::strcpy(g_run.showFolder, dataDir.c_str());  // fits: the check bounds it
        if (used != launch.data) {
            std::fprintf(stderr,
                         "wavendell: --data \"%s\" is no folder; playing \"%s\", the path "
                         "without the line break that wrapped it in XScreenSaver's settings\n",
                         Visible(launch.data).c_str(), used.c_str());
            std::fflush(stderr);
        }
    } else {
        std::fprintf(stderr, "wavendell: --data \"%s\": %s; playing the installed show instead\n",
                     Visible(used).c_str(), problem.c_str());
        std::snprintf(g_run.notice, sizeof g_run.notice,
                      "Show folder %s: %s; playing the installed show", Visible(used).c_str(),
                      problem.c_str());
        std::fflush(stderr);
    }
}

// The launch form's options win over the options file for this run; the
// file has been written back already, so they never reach it.
static void ApplyRunOptions() {
    if (g_run.trail >= 0) g_options.DoNotUseAccumBuffer = g_run.trail ? 0 : 1;
    if (g_run.letterbox >= 0) g_options.KeepAspect_1_6 = g_run.letterbox;
}

int32_t CTestScreensaver::MsUntilNextFrame() {
    const int32_t since = MsSinceLastFrame(ProcessClockMs());
    return since >= kFramePeriodMs ? 0 : kFramePeriodMs - since;
}

static void CloseWindow(HWND hwnd) { SendMessage(hwnd, WM_CLOSE, 0, 0); }

LRESULT SaverWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (g_fullScreen) ShowCursor(false);
        FindDataDirectory();
        g_options.Load("options.xml");
        g_options.Save("options.xml");
        ApplyRunOptions();
        g_saverDC = hwnd;
        saver_rendering::SetupPixelFormat(hwnd);
        g_saverGLRC = Current().CreateContext(hwnd);
        Current().MakeCurrent(hwnd, g_saverGLRC);
        saver_rendering::Init();
        return 0;

    case WM_DESTROY: {
        auto* app = static_cast<CTestScreensaver*>(CWinApp::Get());
        if (app) {
            if (g_fullScreen)
                app->EndSaver();
            else
                app->EndPreview();
        }
        if (g_fullScreen) {
            ShowCursor(true);
            RemoveMonitorCovers();
        }
        if (app) app->m_hSaverWnd = 0;
        return 0;
    }

    case WM_SIZE:
        saver_rendering::Resize((int)(uint16_t)(lParam & 0xFFFF),
                                (int)(uint16_t)((lParam >> 16) & 0xFFFF));
        return 0;

    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        // Losing the focus ends the saver, unless one of its own message
        // boxes took it (shown while the window is made, say).
        if (wParam == 0 && g_run.messageBoxesOpen == 0) CloseWindow(hwnd);
        return 0;

    case WM_NCDESTROY:
    case WM_SYSCOMMAND:
        return 0;

    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;

    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (g_fullScreen) CloseWindow(hwnd);
        return 0;

    case WM_MOUSEMOVE: {
        if (g_options.IgnoreMouseMove || !g_fullScreen) return 0;
        int x = (int16_t)(lParam & 0xFFFF);
        int y = (int16_t)((lParam >> 16) & 0xFFFF);
        if (g_firstMouseX == -1 || g_firstMouseY == -1) {
            g_firstMouseX = x;
            g_firstMouseY = y;
            return 0;
        }
        if (std::abs(g_firstMouseX - x) > 50 || std::abs(g_firstMouseY - y) > 50) CloseWindow(hwnd);
        return 0;
    }

    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}
