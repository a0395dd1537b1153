/* search_play.h: how the search plays one command on the world, and what it reads of the outcome. */
#pragma once

#include <cstdint>

#include "search/level_search.h"
#include "world/world.h"

/* The move code each of the search's actions types, SEARCH_WAIT for none. */
extern const int32_t action_codes[SEARCH_ACTIONS];

/* True when the robot takes a command now. */
bool robot_ready(const World &w);

/* True when the level is completed or lost, or the robot falls. */
bool level_over(const World &w);

/* True when the robot's square is no square of the level. */
bool over_no_square(const World &w);

/* A sweet or the teleport is gone or blown up: the level cannot be won any more. */
bool spoiled(const World &w);

/* A state from which the level can no longer be won: the robot is lost, falling or about to
   fall (it has landed over no square; during the swoop it would hover there, unable to move
   onto a square again), a sweet is gone for good, the teleport is blown up, or time is out. */
bool hopeless(const World &w);

/* hopeless for world w one command on from a state that was not: the sweets and the teleport
   are looked at only when something has been blown up since (the explosions counted in w.cues
   were `blasts_before` at that state), as nothing else takes one away for good (a sweet eaten
   counts as eaten as it goes). Called by the search for every command it plays. */
bool hopeless_since(const World &w, int32_t blasts_before);

/* Frames a wait lasts at this rate: about one hop. */
int32_t wait_frames(int32_t ticks_per_frame);

/* Types one command (or waits) at a state where the robot takes commands and runs frames until
   it takes the next one or the level is over. With `cut` set, a command ends as soon as its end
   is known to be hopeless, and *cut tells so: a step that has left for no square (the robot will
   land over nothing, and no rule moves its square meanwhile), or a blast that has spoilt the
   level (what is blown up stays lost, and a command eats nothing after its first frame) unless
   the robot is on its way into the teleport. Returns the frames run. */
int32_t run_command(World &w, int32_t code, int32_t ticks_per_frame, bool *cut);

/* Runs frames with no command from the level's start until the camera swoop has ended and
   `delay_ticks` more game ticks have passed (a player who takes a moment to look). Returns the
   frames run. */
int32_t run_start_delay(World &w, int32_t ticks_per_frame, int32_t delay_ticks);

/* Runs frames with no command while a player at rest thinks for `think_ticks` game ticks (the
   whole frames that cover them), or until the level is over. Returns the frames run. */
int32_t run_think(World &w, int32_t ticks_per_frame, int32_t think_ticks);
