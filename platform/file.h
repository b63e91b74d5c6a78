// Files named the way the content refers to them: paths are formed with
// backslash separators and opened here with the native separator (a slash
// on Linux; on Windows the backslash is native).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace plat {

// The native form of a path: on Linux every backslash becomes a slash; on
// Windows the path as it is.
std::string NativePath(const char* path);

// fopen of the native form of path; nullptr for a null or empty path, and
// when reading anything but a regular file.
FILE* OpenFile(const char* path, const char* mode);

// snprintf into a fixed path buffer.  False when the result does not fit
// (the buffer then holds an empty string), so an over-long path is treated
// as a file that cannot be opened rather than cut.
bool FormatPath(char* buf, size_t size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

// FormatPath for a file of the data folder: g_dataDir followed by what fmt
// makes.  False, with an empty buffer, when there is no data directory:
// without one there is no data folder, and nothing is read from or written
// to any folder in its place.
bool FormatDataPath(char* buf, size_t size, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));

// Size in bytes of the regular file at path (a native path), or -1 when
// there is none.
long long RegularFileSize(const std::string& path);

// Copies the file at path to the first name among path + suffix,
// path + suffix + "-2", "-3", ... that no file has yet, so no file is ever
// overwritten; *made is that name.  False when the file cannot be read or
// no copy could be written.
bool CopyToFreeName(const std::string& path, const std::string& suffix, std::string* made);

// Whether path is absolute (names the same file whatever the working
// directory).
bool IsAbsolutePath(const char* path);

// Replaces the file at path (following a symbolic link) with contents,
// never leaving a half-written file: the new text goes to a fresh file
// beside it, is flushed to the disk and renamed over the old one.  The new
// file gets the permissions mode when it is not negative, else the old
// file's (the default ones for a new file), and the old file's owner where
// this process may give it.  A file this process may not write is left
// alone (on Windows: a read-only file).  False, with nothing changed, on
// any failure.
bool ReplaceFile(const std::string& path, const std::string& contents, int mode = -1);

}  // namespace plat
