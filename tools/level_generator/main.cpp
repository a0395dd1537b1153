/* main.cpp: level_generator, makes new levels of an idea and size from a seed, each proven
   winnable and fair by the level checker's own search and analysis.

   level_generator --seed N --idea IDEA --size SIZE --out DIR [--count K] [--jobs N] [--why]
                   [--set] [--parent PID]
   (installed as tirvex-generate)

   Writes K levels (default 1) as DIR/mapNN.txt, numbered from the first free number in DIR (or,
   with --set, level K of the seed as number K), and each one's recorded solution as
   DIR/solutions/mapNN.txt; a level is on disk only as a whole pair of new files. The same seed,
   idea, size and count give the same files on any machine. A level for which no attempt passes
   is not written; the exit status is then 1. On a terminal a progress line on stderr shows the
   attempts; --why says why each attempt failed. */
#include <allegro.h>

#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/command_line.h"
#include "base/display_options.h"
#include "base/file_replace.h"
#include "base/game_paths.h"
#include "base/translation.h"
#include "level_generator.h"
#include "level_score.h"
#include "solution_record.h"
#include "world/map_hash.h"

namespace {

enum { STATUS_DONE = 0, STATUS_FAILS = 1, STATUS_COMMAND_LINE = 2 };
enum { MAX_NUMBER = 99, MAX_COUNT = 99 };

enum { OPTION_SEED, OPTION_IDEA, OPTION_SIZE, OPTION_OUT, OPTION_COUNT, OPTION_JOBS, OPTION_WHY,
       OPTION_SET, OPTION_PARENT, OPTIONS };

const CommandOption GENERATOR_OPTIONS[] = {
    {"seed", "N", N_("the seed the levels are made from, 0 to 2^62"), 0, INT64_C(1) << 62, true},
    {"idea", "IDEA", N_("walk, push, runner, chain or mix"), 0, 0, true},
    {"size", "SIZE", N_("small, medium or large"), 0, 0, true},
    {"out", "DIR", N_("the folder the levels go to (made when missing)"), 0, 0, true},
    {"count", "K", N_("levels to make, 1 to 99 (default 1)"), 1, MAX_COUNT},
    {"jobs", "N", N_("threads searching at once, 1 or 2 (default 2)"), 1, 2},
    {"why", nullptr, N_("say on stderr why each attempt failed"), 0, 0},
    {"set", nullptr, N_("DIR is the seed's set: level K is number K; numbers taken are kept"), 0, 0},
    {"parent", "PID", N_("end when process PID, which started this one, ends"), 1, INT32_MAX},
};

/* The name every message starts with: the program's, as it was started. */
const char *program = "tirvex-generate";

struct Request {
    uint64_t seed;
    GeneratorIdea idea;
    GeneratorSize size;
    const char *out;
    int32_t count = 1;
    int32_t jobs = 2;
    bool why = false;
    bool set = false;
    pid_t parent = 0;           /* the process whose end ends this one; 0 for none */
};

int parse_request(int argc, char **argv, Request *r)
{
    const CommandSyntax syntax = {
        path_file_name(argv[0]),
        N_("Makes new levels of an idea and size from a seed, each proven winnable and fair."), "", 0,
        0, GENERATOR_OPTIONS, OPTIONS, true};
    CommandLine line;
    const int status = read_command_line(argc, argv, &syntax, game_version(), &line);
    if (status >= 0)
        return status;
    if (!parse_idea(line.text[OPTION_IDEA], &r->idea)) {
        std::fprintf(stderr, _("%s: no idea \"%s\": walk, push, runner, chain or mix\n"), program,
                     line.text[OPTION_IDEA]);
        return STATUS_COMMAND_LINE;
    }
    if (!parse_size(line.text[OPTION_SIZE], &r->size)) {
        std::fprintf(stderr, _("%s: no size \"%s\": small, medium or large\n"), program,
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
    r->set = line.given[OPTION_SET];
    r->parent = line.given[OPTION_PARENT] ? (pid_t)line.number[OPTION_PARENT] : 0;
    return -1;
}

/* Makes `path` a folder when it is none; false (with a message) when it cannot be. */
bool make_folder(const char *path)
{
    struct stat info;
    if (stat(path, &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return true;
        std::fprintf(stderr, _("%s: %s: not a folder\n"), program, path);
        return false;
    }
    if (mkdir(path, 0777) != 0) {
        std::fprintf(stderr, _("%s: %s: the folder cannot be made: %s\n"), program, path,
                     std::strerror(errno));
        return false;
    }
    return true;
}

/* True when anything at all stands at the map or the proof of `number` in `out`: a file, a link
   (even to nothing), a FIFO, a folder. Such a number is never written to. */
bool number_taken(const char *out, int32_t number)
{
    char path[4096];
    struct stat info;
    std::snprintf(path, sizeof path, "%s/map%02d.txt", out, (int)number);
    if (lstat(path, &info) == 0 || errno != ENOENT)
        return true;
    std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", out, (int)number);
    return lstat(path, &info) == 0 || errno != ENOENT;
}

/* The first number from `from` on whose map and proof are not in `out`; 0 when all up to 99
   are taken. */
int32_t free_number(const char *out, int32_t from)
{
    for (int32_t number = from; number <= MAX_NUMBER; number++)
        if (!number_taken(out, number))
            return number;
    return 0;
}

/* A stop signal (SIGTERM, SIGINT, SIGHUP) ends the program at once, except while a level's pair
   is written: it then ends once the pair is whole or gone, never between its map and its proof.
   Each side sets its flag before it reads the other's, so one of the two always sees the other. */
std::atomic<int> writing{0}, stop_signal{0};

void end_by_signal(int signal_number)
{
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void on_stop_signal(int signal_number)
{
    stop_signal = signal_number;
    if (!writing)
        end_by_signal(signal_number);
}

void stop_if_asked()
{
    if (const int signal_number = stop_signal)
        end_by_signal(signal_number);
}

/* Says why `path` could not be written. */
void say_unwritten(const char *path, int error)
{
    std::fprintf(stderr, _("%s: %s: cannot be written: %s\n"), program, path, std::strerror(error));
}

/* Writes the level's map and proof, each a new file made whole beside its name and linked there
   only where nothing stands (no link is followed, no file replaced), the map first; a proof
   that cannot be made takes its map away again, so a level is there whole or not at all. */
bool write_level(const Request &request, const GeneratedLevel &level)
{
    char map_path[4096], solution_path[4096], map_name[16];
    std::snprintf(map_name, sizeof map_name, "map%02d.txt", (int)level.plan.number);
    std::snprintf(map_path, sizeof map_path, "%s/%s", request.out, map_name);
    std::snprintf(solution_path, sizeof solution_path, "%s/solutions/%s", request.out, map_name);
    char *proof = nullptr;
    size_t proof_length = 0;
    FILE *out = open_memstream(&proof, &proof_length);
    if (!out) {
        say_unwritten(solution_path, errno);
        return false;
    }
    const int completed = write_solution(out, level.text, map_name, level.plan.name,
                                         GENERATOR_TICKS_PER_FRAME, level.way,
                                         map_text_hash(level.text, level.length));
    const int closed = std::fclose(out) == 0 ? 0 : errno;
    if (!completed || closed) {
        if (closed)
            say_unwritten(solution_path, closed);
        else
            std::fprintf(stderr, _("%s: %s: does not complete the level on replay\n"), program,
                         solution_path);
        std::free(proof);
        return false;
    }
    const char *failed;
    int error = file_create(map_path, level.text, level.length, &failed);
    if (error) {
        say_unwritten(map_path, error);
    } else if ((error = file_create(solution_path, proof, proof_length, &failed)) != 0) {
        say_unwritten(solution_path, error);
        unlink(map_path);
    }
    std::free(proof);
    return error == 0;
}

/* Adds the map `number` of `out`, when there is one that reads as a map, to `set`. */
void add_footprint(SetFootprints &set, const char *out, int32_t number)
{
    char path[4096];
    std::snprintf(path, sizeof path, "%s/map%02d.txt", out, (int)number);
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return;
    // A map holds at most PLAN_TEXT_SIZE bytes as the generator writes it; a larger file is
    // none of its levels, and is passed over.
    static char text[PLAN_TEXT_SIZE + 1];
    const size_t length = std::fread(text, 1, sizeof text, file);
    std::fclose(file);
    if (length <= PLAN_TEXT_SIZE)
        footprints_add_map(set, text, length);
}

bool progress_shown = false;
bool say_why = false;

/* The attempts on stderr as they go, on a terminal only; with --why each failed one's reason,
   a line each, anywhere. */
void show_progress(void *context, int32_t attempts, int32_t passed, const char *why)
{
    const int number = *(int32_t *)context;
    if (say_why && why[0]) {
        // The reasons are the designer's, in the language chosen; the game runs no --why.
        std::fputs(progress_shown ? "\r\033[K" : "", stderr);
        std::fprintf(stderr, _("map%02d: attempt %d: %s\n"), number, (int)attempts, why);
        progress_shown = false;
    }
    if (!isatty(2))
        return;
    std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, _("map%02d: %d shapes tried, %d passed"), number, (int)attempts,
                 (int)passed);
    progress_shown = true;
}

/* The report of a level made: not translated, as the game and the scripts that run the
   generator read its lines. */
void print_level(const GeneratedLevel &level)
{
    const LevelAnalysis &a = level.analysis;
    std::printf("map%02d.txt: \"%s\": %s\n", (int)level.plan.number, level.plan.name,
                level.plan.idea);
    std::printf("map%02d.txt: %d squares (%d pruned), %d moves, %d waits, %d decisions, %d wrong "
                "ways (%d pushes), %lld traps, %.1f %% cannot be won, margin %.1f, human margin %.2f, "
                "score %.1f, difficulty %d\n", (int)level.plan.number, (int)plan_square_count(level.plan),
                (int)level.squares_pruned, (int)level.way.moves, (int)level.way.waits,
                (int)a.decisions, (int)a.wrong_ways, (int)a.wrong_pushes,
                (long long)a.trap_positions,
                100.0 * analysis_unwinnable_share(a), analysis_clock_margin(a),
                analysis_human_margin(a), level.score, (int)level.difficulty);
    std::printf("map%02d.txt: %d shapes tried, %d passed, %lld states, %.1f MB at most, %.2f s\n",
                (int)level.plan.number, (int)level.attempts, (int)level.passed,
                (long long)level.states, (double)level.peak_memory / (1024.0 * 1024.0),
                level.seconds);
}

/* True while the process that started this one with --parent is still there; with it gone the
   program's parent is another (the system's first process, or a keeper of orphans). */
bool parent_there(const Request &request)
{
    return request.parent == 0 || getppid() == request.parent;
}

/* Keeps the memory a search frees for the next one to take: a proof runs many searches, each
   growing its tables afresh, and memory handed back to the system costs a fault for every page
   when it is taken again. The price is a higher peak of resident memory, the pieces freed not
   always fitting the next search's: up to some 40 MB more for a large level. */
void keep_freed_memory()
{
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

} // namespace

int main(int argc, char **argv)
{
    program = path_file_name(argv[0]);
    Request request;
    const int status = parse_request(argc, argv, &request);
    if (status >= 0)
        return status;
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal_number, on_stop_signal);
    // The game that started this one asks for its end with it: its set is never written to
    // by a generator left behind, which then could not be finished.
    if (request.parent != 0 && (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || !parent_there(request))) {
        std::fprintf(stderr, _("%s: the program that started it (%d) has ended\n"), program,
                     (int)request.parent);
        return STATUS_FAILS;
    }
    // Only the fixed-point tables of the library are used; nothing is shown or heard.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    keep_freed_memory();
    display_options = program_start_options;
    display_options.sound_off = true;

    say_why = request.why;
    char solutions[4096];
    std::snprintf(solutions, sizeof solutions, "%s/solutions", request.out);
    if (!make_folder(request.out) || !make_folder(solutions))
        return STATUS_FAILS;
    auto level = std::make_unique<GeneratedLevel>();
    // The levels a new one must keep apart from: with --set the set's levels before it, as the
    // folder has them (the same whichever run made them), else those made by this run.
    auto earlier = std::make_unique<SetFootprints>();
    int result = STATUS_DONE;
    int32_t number = 1, made = 0;
    double seconds = 0;
    for (int32_t k = 0; k < request.count; k++) {
        if (request.set) {
            // Level K of the seed is number K, whichever run makes it: a set stopped halfway
            // is finished with the levels an unstopped run would have made.
            number = k + 1;
            if (number_taken(request.out, number))
                continue;
        } else if ((number = free_number(request.out, number)) == 0) {
            std::fprintf(stderr, _("%s: %s: every number up to %d is taken\n"), program,
                         request.out, MAX_NUMBER);
            return STATUS_FAILS;
        }
        if (request.set) {
            earlier->count = 0;
            for (int32_t before = 1; before < number; before++)
                add_footprint(*earlier, request.out, before);
        }
        GeneratorRequest g{request.seed, request.idea, request.size, k, number, request.jobs,
                           show_progress, &number, earlier.get()};
        const bool found = generate_level(g, level.get());
        if (progress_shown)
            std::fprintf(stderr, "\r\033[K");
        progress_shown = false;
        seconds += level->seconds;
        if (!found) {
            std::printf("%s: seed %" PRIu64 ", level %d of %s %s: none of %d shapes passed the "
                        "rules (%.2f s)\n", program, request.seed, (int)k + 1,
                        size_rules(request.size).name, idea_name(request.idea),
                        (int)level->attempts, level->seconds);
            std::fflush(stdout);
            result = STATUS_FAILS;
            continue;
        }
        writing = 1;
        stop_if_asked();
        if (!parent_there(request))
            return STATUS_FAILS;    // its game is gone: nobody is to find a level written now
        const bool written = write_level(request, *level);
        writing = 0;
        stop_if_asked();
        if (!written)
            return STATUS_FAILS;
        print_level(*level);
        std::fflush(stdout);
        if (!request.set)
            footprints_add_plan(*earlier, level->plan);
        made++;
        number++;
    }
    struct rusage self;
    if (getrusage(RUSAGE_SELF, &self) == 0)
        std::printf(_("%d levels in %.2f s; peak resident memory %.1f MB\n"), (int)made, seconds,
                    self.ru_maxrss / 1024.0);
    return result;
}
