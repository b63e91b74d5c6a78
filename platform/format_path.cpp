#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/file.h"
#include "platform/globals.h"

namespace plat {

static bool FormatPathList(char* buf, size_t size, const char* prefix, const char* fmt,
                           va_list ap) {
    if (!buf || size == 0) return false;
    const size_t start = std::strlen(prefix);
    int n = -1;
    if (start < size) {
        std::memcpy(buf, prefix, start);
        n = std::vsnprintf(buf + start, size - start, fmt, ap);
    }
    if (n < 0 || start + (size_t)n >= size) {
        buf[0] = '\0';
        return false;
    }
    return true;
}

bool FormatPath(char* buf, size_t size, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    const bool ok = FormatPathList(buf, size, "", fmt, ap);
    va_end(ap);
    return ok;
}

bool FormatDataPath(char* buf, size_t size, const char* fmt, ...) {
    if (!g_dataDir[0]) {
        if (buf && size > 0) buf[0] = '\0';
        return false;
    }
    va_list ap;
    va_start(ap, fmt);
    const bool ok = FormatPathList(buf, size, g_dataDir, fmt, ap);
    va_end(ap);
    return ok;
}

}  // namespace plat

namespace plat {

std::string DisplayPath(const char* path) {
    const char separator = NativePath("\\")[0];
    std::string shown;
    for (char c : NativePath(path)) {
        if (c == '/' || c == '\\') {
            // One separator for two; a path's leading pair ("\\server") stays.
            if (!shown.empty() && shown.back() == separator && shown.size() > 1) continue;
            c = separator;
        }
        shown += c;
    }
    return shown;
}

}  // namespace plat
