/* level_sets.cpp: the list of the player's own levels and generated sets for "Play my levels". */
#include "app/level_sets.h"

#include <algorithm>
#include <allegro.h>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

#include "base/console.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/translation.h"
#include "base/utf8_letters.h"
#include "ui/progress_file.h"

namespace {

/* A regular file at path, seen without opening it: a FIFO there is never waited on. */
bool regular_file(const std::string &path, struct stat *s)
{
    return stat(path.c_str(), s) == 0 && S_ISREG(s->st_mode);
}

/* The levels of a folder as the game plays them: map01.txt on, up to the first missing. */
int count_levels(const std::string &folder)
{
    int count = 0;
    struct stat s;
    char name[16];
    for (int level = 1; level <= 99; level++) {
        std::snprintf(name, sizeof name, "/map%02d.txt", level);
        if (!regular_file(folder + name, &s))
            break;
        count = level;
    }
    return count;
}

/* One line of the list: "2  generated-17: 10 levels, 3 completed". */
void print_entry(int key, const LevelSet &set)
{
    const int levels = count_levels(set.folder);
    char place[GAME_PATH_SIZE], reason[GAME_PATH_SIZE + 128];
    ProgressRecord record;
    const bool read = read_progress_of(
        levels_progress_place(set.folder.c_str(), place, sizeof place), &record, reason,
        sizeof reason);
    int completed = 0;
    for (int level = 1; level <= levels; level++)
        completed += progress_level_completed(&record, level);
    char name[41];      // the folder's name to 40 bytes, cut between letters
    copy_letters(name, sizeof name, tr(set.name.c_str()));
    console_printf(levels == 1 ? _("%d  %.40s: %d level, %d completed%s\n") :
                                 _("%d  %.40s: %d levels, %d completed%s\n"),
                   key, name, levels, completed,
                   read ? "" : _(" (its progress cannot be read)"));
}

} // namespace

std::vector<LevelSet> find_level_sets(const char *own_levels)
{
    std::vector<LevelSet> sets;
    DIR *dir = opendir(own_levels);
    if (!dir)
        return sets;
    while (const dirent *entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "generated-", 10) != 0)
            continue;
        const std::string folder = std::string(own_levels) + "/" + entry->d_name;
        struct stat s, first;
        if (stat(folder.c_str(), &s) != 0 || !S_ISDIR(s.st_mode) ||
            !regular_file(folder + "/map01.txt", &first))
            continue;
        sets.push_back({folder, entry->d_name,
                        (long long)first.st_mtim.tv_sec * 1000000000 + first.st_mtim.tv_nsec});
    }
    closedir(dir);
    // Newest first; at one time the longer name, then the greater, is the higher seed.
    std::sort(sets.begin(), sets.end(), [](const LevelSet &a, const LevelSet &b) {
        if (a.made != b.made)
            return a.made > b.made;
        if (a.name.size() != b.name.size())
            return a.name.size() > b.name.size();
        return a.name > b.name;
    });
    return sets;
}

const char *choose_level_set(const char *own_levels, const std::vector<LevelSet> &sets)
{
    static std::vector<LevelSet> shown;
    shown.clear();
    struct stat s;
    const bool own = regular_file(std::string(own_levels) + "/map01.txt", &s);
    if (own)
        shown.push_back({own_levels, N_("My levels"), 0});
    for (const LevelSet &set : sets)
        if (shown.size() < LEVEL_SETS_SHOWN)
            shown.push_back(set);
    console_printf(_("\nPlay my levels:\n\n"));
    for (size_t i = 0; i < shown.size(); i++)
        print_entry((int)i + 1, shown[i]);
    const size_t hidden = sets.size() - (shown.size() - (own ? 1 : 0));
    if (hidden)
        console_printf(hidden == 1 ?
                           _("(%zu older set is not shown: tirvex --levels FOLDER plays any)\n") :
                           _("(%zu older sets are not shown: tirvex --levels FOLDER plays any)\n"),
                       hidden);
    console_printf(_("\nPress a number to play, Esc to end.\n"));
    for (;;) {
        const int pressed = wait_key();
        const int scancode = pressed >> 8, c = pressed & 0xff;
        if (scancode == KEY_ESC || c == 27)
            return nullptr;
        if (c >= '1' && c < '1' + (int)shown.size()) {
            wait_keys_released(&scancode, 1);
            return shown[(size_t)(c - '1')].folder.c_str();
        }
    }
}
