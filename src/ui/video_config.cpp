/* video_config.cpp: reading and writing "wvideo.cfg", the graphics mode the player chose. */
#include "ui/video_config.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_read.h"
#include "base/file_replace.h"
#include "base/game_paths.h"

const VideoConfig default_video_config = {GFX_AUTODETECT_FULLSCREEN, 640, 480};

namespace {

/* Three numbers of a line; anything far larger is not a settings file. */
const long long CONFIG_SIZE_LIMIT = 4096;

/* Reads one decimal integer as the C library's %d conversion does (white space, a sign,
   digits), but refuses one that does not fit an int instead of leaving it undefined. Returns
   1 with the value, 0 when there is no number here, -1 when it is too large. */
int read_config_number(FILE *file, int *value)
{
    int c = std::fgetc(file);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
        c = std::fgetc(file);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::fgetc(file);
    }
    if (c < '0' || c > '9')
        return 0;
    long long magnitude = 0;
    bool too_large = false;
    while (c >= '0' && c <= '9') {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) {
            too_large = true;
            magnitude = 2147483648LL;
        }
        c = std::fgetc(file);
    }
    const long long signed_value = negative ? -magnitude : magnitude;
    if (too_large || signed_value > 2147483647LL)
        return -1;
    *value = (int)signed_value;
    return 1;
}

} // namespace

VideoConfig read_video_config(const char *path, char *note, size_t note_size)
{
    VideoConfig config = default_video_config;
    if (note && note_size)
        note[0] = '\0';
    char fault[GAME_PATH_SIZE + 96];
    FILE *file = fopen_regular(path, CONFIG_SIZE_LIMIT, fault, sizeof fault);
    if (!file) {
        if (fault[0] && note && note_size)
            std::snprintf(note, note_size, "%s; the default mode is used", fault);
        return config;
    }
    // As with "%d %d %d": reading stops at the first value that cannot be read, which keeps its
    // default, as do the values after it.
    int *const fields[3] = {&config.driver, &config.width, &config.height};
    const char *const names[3] = {"driver", "width", "height"};
    for (int i = 0; i < 3; i++) {
        int value = 0;
        const int read = read_config_number(file, &value);
        if (read == 1) {
            *fields[i] = value;
            continue;
        }
        if (read < 0 && note && note_size)
            std::snprintf(note, note_size, "%s: the %s is too large a number; the default %d is kept",
                          path, names[i], *fields[i]);
        break;
    }
    std::fclose(file);
    return config;
}

int write_video_config(const char *path, const VideoConfig *config)
{
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%d %d %d\n", config->driver,
                                     config->width, config->height);
    const char *failed = nullptr;
    const int error = file_replace(path, line, (size_t)length, &failed);
    // Alt+Enter shows nothing of a write that failed: standard error names the file.
    if (error)
        std::fprintf(stderr, "tirvex: %s: %s: the video mode is not kept\n",
                     failed ? failed : path, std::strerror(error));
    return error == 0 ? 1 : 0;
}
