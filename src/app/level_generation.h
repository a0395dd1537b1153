/* level_generation.h: --generate, a new set of levels made by the level generator beside the
   game, its progress shown on the start-up console. */
#pragma once

#include <cstddef>
#include <cstdint>

enum { GENERATED_SET = 10 };    /* levels in a set the game asks for */

/* True when `idea` is a name the generator takes ("walk", "push", "runner", "chain", "mix"). */
bool generation_idea_known(const char *idea);

/* True when `size` is a size the generator takes ("small", "medium", "large"). */
bool generation_size_known(const char *size);

/* Makes the set of `seed` (when it is 0 or more, else of a seed drawn from the clock, the first
   whose folder is not there yet) in the folder "generated-SEED" of `parent` (the player's own
   folder of levels, an absolute path), made when missing, by running the level generator found
   beside the game (tirvex-generate, else level_generator) for GENERATED_SET levels of the idea
   and size, both cores searching. Level K of the seed is mapK.txt: a set there already is
   finished, its levels that are whole kept and the others made again as the seed makes them;
   a whole set is played as it is. A level is whole when its map and its proof
   (solutions/mapNN.txt) are regular files that read back and the proof names the hash of the
   map; any other half is set aside (a file with something in it kept as NAME~). The generator ends with the game. The start-up console
   (the game's window is open) says what is being made, each level as it comes, and how long
   the level under way has taken; Esc stops the generator (killed when it has not ended 2 s
   later), keeping the whole levels. Writes the folder's path into `folder` (`size` bytes).
   Returns the whole levels from map01.txt on; when fewer than the set were made and the player
   did not stop it, `fault` (`size` bytes) says in the player's words what failed ("The disk is
   full: 3 of 10 levels were made."), else it is empty. With none, the folder is taken away
   again. Called by main for --generate, after start-up. */
int make_generated_levels(const char *program_path, const char *parent, const char *idea,
                          const char *size_name, int64_t seed, char *folder, char *fault,
                          size_t size);
