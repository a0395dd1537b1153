/* solution_file.cpp: a level's recorded solution, read from its file and played frame by frame. */
#include "world/solution_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file_read.h"
#include "world/player_motion.h"
#include "world/world_driver.h"

namespace {

/* The range of one number of a line. */
struct Range {
    long low, high;
};

/* The robot's square may lie off the grid (0 to 326) after steps off its edge. */
const Range SQUARE = {-1000, 1000};
const Range SWEETS = {0, 199};
const Range FLAG = {0, 1};
const Range FRAME = {0, SOLUTION_FRAME_LIMIT};

/* Reads whole numbers separated by blanks from `text` into `values`; true when there are exactly
   `count` of them, the i-th within ranges[i]. A number too long for a long is out of range. */
bool read_numbers(const char *text, long *values, int count, const Range *ranges)
{
    for (int i = 0; i < count; i++) {
        char *end = nullptr;
        errno = 0;
        values[i] = std::strtol(text, &end, 10);
        if (end == text || errno != 0 || values[i] < ranges[i].low || values[i] > ranges[i].high)
            return false;
        text = end;
    }
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        text++;
    return *text == '\0';
}

bool is_move_code(long code)
{
    return code == MOVE_FORWARD || code == MOVE_BACKWARD || code == MOVE_TURN_LEFT ||
           code == MOVE_TURN_RIGHT || code == MOVE_JUMP || code == MOVE_STRAFE_LEFT ||
           code == MOVE_STRAFE_RIGHT;
}

} // namespace

bool read_solution(const char *path, Solution *s, char *fault, size_t size)
{
    s->ticks_per_frame = 0;
    s->end_frame = -1;
    s->end_line = 0;
    log_clear(s->moves);
    // A FIFO, a device or a folder at the name is refused at once, never waited on.
    FILE *in = fopen_regular(path, SOLUTION_SIZE_LIMIT, fault, size);
    if (!in) {
        if (!fault[0])
            std::snprintf(fault, size, "%s: cannot be read: %s", path, std::strerror(ENOENT));
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
            const Range ticks[1] = {{1, 100}};
            if (read_numbers(line + 16, v, 1, ticks))
                s->ticks_per_frame = (int32_t)v[0];
            else
                why = "ticks per frame must be 1 to 100";
        } else if (std::strncmp(line, "move ", 5) == 0) {
            const Range move[2] = {FRAME, {0, MOVE_STRAFE_RIGHT}};
            if (!read_numbers(line + 5, v, 2, move))
                why = "a move needs a frame (0 to 1000000) and a code";
            else if (!is_move_code(v[1]))
                why = "a move code must be 57, 72, 75, 77, 80, 1001 or 1002";
            else if (s->moves.count >= SOLUTION_MOVE_LIMIT)
                why = "too many moves";
            else if (s->moves.count > 0 && v[0] < log_at(s->moves, s->moves.count - 1).frame)
                why = "a move before the one above it";
            else
                log_command(s->moves, (int32_t)v[0], (int32_t)v[1]);
        } else if (std::strncmp(line, "trace ", 6) == 0) {
            const Range trace[6] = {FRAME, SQUARE, SQUARE, SWEETS, FLAG, FLAG};
            if (!read_numbers(line + 6, v, 6, trace))
                why = "a trace needs a frame, a square (-1000 to 1000), sweets (0 to 199) and "
                      "two flags (0 or 1)";
        } else if (std::strncmp(line, "end ", 4) == 0) {
            const Range end[1] = {{1, SOLUTION_FRAME_LIMIT}};
            if (!read_numbers(line + 4, v, 1, end))
                why = "the end needs a frame (1 to 1000000)";
            else if (s->moves.count > 0 && v[0] <= log_at(s->moves, s->moves.count - 1).frame)
                why = "the end comes before the last move";
            else {
                s->end_frame = (int32_t)v[0];
                s->end_line = number;
            }
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

bool solution_agrees(const Solution &s, const char *path, int32_t frames, bool completed,
                     bool lost, char *fault, size_t size)
{
    const char *why = nullptr;
    if (completed && frames != s.end_frame)
        why = "the level is completed after";
    else if (!completed && lost)
        why = "the level is lost after";
    else if (!completed && frames >= s.end_frame)
        why = "the level is still not completed after";
    if (!why)
        return true;
    std::snprintf(fault, size, "%s:%d: %s %d frames, the end line says %d", path, (int)s.end_line,
                  why, (int)frames, (int)s.end_frame);
    return false;
}

void write_solution_moves(FILE *out, const CommandLog &moves)
{
    for (int32_t i = 0; i < moves.count; i++) {
        const LoggedCommand &m = log_at(moves, i);
        if (m.code != LOGGED_RESTART)
            std::fprintf(out, "move %d %d\n", (int)m.frame, (int)m.code);
    }
}

void play_solution_frame(World &w, const Solution &s, int32_t frame, int32_t *next_move)
{
    while (*next_move < s.moves.count && log_at(s.moves, *next_move).frame == frame)
        driver_push(w, log_at(s.moves, (*next_move)++).code);
    driver_frame(w, s.ticks_per_frame);
}
