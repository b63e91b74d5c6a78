#include "platform/platform.h"
#include "render/rendering.h"

using namespace plat;

void SetupPixelFormat(HWND hwnd) {
    Platform& p = Current();
    g_saverDC = hwnd;
    static const uint8_t kAccumBits[3] = {64, 32, 0};
    PixelFormatDescriptor pfd;
    int index = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        pfd = PixelFormatDescriptor();
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.cColorBits = 32;
        pfd.cAccumBits = kAccumBits[attempt];
        pfd.cDepthBits = 32;
        index = p.ChoosePixelFormat(g_saverDC, pfd);
        p.DescribePixelFormat(g_saverDC, index, &pfd);
        if (!(pfd.dwFlags & PFD_GENERIC_FORMAT)) break;
        if (attempt == 2) index = 1;  // only generic formats: take the first
    }
    // A software rasteriser counts as the generic format: no trail unless
    // the run asks for it.
    g_run.formatHasAccum = pfd.cAccumBits != 0 && !(pfd.dwFlags & PFD_GENERIC_FORMAT);
    g_run.softwareRenderer = p.SoftwareRenderer(g_saverDC);
    g_accumAvailable = g_run.formatHasAccum && !g_run.softwareRenderer ? 1 : 0;
    if (index == 0) MessageBox(g_saverDC, "ChoosePixelFormat error", "Error", MB_ICONERROR);
    if (!p.SetPixelFormat(g_saverDC, index, pfd))
        MessageBox(g_saverDC, "SetPixelFormat error", "Error", MB_ICONERROR);
}
