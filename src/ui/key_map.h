/* key_map.h: the player's own keys for play, read from "keys.cfg". */
#pragma once

#include <allegro.h>
#include <cstdio>

enum { KEYS_PER_ACTION = 4 };

/* One action of play and the keys the game gives it: the first is the scancode play reads for
   the action, whichever key the player moved it to. */
struct KeyAction {
    const char *name;               /* "step-forward", as keys.cfg writes it */
    int defaults[3];                /* scancodes, 0 after the last */
};

/* The actions of play, each with its default keys. A new action is a line here, its deed in
   game_keys.cpp and, for the key card, a row in render/hud.h and a line of its picture. */
inline constexpr KeyAction key_actions[] = {
    {"step-forward", {KEY_UP}}, {"step-back", {KEY_DOWN}},
    {"turn-left", {KEY_LEFT}}, {"turn-right", {KEY_RIGHT}},
    {"strafe", {KEY_LSHIFT, KEY_RSHIFT}}, {"jump", {KEY_SPACE}},
    {"confirm", {KEY_ENTER}}, {"restart", {KEY_R}},
    {"undo", {KEY_BACKSPACE, KEY_U}}, {"hint", {KEY_I}},
    {"records", {KEY_TAB}}, {"leave", {KEY_ESC}},
    {"key-card", {KEY_F1}}, {"slow-motion", {KEY_F2}},
    {"debug", {KEY_F3}}, {"viewport", {KEY_F4}},
    {"depth-of-view", {KEY_F5}}, {"camera", {KEY_F6}},
    {"light-mode", {KEY_F7}}, {"shading-mode", {KEY_F8}},
    {"previous-map", {KEY_F9}}, {"next-map", {KEY_F10}},
    {"sound", {KEY_F11}}, {"screenshot", {KEY_F12}},
    {"music", {KEY_B}}, {"map", {KEY_M}},
    {"pitch-up", {KEY_PGUP}}, {"pitch-down", {KEY_PGDN}},
    {"camera-up", {KEY_Q}}, {"camera-down", {KEY_A}},
    {"camera-up-more", {KEY_T}}, {"camera-down-more", {KEY_Y}},
    {"camera-farther", {KEY_W}}, {"camera-nearer", {KEY_S}},
    {"camera-farther-more", {KEY_G}}, {"camera-nearer-more", {KEY_H}},
    {"light-up", {KEY_E}}, {"light-down", {KEY_D}},
    // Keys of play that came later, on keys nothing else had.
    {"pause", {KEY_P}}, {"map-heights", {KEY_L}},
};

enum { KEY_ACTIONS = sizeof key_actions / sizeof key_actions[0] };

/* The scancode play reads a physical key as, by scancode: the key itself while keys.cfg moves
   nothing, the action's first default key for a key the player gave it, 0 for a key that does
   nothing now. */
extern int play_key_of[128];

/* Set while keys.cfg has moved some key: the reads of play then go through play_key_of. */
extern bool keys_moved;

/* The scancode of a key name as the library names its keys (KEY_UP is "UP", KEY_9_PAD
   "9_PAD"), case not minded; 0 for no key. */
int key_by_name(const char *name);

/* The name keys.cfg gives the key of a scancode ("BACKSPACE"), or nullptr. */
const char *key_name_of(int scancode);

/* Every action at its default keys. */
void reset_key_map();

/* Reads keys.cfg at path over the defaults: '#' starts a comment, a line is "action = KEY ...",
   at most KEYS_PER_ACTION keys. A line with an unknown action or key, without keys, an action
   given twice, or a key that an earlier line gave another action is refused with the file and
   the line on report, and the action keeps its default keys; a key given to an action is taken
   from the default keys of every other action; only the first ten refusals are printed, then
   "and N more lines refused". A missing file is no fault; what is not a regular file (a FIFO, a
   device) or is over 64 KB is not read, with one line saying so, and counts as one refusal.
   Never waits. Returns the number of lines refused. Called by main at start-up. */
int load_key_map(const char *path, FILE *report);

/* A typed key (readkey's value) as play reads it: its scancode through play_key_of, the
   character kept. */
int play_typed_key(int value);

/* Whether a key play reads as `scancode` is held (key[]). Enter does not count while Alt is
   held: Alt+Enter switches the window. */
bool play_key_held(int scancode);

/* The first refusal of the last load_key_map, for the player's eyes: the file's path, the line
   and the fault with the key name nearest a misspelt one ("/home/me/.config/tirvex/keys.cfg:3:
   no key \"SPACEBAR\": SPACE?") and how many more lines were refused; "" when none was. */
enum { KEY_MAP_FAULT_SIZE = 1200 };
extern char key_map_fault[KEY_MAP_FAULT_SIZE];

/* key_map_fault once, for the message line of the first level played; nullptr when there is
   none or it was given already. */
const char *key_map_notice();
