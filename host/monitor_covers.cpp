#include "host/monitor_covers.h"

#include "host/test_screensaver.h"

using namespace plat;

static const char kCoverClass[] = "TestScreensaverCoverClass";

void CoverOtherMonitors() {
    RemoveMonitorCovers();
    if (!g_run.monitorCoverClassRegistered)
        g_run.monitorCoverClassRegistered =
            RegisterClass(kCoverClass, MonitorCoverWindowProc, CS_HREDRAW | CS_VREDRAW);
    if (!g_run.monitorCoverClassRegistered) return;
    MonitorRect monitors[RunState::kMaxMonitorCovers + 1];
    const int count = Current().Monitors(monitors, RunState::kMaxMonitorCovers + 1);
    for (int i = 0; i < count && i <= RunState::kMaxMonitorCovers; ++i) {
        const MonitorRect& m = monitors[i];
        if (m.primary || m.w <= 0 || m.h <= 0) continue;
        if (g_run.monitorCoverCount == RunState::kMaxMonitorCovers) break;
        const HWND cover =
            CreateWindow(kCoverClass, "", WS_POPUP | WS_VISIBLE, m.x, m.y, m.w, m.h, 0);
        if (cover) g_run.monitorCovers[g_run.monitorCoverCount++] = MonitorCover{cover, m.x, m.y};
    }
}

void RemoveMonitorCovers() {
    // Emptied first: a cover's messages while it goes find no list.
    const int count = g_run.monitorCoverCount;
    g_run.monitorCoverCount = 0;
    for (int i = 0; i < count; ++i) DestroyWindow(g_run.monitorCovers[i].hwnd);
}

static HWND SaverWindow() {
    auto* app = static_cast<CTestScreensaver*>(CWinApp::Get());
    return app ? app->m_hSaverWnd : 0;
}

LRESULT MonitorCoverWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Current().PaintBlack(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;

    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const HWND saver = SaverWindow();
        if (saver) SendMessage(saver, message, wParam, lParam);
        return 0;
    }
    case WM_MOUSEMOVE: {
        const HWND saver = SaverWindow();
        for (int i = 0; saver && i < g_run.monitorCoverCount; ++i) {
            const MonitorCover& c = g_run.monitorCovers[i];
            if (c.hwnd != hwnd) continue;
            const int x = (int16_t)(lParam & 0xFFFF) + c.x;
            const int y = (int16_t)((lParam >> 16) & 0xFFFF) + c.y;
            SendMessage(saver, WM_MOUSEMOVE, wParam, MakeLParam(x, y));
        }
        return 0;
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}
