/* text_field.cpp: a line of text typed into the editor, the old text selected at first. */
#include "text_field.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>

void field_begin(TextField *field, const char *text, int limit)
{
    field->limit = limit < FIELD_SIZE ? limit : FIELD_SIZE - 1;
    std::snprintf(field->text, sizeof field->text, "%.*s", field->limit, text);
    field->selected = field->text[0] != '\0';
}

FieldResult field_key(TextField *field, int key)
{
    const int scan = key >> 8, ascii = key & 0xff;
    size_t length = std::strlen(field->text);
    switch (scan) {
    case KEY_ENTER:
    case KEY_ENTER_PAD:
        return FIELD_DONE;
    case KEY_ESC:
        return FIELD_DROPPED;
    case KEY_BACKSPACE:
        if (field->selected)
            field->text[0] = '\0';
        else if (length > 0)
            field->text[length - 1] = '\0';
        field->selected = false;
        return FIELD_TYPING;
    case KEY_DEL:
        if (field->selected)
            field->text[0] = '\0';
        field->selected = false;
        return FIELD_TYPING;
    case KEY_LEFT:
    case KEY_RIGHT:
    case KEY_HOME:
    case KEY_END:
        field->selected = false;
        return FIELD_TYPING;
    default:
        break;
    }
    if (ascii < 32 || ascii >= 127)
        return FIELD_TYPING;
    if (field->selected) {
        field->text[0] = '\0';
        length = 0;
        field->selected = false;
    }
    if ((int)length < field->limit) {
        field->text[length] = (char)ascii;
        field->text[length + 1] = '\0';
    }
    return FIELD_TYPING;
}
