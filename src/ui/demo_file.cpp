/* demo_file.cpp: reading a demo file and checking every line of it before playback. */
#include "ui/demo_file.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file_read.h"
#include "base/translation.h"
#include "ui/demo_input.h"
#include "ui/level_select.h"
#include "world/player_motion.h"

const char *const DEMO_VERSION_LINE = "tirvex-demo 1";

namespace {

/* A line a frame: an hour of play is some ten megabytes. Anything far larger is not a
   recording, and its lines would only fill the memory. */
const long long DEMO_SIZE_LIMIT = 64LL * 1024 * 1024;

/* The robot's square may lie off the grid (0 to 326) after steps off its edge. */
const long SQUARE_LOW = -1000, SQUARE_HIGH = 1000, SWEETS_HIGH = 199;

/* A way's frames count from the level's entry: at 100 a second, more than half a year. */
const long DEMO_FRAME_LIMIT = 2000000000;

/* Reads the whole number at text[0..] up to `stop` (or the end) into *value; true when it is
   written as digits with at most a leading '-' and lies within low..high. A number too long
   for a long is out of range. `*next` is left past it. */
bool ranged_number(const char *text, char stop, long low, long high, long *value,
                   const char **next = nullptr)
{
    if (!((text[0] >= '0' && text[0] <= '9') || (text[0] == '-' && text[1] >= '0' && text[1] <= '9')))
        return false;
    char *end = nullptr;
    errno = 0;
    *value = std::strtol(text, &end, 10);
    if (next)
        *next = end;
    return errno == 0 && *end == stop && *value >= low && *value <= high;
}

/* An outcome token's or end line's square and sweets after `text`, separated by `separator`. */
bool square_and_sweets(const char *text, char separator, char stop, const char **next)
{
    long v;
    return ranged_number(text, separator, SQUARE_LOW, SQUARE_HIGH, &v, &text) &&
           ranged_number(text + 1, separator, SQUARE_LOW, SQUARE_HIGH, &v, &text) &&
           ranged_number(text + 1, stop, 0, SWEETS_HIGH, &v, next);
}

/* The fault of one token of a frame line, or none. */
const char *token_fault(const std::string &t)
{
    long v;
    const char *text = t.c_str();
    switch (t[0]) {
    case 'e':
    case 's':
        return t.size() == 1 ? nullptr : _("a frame holds something that is not a recorded input");
    case 't':
        return ranged_number(text + 1, '\0', 0, DEMO_TICKS_LIMIT, &v) ? nullptr :
               _("a frame's ticks must be a number from 0 to 6000");
    case 'r':
        // readkey(): the scancode in the high byte, the character in the low.
        return ranged_number(text + 1, '\0', 0, (KEY_MAX << 8) - 1, &v) ? nullptr :
               _("a typed key's code must be a number from 0 to 32511");
    case 'h':
        return ranged_number(text + 1, '\0', 1, KEY_MAX - 1, &v) ? nullptr :
               _("a held key's scancode must be a number from 1 to 126");
    case '@': {
        const char *rest = nullptr;
        return square_and_sweets(text + 1, ',', ',', &rest) &&
               ranged_number(rest + 1, ',', 0, 1, &v, &rest) &&
               ranged_number(rest + 1, '\0', 0, 1, &v) ? nullptr :
               _("an outcome needs the robot's square (-1000 to 1000), sweets (0 to 199) and two "
                 "flags (0 or 1)");
    }
    default:
        return _("a frame holds something that is not a recorded input");
    }
}

/* The fault of one entry of a way line, "FRAME:CODE" (a move code, or -1 a restart), or none. */
const char *way_entry_fault(const std::string &t)
{
    long frame, code;
    const char *rest = nullptr;
    if (!ranged_number(t.c_str(), ':', 0, DEMO_FRAME_LIMIT, &frame, &rest) ||
        !ranged_number(rest + 1, '\0', -1, MOVE_STRAFE_RIGHT, &code))
        return _("a way's command must be a frame (0 to 2000000000), a colon and a move code");
    switch (code) {
    case -1: case MOVE_FORWARD: case MOVE_BACKWARD: case MOVE_TURN_LEFT: case MOVE_TURN_RIGHT:
    case MOVE_JUMP: case MOVE_STRAFE_LEFT: case MOVE_STRAFE_RIGHT:
        return nullptr;
    default:
        return _("a way's command must be a frame (0 to 2000000000), a colon and a move code");
    }
}

/* The tokens of a line after its first word, each handed to `fault` until one has a fault. */
const char *tokens_fault(const std::string &line, const char *(*fault)(const std::string &))
{
    size_t i = line.find(' ');
    while (i != std::string::npos && i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            i++;
        size_t j = line.find(' ', i);
        if (j == std::string::npos)
            j = line.size();
        const std::string t = line.substr(i, j - i);
        i = j;
        if (t.empty())
            continue;
        if (const char *why = fault(t))
            return why;
    }
    return nullptr;
}

/* The fault of one line of a demo, or none. */
const char *line_fault(const std::string &line, bool in_level)
{
    if (line.rfind("level ", 0) == 0) {
        if (in_level)
            return _("a level starts before the one above it ends");
        long level;
        if (!ranged_number(line.c_str() + 6, '\0', -1, 99, &level) || level == 0)
            return _("a level number must be -1 or 1 to 99");
        if (level > 0 && !level_map_exists((int)level))
            return _("no map for this level number");
        return nullptr;
    }
    if (line == "f" || line.rfind("f ", 0) == 0) {
        if (!in_level)
            return _("a frame outside a level");
        return tokens_fault(line, token_fault);
    }
    if (line == "way" || line.rfind("way ", 0) == 0)
        return in_level ? tokens_fault(line, way_entry_fault) : _("a way outside a level");
    if (line.rfind("end ", 0) == 0) {
        if (!in_level)
            return _("an end outside a level");
        const char *rest = nullptr;
        if (line.size() < 7 || (line[4] != 'c' && line[4] != 'x') || line[5] != ' ' ||
            !square_and_sweets(line.c_str() + 6, ' ', '\0', &rest))
            return _("an end needs c or x, the robot's square (-1000 to 1000) and the sweets "
                     "(0 to 199)");
        return nullptr;
    }
    return _("not a line of a demo");
}

} // namespace

int demo_token_number(const std::string &t)
{
    return (int)std::strtol(t.c_str() + 1, nullptr, 10);
}

bool read_demo_file(const char *path, std::vector<std::string> *lines, std::vector<int> *numbers,
                    char *fault, size_t size)
{
    lines->clear();
    numbers->clear();
    // A folder opens for reading but reads as nothing; a FIFO or a device is no recording and
    // could keep the game waiting for ever.
    FILE *in = fopen_regular(path, DEMO_SIZE_LIMIT, fault, size);
    if (!in) {
        if (!fault[0])
            std::snprintf(fault, size, _("%s: cannot be read"), path);
        return false;
    }
    char buffer[4096];
    int number = 0;
    bool in_level = false, first = true;
    const char *why = nullptr;
    while (!why && std::fgets(buffer, sizeof buffer, in)) {
        number++;
        size_t length = std::strlen(buffer);
        if (length == sizeof buffer - 1 && buffer[length - 1] != '\n') {
            why = _("a line too long for a demo");
            break;
        }
        while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r'))
            buffer[--length] = '\0';
        const std::string line = buffer;
        if (first) {
            first = false;
            if (line != DEMO_VERSION_LINE)
                why = _("not a Tirvex demo: the first line is not \"tirvex-demo 1\"");
            continue;
        }
        if (line.empty() || line[0] == '#')
            continue;
        why = line_fault(line, in_level);
        if (why)
            break;
        if (line.rfind("level ", 0) == 0)
            in_level = line != "level -1";
        else if (line.rfind("end ", 0) == 0)
            in_level = false;
        lines->push_back(line);
        numbers->push_back(number);
    }
    std::fclose(in);
    if (!why && first)
        why = _("empty: not a Tirvex demo");
    if (!why && in_level)
        why = _("truncated: the last level has no end");
    if (why) {
        std::snprintf(fault, size, "%s:%d: %s", path, number, why);
        return false;
    }
    return true;
}
