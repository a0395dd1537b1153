/* file_lock.cpp: the lock two games on one folder take around changing a file there. */
#include "base/file_lock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "base/file_replace.h"
#include "base/game_paths.h"
#include "base/translation.h"

namespace {

/* Another game holds the lock only while it writes a small file, a fraction of a second even on
   a busy disk; a game stopped while holding it must not freeze this one for good. Ten seconds
   lie far beyond the first and are short enough for the second. */
const int LOCK_TRIES = 2000;
const long LOCK_PAUSE_NS = 5 * 1000 * 1000;

} // namespace

int lock_player_folder(const char *path)
{
    char folder[GAME_PATH_SIZE];
    int fd = open_folder_of(path, folder, sizeof folder);
    if (fd < 0)
        return -1;
    for (int tries = 0; tries < LOCK_TRIES; tries++) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        const timespec pause{0, LOCK_PAUSE_NS};
        nanosleep(&pause, nullptr);
    }
    std::fprintf(stderr, _("tirvex: %s: cannot lock the folder; writing without the lock\n"), folder);
    close(fd);
    return -1;
}

void unlock_player_folder(int handle)
{
    if (handle >= 0)
        close(handle);      // closing the only descriptor releases the flock
}
