/* cast_text.cpp: the title and description of one cast entry, read from the cast text object. */
#include "app/cast_text.h"

#include <cstdio>
#include <cstring>

#include "base/datafile.h"
#include "base/translation.h"
#include "base/utf8_letters.h"

CastText cast_text;

namespace {

/* Where marker first stands in data, or size when it stands nowhere wholly inside it. */
size_t find_marker(const char *data, size_t size, const char *marker)
{
    const size_t length = std::strlen(marker);
    for (size_t at = 0; at + length <= size; at++)
        if (std::memcmp(data + at, marker, length) == 0)
            return at;
    return size;
}

/* Steps over one carriage return, then one line feed, where they stand. */
size_t skip_line_end(const char *data, size_t size, size_t at)
{
    if (at < size && data[at] == '\r')
        at++;
    if (at < size && data[at] == '\n')
        at++;
    return at;
}

} // namespace

void parse_cast_text(const char *data, size_t size, int index, CastText *out)
{
    std::memset(out, 0, sizeof *out);
    char marker[24];
    std::snprintf(marker, sizeof marker, "[CAST%d]", index);
    size_t at = data ? find_marker(data, size, marker) : size;
    if (!data || at == size) {
        std::snprintf(out->lines[0], CAST_LINE_SIZE, "%s", marker);
        out->line_count = 1;
        return;
    }
    at = skip_line_end(data, size, at + std::strlen(marker));
    while (at < size && data[at] != '[' && out->line_count < CAST_TEXT_LINES) {
        char *line = out->lines[out->line_count];
        size_t length = 0;
        for (; at < size && data[at] != '\r' && data[at] != '\n'; at++)
            if (length < CAST_LINE_SIZE - 1)
                line[length++] = data[at];
        line[length] = '\0';
        drop_cut_letter(line);      // a line cut at 79 bytes ends between letters
        at = skip_line_end(data, size, at);
        out->line_count++;
    }
}

void load_cast_text(int index)
{
    const char *data = nullptr;
    size_t size = 0;
    if (Datafile) {
        data = (const char *)Datafile[DAT_CAST_TEXT].dat;
        size = (size_t)Datafile[DAT_CAST_TEXT].size;
    }
    parse_cast_text(data, size, index, &cast_text);
    // The catalogue holds each entry whole, title and lines as broken for the screen, so that a
    // translation breaks its own lines.
    static char english[CAST_TEXT_LINES * CAST_LINE_SIZE];
    english[0] = '\0';
    for (int i = 0; i < cast_text.line_count; i++)
        std::snprintf(english + std::strlen(english), sizeof english - std::strlen(english),
                      "%s%s", i ? "\n" : "", cast_text.lines[i]);
    const char *translated = tr(english);
    if (translated == english)
        return;
    char marked[24];
    std::snprintf(marked, sizeof marked, "[CAST%d]\n", index);
    static char section[sizeof marked + sizeof english];
    std::snprintf(section, sizeof section, "%s%s", marked, translated);
    parse_cast_text(section, std::strlen(section), index, &cast_text);
}
