/* lessons_file.cpp: what the game has taught the player once, kept in "tirvex-lessons.txt". */
#include "ui/lessons_file.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "base/file_read.h"
#include "base/file_replace.h"
#include "base/game_paths.h"

const char *const LESSON_FIRST_LOSS = "first-loss";

namespace {

const char *const LESSONS_FILE = "tirvex-lessons.txt";
const char *const VERSION_LINE = "tirvex-lessons 1";

LessonSet lessons;
bool lessons_read = false;
bool lessons_unreadable = false;    /* never written over then */

bool is_name(const char *text)
{
    if (!text[0] || std::strlen(text) >= LESSON_NAME_SIZE)
        return false;
    for (const char *p = text; *p; p++)
        if (!std::isalnum((unsigned char)*p) && *p != '-')
            return false;
    return true;
}

bool add_lesson(LessonSet *set, const char *lesson)
{
    if (lesson_in(set, lesson))
        return true;
    if (set->count >= LESSONS_LIMIT)
        return false;
    std::snprintf(set->names[set->count++], LESSON_NAME_SIZE, "%s", lesson);
    return true;
}

void read_lessons()
{
    if (lessons_read)
        return;
    lessons_read = true;
    lessons = LessonSet{};
    char path[GAME_PATH_SIZE], fault[LESSONS_FAULT_SIZE];
    user_file_path(LESSONS_FILE, path, sizeof path);
    const int fd = open_regular_file(path, LESSONS_FILE_LIMIT, fault, sizeof fault);
    if (fd < 0) {
        if (fault[0]) {
            lessons_unreadable = true;
            std::fprintf(stderr, "tirvex: %s; the game's first-time lines are not kept\n", fault);
        }
        return;
    }
    static char text[LESSONS_FILE_LIMIT];
    const long got = read_up_to(fd, text, sizeof text);
    close(fd);
    char why[160];
    if (got < 0) {
        lessons_unreadable = true;
        std::fprintf(stderr, "tirvex: %s: cannot be read; the game's first-time lines are not kept\n",
                     path);
    } else if (!parse_lessons(text, (size_t)got, &lessons, why, sizeof why)) {
        lessons_unreadable = true;
        lessons = LessonSet{};
        std::fprintf(stderr, "tirvex: %s %s; the game's first-time lines are not kept\n", path,
                     why);
    }
}

} // namespace

bool parse_lessons(const char *text, size_t length, LessonSet *set, char *fault, size_t size)
{
    *set = LessonSet{};
    fault[0] = '\0';
    size_t at = 0;
    int number = 0;
    bool version_seen = false;
    while (at < length) {
        size_t end = at;
        while (end < length && text[end] != '\n')
            end++;
        number++;
        size_t n = end - at;
        if (n > 0 && text[at + n - 1] == '\r')
            n--;
        if (std::memchr(text + at, '\0', n)) {
            std::snprintf(fault, size, "line %d: a byte that is not text", number);
            return false;
        }
        char line[LESSON_NAME_SIZE + 8];
        const bool long_line = n >= sizeof line;
        std::snprintf(line, sizeof line, "%.*s", (int)(long_line ? sizeof line - 1 : n), text + at);
        at = end + 1;
        if (!version_seen) {
            if (long_line || std::strcmp(line, VERSION_LINE) != 0) {
                std::snprintf(fault, size, "line %d: not \"%s\": not a lessons file", number,
                              VERSION_LINE);
                return false;
            }
            version_seen = true;
            continue;
        }
        if (line[0] == '#' || n == 0)
            continue;
        if (long_line || !is_name(line)) {
            std::snprintf(fault, size, "line %d: not a lesson name", number);
            return false;
        }
        if (!add_lesson(set, line)) {
            std::snprintf(fault, size, "line %d: more than %d lessons", number, LESSONS_LIMIT);
            return false;
        }
    }
    if (!version_seen) {
        std::snprintf(fault, size, "line 1: not \"%s\": not a lessons file", VERSION_LINE);
        return false;
    }
    return true;
}

size_t format_lessons(const LessonSet *set, char *out, size_t size)
{
    size_t used = 0;
    auto put = [&](const char *line) {
        const int n = std::snprintf(out + used, size - used, "%s\n", line);
        if (n < 0 || (size_t)n >= size - used)
            return false;
        used += (size_t)n;
        return true;
    };
    if (size == 0 || !put(VERSION_LINE) ||
        !put("# What the game has told this player once; delete a line to hear it again."))
        return 0;
    for (int i = 0; i < set->count; i++)
        if (!put(set->names[i]))
            return 0;
    return used;
}

bool lesson_in(const LessonSet *set, const char *lesson)
{
    for (int i = 0; i < set->count; i++)
        if (!std::strcmp(set->names[i], lesson))
            return true;
    return false;
}

bool lesson_taught(const char *lesson)
{
    read_lessons();
    return lesson_in(&lessons, lesson);
}

void mark_lesson_taught(const char *lesson)
{
    read_lessons();
    if (lesson_in(&lessons, lesson) || !add_lesson(&lessons, lesson))
        return;
    if (lessons_unreadable || home_unwritable)
        return;     // taught for this run; what the file holds is not known, or has no place
    char text[LESSONS_FILE_LIMIT], path[GAME_PATH_SIZE];
    const size_t length = format_lessons(&lessons, text, sizeof text);
    const char *failed = nullptr;
    if (length == 0)
        return;
    if (const int error = file_replace(user_file_path(LESSONS_FILE, path, sizeof path), text,
                                       length, &failed))
        std::fprintf(stderr, "tirvex: %s: %s; the game's first-time lines are not kept\n",
                     failed ? failed : path, std::strerror(error));
}

void forget_lessons_state()
{
    lessons = LessonSet{};
    lessons_read = false;
    lessons_unreadable = false;
}
