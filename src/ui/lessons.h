/* lessons.h: what play teaches: each level's idea, and the keys of undo, restart and hint at the
   player's first loss. */
#pragma once

#include "play/play_session.h"

/* The idea of `level` (the first line of its map file), in the player's language where the
   catalogue has it (a shipped level's), "" when its map cannot be read. Read
   afresh whenever the level asked for differs from the one before, so an edited map shows its
   new line at its next start (lessons_level_started forgets it). The text stays valid until the next call for another level. */
const char *level_idea(int level);

/* After each frame's update: at the first loss the player ever has (the once-per-player lessons
   file says whether it came before), the first-loss lesson is noted in that file and its line
   (first_loss_text) stands under the message line until the level is no longer lost (restart,
   undo). Nothing is taught, nor written, in demo playback. Called by the play loop. */
void lessons_frame_done(const PlaySession &s);

/* The line under the message line this frame, or nullptr. */
const char *lessons_note();

/* Forgets the loss being taught and the idea read, at each level entered. */
void lessons_level_started();
