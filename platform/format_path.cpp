#include <cstdarg>
#include <cstdio>

#include "platform/file.h"

namespace plat {

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
