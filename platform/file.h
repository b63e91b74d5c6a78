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
bool FormatPath(char* buf, size_t size, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));

// Replaces the file at path (following a symbolic link) with contents,
// never leaving a half-written file: the new text goes to a fresh file
// beside it, is flushed to the disk and renamed over the old one.  The new
// file gets the permissions mode when it is not negative, else the old
// file's (the default ones for a new file), and the old file's owner where
// this process may give it; Windows has no such permissions and no links
// to follow here, and a read-only file there is not replaced.  False, with
// nothing changed, on any failure.
bool ReplaceFile(const std::string& path, const std::string& contents, int mode = -1);

}  // namespace plat
