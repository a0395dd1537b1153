/* lessons_file_fuzz.cpp: feeds arbitrary bytes to the lessons file reader, and writes back and
   reads again whatever it takes: the same lessons must come back. */
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ui/lessons_file.h"

namespace {

LessonSet first, second;
char text[LESSONS_FILE_LIMIT];
char fault[200];

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!parse_lessons((const char *)data, size, &first, fault, sizeof fault)) {
        // A refusal names its line and is a terminated text of the buffer.
        if (std::strncmp(fault, "line ", 5) != 0 || std::strlen(fault) >= sizeof fault)
            __builtin_trap();
        return 0;
    }
    if (first.count < 0 || first.count > LESSONS_LIMIT)
        __builtin_trap();
    const size_t length = format_lessons(&first, text, sizeof text);
    if (length == 0)
        __builtin_trap();   // what was read fits in a file the game writes
    if (!parse_lessons(text, length, &second, fault, sizeof fault) || second.count != first.count)
        __builtin_trap();
    for (int i = 0; i < first.count; i++)
        if (!lesson_in(&second, first.names[i]))
            __builtin_trap();
    return 0;
}
