#include "platform/native_platform.h"
#include "platform/platform.h"

namespace plat {

static Platform* g_installed = nullptr;

Platform& Current() {
    if (!g_installed) {
        static Platform* native = CreateNativePlatform();
        g_installed = native;
    }
    return *g_installed;
}

void Install(Platform* platform) { g_installed = platform; }

}  // namespace plat
