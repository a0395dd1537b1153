/* file_replace.h: writing a player's file so that a killed game never leaves it torn, and no link
   or special file standing at its name is ever written through. */
#pragma once

#include <cstddef>

/* Opens the folder that holds path ("." for a bare name) for reading, as a descriptor to sync or
   lock, with its name in folder (size bytes) when folder is given. Returns the descriptor, or -1
   with errno set. */
int open_folder_of(const char *path, char *folder, size_t size);

/* Writes all `length` bytes to fd and makes sure they reached the disk. Returns 0, or the errno.
   Used by file_replace and by the save file's write in place. */
int write_all_synced(int fd, const void *bytes, size_t length);

/* Replaces the file at path with `length` bytes: a new file of a name nobody can foresee is made
   beside it (no link or file at a fixed name is followed or truncated), with the old file's
   permissions or those a plain create gives, written and synced, renamed over the old one, and
   the folder synced. A link at path is replaced, never followed. Returns 0, or the errno with
   the path it concerns in *failed (the new file's while making or writing it, path's when the
   rename fails); the old file is then as it was and the new one gone. Used by the save file,
   the records file, wvideo.cfg, error.log and error.txt. */
int file_replace(const char *path, const void *bytes, size_t length, const char **failed);

/* Makes a new file at path holding `length` bytes, as file_replace does, except that it is
   linked into place only where nothing stands at path (a file, a link, a FIFO): then it returns
   EEXIST and makes nothing. Returns 0, or the errno with the path it concerns in *failed. Used
   by the screenshots and the one-time move of wvideo.cfg, which must never replace a file. */
int file_create(const char *path, const void *bytes, size_t length, const char **failed);

/* Overwrites the regular file at path in place with `length` bytes, for a folder that takes no
   new file: a link or anything but a regular file is refused (ELOOP, EINVAL); the old bytes are
   never cut first, the new ones go to the start in one write, what follows them is then cut,
   the file synced and read back. A kill leaves the old bytes or the new ones (a write within
   one page is done whole or not at all), or the new ones followed by old ones beyond them.
   Returns 0, or the errno (EIO when the bytes read back differ). Used by the save file. */
int file_overwrite_in_place(const char *path, const void *bytes, size_t length);
