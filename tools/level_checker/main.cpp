/* main.cpp: level_checker, proves that level files load as meant and can be won in time.

   level_checker [--validate] [--record DIR] [--ticks N] [--states N] [--depth N] MAP...
   (installed as tirvex-check)

   Validates each MAP, then searches for its shortest solution and tells whether it takes at most
   half the level's time limit. Options take one dash or two alike. --validate stops after the validation; --record writes each
   solution to DIR under the map file's name, as the replay the tests play back. The exit status
   is 0 when every map is valid and solved with that room to spare, 1 otherwise, 2 for a wrong
   command line. */
#include <allegro.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "level_search.h"
#include "map_validation.h"
#include "solution_record.h"
#include "shell/command_line.h"
#include "shell/game_paths.h"
#include "ui/display_options.h"

namespace {

enum {
    MAP_TEXT_SIZE = 256 * 1024,     /* far beyond any map: 199 squares of ten numbers */
    MAX_MAPS = 100
};

struct CheckerRequest {
    bool validate_only = false;
    const char *record_dir = nullptr;
    int32_t ticks_per_frame = 2;
    int64_t state_limit = 4000000;
    int32_t depth_limit = 600;
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
    double seconds;
};

char map_text[MAP_TEXT_SIZE + 1];
SearchResult result;                /* some 8 KB of steps, kept off the stack */
LevelRow rows[MAX_MAPS];

enum { OPTION_VALIDATE, OPTION_RECORD, OPTION_TICKS, OPTION_STATES, OPTION_DEPTH };

const CommandOption CHECKER_OPTIONS[] = {
    {"validate", nullptr, "only check the files, do not search", 0, 0},
    {"record", "DIR", "write each solution to DIR under the map's name", 0, 0},
    {"ticks", "N", "timer ticks a frame, 1 to 100 (default 2)", 1, 100},
    {"states", "N", "search at most N states (default 4000000)", 1, 100000000},
    {"depth", "N", "search at most N moves deep (default 600)", 1, SEARCH_MAX_STEPS},
};

/* Reads the command line into r. Returns -1 to go on, or the exit status to end with. */
int parse_request(int argc, char **argv, CheckerRequest *r)
{
    const CommandSyntax syntax = {
        path_file_name(argv[0]), "Validates level files and proves each can be won in time.",
        "MAP...", 1, MAX_MAPS, CHECKER_OPTIONS, 5};
    CommandLine line;
    int status = read_command_line(argc, argv, &syntax, game_version(), &line);
    if (status >= 0)
        return status;
    r->validate_only = line.given[OPTION_VALIDATE];
    r->record_dir = line.text[OPTION_RECORD];
    if (line.given[OPTION_TICKS])
        r->ticks_per_frame = (int32_t)line.number[OPTION_TICKS];
    if (line.given[OPTION_STATES])
        r->state_limit = line.number[OPTION_STATES];
    if (line.given[OPTION_DEPTH])
        r->depth_limit = (int32_t)line.number[OPTION_DEPTH];
    for (int i = 0; i < line.operand_count; i++)
        r->maps[r->map_count++] = line.operands[i];
    return -1;
}

/* Reads a whole map file. Returns its length, or -1 (with a message) when it cannot be used. */
long read_map(const char *path)
{
    FILE *file = std::fopen(path, "rb");
    if (!file) {
        std::printf("%s: cannot be opened: the game ends with \"Can't load the map\"\n", path);
        return -1;
    }
    size_t length = std::fread(map_text, 1, MAP_TEXT_SIZE + 1, file);
    std::fclose(file);
    if (length > MAP_TEXT_SIZE) {
        std::printf("%s: larger than %d bytes: no map is that long\n", path, (int)MAP_TEXT_SIZE);
        return -1;
    }
    map_text[length] = '\0';
    int line = 1;
    for (size_t i = 0; i < length; i++) {
        if (map_text[i] == '\0') {
            std::printf("%s:%d: a NUL byte: a map is plain text\n", path, line);
            return -1;
        }
        line += map_text[i] == '\n';
    }
    return (long)length;
}


const char *command_name(int32_t code)
{
    switch (code) {
    case SEARCH_WAIT:  return "wait";
    case 72:           return "up";
    case 80:           return "down";
    case 75:           return "left";
    case 77:           return "right";
    case 57:           return "jump";
    case 1001:         return "strafe-left";
    case 1002:         return "strafe-right";
    default:           return "?";
    }
}

/* The solution as the keys a player would press, with the robot's square after each one that
   moves it, several to a line. */
void print_steps()
{
    int32_t column = -1, row = -1;
    int on_line = 0;
    for (int32_t i = 0; i < result.step_count; i++) {
        const SearchStep &s = result.steps[i];
        if (on_line == 0)
            std::printf("  ");
        std::printf("%s", command_name(s.code));
        if (s.column != column || s.row != row)
            std::printf(" (%d,%d)", (int)s.column, (int)s.row);
        column = s.column;
        row = s.row;
        if (++on_line == 8 || i + 1 == result.step_count) {
            std::printf("\n");
            on_line = 0;
        } else {
            std::printf(", ");
        }
    }
}

bool record(const CheckerRequest &request, const char *path, const char *level_name)
{
    char out_path[1024];
    std::snprintf(out_path, sizeof out_path, "%s/%s", request.record_dir, path_file_name(path));
    FILE *out = std::fopen(out_path, "w");
    if (!out) {
        std::printf("%s: cannot write the solution to %s\n", path, out_path);
        return false;
    }
    int completed = write_solution(out, map_text, path_file_name(path), level_name,
                                   request.ticks_per_frame, result);
    bool written = std::fclose(out) == 0;
    if (!completed || !written) {
        std::printf("%s: the recorded solution in %s %s\n", path, out_path,
                    completed ? "could not be written" : "does not complete the level on replay");
        return false;
    }
    std::printf("%s: solution recorded in %s\n", path, out_path);
    return true;
}

/* Validates, solves and records one map; returns true when it passes. */
bool check_map(const CheckerRequest &request, const char *path, LevelRow *row)
{
    row->path = path;
    row->valid = false;
    row->outcome = SEARCH_GAVE_UP;
    long length = read_map(path);
    if (length < 0)
        return false;
    static ValidationReport report;
    validate_map(map_text, (size_t)length, &report);
    print_validation(stdout, path, report);
    if (report.faults > 0) {
        std::printf("%s: invalid, %d faults\n", path, (int)report.faults);
        return false;
    }
    row->valid = true;
    std::printf("%s: valid: \"%s\", %d squares over %d x %d, %d actors, %d sweets, %d minutes\n",
                path, report.name, (int)report.squares, (int)report.columns, (int)report.rows,
                (int)report.actors, (int)report.sweets, (int)report.minutes);
    if (request.validate_only)
        return true;

    SearchLimits limits{request.ticks_per_frame, request.state_limit, request.depth_limit};
    auto started = std::chrono::steady_clock::now();
    search_level(map_text, limits, &result);
    row->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    row->outcome = result.outcome;
    row->states = result.states;
    row->moves = result.moves;
    row->waits = result.waits;
    row->ticks = result.ticks;
    row->limit_ticks = result.limit_ticks;

    if (result.outcome == SEARCH_NO_SOLUTION) {
        std::printf("%s: cannot be won: no solution among all %lld reachable states\n", path,
                    (long long)result.states);
        return false;
    }
    if (result.outcome == SEARCH_GAVE_UP) {
        std::printf("%s: no solution found within the search limits (%lld states)\n", path,
                    (long long)result.states);
        return false;
    }
    bool roomy = 2 * (int64_t)result.ticks <= result.limit_ticks;
    std::printf("%s: solved in %d moves and %d waits, %.2f s of game time of the %d s limit: %s; "
                "%lld states searched in %.2f s\n",
                path, (int)result.moves, (int)result.waits, result.ticks / 100.0,
                (int)(result.limit_ticks / 100), roomy ? "fits with room to spare" :
                result.ticks <= result.limit_ticks ? "fits, but takes more than half the limit" :
                "does not fit the limit", (long long)result.states, row->seconds);
    print_steps();
    if (request.record_dir && !record(request, path, report.name))
        return false;
    return roomy;
}

void print_table(const CheckerRequest &request)
{
    std::printf("\n%-28s %6s %6s %9s %9s %10s %9s\n", "map", "moves", "waits", "time s", "limit s",
                "states", "search s");
    int64_t states = 0;
    double seconds = 0;
    for (int i = 0; i < request.map_count; i++) {
        const LevelRow &r = rows[i];
        if (!r.valid) {
            std::printf("%-28s invalid\n", path_file_name(r.path));
            continue;
        }
        states += r.states;
        seconds += r.seconds;
        if (r.outcome != SEARCH_SOLVED)
            std::printf("%-28s %6s %6s %9s %9d %10lld %9.2f\n", path_file_name(r.path), "-", "-", "-",
                        (int)(r.limit_ticks / 100), (long long)r.states, r.seconds);
        else
            std::printf("%-28s %6d %6d %9.2f %9d %10lld %9.2f\n", path_file_name(r.path), (int)r.moves,
                        (int)r.waits, r.ticks / 100.0, (int)(r.limit_ticks / 100),
                        (long long)r.states, r.seconds);
    }
    std::printf("%-28s %6s %6s %9s %9s %10lld %9.2f\n", "total", "", "", "", "", (long long)states,
                seconds);
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

    bool all_pass = true;
    for (int i = 0; i < request.map_count; i++)
        all_pass = check_map(request, request.maps[i], &rows[i]) && all_pass;
    if (!request.validate_only && request.map_count > 1)
        print_table(request);
    return all_pass ? 0 : 1;
}
