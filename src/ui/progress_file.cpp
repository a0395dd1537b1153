/* progress_file.cpp: reading and safely rewriting "tirvex.sav", the completed levels. */
#include "ui/progress_file.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "shell/fatal.h"
#include "shell/game_paths.h"
#include "world/level_map.h"
#include "world/map_file.h"

namespace {

const char *const SAVE_PATH = "tirvex.sav";
const char *const SAVE_TEMP_PATH = "tirvex.sav.tmp";
const char *const NO_WRITE_ACCESS = "No write access for save game file";
const char *const NOT_SAVED = "No write access: progress is not saved";

bool told_not_saved = false;

/* Writes the record to the temporary file and makes sure it has reached the disk before the
   rename makes it the save file. Returns 1 on success; on any failure the temporary file is
   removed and 0 returned. */
int write_temporary(const ProgressRecord *record)
{
    char temp_path[GAME_PATH_SIZE];
    progress_file_path(SAVE_TEMP_PATH, temp_path, sizeof temp_path);
    FILE *file = std::fopen(temp_path, "wb");
    if (!file)
        return 0;
    bool ok = std::fwrite(record->bytes, 1, PROGRESS_BYTES, file) == PROGRESS_BYTES;
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::remove(temp_path);
    return ok ? 1 : 0;
}

} // namespace

void load_progress(ProgressRecord *record)
{
    std::memset(record->bytes, '0', PROGRESS_BYTES);
    char path[GAME_PATH_SIZE];
    FILE *file = std::fopen(progress_file_path(SAVE_PATH, path, sizeof path), "rb");
    if (!file)
        return;
    // A short read leaves the '0' bytes it did not reach.
    size_t got = std::fread(record->bytes, 1, PROGRESS_BYTES, file);
    (void)got;
    std::fclose(file);
}

int progress_level_completed(const ProgressRecord *record, int level)
{
    if (level < 1 || level > PROGRESS_LAST_LEVEL)
        return 0;
    return record->bytes[level] == '1' ? 1 : 0;
}

int record_level_completed(int level)
{
    ProgressRecord record;
    load_progress(&record);
    if (level >= 1 && level <= PROGRESS_LAST_LEVEL)
        record.bytes[level] = '1';

    // A player's folder that could not be made was reported at start-up and once on the
    // message line; play goes on without saving.
    if (!home_unwritable) {
        char path[GAME_PATH_SIZE], temp_path[GAME_PATH_SIZE];
        progress_file_path(SAVE_PATH, path, sizeof path);
        progress_file_path(SAVE_TEMP_PATH, temp_path, sizeof temp_path);
        check(write_temporary(&record), NO_WRITE_ACCESS);
        if (std::rename(temp_path, path) != 0) {
            std::remove(temp_path);
            check(0, NO_WRITE_ACCESS);
        }
    }

    char path[GAME_PATH_SIZE];
    level_file_path(level + 1, path, sizeof path);
    char name[LEVEL_NAME_SIZE];
    int code;
    return read_level_header(path, name, &code) ? 0 : 1;
}

const char *unsaved_progress_notice()
{
    if (!home_unwritable || told_not_saved)
        return nullptr;
    told_not_saved = true;
    return NOT_SAVED;
}
