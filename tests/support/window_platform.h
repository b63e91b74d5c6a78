// The in-memory platform with a real swap into a GlTestWindow, for the tools
// and benchmarks that play the saver's frames on screen: the saver's message
// boxes are printed and counted.
#pragma once

#include <cstdio>

#include "platform/memory/memory_platform.h"
#include "tests/support/gl_test_window.h"

class WindowPlatform : public plat::MemoryPlatform {
public:
    explicit WindowPlatform(GlTestWindow& window) : window_(window) {}

    void MessageBox(plat::HWND, const char* text, const char* caption, unsigned) override {
        ++messages;
        std::fprintf(stderr, "message box [%s]: %s\n", caption ? caption : "", text ? text : "");
    }
    bool SwapBuffers(plat::HWND) override {
        window_.Swap();
        return true;
    }
    GlTestWindow& window() { return window_; }

    int messages = 0;

private:
    GlTestWindow& window_;
};
