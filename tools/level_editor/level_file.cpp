/* level_file.cpp: reads a map into the editor's level and writes it back in the map format. */
#include "base/translation.h"
#include "level_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_read.h"
#include "search/map_validation.h"

namespace {

/* One header line as the game reads it, without its line end. */
void read_header_line(MapReader *reader, char *line, size_t size)
{
    char buffer[MAP_LINE_SIZE];
    size_t got = map_read_line(reader, buffer, size);
    if (got > 0 && buffer[got - 1] == '\n')
        buffer[--got] = '\0';
    std::snprintf(line, MAP_LINE_SIZE, "%s", buffer);
}

/* The depth most faces toward no square have: what the designer used for cliffs. */
int32_t usual_cliff(const EditLevel &level)
{
    static int32_t counts[MAP_HEIGHT_LIMIT + 1];
    std::memset(counts, 0, sizeof counts);
    int32_t best = EDIT_CLIFF_DEFAULT, best_count = 0;
    for (int i = 0; i < level.square_count; i++) {
        const EditSquare &square = level.squares[i];
        for (int edge = 0; edge < EDIT_EDGES; edge++) {
            const int32_t depth = square.side[edge] + 1;
            if (depth < 1 || depth > MAP_HEIGHT_LIMIT)
                continue;
            static const int32_t dx[EDIT_EDGES] = {0, -1, 0, 1}, dz[EDIT_EDGES] = {1, 0, -1, 0};
            if (find_square(level, square.x + dx[edge], square.z + dz[edge]) >= 0)
                continue;
            if (++counts[depth] > best_count) {
                best_count = counts[depth];
                best = depth;
            }
        }
    }
    return best;
}

/* The mode a plain create gives a new file: what the user's file mask lets through of 0666.
   The mask can only be read by setting it, so it is set back at once. */
mode_t created_mode()
{
    const mode_t mask = umask(077);
    umask(mask);
    return 0666 & ~mask;
}

/* Writes text into the open file fd, in full and on the disk, with the mode a new file gets,
   and closes it. Returns an empty string, or the system's reason it could not. */
std::string write_whole(int fd, const std::string &text)
{
    int error = 0;
    size_t done = 0;
    while (done < text.size() && !error) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += (size_t)n;
        else if (n < 0 && errno != EINTR)
            error = errno;
        else if (n == 0)
            error = EIO;
    }
    // mkstemp makes the file for its owner alone; the map is given the mode a save made anew
    // always had.
    if (!error && fchmod(fd, created_mode()) != 0)
        error = errno;
    if (!error && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && !error)
        error = errno;
    return error ? std::strerror(error) : "";
}

} // namespace

MapVerdict read_level_text(const char *text, size_t length, EditLevel *level)
{
    static ParsedMap parsed;
    MapReader reader;
    map_reader_from_text(&reader, text, length);
    MapVerdict verdict = parse_map(&reader, &parsed);
    new_level(level);
    level->header[1][0] = '\0';
    // A level still without its start is work in progress: every square has been read.
    if (verdict.fault != MAP_OK && verdict.fault != MAP_NO_START)
        return verdict;

    map_reader_from_text(&reader, text, length);
    read_header_line(&reader, level->header[0], MAP_LINE_SIZE);
    // The name line is read as the game reads it, the name kept as the game has it.
    char name_line[MAP_NAME_BUFFER];
    map_read_line(&reader, name_line, sizeof name_line);
    std::snprintf(level->header[1], MAP_LINE_SIZE, "%s", parsed.name);
    for (int i = 2; i < EDIT_HEADER_LINES; i++)
        read_header_line(&reader, level->header[i], MAP_LINE_SIZE);

    level->square_count = parsed.square_count;
    for (int i = 0; i < parsed.square_count; i++) {
        const MapSquareLine &line = parsed.squares[i];
        EditSquare &square = level->squares[i];
        square = EditSquare{line.x, line.height, line.z, line.texture, line.content, line.dir,
                            {line.side[0], line.side[1], line.side[2], line.side[3]}, {0, 0, 0, 0}};
    }
    level->cliff_depth = usual_cliff(*level);
    for (int i = 0; i < level->square_count; i++) {
        EditSquare &square = level->squares[i];
        for (int edge = 0; edge < EDIT_EDGES; edge++)
            square.side_by_hand[edge] = square.side[edge] != automatic_side(*level, square, edge);
    }
    return verdict;
}

std::string level_text(const EditLevel &level)
{
    std::string text;
    for (int i = 0; i < EDIT_HEADER_LINES; i++)
        text += std::string(level.header[i]) + "\n";
    text += std::to_string(level.square_count) + "\n";
    char line[160];
    for (int i = 0; i < level.square_count; i++) {
        const EditSquare &s = level.squares[i];
        std::snprintf(line, sizeof line, "%d %d %d %d %d %d %d %d %d %d\n", (int)s.x, (int)s.height,
                      (int)s.z, (int)s.texture, (int)s.content, (int)s.dir, (int)s.side[0],
                      (int)s.side[1], (int)s.side[2], (int)s.side[3]);
        text += line;
    }
    return text;
}

std::string save_level_file(const EditLevel &level, const char *path)
{
    const std::string text = level_text(level), target = path, previous = target + "~";
    // The new version is made under a name no one can have set up beforehand, beside the map so
    // that the rename stays in its folder: a link or a stranger's file at a fixed name would be
    // followed or truncated.
    std::string temporary = target + ".new.XXXXXX";
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return target + _(": cannot be saved: no new file beside it: ") + std::strerror(errno);
    const std::string fault = write_whole(fd, text);
    if (!fault.empty()) {
        unlink(temporary.c_str());
        return target + _(": cannot be written: ") + fault;
    }
    // The old file becomes NAME~ by a second name, so that a failed rename leaves it in place.
    // Both calls act on the name itself: a link standing at either is not followed.
    struct stat old;
    if (lstat(path, &old) == 0) {
        if (unlink(previous.c_str()) != 0 && errno != ENOENT) {
            const int error = errno;
            unlink(temporary.c_str());
            return previous + _(": the previous version cannot be kept: ") + std::strerror(error);
        }
        if (link(path, previous.c_str()) != 0) {
            const int error = errno;
            unlink(temporary.c_str());
            return previous + _(": the previous version cannot be kept: ") + std::strerror(error);
        }
    }
    if (rename(temporary.c_str(), path) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        return target + _(": cannot be replaced: ") + std::strerror(error);
    }
    return "";
}

std::string read_level_file(const std::string &path, EditLevel *level, std::string *text, FILE *faults)
{
    // A FIFO or a device at the name is refused at once, never waited on.
    char fault[4096 + 64];
    const int fd = open_regular_file(path.c_str(), MAP_TEXT_SIZE, fault, sizeof fault);
    if (fd < 0 && errno == EFBIG)
        return path + _(": larger than ") + std::to_string((int)MAP_TEXT_SIZE) +
               _(" bytes: no map is that long");
    if (fd < 0 && fault[0])
        return path + _(": cannot be opened: ") + (fault + path.size() + 2);
    if (fd < 0) {
        new_level(level);
        *text = level_text(*level);
        return "";
    }
    static char bytes[MAP_TEXT_SIZE + 1];
    const long got = read_up_to(fd, bytes, sizeof bytes);
    close(fd);
    if (got < 0 || got > MAP_TEXT_SIZE)
        return path + _(": cannot be read whole");
    const size_t length = (size_t)got;
    MapVerdict verdict = read_level_text(bytes, length, level);
    if (verdict.fault != MAP_OK && verdict.fault != MAP_NO_START) {
        if (faults) {
            static ValidationReport report;
            validate_map(bytes, length, &report);
            print_validation(faults, path.c_str(), report);
        }
        return path + _(": not opened for editing: ") + verdict.message;
    }
    *text = std::string(bytes, length);
    return "";
}
