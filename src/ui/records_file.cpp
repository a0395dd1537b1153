/* records_file.cpp: the text of the player's records file, read and written, and the par line of
   a recorded solution. */
#include "ui/records_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file_read.h"
#include "base/translation.h"
#include "world/solution_file.h"

namespace {

const char *const RECORDS_HEADER = "tirvex-records 2";
const char *const FIRST_HEADER = "tirvex-records 1";    /* level lines without the map's hash */

enum {
    RECORDS_LINE_LIMIT = 200,
    RECORD_NUMBER_LIMIT = 999999999
};

/* Reads one number field of a line: "-" for none, else 0 to RECORD_NUMBER_LIMIT in decimal
   digits. Returns false for anything else. */
bool read_field(const char *field, int32_t *value)
{
    if (std::strcmp(field, "-") == 0) {
        *value = RECORD_NONE;
        return true;
    }
    size_t digits = std::strspn(field, "0123456789");
    if (digits == 0 || field[digits] != '\0' || digits > 9)
        return false;
    *value = (int32_t)std::strtol(field, nullptr, 10);
    return *value <= RECORD_NUMBER_LIMIT;
}

/* Reads a map's hash: 1 to 16 hexadecimal digits. */
bool read_hash(const char *field, uint64_t *hash)
{
    size_t digits = std::strspn(field, "0123456789abcdefABCDEF");
    if (digits == 0 || digits > 16 || field[digits] != '\0')
        return false;
    *hash = std::strtoull(field, nullptr, 16);
    return true;
}

bool level_in_range(const char *path, int number, int level, char *fault, size_t size)
{
    if (level >= 1 && level <= RECORDS_LEVEL_LIMIT)
        return true;
    std::snprintf(fault, size, _("%s line %d: level %d is not 1 to %d"), path, number, level,
                  RECORDS_LEVEL_LIMIT);
    return false;
}

/* Reads a "par N HASH MOVES WAITS TICKS" line into pars. Returns false with the fault. */
bool parse_par_line(const char *path, int number, const char *line, LevelPar *pars, bool *seen,
                    char *fault, size_t size)
{
    int level = 0, end = 0, source_end = 0;
    char fields[4][24], proof[24] = "";
    LevelPar par{PAR_KNOWN, 0, 0, 0, 0, PAR_FROM_UNKNOWN, 0};
    const bool read = std::sscanf(line, "par %d %23s %23s %23s %23s %n", &level, fields[0],
                                  fields[1], fields[2], fields[3], &end) == 5;
    if (read && std::sscanf(line + end, "search %n", &source_end) == 0 && source_end > 0)
        par.source = PAR_FROM_SEARCH;
    else if (read && std::sscanf(line + end, "proof %23s %n", proof, &source_end) == 1)
        par.source = read_hash(proof, &par.proof_hash) ? PAR_FROM_PROOF : PAR_FROM_UNKNOWN;
    if (!read || (proof[0] && par.source != PAR_FROM_PROOF) || line[end + source_end] != '\0') {
        std::snprintf(fault, size, _("%s line %d: not \"par N HASH MOVES WAITS TICKS SOURCE\""),
                      path, number);
        return false;
    }
    if (!level_in_range(path, number, level, fault, size))
        return false;
    if (seen[level]) {
        std::snprintf(fault, size, _("%s line %d: a second par of level %d"), path, number, level);
        return false;
    }
    seen[level] = true;
    if (!read_hash(fields[0], &par.map_hash)) {
        std::snprintf(fault, size, _("%s line %d: the map's hash is not 1 to 16 hexadecimal digits"),
                      path, number);
        return false;
    }
    if (!read_field(fields[1], &par.moves) || !read_field(fields[2], &par.waits) ||
        !read_field(fields[3], &par.ticks) || par.moves == RECORD_NONE ||
        par.waits == RECORD_NONE || par.ticks == RECORD_NONE) {
        std::snprintf(fault, size, _("%s line %d: a par figure is not 0 to %d"), path, number,
                      RECORD_NUMBER_LIMIT);
        return false;
    }
    pars[level] = par;
    return true;
}

/* The better of two records of the same map, figure by figure. */
void keep_best(LevelRecord *into, const LevelRecord &other)
{
    for (int kind = 0; kind < RECORD_KINDS; kind++) {
        if (other.moves[kind] != RECORD_NONE &&
            (into->moves[kind] == RECORD_NONE || other.moves[kind] < into->moves[kind]))
            into->moves[kind] = other.moves[kind];
        if (other.ticks[kind] != RECORD_NONE &&
            (into->ticks[kind] == RECORD_NONE || other.ticks[kind] < into->ticks[kind]))
            into->ticks[kind] = other.ticks[kind];
    }
}

/* What parse_level_line needs besides the line: which levels had a line without a hash, and
   which maps came from a line with one (each may be given once). */
struct LineMarks {
    bool unhashed[RECORDS_LEVEL_LIMIT + 1];
    bool hashed[RECORDS_MAP_LIMIT];
};

/* Reads a "level N [HASH] MOVES TICKS MOVES TICKS" line into table. A line without the hash is
   the current map's, and is merged with a line of that map given with it: both were won on it as
   far as anything can tell. */
bool parse_level_line(const char *path, int number, const char *line,
                      uint64_t (*hash_of_level)(int), RecordsTable *table, LineMarks *marks,
                      char *fault, size_t size)
{
    char word[16], fields[5][24], extra[2];
    int level = 0;
    const int count = std::sscanf(line, "%15s %d %23s %23s %23s %23s %23s %1s", word, &level,
                                  fields[0], fields[1], fields[2], fields[3], fields[4], extra);
    if ((count != 6 && count != 7) || std::strcmp(word, "level") != 0) {
        std::snprintf(fault, size, _("%s line %d: not \"level N HASH MOVES TICKS MOVES TICKS\""),
                      path, number);
        return false;
    }
    if (!level_in_range(path, number, level, fault, size))
        return false;
    const bool with_hash = count == 7;
    uint64_t hash = 0;
    if (with_hash && !read_hash(fields[0], &hash)) {
        std::snprintf(fault, size, _("%s line %d: the map's hash is not 1 to 16 hexadecimal digits"),
                      path, number);
        return false;
    }
    const char(*figures)[24] = with_hash ? fields + 1 : fields;
    LevelRecord record;
    for (int kind = 0; kind < RECORD_KINDS; kind++) {
        if (!read_field(figures[2 * kind], &record.moves[kind]) ||
            !read_field(figures[2 * kind + 1], &record.ticks[kind])) {
            std::snprintf(fault, size, _("%s line %d: a record is not \"-\" or 0 to %d"), path,
                          number, RECORD_NUMBER_LIMIT);
            return false;
        }
        // Both figures come from completions: either both are there or neither.
        if ((record.moves[kind] == RECORD_NONE) != (record.ticks[kind] == RECORD_NONE)) {
            std::snprintf(fault, size, _("%s line %d: moves without a time, or a time without "
                          "moves"), path, number);
            return false;
        }
    }
    if (!with_hash) {
        if (marks->unhashed[level]) {
            std::snprintf(fault, size, _("%s line %d: level %d a second time"), path, number, level);
            return false;
        }
        marks->unhashed[level] = true;
        hash = hash_of_level(level);
    }
    if (MapRecord *known = find_map_record(table, level, hash)) {
        const int index = (int)(known - table->maps);
        if (with_hash && marks->hashed[index]) {
            std::snprintf(fault, size, _("%s line %d: level %d of map %016llx a second time"), path,
                          number, level, (unsigned long long)hash);
            return false;
        }
        marks->hashed[index] = marks->hashed[index] || with_hash;
        keep_best(&known->record, record);
        return true;
    }
    if (table->count == RECORDS_MAP_LIMIT) {
        std::snprintf(fault, size, _("%s line %d: more than %d maps' records"), path, number,
                      RECORDS_MAP_LIMIT);
        return false;
    }
    marks->hashed[table->count] = with_hash;
    table->maps[table->count++] = MapRecord{level, hash, record};
    return true;
}

/* The order the maps are written in: by level, then by hash. */
int map_order(const void *a, const void *b)
{
    const MapRecord &x = *(const MapRecord *)a, &y = *(const MapRecord *)b;
    if (x.level != y.level)
        return x.level < y.level ? -1 : 1;
    return x.map_hash < y.map_hash ? -1 : x.map_hash > y.map_hash ? 1 : 0;
}

} // namespace

MapRecord *find_map_record(RecordsTable *table, int level, uint64_t map_hash)
{
    for (int i = 0; i < table->count; i++) {
        if (table->maps[i].level == level && table->maps[i].map_hash == map_hash)
            return &table->maps[i];
    }
    return nullptr;
}

bool parse_records_text(const char *text, size_t length, const char *path,
                        uint64_t (*hash_of_level)(int level), RecordsTable *table,
                        LevelPar *pars, char *fault, size_t size)
{
    table->count = 0;
    for (int level = 0; level <= RECORDS_LEVEL_LIMIT; level++)
        pars[level] = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0, PAR_FROM_UNKNOWN, 0};
    if (length == 0) {
        std::snprintf(fault, size, _("%s: empty, not a records file"), path);
        return false;
    }
    if (std::memchr(text, '\0', length)) {
        std::snprintf(fault, size, _("%s: holds a zero byte, not a records file"), path);
        return false;
    }
    bool par_seen[RECORDS_LEVEL_LIMIT + 1] = {};
    static LineMarks marks;
    marks = LineMarks{};
    char line[RECORDS_LINE_LIMIT + 1];
    const char *at = text, *end = text + length;
    for (int number = 1; at < end; number++) {
        const char *stop = (const char *)std::memchr(at, '\n', (size_t)(end - at));
        size_t line_length = (size_t)((stop ? stop : end) - at);
        if (line_length > RECORDS_LINE_LIMIT) {
            std::snprintf(fault, size, _("%s line %d: longer than %d characters"), path, number,
                          RECORDS_LINE_LIMIT);
            return false;
        }
        std::memcpy(line, at, line_length);
        line[line_length] = '\0';
        if (line_length > 0 && line[line_length - 1] == '\r')
            line[--line_length] = '\0';
        at = stop ? stop + 1 : end;

        if (number == 1) {
            if (std::strcmp(line, RECORDS_HEADER) != 0 && std::strcmp(line, FIRST_HEADER) != 0) {
                std::snprintf(fault, size, _("%s line 1: not a records file (no \"%s\")"), path,
                              RECORDS_HEADER);
                return false;
            }
            continue;
        }
        if (line[0] == '\0' || line[0] == '#')
            continue;
        const bool ok = std::strncmp(line, "par ", 4) == 0
            ? parse_par_line(path, number, line, pars, par_seen, fault, size)
            : parse_level_line(path, number, line, hash_of_level, table, &marks, fault, size);
        if (!ok)
            return false;
    }
    return true;
}

size_t format_records_text(const RecordsTable &table, const LevelPar *pars, char *out,
                           size_t size)
{
    static RecordsTable sorted;
    sorted = table;
    std::qsort(sorted.maps, (size_t)sorted.count, sizeof sorted.maps[0], map_order);
    size_t used = 0;
    auto add = [&](int n) {
        if (n > 0)
            used += (size_t)n;
        if (used >= size)
            used = size - 1;
    };
    add(std::snprintf(out, size,
                      "%s\n# Each map completed, by level and the hash of its text: the fewest "
                      "moves\n# and the shortest game time (ticks, 100 a second) without undo "
                      "or hints,\n# then with them; - for none yet.\n",
                      RECORDS_HEADER));
    for (int i = 0; i < sorted.count; i++) {
        const MapRecord &m = sorted.maps[i];
        char figures[RECORD_KINDS][2][16];
        for (int kind = 0; kind < RECORD_KINDS; kind++) {
            if (m.record.moves[kind] == RECORD_NONE) {
                std::snprintf(figures[kind][0], sizeof figures[kind][0], "-");
                std::snprintf(figures[kind][1], sizeof figures[kind][1], "-");
            } else {
                std::snprintf(figures[kind][0], sizeof figures[kind][0], "%d",
                              (int)m.record.moves[kind]);
                std::snprintf(figures[kind][1], sizeof figures[kind][1], "%d",
                              (int)m.record.ticks[kind]);
            }
        }
        add(std::snprintf(out + used, size - used, "level %d %016llx %s %s %s %s\n",
                          (int)m.level, (unsigned long long)m.map_hash, figures[0][0],
                          figures[0][1], figures[1][0], figures[1][1]));
    }
    bool heading = false;
    for (int level = 1; level <= RECORDS_LEVEL_LIMIT; level++) {
        const LevelPar &par = pars[level];
        if (par.state != PAR_KNOWN)
            continue;
        if (!heading) {
            add(std::snprintf(
                out + used, size - used,
                "# The pars worked out for the maps of this folder: the hash of the map's text,\n"
                "# then the shortest way's moves, waits and game time (ticks), and whether the\n"
                "# game's search found it or a proof's way (with the proof's hash) was replayed.\n"));
            heading = true;
        }
        char source[40] = "";
        if (par.source != PAR_FROM_UNKNOWN)
            std::snprintf(source, sizeof source, par.source == PAR_FROM_SEARCH ? " search" :
                          " proof %016llx", (unsigned long long)par.proof_hash);
        add(std::snprintf(out + used, size - used, "par %d %016llx %d %d %d%s\n", level,
                          (unsigned long long)par.map_hash, (int)par.moves, (int)par.waits,
                          (int)par.ticks, source));
    }
    return used;
}

bool read_solution_par(const char *path, LevelPar *par, char *name, size_t name_size)
{
    if (name && name_size)
        name[0] = '\0';
    *par = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0, PAR_FROM_UNKNOWN, 0};
    // A FIFO planted in a folder's solutions/ once held the game up before its first frame.
    char fault[SOLUTION_FAULT_SIZE + 4096];
    FILE *file = fopen_regular(path, SOLUTION_SIZE_LIMIT, fault, sizeof fault);
    if (!file) {
        if (fault[0])
            std::fprintf(stderr, _("tirvex: %s: no par is taken from it\n"), fault);
        return false;
    }
    char line[256], second[64] = "";
    const bool got = std::fgets(line, sizeof line, file) != nullptr;
    if (got && std::strchr(line, '\n') && !std::fgets(second, sizeof second, file))
        second[0] = '\0';
    std::fclose(file);
    if (!got)
        return false;
    unsigned long long hash = 0;
    int hash_end = 0;
    if (std::sscanf(second, "# map hash %16llx%n", &hash, &hash_end) != 1 || hash_end != 27 ||
        (second[27] != '\n' && second[27] != '\r' && second[27] != '\0'))
        hash = 0;
    // The level's name is quoted before the figures and may hold anything, so the figures are
    // read after the last closing quote and colon.
    const char *figures = nullptr;
    for (const char *at = std::strstr(line, "\": "); at; at = std::strstr(at + 1, "\": "))
        figures = at;
    int moves, waits, ticks, end = 0;
    if (!figures || std::sscanf(figures, "\": %d moves and %d waits, %d ticks of game time.%n",
                                &moves, &waits, &ticks, &end) != 3 || end == 0)
        return false;
    if (moves < 0 || waits < 0 || ticks <= 0)
        return false;
    const char *open_quote = std::strchr(line, '"');
    if (name && name_size && open_quote && open_quote < figures)
        std::snprintf(name, name_size, "%.*s", (int)(figures - open_quote - 1), open_quote + 1);
    *par = LevelPar{PAR_KNOWN, moves, waits, ticks, (uint64_t)hash, PAR_FROM_UNKNOWN, 0};
    return true;
}
