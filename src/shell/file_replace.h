/* file_replace.h: replacing a player's file so that a killed game never leaves it torn. */
#pragma once

#include <cstddef>

/* Writes all `length` bytes to fd and makes sure they reached the disk. Returns 0, or the errno.
   Used by file_replace and by the save file's write in place. */
int write_all_synced(int fd, const void *bytes, size_t length);

/* Replaces the file at path with `length` bytes: a new file of a name nobody can foresee is made
   beside it (no link or file at a fixed name is followed or truncated), with the old file's
   permissions or those a plain create gives, written and synced, renamed over the old one, and
   the folder synced. Returns 0, or the errno with the path it concerns in *failed (the new
   file's while making or writing it, path's when the rename fails); the old file is then as it
   was and the new one gone. Used by the save file and the records file. */
int file_replace(const char *path, const void *bytes, size_t length, const char **failed);
