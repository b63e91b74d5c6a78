#include "platform/x11/glx_swap_control.h"

#include <cstring>

namespace plat {

bool HasGlxExtension(const char* extensions, const char* extension) {
    if (!extensions || !extension || !*extension) return false;
    const size_t n = std::strlen(extension);
    for (const char* p = extensions; (p = std::strstr(p, extension)) != nullptr; p += n) {
        const bool startsWord = p == extensions || p[-1] == ' ';
        const bool endsWord = p[n] == ' ' || p[n] == '\0';
        if (startsWord && endsWord) return true;
    }
    return false;
}

SwapControl ChooseSwapControl(const char* extensions) {
    if (HasGlxExtension(extensions, "GLX_EXT_swap_control")) return SWAP_CONTROL_EXT;
    if (HasGlxExtension(extensions, "GLX_MESA_swap_control")) return SWAP_CONTROL_MESA;
    return SWAP_CONTROL_NONE;
}

const char* SwapControlName(SwapControl control) {
    switch (control) {
    case SWAP_CONTROL_EXT:
        return "GLX_EXT_swap_control";
    case SWAP_CONTROL_MESA:
        return "GLX_MESA_swap_control";
    default:
        return "none";
    }
}

}  // namespace plat
