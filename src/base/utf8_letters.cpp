/* utf8_letters.cpp: measuring and cutting the game's texts by letters, not bytes, in UTF-8. */
#include "base/utf8_letters.h"

namespace {

/* The bytes the sequence that `lead` starts claims: its leading one bits, as the library
   counts them; 1 for ASCII and for a byte that can only continue a sequence. */
int claimed_size(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    int size = 1;
    while (size < 8 && (lead & (0x80 >> size)))
        size++;
    return size;
}

} // namespace

int letter_size(const char *text)
{
    // The library reads on while the bytes continue the sequence and stops at the first that
    // does not, the terminator included; so does this.
    const int claimed = claimed_size((unsigned char)text[0]);
    int size = 1;
    while (size < claimed && ((unsigned char)text[size] & 0xC0) == 0x80)
        size++;
    return size;
}

size_t copy_letters(char *out, size_t size, const char *text, size_t letters)
{
    if (size == 0)
        return 0;
    size_t used = 0;
    for (; text[used] && letters > 0; letters--) {
        const size_t next = used + (size_t)letter_size(text + used);
        if (next >= size)
            break;
        for (; used < next; used++)
            out[used] = text[used];
    }
    out[used] = '\0';
    return used;
}

void drop_cut_letter(char *text)
{
    for (char *p = text; *p; p += letter_size(p)) {
        const int size = letter_size(p);
        if (size < claimed_size((unsigned char)*p) && !p[size]) {
            *p = '\0';
            return;
        }
    }
}
