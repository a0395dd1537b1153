/* play_session.h: the level being played, owned by whoever plays it, and its one frame. */
#pragma once

#include "play/attempt.h"
#include "render/render_frame.h"
#include "world/command_log.h"
#include "world/world.h"

struct HintState;
struct ParSearch;
struct UndoHistory;

/* What is kept of the level being played. The game's loop, the editor's playtest, the benches
   and the tests each own one and pass it down. The world is the running level itself; what is
   drawn is read from it, and everything that changes it (the player's actions, undo, the hint's
   search, a restart) goes through the procedures below: the layers above only read it. */
struct PlaySession {
    World world{};
    int level = 1;      /* the number of the level being played: chosen in the level selection (and
                           stepped by the level keys), read for the map file and the level title */
    bool not_recorded = false;  /* set by the slow-motion key: a completion confirmed while it is
                                   set is not recorded; cleared as each level is entered */
    RecordsAttempt attempt{};   /* what the records count of the attempt under way */
    CommandLog log{};           /* the level's commands, each on the frame the robot took it,
                                   and its restarts: undo takes them back, the records count the
                                   attempt's, and the attempt's are its way, as a solution holds
                                   one. Emptied as a level is entered. */
    int32_t frame = 0;          /* the frames of the attempt's way so far: 0 as it begins, set
                                   back by an undo to the frame of what it took back */
    UndoHistory *undo = nullptr;    /* the world before each command, for undo: made when first
                                       needed */
    HintState *hint = nullptr;      /* the hint asked for or shown, and its search: likewise */
    bool restarted = false;         /* set by a restart until the frame's step */
    ParSearch *par = nullptr;       /* the search for the par of a --levels map with none known,
                                       on a thread of its own (ui/level_records.h): likewise */
    bool par_search_allowed = true; /* cleared by the editor's playtest: its map is a temporary
                                       file, gone before a search could end, and the editor checks
                                       its levels itself */
    int32_t actions_clock = 0;      /* the level clock left as the last frame's actions left it,
                                       before its step: a demo's playback times the level from a
                                       clock that went up there (a restart, an undo) */
    char said[96]{};                /* the text of the held camera keys' message */
    const char *notice = nullptr;   /* the notice session_enter showed, until a key of play */
};

/* One thing the player asked for in a frame, in the order the keys were typed. */
enum PlayActionKind {
    ACTION_MOVE,        /* `value`, a move code for the robot's queue: step, turn, strafe, jump */
    ACTION_UNDO,        /* one step back */
    ACTION_HINT,        /* a hint; after a loss `text` is said instead (the way on is back) */
    ACTION_SAY,         /* `text` on the message line for `value` ticks: what a display switch
                           or a screenshot has to say */
    ACTION_NOTICE,      /* the same on a band (show_boxed_message): what the records file has
                           to say, a text the game adds */
    ACTION_LEVEL,       /* `value`, the level the next restart loads (the level keys) */
    ACTION_UNRECORDED   /* slow motion switched: the level's completion is not recorded */
};

struct PlayAction {
    PlayActionKind kind;
    int value;
    const char *text;
};

enum {
    PLAY_TYPED_LIMIT = 256  /* actions typed in one frame; more than the key buffer holds */
};

/* The camera and light keys, held: each changes its value by a step every frame, in this order
   (Q A W S T Y G H E D unless keys.cfg moves them). */
enum CameraKey {
    CAMERA_LOWER, CAMERA_HIGHER, CAMERA_FARTHER, CAMERA_NEARER,     /* by 1 */
    CAMERA_MUCH_LOWER, CAMERA_MUCH_HIGHER, CAMERA_MUCH_FARTHER, CAMERA_MUCH_NEARER, /* by 50 */
    LIGHT_BRIGHTER, LIGHT_DARKER,                                   /* the ambient light, by 1 */
    CAMERA_KEYS
};

/* What the player asks of one frame of play: what the keys, keys.cfg and the pad came to, as
   the game's keys (ui/game_keys.h) read them. A plain record: the tests fill it by hand. */
struct PlayActions {
    PlayAction typed[PLAY_TYPED_LIMIT];
    int typed_count;
    bool restart;           /* R held: the level starts again */
    bool confirm;           /* Space or Enter held: a completed level is confirmed, a lost one
                               starts again */
    int undo_held;          /* steps back of the undo keys held, at their repeat's pace */
    bool pitch_up;          /* PgUp held: the camera tilts a step up */
    bool pitch_down;        /* PgDn held: a step down (after the step up, as the keys were read) */
    bool camera[CAMERA_KEYS];   /* the camera and light keys held */
};

/* Adds an action to the frame's list, in typing order; one past PLAY_TYPED_LIMIT is dropped. */
void add_action(PlayActions &a, PlayActionKind kind, int value = 0, const char *text = nullptr);

/* What a frame came to, as bits of session_frame's answer. */
enum {
    FRAME_CONFIRMED = 1,    /* a completed level was confirmed: the level is over */
    FRAME_RESTARTED = 2     /* the level started again: a new attempt for the records */
};

/* Play begins from the menu: the world's count of updates (the debug column's) starts from 0. */
void session_begin_play(PlaySession &s);

/* Enters `level` as the player chose it: its map loaded (start_level), the undo history and the
   log emptied and its attempt begun at frame 0, no hint, a new attempt for the records, not yet
   spoilt by slow motion, and `notice`, when given, on the message line until the first key of
   play (a fault of keys.cfg is read before play, and the swoop is over before most have). What the
   game, the editor's playtest, the benches and the tests do to begin a level; the records' own
   part follows (records_attempt_started in ui/level_records.h). */
void session_enter(PlaySession &s, int level, const char *notice = nullptr);

/* One frame of play on the session, `ticks` the ticks counted since the frame before: first the
   actions typed, in their order (moves queued, steps back, hints, the switches' messages, the
   level keys), then the held ones: a restart ("Reset game"), a confirmation of a completed level
   (the held keys after it are then left alone) or else a restart of a lost one, the held undo's
   steps and the camera keys (their value said); the world's camera height from the display
   options; then the step: the level clock run by `ticks` (by none after a restart: they fell on
   the attempt that ended), the command the robot takes, if any (the world before it kept for
   undo, the command logged on the session's frame, a hint shown made stale), the world's
   update, its sounds (none while the hint holds the world still), and the hint's frame. Returns
   FRAME_CONFIRMED and FRAME_RESTARTED bits; the session's frame counts on. The game's loop, the
   editor's playtest, the benchmarks and the tests run it once a frame, after session_overlay and
   the drawing. */
int session_frame(PlaySession &s, const PlayActions &a, int ticks);

/* Plays the cues the world has left since the last call (silent without a datafile or with sound
   off) and empties the list. Called once a frame, after the world's update. */
void play_pending_cues(World &w);

/* Puts the session at a position of `level` reached elsewhere, the world `w`: a hint under way or
   shown is cancelled. For the hint's benchmark, which asks from positions it walked to. */
void session_set_position(PlaySession &s, int level, const World &w);

/* Begins a new attempt at `level` for the records: its map's hash and time limit read, nothing
   counted yet. Part of session_enter and a restart; the records' tests call it alone. */
void session_begin_attempt(PlaySession &s, int level);

/* The search for the par of the session's level, made when first needed. For the records. */
ParSearch &session_par_search(PlaySession &s);

/* Readies the session's world for drawing (the floor under the robot found, as the frame's
   drawing needs it) and returns what the frame draws over it: the level's number for its title,
   and the hint's arrow while a hint is shown. Called once a frame, before the frame is drawn. */
FrameOverlay session_overlay(PlaySession &s);
