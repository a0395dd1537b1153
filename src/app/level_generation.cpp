/* level_generation.cpp: --generate, a new set of levels made by the level generator beside the
   game, its progress shown on the start-up console. */
#include "app/level_generation.h"

#include <allegro.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/command_line.h"
#include "base/console.h"
#include "base/file_read.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/screen_scale.h"
#include "base/timer.h"
#include "base/translation.h"
#include "world/map_hash.h"

extern char **environ;

namespace {

const char *const IDEAS[] = {"walk", "push", "runner", "chain", "mix"};
const char *const SIZES[] = {"small", "medium", "large"};
/* The generator's names, installed and in the build folder. */
const char *const GENERATOR_NAMES[] = {"tirvex-generate", "level_generator"};

enum {
    CONSOLE_WIDTH = 640,
    CONSOLE_ROW = 8,
    OUTPUT_LINE_SIZE = 512,
    FOLDER_TRIES = 1000,
    MAP_READ_LIMIT = 65536,     /* far over any map the generator makes */
    PROOF_READ_LIMIT = 1 << 24  /* and any proof */
};

/* Seconds a generator is given to end after SIGTERM before it gets SIGKILL, and after that. */
const double STOP_GRACE_SECONDS = 2.0;

bool known(const char *name, const char *const *names, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (std::strcmp(name, names[i]) == 0)
            return true;
    return false;
}

enum { PROGRAM_PATH_SIZE = GAME_PATH_SIZE + 32 };

/* The generator beside the running game, into `path` (PROGRAM_PATH_SIZE bytes); false when there
   is none that can be run. */
bool find_generator(const char *program_path, char *path)
{
    char folder[GAME_PATH_SIZE];
    if (!running_program_folder(program_path, folder))
        return false;
    for (const char *name : GENERATOR_NAMES) {
        std::snprintf(path, PROGRAM_PATH_SIZE, "%s/%s", folder, name);
        if (access(path, X_OK) == 0)
            return true;
    }
    return false;
}

/* Makes parent/generated-SEED for `seed` when it is 0 or more (one there already, a folder, is
   taken as it is: its set is finished), else for the first seed from the clock's whose folder
   is not there. Returns the seed, or -1 (errno kept) when no folder can be made. */
int64_t make_set_folder(const char *parent, int64_t chosen, char *folder, size_t size)
{
    const int64_t first = chosen >= 0 ? chosen : (int64_t)std::time(nullptr) % 1000000000;
    const int64_t tries = chosen >= 0 ? 1 : FOLDER_TRIES;
    for (int64_t seed = first; seed < first + tries; seed++) {
        std::snprintf(folder, size, "%s/generated-%lld", parent, (long long)seed);
        if (mkdir(folder, 0777) == 0)
            return seed;
        if (errno != EEXIST)
            return -1;
        struct stat info;
        if (chosen >= 0 && lstat(folder, &info) == 0 && S_ISDIR(info.st_mode))
            return seed;
        if (chosen >= 0)
            errno = ENOTDIR;
    }
    return -1;
}

/* Reads the start of the regular file at path (a link is not one here: the generator makes
   none) into `bytes` (`size` bytes, one kept for a closing zero). Returns the bytes read, or -1
   when it is not a regular file, cannot be read or is larger than `limit`. */
long read_generated_file(const char *path, long long limit, char *bytes, size_t size)
{
    struct stat info;
    char fault[GAME_PATH_SIZE + 64];
    if (lstat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    const int fd = open_regular_file(path, limit, fault, sizeof fault);
    if (fd < 0)
        return -1;
    const long got = read_up_to(fd, bytes, size - 1);
    close(fd);
    if (got >= 0)
        bytes[got] = '\0';
    return got;
}

/* True when level `number` of `folder` is whole: its map and its proof are regular files that
   read back, and the proof's second line ("# map hash HEX") names the hash of the map as it
   is. A map without its proof, a proof cut short or of another map, is no level. */
bool level_whole(const char *folder, int number)
{
    static char map[MAP_READ_LIMIT], proof[512];
    char path[GAME_PATH_SIZE + 32];
    std::snprintf(path, sizeof path, "%s/map%02d.txt", folder, number);
    const long map_length = read_generated_file(path, sizeof map - 1, map, sizeof map);
    std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", folder, number);
    // The hash is on the second line; the first is the par, well within the bytes read.
    if (map_length <= 0 || read_generated_file(path, PROOF_READ_LIMIT, proof, sizeof proof) <= 0)
        return false;
    const char *second = std::strchr(proof, '\n');
    unsigned long long hash = 0;
    int end = 0;
    return second && std::sscanf(second + 1, "# map hash %16llx%n", &hash, &end) == 1 &&
           end == 27 && second[1 + end] == '\n' &&
           hash == map_text_hash(map, (size_t)map_length);
}

/* Takes away what a generator stopped by force may have left in `dir`: its new files not yet
   linked into place ("mapNN.txt.XXXXXX"). */
void remove_unlinked_files(const char *dir)
{
    DIR *listing = opendir(dir);
    if (!listing)
        return;
    char path[GAME_PATH_SIZE + 32];
    while (const dirent *entry = readdir(listing)) {
        int number, end = 0;
        if (std::strlen(entry->d_name) == 16 &&
            std::sscanf(entry->d_name, "map%2d.txt.%*6c%n", &number, &end) == 1 && end == 16) {
            std::snprintf(path, sizeof path, "%s/%s", dir, entry->d_name);
            unlink(path);
        }
    }
    closedir(listing);
}

/* Takes the file at `path` out of the set's way. A regular file with something in it may be a
   player's (a map edited since it was made, a proof of their own): it is kept under the first
   free name of "PATH~", "PATH~2", ... (said on the console), never written over; what else
   stands there (an empty file, a link, a FIFO) goes. What cannot be moved stays, and the
   generator leaves its number alone. */
void set_aside(const char *path)
{
    struct stat info;
    if (lstat(path, &info) != 0)
        return;
    if (!S_ISREG(info.st_mode) || info.st_size == 0) {
        unlink(path);
        return;
    }
    char kept[GAME_PATH_SIZE + 40];
    for (int n = 1; n <= 99; n++) {
        if (n == 1)
            std::snprintf(kept, sizeof kept, "%s~", path);
        else
            std::snprintf(kept, sizeof kept, "%s~%d", path, n);
        // A second name, then the first one dropped: a file at the new name is never replaced.
        if (link(path, kept) == 0) {
            unlink(path);
            console_print_words(_("%s is not a level of the seed as it was made: kept as %s\n"),
                           path_file_name(path), path_file_name(kept));
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

/* Makes the set's numbers in `folder` whole levels only: of a level with one half missing or a
   proof not of its map, both halves are set aside, so the generator makes it again, and what a
   stopped generator left unlinked goes. Returns the whole levels from map01.txt on, the ones
   played. */
int tidy_set(const char *folder)
{
    char path[GAME_PATH_SIZE + 32];
    int playable = 0;
    bool gap = false;
    for (int number = 1; number <= GENERATED_SET; number++) {
        if (level_whole(folder, number)) {
            playable += gap ? 0 : 1;
            continue;
        }
        gap = true;
        std::snprintf(path, sizeof path, "%s/map%02d.txt", folder, number);
        set_aside(path);
        std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", folder, number);
        set_aside(path);
    }
    remove_unlinked_files(folder);
    std::snprintf(path, sizeof path, "%s/solutions", folder);
    remove_unlinked_files(path);
    return playable;
}

/* Clears the console's current row and puts the cursor at its start: the status line is written
   over in place. */
void clear_console_row()
{
    BITMAP *page = picture();
    acquire_bitmap(page);
    rectfill(page, 0, console.cursor_y, CONSOLE_WIDTH - 1, console.cursor_y + CONSOLE_ROW - 1, 0);
    release_bitmap(page);
    console_putc('\r');
}

/* The name of the level the generator reported last, kept for its figures' line. */
char level_name[48];

/* One line of the generator's output on the console. A level's first line ("mapNN.txt: \"NAME\":
   IDEA") counts it as made and its second (its figures) shows it, a line a level; the third
   (the time it took) is left out; any other line (a fault, a level not found, the summary) is
   shown as it is, cut to the row. */
void show_output_line(const char *line, int *made)
{
    const bool level_line = std::strncmp(line, "map", 3) == 0 && std::strlen(line) > 11 &&
                            std::strncmp(line + 5, ".txt: ", 6) == 0;
    if (level_line && line[11] == '"') {
        ++*made;
        const char *end = std::strstr(line + 12, "\": ");
        std::snprintf(level_name, sizeof level_name, "%.*s",
                      end ? (int)(end - line - 12) : 0, line + 12);
        return;
    }
    int squares = 0, pruned = 0, moves = 0, waits = 0, decisions = 0, wrong = 0;
    if (level_line && std::sscanf(line + 11, "%d squares (%d pruned), %d moves, %d waits, %d "
                                             "decisions, %d wrong", &squares, &pruned, &moves,
                                  &waits, &decisions, &wrong) == 6) {
        clear_console_row();
        console_print_words(_("%.9s \"%s\": %d squares, %d moves, %d tricky steps, %d costly "
                              "detours\n"), line, level_name, squares, moves, decisions, wrong);
        return;
    }
    if (level_line)
        return;
    clear_console_row();
    // The generator's own figures are for its makers: the player hears how long it took.
    static const char MEMORY[] = "; peak resident memory";
    if (const char *memory = std::strstr(line, MEMORY))
        console_print_words("%.*s\n", (int)(memory - line), line);
    else
        console_print_words("%s\n", line);
}

void show_status(int made, int32_t seconds)
{
    clear_console_row();
    if (made < GENERATED_SET)
        console_printf(_("Making level %d of %d: %d s. Esc stops."), made + 1, GENERATED_SET,
                       (int)seconds);
}

/* Takes away the set's levels and the folder: nothing of a set without a level is left. */
void remove_folder(const char *folder)
{
    char path[GAME_PATH_SIZE + 32];
    for (int number = 1; number <= GENERATED_SET; number++) {
        std::snprintf(path, sizeof path, "%s/map%02d.txt", folder, number);
        unlink(path);
        std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", folder, number);
        unlink(path);
    }
    std::snprintf(path, sizeof path, "%s/solutions", folder);
    rmdir(path);
    rmdir(folder);
}

double monotonic_seconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + now.tv_nsec / 1e9;
}

/* Waits at most `seconds` for `child` to end, looking without blocking. Returns true, with its
   status in *status, when it ended (or there is no such child left). */
bool child_ended(pid_t child, double seconds, int *status)
{
    const double until = monotonic_seconds() + seconds;
    for (;;) {
        const pid_t got = waitpid(child, status, WNOHANG);
        if (got == child || (got < 0 && errno != EINTR))
            return true;
        if (monotonic_seconds() >= until)
            return false;
        pause_briefly();
    }
}

/* Ends `child`, asked with SIGTERM when `ask`, and with SIGKILL when it has not ended within
   STOP_GRACE_SECONDS of that: a generator deaf to the first never holds the game. Its status
   goes into *status (a SIGKILL one when it could not be seen to end at all). */
void end_child(pid_t child, bool ask, int *status)
{
    if (ask)
        kill(child, SIGTERM);
    if (child_ended(child, STOP_GRACE_SECONDS, status))
        return;
    kill(child, SIGKILL);
    if (!child_ended(child, STOP_GRACE_SECONDS, status))
        *status = SIGKILL;      // as waitpid words a kill; the child is reaped when the game ends
}

/* What stopped the generator, in the player's words, from its status and its last fault line
   (which ends with the system's words for the error when a file could not be written). */
const char *failure_words(int status, const char *fault_line)
{
    static const struct {
        int error;
        const char *words;
    } WRITE_FAULTS[] = {{ENOSPC, N_("the disk is full")},
                        {EDQUOT, N_("the disk quota is used up")},
                        {EROFS, N_("the disk is read-only")},
                        {EACCES, N_("the folder of the levels may not be written")},
                        {EPERM, N_("the folder of the levels may not be written")},
                        {EIO, N_("the disk failed to write")}};
    if (!WIFEXITED(status))
        return _("the level generator was stopped by a signal");
    for (const auto &fault : WRITE_FAULTS)
        if (std::strstr(fault_line, std::strerror(fault.error)))
            return tr(fault.words);
    if (std::strstr(fault_line, "shapes passed the rules"))
        return _("no shape the generator tried for a level passed its rules");
    return _("the level generator failed (its messages are above)");
}

} // namespace

bool generation_idea_known(const char *idea)
{
    return known(idea, IDEAS, sizeof IDEAS / sizeof IDEAS[0]);
}

bool generation_size_known(const char *size)
{
    return known(size, SIZES, sizeof SIZES / sizeof SIZES[0]);
}

int make_generated_levels(const char *program_path, const char *parent, const char *idea,
                          const char *size_name, int64_t chosen_seed, char *folder, char *fault,
                          size_t size)
{
    fault[0] = folder[0] = '\0';
    char generator[PROGRAM_PATH_SIZE];
    if (!find_generator(program_path, generator)) {
        std::snprintf(fault, size, _("The level generator (tirvex-generate) is not beside the game, "
                                     "so no levels can be made."));
        return 0;
    }
    const int64_t seed = make_set_folder(parent, chosen_seed, folder, size);
    if (seed < 0) {
        std::snprintf(fault, size, _("No folder for new levels can be made in %s: %s."), parent,
                      std::strerror(errno));
        return 0;
    }
    // A set of the seed there already is finished: a game ended before its set was leaves
    // levels the seed makes again, in their places, beside the whole ones it keeps.
    int made = tidy_set(folder);
    if (made == GENERATED_SET) {
        // Asked for again, a whole set is played as it is: nothing is made over.
        console_print_words(_("\nThe %d %s levels of the idea %s of seed %lld are in %s already\n"),
                       GENERATED_SET, size_name, idea, (long long)seed, folder);
        return made;
    }
    if (made > 0)
        console_print_words(_("\nFinishing the %d %s levels of the idea %s in %s: %d are there\n"),
                       GENERATED_SET, size_name, idea, folder, made);
    else
        console_print_words(_("\nMaking %d %s levels of the idea %s into %s\n"), GENERATED_SET,
                       size_name, idea, folder);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::snprintf(fault, size, _("The level generator cannot be started: %s."),
                      std::strerror(errno));
        if (made == 0)
            remove_folder(folder);
        return made;
    }
    // Its report and its faults both come to the console.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    char seed_text[24], count_text[8], game_text[16];
    std::snprintf(seed_text, sizeof seed_text, "%lld", (long long)seed);
    std::snprintf(count_text, sizeof count_text, "%d", GENERATED_SET);
    std::snprintf(game_text, sizeof game_text, "%d", (int)getpid());
    // --set: level K of the seed is mapK.txt, the whole ones kept; --parent: the generator ends
    // with the game, even one killed, and writes no level after it; --language C: the game reads
    // the lines of its report, which are English whatever the player's language.
    const char *arguments[] = {generator, "--seed", seed_text, "--idea", idea, "--size",
                               size_name, "--out", folder, "--count", count_text, "--jobs", "2",
                               "--set", "--parent", game_text, "--language", "C", nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, generator, &actions, nullptr,
                                    const_cast<char **>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        std::snprintf(fault, size, _("The level generator %s cannot be started: %s."), generator,
                      std::strerror(spawned));
        if (made == 0)
            remove_folder(folder);
        return made;
    }
    fcntl(fds[0], F_SETFL, O_NONBLOCK);

    // The generator's faults start with its name; the last one says what stopped it.
    static char line[OUTPUT_LINE_SIZE], fault_line[OUTPUT_LINE_SIZE];
    char fault_start[64];
    std::snprintf(fault_start, sizeof fault_start, "%s: ", path_file_name(generator));
    fault_line[0] = '\0';
    size_t used = 0;
    int shown_seconds = -1;
    bool stopped = false, open = true;
    int32_t level_started = tick_counter;
    clear_keybuf();
    while (open) {
        char chunk[256];
        const ssize_t got = read(fds[0], chunk, sizeof chunk);
        if (got == 0) {
            open = false;
        } else if (got > 0) {
            for (ssize_t i = 0; i < got; i++) {
                if (chunk[i] != '\n') {
                    if (used + 1 < sizeof line)
                        line[used++] = chunk[i];
                    continue;
                }
                line[used] = '\0';
                used = 0;
                const int before = made;
                show_output_line(line, &made);
                if (made != before)
                    level_started = tick_counter;
                if (std::strncmp(line, fault_start, std::strlen(fault_start)) == 0)
                    std::snprintf(fault_line, sizeof fault_line, "%s", line);
                shown_seconds = -1;
            }
            continue;
        } else if (errno != EAGAIN && errno != EINTR) {
            open = false;
        }
        if (open && key_down(KEY_ESC)) {
            stopped = true;
            open = false;
        }
        const int seconds = (int)((tick_counter - level_started) / 100);
        if (open && seconds != shown_seconds) {
            show_status(made, seconds);
            shown_seconds = seconds;
        }
        if (open)
            pause_briefly();
    }
    close(fds[0]);
    int status = 0;
    end_child(child, stopped, &status);
    clear_console_row();
    // The files are what is played: a level is made when its map and its proof of that map are
    // there; a level the generator was stopped in, or could not write whole, goes.
    made = tidy_set(folder);
    if (stopped)
        console_printf(_("Stopped: %d of %d levels made.\n"), made, GENERATED_SET);
    else if (made < GENERATED_SET)
        std::snprintf(fault, size, _("%c%s: %d of %d levels were made."),
                      std::toupper((unsigned char)*failure_words(status, fault_line)),
                      failure_words(status, fault_line) + 1, made, GENERATED_SET);
    if (made == 0)
        remove_folder(folder);
    return made;
}
