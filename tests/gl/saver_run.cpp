#include "tests/gl/saver_run.h"

#include <GL/gl.h>

#include <chrono>

#include "host/data_directory.h"
#include "options/options.h"
#include "platform/x11/x11_platform.h"
#include "render/rendering.h"
#include "tests/support/render_seam.h"

namespace {

std::function<void(int)> g_script;
int g_frames = 0;
std::chrono::steady_clock::time_point g_deadline;
bool* g_timedOut = nullptr;
CTestScreensaver* g_app = nullptr;

void ScriptedFrame() {
    RenderFrame();
    ++g_frames;
    if (g_script) g_script(g_frames);
    if (std::chrono::steady_clock::now() > g_deadline && g_app && g_app->m_hSaverWnd) {
        *g_timedOut = true;
        plat::SendMessage(g_app->m_hSaverWnd, plat::WM_CLOSE, 0, 0);
    }
}

}  // namespace

void SaverRunTest::SetUp() {
    ASSERT_TRUE(user.ok()) << "no X display";
    env.Set("XDG_CONFIG_DIRS", install.path() + "xdg");
    env.Set("XDG_CONFIG_HOME", install.path() + "home");
    std::string dir = install.path();
    dir.pop_back();
    install.Write("xdg/CorvelScreenSavers/FreeWavendell", "Dir=" + dir + "\n");
    WriteOptions("");
    plat::Install(nullptr);
    ResetProcess();
    g_frames = 0;
    // Start with the pointer at a known place, inside the coming window.
    user.MovePointerTo(300, 300);
}

void SaverRunTest::TearDown() {
    g_script = nullptr;
    g_app = nullptr;
    app.reset();
    ResetProcess();
    g_renderCalls = RenderCalls();
}

void SaverRunTest::WriteOptions(const std::string& elements) {
    install.Write("data/options.xml", "<OPTIONS>" + elements + "</OPTIONS>");
}

void SaverRunTest::Run(std::function<void(int)> script, int timeoutMs) {
    app.reset(new CTestScreensaver());
    g_app = app.get();
    g_script = std::move(script);
    g_timedOut = &timedOut;
    g_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    g_renderCalls = RenderCalls();
    g_renderCalls.renderFrame = ScriptedFrame;
    app->RunSaver();
    g_script = nullptr;
    EXPECT_FALSE(timedOut) << "the saver did not end by itself";
}

plat::HWND SaverRunTest::SaverWindow() const { return app ? app->m_hSaverWnd : 0; }

unsigned long SaverRunTest::SaverXWindow() const { return plat::X11WindowOf(SaverWindow()); }

int SaverRunTest::frames() const { return g_frames; }

void ReadCentre(unsigned buffer, int w, int h, uint8_t rgba[4]) {
    glFinish();
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(w / 2, h / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
