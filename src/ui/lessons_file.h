/* lessons_file.h: what the game has taught the player once, kept in "tirvex-lessons.txt". */
#pragma once

#include <cstddef>

enum {
    LESSONS_LIMIT = 32,         /* lessons a file may name; the game knows one today */
    LESSON_NAME_SIZE = 40,      /* a name: at most 39 characters */
    LESSONS_FILE_LIMIT = 4096,  /* bytes: the file holds a few short lines */
    LESSONS_FAULT_SIZE = 4096 + 160
};

/* The lessons given, as the file names them ("first-loss"). Names the game does not know are
   kept, and written back, as they were. */
struct LessonSet {
    char names[LESSONS_LIMIT][LESSON_NAME_SIZE];
    int count;
};

/* The lesson of the first level lost: the message line's second line teaches undo, the restart
   and the hint. */
extern const char *const LESSON_FIRST_LOSS;

/* Reads the text of a lessons file (`length` bytes, no terminator needed): the line
   "tirvex-lessons 1", then one lesson name a line (letters, digits and '-'); '#' lines and blank
   lines are skipped; a line may end in LF or CR LF. Returns true with the names in *set, or false
   with the line and the fault in fault (size bytes: "line 3: not a lesson name"). */
bool parse_lessons(const char *text, size_t length, LessonSet *set, char *fault, size_t size);

/* Writes the file's text for *set into out (size bytes). Returns its length, or 0 when it does
   not fit. */
size_t format_lessons(const LessonSet *set, char *out, size_t size);

/* Whether *set names the lesson. */
bool lesson_in(const LessonSet *set, const char *lesson);

/* Whether the player was taught `lesson`: read once from "tirvex-lessons.txt" in the player's
   folder (a missing file taught nothing). A file that cannot be read, or is not a lessons file,
   is named with its fault on standard error once, counts as teaching nothing, and is never
   written over. */
bool lesson_taught(const char *lesson);

/* Notes that the player was taught `lesson`, for the rest of the run and, unless the file was
   unreadable or the folder takes no file, in the file: a new file renamed over it, as every file
   of the game is written. Writes nothing in demo playback (the caller does not teach there). */
void mark_lesson_taught(const char *lesson);

/* Forgets what was read, as at the start of a run. For tests. */
void forget_lessons_state();
