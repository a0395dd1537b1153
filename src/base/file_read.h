/* file_read.h: opening a player's file for reading without ever waiting on a FIFO or a device. */
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

/* Opens the file at path for reading. What is not a regular file (a FIFO, a device, a folder, a
   socket) is refused without waiting for it, and so is a file larger than `limit` bytes. Returns
   the descriptor (reads block as usual), or -1: with fault empty when nothing is there (no
   file, a link to nothing, a missing folder), else with fault (size bytes) naming the path and
   what is wrong ("keys.cfg: not a regular file (a FIFO)"), and errno EINVAL (not a regular
   file), EFBIG (too large) or the system's. The one way every reader of the player's files opens
   them: the saves, records, lessons and settings, the demos, the maps, their solutions and the
   level folders' journal, in the game, the editor and the tools. */
int open_regular_file(const char *path, long long limit, char *fault, size_t size);

/* open_regular_file for the file `name` in the folder open as `folder` (AT_FDCWD for the
   working directory); `path` names it in the fault. */
int open_regular_file_at(int folder, const char *name, const char *path, long long limit,
                         char *fault, size_t size);

/* Reads the whole file at path, opened as open_regular_file does, into *bytes. Returns 1; 0
   when nothing is there (fault empty); -1 with fault naming the path, when it is refused or
   cannot be read. */
int read_regular_file(const char *path, long long limit, std::string *bytes, char *fault,
                      size_t size);

/* Reads from fd until `size` bytes or the end of the file, going on after a signal. Returns the
   bytes read, or -1 on a read error. */
long read_up_to(int fd, void *bytes, size_t size);

/* open_regular_file as a stream opened "r". Returns nullptr as it returns -1. */
FILE *fopen_regular(const char *path, long long limit, char *fault, size_t size);
