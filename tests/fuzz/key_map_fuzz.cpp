/* key_map_fuzz.cpp: feeds arbitrary bytes to the keys.cfg reader, as a file the game opens, and
   names the keys it sets as the key card and the first-loss line do. */
#include <allegro.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_file.h"
#include <cstring>

#include "ui/key_card.h"
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
    // The card's rows and the sentences stay within their buffers whatever the keys.
    static char texts[KEY_CARD_ROWS][KEY_CARD_TEXT];
    const int rows = key_card_texts(play_key_of, texts);
    if (rows < 0 || rows > KEY_CARD_ROWS || (!moved && rows != 0))
        __builtin_trap();
    for (const auto &row : texts)
        if (std::strlen(row) >= KEY_CARD_TEXT)
            __builtin_trap();
    if (std::strlen(first_loss_text()) >= 80 || std::strlen(undo_first_text()) >= 48)
        __builtin_trap();
    if (std::strlen(key_map_fault) >= sizeof key_map_fault)
        __builtin_trap();
    return 0;
}
