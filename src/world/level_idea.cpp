/* level_idea.cpp: the one line a level file gives to what the level teaches (its first line). */
#include "world/level_idea.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file_read.h"
#include "base/translation.h"
#include "base/utf8_letters.h"
#include "world/map_parser.h"

char *clean_level_idea(const char *line, char *idea, size_t size)
{
    if (size == 0)
        return idea;
    const char *start = line;
    while (*start == ' ' || *start == '\t')
        start++;
    // The shipped maps begin "Tirvex level 11:", which the level title already says.
    const char prefix[] = "Tirvex level ";
    if (std::strncmp(start, prefix, sizeof prefix - 1) == 0) {
        const char *p = start + sizeof prefix - 1;
        const char *digits = p;
        while (*p >= '0' && *p <= '9')
            p++;
        if (p > digits && *p == ':') {
            p++;
            while (*p == ' ' || *p == '\t')
                p++;
            start = p;
        }
    }
    size_t n = 0;
    for (const char *p = start; *p && *p != '\n' && *p != '\r' && n + 1 < size; p++) {
        const unsigned char c = (unsigned char)*p;
        idea[n++] = c < 32 || c > 126 ? ' ' : (char)c;
    }
    while (n > 0 && idea[n - 1] == ' ')
        n--;
    idea[n] = '\0';
    return idea;
}

bool read_level_idea(const char *path, char *idea, size_t size)
{
    if (size > 0)
        idea[0] = '\0';
    // A map in a player's folder of levels may be anything: a FIFO must not hold the game up.
    char fault[512];
    FILE *file = fopen_regular(path, (long long)1 << 40, fault, sizeof fault);
    if (!file)
        return false;
    MapReader reader;
    map_reader_from_file(&reader, file);
    char line[MAP_LINE_SIZE];
    map_read_line(&reader, line, sizeof line);
    std::fclose(file);
    clean_level_idea(line, idea, size);
    return true;
}

const char *translated_idea(const char *idea, char *shown)
{
    const char *whole = tr(idea);
    if (whole != idea)
        return whole;
    shown[0] = '\0';
    bool translated = false;
    for (const char *p = idea; *p;) {
        const char *end = std::strstr(p, ", ");
        const int length = end ? (int)(end - p) : (int)std::strlen(p);
        char piece[LEVEL_IDEA_SIZE], pattern[LEVEL_IDEA_SIZE + 2], made[LEVEL_IDEA_SHOWN_SIZE];
        std::snprintf(piece, sizeof piece, "%.*s", length, p);
        const char *words = tr(piece);
        const char *digit = std::strpbrk(piece, "0123456789");
        if (words == piece && digit) {
            // "eat the 3 sweets" is the catalogue's "eat the %d sweets": only a text found there,
            // whose conversions the catalogue checked against the English, is used as a format.
            char *after = nullptr;
            const long number = std::strtol(digit, &after, 10);
            std::snprintf(pattern, sizeof pattern, "%.*s%%d%s", (int)(digit - piece), piece, after);
            const char *format = tr(pattern);
            if (format != pattern && !std::strchr(piece, '%')) {
                std::snprintf(made, sizeof made, format, (int)number);
                words = made;
            }
        }
        translated = translated || words != piece;
        const size_t used = std::strlen(shown);
        std::snprintf(shown + used, LEVEL_IDEA_SHOWN_SIZE - used, "%s%s", used ? ", " : "", words);
        p = end ? end + 2 : p + length;
    }
    drop_cut_letter(shown);
    return translated ? shown : idea;
}
