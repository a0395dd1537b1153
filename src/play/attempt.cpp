/* attempt.cpp: what the records count of the attempt under way. */
#include "play/attempt.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_read.h"
#include "base/game_paths.h"
#include "world/command_log.h"
#include "world/map_hash.h"
#include "world/map_parser.h"

namespace {

enum {
    /* A map of 199 squares is under 16 KB: a longer file is no level's. */
    HASHED_MAP_LIMIT = 32768,
    MAP_FILE_LIMIT = 16 << 20       /* a map read for its time limit: far beyond any real one */
};

} // namespace

uint64_t level_map_hash(int level)
{
    char path[GAME_PATH_SIZE];
    level_file_path(level, path, sizeof path);
    // A map of a --levels folder is the player's: a FIFO there must not hold the game up.
    char fault[GAME_PATH_SIZE + 64];
    const std::unique_ptr<char[]> text(new char[HASHED_MAP_LIMIT]);
    size_t got = 0;
    const int fd = open_regular_file(path, HASHED_MAP_LIMIT, fault, sizeof fault);
    if (fd >= 0) {
        for (;;) {
            const ssize_t n = read(fd, text.get() + got, HASHED_MAP_LIMIT - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0 || (got += (size_t)n) == HASHED_MAP_LIMIT)
                break;
        }
        close(fd);
    }
    return map_text_hash(text.get(), got == HASHED_MAP_LIMIT ? 0 : got);
}

int32_t map_limit_ticks(int level)
{
    char path[GAME_PATH_SIZE];
    level_file_path(level, path, sizeof path);
    char fault[GAME_PATH_SIZE + 64];
    FILE *file = fopen_regular(path, MAP_FILE_LIMIT, fault, sizeof fault);
    if (!file)
        return 0;
    struct stat info;
    int32_t ticks = 0;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
        MapReader reader;
        map_reader_from_file(&reader, file);
        const std::unique_ptr<ParsedMap> map(new ParsedMap());    // some hundred KB
        parse_map(&reader, map.get());
        const int64_t wide = (int64_t)map->minutes * 6000;
        ticks = wide > INT32_MAX ? INT32_MAX : wide < 0 ? 0 : (int32_t)wide;
    }
    std::fclose(file);
    return ticks;
}

void records_note_undo(RecordsAttempt &attempt)
{
    attempt.undos++;
}

void records_note_hint(RecordsAttempt &attempt)
{
    attempt.hints++;
}

void records_restart_undone(RecordsAttempt &attempt, const RecordsAttempt &ended)
{
    const RecordsAttempt begun = attempt;
    attempt = ended;
    attempt.undos += begun.undos + 1;
    attempt.hints += begun.hints;
}

int records_attempt_ticks(const RecordsAttempt &attempt, int32_t clock)
{
    const int elapsed = attempt.limit_ticks - clock;
    return elapsed > 0 ? elapsed : 0;
}

int records_attempt_moves(const CommandLog &log)
{
    return log.attempt_commands;
}
