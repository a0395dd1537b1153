/* file_replace.cpp: replacing a player's file so that a killed game never leaves it torn. */
#include "shell/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/game_paths.h"

namespace {

/* Makes sure a rename in the folder of path has reached the disk. */
void sync_folder(const char *path)
{
    char folder[GAME_PATH_SIZE];
    std::snprintf(folder, sizeof folder, "%s", path);
    char *slash = std::strrchr(folder, '/');
    if (slash)
        *(slash == folder ? slash + 1 : slash) = '\0';
    else
        std::snprintf(folder, sizeof folder, ".");
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

int write_all_synced(int fd, const void *bytes, size_t length)
{
    const char *p = (const char *)bytes;
    size_t done = 0;
    while (done < length) {
        ssize_t n = write(fd, p + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += (size_t)n;
    }
    return fsync(fd) == 0 ? 0 : errno;
}

int file_replace(const char *path, const void *bytes, size_t length, const char **failed)
{
    static char temp_path[GAME_PATH_SIZE + 16];
    std::snprintf(temp_path, sizeof temp_path, "%s.XXXXXX", path);
    *failed = temp_path;
    int fd = mkstemp(temp_path);
    if (fd < 0)
        return errno;
    // The new file gets the old one's permissions, or those a plain create would give.
    struct stat old;
    mode_t mode;
    if (lstat(path, &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    int error = fchmod(fd, mode) == 0 ? 0 : errno;
    if (!error)
        error = write_all_synced(fd, bytes, length);
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error && std::rename(temp_path, path) != 0) {
        error = errno;
        *failed = path;
    }
    if (error) {
        unlink(temp_path);
        return error;
    }
    sync_folder(path);
    return 0;
}
