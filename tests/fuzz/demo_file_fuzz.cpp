/* demo_file_fuzz.cpp: feeds arbitrary bytes to the demo reader, as a file the game opens, and
   reads every number of what it took as playback does. */
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "ui/demo_file.h"
#include "ui/demo_input.h"

/* The level select's answer, which the reader asks for each level: here levels 1 to 19 have a
   map, as the shipped game's do. */
int level_map_exists(int level)
{
    return level >= 1 && level <= 19;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *path = fuzz_input_file(".demo", data, size);
    static std::vector<std::string> lines;
    static std::vector<int> numbers;
    char fault[DEMO_FAULT_SIZE];
    std::memset(fault, 'x', sizeof fault);
    if (!read_demo_file(path, &lines, &numbers, fault, sizeof fault)) {
        if (std::memchr(fault, '\0', sizeof fault) == nullptr)
            __builtin_trap();
        return 0;
    }
    if (lines.size() != numbers.size())
        __builtin_trap();
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string &line = lines[i];
        if (line.empty() || line[0] == '#' || (i > 0 && numbers[i] <= numbers[i - 1]))
            __builtin_trap();
        if (line[0] != 'f')
            continue;
        // Every token of a frame holds a number within what play can have recorded.
        for (size_t at = 1; at < line.size();) {
            while (at < line.size() && line[at] == ' ')
                at++;
            size_t end = line.find(' ', at);
            if (end == std::string::npos)
                end = line.size();
            if (end > at) {
                const std::string token = line.substr(at, end - at);
                const int n = token.size() > 1 && token[0] != '@' ? demo_token_number(token) : 0;
                if ((token[0] == 't' && (n < 0 || n > DEMO_TICKS_LIMIT)) ||
                    (token[0] == 'r' && (n < 0 || n >= 128 << 8)) ||
                    (token[0] == 'h' && (n < 1 || n >= 128)))
                    __builtin_trap();
            }
            at = end;
        }
    }
    return 0;
}
