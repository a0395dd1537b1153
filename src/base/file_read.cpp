/* file_read.cpp: opening a player's file for reading without ever waiting on a FIFO or a device. */
#include "base/file_read.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/translation.h"

namespace {

/* What a file that is not a regular one is, for the player. */
const char *kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return _("not a regular file (a folder)");
    if (S_ISFIFO(mode))
        return _("not a regular file (a FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return _("not a regular file (a device)");
    if (S_ISSOCK(mode))
        return _("not a regular file (a socket)");
    return _("not a regular file");
}

} // namespace

int open_regular_file(const char *path, long long limit, char *fault, size_t size)
{
    return open_regular_file_at(AT_FDCWD, path, path, limit, fault, size);
}

int open_regular_file_at(int folder, const char *name, const char *path, long long limit,
                         char *fault, size_t size)
{
    if (size)
        fault[0] = '\0';
    // O_NONBLOCK: opening a FIFO without a writer would wait for one. A link is followed for
    // reading (a player may keep the settings elsewhere); what it leads to must be a file.
    int fd = openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error != ENOENT && error != ENOTDIR)
            std::snprintf(fault, size, "%s: %s", path, std::strerror(error));
        errno = error;
        return -1;
    }
    struct stat s;
    int error = 0;
    if (fstat(fd, &s) != 0) {
        error = errno;
        std::snprintf(fault, size, "%s: %s", path, std::strerror(error));
    } else if (!S_ISREG(s.st_mode)) {
        error = EINVAL;
        std::snprintf(fault, size, "%s: %s", path, kind_of(s.st_mode));
    } else if ((long long)s.st_size > limit) {
        error = EFBIG;
        std::snprintf(fault, size, _("%s: larger than %lld bytes, too large to be one"), path, limit);
    } else {
        const int flags = fcntl(fd, F_GETFL);
        if (flags != -1)
            fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        return fd;
    }
    close(fd);
    errno = error;
    return -1;
}

int read_regular_file(const char *path, long long limit, std::string *bytes, char *fault,
                      size_t size)
{
    bytes->clear();
    const int fd = open_regular_file(path, limit, fault, size);
    if (fd < 0)
        return fault[0] ? -1 : 0;
    char block[65536];
    long got = 0;
    // A file grown since it was measured is read only to the limit and one byte more.
    while ((got = read_up_to(fd, block, sizeof block)) > 0 && (long long)bytes->size() <= limit)
        bytes->append(block, (size_t)got);
    const int error = errno;
    close(fd);
    if (got < 0)
        std::snprintf(fault, size, "%s: %s", path, std::strerror(error));
    else if ((long long)bytes->size() > limit)
        std::snprintf(fault, size, _("%s: larger than %lld bytes, too large to be one"), path, limit);
    else
        return 1;
    return -1;
}

FILE *fopen_regular(const char *path, long long limit, char *fault, size_t size)
{
    int fd = open_regular_file(path, limit, fault, size);
    if (fd < 0)
        return nullptr;
    FILE *file = fdopen(fd, "r");
    if (!file) {
        std::snprintf(fault, size, "%s: %s", path, std::strerror(errno));
        close(fd);
    }
    return file;
}

long read_up_to(int fd, void *bytes, size_t size)
{
    char *at = (char *)bytes;
    size_t got = 0;
    while (got < size) {
        const ssize_t n = read(fd, at + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += (size_t)n;
    }
    return (long)got;
}
