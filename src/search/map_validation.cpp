/* map_validation.cpp: finds what is wrong in a level file and says on which line. */
#include "search/map_validation.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "base/translation.h"
#include "world/actor_kinds.h"
#include "world/map_parser.h"

namespace {

enum {
    HEADER_READS = 7,
    PANEL_COLUMNS = 20,     /* what the map panel shows without crowding */
    PANEL_ROWS = 12,
    TOKEN_LIMIT = MAP_SQUARE_LIMIT * 10 + 64
};

/* One white-space separated word of the square section. */
struct Token {
    int32_t line;
    int32_t value;
    bool number;            /* the whole word is a decimal integer that fits 32 bits */
    char word[24];          /* the word as written, cut short for messages */
};

/* Off the stack (a full map is some 2000 words), and one set to a thread: maps are validated on
   two threads at once by the level checker. */
thread_local Token tokens[TOKEN_LIMIT];
thread_local int token_count;
thread_local ParsedMap parsed;

void add(ValidationReport *report, int32_t line, int32_t fault, const char *format, ...)
{
    if (fault)
        report->faults++;
    else
        report->warnings++;
    if (report->message_count >= VALIDATION_MESSAGES)
        return;
    ValidationMessage &m = report->messages[report->message_count++];
    m.line = line;
    m.fault = fault;
    va_list args;
    va_start(args, format);
    std::vsnprintf(m.text, sizeof m.text, format, args);
    va_end(args);
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/* A word that scanf's %d would read whole: a sign, digits, nothing else, within 32 bits. */
bool read_word_number(const char *word, int32_t *value)
{
    const char *p = word;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return false;
    int64_t magnitude = 0;
    for (; *p; p++) {
        if (*p < '0' || *p > '9')
            return false;
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > (int64_t)INT32_MAX + 1)
            return false;
    }
    int64_t v = negative ? -magnitude : magnitude;
    if (v > INT32_MAX || v < INT32_MIN)
        return false;
    *value = (int32_t)v;
    return true;
}

/* Splits the square section into words with their lines. Returns the number of words. */
int split_words(const char *text, size_t length, size_t offset, int32_t line)
{
    int count = 0;
    size_t i = offset;
    while (i < length && count < TOKEN_LIMIT) {
        if (is_space(text[i])) {
            // LF, CR LF and a bare CR each end a line, as the game's reader takes them.
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= length || text[i + 1] != '\n')))
                line++;
            i++;
            continue;
        }
        Token &t = tokens[count++];
        t.line = line;
        size_t n = 0;
        char word[64];
        while (i < length && !is_space(text[i])) {
            if (n + 1 < sizeof word)
                word[n++] = text[i];
            i++;
        }
        word[n] = '\0';
        t.number = n + 1 < sizeof word && read_word_number(word, &t.value);
        std::snprintf(t.word, sizeof t.word, "%s", word);
    }
    return count;
}

bool grid_direction(int32_t dir)
{
    return dir == 0 || dir == 64 || dir == 128 || dir == 192;
}

/* Reads the seven header lines as the game does. Returns the line the square count starts on
   and sets *offset to the byte where the square section begins; 0 when the file ends first. */
int32_t check_header(const char *text, size_t length, ValidationReport *report, size_t *offset)
{
    static const char *purposes[HEADER_READS] = {
        N_("the first line"), N_("the name"), N_("the level code"), N_("the fourth line"),
        N_("the time limit"), N_("the sixth line"), N_("the seventh line")
    };
    MapReader reader;
    map_reader_from_text(&reader, text, length);
    int32_t line = 1;
    bool late = false;
    for (int r = 0; r < HEADER_READS; r++) {
        char buffer[MAP_LINE_SIZE];
        size_t size = r == 1 ? MAP_NAME_BUFFER : MAP_LINE_SIZE;
        size_t got = map_read_line(&reader, buffer, size);
        if (got == 0) {
            add(report, line, 1, _("the file ends in the header, before %s"), tr(purposes[r]));
            return 0;
        }
        bool whole_line = buffer[got - 1] == '\n';
        if (r == 1) {
            std::memcpy(report->name, buffer, sizeof report->name);
            report->name[got - 1] = '\0';
            if (!whole_line && got == size - 1)
                add(report, line, 1,
                    _("the name is longer than 38 characters: the rest of the line is read as the "
                      "level code and every later header line one line late"));
            else if (got == 1)
                add(report, line, 0, _("the level has no name"));
        } else if (!whole_line && got == size - 1) {
            add(report, line, 1,
                _("longer than 78 characters: the rest of the line is read as %s and every later "
                  "header line one line late"), tr(purposes[r + 1 < HEADER_READS ? r + 1 : r]));
        }
        if (r == 4) {
            report->minutes = map_decimal_prefix(buffer);
            const char *p = buffer;
            while (*p == ' ' || *p == '\t')
                p++;
            if (*p == '+' || *p == '-')
                p++;
            if (!late && (*p < '0' || *p > '9'))
                add(report, line, 1, _("the time limit is not a number: the game reads 0 minutes "
                    "and the level is lost at once"));
            else if (!late && report->minutes <= 0)
                add(report, line, 1, _("time limit of %d minutes: the level is lost at once"),
                    (int)report->minutes);
            else if (!late && report->minutes > 357913)
                add(report, line, 1, _("time limit of %d minutes is beyond the clock"),
                    (int)report->minutes);
        }
        if (whole_line)
            line++;
        else if (got == size - 1)
            late = true;
    }
    *offset = reader.position - reader.pushed_count;
    return line;
}

/* Each square on a line of its own, as every shipped level writes them: the reader takes the
   numbers as one stream, so a square line with a number too many or too few shifts every later
   square without a word. */
void check_layout(int32_t first, int32_t square, ValidationReport *report)
{
    const Token *t = &tokens[first];
    int32_t before = first > 0 ? tokens[first - 1].line : 0;
    if (t[9].line != t[0].line)
        add(report, t[0].line, 1,
            _("square %d runs over lines %d to %d: write each square's ten numbers on one line"),
            (int)square, (int)t[0].line, (int)t[9].line);
    else if (before == t[0].line)
        add(report, t[0].line, 1,
            _("square %d starts on a line that holds other numbers: write each square's ten numbers "
              "on one line"), (int)square);
}

struct Cell {
    int32_t x, z, square, line;
};

thread_local Cell cells[MAP_SQUARE_LIMIT];

void check_square(int32_t first, int32_t square, int32_t cell_count, ValidationReport *report)
{
    const Token *t = &tokens[first];
    int32_t line = t[0].line;
    for (int k = 0; k < 10; k++) {
        if (!t[k].number) {
            add(report, t[k].line, 1, _("square %d: \"%s\" is not a number"), (int)square, t[k].word);
            return;
        }
    }
    int32_t x = t[0].value, height = t[1].value, z = t[2].value, texture = t[3].value;
    int32_t content = t[4].value, dir = t[5].value;
    if (x < 0 || z < 0)
        add(report, line, 1, _("square %d: %s %d is never found by the game: columns and rows are 0 "
            "or more"), (int)square, x < 0 ? _("column") : _("row"), (int)(x < 0 ? x : z));
    else if (x > MAP_COLUMN_LIMIT || z > MAP_COLUMN_LIMIT)
        add(report, line, 1, _("square %d: %s %d lies beyond the world's reach (at most %d)"),
            (int)square, x > MAP_COLUMN_LIMIT ? _("column") : _("row"),
            (int)(x > MAP_COLUMN_LIMIT ? x : z), (int)MAP_COLUMN_LIMIT);
    if (height < -MAP_HEIGHT_LIMIT || height > MAP_HEIGHT_LIMIT)
        add(report, line, 1, _("square %d: height %d is beyond %d levels"), (int)square, (int)height,
            (int)MAP_HEIGHT_LIMIT);
    if (texture < 0 || texture > 3)
        add(report, line, 1, _("square %d: unknown texture %d (0 to 3)"), (int)square, (int)texture);
    const ActorKind *kind = actor_kind(content);
    if (!kind && content != CONTENT_NOTHING)
        add(report, line, 1, _("square %d: unknown content code %d (0 to %d): the game places "
            "nothing there"), (int)square, (int)content, (int)ACTOR_KIND_COUNT);
    for (int k = 0; k < 4; k++) {
        int32_t side = t[6 + k].value;
        const int64_t bottom = 10 * ((int64_t)side + 1 - height);
        if (side < -1)
            add(report, line, 1, _("square %d: side face %d of %d (-1 for none, 0 or more for its "
                "depth)"), (int)square, k, (int)side);
        else if (bottom > MAP_FACE_BOTTOM_LIMIT)
            add(report, line, 1, _("square %d: side face %d of %d reaches world y %lld, beyond %d"),
                (int)square, k, (int)side, (long long)bottom, (int)MAP_FACE_BOTTOM_LIMIT);
    }
    if (kind && kind->facing == FACING_GRID && !grid_direction(dir))
        add(report, line, 1, _("square %d: %s direction %d (0, 64, 128 or 192)"), (int)square,
            kind->name, (int)dir);
    else if (kind && kind->facing == FACING_READ && !grid_direction(dir))
        add(report, line, 0, _("square %d: direction %d is off the grid%s"), (int)square, (int)dir,
            tr(kind->off_grid_note));
    else if (kind && kind->facing == FACING_NONE && dir != 0)
        add(report, line, 0, _("square %d: direction %d is ignored for %s"), (int)square, (int)dir,
            tr(kind->named));

    for (int32_t c = 0; c < cell_count; c++) {
        if (cells[c].x == x && cells[c].z == z) {
            add(report, line, 1, _("square %d: column %d row %d already holds square %d (line %d): "
                "the game finds only one of them"), (int)square, (int)x, (int)z,
                (int)cells[c].square, (int)cells[c].line);
            break;
        }
    }
}

void check_squares(int32_t count_line, int words, ValidationReport *report)
{
    const Token &count_word = tokens[0];
    if (!count_word.number) {
        add(report, count_line, 1, _("the square count \"%s\" is not a number"), count_word.word);
        return;
    }
    int32_t count = count_word.value;
    if (count <= 0) {
        add(report, count_word.line, 1, _("square count %d: a map holds 1 to %d squares"), (int)count,
            (int)MAP_SQUARE_LIMIT);
        return;
    }
    if (count > MAP_SQUARE_LIMIT) {
        add(report, count_word.line, 1, _("square count %d: the game stops with \"Map too large\" "
            "(at most %d squares)"), (int)count, (int)MAP_SQUARE_LIMIT);
        return;
    }
    int32_t written = (words - 1) / 10;
    int32_t extra = (words - 1) % 10;
    if (written < count) {
        int32_t line = words > 1 ? tokens[words - 1].line : count_word.line;
        add(report, line, 1, _("the count on line %d says %d squares but the file holds %d%s"),
            (int)count_word.line, (int)count, (int)written, extra ? _(" and some numbers") : "");
    } else if (words - 1 > count * 10) {
        add(report, tokens[1 + count * 10].line, 1,
            _("the count on line %d says %d squares but more numbers follow: they are never read"),
            (int)count_word.line, (int)count);
    }

    int32_t cell_count = 0, start_line = 0, start_square = 0, actors = 0, sweets = 0, teleports = 0;
    int32_t columns = 0, rows = 0;
    for (int32_t s = 0; s < count && 1 + (s + 1) * 10 <= words; s++) {
        int32_t first = 1 + s * 10;
        int32_t line = tokens[first].line;
        check_layout(first, s + 1, report);
        check_square(first, s + 1, cell_count, report);
        bool numbers = true;
        for (int k = 0; k < 10; k++)
            numbers = numbers && tokens[first + k].number;
        if (!numbers)
            continue;
        const Token *t = &tokens[first];
        cells[cell_count++] = Cell{t[0].value, t[2].value, s + 1, line};
        columns = std::max(columns, t[0].value + 1);
        rows = std::max(rows, t[2].value + 1);
        int32_t content = t[4].value;
        if (content == CONTENT_START) {
            if (start_square)
                add(report, line, 1, _("square %d is a second starting position; the first is square "
                    "%d on line %d"), (int)(s + 1), (int)start_square, (int)start_line);
            else
                start_square = s + 1, start_line = line;
        }
        if (is_actor_content(content) && ++actors == MAP_ACTOR_LIMIT + 1)
            add(report, line, 1, _("square %d holds the 101st actor: the game stops with \"Too many "
                "actors\""), (int)(s + 1));
        sweets += content == CONTENT_SWEET;
        teleports += content == CONTENT_TELEPORT;
    }
    if (written >= count && !start_square)
        add(report, count_word.line, 1, _("none of the %d squares is a starting position (content "
            "code 1)"), (int)count);
    if (written >= count && !teleports)
        add(report, count_word.line, 0, _("no teleport (content code 2): the level cannot be won"));
    if (columns > PANEL_COLUMNS || rows > PANEL_ROWS)
        add(report, count_word.line, 0, _("the squares span %d columns and %d rows: more than the "
            "map panel shows (%d x %d)"), (int)columns, (int)rows, (int)PANEL_COLUMNS,
            (int)PANEL_ROWS);
    report->squares = count;
    report->actors = actors;
    report->sweets = sweets;
    report->columns = columns;
    report->rows = rows;
}

/* The line on which the game's own reader found its fault. */
int32_t line_of_square(int32_t square, int32_t count_line)
{
    if (square <= 0 || 1 + (square - 1) * 10 >= token_count)
        return count_line;
    return tokens[1 + (square - 1) * 10].line;
}

} // namespace

void validate_map(const char *text, size_t length, ValidationReport *report)
{
    std::memset(report, 0, sizeof *report);
    size_t offset = 0;
    token_count = 0;
    int32_t count_line = check_header(text, length, report, &offset);
    if (count_line > 0) {
        int words = split_words(text, length, offset, count_line);
        token_count = words;
        if (words == 0)
            add(report, count_line, 1, _("the file ends before the square count"));
        else
            check_squares(count_line, words, report);
    }

    // The game's own reader has the last word on what stops the game: a fault it finds that
    // the checks above missed is reported with its own message.
    MapReader reader;
    map_reader_from_text(&reader, text, length);
    MapVerdict verdict = parse_map(&reader, &parsed);
    if (verdict.fault != MAP_OK && report->faults == 0)
        add(report, line_of_square(verdict.square, count_line > 0 ? count_line : 1), 1,
            _("the game stops with \"%s\""), verdict.message);

    std::stable_sort(report->messages, report->messages + report->message_count,
                     [](const ValidationMessage &a, const ValidationMessage &b) {
                         return a.line < b.line;
                     });
}

void print_validation(FILE *out, const char *path, const ValidationReport &report)
{
    for (int i = 0; i < report.message_count; i++) {
        const ValidationMessage &m = report.messages[i];
        std::fprintf(out, "%s:%d: %s%s\n", path, (int)m.line, m.fault ? "" : _("warning: "), m.text);
    }
    int32_t unshown = report.faults + report.warnings - report.message_count;
    if (unshown > 0)
        std::fprintf(out, _("%s: %d more messages not shown\n"), path, (int)unshown);
}
