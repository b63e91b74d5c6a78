// Runs the real saver (CTestScreensaver::RunSaver on the X11 platform) in a
// temporary installation, with a script called after every frame.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "host/test_screensaver.h"
#include "tests/gl/x_test_input.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_support.h"

class SaverRunTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces data/options.xml with these option elements.
    void WriteOptions(const std::string& elements);

    // Runs the full-screen saver until it ends; script(n) runs after frame n
    // (from 1).  A run still going after timeoutMs is closed and fails.
    void Run(std::function<void(int frame)> script, int timeoutMs = 20000);

    // The saver window's handle and X window during the run.
    plat::HWND SaverWindow() const;
    unsigned long SaverXWindow() const;
    // Frames drawn so far in this test.
    int frames() const;

    TempDir install;
    ScopedEnv env;
    XTestUser user;
    std::unique_ptr<CTestScreensaver> app;
    bool timedOut = false;
};

// Reads the RGBA pixel at the window's centre from buffer (GL_FRONT or
// GL_BACK) of the current context.
void ReadCentre(unsigned buffer, int w, int h, uint8_t rgba[4]);
