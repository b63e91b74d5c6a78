// The Win32 platform: the saver's windows, messages, GDI pixel formats and
// WGL contexts are Windows' own.
//
// Windows.  A plat HWND is the Windows handle itself, so handles given on
// the command line (the settings dialog's preview window, of another
// process) need no translation.  Each class the host registers is a real
// window class whose window procedure is one thunk: it finds the host's
// procedure by the window's class name on the window's first message and
// forwards every message to it.  Windows sends and posts the messages
// itself (WM_CREATE and WM_SIZE inside CreateWindow, WM_SYSCOMMAND with
// SC_MONITORPOWER as the system delivers it), so nothing is translated.
//
// Device contexts: GetDC of a window is taken once, when its pixel format
// is first asked about, and kept until the window is gone, as the saver
// draws into it every frame; the window's GL contexts go with it.
//
// Waiting: MsgWaitForMultipleObjects until a message arrives or a waitable
// timer is due, so the loops never spin a core and frames come on time
// (under Wine, with a precise sleep for the last 2 ms: see PreciseDelay).
//
// Monitors: EnumDisplayMonitors, in physical pixels (the manifest declares
// per-monitor DPI awareness).
#include "platform/native_platform.h"
#include "platform/platform.h"
#include "platform/win32/utf16.h"

// <windows.h> defines macros of the same names as the plat hives; these are
// taken before it hides them.
namespace {
const plat::Hive kMachineHive = plat::HKEY_LOCAL_MACHINE;
}

#include <windows.h>
// After <windows.h>: timeBeginPeriod.
#include <mmsystem.h>

#include <GL/gl.h>

#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

// The plat layer's functions share names with <windows.h>'s A/W macros;
// the Windows functions are called by their A names here.
#undef RegisterClass
#undef CreateWindow
#undef MessageBox
#undef PeekMessage
#undef DispatchMessage
#undef SendMessage
#undef DefWindowProc
#undef LoadLibrary

namespace plat {

namespace {

::HWND Native(HWND hwnd) { return reinterpret_cast<::HWND>(hwnd); }
HWND Plat(::HWND hwnd) { return reinterpret_cast<HWND>(hwnd); }

// Class names compare without regard to case, as Windows compares them.
std::string ClassKey(const char* name) {
    std::string key = name ? name : "";
    for (char& c : key) c = (char)std::tolower((unsigned char)c);
    return key;
}

// What the thunk knows: the host's procedure of each class, of each window
// (found on its first message), and each window's device context and GL
// contexts.  One per process, as window classes are.
struct WindowState {
    plat::WNDPROC proc = nullptr;
    HDC dc = nullptr;
    std::vector<HGLRC> contexts;
    std::set<HGLRC> unpaced;  // contexts whose swap interval was set
};
std::map<std::string, plat::WNDPROC> g_classes;
std::map<::HWND, WindowState> g_windows;

WindowState* StateOf(::HWND hwnd) {
    auto it = g_windows.find(hwnd);
    if (it != g_windows.end()) return &it->second;
    char name[256];
    if (!GetClassNameA(hwnd, name, sizeof name)) return nullptr;
    auto cls = g_classes.find(ClassKey(name));
    if (cls == g_classes.end()) return nullptr;
    WindowState& state = g_windows[hwnd];
    state.proc = cls->second;
    return &state;
}

// The window's own DC, taken on first need and kept.
HDC DcOf(HWND hwnd) {
    WindowState* state = StateOf(Native(hwnd));
    if (!state) return nullptr;
    if (!state->dc) state->dc = GetDC(Native(hwnd));
    return state->dc;
}

// A window going away takes its contexts and DC along; a context of it that
// is current stops being current first.
void ForgetWindow(::HWND hwnd) {
    auto it = g_windows.find(hwnd);
    if (it == g_windows.end()) return;
    WindowState& state = it->second;
    for (HGLRC context : state.contexts) {
        if (wglGetCurrentContext() == context) wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    }
    if (state.dc) ReleaseDC(hwnd, state.dc);
    g_windows.erase(it);
}

LRESULT CALLBACK Thunk(::HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowState* state = StateOf(hwnd);
    if (!state) return DefWindowProcA(hwnd, message, wParam, lParam);
    const LRESULT result = state->proc(Plat(hwnd), message, wParam, lParam);
    if (message == WM_NCDESTROY) ForgetWindow(hwnd);
    return result;
}

typedef const char*(WINAPI* GetExtensionsStringEXT)(void);
typedef const char*(WINAPI* GetExtensionsStringARB)(HDC);
typedef BOOL(WINAPI* SwapIntervalEXT)(int);

bool HasWord(const char* list, const char* word) {
    if (!list) return false;
    const size_t n = std::strlen(word);
    for (const char* p = list; (p = std::strstr(p, word)) != nullptr; p += n) {
        const bool starts = p == list || p[-1] == ' ';
        const bool ends = p[n] == '\0' || p[n] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

// Frames are paced by the saver's own clock: the current context swaps
// without waiting for the display where WGL_EXT_swap_control allows it.
void SwapWithoutWaiting(HDC dc) {
    auto ext = (GetExtensionsStringEXT)(void*)wglGetProcAddress("wglGetExtensionsStringEXT");
    auto arb = (GetExtensionsStringARB)(void*)wglGetProcAddress("wglGetExtensionsStringARB");
    const bool offered = (ext && HasWord(ext(), "WGL_EXT_swap_control")) ||
                         (arb && HasWord(arb(dc), "WGL_EXT_swap_control")) ||
                         HasWord((const char*)glGetString(GL_EXTENSIONS), "WGL_EXT_swap_control");
    if (!offered) return;
    auto swapInterval = (SwapIntervalEXT)(void*)wglGetProcAddress("wglSwapIntervalEXT");
    if (swapInterval) swapInterval(0);
}

PIXELFORMATDESCRIPTOR ToNative(const PixelFormatDescriptor& pfd) {
    PIXELFORMATDESCRIPTOR n{};
    n.nSize = sizeof n;
    n.nVersion = pfd.nVersion;
    n.dwFlags = pfd.dwFlags;
    n.iPixelType = pfd.iPixelType;
    n.cColorBits = pfd.cColorBits;
    n.cAccumBits = pfd.cAccumBits;
    n.cDepthBits = pfd.cDepthBits;
    n.iLayerType = pfd.iLayerType;
    return n;
}

int64_t CounterUs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / frequency.QuadPart * 1000000 +
           now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

int64_t CounterMs() { return CounterUs() / 1000; }

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// The timer the frame waits end on.  A wait with a timeout ends at the
// system's next timer tick, every 15.6 ms unless asked otherwise: a frame
// due in 11 ms would come after 15.6.  A high-resolution waitable timer
// (Windows 10 1803 on) ends when it is due; without one, an ordinary timer
// with the system's tick at 1 ms for the life of the run, put back as the
// process ends.
struct SystemTimerPeriod {
    bool raised = false;
    ~SystemTimerPeriod() {
        if (raised) timeEndPeriod(1);
    }
};
SystemTimerPeriod g_timerPeriod;

HANDLE FrameTimer() {
    static HANDLE timer = [] {
        HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
        if (!t) {
            g_timerPeriod.raised = timeBeginPeriod(1) == TIMERR_NOERROR;
            t = CreateWaitableTimerW(nullptr, FALSE, nullptr);
        }
        return t;
    }();
    return timer;
}

// Under Wine, every wait on a timer or the message queue ends in its server,
// which rounds the time left up to a whole millisecond: a frame due on the
// turn of a millisecond comes a reading late about one time in four.  Its
// NtDelayExecution, not alertable, is a select() to the microsecond instead.
// On Windows the high-resolution timer ends on time, and NtDelayExecution
// follows the coarse system tick, so there it is not used.  Wine is known by
// ntdll's wine_get_version.
using PreciseDelayFn = LONG(WINAPI*)(BOOLEAN alertable, const LARGE_INTEGER* interval);
constexpr int64_t kPreciseSleepUs = 2000;

PreciseDelayFn PreciseDelay() {
    static const PreciseDelayFn delay = []() -> PreciseDelayFn {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return nullptr;
        return reinterpret_cast<PreciseDelayFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtDelayExecution")));
    }();
    return delay;
}

// EnumDisplayMonitors's callback: each monitor's rectangle (physical
// pixels, the process being per-monitor DPI-aware) and whether it is the
// primary.
struct FoundMonitors {
    MonitorRect* out;
    int capacity, count;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* found = reinterpret_cast<FoundMonitors*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    if (found->count < found->capacity) {
        const RECT& r = info.rcMonitor;
        found->out[found->count] =
            MonitorRect{(int)r.left, (int)r.top, (int)(r.right - r.left), (int)(r.bottom - r.top),
                        (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
    }
    ++found->count;
    return TRUE;
}

class Win32Platform : public Platform {
public:
    Win32Platform() : instance_(GetModuleHandleA(nullptr)), startMs_(CounterMs()) {}

    // --- window classes and windows ---
    bool RegisterClass(const char* name, plat::WNDPROC proc, uint32_t style) override {
        if (!name || !proc) return false;
        WNDCLASSA wc{};
        wc.style = style;
        wc.lpfnWndProc = Thunk;
        wc.hInstance = instance_;
        wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        wc.hbrBackground = nullptr;
        wc.lpszClassName = name;
        if (!RegisterClassA(&wc)) return false;
        g_classes[ClassKey(name)] = proc;
        return true;
    }
    HWND CreateWindow(const char* className, const char* title, uint32_t style, int x, int y, int w,
                      int h, HWND parent) override {
        return Plat(CreateWindowExA(0, className, title ? title : "", style, x, y, w, h,
                                    Native(parent), nullptr, instance_, nullptr));
    }
    bool DestroyWindow(HWND hwnd) override { return ::DestroyWindow(Native(hwnd)) != 0; }
    bool IsWindow(HWND hwnd) override { return hwnd && ::IsWindow(Native(hwnd)); }
    bool IsWindowVisible(HWND hwnd) override { return hwnd && ::IsWindowVisible(Native(hwnd)); }
    bool ShowWindow(HWND hwnd) override { return ::ShowWindow(Native(hwnd), SW_SHOW) != 0; }
    bool GetClientRect(HWND hwnd, int* right, int* bottom) override {
        RECT r;
        if (!hwnd || !::GetClientRect(Native(hwnd), &r)) return false;
        *right = r.right;
        *bottom = r.bottom;
        return true;
    }
    HWND GetDesktopWindow() override { return Plat(::GetDesktopWindow()); }

    // --- messages ---
    bool PeekMessage(MSG* msg, HWND filter) override {
        if (!PeekMessageA(&last_, Native(filter), 0, 0, PM_REMOVE)) return false;
        *msg = MSG{Plat(last_.hwnd), last_.message, last_.wParam, last_.lParam};
        return true;
    }
    void TranslateMessage(const MSG& msg) override {
        const ::MSG native = NativeMsg(msg);
        ::TranslateMessage(&native);
    }
    LRESULT DispatchMessage(const MSG& msg) override {
        const ::MSG native = NativeMsg(msg);
        return DispatchMessageA(&native);
    }
    LRESULT SendMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override {
        return SendMessageA(Native(hwnd), message, wParam, lParam);
    }
    LRESULT DefWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProcA(Native(hwnd), message, wParam, lParam);
    }
    void PaintBlack(HWND hwnd) override {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Native(hwnd), &ps);
        if (!dc) return;
        FillRect(dc, &ps.rcPaint, (HBRUSH)GetStockObject(BLACK_BRUSH));
        EndPaint(Native(hwnd), &ps);
    }
    bool MoveWindow(HWND hwnd, int x, int y, int w, int h) override {
        return ::MoveWindow(Native(hwnd), x, y, w, h, TRUE) != 0;
    }
    void WaitForEvents(int32_t timeoutMs) override {
        if (timeoutMs <= 0) return;
        // The microsecond at which the clock turns to the reading asked for.
        const int64_t deadline = (CounterUs() / 1000 + timeoutMs) * 1000;
        const PreciseDelayFn precise = PreciseDelay();
        // Where waits on the queue end late, they end a little early and a
        // precise sleep takes the rest, leaving input unwatched that long.
        const int64_t early = precise ? kPreciseSleepUs : 0;
        const int64_t left = deadline - CounterUs();
        if (left > early) {
            HANDLE timer = FrameTimer();
            LARGE_INTEGER due;
            due.QuadPart = -(left - early) * 10;  // relative, in 100 ns
            DWORD woke;
            if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
                woke = MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT);
                if (woke == WAIT_OBJECT_0 + 1) return;  // a message
            } else {
                const DWORD ms = (DWORD)((left - early + 999) / 1000);
                woke = MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
                if (woke == WAIT_OBJECT_0) return;  // a message
            }
        }
        if (!precise) return;
        const int64_t rest = deadline - CounterUs();
        if (rest <= 0) return;
        LARGE_INTEGER delay;
        delay.QuadPart = -rest * 10;
        precise(FALSE, &delay);
    }

    // --- screen, cursor, message boxes ---
    int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
    int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
    int Monitors(MonitorRect* out, int capacity) override {
        FoundMonitors found{out, capacity, 0};
        if (!EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&found)) ||
            found.count == 0)
            return Platform::Monitors(out, capacity);
        return found.count;
    }
    int ShowCursor(bool show) override { return ::ShowCursor(show ? TRUE : FALSE); }
    void MessageBox(HWND owner, const char* text, const char* caption, unsigned type) override {
        MessageBoxW(Native(owner), Utf16(text).c_str(), Utf16(caption).c_str(), type);
    }

    // --- registry ---
    bool OpenRegistryKey(Hive hive, const char* key) override {
        HKEY k;
        if (RegOpenKeyExA(Root(hive), key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }
    bool ReadRegistryValue(Hive hive, const char* key, const char* value, char* buf,
                           size_t size) override {
        if (!buf || size == 0) return false;
        HKEY k;
        if (RegOpenKeyExW(Root(hive), Utf16(key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        // Room for a value stored without its terminator, which still reads
        // as a string.
        std::wstring text(4096, L'\0');
        DWORD type = 0, bytes = (DWORD)((text.size() - 1) * sizeof(wchar_t));
        const LONG status =
            RegQueryValueExW(k, Utf16(value).c_str(), nullptr, &type, (BYTE*)&text[0], &bytes);
        RegCloseKey(k);
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        text.resize(bytes / sizeof(wchar_t));
        text = text.c_str();  // up to the terminator
        if (type == REG_EXPAND_SZ) {
            // "%ProgramFiles%\..." as administrators deploy it.
            const DWORD n = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
            std::wstring expanded(n, L'\0');
            if (n == 0 || ExpandEnvironmentStringsW(text.c_str(), &expanded[0], n) != n)
                return false;
            text = expanded.c_str();
        }
        const std::string utf8 = Utf8(text.c_str());
        if (utf8.size() + 1 > size) return false;
        std::memcpy(buf, utf8.c_str(), utf8.size() + 1);
        return true;
    }

    // --- system ---
    bool SetScreenSaverRunning(bool running) override {
        BOOL old = FALSE;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &old, 0);
        return old != FALSE;
    }
    int PlatformId() override {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info)) return 0;
        return (int)info.dwPlatformId;
    }
    void* LoadLibrary(const char* name) override { return (void*)LoadLibraryA(name); }
    void* GetProcAddress(void* lib, const char* name) override {
        if (!lib) return nullptr;
        return (void*)::GetProcAddress((HMODULE)lib, name);
    }
    void FreeLibrary(void* lib) override {
        if (lib) ::FreeLibrary((HMODULE)lib);
    }

    // --- clocks ---
    int32_t ProcessClockMs() override { return (int32_t)(uint32_t)(CounterMs() - startMs_); }
    uint32_t TickCount() override { return GetTickCount(); }

    // --- GL ---
    int ChoosePixelFormat(HWND hwnd, const PixelFormatDescriptor& want) override {
        HDC dc = DcOf(hwnd);
        if (!dc) return 0;
        const PIXELFORMATDESCRIPTOR native = ToNative(want);
        return ::ChoosePixelFormat(dc, &native);
    }
    bool DescribePixelFormat(HWND hwnd, int index, PixelFormatDescriptor* out) override {
        HDC dc = DcOf(hwnd);
        PIXELFORMATDESCRIPTOR n{};
        if (!dc || !::DescribePixelFormat(dc, index, sizeof n, &n)) return false;
        out->nSize = n.nSize;
        out->nVersion = n.nVersion;
        out->dwFlags = n.dwFlags;
        out->iPixelType = n.iPixelType;
        out->cColorBits = n.cColorBits;
        out->cAccumBits = n.cAccumBits;
        out->cDepthBits = n.cDepthBits;
        out->iLayerType = n.iLayerType;
        return true;
    }
    bool SetPixelFormat(HWND hwnd, int index, const PixelFormatDescriptor& pfd) override {
        HDC dc = DcOf(hwnd);
        const PIXELFORMATDESCRIPTOR native = ToNative(pfd);
        return dc && ::SetPixelFormat(dc, index, &native);
    }
    uintptr_t CreateContext(HWND hwnd) override {
        HDC dc = DcOf(hwnd);
        HGLRC context = dc ? wglCreateContext(dc) : nullptr;
        if (context) StateOf(Native(hwnd))->contexts.push_back(context);
        return (uintptr_t)context;
    }
    bool MakeCurrent(HWND hwnd, uintptr_t context) override {
        if (!hwnd && !context) return wglMakeCurrent(nullptr, nullptr) != 0;
        HDC dc = DcOf(hwnd);
        if (!dc || !context || !wglMakeCurrent(dc, (HGLRC)context)) return false;
        if (StateOf(Native(hwnd))->unpaced.insert((HGLRC)context).second) SwapWithoutWaiting(dc);
        return true;
    }
    // Windows' own software implementation is told by its formats (the
    // generic ones); another driver's is told by its renderer's name.
    bool SoftwareRenderer(HWND) override { return false; }
    bool SwapBuffers(HWND hwnd) override {
        auto it = g_windows.find(Native(hwnd));
        return it != g_windows.end() && it->second.dc && ::SwapBuffers(it->second.dc);
    }

private:
    static HKEY Root(Hive hive) {
        return hive == kMachineHive ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    }
    // The message as Windows knows it: the one just taken from the queue
    // (with its time and cursor position), else one made of its fields.
    ::MSG NativeMsg(const MSG& msg) const {
        if (Plat(last_.hwnd) == msg.hwnd && last_.message == msg.message &&
            last_.wParam == msg.wParam && last_.lParam == msg.lParam)
            return last_;
        ::MSG native{};
        native.hwnd = Native(msg.hwnd);
        native.message = msg.message;
        native.wParam = msg.wParam;
        native.lParam = msg.lParam;
        native.time = (DWORD)GetMessageTime();
        return native;
    }

    HINSTANCE instance_;
    const int64_t startMs_;
    ::MSG last_{};
};

}  // namespace

Platform* CreateNativePlatform() { return new Win32Platform(); }

int32_t ElapsedTimeMs() { return Current().ProcessClockMs(); }

}  // namespace plat
