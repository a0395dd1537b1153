/* hud.h: what is drawn over the 3D view: counters, clock, level title and the F1 panel. */
#pragma once

#include "world/world.h"

#include <allegro.h>

/* The one text buffer that the HUD and the debug lines format their numbers into, in turn. */
extern char hud_text[80];

/* The even second of the last ten whose warning beep has been played; -1 at program start and
   never reset between levels. */
extern int last_warned_second;

/* F1 panel: whether it is wanted on screen, and the row of its top edge (at or beyond the
   bottom edge when hidden). */
extern bool f1_panel_shown;
extern int f1_panel_y;

/* Draws the sweet icon and "eaten/total", the teleport icon (lit once active) and the clock icon
   and remaining time "m:ss" along the top of target. In the last ten seconds the time shows red
   on even seconds, with one warning beep per even second. Called every frame after the message
   line. */
void draw_hud(const World &w, BITMAP *target);

/* Draws " Level N: name " (N = level) with a shadow, centred on the screen. Called every frame while the
   title timer runs. */
void draw_level_title(const World &w, BITMAP *target, int level);

/* Hides the F1 panel below the bottom edge of the screen. Called once at start-up. */
void reset_f1_panel();

/* Switches the F1 panel between wanted and not wanted; it then slides from wherever it is.
   Called by the F1 key. */
void toggle_f1_panel();

/* A row of the key card's key column (the keys, left of what they do), and where it stands: its
   column (0 left, 1 right) and the section under whose heading it is. */
struct KeyCardRow {
    const char *keys;   /* {name} stands for the keys of action `name` (ui/key_map.h), {hold}
                           for the player's word for "(hold)"; nullptr marks the gamepad's
                           rows, which no keys.cfg moves */
    int column;
    int section;
};

/* The card's rows in its order: the left column's from the top, then the right column's. Its
   picture (tools/make_datafile/screen_f1_panel.cpp) writes the default keys and what they do
   in the same places. */
inline constexpr KeyCardRow KEY_CARD[] = {
    {"{step-forward} / {step-back}", 0, 0}, {"{turn-left} / {turn-right}", 0, 0},
    {"{strafe}+{turn-left}/{turn-right}", 0, 0}, {"{jump}", 0, 0}, {"{jump} / {confirm}", 0, 0},
    {"{restart}, Back {hold}", 0, 0}, {"{leave}, Start {hold}", 0, 0},
    {"{sound} / {music}", 0, 1}, {"{map}", 0, 1}, {"{map-heights}", 0, 1}, {"{screenshot}", 0, 1},
    {"{slow-motion}", 0, 1}, {"{debug}", 0, 1}, {"Alt+Enter", 0, 1},
    {nullptr, 0, 2}, {nullptr, 0, 2},
    {"{camera}", 1, 0}, {"{pitch-up} / {pitch-down}", 1, 0},
    {"{camera-up} / {camera-down}", 1, 0}, {"{camera-up-more} / {camera-down-more}", 1, 0},
    {"{camera-farther} / {camera-nearer}", 1, 0},
    {"{camera-farther-more} / {camera-nearer-more}", 1, 0},
    {"{light-up} / {light-down}", 1, 1}, {"{light-mode}", 1, 1}, {"{shading-mode}", 1, 1},
    {"{depth-of-view}", 1, 1}, {"{viewport}", 1, 1},
    {"{undo}", 1, 2}, {"{hint}", 1, 2}, {"{records} {hold}", 1, 2}, {"{pause}", 1, 2},
};

/* Each text of the key column at most KEY_CARD_TEXT - 1 characters. */
enum { KEY_CARD_ROWS = sizeof KEY_CARD / sizeof KEY_CARD[0], KEY_CARD_TEXT = 40 };

/* Draws the F1 panel (datafile object 13) at its row when it is not wholly below the screen, then
   slides it 10 pixels toward where it is wanted. Sets target's clipping to the whole bitmap.
   With an idea (not empty), a box above the card, sliding with it, says "This level" and the
   idea, broken at blanks into lines; given card_keys (KEY_CARD_ROWS texts, nullptr for a row the
   picture says right), each row given is written over the picture's key column. Without both the
   card is its picture alone. Called every frame after the HUD. */
void draw_f1_panel(BITMAP *target, const char *idea, const char *const *card_keys);

/* The card alone: its picture, without an idea or keys moved. */
void draw_f1_panel(BITMAP *target);

/* Draws text with f in colour into target from (x, y) down, broken at blanks into lines no wider
   than width pixels (a word wider still stands alone), each line_h pixels below the one before.
   Returns the number of lines drawn; with draw false only counts them. */
int draw_wrapped_text(BITMAP *target, FONT *f, const char *text, int x, int y, int width,
                      int line_h, int colour, bool draw = true);
