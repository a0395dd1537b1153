/* key_card.cpp: the keys of play by the names a player knows them, as keys.cfg sets them. */
#include "ui/key_card.h"

#include <allegro.h>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/translation.h"
#include "ui/key_map.h"

namespace {

struct PrettyName {
    int scancode;
    const char *name;
};
const PrettyName PRETTY_NAMES[] = {
    {KEY_UP, "Up"}, {KEY_DOWN, "Down"}, {KEY_LEFT, "Left"}, {KEY_RIGHT, "Right"},
    {KEY_SPACE, "Space"}, {KEY_ENTER, "Enter"}, {KEY_ESC, "Esc"}, {KEY_TAB, "Tab"},
    {KEY_BACKSPACE, "Backspace"}, {KEY_PGUP, "PgUp"}, {KEY_PGDN, "PgDn"},
    {KEY_LSHIFT, "Shift"}, {KEY_RSHIFT, "Shift"}, {KEY_LCONTROL, "Ctrl"}, {KEY_RCONTROL, "Ctrl"},
    {KEY_ALT, "Alt"}, {KEY_ALTGR, "AltGr"}, {KEY_ENTER_PAD, "Enter pad"},
};

/* Appends text to out (size bytes), never past its end. */
void append(char *out, size_t size, const char *text)
{
    const size_t used = std::strlen(out);
    if (used + 1 < size)
        std::snprintf(out + used, size - used, "%s", text);
}

/* The identity table: every key is read as itself, as without keys.cfg. */
const int *default_key_table()
{
    static int table[128];
    static bool made = false;
    if (!made) {
        for (int k = 0; k < 128; k++)
            table[k] = k;
        made = true;
    }
    return table;
}

/* Fills out with a row's template, each {action} replaced by its keys and {hold} by the
   player's word for it, as the card's picture writes it. */
void expand_row(const int key_of[128], const char *row, char *out, size_t size)
{
    out[0] = '\0';
    for (const char *p = row; *p;) {
        if (*p != '{') {
            const char piece[2] = {*p++, '\0'};
            append(out, size, piece);
            continue;
        }
        const char *end = std::strchr(p, '}');
        char name[32] = "";
        std::snprintf(name, sizeof name, "%.*s", (int)(end - p - 1), p + 1);
        char keys[KEY_CARD_TEXT];
        if (!std::strcmp(name, "hold"))
            /* TRANSLATORS: after a key on the key card (F1): hold the key down. Keep it short:
               "Esc, Start (hold)" fills most of its column. */
            append(out, size, tr(N_("(hold)")));
        else
            append(out, size, action_keys_text(key_of, key_action_index(name), false, keys,
                                               sizeof keys));
        p = end + 1;
    }
}

/* The first key of `action` as this run reads it, for a sentence. */
const char *first_key(const char *action, char *out, size_t size)
{
    return action_keys_text(play_key_of, key_action_index(action), true, out, size);
}

} // namespace

int key_action_index(const char *name)
{
    for (int a = 0; a < KEY_ACTIONS; a++)
        if (!std::strcmp(key_actions[a].name, name))
            return a;
    return -1;
}

const char *key_display_name(int scancode, char *out, size_t size)
{
    for (const PrettyName &p : PRETTY_NAMES)
        if (p.scancode == scancode) {
            std::snprintf(out, size, "%s", p.name);
            return out;
        }
    const char *name = key_name_of(scancode);
    if (!name) {
        std::snprintf(out, size, "?");
        return out;
    }
    const size_t length = std::strlen(name);
    if (length == 1 || (name[0] == 'F' && std::isdigit((unsigned char)name[1]))) {
        std::snprintf(out, size, "%s", name);
        return out;
    }
    // INSERT reads "Insert", 9_PAD "9 pad".
    size_t n = 0;
    for (size_t i = 0; i < length && n + 1 < size; i++) {
        const char c = name[i] == '_' ? ' ' : name[i];
        out[n++] = (char)(i == 0 ? c : std::tolower((unsigned char)c));
    }
    if (size > 0)
        out[n < size ? n : size - 1] = '\0';
    return out;
}

const char *action_keys_text(const int key_of[128], int action, bool first_only, char *out,
                             size_t size)
{
    out[0] = '\0';
    if (action < 0 || action >= KEY_ACTIONS) {
        std::snprintf(out, size, "-");
        return out;
    }
    // Play reads a key as one of the action's default keys (U and Backspace both undo), a key
    // keys.cfg gave the action as its first.
    const KeyAction &a = key_actions[action];
    auto reads_as_action = [&](int k) {
        const int read = key_of[k];
        return read != 0 && (read == a.defaults[0] || read == a.defaults[1] || read == a.defaults[2]);
    };
    int order[128], count = 0;
    // The default keys first, in their order, then any other key by its scancode.
    for (int k : a.defaults)
        if (k > 0 && k < 128 && reads_as_action(k))
            order[count++] = k;
    for (int k = 1; k < 128; k++) {
        bool listed = false;
        for (int i = 0; i < count; i++)
            listed = listed || order[i] == k;
        if (!listed && reads_as_action(k))
            order[count++] = k;
    }
    bool shift_named = false;
    for (int i = 0; i < count; i++) {
        const bool shift = order[i] == KEY_LSHIFT || order[i] == KEY_RSHIFT;
        if (shift && shift_named)
            continue;
        shift_named = shift_named || shift;
        char name[24];
        if (out[0])
            append(out, size, " / ");
        append(out, size, key_display_name(order[i], name, sizeof name));
        if (first_only)
            break;
    }
    if (!out[0])
        std::snprintf(out, size, "-");
    return out;
}

int key_card_texts(const int key_of[128], char texts[KEY_CARD_ROWS][KEY_CARD_TEXT])
{
    int set = 0;
    for (int row = 0; row < KEY_CARD_ROWS; row++) {
        texts[row][0] = '\0';
        if (!KEY_CARD[row].keys)
            continue;
        char as_default[KEY_CARD_TEXT];
        expand_row(default_key_table(), KEY_CARD[row].keys, as_default, sizeof as_default);
        expand_row(key_of, KEY_CARD[row].keys, texts[row], KEY_CARD_TEXT);
        if (std::strcmp(as_default, texts[row]) == 0)
            texts[row][0] = '\0';
        else
            set++;
    }
    return set;
}

const char *const *key_card_overlay()
{
    static char texts[KEY_CARD_ROWS][KEY_CARD_TEXT];
    static const char *rows[KEY_CARD_ROWS];
    static bool made = false;
    if (!keys_moved)
        return nullptr;
    if (!made) {
        // keys.cfg is read once, before play: the card's texts are made once too.
        key_card_texts(play_key_of, texts);
        for (int row = 0; row < KEY_CARD_ROWS; row++)
            rows[row] = texts[row][0] ? texts[row] : nullptr;
        made = true;
    }
    return rows;
}

const char *first_loss_text()
{
    static char text[160];
    char undo[24], again[24], hint[24];
    // After a loss the jump keys and the confirm keys both start the level again.
    if (!std::strcmp(first_key("jump", again, sizeof again), "-"))
        first_key("confirm", again, sizeof again);
    std::snprintf(text, sizeof text, _("%s undoes it, %s tries again, %s asks for a hint"),
                  first_key("undo", undo, sizeof undo), again, first_key("hint", hint, sizeof hint));
    return text;
}

const char *undo_first_text()
{
    static char text[96];
    char undo[24];
    std::snprintf(text, sizeof text, _("undo first: %s"), first_key("undo", undo, sizeof undo));
    return text;
}
