/* typed_keys.cpp: the editor's keys with the shift keys as they were held when each was pressed. */
#include "typed_keys.h"

#include <allegro.h>

#include <atomic>

namespace {

/* The keys the library put in its buffer and the shifts held then, written by the library's
   keyboard callback (its input thread) and read by the editor. Longer than the library's buffer,
   so no key still in it is written over. */
enum { NOTED_KEYS = 256 };
struct NotedKey {
    int key, shifts;
};
NotedKey noted[NOTED_KEYS];
std::atomic<unsigned> noted_count{0}, taken_count{0};

int note_key(int k)
{
    const unsigned at = noted_count.load(std::memory_order_relaxed);
    noted[at % NOTED_KEYS] = NotedKey{k, key_shifts};
    noted_count.store(at + 1, std::memory_order_release);
    return k;
}

} // namespace

void typed_keys_install()
{
    taken_count.store(noted_count.load());
    keyboard_callback = note_key;
}

bool typed_key_next(int *key, int *shifts)
{
    if (!keypressed()) {
        // All that was noted has been read, here or by another reader (the playtest's game).
        taken_count.store(noted_count.load(std::memory_order_acquire));
        return false;
    }
    *key = readkey();
    *shifts = key_shifts;
    // The key's own note; notes of keys another reader took are passed over.
    const unsigned noted_now = noted_count.load(std::memory_order_acquire);
    for (unsigned at = taken_count.load(); at != noted_now; at++) {
        if (noted[at % NOTED_KEYS].key == *key) {
            *shifts = noted[at % NOTED_KEYS].shifts;
            taken_count.store(at + 1);
            break;
        }
    }
    return true;
}
