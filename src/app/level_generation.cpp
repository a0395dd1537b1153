/* level_generation.cpp: --generate, a new set of levels made by the level generator beside the
   game, its progress shown on the start-up console. */
#include "app/level_generation.h"

#include <allegro.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/console.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/screen_scale.h"
#include "base/timer.h"

extern char **environ;

namespace {

const char *const IDEAS[] = {"walk", "push", "runner", "chain", "mix"};
const char *const SIZES[] = {"small", "medium", "large"};
/* The generator's names, installed and in the build folder. */
const char *const GENERATOR_NAMES[] = {"tirvex-generate", "level_generator"};

enum {
    CONSOLE_WIDTH = 640,
    CONSOLE_ROW = 8,
    LINE_COLUMNS = 79,          /* the console's 80th column would wrap onto an empty row */
    OUTPUT_LINE_SIZE = 512,
    FOLDER_TRIES = 1000
};

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

/* Makes parent/generated-SEED for `seed` when it is 0 or more, else for the first seed from the
   clock's whose folder is not there. Returns the seed, or -1 (errno kept) when no folder can be
   made. */
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
    }
    return -1;
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
        console_printf("%.9s \"%s\": %d squares, %d moves, %d decisions, %d wrong ways\n",
                       line, level_name, squares, moves, decisions, wrong);
        return;
    }
    if (level_line)
        return;
    clear_console_row();
    console_printf("%.*s\n", LINE_COLUMNS, line);
}

void show_status(int made, int32_t seconds)
{
    clear_console_row();
    if (made < GENERATED_SET)
        console_printf("Making level %d of %d: %d s. Esc stops.", made + 1, GENERATED_SET,
                       (int)seconds);
}

/* Takes away `folder`/mapNN.txt and its solution from number `from` on: a level the generator
   was stopped in the middle of. */
void remove_unfinished(const char *folder, int from)
{
    char path[GAME_PATH_SIZE + 32];
    for (int number = from; number <= 99; number++) {
        std::snprintf(path, sizeof path, "%s/map%02d.txt", folder, number);
        const bool map = unlink(path) == 0;
        std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", folder, number);
        const bool solution = unlink(path) == 0;
        if (!map && !solution)
            break;
    }
}

/* The levels in `folder` from map01.txt on whose map and proof are both there. */
int whole_levels(const char *folder)
{
    char path[GAME_PATH_SIZE + 32];
    int number = 1;
    for (; number <= 99; number++) {
        std::snprintf(path, sizeof path, "%s/map%02d.txt", folder, number);
        if (access(path, R_OK) != 0)
            break;
        std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", folder, number);
        if (access(path, R_OK) != 0)
            break;
    }
    return number - 1;
}

void remove_folder(const char *folder)
{
    remove_unfinished(folder, 1);
    char path[GAME_PATH_SIZE + 32];
    std::snprintf(path, sizeof path, "%s/solutions", folder);
    rmdir(path);
    rmdir(folder);
}

} // namespace

bool generation_names_known(const char *idea, const char *size)
{
    return known(idea, IDEAS, sizeof IDEAS / sizeof IDEAS[0]) &&
           known(size, SIZES, sizeof SIZES / sizeof SIZES[0]);
}

int make_generated_levels(const char *program_path, const char *parent, const char *idea,
                          const char *size_name, int64_t chosen_seed, char *folder, char *fault,
                          size_t size)
{
    fault[0] = folder[0] = '\0';
    char generator[PROGRAM_PATH_SIZE];
    if (!find_generator(program_path, generator)) {
        std::snprintf(fault, size, "The level generator (tirvex-generate) is not beside the game, "
                                   "so no levels can be made.");
        return 0;
    }
    const int64_t seed = make_set_folder(parent, chosen_seed, folder, size);
    if (seed < 0 && chosen_seed >= 0 && errno == EEXIST) {
        std::snprintf(fault, size, "The levels of seed %lld are in %s already: tirvex --levels "
                      "%s plays them.", (long long)chosen_seed, folder, folder);
        return 0;
    }
    if (seed < 0) {
        std::snprintf(fault, size, "No folder for new levels can be made in %s: %s.", parent,
                      std::strerror(errno));
        return 0;
    }
    console_printf("\nMaking %d %s levels of the idea %s into %s\n", GENERATED_SET, size_name,
                   idea, folder);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::snprintf(fault, size, "The level generator cannot be started: %s.",
                      std::strerror(errno));
        remove_folder(folder);
        return 0;
    }
    // Its report and its faults both come to the console.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    char seed_text[24], count_text[8];
    std::snprintf(seed_text, sizeof seed_text, "%lld", (long long)seed);
    std::snprintf(count_text, sizeof count_text, "%d", GENERATED_SET);
    const char *arguments[] = {generator, "--seed", seed_text, "--idea", idea, "--size",
                               size_name, "--out", folder, "--count", count_text, "--jobs", "2",
                               nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, generator, &actions, nullptr,
                                    const_cast<char **>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        std::snprintf(fault, size, "The level generator %s cannot be started: %s.", generator,
                      std::strerror(spawned));
        remove_folder(folder);
        return 0;
    }
    fcntl(fds[0], F_SETFL, O_NONBLOCK);

    static char line[OUTPUT_LINE_SIZE];
    size_t used = 0;
    int made = 0, shown_seconds = -1;
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
                shown_seconds = -1;
            }
            continue;
        } else if (errno != EAGAIN && errno != EINTR) {
            open = false;
        }
        if (open && key_down(KEY_ESC)) {
            kill(child, SIGTERM);
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
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    clear_console_row();
    if (stopped || !WIFEXITED(status)) {
        // The level under way may be written in part: what the list did not show is not kept.
        remove_unfinished(folder, made + 1);
        if (stopped)
            console_printf("Stopped: %d of %d levels made.\n", made, GENERATED_SET);
    }
    // The files are what is played: a level is made when its map and its proof are there.
    made = whole_levels(folder);
    if (made == 0) {
        if (!stopped)
            std::snprintf(fault, size, "The level generator made no level (%s). Its messages "
                                       "are on the console above.",
                          WIFEXITED(status) ? "it found none that passed its rules" :
                                              "it was stopped by a signal");
        remove_folder(folder);
        return 0;
    }
    return made;
}
