/* editor_help.cpp: the editor's help page: what the screen shows, every key and mouse action. */
#include "editor_help.h"

#include <string>

#include "world/actor_kinds.h"

namespace {

/* The page, a line at a time; a line starting with a blank goes on the one before; nullptr
   stands for the content keys' line, written from the kinds. */
const char *const help_lines[] = {
    "THE SCREEN",
    "Left: the grid, the level seen from above as the game's map panel (M in play) shows it: "
    "columns (x) grow to the right, rows (z) grow up, as the compass in the corner says. The "
    "robot's left and right on the grid are its left and right in the 3D view and in play.",
    "A square shows its height (a number), its texture (its colour, lighter when higher) and "
    "what stands on it (the map panel's picture, an arrow for the way a mibo or zipper faces). "
    "The start is a white arrow: the robot and the way it faces.",
    "A cyan edge marks a side the robot cannot leave by: a step toward column -1 or row -1 "
    "stays on its square, so squares in column 0 and row 0 are walled there.",
    "The yellow frame is the cursor, blue frames the selected block.",
    "Right: the level in 3D (the game's own renderer); under it the palette: the contents "
    "(0 nothing, then each kind of actor by its code, with its picture and name), the four textures, the brush's height and the way "
    "a placed start, mibo or zipper faces. The chosen ones are framed in yellow.",
    "Under them: the level's name, time and size; the cell under the cursor; its side; the "
    "file and its place in its folder.",
    "Bottom: the faults (F3 lists every one), what the last key did, and the main keys.",
    "",
    "THE MOUSE",
    "Left button on the grid, held: paints each cell it passes. With the floor brush (content "
    "0) it makes squares of the brush's height and texture, or gives squares there that height "
    "and texture, leaving what stands on them; with a content brush it puts that content on the "
    "squares (an empty cell gets a square of the brush's height first). One drag is one edit.",
    "Right button on the grid, held: erases the squares it passes.",
    "Shift + left button, dragged: selects a block (for Ctrl+C, Ctrl+X).",
    "Wheel on the grid: raises or lowers the square under the pointer.",
    "Left click on the palette: chooses the brush's content or texture; on [-] [+] its height; "
    "on [R] the way it faces.",
    "On the 3D view: the wheel zooms, the buttons turn the robot and the view with it.",
    "",
    "KEYS: BUILDING",
    "Arrows: move the cursor (Shift + arrows selects a block).",
    "Space, Insert: paint the cursor's cell with the brush.   Delete: remove its square.",
    "PgUp, PgDn: raise or lower the square (the brush takes its height); on an empty cell, the "
    "brush's height.",
    "T: the square's next texture (the brush takes it).",
    nullptr,
    "R: turn the brush a quarter turn, and what faces a way on the square.",
    "E: the side the side keys set (+z, -x, -z, +x); F6, F7: its face shorter or deeper, set by "
    "hand; F8: back to automatic.   K: how deep cliffs reach.",
    "N: the level's name; I: its first line, the idea the level table shows (typing replaces "
    "the old text; an arrow keeps it to add to; Enter keeps, Esc drops).",
    "[ and ]: the time limit, a minute less or more.",
    "Ctrl+Z, Ctrl+Y: undo, redo.",
    "Ctrl+C, Ctrl+X: copy or cut the block (or the cell); Ctrl+V: paste at the cursor (it says "
    "what it covers and asks before replacing contents); Ctrl+R: turn the clipboard clockwise; "
    "Ctrl+M: mirror it left to right.",
    "",
    "KEYS: PROVING AND PLAYING",
    "F5: prove the level can be won (the level checker's own search; Esc stops it).",
    "A: the proof's report: the way's commands and the level's fairness to a human (traps, "
    "decisions, wrong ways, start delay, frame rates, clock margin), or how near the search came.",
    "W: show the way found in the 3D view.   P: play the level with the game's keys (hold Esc "
    "to come back).",
    "F3: every fault and warning with its line.",
    "",
    "KEYS: FILES AND FOLDERS",
    "F2: save (the old file kept as NAME~).",
    "Ctrl+PgUp, Ctrl+PgDn: open the folder's previous or next level.   Ctrl+N: a new level with "
    "the folder's next free number.   Ctrl+G: give this level another number, the levels "
    "between moving up or down (each replaced map kept as NAME~).",
    "Esc: leave (with unsaved changes it asks first: Esc again leaves, any other key stays).",
    "",
    "KEYS: THE VIEW",
    "F: the 3D view follows the cursor, or the robot.   V: camera.   L: light.   S: shading.",
    "- and =: zoom.   , and .: turn the robot and the view.",
    "Alt+Enter: full screen, or back to the window.",
    "F1, ?, H: this page (arrows, PgUp, PgDn and the wheel scroll; any other key closes it).",
};

} // namespace

void help_page(TextPage *page)
{
    page_begin(page, "Tirvex level editor: help (F1)");
    for (const char *line : help_lines) {
        if (line) {
            page_add(page, line, 2);
            continue;
        }
        std::string keys = "0 to " + std::to_string(ACTOR_KIND_COUNT) + ": put content on the "
                           "square: 0 nothing";
        for (const ActorKind &kind : actor_kinds)
            keys += ", " + std::to_string(kind.content) + " " + kind.name;
        page_add(page, keys + ".", 2);
    }
}
