/* video_config.h: reading and writing "wvideo.cfg", the graphics mode the player chose. */
#pragma once

#include <cstddef>

/* The content of "wvideo.cfg": one line "driver width height". */
struct VideoConfig {
    int driver;     /* the library's graphics driver id as gfx_mode_select returns it */
    int width;      /* pixels */
    int height;     /* pixels */
};

/* Driver 1 (the library's full-screen autodetect) at 640 x 480: the mode without a file. */
extern const VideoConfig default_video_config;

/* Reads the configuration at path over the defaults; a missing file or a value that cannot be
   read keeps its default, as do the values after it. A number too large for an int is not
   read, and what is not a regular file (a FIFO, a device) or is over 4 KB is not read at all:
   note (note_size bytes, when given) then names the file and the fault. Never fails, never
   waits. */
VideoConfig read_video_config(const char *path, char *note = nullptr, size_t note_size = 0);

/* Writes config to path as "%d %d %d\n", through a new file renamed over it (file_replace), so
   no link at path is followed and a kill leaves the old file or the new. Returns 1, or 0 when
   the file cannot be written. */
int write_video_config(const char *path, const VideoConfig *config);
