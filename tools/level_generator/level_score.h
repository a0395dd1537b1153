/* level_score.h: whether a made level passes the campaign's rules for its size, and how good it
   is among those that do. */
#pragma once

#include <cstddef>

#include "level_analysis.h"
#include "level_shape.h"
#include "way_facts.h"

/* The human margin a level must keep: a player thinking before each command has a quarter of
   the way's time to spare. */
const double LEVEL_HUMAN_MARGIN = 1.25;

/* True when the level proven by `way` and analysed in `analysis` passes what the campaign asks
   of a level of its size: won within half its limit, the shortest way's moves in the size's
   range, the analysis complete, won after the start delay, at every frame rate and at a
   thinking pace with LEVEL_HUMAN_MARGIN, the size's decisions and wrong ways, no trap where
   the size allows none. Otherwise writes the first rule missed into `why`. */
bool level_passes(const SizeRules &rules, const SearchResult &way, const LevelAnalysis &analysis,
                  char *why, size_t why_size);

/* The rules of level_passes that the exploration alone decides: complete, the size's decisions
   and wrong ways, no trap where the size allows none. Otherwise writes the first missed into
   `why`. */
bool exploration_passes(const SizeRules &rules, const LevelAnalysis &analysis, char *why,
                        size_t why_size);

/* True when the way does what the idea promises: the walk climbs and drops, the push moves an
   actor, the runner's zipper runs, the chain sets something off, the mix does two of these (a drop counting as the walk's). */
bool way_shows_idea(GeneratorIdea idea, const WayFacts &facts);

/* True when the start shows the way: the square ahead, at least PUZZLE_VIEW_SQUARES squares in
   view, the teleport or a sweet among them. Otherwise writes what it shows into `why`. */
bool start_passes(const StartView &view, char *why, size_t why_size);

/* True when the level is a puzzle of its idea: its start shows the way (start_passes); with actors, at
   least the size's number of them matter, or with one to matter removing them all saves
   ANALYSIS_ACTORS_SAVE commands; a push level's way makes PUZZLE_PUSHES pushes of actors it
   cannot do without (the way without one is other than its own), and on it a push is a
   mistake or a wrong way; a runner level's way waits
   (a wait, or a jump on the spot), and without a zipper it is other than its own; a chain
   level's way sets off a mine it cannot be won without, or only by a longer way. Otherwise writes the first rule missed into `why`. */
bool puzzle_passes(GeneratorIdea idea, const SizeRules &rules, const WayFacts &facts,
                   const LevelAnalysis &analysis, const ActorWeights &weights,
                   const StartView &view, char *why, size_t why_size);

enum { PUZZLE_VIEW_SQUARES = 8, PUZZLE_PUSHES = 2 };

/* The score the generator maximises: decisions and wrong ways (capped, so that a maze of
   mistakes does not win), the share of positions that cannot be won, the way's length within
   the size's range (nearest the rules' aim_length), the share of the map the way uses and of
   the actors it moves or sets off. */
double level_score(const SizeRules &rules, const SearchResult &way, const LevelAnalysis &analysis,
                   const WayFacts &facts, int32_t squares);

/* The level's difficulty, a figure for comparing levels of a set: the shortest way's commands,
   waits included, with 2 for each decision (up to 8), 4 for each wrong way (up to 5) and 5 for
   each actor the way cannot do without (of `weights`, when given): what a player must find,
   besides what they must walk. */
int32_t level_difficulty(const SearchResult &way, const LevelAnalysis &analysis,
                         const ActorWeights *weights);

/* Writes what the level asks, from what its way does, into the plan's idea: at most the first
   line's room less "Tirvex level N: ". Only what the way does is said; with `weights`, of the
   actors only the kinds of which one changes the way (without it the level cannot be won or its
   way is longer or shorter): a mibo the robot brushes aside on its way is no idea of the level.
   Each phrase, the sweets' last, has three wordings, chosen by the digits of `variant` in base
   3: levels of a set given different variants seldom share a line. */
void word_idea(LevelPlan &plan, const WayFacts &facts, const LevelAnalysis &analysis,
               const ActorWeights *weights = nullptr, int32_t variant = 0);
