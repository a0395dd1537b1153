/* video_config_fuzz.cpp: feeds arbitrary bytes to the wvideo.cfg reader, as a file the game
   opens, and writes what it read back. */
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_file.h"
#include "ui/video_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *path = fuzz_input_file(".wvideo.cfg", data, size);
    char note[200];
    std::memset(note, 'x', sizeof note);
    const VideoConfig config = read_video_config(path, note, sizeof note);
    if (std::memchr(note, '\0', sizeof note) == nullptr)
        __builtin_trap();
    // What was read is written as one line that reads back the same.
    if (!write_video_config(path, &config))
        __builtin_trap();
    const VideoConfig back = read_video_config(path, note, sizeof note);
    if (back.driver != config.driver || back.width != config.width || back.height != config.height ||
        note[0] != '\0')
        __builtin_trap();
    return 0;
}
