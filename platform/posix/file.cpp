#include "platform/file.h"
#include "platform/posix/file_in_flight.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace plat {

// The temporary file of a replacement under way: a termination signal
// during a save removes it, leaving the old file or the new one.
static volatile char g_fileInFlight[PATH_MAX];
static volatile sig_atomic_t g_fileInFlightSet = 0;

void RemoveFileInFlight() {
    if (g_fileInFlightSet) unlink((const char*)g_fileInFlight);
}

std::string NativePath(const char* path) {
    std::string s = path ? path : "";
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

// Opens the regular file at path (native) for reading, without waiting: a
// FIFO, a device, a socket or a folder is refused before it could block the
// open or be read as content, and so is one put in a file's place between
// the look and the open.  -1 with *why set otherwise.
static int OpenRegular(const std::string& path, FileRead* why) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *why = errno == ENOENT || errno == ENOTDIR ? FileRead::MISSING : FileRead::FAILED;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = FileRead::NOT_A_FILE;
        return -1;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *why = errno == ENOENT ? FileRead::MISSING : FileRead::FAILED;
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        *why = S_ISREG(st.st_mode) ? FileRead::FAILED : FileRead::NOT_A_FILE;
        close(fd);
        return -1;
    }
    *why = FileRead::OK;
    return fd;
}

FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path || !mode) return nullptr;
    if (mode[0] != 'r') return std::fopen(NativePath(path).c_str(), mode);
    FileRead why;
    const int fd = OpenRegular(NativePath(path), &why);
    if (fd < 0) return nullptr;
    FILE* f = fdopen(fd, mode);
    if (!f) close(fd);
    return f;
}

FileRead ReadWholeFile(const std::string& path, size_t limit, std::string* text) {
    text->clear();
    FileRead result;
    const int fd = OpenRegular(path, &result);
    if (fd < 0) return result;
    struct stat st;
    if (fstat(fd, &st) == 0 && (unsigned long long)st.st_size > limit) {
        close(fd);
        return FileRead::TOO_LARGE;
    }
    char buf[16384];
    result = FileRead::OK;
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) result = FileRead::FAILED;
        if (n <= 0) break;
        if (text->size() + (size_t)n > limit) {  // grew while read
            result = FileRead::TOO_LARGE;
            break;
        }
        text->append(buf, (size_t)n);
    }
    close(fd);
    if (result != FileRead::OK) text->clear();
    return result;
}

std::string TextFileContents(const std::string& text) { return text; }

bool IsLink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

static std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool CanReplaceFile(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 &&
        (!S_ISREG(st.st_mode) || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0))
        return false;
    return faccessat(AT_FDCWD, FolderOf(path).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string ResolvedPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return "";
    const std::string result = resolved;
    std::free(resolved);
    return result;
}

bool IsAbsolutePath(const char* path) { return path && (path[0] == '/' || path[0] == '\\'); }

static bool WriteAll(int fd, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += (size_t)n;
    }
    return true;
}

static bool ReplaceRegularFile(const std::string& path, const std::string& contents, int mode);

bool ReplaceFile(const std::string& path, const std::string& contents, int mode) {
    // Termination waits until the file is replaced or left as it was; a
    // handler that ends the process meanwhile removes the temporary file.
    sigset_t termination, before;
    sigemptyset(&termination);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) sigaddset(&termination, s);
    pthread_sigmask(SIG_BLOCK, &termination, &before);
    const bool replaced = ReplaceRegularFile(path, contents, mode);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return replaced;
}

static bool ReplaceRegularFile(const std::string& path, const std::string& contents, int mode) {
    // Never through a link, and never over anything but a regular file.  A
    // file this process may not write stays as it is, although the folder
    // would let a new one take its place.
    if (!CanReplaceFile(path)) return false;
    struct stat old;
    const bool existed = lstat(path.c_str(), &old) == 0;

    // A name of its own beside the file, so no other file is overwritten,
    // known to the termination handler while it exists.
    const std::string pattern = path + ".XXXXXX";
    if (pattern.size() >= sizeof g_fileInFlight) return false;
    std::memcpy((char*)g_fileInFlight, pattern.c_str(), pattern.size() + 1);
    g_fileInFlightSet = 1;
    const int fd = mkstemp((char*)g_fileInFlight);
    if (fd < 0) {
        g_fileInFlightSet = 0;
        return false;
    }
    const std::string temp = (const char*)g_fileInFlight;
    mode_t perms;
    if (mode >= 0) {
        perms = (mode_t)mode & 07777;
    } else if (existed) {
        perms = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        perms = 0666 & ~mask;
    }
    bool ok = WriteAll(fd, contents) && fchmod(fd, perms) == 0;
    if (ok && existed && (old.st_uid != geteuid() || old.st_gid != getegid())) {
        // Only a privileged process may give the file away; otherwise it
        // becomes ours, as any rewrite would make it.
        if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        }
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        g_fileInFlightSet = 0;
        return false;
    }
    g_fileInFlightSet = 0;
    return true;
}

// Whether the regular file at name holds what the file at path holds.
static bool SameContents(const std::string& path, const std::string& name, size_t limit) {
    struct stat a, b;
    if (stat(path.c_str(), &a) != 0 || lstat(name.c_str(), &b) != 0 || !S_ISREG(b.st_mode))
        return false;
    if (a.st_dev == b.st_dev && a.st_ino == b.st_ino) return true;
    if (a.st_size != b.st_size) return false;
    std::string x, y;
    return ReadWholeFile(path, limit, &x) == FileRead::OK &&
           ReadWholeFile(name, limit, &y) == FileRead::OK && x == y;
}

bool KeepUnderFreeName(const std::string& path, const std::string& suffix, size_t limit,
                       std::string* made) {
    for (int k = 1; k <= 1000; ++k) {
        const std::string name = path + suffix + (k == 1 ? "" : "-" + std::to_string(k));
        if (SameContents(path, name, limit)) {
            *made = name;
            return true;
        }
        // A second name for the same file costs no copy, whatever its size,
        // and link() never replaces a file that is there.
        if (link(path.c_str(), name.c_str()) == 0) {
            *made = name;
            return true;
        }
        if (errno == EEXIST) continue;
        // No hard links here: a copy, of a file small enough to read.
        std::string contents;
        if (ReadWholeFile(path, limit, &contents) != FileRead::OK) return false;
        const int out =
            open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        struct stat st;
        if (stat(path.c_str(), &st) == 0) fchmod(out, st.st_mode & 0777);
        bool ok = WriteAll(out, contents);
        ok = fsync(out) == 0 && ok;
        ok = close(out) == 0 && ok;
        if (!ok) {
            unlink(name.c_str());
            return false;
        }
        *made = name;
        return true;
    }
    return false;
}

long long RegularFileSize(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return (long long)st.st_size;
}

}  // namespace plat
