/* level_table.cpp: the Markdown table of the levels checked, for doc/levels.md's list of levels. */
#include "level_table.h"

#include <cstring>

namespace {

const char LEVEL_PREFIX[] = "Tirvex level ";

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

/* Copies the line that starts at `text` into out (size LEVEL_TABLE_TEXT_SIZE) without the blanks
   around it, cut to fit. Returns where the next line starts. */
const char *copy_line(const char *text, char *out)
{
    const char *end = text;
    while (*end && *end != '\n' && *end != '\r')
        end++;
    const char *next = end;
    if (*next == '\r')
        next++;
    if (*next == '\n')
        next++;
    const char *start = text;
    while (start < end && blank(*start))
        start++;
    while (end > start && blank(end[-1]))
        end--;
    size_t length = (size_t)(end - start);
    if (length > LEVEL_TABLE_TEXT_SIZE - 1)
        length = LEVEL_TABLE_TEXT_SIZE - 1;
    std::memcpy(out, start, length);
    out[length] = '\0';
    return next;
}

/* Drops a leading "Tirvex level N:" and the blanks after it; a line without it stays as it is. */
void drop_level_prefix(char *idea)
{
    const size_t prefix = sizeof LEVEL_PREFIX - 1;
    if (std::strncmp(idea, LEVEL_PREFIX, prefix) != 0)
        return;
    const char *p = idea + prefix;
    if (*p < '0' || *p > '9')
        return;
    while (*p >= '0' && *p <= '9')
        p++;
    if (*p != ':')
        return;
    p++;
    while (blank(*p))
        p++;
    std::memmove(idea, p, std::strlen(p) + 1);
}

void put_text(FILE *out, const char *text)
{
    for (const char *p = text; *p; p++) {
        if (*p == '|')
            std::fputc('\\', out);
        std::fputc(*p, out);
    }
}

/* The NN of "mapNN.txt", or the whole file name. */
void put_level(FILE *out, const char *file_name)
{
    const bool numbered = std::strlen(file_name) == 9 && std::strncmp(file_name, "map", 3) == 0 &&
                          file_name[3] >= '0' && file_name[3] <= '9' && file_name[4] >= '0' &&
                          file_name[4] <= '9' && std::strcmp(file_name + 5, ".txt") == 0;
    if (numbered)
        std::fprintf(out, "%.2s", file_name + 3);
    else
        put_text(out, file_name);
}

/* The fairness columns of one row. */
void put_fairness(FILE *out, const LevelTableRow &r)
{
    if (!r.analysed) {
        std::fprintf(out, " - | - | - | - | - | - | - | - | - | - | - | - | - | - | - |");
        return;
    }
    if (r.decisions >= 0)
        std::fprintf(out, " %d | %d |", (int)r.decisions, (int)r.wrong_ways);
    else
        std::fprintf(out, " ? | ? |");
    if (r.traps >= 0)
        std::fprintf(out, " %lld | %.1f |", (long long)r.traps, 100.0 * r.unwinnable_share);
    else
        std::fprintf(out, " ? | ? |");
    std::fprintf(out, " %s |", r.delay_wins ? "yes" : "no");
    if (r.failing_rate)
        std::fprintf(out, " not %d |", (int)r.failing_rate);
    else
        std::fprintf(out, " 1-%d |", (int)r.slowest_rate);
    std::fprintf(out, " %.1f |", r.margin);
    if (!r.think_tried)
        std::fprintf(out, " - |");
    else if (r.human_margin > 0)
        std::fprintf(out, " %.2f |", r.human_margin);
    else
        std::fprintf(out, " no |");
    if (r.shared_with) {
        std::fprintf(out, " %d %% (", (int)r.shared_percent);
        put_level(out, r.shared_with);
        std::fprintf(out, ") |");
    } else
        std::fprintf(out, " - |");
    if (!r.actors_weighed)
        std::fprintf(out, " - | - | - |");
    else if (r.actors_saving >= 0)
        std::fprintf(out, " %d | %d%s | %d |", (int)r.actors, (int)r.actors_matter,
                     r.actors_unknown ? " ?" : "", (int)r.actors_saving);
    else
        std::fprintf(out, " %d | %d%s | %s |", (int)r.actors, (int)r.actors_matter,
                     r.actors_unknown ? " ?" : "", r.actors_saving == -1 ? "no win" : "?");
    if (r.way_waits >= 0)
        std::fprintf(out, " %d |", (int)r.way_waits);
    else
        std::fprintf(out, " ? |");
    std::fprintf(out, " %d | %s |", (int)r.view_squares,
                 r.view_teleport ? (r.view_sweet ? "teleport, sweet" : "teleport")
                                 : r.view_sweet ? "sweet" : "-");
}

} // namespace

void level_table_texts(const char *map_text, LevelTableRow *row)
{
    const char *second = copy_line(map_text, row->idea);
    copy_line(second, row->name);
    drop_level_prefix(row->idea);
}

void write_level_table(FILE *out, const LevelTableRow *rows, int count, bool fair)
{
    std::fprintf(out, "| Level | Name | Idea | Moves | Waits | Game time s | Limit s | States |%s\n",
                 fair ? " Decisions | Wrong ways | Traps | Cannot be won % | Start delay | Rates |"
                        " Margin | Human margin | Shared | Actors | Matter | Saved without actors |"
                        " Waits needed | In view | Seen |" : "");
    std::fprintf(out, "| --- | --- | --- | ---: | ---: | ---: | ---: | ---: |%s\n",
                 fair ? " ---: | ---: | ---: | ---: | --- | --- | ---: | ---: | ---: | ---: | ---: |"
                        " ---: | ---: | ---: | --- |" : "");
    for (int i = 0; i < count; i++) {
        const LevelTableRow &r = rows[i];
        std::fprintf(out, "| ");
        put_level(out, r.file_name);
        std::fprintf(out, " | ");
        put_text(out, r.name);
        std::fprintf(out, " | ");
        put_text(out, r.idea);
        if (r.solved)
            std::fprintf(out, " | %d | %d | %.2f | %d | %lld |", (int)r.moves, (int)r.waits,
                         r.ticks / 100.0, (int)(r.limit_ticks / 100), (long long)r.states);
        else
            std::fprintf(out, " | - | - | - | - | - |");
        if (fair)
            put_fairness(out, r);
        std::fprintf(out, "\n");
    }
}
