// What the Wine tests (tests/windows/wine-test.sh) need on the Windows side:
//   wine_helper host CLOSE-FILE
//       shows a captioned window "Wavendell preview host" (400 x 300 client
//       area, painted black), prints its handle in decimal and serves it
//       until CLOSE-FILE exists, then destroys the window and exits with 0
//       (with 1 after two minutes without it).
//   wine_helper boxes COUNT SECONDS
//       waits for message boxes of any process, prints the caption and the
//       text of each ("caption: text"), presses its OK button, and exits
//       with 0 once COUNT were dismissed; with 1 when SECONDS pass first.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kHostClass[] = "WavendellPreviewHost";
const UINT_PTR kCloseTimer = 1;
std::string g_closeFile;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, (HBRUSH)GetStockObject(BLACK_BRUSH));
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kCloseTimer &&
            GetFileAttributesA(g_closeFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int Host(const char* closeFile) {
    g_closeFile = closeFile;
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = kHostClass;
    if (!RegisterClassA(&wc)) return 1;
    RECT r = {0, 0, 400, 300};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    AdjustWindowRect(&r, style, FALSE);
    HWND hwnd = CreateWindowA(kHostClass, "Wavendell preview host", style, 40, 40, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 1;
    std::printf("%llu\n", (unsigned long long)(uintptr_t)hwnd);
    std::fflush(stdout);
    SetTimer(hwnd, kCloseTimer, 100, nullptr);
    const DWORD start = GetTickCount();
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetTickCount() - start > 120000) return 1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
}

// A message box on the screen (a dialog of class "#32770").
HWND FindBox() {
    HWND box = FindWindowA("#32770", nullptr);
    return box && IsWindowVisible(box) ? box : nullptr;
}

std::string Caption(HWND box) {
    char buf[512] = "";
    GetWindowTextA(box, buf, sizeof buf);
    return buf;
}

// The box's text: its static control has the id 0xFFFF.
std::string BoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    char buf[512] = "";
    DWORD_PTR ignored = 0;
    if (text)
        SendMessageTimeoutA(text, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000,
                            &ignored);
    return buf;
}

int Boxes(int count, int seconds) {
    const DWORD start = GetTickCount();
    int dismissed = 0;
    HWND last = nullptr;
    while (dismissed < count) {
        if (GetTickCount() - start > (DWORD)seconds * 1000) {
            std::printf("%d of %d boxes seen\n", dismissed, count);
            return 1;
        }
        HWND box = FindBox();
        if (!box || box == last) {
            Sleep(100);
            continue;
        }
        std::printf("%s: %s\n", Caption(box).c_str(), BoxText(box).c_str());
        std::fflush(stdout);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        // Wait for it to go before looking for the next one.
        for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
        last = IsWindow(box) ? box : nullptr;
        ++dismissed;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "host") == 0) return Host(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "boxes") == 0)
        return Boxes(std::atoi(argv[2]), std::atoi(argv[3]));
    std::fprintf(stderr, "usage: wine_helper host CLOSE-FILE | boxes COUNT SECONDS\n");
    return 2;
}
