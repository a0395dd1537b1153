/* main.cpp: level_generator, makes new levels of an idea and size from a seed, each proven
   winnable and fair by the level checker's own search and analysis.

   level_generator --seed N --idea IDEA --size SIZE --out DIR [--count K] [--jobs N] [--why]
   (installed as tirvex-generate)

   Writes K levels (default 1) as DIR/mapNN.txt, numbered from the first free number in DIR, and
   each one's recorded solution as DIR/solutions/mapNN.txt. The same seed, idea, size and count
   give the same files on any machine. A level for which no attempt passes is not written; the
   exit status is then 1. On a terminal a progress line on stderr shows the attempts; --why
   says why each attempt failed. */
#include <allegro.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/command_line.h"
#include "base/display_options.h"
#include "base/game_paths.h"
#include "level_generator.h"
#include "level_score.h"
#include "solution_record.h"
#include "ui/records_file.h"

namespace {

enum { STATUS_DONE = 0, STATUS_FAILS = 1, STATUS_COMMAND_LINE = 2 };
enum { MAX_NUMBER = 99, MAX_COUNT = 99 };

enum { OPTION_SEED, OPTION_IDEA, OPTION_SIZE, OPTION_OUT, OPTION_COUNT, OPTION_JOBS, OPTION_WHY,
       OPTIONS };

const CommandOption GENERATOR_OPTIONS[] = {
    {"seed", "N", "the seed the levels are made from, 0 to 2^62", 0, INT64_C(1) << 62},
    {"idea", "IDEA", "walk, push, runner, chain or mix", 0, 0},
    {"size", "SIZE", "small, medium or large", 0, 0},
    {"out", "DIR", "the folder the levels go to (made when missing)", 0, 0},
    {"count", "K", "levels to make, 1 to 99 (default 1)", 1, MAX_COUNT},
    {"jobs", "N", "threads searching at once, 1 or 2 (default 2)", 1, 2},
    {"why", nullptr, "say on stderr why each attempt failed", 0, 0},
};

struct Request {
    uint64_t seed;
    GeneratorIdea idea;
    GeneratorSize size;
    const char *out;
    int32_t count = 1;
    int32_t jobs = 2;
    bool why = false;
};

int parse_request(int argc, char **argv, Request *r)
{
    const CommandSyntax syntax = {
        path_file_name(argv[0]),
        "Makes new levels of an idea and size from a seed, each proven winnable and fair.", "", 0,
        0, GENERATOR_OPTIONS, OPTIONS};
    CommandLine line;
    const int status = read_command_line(argc, argv, &syntax, game_version(), &line);
    if (status >= 0)
        return status;
    const char *program = path_file_name(argv[0]);
    for (int option : {OPTION_SEED, OPTION_IDEA, OPTION_SIZE, OPTION_OUT})
        if (!line.given[option]) {
            std::fprintf(stderr, "%s: --%s is needed\n", program, GENERATOR_OPTIONS[option].name);
            print_usage(stderr, &syntax);
            return STATUS_COMMAND_LINE;
        }
    if (!parse_idea(line.text[OPTION_IDEA], &r->idea)) {
        std::fprintf(stderr, "%s: no idea \"%s\": walk, push, runner, chain or mix\n", program,
                     line.text[OPTION_IDEA]);
        return STATUS_COMMAND_LINE;
    }
    if (!parse_size(line.text[OPTION_SIZE], &r->size)) {
        std::fprintf(stderr, "%s: no size \"%s\": small, medium or large\n", program,
                     line.text[OPTION_SIZE]);
        return STATUS_COMMAND_LINE;
    }
    r->seed = (uint64_t)line.number[OPTION_SEED];
    r->out = line.text[OPTION_OUT];
    if (line.given[OPTION_COUNT])
        r->count = (int32_t)line.number[OPTION_COUNT];
    if (line.given[OPTION_JOBS])
        r->jobs = (int32_t)line.number[OPTION_JOBS];
    r->why = line.given[OPTION_WHY];
    return -1;
}

/* Makes `path` a folder when it is none; false (with a message) when it cannot be. */
bool make_folder(const char *path)
{
    struct stat info;
    if (stat(path, &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return true;
        std::fprintf(stderr, "%s: not a folder\n", path);
        return false;
    }
    if (mkdir(path, 0777) != 0) {
        std::fprintf(stderr, "%s: the folder cannot be made: %s\n", path, std::strerror(errno));
        return false;
    }
    return true;
}

/* The first number from `from` on whose map file is not in `out`; 0 when all up to 99 are. */
int32_t free_number(const char *out, int32_t from)
{
    for (int32_t number = from; number <= MAX_NUMBER; number++) {
        char path[4096];
        std::snprintf(path, sizeof path, "%s/map%02d.txt", out, (int)number);
        struct stat info;
        if (stat(path, &info) != 0 && errno == ENOENT)
            return number;
    }
    return 0;
}

/* Writes `length` bytes to a new file at `path`; never over a file that is there. False with
   a message naming the file when it cannot. */
bool write_new_file(const char *path, const char *text, size_t length)
{
    FILE *file = std::fopen(path, "wbx");
    if (!file) {
        std::fprintf(stderr, "%s: cannot be written: %s\n", path, std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(text, 1, length, file) == length;
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: could not be written whole\n", path);
        std::remove(path);
        return false;
    }
    return true;
}

bool write_level(const Request &request, const GeneratedLevel &level)
{
    char map_path[4096], solution_path[4096], map_name[16];
    std::snprintf(map_name, sizeof map_name, "map%02d.txt", (int)level.plan.number);
    std::snprintf(map_path, sizeof map_path, "%s/%s", request.out, map_name);
    std::snprintf(solution_path, sizeof solution_path, "%s/solutions/%s", request.out, map_name);
    if (!write_new_file(map_path, level.text, level.length))
        return false;
    FILE *out = std::fopen(solution_path, "w");
    if (!out) {
        std::fprintf(stderr, "%s: cannot be written: %s\n", solution_path, std::strerror(errno));
        return false;
    }
    const int completed = write_solution(out, level.text, map_name, level.plan.name,
                                         GENERATOR_TICKS_PER_FRAME, level.way,
                                         map_text_hash(level.text, level.length));
    if (std::fclose(out) != 0 || !completed) {
        std::fprintf(stderr, "%s: %s\n", solution_path,
                     completed ? "could not be written" : "does not complete the level on replay");
        return false;
    }
    return true;
}

bool progress_shown = false;
bool say_why = false;

/* The attempts on stderr as they go, on a terminal only; with --why each failed one's reason,
   a line each, anywhere. */
void show_progress(void *context, int32_t attempts, int32_t passed, const char *why)
{
    const int number = *(int32_t *)context;
    if (say_why && why[0]) {
        std::fprintf(stderr, "%smap%02d: attempt %d: %s\n", progress_shown ? "\r\033[K" : "",
                     number, (int)attempts, why);
        progress_shown = false;
    }
    if (!isatty(2))
        return;
    std::fprintf(stderr, "\r\033[Kmap%02d: %d shapes tried, %d passed", number, (int)attempts,
                 (int)passed);
    progress_shown = true;
}

void print_level(const GeneratedLevel &level)
{
    const LevelAnalysis &a = level.analysis;
    std::printf("map%02d.txt: \"%s\": %s\n", (int)level.plan.number, level.plan.name,
                level.plan.idea);
    std::printf("map%02d.txt: %d squares (%d pruned), %d moves, %d waits, %d decisions, %d wrong "
                "ways, %lld traps, %.1f %% cannot be won, margin %.1f, human margin %.2f, "
                "score %.1f\n", (int)level.plan.number, (int)plan_square_count(level.plan),
                (int)level.squares_pruned, (int)level.way.moves, (int)level.way.waits,
                (int)a.decisions, (int)a.wrong_ways, (long long)a.trap_positions,
                100.0 * analysis_unwinnable_share(a), analysis_clock_margin(a),
                analysis_human_margin(a), level.score);
    std::printf("map%02d.txt: %d shapes tried, %d passed, %lld states, %.1f MB at most, %.2f s\n",
                (int)level.plan.number, (int)level.attempts, (int)level.passed,
                (long long)level.states, (double)level.peak_memory / (1024.0 * 1024.0),
                level.seconds);
}

} // namespace

int main(int argc, char **argv)
{
    Request request;
    const int status = parse_request(argc, argv, &request);
    if (status >= 0)
        return status;
    // Only the fixed-point tables of the library are used; nothing is shown or heard.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    display_options = program_start_options;
    display_options.sound_off = true;

    say_why = request.why;
    char solutions[4096];
    std::snprintf(solutions, sizeof solutions, "%s/solutions", request.out);
    if (!make_folder(request.out) || !make_folder(solutions))
        return STATUS_FAILS;
    auto level = std::make_unique<GeneratedLevel>();
    int result = STATUS_DONE;
    int32_t number = 1;
    double seconds = 0;
    for (int32_t k = 0; k < request.count; k++) {
        number = free_number(request.out, number);
        if (number == 0) {
            std::fprintf(stderr, "%s: every number up to %d is taken\n", request.out, MAX_NUMBER);
            return STATUS_FAILS;
        }
        GeneratorRequest g{request.seed, request.idea, request.size, k, number, request.jobs,
                           show_progress, &number};
        const bool found = generate_level(g, level.get());
        if (progress_shown)
            std::fprintf(stderr, "\r\033[K");
        progress_shown = false;
        seconds += level->seconds;
        if (!found) {
            std::printf("seed %" PRIu64 ", level %d of %s %s: none of %d shapes passed the rules "
                        "(%.2f s)\n", request.seed, (int)k + 1, size_rules(request.size).name,
                        idea_name(request.idea), (int)level->attempts, level->seconds);
            result = STATUS_FAILS;
            continue;
        }
        if (!write_level(request, *level))
            return STATUS_FAILS;
        print_level(*level);
        std::fflush(stdout);
        number++;
    }
    struct rusage self;
    if (getrusage(RUSAGE_SELF, &self) == 0)
        std::printf("%d levels in %.2f s; peak resident memory %.1f MB\n", (int)request.count,
                    seconds, self.ru_maxrss / 1024.0);
    return result;
}
