// A platform that lives in memory: no display, settable clocks, injected
// messages, recorded message boxes, cursor and saver-running flag.  The
// tests run the host logic on it, and the tools and benchmarks that play
// the show at a simulated pace set its tick.
#pragma once

#include <functional>

#include "platform/platform_base.h"

namespace plat {

class MemoryPlatform : public PlatformBase {
public:
    struct Box {
        HWND owner;
        std::string text, caption;
        unsigned type;
    };

    // --- what the tests set ---
    int screenW = 1024, screenH = 768;
    int platformId = VER_PLATFORM_WIN32_NT;
    int32_t processClock = 0;
    uint32_t tick = 0;
    // Registry: "HKLM\\key" or "HKCU\\key" -> (value name -> data).
    std::map<std::string, std::map<std::string, std::string>> registry;
    // Libraries by name -> (entry name -> function pointer).
    std::map<std::string, std::map<std::string, void*>> libraries;
    // Pixel formats offered: index-1 based list.  ChoosePixelFormat returns
    // the first whose accumulation depth is at most the request's, or 0.
    std::vector<PixelFormatDescriptor> formats;
    bool setPixelFormatResult = true;
    // Called on every PeekMessage, before the queue is looked at; lets a
    // test script events against the loop's turns.
    std::function<void()> onPump;

    // Foreign windows (parents given by handle).
    struct Foreign {
        bool visible = true;
        int w = 0, h = 0;
    };
    std::map<HWND, Foreign> foreign;

    // --- what the tests read ---
    std::map<std::string, uint32_t> classStyles;  // CS_ flags of each class
    std::vector<Box> boxes;
    std::vector<bool> saverRunningCalls;
    bool saverRunning = false;
    int cursorCount = 0;  // ShowCursor display counter
    int chosenFormat = 0;
    std::vector<std::string> libraryLoads;
    int pumps = 0;

    // Queues an input message as the native layer would.
    void Inject(HWND hwnd, uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0) {
        PostMessage(hwnd, message, wParam, lParam);
    }
    size_t QueueSize() const { return queue_.size(); }
    // Position and size of one of our windows; false when it is none.
    bool Geometry(HWND hwnd, int* x, int* y, int* w, int* h) const {
        auto it = windows_.find(hwnd);
        if (it == windows_.end()) return false;
        *x = it->second.x, *y = it->second.y, *w = it->second.w, *h = it->second.h;
        return true;
    }
    size_t WindowCount() const { return windows_.size(); }
    uint32_t StyleOf(HWND hwnd) const {
        auto it = windows_.find(hwnd);
        return it == windows_.end() ? 0 : it->second.style;
    }

    // Platform
    bool RegisterClass(const char* name, WNDPROC proc, uint32_t style = 0) override {
        if (!PlatformBase::RegisterClass(name, proc, style)) return false;
        classStyles[name] = style;
        return true;
    }
    HWND GetDesktopWindow() override { return 1; }
    // Waits asked for by the run loops; each advances the process clock by
    // the time asked, as a real wait would.
    std::vector<int32_t> waits;
    bool waitAdvancesClock = false;
    void WaitForEvents(int32_t ms) override {
        waits.push_back(ms);
        if (waitAdvancesClock && ms > 0) processClock = (int32_t)((uint32_t)processClock + ms);
    }
    void PaintBlack(HWND) override { ++blackPaints; }
    int blackPaints = 0;
    int ScreenWidth() override { return screenW; }
    int ScreenHeight() override { return screenH; }
    // Monitors a test sets; none: the one screen.
    std::vector<MonitorRect> monitors;
    int Monitors(MonitorRect* out, int capacity) override {
        if (monitors.empty()) return Platform::Monitors(out, capacity);
        for (int i = 0; i < capacity && i < (int)monitors.size(); ++i) out[i] = monitors[i];
        return (int)monitors.size();
    }
    int ShowCursor(bool show) override { return cursorCount += show ? 1 : -1; }
    void MessageBox(HWND owner, const char* text, const char* caption, unsigned type) override {
        boxes.push_back(Box{owner, text ? text : "", caption ? caption : "", type});
        if (onMessageBox) onMessageBox();
    }
    // Called while a box is open, as the system would deliver what it does
    // meanwhile (the focus moving to the box).
    std::function<void()> onMessageBox;
    bool OpenRegistryKey(Hive hive, const char* key) override;
    bool ReadRegistryValue(Hive hive, const char* key, const char* value, char* buf,
                           size_t size) override;
    bool SetScreenSaverRunning(bool running) override {
        bool was = saverRunning;
        saverRunning = running;
        saverRunningCalls.push_back(running);
        return was;
    }
    int PlatformId() override { return platformId; }
    void* LoadLibrary(const char* name) override;
    void* GetProcAddress(void* lib, const char* name) override;
    void FreeLibrary(void*) override { ++libraryFrees; }
    int libraryFrees = 0;
    int32_t ProcessClockMs() override { return processClock; }
    uint32_t TickCount() override { return tick; }
    int ChoosePixelFormat(HWND hwnd, const PixelFormatDescriptor& want) override;
    bool DescribePixelFormat(HWND hwnd, int index, PixelFormatDescriptor* out) override;
    bool SetPixelFormat(HWND, int index, const PixelFormatDescriptor&) override {
        chosenFormat = index;
        return setPixelFormatResult;
    }
    bool SoftwareRenderer(HWND) override { return softwareRenderer; }
    bool softwareRenderer = false;
    uintptr_t CreateContext(HWND) override { return 1; }
    bool MakeCurrent(HWND, uintptr_t) override { return true; }
    bool SwapBuffers(HWND) override { return true; }

protected:
    HWND NativeCreate(const Window&, const char* title) override {
        lastTitle = title;
        return nextHandle_++;
    }
    void NativeDestroy(HWND) override {}
    void NativeShow(HWND) override {}
    void PumpEvents() override {
        ++pumps;
        if (onPump) onPump();
    }
    bool ForeignIsWindow(HWND hwnd) override { return foreign.count(hwnd) != 0; }
    bool ForeignIsVisible(HWND hwnd) override { return foreign[hwnd].visible; }
    bool ForeignClientRect(HWND hwnd, int* r, int* b) override {
        auto it = foreign.find(hwnd);
        if (it == foreign.end()) return false;
        *r = it->second.w;
        *b = it->second.h;
        return true;
    }

public:
    std::string lastTitle;

private:
    HWND nextHandle_ = 0x1000;
};

}  // namespace plat
