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

// path as messages show it: native separators, one where the path was
// formed with two ("/data/\options.xml" becomes "/data/options.xml").
std::string DisplayPath(const char* path);

// fopen of the native form of path; nullptr for a null or empty path, and
// when reading anything but a regular file.  Opening to read never waits: a
// FIFO or a device is refused unopened.
FILE* OpenFile(const char* path, const char* mode);

// What reading a whole file found.
enum class FileRead { OK, MISSING, NOT_A_FILE, TOO_LARGE, FAILED };

// Reads the regular file at path (a native path) whole into *text when it
// holds at most limit bytes.  Anything else is refused without waiting and
// without being read: a FIFO, device, socket or folder (NOT_A_FILE), a
// larger file (TOO_LARGE).  *text is empty unless OK.
FileRead ReadWholeFile(const std::string& path, size_t limit, std::string* text);

// Whether path (native) is a symbolic link (on Windows: a reparse point),
// dangling or not.
bool IsLink(const std::string& path);

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

// Keeps the file at path under the first name among path + suffix,
// path + suffix + "-2", "-3", ... that holds the same contents already or
// that no file has yet, so no file is ever overwritten and a file kept once
// is not kept again; *made is that name.  The new name is a second link to
// the file where the file system has them (no copy, whatever the size),
// else a copy of a file of at most limit bytes.  False when it cannot be
// kept.
bool KeepUnderFreeName(const std::string& path, const std::string& suffix, size_t limit,
                       std::string* made);

// path (native) with every link and "." or ".." resolved; empty when it
// names nothing.
std::string ResolvedPath(const std::string& path);

// Whether path is absolute (names the same file whatever the working
// directory).
bool IsAbsolutePath(const char* path);

// text as a file opened in text mode holds it: on Windows each newline
// becomes CR LF; elsewhere text as it is.
std::string TextFileContents(const std::string& text);

// Whether ReplaceFile may replace path: it is a regular file this process
// may write, or there is none, and the folder takes new files.  Never a
// link.
bool CanReplaceFile(const std::string& path);

// Replaces the file at path with contents, never leaving a half-written
// file: the new text goes to a fresh file beside it, is flushed to the disk
// and renamed over the old one.  A termination signal meanwhile leaves the
// old file or the new one.  The new file gets the permissions mode when it
// is not negative, else the old file's (the default ones for a new file),
// and the old file's owner where this process may give it.  False, with
// nothing changed, on any failure and where CanReplaceFile says no.
bool ReplaceFile(const std::string& path, const std::string& contents, int mode = -1);

}  // namespace plat
