/* progress_file.cpp: reading and safely rewriting "tirvex.sav", the completed levels. */
#include "ui/progress_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fatal.h"
#include "base/file_lock.h"
#include "base/file_read.h"
#include "base/file_replace.h"
#include "base/game_paths.h"
#include "base/translation.h"
#include "world/level_map.h"
#include "world/map_file.h"

namespace {

const char *const SAVE_PATH = "tirvex.sav";
const char *const NO_WRITE_ACCESS = N_("No write access for save game file");
const char *const NOT_SAVED = N_("No write access: progress is not saved");
const char *const NOT_READ = N_("tirvex.sav cannot be read: progress is not saved");

enum {
    FAULT_SIZE = GAME_PATH_SIZE + 128,
    /* A save is 20 bytes; one far larger was never written by the game. */
    SAVE_SIZE_LIMIT = 65536
};

bool told_not_saved = false;

/* Set once tirvex.sav was found but could not be read whole: it is never written over, since
   what it holds is not known. unread_reason says why. */
bool save_unread = false;
char unread_reason[FAULT_SIZE];

enum ReadResult { READ_WHOLE, READ_MISSING, READ_FAILED };

/* Reads up to 20 bytes of the file at path over record. A missing file (or a link to nothing)
   is no progress; a file that exists but cannot be read (no permission, a directory, a FIFO or
   a device, far too large, an I/O error) is READ_FAILED with the path and the reason in
   reason. */
ReadResult read_record(const char *path, ProgressRecord *record, char *reason, size_t size)
{
    int fd = open_regular_file(path, SAVE_SIZE_LIMIT, reason, size);
    if (fd < 0)
        return reason[0] ? READ_FAILED : READ_MISSING;
    // A short file leaves the '0' bytes it did not reach; a read error leaves the file unknown.
    size_t got = 0;
    while (got < PROGRESS_BYTES) {
        ssize_t n = read(fd, record->bytes + got, PROGRESS_BYTES - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            std::snprintf(reason, size, "%s: %s", path, std::strerror(errno));
            close(fd);
            return READ_FAILED;
        }
        if (n == 0)
            break;
        got += (size_t)n;
    }
    close(fd);
    return READ_WHOLE;
}

/* Stops the game with the fixed message on the page, and the file and the system's reason in
   error.log and on standard error. */
[[noreturn]] void save_failed(const char *path, int error)
{
    char detail[FAULT_SIZE];
    std::snprintf(detail, sizeof detail, "%s: %s", path, std::strerror(error));
    fail_check(NO_WRITE_ACCESS, detail);
}

/* Writes the record over the save file itself, as when the folder takes no new file: never
   follows a link, never cuts the old bytes before the new ones stand there, and reads them
   back. Does not return on failure. */
void write_in_place(const char *path, const ProgressRecord *record)
{
    if (int error = file_overwrite_in_place(path, record->bytes, PROGRESS_BYTES))
        save_failed(path, error);
}

/* Replaces the save file at path with the record. The bytes go to a new file of a name nobody
   can foresee, made beside it (no link or file standing anywhere is followed or truncated), that
   reaches the disk before the rename makes it the save, so an interrupted write never leaves a
   torn or empty save. A save file that is itself read-only stops the game, as opening it for
   writing would; where the folder takes no new file but the save can be written, it is written
   in place. A link at the name is replaced as a missing file is, never written through. Does not
   return on failure, and then the old file is as it was. */
void replace_save(const char *path, const ProgressRecord *record)
{
    struct stat old;
    const bool exists = lstat(path, &old) == 0 && S_ISREG(old.st_mode);
    if (exists && access(path, W_OK) != 0)
        save_failed(path, errno);

    const char *failed = nullptr;
    const int error = file_replace(path, record->bytes, PROGRESS_BYTES, &failed);
    if (!error)
        return;
    // The folder takes no new file, but the save itself can be written.
    if (failed != path && exists && (error == EACCES || error == EPERM || error == EROFS)) {
        write_in_place(path, record);
        return;
    }
    save_failed(failed, error);
}

} // namespace

void load_progress(ProgressRecord *record)
{
    std::memset(record->bytes, '0', PROGRESS_BYTES);
    char path[GAME_PATH_SIZE], reason[FAULT_SIZE];
    progress_file_path(SAVE_PATH, path, sizeof path);
    if (read_record(path, record, reason, sizeof reason) == READ_FAILED) {
        // Whatever was read is not trusted; what could not be read is not written over.
        std::memset(record->bytes, '0', PROGRESS_BYTES);
        if (!save_unread) {
            save_unread = true;
            std::snprintf(unread_reason, sizeof unread_reason, "%s", reason);
            std::fprintf(stderr, _("tirvex: %s: progress is not saved\n"), reason);
        }
    }
}

int read_progress_of(const char *folder, ProgressRecord *record, char *reason, size_t size)
{
    std::memset(record->bytes, '0', PROGRESS_BYTES);
    reason[0] = '\0';
    char path[GAME_PATH_SIZE + 16];
    std::snprintf(path, sizeof path, "%s/%s", folder, SAVE_PATH);
    if (read_record(path, record, reason, size) != READ_FAILED)
        return 1;
    std::memset(record->bytes, '0', PROGRESS_BYTES);
    return 0;
}

const char *probe_progress_file()
{
    ProgressRecord record;
    load_progress(&record);
    return save_unread ? unread_reason : nullptr;
}

int progress_level_completed(const ProgressRecord *record, int level)
{
    if (level < 1 || level > PROGRESS_LAST_LEVEL)
        return 0;
    return record->bytes[level] == '1' ? 1 : 0;
}

int record_level_completed(int level)
{
    char path[GAME_PATH_SIZE];
    progress_file_path(SAVE_PATH, path, sizeof path);
    // Another game on the folder must not write between this read and this write, or one of
    // the two completions is lost.
    const int lock = progress_unwritable ? -1 : lock_player_folder(path);
    ProgressRecord record;
    load_progress(&record);
    if (level >= 1 && level <= PROGRESS_LAST_LEVEL)
        record.bytes[level] = '1';

    // A record that has no folder to live in, or that could not be read, was reported at
    // start-up and once on the message line; play goes on without saving.
    if (!progress_unwritable && !save_unread)
        replace_save(path, &record);
    unlock_player_folder(lock);

    level_file_path(level + 1, path, sizeof path);
    char name[LEVEL_NAME_SIZE];
    int code;
    return read_level_header(path, name, &code) ? 0 : 1;
}

const char *unsaved_progress_notice()
{
    if ((!progress_unwritable && !save_unread) || told_not_saved)
        return nullptr;
    told_not_saved = true;
    return progress_unwritable ? NOT_SAVED : NOT_READ;
}

void forget_progress_state()
{
    told_not_saved = false;
    save_unread = false;
    unread_reason[0] = '\0';
}
