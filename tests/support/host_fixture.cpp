#include "tests/support/host_fixture.h"

#include "host/data_directory.h"
#include "options/options.h"
#include "tests/support/render_seam.h"

RenderLog g_renderLog;

static void RecordSetup(plat::HWND) { ++g_renderLog.setups; }
static void RecordInit() { ++g_renderLog.inits; }
static void RecordResize(int w, int h) { g_renderLog.sizes.push_back({w, h}); }
static void RecordFrame() { ++g_renderLog.frames; }

void HostFixture::ResetState() {
    ResetProcess();
    g_renderCalls = RenderCalls{RecordSetup, RecordInit, RecordResize, RecordFrame};
}

void HostFixture::SetUp() {
    g_renderLog = RenderLog();
    ResetState();
    std::string dir = install.path();
    dir.pop_back();  // the registry value has no trailing separator
    p.registry["HKLM\\" + std::string(kProductKey)]["Dir"] = dir;
    WriteOptions(0);
}

void HostFixture::TearDown() {
    app.reset();
    ResetProcess();
    g_renderCalls = RenderCalls();
}

void HostFixture::WriteOptions(int ignoreMouseMove) {
    install.Write("data/options.xml", "<OPTIONS><IgnoreMouseMove v=\"" +
                                          std::to_string(ignoreMouseMove) + "\"/></OPTIONS>");
}

CTestScreensaver& HostFixture::App() {
    if (!app) app.reset(new CTestScreensaver());
    return *app;
}
