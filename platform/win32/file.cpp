// Files on Windows: paths are used as they are (the backslash is native),
// and a file is replaced by moving a fresh file over it.
#include <windows.h>
// <windows.h> names its own ReplaceFileA so; this file defines plat's.
#undef ReplaceFile

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/file.h"

namespace plat {

std::string NativePath(const char* path) { return path ? path : ""; }

FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path || !mode) return nullptr;
    FILE* f = std::fopen(path, mode);
    // Only regular files are read as content (a device such as "NUL" opens
    // like a file).
    struct _stat64 st;
    if (f && mode[0] == 'r' && (_fstat64(_fileno(f), &st) != 0 || !(st.st_mode & _S_IFREG))) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

// A new file beside path with a name nobody has: CREATE_NEW never opens an
// existing file, so no other file is overwritten.
static HANDLE CreateFreshFile(const std::string& path, std::string* name) {
    const unsigned seed = (unsigned)GetCurrentProcessId() * 2654435761u ^ GetTickCount();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", seed + attempt * 7919u);
        *name = path + suffix;
        HANDLE h = CreateFileA(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

// Writes contents to h, flushes it to the disk and closes it.
static bool WriteAndClose(HANDLE h, const std::string& contents) {
    bool ok = true;
    for (size_t done = 0; ok && done < contents.size();) {
        const DWORD chunk = (DWORD)std::min<size_t>(contents.size() - done, 1u << 20);
        DWORD written = 0;
        ok = WriteFile(h, contents.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = FlushFileBuffers(h) && ok;
    return CloseHandle(h) && ok;
}

bool ReplaceFile(const std::string& path, const std::string& contents, int) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;
    std::string temp;
    HANDLE h = CreateFreshFile(path, &temp);
    if (h == INVALID_HANDLE_VALUE) return false;
    if (!WriteAndClose(h, contents) ||
        !MoveFileExA(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

bool IsAbsolutePath(const char* path) {
    if (!path) return false;
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    // "C:\..." or "\\server\share\..." (a path from the drive's root, "\x",
    // is taken as absolute too: it does not depend on the current folder).
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && separator(path[2]);
    return drive || separator(path[0]);
}

long long RegularFileSize(const std::string& path) {
    struct _stat64 st;
    if (_stat64(path.c_str(), &st) != 0 || !(st.st_mode & _S_IFREG)) return -1;
    return (long long)st.st_size;
}

bool CopyToFreeName(const std::string& path, const std::string& suffix, std::string* made) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    std::string contents;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) contents.append(buf, n);
    const bool readAll = !std::ferror(in);
    std::fclose(in);
    if (!readAll) return false;
    for (int k = 1; k <= 1000; ++k) {
        const std::string name = path + suffix + (k == 1 ? "" : "-" + std::to_string(k));
        // CREATE_NEW never opens a file that is there: nothing is overwritten.
        HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return false;
        }
        if (!WriteAndClose(h, contents)) {
            DeleteFileA(name.c_str());
            return false;
        }
        *made = name;
        return true;
    }
    return false;
}

}  // namespace plat
