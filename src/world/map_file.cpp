/* map_file.cpp: loading a level file into the square list and the actor table. */
#include "world/map_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <memory>

#include "base/fatal.h"
#include "base/file_read.h"
#include "world/actor_kinds.h"
#include "world/actor_table.h"
#include "world/level_state.h"
#include "world/map_parser.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_assert.h"

static_assert((int)LEVEL_NAME_SIZE == (int)MAP_NAME_BUFFER, "the reader fills the level's name buffer");

namespace {

/* Opens path for reading when it is a regular file, as every player's file is opened: a FIFO, a
   device or a folder in a map's place is refused at once, never waited on, and counts as
   missing, with the reason in `open_fault` (MAP_FAULT_SIZE bytes) when one is given. */
FILE *open_map_file(const char *path, char *open_fault)
{
    char ignored[MAP_FAULT_SIZE];
    if (!open_fault)
        open_fault = ignored;
    FILE *file = fopen_regular(path, MAP_SIZE_LIMIT, open_fault, MAP_FAULT_SIZE);
    if (!file && !open_fault[0])
        std::snprintf(open_fault, MAP_FAULT_SIZE, "%s: %s", path, std::strerror(ENOENT));
    return file;
}

int create_content(World &w, const MapSquareLine &square, fixed x, fixed y, fixed z)
{
    const ActorKind *kind = actor_kind(square.content);
    if (!kind)
        return -1;
    const int32_t dir = kind->facing == FACING_NONE ? 0 : square.dir;
    return create_actor(w, x, y, z, kind->type, dir, square.content);
}

/* The page keeps the fixed message; the log and standard error learn the file, the line and
   what is wrong there. */
void check_verdict(const MapVerdict &verdict, const char *source)
{
    if (verdict.fault == MAP_OK)
        return;
    char detail[512];
    int used = verdict.line > 0
                   ? std::snprintf(detail, sizeof detail, "%s line %d: %s", source,
                                   (int)verdict.line, verdict.message)
                   : std::snprintf(detail, sizeof detail, "%s: %s", source, verdict.message);
    if (verdict.reason[0] && used > 0 && used < (int)sizeof detail)
        std::snprintf(detail + used, sizeof detail - used, ": %s", verdict.reason);
    check_detail(0, verdict.message, detail);
}

int install_map(World &w, const MapVerdict &verdict, const ParsedMap &parsed, const char *source)
{
    LevelMap *map = &w.map;
    check_verdict(verdict, source);

    std::memcpy(map->level_name, parsed.name, sizeof map->level_name);
    map->level_code = parsed.level_code;
    map->start_index = -1;
    map->tile_count = 0;
    drop_tile_index(w);      // the actors are placed while the list fills
    for (int i = 0; i < parsed.square_count; i++) {
        const MapSquareLine &square = parsed.squares[i];
        MapTile *tile = &map->tiles[i];
        tile->x = square.x;
        tile->height = square.height;
        tile->z = square.z;
        tile->texture = square.texture;
        for (int k = 0; k < 4; k++)
            tile->side_depth[k] = square.side[k] + 1;
        map->tile_count++;
        tile->serial = map->tile_count;

        fixed x = itofix(100 * square.x);
        fixed y = itofix(-10 * square.height);
        fixed z = itofix(100 * square.z);
        int index = create_content(w, square, x, y, z);
        if (square.content == CONTENT_START) {
            map->start_index = i;
            map->start_dir = square.dir;
            w.hero_index = index;
        } else if (square.content == CONTENT_SWEET) {
            w.level.sweets_total++;
        }
    }
    if (map->start_index < 0) {
        char detail[320];
        std::snprintf(detail, sizeof detail, "%s: no square holds the start (content 1)", source);
        check_detail(0, "No starting position defined in map", detail);
    }
    index_tiles(w);

    // Minutes far beyond any level are held at the clock's limit rather than wrapped round.
    int64_t ticks = (int64_t)parsed.minutes * 6000;
    if (ticks > INT32_MAX)
        ticks = INT32_MAX;
    if (ticks < INT32_MIN)
        ticks = INT32_MIN;
    w.clock = (int)ticks;
    return parsed.square_count;
}

} // namespace

int load_map(World &w, const char *path, char open_fault[MAP_FAULT_SIZE])
{
    w.level.sweets_total = 0;
    w.level.sweets_eaten = 0;
    FILE *file = open_map_file(path, open_fault);
    if (!file)
        return 0;
    MapReader reader;
    map_reader_from_file(&reader, file);
    // Some 8 KB: on the heap, as a level starts seldom and a thread's stack is small.
    // Zeroed: the name's buffer is kept whole, its tail too.
    std::unique_ptr<ParsedMap> parsed = std::make_unique<ParsedMap>();
    MapVerdict verdict = parse_map(&reader, parsed.get());
    std::fclose(file);
    return install_map(w, verdict, *parsed, path);
}

int load_map_text(World &w, const char *text, size_t length)
{
    w.level.sweets_total = 0;
    w.level.sweets_eaten = 0;
    MapReader reader;
    map_reader_from_text(&reader, text, length);
    std::unique_ptr<ParsedMap> parsed = std::make_unique<ParsedMap>();
    MapVerdict verdict = parse_map(&reader, parsed.get());
    return install_map(w, verdict, *parsed, "the level text");
}

int read_level_header(const char *path, char name[LEVEL_NAME_SIZE], int *level_code,
                      char *open_fault)
{
    FILE *file = open_map_file(path, open_fault);
    if (!file)
        return 0;
    MapReader reader;
    map_reader_from_file(&reader, file);
    int32_t code = 0;
    parse_level_header(&reader, name, &code);
    std::fclose(file);
    *level_code = code;
    return 1;
}
