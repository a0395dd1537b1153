/* text_field.h: a line of text typed into the editor (the level's name, its idea, a number),
   which starts with the old text selected so that typing replaces it. */
#pragma once

enum { FIELD_SIZE = 80 };

struct TextField {
    char text[FIELD_SIZE];
    int limit;                  /* characters it may hold, below FIELD_SIZE */
    bool selected;              /* the whole text is selected: a character replaces it */
};

enum FieldResult { FIELD_TYPING, FIELD_DONE, FIELD_DROPPED };

/* Starts the field on `text` (cut to `limit` characters), all of it selected. */
void field_begin(TextField *field, const char *text, int limit);

/* Takes one key as the library's readkey gives it (scancode << 8 | character): a character
   replaces the selection or is added at the end; Backspace takes the selection or the last
   character; Delete takes the selection; Left, Right, Home and End keep the text and end the
   selection; Enter ends with the text (FIELD_DONE), Esc drops it (FIELD_DROPPED). */
FieldResult field_key(TextField *field, int key);
