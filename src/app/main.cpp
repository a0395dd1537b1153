/* main.cpp: the program's entry: start-up, the main menu loop and the shutdown. */
#include <allegro.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/cast_screen.h"
#include "app/level_generation.h"
#include "app/level_sets.h"
#include "app/main_menu.h"
#include "app/play_loop.h"
#include "app/solution_watch.h"
#include "app/startup.h"
#include "base/translation.h"
#include "ui/fault_window.h"
#include "base/command_line.h"
#include "base/console.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/level_folder_journal.h"
#include "base/screen_scale.h"
#include "base/sound.h"
#include "base/timer.h"
#include "render/colour_tables.h"
#include "ui/demo_input.h"
#include "ui/game_keys.h"
#include "ui/key_map.h"
#include "ui/progress_file.h"
#include "ui/video_mode.h"

namespace {

/* The game's session, the one its levels are played in: it lives as long as the game, so that
   the hint's table for a level's start is kept for the next time the level is entered. */
PlaySession game_session;

enum { OPTION_NOSOUND, OPTION_DATA, OPTION_HOME, OPTION_LEVELS, OPTION_WATCH, OPTION_RECORD,
       OPTION_PLAYDEMO, OPTION_TIMEDEMO, OPTION_SCALE, OPTION_WINDOW, OPTION_FULLSCREEN,
       OPTION_GENERATE, OPTION_SEED, OPTIONS };

const CommandOption GAME_OPTIONS[] = {
    {"nosound", nullptr, N_("start without sound"), 0, 0},
    {"data", "DIR", N_("read data/pz.dat, maps/ and bsp/ from DIR"), 0, 0},
    {"home", "DIR", N_("keep tirvex.sav, wvideo.cfg, keys.cfg, the screenshots and your levels in "
                       "DIR"), 0, 0},
    {"levels", "DIR", N_("play DIR/map01.txt, map02.txt, ... with their own progress; without DIR, "
                         "the player's own levels (levels/ in the player's folder), or a choice of "
                         "them and the sets --generate made there"), 0, 0},
    {"watch", "N", N_("watch the robot play the recorded way through level N, 1 to 19"), 1, 19},
    {"record", "FILE", N_("play as usual and record the game into the demo FILE"), 0, 0},
    {"playdemo", "FILE", N_("play the demo FILE back, then end"), 0, 0},
    {"timedemo", "FILE", N_("play the demo FILE back as fast as it can be drawn and time it"), 0, 0},
    {"scale", "N", N_("enlarge the picture N times, 1 to 8 (the largest that fits by default)"), 1, 8},
    {"window", nullptr, N_("play in a window this time"), 0, 0},
    {"fullscreen", nullptr, N_("play full screen this time"), 0, 0},
    {"generate", "IDEA SIZE", N_("make ten new levels of an idea and size, and play them"), 0, 0},
    {"seed", "N", N_("with --generate: the seed of the new levels (default: from the clock)"), 0,
     INT64_C(1) << 62},
};

const CommandSyntax GAME_SYNTAX = {
    "tirvex",
    N_("Tirvex, a 3D puzzle game: eat every sweet and reach the teleport in time.\n"
       "In a level Backspace or U undoes the robot's last move, I asks for a hint, and Tab held\n"
       "shows the level's par and your records, kept in tirvex-records.txt beside tirvex.sav.\n"
       "The picture is enlarged by the largest whole factor that fits the desktop; Alt+Enter\n"
       "switches between window and full screen. A gamepad present at start plays too: d-pad or\n"
       "left stick to step and turn, a shoulder button held to strafe, A jump or confirm, B undo,\n"
       "X hint, Y camera, Back restart, Start held to leave. keys.cfg in ~/.config/tirvex moves\n"
       "the keys of play, a line an action: step-forward = UP W."),
    "",
    0, 0, GAME_OPTIONS, OPTIONS, true};

/* Empty counts as unset. */
const char *environment(const char *name)
{
    const char *value = std::getenv(name);
    return value && value[0] ? value : nullptr;
}

/* A demo's path, absolute: the game enters its data folder before it reads or writes one. */
std::string absolute_path(const char *path)
{
    char here[GAME_PATH_SIZE];
    if (path[0] == '/' || !getcwd(here, sizeof here))
        return path;
    return std::string(here) + "/" + path;
}

/* A playback runs the recorded ticks: the timer (and the slow-motion key's timer) stays off. */
int no_game_timer(void (*)(), long)
{
    return 0;
}

bool is_option(const char *word, const char *name)
{
    return word[0] == '-' && std::strcmp(word + (word[1] == '-' ? 2 : 1), name) == 0;
}

/* The command line with a --levels that names no folder (the last word, or one before another
   option) given an empty value, which stands for the player's own folder of levels, and the
   two words after --generate made its one value, "IDEA SIZE". */
char **levels_without_folder(int argc, char *argv[])
{
    static char empty_levels[] = "--levels=";
    static char generate[64];
    static char *words[COMMAND_MAX_OPERANDS + 2 * COMMAND_MAX_OPTIONS + 2];
    if (argc >= (int)(sizeof words / sizeof words[0]))
        return argv;    // too long to be right: the reader says why
    int count = 0;
    for (int i = 0; i < argc; i++) {
        const bool bare = i > 0 && is_option(argv[i], "levels");
        words[count++] = bare && (i + 1 == argc || argv[i + 1][0] == '-') ? empty_levels : argv[i];
        if (i > 0 && is_option(argv[i], "generate") && i + 2 < argc && argv[i + 1][0] != '-' &&
            argv[i + 2][0] != '-') {
            std::snprintf(generate, sizeof generate, "--generate=%.24s %.24s", argv[i + 1],
                          argv[i + 2]);
            words[count - 1] = generate;
            i += 2;
        }
    }
    words[count] = nullptr;
    return words;
}

/* Reads --generate's "IDEA SIZE" into idea and size (24 bytes each); false with a message on
   standard error naming the word the generator does not take, and the ones it does. */
bool read_generate_value(const char *value, char *idea, char *size)
{
    char rest[2];
    if (std::sscanf(value, "%23s %23s %1s", idea, size, rest) != 2) {
        std::fprintf(stderr, _("tirvex: --generate takes an idea (walk, push, runner, chain or mix) "
                               "and a size (small, medium or large)\n"));
        return false;
    }
    if (!generation_idea_known(idea)) {
        std::fprintf(stderr, _("tirvex: no idea \"%s\" for --generate: walk, push, runner, chain "
                               "or mix\n"), idea);
        return false;
    }
    if (!generation_size_known(size)) {
        std::fprintf(stderr, _("tirvex: no size \"%s\" for --generate: small, medium or large\n"),
                     size);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    CommandLine line;
    char **words = levels_without_folder(argc, argv);
    int words_count = 0;
    while (words[words_count])
        words_count++;
    int status = read_command_line(words_count, words, &GAME_SYNTAX, game_version(), &line);
    if (status >= 0)
        return status;
    char generate_idea[24] = "", generate_size[24] = "";
    const bool generate = line.given[OPTION_GENERATE];
    if (generate && !read_generate_value(line.text[OPTION_GENERATE], generate_idea, generate_size))
        return 2;
    if (line.given[OPTION_SEED] && !generate) {
        std::fprintf(stderr, _("tirvex: --seed is the seed of --generate's levels\n"));
        return 2;
    }
    if (generate && (line.given[OPTION_LEVELS] || line.given[OPTION_WATCH] ||
                     line.given[OPTION_PLAYDEMO] || line.given[OPTION_TIMEDEMO])) {
        std::fprintf(stderr, _("tirvex: --generate plays the levels it makes; it does not go with "
                               "--levels, --watch, -playdemo or -timedemo\n"));
        return 2;
    }
    // "Play my levels" from the desktop: what stops it is said in the game's window, as no
    // terminal shows standard error there.
    char own_levels[GAME_PATH_SIZE];
    static char refusal[2 * GAME_PATH_SIZE];
    std::vector<LevelSet> level_sets;
    if (line.given[OPTION_LEVELS] && !line.text[OPTION_LEVELS][0]) {
        line.text[OPTION_LEVELS] = player_levels_folder(line.text[OPTION_HOME], own_levels, sizeof own_levels);
        if (!line.text[OPTION_LEVELS])
            std::snprintf(refusal, sizeof refusal, _("The folder of your own levels cannot be made: "
                          "%s."), std::strerror(errno));
        else if (!line.given[OPTION_PLAYDEMO] && !line.given[OPTION_TIMEDEMO])
            level_sets = find_level_sets(own_levels);
    }
    // With generated sets the player chooses once the window is open; the folder is adopted
    // then, as --generate adopts its new one.
    const bool choose_set = !level_sets.empty();
    // The new set goes into the player's own folder of levels, found now: once the game has
    // entered its data folder the working directory no longer says where it was started.
    if (generate && !player_levels_folder(line.text[OPTION_HOME], own_levels, sizeof own_levels))
        std::snprintf(refusal, sizeof refusal, _("The folder of your own levels cannot be made: "
                      "%s."), std::strerror(errno));
    // A renumbering of the folder that was stopped halfway is finished before a map is read.
    char renumbered[RENUMBER_NOTE_SIZE] = "";
    if (line.given[OPTION_LEVELS] && line.text[OPTION_LEVELS] && line.text[OPTION_LEVELS][0] &&
        finish_renumbering(line.text[OPTION_LEVELS], renumbered, sizeof renumbered) != 0)
        std::fprintf(stderr, "tirvex: %s\n", renumbered);
    if (line.text[OPTION_LEVELS] == own_levels && !choose_set &&
        access((std::string(own_levels) + "/map01.txt").c_str(), F_OK) != 0)
        std::snprintf(refusal, sizeof refusal,
                      _("You have no levels of your own yet.\n\n"
                        "Your levels go in the folder %s as map01.txt, map02.txt and on, and are "
                        "played in that order.\n\n"
                        "The Tirvex Level Editor (tirvex-edit) makes them there: start it from the "
                        "desktop's menu, build a level and save it with F2."), own_levels);

    if (line.given[OPTION_WATCH] && line.given[OPTION_LEVELS]) {
        std::fprintf(stderr, _("tirvex: --watch shows a shipped level; it does not go with --levels\n"));
        return 2;
    }
    const int demo_options = line.given[OPTION_WATCH] + line.given[OPTION_RECORD] +
                             line.given[OPTION_PLAYDEMO] + line.given[OPTION_TIMEDEMO];
    if (demo_options > 1) {
        std::fprintf(stderr, _("tirvex: --watch, -record, -playdemo and -timedemo go one at a time\n"));
        return 2;
    }
    const char *demo_option = line.given[OPTION_RECORD] ? line.text[OPTION_RECORD] :
                              line.given[OPTION_PLAYDEMO] ? line.text[OPTION_PLAYDEMO] :
                              line.text[OPTION_TIMEDEMO];
    const std::string demo_path = demo_option ? absolute_path(demo_option) : "";
    const bool playback = line.given[OPTION_PLAYDEMO] || line.given[OPTION_TIMEDEMO];
    if (line.given[OPTION_WINDOW] && line.given[OPTION_FULLSCREEN]) {
        std::fprintf(stderr, _("tirvex: --window and --fullscreen go one at a time\n"));
        return 2;
    }
    const PlaceRequest places = {line.text[OPTION_DATA], line.text[OPTION_HOME],
                                 environment("XDG_DATA_HOME"), environment("HOME"), argv[0],
                                 refusal[0] || choose_set ? nullptr : line.text[OPTION_LEVELS],
                                 environment("XDG_CONFIG_HOME")};
    char fault[GAME_PATH_SIZE + 128], notice[(size_t)GAME_PATH_SIZE + RENUMBER_NOTE_SIZE];
    if (!find_game_places(&places, fault, notice, sizeof fault)) {
        std::fprintf(stderr, "tirvex: %s\n", fault);
        return 1;
    }
    forced_scale = line.given[OPTION_SCALE] ? (int)line.number[OPTION_SCALE] : 0;
    window_choice = line.given[OPTION_WINDOW] ? WINDOW_CHOICE_WINDOW :
                    line.given[OPTION_FULLSCREEN] ? WINDOW_CHOICE_FULLSCREEN : WINDOW_CHOICE_CONFIG;
    if (refusal[0])
        return show_fault_window(refusal);
    if (renumbered[0]) {
        const size_t used = std::strlen(notice);
        std::snprintf(notice + used, sizeof notice - used, "%s%s", used ? "\n" : "", renumbered);
    }
    char demo_fault[DEMO_FAULT_SIZE];
    if (playback && !demo_playback_start(demo_path.c_str(), line.given[OPTION_TIMEDEMO], demo_fault,
                                         sizeof demo_fault)) {
        std::fprintf(stderr, "tirvex: %s\n", demo_fault);
        return 1;
    }
    if (line.given[OPTION_RECORD] && !demo_record_start(demo_path.c_str(), demo_fault, sizeof demo_fault)) {
        std::fprintf(stderr, "tirvex: %s\n", demo_fault);
        return 1;
    }

    BITMAP *screen_buffer = nullptr;
    const bool watch = line.given[OPTION_WATCH];
    video_config_writable = !watch && !playback;
    // A save that is there but cannot be read is never written over; the player hears why now,
    // not after the first completed level. Watching and playback write no progress.
    if (!watch && !playback && !choose_set && !progress_unwritable) {
        if (const char *reason = probe_progress_file()) {
            size_t used = std::strlen(notice);
            std::snprintf(notice + used, sizeof notice - used, _("%s%s: progress is not saved."),
                          used ? "\n" : "", reason);
        }
    }
    // The player's keys are read before the window opens, so their faults are the first lines.
    char keys_path[GAME_PATH_SIZE];
    load_key_map(config_file_path("keys.cfg", keys_path, sizeof keys_path), stderr);
    if (key_map_fault[0]) {
        // As the unreadable save: on the console now, and once on the first level's message line.
        size_t used = std::strlen(notice);
        std::snprintf(notice + used, sizeof notice - used, _("%s%s: the action keeps its keys."),
                      used ? "\n" : "", key_map_fault);
    }
    status = start_up(argv[0], line.given[OPTION_NOSOUND], notice, &screen_buffer,
                      !watch && !playback);
    if (status != 0)
        return status;
    start_pad();
    if (choose_set) {
        const char *chosen = choose_level_set(own_levels, level_sets);
        if (!chosen) {
            shut_down(screen_buffer);
            return 0;
        }
        // Played as --levels DIR plays it: a stopped renumbering finished (the own levels' was
        // before start-up: nothing is left to do there), then adopted.
        char set_fault[2 * GAME_PATH_SIZE];
        if (finish_renumbering(chosen, renumbered, sizeof renumbered) != 0)
            std::fprintf(stderr, "tirvex: %s\n", renumbered);
        if (!adopt_levels_folder(chosen, set_fault, notice, sizeof notice)) {
            console_printf(_("\n%s\n\nPress a key to end.\n"), set_fault);
            std::fprintf(stderr, "tirvex: %s\n", set_fault);
            wait_key();
            shut_down(screen_buffer);
            return 1;
        }
    }
    if (generate) {
        char folder[GAME_PATH_SIZE], generate_fault[2 * GAME_PATH_SIZE];
        const int64_t seed = line.given[OPTION_SEED] ? line.number[OPTION_SEED] : -1;
        const int made = make_generated_levels(argv[0], own_levels, generate_idea, generate_size,
                                               seed, folder, generate_fault,
                                               sizeof generate_fault);
        if (made > 0 && generate_fault[0]) {
            // Fewer levels than asked for: said, and the ones made are played.
            console_print_words("\n%s\n", generate_fault);
            std::fprintf(stderr, "tirvex: %s\n", generate_fault);
        }
        if (made > 0 && !adopt_levels_folder(folder, generate_fault, notice, sizeof notice))
            std::fprintf(stderr, "tirvex: %s\n", generate_fault);
        else if (made > 0)
            generate_fault[0] = '\0';
        if (generate_fault[0]) {
            console_print_words(_("\n%s\n\nPress a key to end.\n"), generate_fault);
            std::fprintf(stderr, "tirvex: %s\n", generate_fault);
            wait_key();
            shut_down(screen_buffer);
            return 1;
        }
        if (made == 0) {
            // Stopped before the first level was done: nothing to play.
            shut_down(screen_buffer);
            return 0;
        }
        if (notice[0])
            console_printf("%s\n", notice);
        console_print_words(_("\n%d levels are in %s: tirvex --levels plays them again.\n"
                              "Press a key to play.\n"), made, folder);
        wait_key();
    }
    if (playback) {
        // Straight to the recorded play, then out: no menu.
        remove_int(timer_handler);
        install_game_timer = no_game_timer;
        play_levels(screen_buffer, game_session);
        status = demo_finish();
        shut_down(screen_buffer);
        return status;
    }
    if (watch) {
        // Straight to the recorded way, then out: no menu.
        status = watch_solution((int)line.number[OPTION_WATCH], screen_buffer);
        shut_down(screen_buffer);
        return status;
    }

    for (;;) {
        if (!music_started)
            start_music(2);
        int choice = main_menu();
        if (choice == MENU_QUIT)
            break;
        switch (choice) {
        case MENU_PLAY:
            play_levels(screen_buffer, game_session);
            break;
        case MENU_CAST:
            cast_screen(screen_buffer);
            key_help_screen();
            break;
        case MENU_VIDEO:
            configure_video_mode();
            destroy_bitmap(screen_buffer);
            screen_buffer = create_screen_buffer();
            set_picture_palette(game_palette);
            break;
        default:
            break;
        }
    }
    demo_finish();
    shut_down(screen_buffer);
    return 0;
}
END_OF_MAIN()
