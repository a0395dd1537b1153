/* level_records.cpp: each level's par and the player's records, and the panel Tab shows them on. */
#include "ui/level_records.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/datafile.h"
#include "shell/file_lock.h"
#include "shell/file_read.h"
#include "shell/file_replace.h"
#include "shell/game_paths.h"
#include "shell/startup.h"
#include "shell/timer.h"
#include "search/level_search.h"
#include "ui/demo_input.h"
#include "ui/message_line.h"
#include "world/level_map.h"
#include "world/map_file.h"
#include "world/map_parser.h"

RecordsAttempt records_attempt;
bool records_panel_held = false;

namespace {

const char *const RECORDS_NAME = "tirvex-records.txt";
const char *const RECORDS_HEADER = "tirvex-records 1";
const char *const NOT_READ = "tirvex-records.txt cannot be read: records are not saved";
const char *const NOT_WRITTEN = "tirvex-records.txt cannot be written: records are not saved";

enum {
    /* A records file holds a line of some 40 bytes a level; anything near this is not one. */
    RECORDS_FILE_LIMIT = 16384,
    RECORDS_LINE_LIMIT = 200,
    RECORD_NUMBER_LIMIT = 999999999,
    MESSAGE_TICKS = 300,
    /* A map of 199 squares is under 16 KB; a longer file gets no par worked out. */
    PAR_MAP_LIMIT = 32768
};

/* The par search's bounds: the level checker's own, so the par is the one it would prove. */
const SearchLimits PAR_LIMITS{2, 4000000, 600, 256LL * 1024 * 1024, 0};

LevelRecord table[RECORDS_LEVEL_LIMIT + 1];

/* Set once the records file was found but could not be read whole, or was not a records file:
   it is never written over in this run, since what it holds is not known. */
bool records_unread = false;
char unread_fault[RECORDS_FAULT_SIZE];
bool told_not_written = false;

/* A notice for the message line, shown on the next frame drawn (a level's start clears the
   line, and the records are read as the level starts). */
const char *pending_notice = nullptr;

LevelPar attempt_par;

/* The attempt a restart ended, for an undo that puts the restart back. */
RecordsAttempt kept_attempt;

/* The pars of a --levels folder's maps: as kept in the records file, or worked out in this run
   (par_unsaved until a rewrite of the file takes them). */
LevelPar kept_pars[RECORDS_LEVEL_LIMIT + 1];
bool par_unsaved[RECORDS_LEVEL_LIMIT + 1];

/* The par search under way in a child process, and the pipe its answer comes through. */
pid_t par_child = -1;
int par_pipe = -1;
int par_level = 0;
uint64_t par_hash = 0;
char par_answer[64];
size_t par_answer_length = 0;

/* A --levels map's text, read for its hash and the par search. */
char map_text[PAR_MAP_LIMIT];

/* The file as read, and as written; a static buffer, the file being small. */
char file_text[RECORDS_FILE_LIMIT + 1];

/* The map being played, parsed for its time limit; some 8 KB, kept off the stack. */
ParsedMap attempt_map;

/* Panel text, formatted a line at a time. */
char panel_line[96];

void empty_table()
{
    for (LevelRecord &record : table) {
        for (int kind = 0; kind < RECORD_KINDS; kind++) {
            record.moves[kind] = RECORD_NONE;
            record.ticks[kind] = RECORD_NONE;
        }
    }
}

bool table_ready = false;

void ready_table()
{
    if (!table_ready) {
        empty_table();
        table_ready = true;
    }
}

/* Notes the records file's fault the first time: standard error now, the message line on the
   next frame. */
void report_unread(const char *fault)
{
    if (records_unread)
        return;
    records_unread = true;
    std::snprintf(unread_fault, sizeof unread_fault, "%s", fault);
    std::fprintf(stderr, "tirvex: %s: records are not saved\n", fault);
    pending_notice = NOT_READ;
}

enum ReadResult { READ_WHOLE, READ_MISSING, READ_FAILED };

/* Reads the whole file at path into file_text. A missing file is READ_MISSING; one that exists
   but cannot be read whole (no permission, a directory, a FIFO or a device, an I/O error, too
   large to be a records file) is READ_FAILED with the path and the reason in fault. */
ReadResult read_whole(const char *path, size_t *length, char *fault, size_t size)
{
    int fd = open_regular_file(path, RECORDS_FILE_LIMIT, fault, size);
    if (fd < 0)
        return fault[0] ? READ_FAILED : READ_MISSING;
    size_t got = 0;
    for (;;) {
        ssize_t n = read(fd, file_text + got, sizeof file_text - 1 - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            std::snprintf(fault, size, "%s: %s", path, std::strerror(errno));
            close(fd);
            return READ_FAILED;
        }
        if (n == 0)
            break;
        got += (size_t)n;
        if (got == sizeof file_text - 1) {
            std::snprintf(fault, size, "%s: larger than %d bytes, not a records file", path,
                          RECORDS_FILE_LIMIT);
            close(fd);
            return READ_FAILED;
        }
    }
    close(fd);
    file_text[got] = '\0';
    *length = got;
    return READ_WHOLE;
}

/* Reads one number field of a level line: "-" for none, else 0 to RECORD_NUMBER_LIMIT in
   decimal digits. Returns false for anything else. */
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

/* A line's level must be 1 to RECORDS_LEVEL_LIMIT and not met before in its kind of line
   (seen); marks it seen. Otherwise writes the fault, with `twice` (a format taking the level)
   saying what a repeat is. */
bool first_of_level(const char *path, int number, int level, const char *twice, bool *seen,
                    char *fault, size_t size)
{
    if (level < 1 || level > RECORDS_LEVEL_LIMIT) {
        std::snprintf(fault, size, "%s line %d: level %d is not 1 to %d", path, number, level,
                      RECORDS_LEVEL_LIMIT);
        return false;
    }
    if (seen[level]) {
        char what[64];
        std::snprintf(what, sizeof what, twice, level);
        std::snprintf(fault, size, "%s line %d: %s", path, number, what);
        return false;
    }
    seen[level] = true;
    return true;
}

/* Reads a "par N HASH MOVES WAITS TICKS" line into pars. Returns false with the fault. */
bool parse_par_line(const char *path, int number, const char *line, LevelPar *pars, bool *seen,
                    char *fault, size_t size)
{
    int level = 0, end = 0;
    unsigned long long hash = 0;
    char fields[3][16];
    if (std::sscanf(line, "par %d %16llx %15s %15s %15s %n", &level, &hash, fields[0], fields[1],
                    fields[2], &end) != 5 || line[end] != '\0') {
        std::snprintf(fault, size, "%s line %d: not \"par N HASH MOVES WAITS TICKS\"", path, number);
        return false;
    }
    if (!first_of_level(path, number, level, "a second par of level %d", seen, fault, size))
        return false;
    LevelPar par{PAR_KNOWN, 0, 0, 0, (uint64_t)hash};
    if (!read_field(fields[0], &par.moves) || !read_field(fields[1], &par.waits) ||
        !read_field(fields[2], &par.ticks) || par.moves == RECORD_NONE ||
        par.waits == RECORD_NONE || par.ticks == RECORD_NONE) {
        std::snprintf(fault, size, "%s line %d: a par figure is not 0 to %d", path, number,
                      RECORD_NUMBER_LIMIT);
        return false;
    }
    pars[level] = par;
    return true;
}

/* Parses file_text into into and pars, or returns false with the path, the line and the fault. */
bool parse_records(const char *path, size_t length, LevelRecord *into, LevelPar *pars,
                   char *fault, size_t size)
{
    if (std::memchr(file_text, '\0', length)) {
        std::snprintf(fault, size, "%s: holds a zero byte, not a records file", path);
        return false;
    }
    bool seen[RECORDS_LEVEL_LIMIT + 1] = {}, par_seen[RECORDS_LEVEL_LIMIT + 1] = {};
    char line[RECORDS_LINE_LIMIT + 1];
    const char *at = file_text, *end = file_text + length;
    for (int number = 1; at < end; number++) {
        const char *stop = (const char *)std::memchr(at, '\n', (size_t)(end - at));
        size_t line_length = (size_t)((stop ? stop : end) - at);
        if (line_length > RECORDS_LINE_LIMIT) {
            std::snprintf(fault, size, "%s line %d: longer than %d characters", path, number,
                          RECORDS_LINE_LIMIT);
            return false;
        }
        std::memcpy(line, at, line_length);
        line[line_length] = '\0';
        if (line_length > 0 && line[line_length - 1] == '\r')
            line[--line_length] = '\0';
        at = stop ? stop + 1 : end;

        if (number == 1) {
            if (std::strcmp(line, RECORDS_HEADER) != 0) {
                std::snprintf(fault, size, "%s line 1: not a records file (no \"%s\")", path,
                              RECORDS_HEADER);
                return false;
            }
            continue;
        }
        if (line[0] == '\0' || line[0] == '#')
            continue;
        if (std::strncmp(line, "par ", 4) == 0) {
            if (!parse_par_line(path, number, line, pars, par_seen, fault, size))
                return false;
            continue;
        }

        char word[16], fields[4][16], extra[2];
        int level = 0;
        int count = std::sscanf(line, "%15s %d %15s %15s %15s %15s %1s", word, &level, fields[0],
                                fields[1], fields[2], fields[3], extra);
        if (count != 6 || std::strcmp(word, "level") != 0) {
            std::snprintf(fault, size,
                          "%s line %d: not \"level N MOVES TICKS MOVES TICKS\"", path, number);
            return false;
        }
        if (!first_of_level(path, number, level, "level %d a second time", seen, fault, size))
            return false;
        LevelRecord record;
        for (int kind = 0; kind < RECORD_KINDS; kind++) {
            if (!read_field(fields[2 * kind], &record.moves[kind]) ||
                !read_field(fields[2 * kind + 1], &record.ticks[kind])) {
                std::snprintf(fault, size, "%s line %d: a record is not \"-\" or 0 to %d", path,
                              number, RECORD_NUMBER_LIMIT);
                return false;
            }
            // Both figures come from completions: either both are there or neither.
            if ((record.moves[kind] == RECORD_NONE) != (record.ticks[kind] == RECORD_NONE)) {
                std::snprintf(fault, size, "%s line %d: moves without a time, or a time without "
                              "moves", path, number);
                return false;
            }
        }
        into[level] = record;
    }
    if (length == 0) {
        std::snprintf(fault, size, "%s: empty, not a records file", path);
        return false;
    }
    return true;
}

/* Formats the table as the records file's text into file_text. Returns its length. */
size_t format_records()
{
    size_t used = (size_t)std::snprintf(
        file_text, sizeof file_text,
        "%s\n# Each level completed: the fewest moves and the shortest game time (ticks, 100 a\n"
        "# second) without undo or hints, then with them; - for none yet.\n",
        RECORDS_HEADER);
    for (int level = 1; level <= RECORDS_LEVEL_LIMIT; level++) {
        const LevelRecord &r = table[level];
        bool any = false;
        for (int kind = 0; kind < RECORD_KINDS; kind++)
            any = any || r.moves[kind] != RECORD_NONE;
        if (!any)
            continue;
        char figures[RECORD_KINDS][2][16];
        for (int kind = 0; kind < RECORD_KINDS; kind++) {
            if (r.moves[kind] == RECORD_NONE) {
                std::snprintf(figures[kind][0], sizeof figures[kind][0], "-");
                std::snprintf(figures[kind][1], sizeof figures[kind][1], "-");
            } else {
                std::snprintf(figures[kind][0], sizeof figures[kind][0], "%d", (int)r.moves[kind]);
                std::snprintf(figures[kind][1], sizeof figures[kind][1], "%d", (int)r.ticks[kind]);
            }
        }
        used += (size_t)std::snprintf(file_text + used, sizeof file_text - used,
                                      "level %d %s %s %s %s\n", level, figures[0][0],
                                      figures[0][1], figures[1][0], figures[1][1]);
    }
    bool heading = false;
    for (int level = 1; level <= RECORDS_LEVEL_LIMIT; level++) {
        const LevelPar &par = kept_pars[level];
        if (par.state != PAR_KNOWN)
            continue;
        if (!heading) {
            used += (size_t)std::snprintf(
                file_text + used, sizeof file_text - used,
                "# The pars worked out for the maps of this folder: the hash of the map's text,\n"
                "# then the shortest way's moves, waits and game time (ticks).\n");
            heading = true;
        }
        used += (size_t)std::snprintf(file_text + used, sizeof file_text - used,
                                      "par %d %016llx %d %d %d\n", level,
                                      (unsigned long long)par.map_hash, (int)par.moves,
                                      (int)par.waits, (int)par.ticks);
    }
    return used;
}

/* Reads the map of `level` for its time limit, as the map loader sets the clock from it. */
int32_t map_limit_ticks(int level)
{
    char path[GAME_PATH_SIZE];
    level_file_path(level, path, sizeof path);
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return 0;
    struct stat info;
    int32_t ticks = 0;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
        MapReader reader;
        map_reader_from_file(&reader, file);
        parse_map(&reader, &attempt_map);
        int64_t wide = (int64_t)attempt_map.minutes * 6000;
        ticks = wide > INT32_MAX ? INT32_MAX : wide < 0 ? 0 : (int32_t)wide;
    }
    std::fclose(file);
    return ticks;
}

/* Reads the map of `level` into map_text. Returns its length, or 0 when it cannot be read or is
   too long. */
size_t read_map_text(int level)
{
    char path[GAME_PATH_SIZE];
    level_file_path(level, path, sizeof path);
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    size_t got = 0;
    for (;;) {
        ssize_t n = read(fd, map_text + got, sizeof map_text - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || (got += (size_t)n) == sizeof map_text)
            break;
    }
    close(fd);
    return got == sizeof map_text ? 0 : got;
}

/* FNV-1a over the map's bytes: tells a map changed since its par was worked out. */
uint64_t map_hash(size_t length)
{
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < length; i++)
        hash = (hash ^ (unsigned char)map_text[i]) * 1099511628211ull;
    return hash;
}

/* Stops the par search under way, if any, and forgets it. */
void stop_par_search()
{
    if (par_child > 0) {
        kill(par_child, SIGKILL);
        waitpid(par_child, nullptr, 0);
    }
    if (par_pipe >= 0)
        close(par_pipe);
    par_child = -1;
    par_pipe = -1;
    par_level = 0;
    par_answer_length = 0;
}

/* In the child: works out the par of the map in map_text and writes "SOLVED MOVES WAITS TICKS"
   to fd. Never returns; touches none of the parent's files or the display. */
[[noreturn]] void par_search_child(size_t length, int fd, pid_t parent)
{
    // Ends with the game, and gives way to it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(0);
    setpriority(PRIO_PROCESS, 0, 10);
    map_text[length < sizeof map_text ? length : sizeof map_text - 1] = '\0';
    static SearchResult result;
    const bool solved = search_level(map_text, PAR_LIMITS, &result);
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%d %d %d %d\n", solved ? 1 : 0,
                                (int)result.moves, (int)result.waits, (int)result.ticks);
    (void)!write(fd, line, (size_t)n);
    _exit(0);
}

bool helped()
{
    return records_attempt.undos > 0 || records_attempt.hints > 0;
}

/* "53 moves" and "6.36 s" for a figure pair, or "-" for none. */
void format_pair(int32_t moves, int32_t ticks, char *moves_text, char *time_text, size_t size)
{
    if (moves == RECORD_NONE) {
        std::snprintf(moves_text, size, "-");
        std::snprintf(time_text, size, "-");
        return;
    }
    std::snprintf(moves_text, size, "%d move%s", (int)moves, moves == 1 ? "" : "s");
    std::snprintf(time_text, size, "%d.%02d s", (int)(ticks / 100), (int)(ticks % 100));
}

} // namespace

bool load_records()
{
    ready_table();
    char path[GAME_PATH_SIZE], fault[RECORDS_FAULT_SIZE];
    progress_file_path(RECORDS_NAME, path, sizeof path);
    size_t length = 0;
    static LevelRecord read[RECORDS_LEVEL_LIMIT + 1];
    static LevelPar read_pars[RECORDS_LEVEL_LIMIT + 1];
    switch (read_whole(path, &length, fault, sizeof fault)) {
    case READ_MISSING:
        if (!records_unread)
            empty_table();
        return !records_unread;
    case READ_FAILED:
        report_unread(fault);
        return false;
    case READ_WHOLE:
        break;
    }
    for (LevelRecord &record : read)
        record = LevelRecord{{RECORD_NONE, RECORD_NONE}, {RECORD_NONE, RECORD_NONE}};
    for (LevelPar &par : read_pars)
        par = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0};
    if (!parse_records(path, length, read, read_pars, fault, sizeof fault)) {
        report_unread(fault);
        return false;
    }
    // After a fault the table holds what this run won; a file mended meanwhile is read again
    // but still never written.
    if (records_unread)
        return false;
    std::memcpy(table, read, sizeof table);
    // A par worked out in this run and not yet written stays; one the search could not find
    // stays for the run.
    for (int level = 1; level <= RECORDS_LEVEL_LIMIT; level++) {
        if (!par_unsaved[level] && read_pars[level].state == PAR_KNOWN)
            kept_pars[level] = read_pars[level];
    }
    return true;
}

LevelRecord level_record(int level)
{
    ready_table();
    if (level < 1 || level > RECORDS_LEVEL_LIMIT)
        return LevelRecord{{RECORD_NONE, RECORD_NONE}, {RECORD_NONE, RECORD_NONE}};
    return table[level];
}

bool read_solution_par(const char *path, LevelPar *par, char *name, size_t name_size)
{
    if (name && name_size)
        name[0] = '\0';
    *par = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0};
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    char line[256];
    const bool got = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    if (!got)
        return false;
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
    *par = LevelPar{PAR_KNOWN, moves, waits, ticks, 0};
    return true;
}

LevelPar level_par(int level)
{
    LevelPar par{PAR_NOT_KNOWN, 0, 0, 0, 0};
    if (level < 1 || level > RECORDS_LEVEL_LIMIT)
        return par;
    if (levels_folder[0]) {
        const size_t length = read_map_text(level);
        if (length == 0)
            return par;
        const uint64_t hash = map_hash(length);
        if (kept_pars[level].state != PAR_NOT_KNOWN && kept_pars[level].map_hash == hash)
            return kept_pars[level];
        if (par_child > 0 && par_level == level && par_hash == hash)
            par.state = PAR_WORKING;
        return par;
    }
    char path[GAME_PATH_SIZE], solved_name[LEVEL_NAME_SIZE], name[LEVEL_NAME_SIZE];
    std::snprintf(path, sizeof path, "solutions/map%02d.txt", level);
    if (!read_solution_par(path, &par, solved_name, sizeof solved_name))
        return par;
    // The solution must be of the map as it is, not of one put in its place.
    int code;
    if (!read_level_header(level_file_path(level, path, sizeof path), name, &code) ||
        std::strcmp(name, solved_name) != 0)
        par = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0};
    return par;
}

void records_attempt_started(int level)
{
    kept_attempt = records_attempt;
    records_attempt = RecordsAttempt{level, map_limit_ticks(level), 0, 0, 0};
    load_records();
    start_par_search(level);
    attempt_par = level_par(level);
}

void start_par_search(int level)
{
    if (!levels_folder[0] || !demo_writes_allowed() || level < 1 || level > RECORDS_LEVEL_LIMIT)
        return;
    const size_t length = read_map_text(level);
    if (length == 0)
        return;
    const uint64_t hash = map_hash(length);
    if (kept_pars[level].state != PAR_NOT_KNOWN && kept_pars[level].map_hash == hash)
        return;
    if (par_child > 0 && par_level == level && par_hash == hash)
        return;
    stop_par_search();

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        par_search_child(length, fds[1], parent);
    }
    close(fds[1]);
    if (child < 0) {
        close(fds[0]);
        return;
    }
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    par_child = child;
    par_pipe = fds[0];
    par_level = level;
    par_hash = hash;
    par_answer_length = 0;
}

bool poll_par_search()
{
    if (par_child <= 0)
        return false;
    for (;;) {
        const ssize_t n = read(par_pipe, par_answer + par_answer_length,
                               sizeof par_answer - 1 - par_answer_length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return true;            // nothing yet
        par_answer_length += (size_t)(n > 0 ? n : 0);
        if (n > 0 && par_answer_length < sizeof par_answer - 1 &&
            !std::memchr(par_answer, '\n', par_answer_length))
            continue;
        break;
    }
    // An answer, or the child's end without one (killed, or out of memory).
    par_answer[par_answer_length] = '\0';
    int solved = 0, moves = 0, waits = 0, ticks = 0;
    const bool parsed =
        std::sscanf(par_answer, "%d %d %d %d", &solved, &moves, &waits, &ticks) == 4;
    const int level = par_level;
    LevelPar par{PAR_NONE_FOUND, 0, 0, 0, par_hash};
    if (parsed && solved && moves >= 0 && waits >= 0 && ticks > 0)
        par = LevelPar{PAR_KNOWN, moves, waits, ticks, par_hash};
    kept_pars[level] = par;
    // Only a par found is kept in the file: a search that ran out of bounds may be luckier with
    // another build, and costs nothing until the level is played again.
    par_unsaved[level] = par.state == PAR_KNOWN;
    stop_par_search();
    if (records_attempt.level == level)
        attempt_par = par;
    return false;
}

void records_note_command()
{
    records_attempt.commands++;
}

void records_note_undo()
{
    records_attempt.undos++;
}

void records_note_hint()
{
    records_attempt.hints++;
}

void records_restart_undone()
{
    if (kept_attempt.level == records_attempt.level) {
        records_attempt = kept_attempt;
        records_attempt.undos++;
    }
}

int records_attempt_ticks()
{
    const int elapsed = records_attempt.limit_ticks - level_time.load(std::memory_order_relaxed);
    return elapsed > 0 ? elapsed : 0;
}

int records_attempt_moves()
{
    const int moves = records_attempt.commands - records_attempt.undos;
    return moves > 0 ? moves : 0;
}

void records_level_completed(int level, int ticks)
{
    if (!demo_writes_allowed() || level < 1 || level > RECORDS_LEVEL_LIMIT || ticks < 0)
        return;
    // Read again first: another game may have won a record meanwhile, and a file broken since
    // the level began must not be written over. The folder stays locked until the write, so
    // that game cannot write in between.
    char locked_path[GAME_PATH_SIZE];
    const int lock = progress_unwritable ? -1 :
        lock_player_folder(progress_file_path(RECORDS_NAME, locked_path, sizeof locked_path));
    const bool readable = load_records();
    const int kind = helped() ? RECORD_HELPED : RECORD_UNHELPED;
    const int32_t moves = records_attempt_moves();
    LevelRecord &record = table[level];
    bool better = false;
    if (record.moves[kind] == RECORD_NONE || moves < record.moves[kind]) {
        record.moves[kind] = moves;
        better = true;
    }
    if (record.ticks[kind] == RECORD_NONE || ticks < record.ticks[kind]) {
        record.ticks[kind] = ticks;
        better = true;
    }
    bool new_par = false;
    for (bool unsaved : par_unsaved)
        new_par = new_par || unsaved;
    // Without a folder to write in, progress_file said so at start-up and on the message line.
    if (!(better || new_par) || !readable || progress_unwritable) {
        unlock_player_folder(lock);
        return;
    }
    char path[GAME_PATH_SIZE];
    progress_file_path(RECORDS_NAME, path, sizeof path);
    const size_t length = format_records();
    const char *failed = nullptr;
    // A new file beside it, on the disk before the rename: a killed game never leaves a torn one.
    const int error = file_replace(path, file_text, length, &failed);
    unlock_player_folder(lock);
    if (!error) {
        for (bool &unsaved : par_unsaved)
            unsaved = false;
    } else {
        std::fprintf(stderr, "tirvex: %s: %s: records are not saved\n", failed,
                     std::strerror(error));
        if (!told_not_written) {
            told_not_written = true;
            pending_notice = NOT_WRITTEN;
        }
    }
}

void draw_records_panel(BITMAP *target)
{
    poll_par_search();
    if (pending_notice) {
        show_message(pending_notice, MESSAGE_TICKS);
        pending_notice = nullptr;
    }
    if (!records_panel_held)
        return;
    ready_table();

    FONT *title_font = (FONT *)datafile_object(DAT_FONT_LARGE);
    if (!title_font)
        title_font = font;
    const int line_h = text_height(font) + 6;
    const int title_h = text_height(title_font) + 10;
    const int rows = records_unread ? 6 : 5;
    const int w = 400, h = title_h + 10 + rows * line_h + 8;
    const int x = (target->w - w) / 2, y = 50;
    const int x_moves = x + 250, x_time = x + w - 14;

    set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
    set_clip_state(target, TRUE);
    // The panel's body lets the view show through, as the map panel's overlay does.
    COLOR_MAP *saved = color_map;
    color_map = &trans_table;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(target, x, y, x + w - 1, y + h - 1, makecol(10, 20, 70));
    solid_mode();
    color_map = saved;
    rect(target, x, y, x + w - 1, y + h - 1, makecol(150, 160, 190));
    rectfill(target, x + 1, y + 1, x + w - 2, y + title_h, makecol(230, 130, 30));

    const int grey = makecol(235, 235, 235), sky = makecol(120, 200, 255);
    const int yellow = makecol(255, 230, 90), green = makecol(100, 255, 100);
    std::snprintf(panel_line, sizeof panel_line, "Level %d: %.38s", records_attempt.level,
                  level_map.level_name);
    textout_ex(target, title_font, panel_line, x + 11, y + 6, makecol(90, 20, 10), -1);
    textout_ex(target, title_font, panel_line, x + 10, y + 5, grey, -1);

    char moves_text[24], time_text[24];
    int row_y = y + title_h + 10;
    auto row = [&](const char *label, int colour) {
        textout_ex(target, font, label, x + 14, row_y, sky, -1);
        textout_right_ex(target, font, moves_text, x_moves, row_y, colour, -1);
        textout_right_ex(target, font, time_text, x_time, row_y, colour, -1);
        row_y += line_h;
    };

    if (attempt_par.state == PAR_KNOWN) {
        format_pair(attempt_par.moves, attempt_par.ticks, moves_text, time_text, sizeof moves_text);
        row("Par", yellow);
    } else {
        std::snprintf(moves_text, sizeof moves_text, "%s",
                      attempt_par.state == PAR_WORKING  ? "working it out" :
                      attempt_par.state == PAR_NONE_FOUND ? "no way found" : "not known");
        time_text[0] = '\0';
        row("Par", yellow);
    }
    const LevelRecord record = level_record(records_attempt.level);
    format_pair(record.moves[RECORD_UNHELPED], record.ticks[RECORD_UNHELPED], moves_text,
                time_text, sizeof moves_text);
    row("Your best", grey);
    format_pair(record.moves[RECORD_HELPED], record.ticks[RECORD_HELPED], moves_text, time_text,
                sizeof moves_text);
    row("With undo or hints", grey);
    format_pair(records_attempt_moves(), records_attempt_ticks(), moves_text, time_text,
                sizeof moves_text);
    row("This attempt", green);

    std::snprintf(panel_line, sizeof panel_line, "%d undo%s, %d hint%s", (int)records_attempt.undos,
                  records_attempt.undos == 1 ? "" : "s", (int)records_attempt.hints,
                  records_attempt.hints == 1 ? "" : "s");
    textout_right_ex(target, font, panel_line, x_time, row_y, green, -1);
    row_y += line_h;
    if (records_unread)
        textout_ex(target, font, "Records file unreadable: not saved", x + 14, row_y,
                   makecol(255, 90, 90), -1);
}

const char *records_fault()
{
    return records_unread ? unread_fault : nullptr;
}

void forget_records_state()
{
    empty_table();
    table_ready = true;
    records_unread = false;
    unread_fault[0] = '\0';
    told_not_written = false;
    pending_notice = nullptr;
    records_attempt = RecordsAttempt{0, 0, 0, 0, 0};
    kept_attempt = records_attempt;
    attempt_par = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0};
    stop_par_search();
    for (int level = 0; level <= RECORDS_LEVEL_LIMIT; level++) {
        kept_pars[level] = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0};
        par_unsaved[level] = false;
    }
}
