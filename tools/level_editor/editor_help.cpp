/* editor_help.cpp: the editor's help page: what the screen shows, every key and mouse action. */
#include "base/translation.h"
#include "editor_help.h"

#include <cstdio>
#include <string>

#include "world/actor_kinds.h"

namespace {

/* The page, a line at a time; a line starting with a blank goes on the one before; nullptr
   stands for the content keys' line, written from the kinds. */
const char *const help_lines[] = {
    N_("THE SCREEN"),
    N_("Left: the grid, the level seen from above as the game's map panel (M in play) shows it: "
       "columns (x) grow to the right, rows (z) grow up, as the compass in the corner says. The "
       "robot's left and right on the grid are its left and right in the 3D view and in play."),
    N_("A square shows its height (a number), its texture (its colour, lighter when higher) and "
       "what stands on it (the map panel's picture, an arrow for the way a mibo or zipper faces). "
       "The start is a white arrow: the robot and the way it faces."),
    N_("A cyan edge marks a side the robot cannot leave by: a step toward column -1 or row -1 "
       "stays on its square, so squares in column 0 and row 0 are walled there."),
    N_("The yellow frame is the cursor, blue frames the selected block."),
    N_("Right: the level in 3D (the game's own renderer); under it the palette: the contents "
       "(0 nothing, then each kind of actor by its code, with its picture and name), the four textures, the brush's height and the way "
       "a placed start, mibo or zipper faces. The chosen ones are framed in yellow."),
    N_("Under them: the level's name, time and size; the cell under the cursor; its side; the "
       "file and its place in its folder."),
    N_("Bottom: the faults (F3 lists every one), what the last key did, and the main keys."),
    "",
    N_("THE MOUSE"),
    N_("Left button on the grid, held: paints each cell it passes. With the floor brush (content "
       "0) it makes squares of the brush's height and texture, or gives squares there that height "
       "and texture, leaving what stands on them; with a content brush it puts that content on the "
       "squares (an empty cell gets a square of the brush's height first). One drag is one edit."),
    N_("Right button on the grid, held: erases the squares it passes."),
    N_("Shift + left button, dragged: selects a block (for Ctrl+C, Ctrl+X)."),
    N_("Wheel on the grid: raises or lowers the square under the pointer."),
    N_("Left click on the palette: chooses the brush's content or texture; on [-] [+] its height; "
       "on [R] the way it faces."),
    N_("On the 3D view: the wheel zooms, the buttons turn the robot and the view with it."),
    "",
    N_("KEYS: BUILDING"),
    N_("Arrows: move the cursor (Shift + arrows selects a block)."),
    N_("Space, Insert: paint the cursor's cell with the brush.   Delete: remove its square."),
    N_("PgUp, PgDn: raise or lower the square (the brush takes its height); on an empty cell, the "
       "brush's height."),
    N_("T: the square's next texture (the brush takes it)."),
    nullptr,
    N_("R: turn the brush a quarter turn, and what faces a way on the square."),
    N_("E: the side the side keys set (+z, -x, -z, +x); F6, F7: its face shorter or deeper, set by "
       "hand; F8: back to automatic.   K: how deep cliffs reach."),
    N_("N: the level's name; I: its first line, the idea the level table shows (typing replaces "
       "the old text; an arrow keeps it to add to; Enter keeps, Esc drops)."),
    N_("[ and ]: the time limit, a minute less or more."),
    N_("Ctrl+Z, Ctrl+Y: undo, redo."),
    N_("Ctrl+C, Ctrl+X: copy or cut the block (or the cell); Ctrl+V: paste at the cursor (it says "
       "what it covers and asks before replacing contents); Ctrl+R: turn the clipboard clockwise; "
       "Ctrl+M: mirror it left to right."),
    "",
    N_("KEYS: PROVING AND PLAYING"),
    N_("F5: prove the level can be won (the level checker's own search; Esc stops it)."),
    N_("A: the proof's report: the way's commands and the level's fairness to a human (traps, "
       "decisions, wrong ways, start delay, frame rates, clock margin), or how near the search came."),
    N_("W: show the way found in the 3D view.   P: play the level with the game's keys (hold Esc "
       "to come back)."),
    N_("F3: every fault and warning with its line."),
    "",
    N_("KEYS: FILES AND FOLDERS"),
    N_("F2: save (the old file kept as NAME~)."),
    N_("Ctrl+PgUp, Ctrl+PgDn: open the folder's previous or next level.   Ctrl+N: a new level with "
       "the folder's next free number.   Ctrl+G: give this level another number, the levels "
       "between moving up or down (each replaced map kept as NAME~)."),
    N_("Esc: leave (with unsaved changes it asks first: Esc again leaves, any other key stays)."),
    "",
    N_("KEYS: THE VIEW"),
    N_("F: the 3D view follows the cursor, or the robot.   V: camera.   L: light.   S: shading."),
    N_("- and =: zoom.   , and .: turn the robot and the view."),
    N_("Alt+Enter: full screen, or back to the window."),
    N_("F1, ?, H: this page (arrows, PgUp, PgDn and the wheel scroll; any other key closes it)."),
};

} // namespace

void help_page(TextPage *page)
{
    page_begin(page, _("Tirvex level editor: help (F1)"));
    for (const char *line : help_lines) {
        if (line) {
            page_add(page, tr(line), 2);
            continue;
        }
        char first[160];
        std::snprintf(first, sizeof first, _("0 to %d: put content on the square: 0 nothing"),
                      ACTOR_KIND_COUNT);
        std::string keys = first;
        for (const ActorKind &kind : actor_kinds)
            keys += ", " + std::to_string(kind.content) + " " + kind.name;
        page_add(page, keys + ".", 2);
    }
}
