/* file_read.h: opening a player's file for reading without ever waiting on a FIFO or a device. */
#pragma once

#include <cstddef>
#include <cstdio>

/* Opens the file at path for reading. What is not a regular file (a FIFO, a device, a folder, a
   socket) is refused without waiting for it, and so is a file larger than `limit` bytes. Returns
   the descriptor (reads block as usual), or -1: with fault empty when nothing is there (no
   file, a link to nothing, a missing folder), else with fault (size bytes) naming the path and
   what is wrong ("keys.cfg: not a regular file (a FIFO)"). Used by every reader of the player's
   files: tirvex.sav, the records, wvideo.cfg, keys.cfg and the demos. */
int open_regular_file(const char *path, long long limit, char *fault, size_t size);

/* Reads from fd until `size` bytes or the end of the file, going on after a signal. Returns the
   bytes read, or -1 on a read error. */
long read_up_to(int fd, void *bytes, size_t size);

/* open_regular_file as a stream opened "r". Returns nullptr as it returns -1. */
FILE *fopen_regular(const char *path, long long limit, char *fault, size_t size);
