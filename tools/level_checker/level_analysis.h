/* level_analysis.h: whether a level is fair to a human: every position a player can reach, which of
   them can still be won, and the mistakes, decisions and wrong ways along the shortest way. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "search/level_search.h"
#include "world/map_parser.h"

enum {
    ANALYSIS_WRONG_WAY_EXTRA = 6,   /* commands a detour must add to count as a wrong way */
    ANALYSIS_SLOWEST_RATE = 8,      /* frame rates tried: 1 to this many ticks a frame */
    ANALYSIS_START_DELAY = 100,     /* ticks a player looks after the swoop before acting */
    ANALYSIS_THINK_TICKS = 40,      /* ticks a player thinks before each command, at a person's
                                       pace: 0.4 s */
    ANALYSIS_VIEW_DEPTH = 8,        /* squares ahead of the start the start view is counted to */
    ANALYSIS_ACTORS_SAVE = 5        /* commands the actors must cost the way, when none of them
                                       matters on its own, to earn their places */
};

/* What the way without an actor (or without them all) is, besides its length in commands. */
enum {
    WAY_NONE = -1,                  /* the level cannot be won then */
    WAY_LONGER = -2,                /* no way within the level's own shortest way, or within
                                       SEARCH_MAX_STEPS commands without them all */
    WAY_NOT_KNOWN = -3,             /* the search stopped at its state or memory limit first */
    WAY_NOT_LONGER = -4             /* not searched: the level's way wins without the actor too, so
                                       it does not matter, and nothing asked more (WeighShortcut) */
};

/* One actor of the level's start (a mibo, zipper, jar or mine) and the way without it. */
struct ActorWeight {
    int32_t column, row;
    int32_t content;            /* CONTENT_MIBO, CONTENT_ZIPPER, CONTENT_JAR or CONTENT_MINE */
    int32_t way_without;        /* commands of the shortest way, waits included, with this actor's
                                   square empty at the start, or WAY_NONE, WAY_LONGER, WAY_NOT_KNOWN */
};

/* What the level's actors do for its way. An actor matters when without it the level cannot be
   won or its shortest way is longer, counted in commands with the waits. */
struct ActorWeights {
    int32_t shortest;           /* commands of the level's shortest way, waits included */
    int32_t count;              /* mibos, zippers, jars and mines at the start */
    ActorWeight actors[MAP_ACTOR_LIMIT];
    int32_t matter;             /* of them, those that matter */
    int32_t unknown;            /* ... whose search stopped at a limit: they may matter too */
    int32_t way_without_all;    /* the shortest way with every one of them removed, as way_without */
    int64_t states;             /* states the searches without actors reached, in all */
};

/* The squares the start camera shows: those ahead of the start, 1 to ANALYSIS_VIEW_DEPTH squares
   forward and no more squares to a side than forward (a quarter turn wide). */
struct StartView {
    int32_t squares;            /* squares of the level there */
    bool ahead;                 /* the square straight ahead is one of them */
    bool teleport;              /* the teleport stands on one of them */
    bool sweet;                 /* ... a sweet does */
};

/* How the analysis plays and what it may hold. */
struct AnalysisLimits {
    int32_t ticks_per_frame;    /* the rate the positions are explored at */
    int64_t memory_limit;       /* bytes the exploration may hold; past it the figures are bounded */
    int32_t start_delay_ticks;  /* the delayed start tried; -1 leaves the test out */
    int32_t slowest_rate;       /* frame rates 1..this are tried; 0 leaves them out */
    /* Called now and then with what is being done and the positions reached; may be nullptr. */
    void (*progress)(const char *stage, int64_t positions);
    /* 2: the delayed start and the other rates are searched on a second thread while the
       positions are explored; 1: after them, on this one. */
    int32_t threads = 2;
    /* A player's thinking before each command but a wait, in game ticks, tried by a search of
       its own beside the others; -1 leaves it out. */
    int32_t think_ticks = -1;
    /* The states each search of the level without one of its actors may reach; 0 leaves the
       actors unweighed. */
    int64_t actor_states = 0;
    /* A way already found that wins at ticks_per_frame (nullptr for none): typed again after
       the delay and at each other rate first, where it still wins no search is needed. */
    const SearchResult *known = nullptr;
};

/* What the analysis found. A figure is exact when `complete` is set; otherwise the exploration
   stopped at the memory limit, and counts of traps and unwinnable positions only cover what was
   reached (at least that many), decisions and wrong ways are not known (-1). */
struct LevelAnalysis {
    SearchOutcome outcome;      /* SEARCH_SOLVED, SEARCH_NO_SOLUTION, SEARCH_MEMORY_LIMIT or
                                   SEARCH_INVALID_MAP */
    bool complete;              /* every reachable position was explored */
    int64_t positions;          /* positions reachable from the start (robot at rest, level on) */
    int64_t unwinnable;         /* of them, positions from which the level cannot be won */
    int32_t shortest;           /* commands of the shortest way, waits included; -1 for none */
    int32_t shortest_ticks;     /* its game time */
    int32_t limit_ticks;        /* the level's time limit */
    int32_t decisions;          /* positions on the shortest way where another command is a mistake */
    int32_t wrong_ways;         /* ... where another command costs ANALYSIS_WRONG_WAY_EXTRA or more */
    int32_t wrong_pushes;       /* ... where a push is a mistake or a wrong way: a mibo, jar or
                                   zipper pushed wrong wedges or blocks */
    int32_t way_waits;          /* the fewest waits and jumps (in place) of any shortest way */
    int32_t way_steps;          /* commands of the shortest way that move the robot to another square */
    int32_t forced_steps;       /* ... taken where every other step is blocked, goes back or kills:
                                   the way is a walk there */
    int64_t trap_positions;     /* winnable positions where a trap (a silent mistake) is available */
    int32_t trap_length;        /* commands of trap_codes: the way to the first trap found, the
                                   trap itself last; 0 for none */
    int32_t trap_codes[SEARCH_MAX_STEPS];
    int32_t start_delay_ticks;  /* the delay tried, -1 for none */
    bool start_delay_wins;      /* the level can be won after it */
    int32_t slowest_rate;       /* the rates tried: 1..slowest_rate */
    bool rate_wins[ANALYSIS_SLOWEST_RATE + 1];  /* by ticks a frame */
    int32_t think_ticks;        /* the thinking tried, -1 for none */
    bool think_wins;            /* the level can be won at that pace */
    int32_t think_way_ticks;    /* the game time of the shortest way at that pace, thinking
                                   included; 0 without one */
    StartView start_view;
    bool actors_weighed;        /* the actors were weighed (AnalysisLimits::actor_states) ... */
    ActorWeights actors;        /* ... and this is what they do for the way */
    int64_t peak_memory;        /* most bytes held by the exploration */
    double seconds;
};

/* Analyses the level in `map_text` (NUL-terminated): explores every position reachable with the
   player's commands, finds which can still be won and how many commands that takes, and from that
   the shortest way, its decisions and wrong ways, the traps and the share of positions that cannot
   be won; then searches the level again after a delayed start and at every frame rate asked for.
   Definitions: a mistake is a command from a winnable position after which the robot is alive and
   on the grid but the level cannot be won; a trap is a mistake the game does not announce (it
   announces only a lost sweet). Leaves the running world as it was. Returns false when the map
   has faults (outcome SEARCH_INVALID_MAP). Called by the level checker and its tests. */
bool analyse_level(const char *map_text, const AnalysisLimits &limits, LevelAnalysis *analysis);

/* Adds to `analysis`, made by analyse_level of the same map at the same rate with the delayed
   start and the other rates left out, what they and a thinking player's pace find under
   `limits` (its start delay, rates and think ticks; two threads share the searches when it
   allows two): the same figures analyse_level would give with `limits`, without exploring the
   level again. A `known` way that wins (nullptr for none) is typed again after the delay and
   at each rate first: where it still wins, no search is needed. Called by the level
   generator, which explores first and searches the pace only for a level whose exploration
   passes. */
void analyse_pace(const char *map_text, const AnalysisLimits &limits, const SearchResult *known,
                  LevelAnalysis *analysis);

/* What spares weigh_actors most of its searches: a shortest way of the level, and the actors
   whose way without them is wanted whatever that way shows. */
struct WeighShortcut {
    const SearchResult *way;    /* found by the search at the weighing's rate */
    bool (*exact)(const ActorWeight &actor, const void *context);
    const void *context;
};

/* Weighs the actors of the level in `map_text` (NUL-terminated): searches the level again without
   all its mibos, zippers, jars and mines, then without each in turn (its square left empty), each
   of these searches no deeper than the level's shortest way of `shortest` commands (found first
   with `limits` when negative). `limits` bound each search but its depth; where they allow a
   helper thread, two actors are weighed at once instead, each search alone. With `rule_only` it
   stops as soon as actors_earn_their_places holds: the actors not weighed then have
   WAY_NOT_KNOWN and are not counted unknown. With a `shortcut`, an actor it does not want exact
   whose removal leaves the shortest way winning is not searched (WAY_NOT_LONGER), unless no
   actor of its kind changes the way otherwise: whether each kind changes the way, and which
   actors matter, are as a search of each would find. Returns false, weighing nothing, when the
   map has faults or the level itself is not won within the limits. Called by analyse_level, by
   the level generator and by the tests of the shipped levels. */
bool weigh_actors(const char *map_text, const SearchLimits &limits, int32_t shortest,
                  bool rule_only, ActorWeights *weights, const WeighShortcut *shortcut = nullptr);

/* Whether the way without the actor differs from the level's: none, longer or shorter. */
bool changes_the_way(const ActorWeight &actor, const ActorWeights &weights);

/* The commands the shortest way saves with every actor removed: 0 when it is not shorter,
   WAY_NONE when the level cannot be won then, WAY_NOT_KNOWN when that search stopped at a limit. */
int32_t actors_saving(const ActorWeights &weights);

/* Whether the actors earn their places: the level has none, one of them matters, or removing
   them all saves ANALYSIS_ACTORS_SAVE commands or more. */
bool actors_earn_their_places(const ActorWeights &weights);

/* Reads what the start camera shows of the level in `map_text`. Returns false (all zero) when
   the map has faults. */
bool read_start_view(const char *map_text, StartView *view);

/* The clock margin: the time limit over the shortest way's game time; 0 without a way. */
double analysis_clock_margin(const LevelAnalysis &analysis);

/* The clock margin at a person's pace: the time limit over the game time of the shortest way
   when every command but a wait is thought about first; 0 without such a way. */
double analysis_human_margin(const LevelAnalysis &analysis);

/* The share of reachable positions that cannot be won, 0 to 1. */
double analysis_unwinnable_share(const LevelAnalysis &analysis);

/* The name of a command as the checker and the editor list a way: "up", "left", "strafe-left",
   "jump", "wait" ("?" for any other code). */
const char *command_name(int32_t code);

/* One line of an analysis's or a way's description: `indented` for the lines listing a trap's commands,
   which follow the line before. */
typedef void (*AnalysisLine)(void *context, const char *text, bool indented);

/* Describes what the analysis found, a line at a time through `line`: the positions and the share
   that cannot be won, the shortest way's decisions and wrong ways, the traps with the commands to
   the first, then the delayed start, the frame rates and the clock margin. `memory_limit` is the
   analysis's, named when it stopped there. Called by the level checker, which puts the map's path
   before each line not indented, and by the level editor's proof report. */
void describe_analysis(const LevelAnalysis &analysis, int64_t memory_limit, AnalysisLine line,
                       void *context);

/* Describes a way as the keys a player would press, with the robot's square after each one that
   moves it, eight to a line, each line indented. Called by the checker and the editor. */
void describe_way(const SearchResult &way, AnalysisLine line, void *context);
