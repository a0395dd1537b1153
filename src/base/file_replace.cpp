/* file_replace.cpp: writing a player's file so that a killed game never leaves it torn, and no
   link or special file at its name is written through. */
#include "base/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "base/game_paths.h"

namespace {

/* Makes sure a rename in the folder of path has reached the disk. */
void sync_folder(const char *path)
{
    int fd = open_folder_of(path, nullptr, 0);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

/* Makes a new file of a name nobody can foresee beside path (mkstemp creates it exclusively, so
   no link is followed), with the permissions of the regular file at path or those a plain
   create gives, and writes and syncs the bytes. Returns the errno, or 0 with the name in
   temp_path (GAME_PATH_SIZE + 16 bytes). */
int write_temp_beside(const char *path, const void *bytes, size_t length, char *temp_path)
{
    std::snprintf(temp_path, GAME_PATH_SIZE + 16, "%s.XXXXXX", path);
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
    if (error)
        unlink(temp_path);
    return error;
}

} // namespace

int open_folder_of(const char *path, char *folder, size_t size)
{
    char own[GAME_PATH_SIZE];
    if (!folder) {
        folder = own;
        size = sizeof own;
    }
    std::snprintf(folder, size, "%s", path);
    char *slash = std::strrchr(folder, '/');
    if (slash)
        *(slash == folder ? slash + 1 : slash) = '\0';
    else
        std::snprintf(folder, size, ".");
    return open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

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
    *failed = temp_path;
    int error = write_temp_beside(path, bytes, length, temp_path);
    if (error)
        return error;
    if (std::rename(temp_path, path) != 0) {
        error = errno;
        *failed = path;
        unlink(temp_path);
        return error;
    }
    sync_folder(path);
    return 0;
}

int file_create(const char *path, const void *bytes, size_t length, const char **failed)
{
    static char temp_path[GAME_PATH_SIZE + 16];
    *failed = temp_path;
    int error = write_temp_beside(path, bytes, length, temp_path);
    if (error)
        return error;
    // link() never replaces what stands at path, nor follows a link there.
    if (link(temp_path, path) != 0) {
        error = errno;
        *failed = path;
    }
    unlink(temp_path);
    if (!error)
        sync_folder(path);
    return error;
}

int file_overwrite_in_place(const char *path, const void *bytes, size_t length)
{
    int fd = open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat s;
    int error = fstat(fd, &s) == 0 ? 0 : errno;
    if (!error && !S_ISREG(s.st_mode))
        error = EINVAL;
    // One write at the start: the old bytes are never cut before the new ones stand there.
    const char *p = (const char *)bytes;
    size_t done = 0;
    while (!error && done < length) {
        ssize_t n = pwrite(fd, p + done, length - done, (off_t)done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error = n < 0 ? errno : ENOSPC;
        else
            done += (size_t)n;
    }
    if (!error && s.st_size > (off_t)length && ftruncate(fd, (off_t)length) != 0)
        error = errno;
    if (!error && fsync(fd) != 0)
        error = errno;
    // Read back: a disk that took the write but keeps other bytes is no save.
    char back[256];
    for (size_t at = 0; !error && at < length;) {
        size_t want = length - at < sizeof back ? length - at : sizeof back;
        ssize_t n = pread(fd, back, want, (off_t)at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || std::memcmp(back, p + at, (size_t)n) != 0)
            error = n < 0 ? errno : EIO;
        else
            at += (size_t)n;
    }
    if (close(fd) != 0 && !error)
        error = errno;
    return error;
}
