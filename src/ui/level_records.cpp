/* level_records.cpp: each level's par and the player's records, and the panel Tab shows them on. */
#include "ui/level_records.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/translation.h"
#include "play/play_session.h"
#include "base/datafile.h"
#include "base/file_lock.h"
#include "base/file_read.h"
#include "base/file_replace.h"
#include "base/game_paths.h"
#include "render/colour_tables.h"
#include "base/timer.h"
#include "base/utf8_letters.h"
#include "search/level_search.h"
#include "search/par_search.h"
#include "ui/demo_input.h"
#include "world/level_map.h"
#include "world/map_file.h"
#include "world/map_hash.h"
#include "world/map_parser.h"
#include "world/solution_file.h"
#include "world/world_messages.h"
#include "render/hud.h"
#include "ui/lessons.h"

bool records_panel_held = false;

namespace {

const char *const RECORDS_NAME = "tirvex-records.txt";
const char *const NOT_READ = N_("tirvex-records.txt cannot be read: records are not saved");
const char *const NOT_WRITTEN = N_("tirvex-records.txt cannot be written: records are not saved");

enum {
    /* A map of 199 squares is under 16 KB; a longer file gets no par worked out. */
    PAR_MAP_LIMIT = 32768
};

/* The par search's bounds: the level checker's own, so the par is the one it would prove. */
const SearchLimits PAR_LIMITS{2, 4000000, 600, 256LL * 1024 * 1024, 0};

/* Every map's records, as last read or won. */
RecordsTable table;

/* Set once the records file was found but could not be read whole, or was not a records file:
   it is never written over in this run, since what it holds is not known. */
bool records_unread = false;
char unread_fault[RECORDS_FAULT_SIZE];
bool told_not_written = false;

/* A notice for the message line, shown on the next frame drawn (a level's start clears the
   line, and the records are read as the level starts). */
const char *pending_notice = nullptr;

LevelPar attempt_par;

/* The pars of a --levels folder's maps: as kept in the records file, or worked out in this run
   (par_unsaved until a rewrite of the file takes them). */
LevelPar kept_pars[RECORDS_LEVEL_LIMIT + 1];
bool par_unsaved[RECORDS_LEVEL_LIMIT + 1];

/* A --levels map's text, read for its hash and the par search. */
char map_text[PAR_MAP_LIMIT];

/* The file as read, and as written; a static buffer, the file being small. One byte more than
   a records file may hold tells a longer one, and one more ends the text. */
char file_text[RECORDS_FILE_LIMIT + 2];

/* Panel text, formatted a line at a time. */
char panel_line[96];

const LevelRecord NO_RECORD{{RECORD_NONE, RECORD_NONE}, {RECORD_NONE, RECORD_NONE}};

void empty_table()
{
    table.count = 0;
}

bool table_ready = false;

void ready_table()
{
    if (!table_ready) {
        empty_table();
        table_ready = true;
    }
}

/* Notes the records file's fault the first time: standard error now, the message line on the
   next frame. */
void report_unread(const char *fault)
{
    if (records_unread)
        return;
    records_unread = true;
    std::snprintf(unread_fault, sizeof unread_fault, "%s", fault);
    std::fprintf(stderr, "tirvex: %s: records are not saved\n", fault);
    pending_notice = NOT_READ;
}

enum ReadResult { READ_WHOLE, READ_MISSING, READ_FAILED };

/* Reads the whole file at path into file_text. A missing file is READ_MISSING; one that exists
   but cannot be read whole (no permission, a directory, a FIFO or a device, an I/O error, too
   large to be a records file) is READ_FAILED with the path and the reason in fault. */
ReadResult read_whole(const char *path, size_t *length, char *fault, size_t size)
{
    int fd = open_regular_file(path, RECORDS_FILE_LIMIT, fault, size);
    if (fd < 0)
        return fault[0] ? READ_FAILED : READ_MISSING;
    size_t got = 0;
    for (;;) {
        ssize_t n = read(fd, file_text + got, sizeof file_text - 1 - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            std::snprintf(fault, size, "%s: %s", path, std::strerror(errno));
            close(fd);
            return READ_FAILED;
        }
        if (n == 0)
            break;
        got += (size_t)n;
        if (got > RECORDS_FILE_LIMIT) {
            std::snprintf(fault, size, "%s: larger than %d bytes, not a records file", path,
                          RECORDS_FILE_LIMIT);
            close(fd);
            return READ_FAILED;
        }
    }
    close(fd);
    file_text[got] = '\0';
    *length = got;
    return READ_WHOLE;
}

/* Reads the map of `level` into map_text. Returns its length, or 0 when it cannot be read or is
   too long. */
size_t read_map_text(int level)
{
    char path[GAME_PATH_SIZE];
    level_file_path(level, path, sizeof path);
    char fault[GAME_PATH_SIZE + 64];
    int fd = open_regular_file(path, PAR_MAP_LIMIT, fault, sizeof fault);
    if (fd < 0)
        return 0;
    size_t got = 0;
    for (;;) {
        ssize_t n = read(fd, map_text + got, sizeof map_text - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || (got += (size_t)n) == sizeof map_text)
            break;
    }
    close(fd);
    return got == sizeof map_text ? 0 : got;
}

/* The hash of the map in map_text: tells a map changed since its par was worked out. */
uint64_t map_hash(size_t length)
{
    return map_text_hash(map_text, length);
}

/* What was last found of a level's proof: for the map's and the proof's hash, whether its way
   won. Asked on every level_par, a proof is replayed once for each map and text. */
struct ProofCheck {
    uint64_t map_hash, proof_hash;
    bool wins;
};
ProofCheck proof_checks[RECORDS_LEVEL_LIMIT + 1];

/* The hash of the proof's text at path, 0 when there is none to read (a FIFO, a device or a
   folder there is named on standard error when `tell`). */
uint64_t proof_text_hash(const char *path, bool tell)
{
    std::string text;
    char fault[GAME_PATH_SIZE + 64];
    if (read_regular_file(path, SOLUTION_SIZE_LIMIT, &text, fault, sizeof fault) == 1)
        return map_text_hash(text.data(), text.size());
    if (tell && fault[0])
        std::fprintf(stderr, "tirvex: %s: no par is taken from it\n", fault);
    return 0;
}

/* Whether the proof at path, whose first line claims `par`, wins the map in map_text (`length`
   bytes) when the world replays its way: completed on its end frame, neither before nor lost,
   in exactly par's moves and game time. A first line is only a claim: a planted one of 50 moves
   once blocked every record of a level won in 2. */
bool proof_wins(int level, const char *path, const LevelPar &par, size_t length, uint64_t proof)
{
    ProofCheck &known = proof_checks[level];
    if (known.map_hash == par.map_hash && known.proof_hash == proof && proof)
        return known.wins;
    known = ProofCheck{par.map_hash, proof, false};
    static Solution way;    // some 48 KB, kept off the stack
    static World replay;
    char fault[(int)SOLUTION_FAULT_SIZE + GAME_PATH_SIZE];
    if (!proof)
        return false;
    if (!read_solution(path, &way, fault, sizeof fault)) {
        std::fprintf(stderr, "tirvex: %s: no par is taken from it\n", fault);
        return false;
    }
    if (way.moves.count != par.moves || (int64_t)way.end_frame * way.ticks_per_frame != par.ticks) {
        std::fprintf(stderr, "tirvex: %s: its way is not the %d moves and %d ticks its first line "
                     "says: no par is taken from it\n", path, (int)par.moves, (int)par.ticks);
        return false;
    }
    map_text[length] = '\0';
    search_start_world(replay, map_text);
    int32_t next = 0;
    for (int32_t frame = 0; frame < way.end_frame; frame++) {
        play_solution_frame(replay, way, frame, &next);
        if (!solution_agrees(way, path, frame + 1, replay.level.level_completed,
                             replay.level.level_lost, fault, sizeof fault)) {
            std::fprintf(stderr, "tirvex: %s: no par is taken from it\n", fault);
            return false;
        }
    }
    known.wins = replay.level.level_completed;
    return known.wins;
}

/* Takes the par of a --levels map from the folder's "solutions/mapNN.txt" when that file names
   the hash of the map as it is (the level generator writes its proof there so) and its way wins
   as it says: the par is then known without a search, and kept in the records file at the next
   rewrite with the proof's hash. Returns true when it was taken. */
bool take_folder_solution_par(int level, uint64_t hash, size_t length)
{
    char path[GAME_PATH_SIZE + 32];
    std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", levels_folder, level);
    LevelPar par;
    const uint64_t proof = proof_text_hash(path, true);
    if (!proof || !read_solution_par(path, &par) || par.map_hash != hash ||
        !proof_wins(level, path, par, length, proof))
        return false;
    par.source = PAR_FROM_PROOF;
    par.proof_hash = proof;
    kept_pars[level] = par;
    par_unsaved[level] = true;
    return true;
}

/* Whether the par kept for the level holds for the map of `hash` as it is: one the search found
   for that map, or one a proof gave whose text has not changed since. */
bool kept_par_holds(int level, uint64_t hash)
{
    const LevelPar &kept = kept_pars[level];
    if (kept.state == PAR_NOT_KNOWN || kept.map_hash != hash)
        return false;
    if (kept.source != PAR_FROM_PROOF)
        return true;
    char path[GAME_PATH_SIZE + 32];
    std::snprintf(path, sizeof path, "%s/solutions/map%02d.txt", levels_folder, level);
    return proof_text_hash(path, false) == kept.proof_hash;
}

/* Keeps the records file's size bounded: when the table is full, forgets the maps no level has
   now (edited, or taken away), keeping the current ones'. */
void make_room()
{
    if (table.count < RECORDS_MAP_LIMIT)
        return;
    int kept = 0;
    for (int i = 0; i < table.count; i++) {
        if (level_map_hash(table.maps[i].level) == table.maps[i].map_hash)
            table.maps[kept++] = table.maps[i];
    }
    table.count = kept;
}

/* Whether the session's par search is the one under way for the map of `hash` at `level`. */
bool searching(const PlaySession &s, int level, uint64_t hash)
{
    return s.par && par_search_running(*s.par) && s.par->level == level &&
           s.par->map_hash == hash;
}

/* The search last started: a session's, which lives to the program's end. */
ParSearch *started_par = nullptr;

/* At the exit, and before any fork (a test's): the search's thread would go on reading what the
   exit frees, and a child gets no copy of it, only a thread object it can never join. */
void stop_par_search_at_exit_and_fork()
{
    if (started_par)
        par_search_stop(*started_par);
}

/* For a --levels map whose par is not known (kept, or from the folder's solution): starts the
   checker's search on it, with its own limits, on a thread of low priority, so that play and
   the hint's search go on untouched; a search already under way for another level or map is
   stopped, one for this map goes on. Nothing in demo playback, nor while the session's
   par_search_allowed is cleared. */
void start_par_search(PlaySession &s, int level)
{
    if (!levels_folder[0] || !s.par_search_allowed || !demo_writes_allowed() || level < 1 ||
        level > RECORDS_LEVEL_LIMIT)
        return;
    const size_t length = read_map_text(level);
    if (length == 0)
        return;
    const uint64_t hash = map_hash(length);
    if (kept_par_holds(level, hash) || take_folder_solution_par(level, hash, length) ||
        searching(s, level, hash))
        return;
    static bool registered = false;
    if (!registered)
        registered = std::atexit(stop_par_search_at_exit_and_fork) == 0 &&
                     pthread_atfork(stop_par_search_at_exit_and_fork, nullptr, nullptr) == 0;
    // A search under way for another session's level stops: one runs at a time.
    ParSearch &p = session_par_search(s);
    if (started_par && started_par != &p)
        par_search_stop(*started_par);
    started_par = &p;
    // The text up to a zero byte, as the level checker reads a map.
    map_text[length] = '\0';
    par_search_start(p, level, hash, map_text, std::strlen(map_text), PAR_LIMITS);
}

bool helped(const PlaySession &s)
{
    return s.attempt.undos > 0 || s.attempt.hints > 0;
}

/* "53 moves" and "6.36 s" for a figure pair, or "-" for none. */
void format_pair(int32_t moves, int32_t ticks, char *moves_text, char *time_text, size_t size)
{
    if (moves == RECORD_NONE) {
        std::snprintf(moves_text, size, "-");
        std::snprintf(time_text, size, "-");
        return;
    }
    std::snprintf(moves_text, size, moves == 1 ? _("%d move") : _("%d moves"), (int)moves);
    // As the HUD writes time, minutes and seconds, with the hundredths a record is kept in.
    std::snprintf(time_text, size, "%d:%02d.%02d", (int)(ticks / 6000), (int)(ticks / 100 % 60),
                  (int)(ticks % 100));
}

} // namespace

bool load_records()
{
    ready_table();
    char path[GAME_PATH_SIZE], fault[RECORDS_FAULT_SIZE];
    progress_file_path(RECORDS_NAME, path, sizeof path);
    size_t length = 0;
    static RecordsTable read;
    static LevelPar read_pars[RECORDS_LEVEL_LIMIT + 1];
    switch (read_whole(path, &length, fault, sizeof fault)) {
    case READ_MISSING:
        if (!records_unread)
            empty_table();
        return !records_unread;
    case READ_FAILED:
        report_unread(fault);
        return false;
    case READ_WHOLE:
        break;
    }
    if (!parse_records_text(file_text, length, path, level_map_hash, &read, read_pars, fault,
                            sizeof fault)) {
        report_unread(fault);
        return false;
    }
    // After a fault the table holds what this run won; a file mended meanwhile is read again
    // but still never written.
    if (records_unread)
        return false;
    table = read;
    // A par worked out in this run and not yet written stays; one the search could not find
    // stays for the run.
    for (int level = 1; level <= RECORDS_LEVEL_LIMIT; level++) {
        // A par line without its source may hold a planted proof's word: worked out again.
        if (!par_unsaved[level] && read_pars[level].state == PAR_KNOWN &&
            read_pars[level].source != PAR_FROM_UNKNOWN)
            kept_pars[level] = read_pars[level];
    }
    return true;
}

LevelRecord level_record(const PlaySession &s, int level)
{
    ready_table();
    if (level < 1 || level > RECORDS_LEVEL_LIMIT)
        return NO_RECORD;
    // The attempt's map is hashed as it starts; the panel asks every frame.
    const uint64_t hash = level == s.attempt.level && s.attempt.map_hash
                              ? s.attempt.map_hash
                              : level_map_hash(level);
    const MapRecord *known = find_map_record(&table, level, hash);
    return known ? known->record : NO_RECORD;
}

LevelPar level_par(const PlaySession &s, int level)
{
    LevelPar par{PAR_NOT_KNOWN, 0, 0, 0, 0, PAR_FROM_UNKNOWN, 0};
    if (level < 1 || level > RECORDS_LEVEL_LIMIT)
        return par;
    if (levels_folder[0]) {
        const size_t length = read_map_text(level);
        if (length == 0)
            return par;
        const uint64_t hash = map_hash(length);
        if (kept_par_holds(level, hash) || take_folder_solution_par(level, hash, length))
            return kept_pars[level];
        if (searching(s, level, hash))
            par.state = PAR_WORKING;
        return par;
    }
    char path[GAME_PATH_SIZE], solved_name[LEVEL_NAME_SIZE], name[LEVEL_NAME_SIZE];
    std::snprintf(path, sizeof path, "solutions/map%02d.txt", level);
    if (!read_solution_par(path, &par, solved_name, sizeof solved_name))
        return par;
    // The solution must be of the map as it is, not of one put in its place.
    int code;
    char map_path[GAME_PATH_SIZE];
    const size_t length = read_map_text(level);
    par.map_hash = map_hash(length);
    if (!read_level_header(level_file_path(level, map_path, sizeof map_path), name, &code) ||
        std::strcmp(name, solved_name) != 0 || length == 0 ||
        !proof_wins(level, path, par, length, proof_text_hash(path, true)))
        par = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0, PAR_FROM_UNKNOWN, 0};
    return par;
}

void records_attempt_started(PlaySession &s)
{
    const int level = s.attempt.level;
    load_records();
    start_par_search(s, level);
    attempt_par = level_par(s, level);
}

void stop_par_search(PlaySession &s)
{
    if (s.par)
        par_search_stop(*s.par);
}

bool poll_par_search(PlaySession &s)
{
    if (!s.par || !par_search_running(*s.par))
        return false;
    ParSearch &p = *s.par;
    if (!par_search_take(p))
        return true;            // nothing yet
    LevelPar par{PAR_NONE_FOUND, 0, 0, 0, p.map_hash, PAR_FROM_SEARCH, 0};
    if (p.solved && p.moves >= 0 && p.waits >= 0 && p.ticks > 0)
        par = LevelPar{PAR_KNOWN, p.moves, p.waits, p.ticks, p.map_hash, PAR_FROM_SEARCH, 0};
    kept_pars[p.level] = par;
    // Only a par found is kept in the file: a search that ran out of bounds may be luckier with
    // another build, and costs nothing until the level is played again.
    par_unsaved[p.level] = par.state == PAR_KNOWN;
    if (s.attempt.level == p.level)
        attempt_par = par;
    return false;
}

void records_level_completed(const PlaySession &s, int level, int ticks)
{
    if (!demo_writes_allowed() || level < 1 || level > RECORDS_LEVEL_LIMIT || ticks < 0)
        return;
    // Read again first: another game may have won a record meanwhile, and a file broken since
    // the level began must not be written over. The folder stays locked until the write, so
    // that game cannot write in between.
    char locked_path[GAME_PATH_SIZE];
    const int lock = progress_unwritable ? -1 :
        lock_player_folder(progress_file_path(RECORDS_NAME, locked_path, sizeof locked_path));
    const bool readable = load_records();
    const int kind = helped(s) ? RECORD_HELPED : RECORD_UNHELPED;
    const int32_t moves = records_attempt_moves(s.log);
    // The map the attempt began on, as the panel showed its records.
    const uint64_t hash = s.attempt.level == level ? s.attempt.map_hash : level_map_hash(level);
    const LevelPar par = level_par(s, level);
    bool better = false;
    if (par.state == PAR_KNOWN && moves < par.moves) {
        // Fewer moves than the checker's shortest way: the count went wrong somewhere, and
        // clamping it to the par would record a way nobody was seen to take.
        std::fprintf(stderr, "tirvex: level %d completed in %d moves, fewer than its par of %d: "
                     "not recorded\n", level, (int)moves, (int)par.moves);
    } else {
        MapRecord *known = find_map_record(&table, level, hash);
        if (!known) {
            make_room();
            if (table.count < RECORDS_MAP_LIMIT) {   // always: at most 99 maps are current
                table.maps[table.count] = MapRecord{level, hash, NO_RECORD};
                known = &table.maps[table.count++];
            }
        }
        static LevelRecord unkept;
        unkept = NO_RECORD;
        LevelRecord &record = known ? known->record : unkept;
        if (record.moves[kind] == RECORD_NONE || moves < record.moves[kind]) {
            record.moves[kind] = moves;
            better = true;
        }
        if (record.ticks[kind] == RECORD_NONE || ticks < record.ticks[kind]) {
            record.ticks[kind] = ticks;
            better = true;
        }
    }
    bool new_par = false;
    for (bool unsaved : par_unsaved)
        new_par = new_par || unsaved;
    // Without a folder to write in, progress_file said so at start-up and on the message line.
    if (!(better || new_par) || !readable || progress_unwritable) {
        unlock_player_folder(lock);
        return;
    }
    char path[GAME_PATH_SIZE];
    progress_file_path(RECORDS_NAME, path, sizeof path);
    const size_t length = format_records_text(table, kept_pars, file_text, sizeof file_text);
    const char *failed = nullptr;
    // A new file beside it, on the disk before the rename: a killed game never leaves a torn one.
    const int error = file_replace(path, file_text, length, &failed);
    unlock_player_folder(lock);
    if (!error) {
        for (bool &unsaved : par_unsaved)
            unsaved = false;
    } else {
        std::fprintf(stderr, "tirvex: %s: %s: records are not saved\n", failed,
                     std::strerror(error));
        if (!told_not_written) {
            told_not_written = true;
            pending_notice = NOT_WRITTEN;
        }
    }
}

const char *records_notice()
{
    const char *notice = pending_notice;
    pending_notice = nullptr;
    return notice;
}

void draw_records_panel(BITMAP *target, PlaySession &s)
{
    poll_par_search(s);
    if (!records_panel_held)
        return;
    ready_table();

    FONT *title_font = (FONT *)datafile_object(DAT_FONT_LARGE);
    if (!title_font)
        title_font = font;
    const int line_h = text_height(font) + 6;
    const int title_h = text_height(title_font) + 10;
    const int rows = records_unread ? 6 : 5;
    // The level's idea, under the title: what the level is there to teach.
    const char *idea = level_idea(s.attempt.level);
    const int idea_line_h = text_height(font) + 3;
    const int idea_lines = idea[0] ? draw_wrapped_text(target, font, idea, 0, 0,
                                                       RECORDS_PANEL_W - 2 * RECORDS_PANEL_MARGIN,
                                                       idea_line_h, 0, false) : 0;
    const int idea_h = idea_lines ? 8 + idea_lines * idea_line_h : 0;
    const int w = RECORDS_PANEL_W, h = title_h + idea_h + 10 + rows * line_h + 8;
    const int x = (target->w - w) / 2, y = 50;
    const int x_moves = x + RECORDS_PANEL_MOVES_X, x_time = x + w - RECORDS_PANEL_MARGIN;

    set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
    set_clip_state(target, TRUE);
    // The panel's body lets the view show through, as the map panel's overlay does.
    COLOR_MAP *saved = color_map;
    color_map = &trans_table;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(target, x, y, x + w - 1, y + h - 1, makecol(10, 20, 70));
    solid_mode();
    color_map = saved;
    rect(target, x, y, x + w - 1, y + h - 1, makecol(150, 160, 190));
    rectfill(target, x + 1, y + 1, x + w - 2, y + title_h, makecol(230, 130, 30));

    const int grey = makecol(235, 235, 235), sky = makecol(120, 200, 255);
    const int yellow = makecol(255, 230, 90), green = makecol(100, 255, 100);
    std::snprintf(panel_line, sizeof panel_line, _("Level %d: %.38s"), s.attempt.level,
                  tr(s.world.map.level_name));
    drop_cut_letter(panel_line);    // a map's name line is read to 38 bytes, maybe inside a letter
    textout_ex(target, title_font, panel_line, x + 11, y + 6, makecol(90, 20, 10), -1);
    textout_ex(target, title_font, panel_line, x + 10, y + 5, grey, -1);

    if (idea_lines)
        draw_wrapped_text(target, font, idea, x + 14, y + title_h + 8, w - 28, idea_line_h,
                          makecol(255, 230, 90));
    char moves_text[24], time_text[24];
    int row_y = y + title_h + idea_h + 10;
    auto row = [&](const char *label, int colour) {
        textout_ex(target, font, label, x + 14, row_y, sky, -1);
        textout_right_ex(target, font, moves_text, x_moves, row_y, colour, -1);
        textout_right_ex(target, font, time_text, x_time, row_y, colour, -1);
        row_y += line_h;
    };

    if (attempt_par.state == PAR_KNOWN) {
        format_pair(attempt_par.moves, attempt_par.ticks, moves_text, time_text, sizeof moves_text);
        row(_("Par"), yellow);
    } else {
        std::snprintf(moves_text, sizeof moves_text, "%s",
                      attempt_par.state == PAR_WORKING  ? _("working it out") :
                      attempt_par.state == PAR_NONE_FOUND ? _("no way found") : _("not known"));
        time_text[0] = '\0';
        row(_("Par"), yellow);
    }
    const LevelRecord record = level_record(s, s.attempt.level);
    format_pair(record.moves[RECORD_UNHELPED], record.ticks[RECORD_UNHELPED], moves_text,
                time_text, sizeof moves_text);
    row(_("Your best"), grey);
    format_pair(record.moves[RECORD_HELPED], record.ticks[RECORD_HELPED], moves_text, time_text,
                sizeof moves_text);
    row(_("With undo or hints"), grey);
    format_pair(records_attempt_moves(s.log), records_attempt_ticks(s.attempt, s.world.clock), moves_text, time_text,
                sizeof moves_text);
    row(_("This attempt"), green);

    char hints[48];
    std::snprintf(hints, sizeof hints, s.attempt.hints == 1 ? _("%d hint") : _("%d hints"),
                  (int)s.attempt.hints);
    std::snprintf(panel_line, sizeof panel_line,
                  s.attempt.undos == 1 ? _("%d undo, %s") : _("%d undos, %s"),
                  (int)s.attempt.undos, hints);
    textout_right_ex(target, font, panel_line, x_time, row_y, green, -1);
    row_y += line_h;
    if (records_unread)
        textout_ex(target, font, _("Records file unreadable: not saved"), x + 14, row_y,
                   makecol(255, 90, 90), -1);
}

const char *records_fault()
{
    return records_unread ? unread_fault : nullptr;
}

void forget_records_state()
{
    empty_table();
    table_ready = true;
    records_unread = false;
    unread_fault[0] = '\0';
    told_not_written = false;
    pending_notice = nullptr;
    attempt_par = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0, PAR_FROM_UNKNOWN, 0};
    stop_par_search_at_exit_and_fork();
    for (int level = 0; level <= RECORDS_LEVEL_LIMIT; level++) {
        proof_checks[level] = ProofCheck{0, 0, false};
        kept_pars[level] = LevelPar{PAR_NOT_KNOWN, 0, 0, 0, 0, PAR_FROM_UNKNOWN, 0};
        par_unsaved[level] = false;
    }
}
