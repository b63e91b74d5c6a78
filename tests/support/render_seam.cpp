#include "tests/support/render_seam.h"

#include "host/saver_rendering.h"
#include "render/rendering.h"

RenderCalls g_renderCalls;

namespace saver_rendering {

void SetupPixelFormat(plat::HWND window) {
    if (g_renderCalls.setupPixelFormat)
        g_renderCalls.setupPixelFormat(window);
    else
        ::SetupPixelFormat(window);
}

void Init() {
    if (g_renderCalls.initRendering)
        g_renderCalls.initRendering();
    else
        InitRendering();
}

void Resize(int width, int height) {
    if (g_renderCalls.resizeViewport)
        g_renderCalls.resizeViewport(width, height);
    else
        ResizeViewport(width, height);
}

void Frame() {
    if (g_renderCalls.renderFrame)
        g_renderCalls.renderFrame();
    else
        RenderFrame();
}

}  // namespace saver_rendering
