/* records_file.h: the text of the player's records file, read and written, and the par line of a
   recorded solution. */
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    RECORDS_LEVEL_LIMIT = 99,       /* levels 1..99 keep records, as many as a demo may name */
    RECORD_NONE = -1,               /* no completion of that kind yet */
    RECORDS_FAULT_SIZE = 4400,      /* a path and what is wrong with the file */
    /* A records file is at most this long, this length included: 128 lines of maps' records
       (66 bytes at most each) and 99 par lines (77 at most) are some 16,400 bytes. */
    RECORDS_FILE_LIMIT = 20480,
    RECORDS_MAP_LIMIT = 128         /* maps with records kept; beyond, ones no level holds go */
};

/* The two kinds of completion kept apart: without any undo or hint, and with some. */
enum RecordKind { RECORD_UNHELPED = 0, RECORD_HELPED = 1, RECORD_KINDS = 2 };

/* The player's records of one map: for each kind, the fewest moves and the shortest game time
   (ticks) of any completion of that kind, RECORD_NONE while there is none. The two need not come
   from the same completion. */
struct LevelRecord {
    int32_t moves[RECORD_KINDS];
    int32_t ticks[RECORD_KINDS];
};

/* The records of the map whose text hashes to map_hash, played as level `level`: a map edited or
   put under another number is another key, so it never inherits a record it did not win. */
struct MapRecord {
    int32_t level;
    uint64_t map_hash;
    LevelRecord record;
};

/* Every map's records as the file holds them, in the file's order. */
struct RecordsTable {
    int32_t count;
    MapRecord maps[RECORDS_MAP_LIMIT];
};

enum ParState {
    PAR_NOT_KNOWN = 0,              /* no recorded solution to read it from, nor worked out yet */
    PAR_KNOWN,
    PAR_WORKING,                    /* a --levels map's search is under way */
    PAR_NONE_FOUND                  /* its search ended without a way (none, or a bound reached) */
};

/* Where a --levels map's par came from: the game's own search, or a proof in the folder's
   solutions/ whose way the world replayed (PAR_FROM_UNKNOWN: a par line of an earlier version,
   which may have taken a proof's word unchecked). */
enum ParSource { PAR_FROM_UNKNOWN = 0, PAR_FROM_SEARCH, PAR_FROM_PROOF };

/* A level's par: the moves (move codes typed), waits and game time of the shortest way the
   checker proved. For a --levels map also the hash of the map's text it was worked out for, so
   that a map changed since gets a new one, where it came from and, for a proof, the hash of the
   proof's text, so that a proof changed since is replayed again. */
struct LevelPar {
    ParState state;
    int32_t moves, waits, ticks;
    uint64_t map_hash;
    ParSource source;
    uint64_t proof_hash;
};

/* Reads the records file's text (`length` bytes at `text`, `path` naming it in a fault): the
   header "tirvex-records 1" or "tirvex-records 2", then '#' comments, blank lines, "level N HASH
   MOVES TICKS MOVES TICKS" lines and "par N HASH MOVES WAITS TICKS SOURCE" lines (SOURCE
   "search" or "proof HASH"; without it, as earlier versions wrote them, PAR_FROM_UNKNOWN), CR LF
   ends allowed.
   A level line without the HASH, as the first files were written, is taken for the map the
   level has now, `hash_of_level(N)`: nothing else can say which map won it, and the maps are
   usually the ones it was won on. Into `table` and `pars` (RECORDS_LEVEL_LIMIT + 1 of them,
   PAR_KNOWN where a line gives one). Returns false with `fault` ("PATH line 3: ...") for
   anything else: no header, a malformed line or figure, a level outside 1..99, a map or a par
   given twice, more than RECORDS_MAP_LIMIT maps, a zero byte, an empty file. */
bool parse_records_text(const char *text, size_t length, const char *path,
                        uint64_t (*hash_of_level)(int level), RecordsTable *table,
                        LevelPar *pars, char *fault, size_t size);

/* Writes the records file's text for `table` and the PAR_KNOWN ones of `pars` into `out` (`size`
   bytes, at least RECORDS_FILE_LIMIT + 1): what parse_records_text reads back the same, maps in
   level then hash order. Returns its length. */
size_t format_records_text(const RecordsTable &table, const LevelPar *pars, char *out,
                           size_t size);

/* Returns the records of the map `map_hash` as level `level` in `table`, or nullptr. */
MapRecord *find_map_record(RecordsTable *table, int level, uint64_t map_hash);

/* Reads the par from the first line of a recorded solution at `path` ("# Solution of
   map01.txt, "First Steps": 24 moves and 0 waits, 288 ticks of game time."), and the level's
   name into `name` (`name_size` bytes) when given; par->map_hash is the hash a second line
   "# map hash HEX" gives (the level generator writes one), else 0. Returns false, with
   par->state PAR_NOT_KNOWN, when the file cannot be read or its first line says no such thing.
   Used for the shipped levels, whose solutions are installed beside the maps, and for a
   --levels folder's solutions/ that name the hash of the map as it is. */
bool read_solution_par(const char *path, LevelPar *par, char *name = nullptr,
                       size_t name_size = 0);
