/* key_map_fuzz.cpp: feeds arbitrary bytes to the keys.cfg reader, as a file the game opens. */
#include <allegro.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_file.h"
#include "ui/key_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FILE *report = std::fopen("/dev/null", "w");
    const char *path = fuzz_input_file(".keys.cfg", data, size);
    const int refused = load_key_map(path, report);
    // At most one refusal a line (a line longer than the reader's buffer counts in pieces).
    size_t lines = 1;
    for (size_t i = 0; i < size; i++)
        lines += data[i] == '\n';
    if (refused < 0 || (size_t)refused > lines + size / 511 + 1)
        __builtin_trap();
    // Every physical key is read as a key of play's own rules, or as none.
    bool moved = false;
    for (int k = 0; k < 128; k++) {
        if (play_key_of[k] < 0 || play_key_of[k] >= 128)
            __builtin_trap();
        moved = moved || play_key_of[k] != k;
    }
    if (moved != keys_moved)
        __builtin_trap();
    return 0;
}
