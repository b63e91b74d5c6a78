#include "platform/platform.h"
#include "platform/x11_platform.h"

namespace plat {

static Platform* g_installed = nullptr;

Platform& Current() {
    if (!g_installed) {
        static Platform* x11 = CreateX11Platform();
        g_installed = x11;
    }
    return *g_installed;
}

void Install(Platform* platform) { g_installed = platform; }

}  // namespace plat
