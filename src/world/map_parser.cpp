/* map_parser.cpp: reads the text of a level file into plain records, reporting what is wrong. */
#include "world/map_parser.h"

#include <climits>
#include <cstring>
#include "world/actor_kinds.h"

namespace {

int raw_get(MapReader *reader)
{
    if (reader->file)
        return std::fgetc(reader->file);
    if (reader->position >= reader->length)
        return EOF;
    return (unsigned char)reader->text[reader->position++];
}

void unget_char(MapReader *reader, int c)
{
    // Two places suffice: the character after a bare CR, and the one a number reader gives back.
    if (reader->pushed_count < 2)
        reader->pushed[reader->pushed_count++] = c;
}

int get_char(MapReader *reader)
{
    // A pushed CR is the raw character after another CR, not yet turned into a line end.
    int c = reader->pushed_count > 0 ? reader->pushed[--reader->pushed_count] : raw_get(reader);
    if (c == '\r') {
        // Level files written on other systems end their lines in CR LF, or in a bare CR as old
        // editors did; each reads as a single line feed, as a text-mode stream hands CR LF over.
        int next = raw_get(reader);
        if (next != '\n' && next != EOF)
            unget_char(reader, next);
        c = '\n';
    }
    if (c == '\n')
        reader->line++;
    return c;
}

/* Gives back a character get_char returned, and the line it may have ended. */
void give_back(MapReader *reader, int c)
{
    if (c == '\n')
        reader->line--;
    unget_char(reader, c);
}

bool is_blank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

enum NumberRead { NUMBER_OK, NUMBER_MISSING, NUMBER_END, NUMBER_TOO_LONG };

/* Reads one decimal integer the way scanf's %d does: white space, a sign, digits. A number that
   does not fit 32 bits is reported and held at the nearer limit. */
NumberRead read_integer(MapReader *reader, int32_t *value)
{
    int c = get_char(reader);
    while (is_blank(c))
        c = get_char(reader);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = get_char(reader);
    }
    if (c == EOF)
        return NUMBER_END;
    if (c < '0' || c > '9') {
        give_back(reader, c);
        return NUMBER_MISSING;
    }
    const int64_t limit = (int64_t)INT32_MAX + 1;
    int64_t magnitude = 0;
    while (c >= '0' && c <= '9') {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            magnitude = limit + 1;
        c = get_char(reader);
    }
    if (c != EOF)
        give_back(reader, c);
    int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > INT32_MAX) {
        *value = INT32_MAX;
        return NUMBER_TOO_LONG;
    }
    if (signed_value < INT32_MIN) {
        *value = INT32_MIN;
        return NUMBER_TOO_LONG;
    }
    *value = (int32_t)signed_value;
    return NUMBER_OK;
}

/* The square count. Text that is no number counts as no squares; a number too long for 32 bits
   keeps its sign, so it is either far too many squares or none. */
int32_t read_count(MapReader *reader)
{
    int32_t count = 0;
    const NumberRead read = read_integer(reader, &count);
    if (read == NUMBER_MISSING || read == NUMBER_END)
        return 0;
    return count;
}

bool within(int32_t value, int32_t low, int32_t high)
{
    return value >= low && value <= high;
}

/* The ten numbers of a square line, in file order, as a fault names them. */
const char *const SQUARE_FIELDS[10] = {"column", "height", "row", "texture", "content",
                                       "direction", "side 1", "side 2", "side 3", "side 4"};

/* Reads one square. Returns true, or false with what is wrong in reason (MAP_MESSAGE_SIZE
   bytes) and the line it is on in *line. */
bool read_square(MapReader *reader, MapSquareLine *square, char *reason, int32_t *line)
{
    int32_t numbers[10];
    for (int i = 0; i < 10; i++) {
        const NumberRead read = read_integer(reader, &numbers[i]);
        *line = reader->line;
        if (read == NUMBER_END) {
            std::snprintf(reason, MAP_MESSAGE_SIZE, "the file ends before the %s",
                          SQUARE_FIELDS[i]);
            return false;
        }
        if (read == NUMBER_MISSING) {
            std::snprintf(reason, MAP_MESSAGE_SIZE, "%s is not a number", SQUARE_FIELDS[i]);
            return false;
        }
        if (read == NUMBER_TOO_LONG) {
            std::snprintf(reason, MAP_MESSAGE_SIZE, "%s does not fit 32 bits", SQUARE_FIELDS[i]);
            return false;
        }
    }
    square->x = numbers[0];
    square->height = numbers[1];
    square->z = numbers[2];
    square->texture = numbers[3];
    square->content = numbers[4];
    square->dir = numbers[5];
    for (int k = 0; k < 4; k++)
        square->side[k] = numbers[6 + k];

    // Squares the game could not use: unreachable by every query, outside the world's fixed-point
    // range, or with a texture the renderer's table does not have.
    const struct { int field; int32_t low, high; } ranges[4] = {
        {0, 0, MAP_COLUMN_LIMIT}, {2, 0, MAP_COLUMN_LIMIT},
        {1, -MAP_HEIGHT_LIMIT, MAP_HEIGHT_LIMIT}, {3, 0, 3}};
    for (const auto &r : ranges) {
        if (!within(numbers[r.field], r.low, r.high)) {
            std::snprintf(reason, MAP_MESSAGE_SIZE, "%s %d is not within %d..%d",
                          SQUARE_FIELDS[r.field], (int)numbers[r.field], (int)r.low, (int)r.high);
            return false;
        }
    }
    // A side face reaches from the top 10 world units a level down to 10 * (side + 1 - height);
    // the height is already bounded, so the sum is computed in 64 bits only for huge sides.
    for (int k = 0; k < 4; k++) {
        const int64_t bottom = 10 * ((int64_t)square->side[k] + 1 - square->height);
        if (square->side[k] < -1 || bottom > MAP_FACE_BOTTOM_LIMIT) {
            std::snprintf(reason, MAP_MESSAGE_SIZE, "side %d depth %d is out of range", k + 1,
                          (int)square->side[k]);
            return false;
        }
    }
    // The robot moves along its heading: off the four grid directions it would hop between
    // squares and land beside them.
    if (square->content == CONTENT_START && square->dir != 0 && square->dir != 64 &&
        square->dir != 128 && square->dir != 192) {
        std::snprintf(reason, MAP_MESSAGE_SIZE, "start direction %d is not 0, 64, 128 or 192",
                      (int)square->dir);
        return false;
    }
    return true;
}

MapVerdict verdict(MapFault fault, int32_t square, int32_t line = 0, const char *reason = "")
{
    MapVerdict result;
    result.fault = fault;
    result.square = square;
    result.line = line;
    std::snprintf(result.reason, sizeof result.reason, "%s", reason);
    const char *text = "";
    switch (fault) {
    case MAP_OK:              text = ""; break;
    case MAP_EMPTY:           text = "Map is empty (zero squares)"; break;
    case MAP_TOO_LARGE:       text = "Map too large"; break;
    case MAP_BAD_SQUARE:      text = nullptr; break;
    case MAP_TWO_STARTS:      text = "More than one starting position in map"; break;
    case MAP_NO_START:        text = "No starting position defined in map"; break;
    case MAP_TOO_MANY_ACTORS: text = "Too many actors"; break;
    }
    if (text)
        std::snprintf(result.message, sizeof result.message, "%s", text);
    else
        std::snprintf(result.message, sizeof result.message, "Bad square %d in map", (int)square);
    return result;
}

} // namespace

void map_reader_from_file(MapReader *reader, FILE *file)
{
    reader->file = file;
    reader->text = nullptr;
    reader->length = 0;
    reader->position = 0;
    reader->pushed_count = 0;
    reader->line = 1;
}

void map_reader_from_text(MapReader *reader, const char *text, size_t length)
{
    reader->file = nullptr;
    reader->text = text;
    reader->length = text ? length : 0;
    reader->position = 0;
    reader->pushed_count = 0;
    reader->line = 1;
}

size_t map_read_line(MapReader *reader, char *buffer, size_t size)
{
    size_t count = 0;
    while (count + 1 < size) {
        int c = get_char(reader);
        if (c == EOF)
            break;
        buffer[count++] = (char)c;
        if (c == '\n')
            break;
    }
    if (size > 0)
        buffer[count < size ? count : size - 1] = '\0';
    return count;
}

int32_t map_decimal_prefix(const char *text)
{
    const char *p = text;
    while (is_blank((unsigned char)*p))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    int64_t magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > (int64_t)INT32_MAX + 1)
            magnitude = (int64_t)INT32_MAX + 1;
        p++;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return (int32_t)value;
}

void parse_level_header(MapReader *reader, char name[MAP_NAME_BUFFER], int32_t *level_code)
{
    char line[MAP_LINE_SIZE];
    map_read_line(reader, line, sizeof line);
    size_t read = map_read_line(reader, name, MAP_NAME_BUFFER);
    // The last byte read goes, whatever it is: the line end of a short name, or the 39th
    // character of a long one (whose rest then counts as the next line).
    if (read > 0)
        name[read - 1] = '\0';
    map_read_line(reader, line, sizeof line);
    *level_code = map_decimal_prefix(line);
}

MapVerdict parse_map(MapReader *reader, ParsedMap *map)
{
    map->square_count = 0;
    map->start_square = -1;
    parse_level_header(reader, map->name, &map->level_code);

    char line[MAP_LINE_SIZE];
    map_read_line(reader, line, sizeof line);
    map_read_line(reader, line, sizeof line);
    map->minutes = map_decimal_prefix(line);
    map_read_line(reader, line, sizeof line);
    map_read_line(reader, line, sizeof line);

    int32_t count = read_count(reader);
    const int32_t count_line = reader->line;
    if (count <= 0)
        return verdict(MAP_EMPTY, 0, count_line);
    if (count > MAP_SQUARE_LIMIT)
        return verdict(MAP_TOO_LARGE, 0, count_line);

    int actors = 0;
    for (int32_t i = 0; i < count; i++) {
        MapSquareLine *square = &map->squares[i];
        char reason[MAP_MESSAGE_SIZE];
        int32_t line = 0;
        if (!read_square(reader, square, reason, &line))
            return verdict(MAP_BAD_SQUARE, i + 1, line, reason);
        map->square_count = i + 1;
        if (square->content == CONTENT_START) {
            if (map->start_square != -1)
                return verdict(MAP_TWO_STARTS, i + 1, line);
            map->start_square = i;
        }
        if (is_actor_content(square->content)) {
            if (++actors > MAP_ACTOR_LIMIT)
                return verdict(MAP_TOO_MANY_ACTORS, i + 1, line);
        }
    }
    if (map->start_square == -1)
        return verdict(MAP_NO_START, 0);
    return verdict(MAP_OK, 0);
}
