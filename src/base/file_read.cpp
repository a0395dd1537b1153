/* file_read.cpp: opening a player's file for reading without ever waiting on a FIFO or a device. */
#include "base/file_read.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/* What a file that is not a regular one is, for the player. */
const char *kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return "not a regular file (a folder)";
    if (S_ISFIFO(mode))
        return "not a regular file (a FIFO)";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "not a regular file (a device)";
    if (S_ISSOCK(mode))
        return "not a regular file (a socket)";
    return "not a regular file";
}

} // namespace

int open_regular_file(const char *path, long long limit, char *fault, size_t size)
{
    if (size)
        fault[0] = '\0';
    // O_NONBLOCK: opening a FIFO without a writer would wait for one. A link is followed for
    // reading (a player may keep the settings elsewhere); what it leads to must be a file.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            std::snprintf(fault, size, "%s: %s", path, std::strerror(errno));
        return -1;
    }
    struct stat s;
    if (fstat(fd, &s) != 0) {
        std::snprintf(fault, size, "%s: %s", path, std::strerror(errno));
    } else if (!S_ISREG(s.st_mode)) {
        std::snprintf(fault, size, "%s: %s", path, kind_of(s.st_mode));
    } else if ((long long)s.st_size > limit) {
        std::snprintf(fault, size, "%s: larger than %lld bytes, too large to be one", path, limit);
    } else {
        const int flags = fcntl(fd, F_GETFL);
        if (flags != -1)
            fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        return fd;
    }
    close(fd);
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
