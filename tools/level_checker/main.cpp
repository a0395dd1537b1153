/* main.cpp: level_checker, proves that level files load as meant and can be won in time.

   level_checker [--validate] [--record DIR] [--markdown FILE] [--ticks N] [--states N]
                 [--depth N] [--memory MB] [--jobs N] [--fair] [--start-delay TICKS]
                 [--think SECONDS] MAP...
   (installed as tirvex-check)

   Validates each MAP, then searches for its shortest solution and tells whether it takes at most
   half the level's time limit. Options take one dash or two alike. --validate stops after the
   validation; --record writes each solution to DIR under the map file's name, as the replay the
   tests play back; --markdown writes a Markdown table of the maps to FILE (doc/levels.md's table of
   the shipped levels); --fair analyses each map solved for fairness to a human (every reachable
   position, the traps, decisions and wrong ways, a delayed start, the frame rates, and the pace
   of a player who thinks --think seconds before each command, the actors that matter and what
   the start shows). On a terminal a progress line on
   stderr shows the search as it runs. The
   exit status is that of the first map that does not pass (see CheckerStatus), 0 when all
   pass. */
#include <allegro.h>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "base/translation.h"
#include "level_analysis.h"
#include "level_overlap.h"
#include "search/level_search.h"
#include "level_table.h"
#include "search/map_validation.h"
#include "solution_record.h"
#include "base/command_line.h"
#include "base/game_paths.h"
#include "base/display_options.h"
#include "base/file_read.h"

namespace {

LevelSearch *search = search_create();   /* the checker's search, one level after another */

enum {
    MAP_TEXT_SIZE = 256 * 1024,     /* far beyond any map: 199 squares of ten numbers */
    MAX_MAPS = 100,
    SLICE_MS = 100                  /* search time between two updates of the progress line */
};

/* The exit statuses, one for each way a map can fail. */
enum CheckerStatus {
    STATUS_PASS = 0,
    STATUS_FAILS = 1,               /* unreadable, invalid, too slow for its limit, not recorded */
    STATUS_COMMAND_LINE = 2,
    STATUS_NO_SOLUTION = 3,         /* every reachable state tried: it cannot be won */
    STATUS_STATE_LIMIT = 4,         /* the search stopped at --states */
    STATUS_DEPTH_LIMIT = 5,         /* ... at --depth */
    STATUS_MEMORY_LIMIT = 6         /* ... at --memory */
};

const int64_t MEGABYTE = 1024 * 1024;

struct CheckerRequest {
    bool validate_only = false;
    const char *record_dir = nullptr;
    const char *markdown_path = nullptr;
    int32_t ticks_per_frame = 2;
    int64_t state_limit = 4000000;
    int32_t depth_limit = 600;
    int64_t memory_limit = 256 * MEGABYTE;
    int32_t jobs = 2;
    bool fair = false;
    int32_t start_delay = ANALYSIS_START_DELAY;
    int32_t think_ticks = ANALYSIS_THINK_TICKS;
    const char *maps[MAX_MAPS];
    int map_count = 0;
};

/* One line of the closing table. */
struct LevelRow {
    const char *path;
    bool valid;
    SearchOutcome outcome;
    int32_t moves, waits, ticks, limit_ticks;
    int64_t states;
    int64_t peak_memory;
    double seconds;
    bool analysed;
    LevelAnalysis analysis;
    int32_t shared_percent;     /* most of its squares another map of the run shares, */
    int shared_with;            /* and which (-1: none) */
};

char map_text[MAP_TEXT_SIZE + 1];
SearchResult result;                /* some 8 KB of steps, kept off the stack */
LevelRow rows[MAX_MAPS];
LevelTableRow table_rows[MAX_MAPS];
LevelSquares map_squares[MAX_MAPS];     /* for the squares one level shares with another */
bool squares_read[MAX_MAPS];

enum { OPTION_VALIDATE, OPTION_RECORD, OPTION_MARKDOWN, OPTION_TICKS, OPTION_STATES, OPTION_DEPTH,
       OPTION_MEMORY, OPTION_JOBS, OPTION_FAIR, OPTION_START_DELAY, OPTION_THINK, OPTION_COUNT };

const CommandOption CHECKER_OPTIONS[] = {
    {"validate", nullptr, N_("only check the files, do not search"), 0, 0},
    {"record", "DIR", N_("write each solution to DIR under the map's name"), 0, 0},
    {"markdown", "FILE", N_("write a Markdown table of the maps to FILE"), 0, 0},
    {"ticks", "N", N_("timer ticks a frame, 1 to 100 (default 2)"), 1, 100},
    {"states", "N", N_("search at most N states (default 4000000)"), 1, 100000000},
    {"depth", "N", N_("search at most N moves deep (default 600)"), 1, SEARCH_MAX_STEPS},
    {"memory", "MB", N_("search in at most MB megabytes (default 256)"), 1, 65536},
    {"jobs", "N", N_("threads searching at once, 1 or 2 (default 2)"), 1, 2},
    {"fair", nullptr, N_("analyse each map solved for fairness to a human"), 0, 0},
    {"start-delay", "TICKS", N_("with --fair, the delayed start tried (default 100)"), 0, 100000},
    {"think", "SECONDS", N_("with --fair, a player's thinking before each command (default 0.4)"), 0, 0},
};

/* Reads --think's seconds (0 to 60, to the hundredth) as game ticks; false for anything else. */
bool read_think(const char *text, int32_t *ticks)
{
    char *end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text, &end);
    if (end == text || *end || errno == ERANGE || !(seconds >= 0.0 && seconds <= 60.0))
        return false;
    *ticks = (int32_t)(seconds * 100.0 + 0.5);
    return true;
}

/* Reads the command line into r. Returns -1 to go on, or the exit status to end with. */
int parse_request(int argc, char **argv, CheckerRequest *r)
{
    const CommandSyntax syntax = {
        path_file_name(argv[0]), N_("Validates level files and proves each can be won in time."),
        "MAP...", 1, MAX_MAPS, CHECKER_OPTIONS, OPTION_COUNT, true};
    CommandLine line;
    int status = read_command_line(argc, argv, &syntax, game_version(), &line);
    if (status >= 0)
        return status;
    r->validate_only = line.given[OPTION_VALIDATE];
    r->record_dir = line.text[OPTION_RECORD];
    r->markdown_path = line.text[OPTION_MARKDOWN];
    if (line.given[OPTION_TICKS])
        r->ticks_per_frame = (int32_t)line.number[OPTION_TICKS];
    if (line.given[OPTION_STATES])
        r->state_limit = line.number[OPTION_STATES];
    if (line.given[OPTION_DEPTH])
        r->depth_limit = (int32_t)line.number[OPTION_DEPTH];
    if (line.given[OPTION_MEMORY])
        r->memory_limit = line.number[OPTION_MEMORY] * MEGABYTE;
    if (line.given[OPTION_JOBS])
        r->jobs = (int32_t)line.number[OPTION_JOBS];
    r->fair = line.given[OPTION_FAIR];
    // Without --fair nothing reads them: taking them silently would let a designer believe a
    // pace was tried that never was.
    for (int option : {OPTION_START_DELAY, OPTION_THINK})
        if (line.given[option] && !r->fair) {
            std::fprintf(stderr, _("%s: --%s only works with --fair\n"), path_file_name(argv[0]),
                         CHECKER_OPTIONS[option].name);
            print_usage(stderr, &syntax);
            return STATUS_COMMAND_LINE;
        }
    if (line.given[OPTION_START_DELAY])
        r->start_delay = (int32_t)line.number[OPTION_START_DELAY];
    if (line.given[OPTION_THINK] && !read_think(line.text[OPTION_THINK], &r->think_ticks)) {
        std::fprintf(stderr, _("%s: --think wants seconds from 0 to 60: %s\n"),
                     path_file_name(argv[0]), line.text[OPTION_THINK]);
        print_usage(stderr, &syntax);
        return STATUS_COMMAND_LINE;
    }
    for (int i = 0; i < line.operand_count; i++)
        r->maps[r->map_count++] = line.operands[i];
    return -1;
}

/* Reads a whole map file. Returns its length, or -1 (with a message) when it cannot be used. */
long read_map(const char *path)
{
    // A FIFO or a device in a map's place is refused at once, never waited on.
    char fault[GAME_PATH_SIZE + 96];
    const int fd = open_regular_file(path, MAP_TEXT_SIZE, fault, sizeof fault);
    if (fd < 0 && errno == EFBIG) {
        std::fprintf(stderr, _("%s: larger than %d bytes: no map is that long\n"), path,
                     (int)MAP_TEXT_SIZE);
        return -1;
    }
    if (fd < 0 && !fault[0])
        std::snprintf(fault, sizeof fault, "%s: %s", path, std::strerror(errno));
    const long got = fd < 0 ? -1 : read_up_to(fd, map_text, MAP_TEXT_SIZE + 1);
    if (fd >= 0) {
        if (got < 0)
            std::snprintf(fault, sizeof fault, "%s: %s", path, std::strerror(errno));
        else
            std::snprintf(fault, sizeof fault, _("%s: larger than %d bytes"), path,
                          (int)MAP_TEXT_SIZE);
        close(fd);
    }
    if (got < 0 || got > MAP_TEXT_SIZE) {
        std::fprintf(stderr, _("%s; the game ends with \"Can't load the map\"\n"), fault);
        return -1;
    }
    const size_t length = (size_t)got;
    map_text[length] = '\0';
    int line = 1;
    for (size_t i = 0; i < length; i++) {
        if (map_text[i] == '\0') {
            std::fprintf(stderr, _("%s:%d: a NUL byte: a map is plain text\n"), path, line);
            return -1;
        }
        line += map_text[i] == '\n';
    }
    return (long)length;
}



bool record(const CheckerRequest &request, const char *path, const char *level_name)
{
    char out_path[1024];
    std::snprintf(out_path, sizeof out_path, "%s/%s", request.record_dir, path_file_name(path));
    FILE *out = std::fopen(out_path, "w");
    if (!out) {
        std::fprintf(stderr, _("%s: cannot write the solution to %s: %s\n"), path, out_path,
                     std::strerror(errno));
        return false;
    }
    int completed = write_solution(out, map_text, path_file_name(path), level_name,
                                   request.ticks_per_frame, result);
    bool written = std::fclose(out) == 0;
    if (!completed || !written) {
        std::fprintf(stderr, _("%s: the recorded solution in %s %s\n"), path, out_path,
                    completed ? _("could not be written") : _("does not complete the level on replay"));
        return false;
    }
    std::printf(_("%s: solution recorded in %s\n"), path, out_path);
    return true;
}

/* The search in slices, with a progress line on stderr between them when stderr is a terminal
   (cleared at the end, so that only the results stay). */
void run_search(const char *path, long length, const CheckerRequest &request)
{
    SearchLimits limits{request.ticks_per_frame, request.state_limit, request.depth_limit,
                        request.memory_limit, request.jobs - 1};
    if (search_start(*search, map_text, (size_t)length, limits) != SEARCH_RUNNING)
        return;
    const bool show = isatty(2);
    bool shown = false;
    while (search_run(*search, INT64_MAX, show ? SLICE_MS : 0) == SEARCH_RUNNING) {
        SearchProgress p;
        search_progress(*search, &p);
        std::fprintf(stderr, "\r%s: %lld states, depth %d, frontier %lld, %.0f MB, %.0f states/s ",
                     path_file_name(path), (long long)p.states, (int)p.depth,
                     (long long)p.frontier, (double)p.memory / MEGABYTE,
                     p.seconds > 0 ? (double)p.states / p.seconds : 0.0);
        shown = true;
    }
    if (shown)
        std::fprintf(stderr, "\r\033[K");
}

/* Says why the search stopped when it did not solve the level; returns the exit status. */
int report_unsolved(const char *path, const SearchProgress &p, const CheckerRequest &request)
{
    const long long states = (long long)p.states;
    switch (p.outcome) {
    case SEARCH_NO_SOLUTION:
        std::printf(_("%s: cannot be won: no solution among all %lld reachable states\n"), path, states);
        return STATUS_NO_SOLUTION;
    case SEARCH_STATE_LIMIT:
        std::printf(_("%s: no solution found: the search stopped at the state limit of %lld states "
                      "(--states), at depth %d\n"), path, (long long)request.state_limit, (int)p.depth);
        return STATUS_STATE_LIMIT;
    case SEARCH_DEPTH_LIMIT:
        std::printf(_("%s: no solution found: the search stopped at the depth limit of %d commands "
                      "(--depth), after %lld states\n"), path, (int)request.depth_limit, states);
        return STATUS_DEPTH_LIMIT;
    case SEARCH_MEMORY_LIMIT:
        std::printf(_("%s: no solution found: the search stopped at the memory limit of %lld MB "
                      "(--memory), after %lld states at depth %d\n"), path,
                    (long long)(request.memory_limit / MEGABYTE), states, (int)p.depth);
        return STATUS_MEMORY_LIMIT;
    default:
        std::printf(_("%s: the search could not be run\n"), path);
        return STATUS_FAILS;
    }
}

const char *progress_name = "";
bool progress_shown = false;

/* The analysis's progress line on stderr, on a terminal only. */
void show_analysis_progress(const char *stage, int64_t count)
{
    if (!isatty(2))
        return;
    std::fprintf(stderr, "\r\033[K%s: fairness: %s %lld", progress_name, stage, (long long)count);
    progress_shown = true;
}

/* Prints a line of the analysis's description after the map's path, a trap's commands as they
   stand. */
void print_analysis_line(void *path, const char *text, bool indented)
{
    if (indented)
        std::printf("%s\n", text);
    else
        std::printf("%s: %s\n", (const char *)path, text);
}

/* Analyses the map in map_text for fairness and prints what was found. */
void analyse(const char *path, const CheckerRequest &request, LevelRow *row)
{
    progress_name = path_file_name(path);
    AnalysisLimits limits{request.ticks_per_frame, 2 * request.memory_limit, request.start_delay,
                          ANALYSIS_SLOWEST_RATE, show_analysis_progress, request.jobs,
                          request.think_ticks};
    limits.actor_states = request.state_limit;
    // The way the check found is typed again at the other rates and after the delay first.
    limits.known = &result;
    LevelAnalysis &a = row->analysis;
    row->analysed = analyse_level(map_text, limits, &a);
    if (progress_shown)
        std::fprintf(stderr, "\r\033[K");
    progress_shown = false;
    if (!row->analysed)
        return;
    describe_analysis(a, limits.memory_limit, print_analysis_line, (void *)path);
}

/* Validates, solves and records one map; returns its exit status, STATUS_PASS when it passes.
   Fills *row for the closing table and the texts of *table_row for --markdown. */
int check_map(const CheckerRequest &request, const char *path, LevelRow *row,
              LevelTableRow *table_row)
{
    row->path = path;
    row->valid = false;
    row->outcome = SEARCH_IDLE;
    long length = read_map(path);
    if (length < 0)
        return STATUS_FAILS;
    level_table_texts(map_text, table_row);
    static ValidationReport report;
    validate_map(map_text, (size_t)length, &report);
    print_validation(stdout, path, report);
    if (report.faults > 0) {
        std::printf(_("%s: invalid, %d faults\n"), path, (int)report.faults);
        return STATUS_FAILS;
    }
    row->valid = true;
    std::printf(_("%s: valid: \"%s\", %d squares over %d x %d, %d actors, %d sweets, %d minutes\n"),
                path, report.name, (int)report.squares, (int)report.columns, (int)report.rows,
                (int)report.actors, (int)report.sweets, (int)report.minutes);
    if (request.validate_only)
        return STATUS_PASS;

    run_search(path, length, request);
    SearchProgress progress;
    search_progress(*search, &progress);
    const bool replayed = search_solution(*search, &result);
    search_end(*search);
    row->seconds = progress.seconds;
    row->peak_memory = progress.peak_memory;
    row->outcome = result.outcome;
    row->states = result.states;
    row->moves = result.moves;
    row->waits = result.waits;
    row->ticks = result.ticks;
    row->limit_ticks = result.limit_ticks;

    if (result.outcome != SEARCH_SOLVED)
        return report_unsolved(path, progress, request);
    if (!replayed) {
        std::printf(_("%s: the solution found does not complete the level when played again\n"), path);
        return STATUS_FAILS;
    }
    bool roomy = 2 * (int64_t)result.ticks <= result.limit_ticks;
    std::printf(_("%s: solved in %d moves and %d waits, %.2f s of game time of the %d s limit: %s; "
                  "%lld states searched in %.2f s\n"),
                path, (int)result.moves, (int)result.waits, result.ticks / 100.0,
                (int)(result.limit_ticks / 100), roomy ? _("fits with room to spare") :
                result.ticks <= result.limit_ticks ? _("fits, but takes more than half the limit") :
                _("does not fit the limit"), (long long)result.states, row->seconds);
    describe_way(result, print_analysis_line, nullptr);
    if (request.record_dir && !record(request, path, report.name))
        return STATUS_FAILS;
    if (request.fair)
        analyse(path, request, row);
    return roomy ? STATUS_PASS : STATUS_FAILS;
}

double states_a_second(int64_t states, double seconds)
{
    return seconds > 0 ? (double)states / seconds : 0.0;
}

/* The closing table: each map's solution and what its search took, then the totals and the
   most memory the checker held at once. */
void print_table(const CheckerRequest &request)
{
    std::printf("\n%-24s %6s %6s %8s %8s %10s %8s %10s %8s\n", "map", "moves", "waits", "time s",
                "limit s", "states", "search s", "states/s", "peak MB");
    int64_t states = 0, peak = 0;
    double seconds = 0;
    for (int i = 0; i < request.map_count; i++) {
        const LevelRow &r = rows[i];
        if (!r.valid) {
            std::printf("%-24s invalid\n", path_file_name(r.path));
            continue;
        }
        states += r.states;
        seconds += r.seconds;
        peak = r.peak_memory > peak ? r.peak_memory : peak;
        if (r.outcome != SEARCH_SOLVED)
            std::printf("%-24s %6s %6s %8s %8d", path_file_name(r.path), "-", "-", "-",
                        (int)(r.limit_ticks / 100));
        else
            std::printf("%-24s %6d %6d %8.2f %8d", path_file_name(r.path), (int)r.moves,
                        (int)r.waits, r.ticks / 100.0, (int)(r.limit_ticks / 100));
        std::printf(" %10lld %8.2f %10.0f %8.1f\n", (long long)r.states, r.seconds,
                    states_a_second(r.states, r.seconds), (double)r.peak_memory / MEGABYTE);
    }
    std::printf("%-24s %6s %6s %8s %8s %10lld %8.2f %10.0f %8.1f\n", "total", "", "", "", "",
                (long long)states, seconds, states_a_second(states, seconds),
                (double)peak / MEGABYTE);
    struct rusage self;
    if (getrusage(RUSAGE_SELF, &self) == 0)
        std::printf(_("peak resident memory of the checker, its helper thread included: %.1f MB\n"),
                    self.ru_maxrss / 1024.0);
}

/* For each map, the most of its squares another map of the run shares (of the smaller one's
   squares, under the best shift), and which; the pairs sharing more than half are named. */
void compare_maps(const CheckerRequest &request)
{
    for (int i = 0; i < request.map_count; i++) {
        rows[i].shared_percent = 0;
        rows[i].shared_with = -1;
    }
    for (int i = 0; i < request.map_count; i++) {
        for (int j = i + 1; j < request.map_count; j++) {
            if (!squares_read[i] || !squares_read[j])
                continue;
            const int32_t percent = (int32_t)(100.0 * shared_share(map_squares[i], map_squares[j]) + 0.5);
            for (int k : {i, j}) {
                const int other = k == i ? j : i;
                if (percent > rows[k].shared_percent || rows[k].shared_with < 0) {
                    rows[k].shared_percent = percent;
                    rows[k].shared_with = other;
                }
            }
            if (percent > 50)
                std::printf(_("%s and %s share %d %% of the smaller one's squares\n"),
                            path_file_name(request.maps[i]), path_file_name(request.maps[j]),
                            (int)percent);
        }
    }
}

/* The fairness table: each analysed map's figures, and the analysis's time in all. */
void print_fairness_table(const CheckerRequest &request)
{
    std::printf("\n%-24s %9s %8s %6s %9s %8s %7s %6s %7s %7s %9s %6s %6s %6s %6s %5s %4s %6s\n",
                "map", "positions", "decision", "wrong", "traps", "unwon %", "delay", "rates",
                "margin", "human", "fair s", "shared", "actors", "matter", "saved", "waits", "view",
                "shows");
    double seconds = 0;
    for (int i = 0; i < request.map_count; i++) {
        const LevelRow &r = rows[i];
        if (!r.analysed)
            continue;
        const LevelAnalysis &a = r.analysis;
        seconds += a.seconds;
        int32_t failing = 0;
        for (int32_t rate = 1; rate <= a.slowest_rate; rate++)
            if (!a.rate_wins[rate])
                failing = rate;
        char rates[16];
        std::snprintf(rates, sizeof rates, failing ? "not %d" : "1-%d", failing ? (int)failing : (int)a.slowest_rate);
        char human[16];
        if (a.think_wins)
            std::snprintf(human, sizeof human, "%.2f", analysis_human_margin(a));
        else
            std::snprintf(human, sizeof human, "%s", a.think_ticks >= 0 ? "no" : "-");
        // The actors: how many, how many matter ("?" after it: some not known), the commands
        // saved without them all; "-" where not weighed.
        const ActorWeights &w = a.actors;
        const int32_t saving = actors_saving(w);
        char actors[3][16] = {"-", "-", "-"};
        if (a.actors_weighed) {
            std::snprintf(actors[0], sizeof actors[0], "%d", (int)w.count);
            std::snprintf(actors[1], sizeof actors[1], "%d%s", (int)w.matter, w.unknown ? "?" : "");
            std::snprintf(actors[2], sizeof actors[2], saving >= 0 ? "%d" : saving == WAY_NONE ?
                          "no win" : "?", (int)saving);
        }
        const StartView &v = a.start_view;
        std::printf("%-24s %9lld %8d %6d %9lld %8.1f %7s %6s %7.1f %7s %9.2f %5d%% %6s %6s %6s "
                    "%5d %4d %6s\n",
                    path_file_name(r.path), (long long)a.positions, (int)a.decisions,
                    (int)a.wrong_ways, (long long)a.trap_positions,
                    100.0 * analysis_unwinnable_share(a), a.start_delay_wins ? "yes" : "no", rates,
                    analysis_clock_margin(a), human, a.seconds, (int)r.shared_percent, actors[0],
                    actors[1], actors[2], (int)a.way_waits, (int)a.start_view.squares,
                    v.teleport ? (v.sweet ? "T+S" : "T") : v.sweet ? "S" : "-");
    }
    std::printf("%-24s %9s %8s %6s %9s %8s %7s %6s %7s %7s %9.2f\n", "total", "", "", "", "", "",
                "", "", "", "", seconds);
}

/* Writes the Markdown table of all maps to --markdown's file; returns false (with a message)
   when it cannot be written. */
bool write_markdown(const CheckerRequest &request)
{
    for (int i = 0; i < request.map_count; i++) {
        const LevelRow &r = rows[i];
        LevelTableRow &t = table_rows[i];
        t.file_name = path_file_name(r.path);
        t.solved = r.valid && r.outcome == SEARCH_SOLVED;
        t.moves = r.moves;
        t.waits = r.waits;
        t.ticks = r.ticks;
        t.limit_ticks = r.limit_ticks;
        t.states = r.states;
        const LevelAnalysis &a = r.analysis;
        t.analysed = r.analysed && t.solved;
        t.decisions = a.complete ? a.decisions : -1;
        t.wrong_ways = a.complete ? a.wrong_ways : -1;
        t.traps = a.complete ? a.trap_positions : -1;
        t.unwinnable_share = a.complete ? analysis_unwinnable_share(a) : -1.0;
        t.delay_wins = a.start_delay_wins;
        t.slowest_rate = a.slowest_rate;
        t.failing_rate = 0;
        for (int32_t rate = 1; rate <= a.slowest_rate; rate++)
            if (!a.rate_wins[rate])
                t.failing_rate = rate;
        t.margin = analysis_clock_margin(a);
        t.think_tried = a.think_ticks >= 0;
        t.human_margin = a.think_wins ? analysis_human_margin(a) : 0.0;
        t.shared_percent = r.shared_percent;
        t.shared_with = r.shared_with >= 0 ? path_file_name(rows[r.shared_with].path) : nullptr;
        t.actors_weighed = a.actors_weighed;
        t.actors = a.actors.count;
        t.actors_matter = a.actors.matter;
        t.actors_unknown = a.actors.unknown > 0;
        t.actors_saving = actors_saving(a.actors);
        t.way_waits = a.way_waits;
        t.view_squares = a.start_view.squares;
        t.view_teleport = a.start_view.teleport;
        t.view_sweet = a.start_view.sweet;
    }
    FILE *out = std::fopen(request.markdown_path, "w");
    if (!out) {
        std::fprintf(stderr, _("%s: the table cannot be written: %s\n"), request.markdown_path,
                     std::strerror(errno));
        return false;
    }
    write_level_table(out, table_rows, request.map_count, request.fair);
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, _("%s: the table could not be written: %s\n"), request.markdown_path,
                     std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    CheckerRequest request;
    int status = parse_request(argc, argv, &request);
    if (status >= 0)
        return status;
    // Only the fixed-point tables of the library are used; nothing is shown or heard.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    display_options = program_start_options;
    display_options.sound_off = true;

    int first_fault = STATUS_PASS;
    for (int i = 0; i < request.map_count; i++) {
        int map_status = check_map(request, request.maps[i], &rows[i], &table_rows[i]);
        squares_read[i] = rows[i].valid && read_level_squares(map_text, &map_squares[i]);
        if (first_fault == STATUS_PASS)
            first_fault = map_status;
        // What the map's searches freed goes back to the system (every thread's arena), so that
        // the set holds at most what its largest level needs rather than what all have.
        malloc_trim(0);
    }
    if (request.fair)
        compare_maps(request);
    if (!request.validate_only && request.map_count > 1) {
        print_table(request);
        if (request.fair)
            print_fairness_table(request);
    }
    if (request.markdown_path && !write_markdown(request) && first_fault == STATUS_PASS)
        first_fault = STATUS_FAILS;
    return first_fault;
}
