/* level_generation.h: --generate, a new set of levels made by the level generator beside the
   game, its progress shown on the start-up console. */
#pragma once

#include <cstddef>
#include <cstdint>

enum { GENERATED_SET = 10 };    /* levels in a set the game asks for */

/* True when `idea` and `size` are names the generator takes ("walk", "push", "runner", "chain",
   "mix"; "small", "medium", "large"). */
bool generation_names_known(const char *idea, const char *size);

/* Makes a new folder "generated-SEED" in `parent` (the player's own folder of levels, an
   absolute path), for `seed` when it is 0 or more (a folder already there is then a fault:
   those levels are made), else for a seed drawn from the clock, the first whose folder is not
   there yet,
   and runs the level generator found beside the game (tirvex-generate, else level_generator)
   into it for GENERATED_SET levels of the idea and size, both cores searching. The start-up
   console (the game's window is open) says what is being made, each level as it comes, and how
   long the level under way has taken; Esc stops the generator, keeping the levels it finished
   and taking away the one it was writing. Writes the folder's path into `folder` (`size`
   bytes). Returns the levels made (map01.txt on, each with its proof in solutions/); 0 when
   none was, with the reason in `fault` (`size` bytes), or fault empty when the player stopped
   it first; the folder is then taken away again. Called by main for --generate, after
   start-up. */
int make_generated_levels(const char *program_path, const char *parent, const char *idea,
                          const char *size_name, int64_t seed, char *folder, char *fault,
                          size_t size);
