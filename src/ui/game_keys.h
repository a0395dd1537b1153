/* game_keys.h: the keys of play read into the player's actions: moves, switches, undo, restart. */
#pragma once

#include <cstdint>

#include "play/play_session.h"

/* Installs the game's timer callback at a speed in the library's timer units and returns what
   install_int_ex returns (negative on failure). The slow-motion key re-installs the timer through
   it; tests put a recorder in its place. */
extern int (*install_game_timer)(void (*handler)(), long speed);

/* The keys of one frame of play, read into `a` (emptied first) in two passes: what play asks
   of the session's frame. First a notice of the records file waiting to be said, then every key
   typed since the previous frame, in typing order: the arrows and Space queue move codes
   (Shift+Left and Shift+Right strafe), the function keys and B and M switch display options and
   sound, F12 takes a screenshot, F9 and F10 step the level number to a neighbouring map that
   exists, Backspace and U step back one command (undo_history.h), I asks for a hint (hint.h), or
   after a loss says to undo first, P asks for a pause (the keys typed after it wait for it to
   end), L switches the map panel's heights; most changes are confirmed on the message line. Then
   the held keys: R restarts the level, Space or Enter confirm a completed level or restart a lost
   one, Backspace or U held keep stepping back some seven times a second, Tab sets
   records_panel_held while held, and the camera and light keys change their values by a step
   every frame. Reads the session only for its level. Esc is left to the play loop. Called once
   per frame by the play loop and the editor's playtest, after the frame is on the screen. */
void read_game_keys(const PlaySession &s, PlayActions &a);

/* The frame of play on the session once its keys are read: session_frame with `a` and `ticks`
   (the ticks counted since the frame before), a new attempt for the records when the level
   started again, and the held keys' repeat counted on by `ticks`. Returns session_frame's
   answer (FRAME_CONFIRMED when a completed level was confirmed). */
int play_frame(PlaySession &s, const PlayActions &a, int ticks);

/* Set by the pause key (P unless keys.cfg moves it), never in a demo played back: the play loop
   then pauses before its next frame, and clears it. The next read_game_keys clears it too, so a
   caller without a pause (the editor's playtest) loses no key to it. */
extern bool pause_requested;
