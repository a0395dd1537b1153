/* level_folder.cpp: a folder of levels as the game plays it: its numbers, the next free one, and
   moving a level to another number. */
#include "level_folder.h"

#include <sys/stat.h>

#include <cstdio>

#include "base/level_folder_journal.h"

namespace {

bool regular_file(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string folder_map_path(const std::string &dir, int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "map%02d.txt", number);
    return dir + "/" + name;
}

int folder_map_number(const std::string &path, std::string *dir)
{
    const size_t slash = path.rfind('/');
    *dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() != 9 || name.compare(0, 3, "map") != 0 || name.compare(5, 4, ".txt") != 0 ||
        name[3] < '0' || name[3] > '9' || name[4] < '0' || name[4] > '9')
        return 0;
    return (name[3] - '0') * 10 + (name[4] - '0');
}

int folder_levels(const std::string &dir, bool present[FOLDER_LEVEL_LIMIT + 1])
{
    int count = 0;
    present[0] = false;
    for (int n = 1; n <= FOLDER_LEVEL_LIMIT; n++) {
        present[n] = regular_file(folder_map_path(dir, n));
        count += present[n];
    }
    return count;
}

int folder_neighbour(const std::string &dir, int number, int step)
{
    for (int n = number + step; n >= 1 && n <= FOLDER_LEVEL_LIMIT; n += step) {
        if (regular_file(folder_map_path(dir, n)))
            return n;
    }
    return 0;
}

int folder_next_free(const std::string &dir)
{
    for (int n = 1; n <= FOLDER_LEVEL_LIMIT; n++) {
        if (!regular_file(folder_map_path(dir, n)))
            return n;
    }
    return 0;
}

std::string folder_move_level(const std::string &dir, int from, int to)
{
    // A renumbering stopped earlier is finished first, so that its names are out of the way.
    char text[RENUMBER_NOTE_SIZE];
    if (finish_renumbering(dir.c_str(), text, sizeof text) < 0)
        return text;
    return renumber_folder_level(dir.c_str(), from, to, text, sizeof text) ? "" : text;
}
