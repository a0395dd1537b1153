/* demo_input.h: what play reads of the keyboard and the timer, recorded to a demo file or played
   back from one, so that a game replays exactly. */
#pragma once

#include <cstddef>

struct PlaySession;

enum DemoMode {
    DEMO_OFF = 0,       /* the keyboard and the timer, as they are */
    DEMO_RECORD,        /* as they are, and written to the demo file */
    DEMO_PLAYBACK,      /* from the demo file, at its pace */
    DEMO_TIMEDEMO       /* from the demo file, as fast as frames can be drawn */
};

extern DemoMode demo_mode;

enum {
    DEMO_FAULT_SIZE = 400,
    /* The most ticks one frame's update may run: a minute of game time, the shortest time limit
       a level can have. The timer delivers two or three between two frames, a few hundred
       after a stall; play runs a longer gap as this many, and a demo frame holding more is
       refused. */
    DEMO_TICKS_LIMIT = 6000
};

/* Starts recording into `path` (created or emptied, its version line written; what is not a
   regular file, a FIFO or a device, is refused without waiting). Returns false
   with the fault when the file cannot be written. Called by main for -record. */
bool demo_record_start(const char *path, char *fault, size_t size);

/* Reads the demo file at `path` for playback (or a timedemo with `timed`) and checks all of it:
   a regular file, the version line, every line's form, every number within its range (ticks 0
   to DEMO_TICKS_LIMIT, key codes and scancodes of the keyboard, levels -1 or 1 to 99, squares
   -1000 to 1000, sweets 0 to 199, flags 0 or 1), every level number having a map and every
   level its end. Returns false with the fault naming the file and the line. Called by main for
   -playdemo and -timedemo, once the data folder is known, before the window opens. */
bool demo_playback_start(const char *path, bool timed, char *fault, size_t size);

/* The inputs of play, in the order play reads them. Off, the library's own; recording, the
   same, noted in the current frame's line; playing back, the recorded ones. */
bool demo_key_typed();              /* keypressed(), or a key the pad typed */
int demo_read_key();                /* readkey(), through the player's keys (key_map.h); the
                                       pad's keys first */
bool demo_key_held(int scancode);   /* key[scancode], through the player's keys, or the pad */
bool demo_shift_held();             /* key_shifts & KB_SHIFT_FLAG */
bool demo_escape_held();            /* Esc held: the play loop's end; also the real Esc in
                                       playback, which ends it */
int demo_ticks_since_last();        /* ticks_since_last(), at most DEMO_TICKS_LIMIT; in
                                       playback the recorded ticks */

/* The level chosen in the level selection: recorded, or in playback the recorded one without
   the screen; -1 when the demo has no more levels. `choose` runs the real selection. The level
   is played in `s`: what the demo says of a divergence names its level. */
int demo_select_level(int (*choose)(void *), void *context, const PlaySession &s);

/* Waits for the next frame: the display's pace; in playback the recorded ticks' pace; in a
   timedemo not at all. */
void demo_wait_frame();

/* After each frame's update of the session `s`: notes the level's outcome (robot square, sweets,
   lost, completed) when it changed; in playback checks it against the recording, and times the
   level from its clock as the frame's actions left it (a clock that went up was set again).
   Returns false when playback has diverged (the message is then printed). */
bool demo_frame_done(const PlaySession &s);

/* At the end of a level's frames (`confirmed` completion, else Esc): writes and flushes the
   level's end, or in playback prints the attempt's line. */
void demo_level_done(const PlaySession &s, bool confirmed);

/* With TIRVEX_BENCH_MARKS in the environment, prints "bench: MOMENT, processor time S s, clock
   S s" on standard output (flushed): the game's processor time and the monotonic clock at the
   moments a benchmark measures between (tools/bench/scale_bench.sh). Playback marks its first
   frame and its end ("first frame", "over"); so does --watch. Else does nothing. */
void demo_bench_mark(const char *moment);

/* The gamepad, read once a frame of play and once a pass of a waiting screen. */
enum PadInput {
    PAD_UP, PAD_DOWN, PAD_LEFT, PAD_RIGHT,      /* the d-pad or the left stick */
    PAD_A, PAD_B, PAD_X, PAD_Y, PAD_LB, PAD_RB, PAD_BACK, PAD_START,   /* buttons 0 to 7 */
    PAD_INPUTS
};
struct PadState {
    bool present;
    bool input[PAD_INPUTS];     /* held now */
};

/* Reads the pad: the library's joystick (the first one) unless a test puts a stand-in here. */
extern void (*read_pad)(PadState *state);

/* Installs the library's joystick support; a machine without a pad says nothing. Called once
   by main after start-up. */
void start_pad();

/* Play's read of the pad, at the start of its keys each frame: the d-pad types the arrows
   (repeating while held, as keys do), A Space (jump), B Backspace (undo), X I (hint), Y F6
   (camera); held, A and B act as Space and Backspace held, Back as R (restart), Start as Esc
   (leave) and either shoulder button as Shift (strafe). What play reads of the pad is recorded
   in a demo as the keys it stands for. Nothing in playback. */
void demo_poll_pad();

/* The pad on the screens outside play: the d-pad types the arrows, A Enter, B Esc, Start 1
   (play), X 2 (cast) and Y 3 (video mode), into the key buffer those screens read. Called by
   their waits. */
void pad_menu_keys();

/* Forgets the pad's last state and the keys it typed that play has not read. */
void forget_pad();

/* True while play may write files (the progress record): never in playback. */
bool demo_writes_allowed();

/* Ends the demo: closes the file; for a timedemo prints frames, seconds and frames a second.
   Returns the exit status: 0, or 1 when playback diverged. */
int demo_finish();
