#include "platform/file.h"

#include <sys/stat.h>

#include <cstdarg>

namespace plat {

std::string NativePath(const char* path) {
    std::string s = path ? path : "";
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path || !mode) return nullptr;
    FILE* f = std::fopen(NativePath(path).c_str(), mode);
    // A folder (or a device) opens like a file here, and its length means
    // nothing: only regular files are read as content.
    struct stat st;
    if (f && mode[0] == 'r' && (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))) {
        std::fclose(f);
        return nullptr;
    }
    return f;
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
