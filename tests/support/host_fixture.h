// A saver host on the in-memory platform: registry pointing at a temporary
// installation, an options file, and recording render calls instead of GL.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "host/test_screensaver.h"
#include "tests/support/test_support.h"

struct RenderLog {
    int setups = 0, inits = 0, frames = 0;
    std::vector<std::pair<int, int>> sizes;
};
extern RenderLog g_renderLog;

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Every global back at its start value, with recorders for the render
    // calls.
    void ResetState();
    // Writes data/options.xml with the given IgnoreMouseMove value.
    void WriteOptions(int ignoreMouseMove);
    // Constructs the application object.
    CTestScreensaver& App();

    MemoryPlatformScope scope;
    plat::MemoryPlatform& p = scope.platform;
    TempDir install;
    std::unique_ptr<CTestScreensaver> app;
};
