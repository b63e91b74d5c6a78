#include "platform/file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

bool ReplaceFile(const std::string& givenPath, const std::string& contents, int mode) {
    // A linked file is replaced where it lives, keeping the link.
    char resolved[PATH_MAX];
    const std::string path = realpath(givenPath.c_str(), resolved) ? resolved : givenPath;
    struct stat old;
    const bool existed = stat(path.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) return false;
    // A file this process may not write stays as it is, although the folder
    // would let a new one take its place.
    if (existed && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;

    // A name of its own beside the file, so no other file is overwritten.
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;
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
        return false;
    }
    return true;
}

bool CopyToFreeName(const std::string& path, const std::string& suffix, std::string* made) {
    const int in = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    std::string contents;
    char buf[65536];
    ssize_t n;
    while ((n = read(in, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(in);
            return false;
        }
        contents.append(buf, (size_t)n);
    }
    close(in);
    for (int k = 1; k <= 1000; ++k) {
        const std::string name = path + suffix + (k == 1 ? "" : "-" + std::to_string(k));
        const int out = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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
