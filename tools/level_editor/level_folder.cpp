/* level_folder.cpp: a folder of levels as the game plays it: its numbers, the next free one, and
   moving a level to another number. */
#include "level_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool regular_file(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

/* Copies the file at `from` to `to`, replacing it. Returns an empty string or what went wrong. */
std::string copy_file(const std::string &from, const std::string &to)
{
    FILE *in = std::fopen(from.c_str(), "rb");
    if (!in)
        return from + ": " + std::strerror(errno);
    FILE *out = std::fopen(to.c_str(), "wb");
    if (!out) {
        const std::string fault = to + ": " + std::strerror(errno);
        std::fclose(in);
        return fault;
    }
    char buffer[8192];
    size_t got;
    bool ok = true;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        ok = ok && std::fwrite(buffer, 1, got, out) == got;
    ok = ok && !std::ferror(in);
    std::fclose(in);
    if (std::fclose(out) != 0)
        ok = false;
    return ok ? "" : to + ": " + std::strerror(errno ? errno : EIO);
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
    if (from < 1 || from > FOLDER_LEVEL_LIMIT || to < 1 || to > FOLDER_LEVEL_LIMIT)
        return "level numbers are 1 to 99";
    const int low = from < to ? from : to, high = from < to ? to : from;
    for (int n = low; n <= high; n++) {
        if (!regular_file(folder_map_path(dir, n)))
            return folder_map_path(dir, n) + ": no such level to renumber";
    }
    if (from == to)
        return "";
    for (int n = low; n <= high; n++) {
        const std::string path = folder_map_path(dir, n);
        const std::string fault = copy_file(path, path + "~");
        if (!fault.empty())
            return "not renumbered: " + fault;
    }
    // The moving level waits under a name of its own while the others shift toward its place.
    const std::string moving = folder_map_path(dir, from), parked = dir + "/.renumber.txt";
    if (std::rename(moving.c_str(), parked.c_str()) != 0)
        return "not renumbered: " + moving + ": " + std::strerror(errno);
    const int step = from < to ? 1 : -1;
    for (int n = from + step; n != to + step; n += step) {
        const std::string a = folder_map_path(dir, n), b = folder_map_path(dir, n - step);
        if (std::rename(a.c_str(), b.c_str()) != 0)
            return a + ": " + std::strerror(errno) + "; the maps are kept with ~ and " + parked;
    }
    const std::string target = folder_map_path(dir, to);
    if (std::rename(parked.c_str(), target.c_str()) != 0)
        return parked + ": " + std::strerror(errno) + "; the maps are kept with ~";
    return "";
}
