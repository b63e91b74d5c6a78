// Files on Windows: paths are used as they are (the backslash is native),
// in UTF-8 up to the wide-character calls, and a file is replaced by moving
// a fresh file over it.
#include <windows.h>
// <windows.h> names its own ReplaceFileA so; this file defines plat's.
#undef ReplaceFile

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file.h"
#include "platform/win32/utf16.h"

namespace plat {

std::string NativePath(const char* path) { return path ? path : ""; }

// Opens the disk file at path for reading, without waiting on anything
// else: a device ("CON", "COM1", "NUL" name devices in any folder), a pipe
// or a folder is refused.  INVALID_HANDLE_VALUE with *why set otherwise.
static HANDLE OpenDiskFile(const char* path, FileRead* why) {
    const DWORD attributes = GetFileAttributesW(Utf16(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *why = FileRead::NOT_A_FILE;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE h = CreateFileW(Utf16(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *why = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::MISSING
                                                                              : FileRead::FAILED;
        return INVALID_HANDLE_VALUE;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        *why = FileRead::NOT_A_FILE;
        return INVALID_HANDLE_VALUE;
    }
    *why = FileRead::OK;
    return h;
}

FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path || !mode) return nullptr;
    if (mode[0] != 'r') return _wfopen(Utf16(path).c_str(), Utf16(mode).c_str());
    FileRead why;
    HANDLE h = OpenDiskFile(path, &why);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    const int flags = _O_RDONLY | (std::strchr(mode, 'b') ? _O_BINARY : _O_TEXT);
    const int fd = _open_osfhandle((intptr_t)h, flags);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE* f = _fdopen(fd, mode);
    if (!f) _close(fd);
    return f;
}

FileRead ReadWholeFile(const std::string& path, size_t limit, std::string* text) {
    text->clear();
    FileRead result;
    HANDLE h = OpenDiskFile(path.c_str(), &result);
    if (h == INVALID_HANDLE_VALUE) return result;
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size) && (unsigned long long)size.QuadPart > limit) {
        CloseHandle(h);
        return FileRead::TOO_LARGE;
    }
    char buf[16384];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) {
            result = FileRead::FAILED;
            break;
        }
        if (n == 0) break;
        if (text->size() + n > limit) {
            result = FileRead::TOO_LARGE;
            break;
        }
        text->append(buf, n);
    }
    CloseHandle(h);
    if (result != FileRead::OK) text->clear();
    return result;
}

std::string TextFileContents(const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    return lines;
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Utf16(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool CanReplaceFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Utf16(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT));
}

// A new file beside path with a name nobody has: CREATE_NEW never opens an
// existing file, so no other file is overwritten.
static HANDLE CreateFreshFile(const std::string& path, std::string* name) {
    const unsigned seed = (unsigned)GetCurrentProcessId() * 2654435761u ^ GetTickCount();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", seed + attempt * 7919u);
        *name = path + suffix;
        HANDLE h = CreateFileW(Utf16(name->c_str()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
    if (!CanReplaceFile(path)) return false;
    std::string temp;
    HANDLE h = CreateFreshFile(path, &temp);
    if (h == INVALID_HANDLE_VALUE) return false;
    if (!WriteAndClose(h, contents) ||
        !MoveFileExW(Utf16(temp).c_str(), Utf16(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(Utf16(temp).c_str());
        return false;
    }
    return true;
}

std::string ResolvedPath(const std::string& path) {
    HANDLE h =
        CreateFileW(Utf16(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    std::wstring buf(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(h, &buf[0], (DWORD)buf.size(), FILE_NAME_NORMALIZED);
    CloseHandle(h);
    if (n == 0 || n >= buf.size()) return "";
    // Without the "\\?\" the call puts in front.
    std::string result = Utf8(buf.c_str());
    if (result.compare(0, 4, "\\\\?\\") == 0) result.erase(0, 4);
    return result;
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
    if (_wstat64(Utf16(path).c_str(), &st) != 0 || !(st.st_mode & _S_IFREG)) return -1;
    return (long long)st.st_size;
}

bool KeepUnderFreeName(const std::string& path, const std::string& suffix, size_t limit,
                       std::string* made) {
    std::string contents;
    const bool small = ReadWholeFile(path, limit, &contents) == FileRead::OK;
    for (int k = 1; k <= 1000; ++k) {
        const std::string name = path + suffix + (k == 1 ? "" : "-" + std::to_string(k));
        std::string kept;
        if (small && !IsLink(name) && ReadWholeFile(name, limit, &kept) == FileRead::OK &&
            kept == contents) {
            *made = name;
            return true;
        }
        // A second name for the same file costs no copy, whatever its size,
        // and never replaces a file that is there.
        if (CreateHardLinkW(Utf16(name).c_str(), Utf16(path).c_str(), nullptr)) {
            *made = name;
            return true;
        }
        const DWORD linkError = GetLastError();
        if (linkError == ERROR_ALREADY_EXISTS || linkError == ERROR_FILE_EXISTS) continue;
        if (!small) return false;
        // CREATE_NEW never opens a file that is there: nothing is overwritten.
        HANDLE h = CreateFileW(Utf16(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return false;
        }
        if (!WriteAndClose(h, contents)) {
            DeleteFileW(Utf16(name).c_str());
            return false;
        }
        *made = name;
        return true;
    }
    return false;
}

}  // namespace plat
