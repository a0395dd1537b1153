/* level_generator.h: makes a level of an idea and size from a seed: shapes it, places its
   actors, proves it, analyses it, keeps or changes it, prunes it, and keeps the best. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "level_analysis.h"
#include "level_plan.h"
#include "level_shape.h"
#include "set_apart.h"
#include "way_facts.h"

enum { GENERATOR_TICKS_PER_FRAME = 2 };  /* the rate the proof plays at, as the checker's */

struct GeneratorRequest {
    uint64_t seed;
    GeneratorIdea idea;
    GeneratorSize size;
    int32_t level_index;        /* which level of the seed's set: each has a stream of its own */
    int32_t number;             /* the level's number in its folder, for the first line */
    int32_t jobs;               /* threads the search and analysis may use, 1 or 2 */
    /* Called after each attempt with the attempts made, the levels that passed and why the
       attempt failed, in the player's language ("" when it passed); may be nullptr. */
    void (*progress)(void *context, int32_t attempts, int32_t passed, const char *why);
    void *context;
    /* The set's levels before this one, which it shares at most half the squares of each
       with (set_apart); nullptr for none. */
    const SetFootprints *earlier = nullptr;
};

/* A level made, with its proof and what was found about it. */
struct GeneratedLevel {
    bool found;                 /* a level passed; the rest is read only then */
    LevelPlan plan;
    char text[PLAN_TEXT_SIZE];  /* the map file */
    size_t length;
    SearchResult way;           /* the shortest way, as the checker finds it */
    LevelAnalysis analysis;
    WayFacts facts;
    StartView view;             /* what the start shows */
    ActorWeights weights;       /* what the actors do for the way, when it has any */
    double score;
    int32_t difficulty;         /* level_difficulty of the level kept */
    int32_t squares_pruned;     /* squares the pruning took away from the kept level */
    int32_t attempts;           /* shapes tried */
    int32_t passed;             /* of them, levels that passed the rules */
    int64_t states;             /* states searched by the proofs and analyses in all */
    int64_t peak_memory;        /* most bytes a search or analysis held */
    double seconds;             /* the time taken, reported only: nothing is decided by it */
};

/* Proves and analyses the plan (name and idea aside): writes its text, searches its shortest
   way within the size's state limit, plays the way for its facts, checks that the way shows
   the idea; with `prune`, takes away the squares the way has no use for (kept apart from
   `earlier`, and only when the pruned level's way is the same length), then analyses the
   level and checks the size's rules, weighs its actors and checks that it is a puzzle of its
   idea (puzzle_passes); without `finish` it stops after the exploration, and passes on it.
   Fills *level's text, way, facts, analysis and squares_pruned, leaves the plan pruned when it
   was, and adds to its states. Returns true when it passes; `why` then is "", else the
   reason. Used by generate_level and the tests. */
bool prove_plan(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules, int32_t jobs,
                GeneratedLevel *level, char *why, size_t why_size, bool prune = false,
                const SetFootprints *earlier = nullptr, bool finish = true);

/* Makes the request's level, under the rules of its place in the set (set_level_rules): up to
   the size's attempts, each a new shape and placing from the
   seed's stream (for the ideas with actors thinned to its road and drawn again until its
   shortest tour fits the size's moves, and turned over until it is apart from the earlier
   levels), proven and analysed (a walk pruned of the squares its way has no use for first);
   a level that passes is scored as it will be once pruned, and once the size's number of
   levels have passed the best scored is pruned (kept pruned when it passes again), its idea
   line and name written. The same request gives the same
   level, byte for byte, on any machine: attempts are bounded by number, never by time. Fills
   *level; returns level->found. */
bool generate_level(const GeneratorRequest &request, GeneratedLevel *level);

/* The first word of the name of the request's level (0 to NAME_FIRST_WORDS - 1): the seed deals
   the words out as a shuffled deck, one a level of the set, so that no two of its first
   NAME_FIRST_WORDS levels share a name (drawn a level at a time, names came twice in a set). */
int32_t first_name_word(const GeneratorRequest &request);
