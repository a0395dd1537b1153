/* progress_file.h: "tirvex.sav", the record of which levels have been completed. */
#pragma once

#include <cstddef>

enum {
    PROGRESS_BYTES = 20,        /* the whole file: byte 0 and one byte for each level 1..19 */
    PROGRESS_LAST_LEVEL = 19    /* levels above this have no byte and never count as completed */
};

/* The 20 bytes of the save file as they stand on disk, with no header or line end. */
struct ProgressRecord {
    char bytes[PROGRESS_BYTES];     /* byte n: '1' when level n is completed; any other value is
                                       not completed and is written back as it was read */
};

/* Fills record with 20 '0' bytes, then reads up to 20 bytes of "tirvex.sav" over them when the
   file can be opened: a missing file leaves all '0', a short one leaves the rest '0', bytes beyond
   the 20th are ignored. A file that exists but cannot be read whole (no permission, a directory,
   a FIFO or a device, over 64 KB, an I/O error) also reads as all '0', and from then on is never written over: the first time,
   standard error says so and why. Called by the level selection and by record_level_completed. */
void load_progress(ProgressRecord *record);

/* Reads the record "tirvex.sav" in `folder` as load_progress reads the game's own, without
   taking it as the game's: nothing is marked unreadable and nothing is said. Returns 1, or 0
   with the path and the reason in reason (size bytes) when the file is there but cannot be
   read whole; the record is then all '0'. Called by the list of sets of "Play my levels". */
int read_progress_of(const char *folder, ProgressRecord *record, char *reason, size_t size);

/* Reads "tirvex.sav" once at start-up. Returns nullptr, or, when it exists but cannot be read,
   the path and the reason ("/home/ann/.local/share/tirvex/tirvex.sav: Permission denied") for
   the start-up console; progress is then not saved. Called by main. */
const char *probe_progress_file();

/* Returns 1 when record marks level as completed (its byte is '1'), else 0; levels outside
   1..19 are never completed. */
int progress_level_completed(const ProgressRecord *record, int level);

/* Marks level (1-based) completed: reads the record, sets byte `level` to '1' when level is at
   most 19, and replaces "tirvex.sav" with the 20 bytes. The bytes go to a new file of its own
   beside it (created exclusively, so no link is followed) that reaches the disk before it is
   renamed over the old one, so an interrupted write never leaves a torn or empty save; where the
   folder takes no new file but the save can be written, it is written in place without being
   cut first, and read back. A link at the name is replaced as a missing file is. The folder is
   locked from the read to the write, so two games on it both keep their completions. Nothing is
   written while the record has no writable folder (progress_unwritable) or could not be read.
   A save file that cannot be written stops the program with "No write access for save game
   file", the path and the system's reason going to error.log and standard error, and the old
   file is left as it was. Returns 1 when there is no map file for level + 1 (the game is
   finished), else 0. Called by the play loop after a confirmed completion. */
int record_level_completed(int level);

/* Returns the message line's notice that progress is not saved ("No write access: progress is
   not saved", or "tirvex.sav cannot be read: progress is not saved") the first time it is called
   while that is so, nullptr otherwise and ever after. Called by the play loop at each level
   start, which shows it on the message line. */
const char *unsaved_progress_notice();

/* Forgets an unreadable save and a notice already given, as at the start of a run. For tests. */
void forget_progress_state();
