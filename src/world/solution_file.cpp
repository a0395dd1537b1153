/* solution_file.cpp: a level's recorded solution, read from its file and played frame by frame. */
#include "world/solution_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "world/world_driver.h"

namespace {

/* Reads whole numbers separated by blanks from `text` into `values`; true when there are exactly
   `count` of them, each in low..high. */
bool read_numbers(const char *text, long *values, int count, long low, long high)
{
    for (int i = 0; i < count; i++) {
        char *end = nullptr;
        errno = 0;
        values[i] = std::strtol(text, &end, 10);
        if (end == text || errno != 0 || values[i] < low || values[i] > high)
            return false;
        text = end;
    }
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        text++;
    return *text == '\0';
}

} // namespace

bool read_solution(const char *path, Solution *s, char *fault, size_t size)
{
    s->ticks_per_frame = 0;
    s->end_frame = -1;
    s->move_count = 0;
    FILE *in = std::fopen(path, "r");
    if (!in) {
        std::snprintf(fault, size, "%s: cannot be read: %s", path, std::strerror(errno));
        return false;
    }
    char line[256];
    int number = 0;
    bool ok = true;
    while (ok && std::fgets(line, sizeof line, in)) {
        number++;
        const size_t length = std::strlen(line);
        if (length == sizeof line - 1 && line[length - 1] != '\n') {
            std::snprintf(fault, size, "%s:%d: a line too long for a solution", path, number);
            ok = false;
            break;
        }
        if (line[0] == '#' || line[0] == '\n' || (line[0] == '\r' && line[1] == '\n'))
            continue;
        long v[6];
        const char *why = nullptr;
        if (s->end_frame >= 0) {
            why = "a line after the end";
        } else if (std::strncmp(line, "ticks_per_frame ", 16) == 0) {
            if (read_numbers(line + 16, v, 1, 1, 100))
                s->ticks_per_frame = (int32_t)v[0];
            else
                why = "ticks per frame must be 1 to 100";
        } else if (std::strncmp(line, "move ", 5) == 0) {
            if (!read_numbers(line + 5, v, 2, 0, SOLUTION_FRAME_LIMIT))
                why = "a move needs a frame and a code";
            else if (s->move_count >= SOLUTION_MOVE_LIMIT)
                why = "too many moves";
            else if (s->move_count > 0 && v[0] < s->moves[s->move_count - 1].frame)
                why = "a move before the one above it";
            else
                s->moves[s->move_count++] = SolutionMove{(int32_t)v[0], (int32_t)v[1]};
        } else if (std::strncmp(line, "trace ", 6) == 0) {
            if (!read_numbers(line + 6, v, 6, -1, SOLUTION_FRAME_LIMIT))
                why = "a trace needs a frame, a square, sweets and two flags";
        } else if (std::strncmp(line, "end ", 4) == 0) {
            if (!read_numbers(line + 4, v, 1, 1, SOLUTION_FRAME_LIMIT))
                why = "the end needs a frame";
            else if (s->move_count > 0 && v[0] <= s->moves[s->move_count - 1].frame)
                why = "the end comes before the last move";
            else
                s->end_frame = (int32_t)v[0];
        } else {
            why = "not a line of a solution";
        }
        if (why) {
            std::snprintf(fault, size, "%s:%d: %s", path, number, why);
            ok = false;
        }
    }
    const bool read_error = std::ferror(in);
    std::fclose(in);
    if (!ok)
        return false;
    if (read_error) {
        std::snprintf(fault, size, "%s: cannot be read in full", path);
        return false;
    }
    if (s->ticks_per_frame == 0 || s->end_frame < 0) {
        std::snprintf(fault, size, "%s:%d: the solution ends without its %s", path, number,
                      s->ticks_per_frame == 0 ? "ticks per frame" : "end line");
        return false;
    }
    return true;
}

void play_solution_frame(const Solution &s, int32_t frame, int32_t *next_move)
{
    while (*next_move < s.move_count && s.moves[*next_move].frame == frame)
        driver_push(s.moves[(*next_move)++].code);
    driver_frame(s.ticks_per_frame);
}
