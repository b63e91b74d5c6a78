#include "platform/file.h"

#include <cstdarg>

namespace plat {

std::string NativePath(const char* path) {
    std::string s = path ? path : "";
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path) return nullptr;
    return std::fopen(NativePath(path).c_str(), mode);
}

bool FormatPath(char* buf, size_t size, const char* fmt, ...) {
    if (!buf || size == 0) return false;
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, size, fmt, ap);
    va_end(ap);
    if (n < 0 || (size_t)n >= size) {
        buf[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace plat
