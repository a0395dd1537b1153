/* game_keys.h: the keys of play: moves for the robot, option switches, restart and confirmation. */
#pragma once

#include <cstdint>

/* Installs the game's timer callback at a speed in the library's timer units and returns what
   install_int_ex returns (negative on failure). The slow-motion key re-installs the timer through
   it; tests put a recorder in its place. */
extern int (*install_game_timer)(void (*handler)(), long speed);

/* The keys of one frame of play, in two passes. First every key typed since the previous frame,
   in typing order: the arrows and Space push move codes onto the command queue (Shift+Left and
   Shift+Right strafe), the function keys and B and M switch display options and sound, F12 takes
   a screenshot, F9 and F10 step the level number to a neighbouring map that exists, Backspace and
   U step back one command (undo_history.h), I asks for a hint (hint.h), or after a loss says to
   undo first, P asks for a pause (the keys typed after it wait for it to end), L switches the
   map panel's heights; most changes are
   confirmed on the message line. Then the held keys, once: R restarts the level, Space or Enter
   confirm a completed level (returning 1 at once) or restart a lost one, Backspace or U held
   keep stepping back some seven times a second, Tab sets records_panel_held while held, and the
   camera and light keys change their values by a step every frame. A restart is kept in the undo
   history first, and begins a new attempt for the records. Returns 1 when a completed level was
   confirmed, else 0. Esc is left to the play loop. Called once per frame by the play loop, after
   the frame is on the screen. */
int handle_game_keys();

/* Set by the pause key (P unless keys.cfg moves it), never in a demo played back: the play loop
   then pauses before its next frame, and clears it. The next handle_game_keys clears it too, so a
   caller without a pause (the editor's playtest) loses no key to it. */
extern bool pause_requested;

/* Counts the ticks of a frame's update toward the repeat of a held key. Called by the play loop
   once a frame with the ticks it gives update_player, so that a demo repeats exactly. */
void note_frame_ticks(int32_t ticks);
