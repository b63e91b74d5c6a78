#include "host/saver_rendering.h"

#include "render/rendering.h"

namespace saver_rendering {

void SetupPixelFormat(plat::HWND window) { ::SetupPixelFormat(window); }
void Init() { InitRendering(); }
void Resize(int width, int height) { ResizeViewport(width, height); }
void Frame() { RenderFrame(); }

}  // namespace saver_rendering
