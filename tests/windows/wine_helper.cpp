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
//   wine_helper manifest PROGRAM
//       reads PROGRAM's application manifest as the loader does (an
//       activation context from its resource 1), prints the DPI settings it
//       declares and the file of the common controls it brings in;
//       exits with 1 when there is no manifest or it does not parse.
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

std::string ActCtxSetting(HANDLE context, const wchar_t* ns, const wchar_t* name) {
    wchar_t value[128] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, ns, name, value, 127, &written)) return "(none)";
    char utf8[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    return utf8;
}

int Manifest(const char* program) {
    wchar_t path[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, program, -1, path, MAX_PATH - 1);
    ACTCTXW actctx{};
    actctx.cbSize = sizeof actctx;
    actctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    actctx.lpSource = path;
    actctx.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = CreateActCtxW(&actctx);
    if (context == INVALID_HANDLE_VALUE) {
        std::printf("no manifest that parses (error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("dpiAware: %s\n",
                ActCtxSetting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                              L"dpiAware")
                    .c_str());
    std::printf("dpiAwareness: %s\n",
                ActCtxSetting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                              L"dpiAwareness")
                    .c_str());
    // The common controls the program's message boxes get: with the
    // version 6 dependency, the copy in the side-by-side store.
    ULONG_PTR cookie = 0;
    wchar_t comctlPath[MAX_PATH] = L"(none)";
    if (ActivateActCtx(context, &cookie)) {
        if (HMODULE comctl = LoadLibraryW(L"comctl32.dll")) {
            GetModuleFileNameW(comctl, comctlPath, MAX_PATH);
            FreeLibrary(comctl);
        }
        DeactivateActCtx(0, cookie);
    }
    char utf8[3 * MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, comctlPath, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    std::printf("common controls: %s\n", utf8);
    ReleaseActCtx(context);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "host") == 0) return Host(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "boxes") == 0)
        return Boxes(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "manifest") == 0) return Manifest(argv[2]);
    std::fprintf(stderr,
                 "usage: wine_helper host CLOSE-FILE | boxes COUNT SECONDS | manifest PROGRAM\n");
    return 2;
}
