/* utf8_letters.h: measuring and cutting the game's texts by letters, not bytes, in UTF-8. */
#pragma once

#include <cstddef>

/* The bytes of the letter that starts at text (not at its end): its UTF-8 sequence as the
   library reads one when it draws, or 1 for a byte that starts none (ASCII, a stray or a broken
   sequence, which the library draws as one '^'). Never reads past text's terminator. */
int letter_size(const char *text);

/* Copies text into out (size bytes, always terminated) up to its first `letters` letters, and
   only whole letters: one that does not fit is left out. out may be text itself. Returns the
   bytes copied. Where a text is cut to a count of characters or to a buffer. */
size_t copy_letters(char *out, size_t size, const char *text, size_t letters = (size_t)-1);

/* Ends text before its last letter where a cut by bytes (snprintf's into a buffer too small,
   say) left only the start of that letter's sequence. */
void drop_cut_letter(char *text);
