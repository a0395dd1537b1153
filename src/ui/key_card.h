/* key_card.h: the keys of play by the names a player knows them, as keys.cfg sets them. */
#pragma once

#include <cstddef>

#include "render/hud.h"

/* The action of key_actions named `name` ("undo"), or -1. */
int key_action_index(const char *name);

/* A key as the key card names it: "Up", "Backspace", "PgUp", "Shift" for either Shift key, a
   letter or F-key as it is, another key by the library's name in small letters ("9 pad").
   Writes into out (size bytes) and returns it; "?" for a scancode that names no key. */
const char *key_display_name(int scancode, char *out, size_t size);

/* The keys play reads as action `action` under the key table `key_of` (play_key_of's form: by
   physical scancode, the scancode play reads it as), joined by " / ": the action's default keys
   first in their order, then the others by scancode, both Shift keys once as "Shift"; "-" for an
   action no key reaches. With `first_only`, only the first of them. Writes into out and returns
   it. */
const char *action_keys_text(const int key_of[128], int action, bool first_only, char *out,
                             size_t size);

/* The texts of the key card's key column, row by row (KEY_CARD_ROWS rows, in the card's order:
   the left column, then the right), built from the key table: a row reads the keys of its
   actions. A row that reads the same as under the default keys, or shows the gamepad, is set to
   "" (the card's picture already says it). Returns the number of rows set to a text. */
int key_card_texts(const int key_of[128], char texts[KEY_CARD_ROWS][KEY_CARD_TEXT]);

/* The key card's key column for this run's keys: the texts of key_card_texts for rows whose
   keys keys.cfg moved, nullptr for the others; nullptr altogether while keys.cfg moves no key,
   so the card is its picture alone. For the frame's overlay. */
const char *const *key_card_overlay();

/* The line the first loss adds under its message, with this run's keys: "Backspace undoes it,
   Space tries again, I asks for a hint". */
const char *first_loss_text();

/* The answer of the hint key after a loss: "undo first: Backspace", with this run's undo key. */
const char *undo_first_text();
