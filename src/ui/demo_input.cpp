/* demo_input.cpp: what play reads of the keyboard and the timer, recorded to a demo file or played
   back from one, so that a game replays exactly.

   The file is text. Its first line is "tirvex-demo 1". Then, for each level played: "level N",
   one "f" line a frame holding what play read that frame, in the order it read it ("e" Esc held,
   "rCODE" a key typed, "s" Shift held with an arrow, "hSCANCODE" a held key, "tTICKS" the ticks
   of the update, and "@COLUMN,ROW,SWEETS,LOST,COMPLETED" after the update when that changed),
   and "end c" (confirmed completion) or "end x" (Esc) with the robot's square and sweets. A
   selection left without a level is "level -1". Keys and held keys read as not pressed are not
   written. Lines starting with '#' are comments. Every number is range-checked when the file is
   read, so playback does no arithmetic on a number play could not have produced. */
#include "ui/demo_input.h"
#include "base/quit_request.h"
#include "base/translation.h"
#include "play/play_session.h"
#include "ui/demo_file.h"

#include <allegro.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "base/key_wait.h"
#include "base/timer.h"
#include "ui/key_map.h"
#include "ui/level_select.h"
#include "world/command_log.h"
#include "world/level_map.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/world_clock.h"

DemoMode demo_mode = DEMO_OFF;

namespace {

/* The gamepad: what its buttons and directions stand for in play. */
struct PadKey {
    int pad_input;      /* PAD_UP ... or a button number */
    int scancode;       /* the key play reads for it */
    bool typed;         /* a press types the key (held keys act while held) */
};
const PadKey PAD_PLAY_KEYS[] = {
    {PAD_UP, KEY_UP, true}, {PAD_DOWN, KEY_DOWN, true},
    {PAD_LEFT, KEY_LEFT, true}, {PAD_RIGHT, KEY_RIGHT, true},
    {PAD_A, KEY_SPACE, true}, {PAD_B, KEY_BACKSPACE, true},
    {PAD_X, KEY_I, true}, {PAD_Y, KEY_F6, true},
    {PAD_BACK, KEY_R, false}, {PAD_START, KEY_ESC, false},
};
/* Outside play the pad types the keys of the menus and the level select. */
const PadKey PAD_MENU_KEYS[] = {
    {PAD_UP, KEY_UP, true}, {PAD_DOWN, KEY_DOWN, true},
    {PAD_LEFT, KEY_LEFT, true}, {PAD_RIGHT, KEY_RIGHT, true},
    {PAD_A, KEY_ENTER, true}, {PAD_B, KEY_ESC, true},
    {PAD_X, KEY_2, true}, {PAD_Y, KEY_3, true}, {PAD_START, KEY_1, true},
};
/* A direction held repeats as the keyboard's keys do: after REPEAT_DELAY polls, then every
   REPEAT_EVERY. */
const int REPEAT_DELAY = 18, REPEAT_EVERY = 6;
const int PAD_QUEUE = 32;

PadState pad_now, pad_before;
int pad_held_polls[PAD_INPUTS];
int pad_queue[PAD_QUEUE];       /* keys the pad typed in play, read before the keyboard's */
int pad_queue_head = 0, pad_queue_count = 0;

/* The library's joystick: the first stick's directions (d-pad or left stick) and buttons. */
void read_library_pad(PadState *state)
{
    *state = PadState{};
    if (num_joysticks < 1 || poll_joystick() != 0)
        return;
    const JOYSTICK_INFO &j = joy[0];
    state->present = true;
    for (int s = 0; s < j.num_sticks && s < 2; s++) {
        // The d-pad and the left stick are the first two sticks where the driver has both.
        const JOYSTICK_STICK_INFO &stick = j.stick[s];
        if (stick.num_axis < 2)
            continue;
        state->input[PAD_LEFT] |= stick.axis[0].d1 != 0;
        state->input[PAD_RIGHT] |= stick.axis[0].d2 != 0;
        state->input[PAD_UP] |= stick.axis[1].d1 != 0;
        state->input[PAD_DOWN] |= stick.axis[1].d2 != 0;
    }
    for (int b = 0; b < j.num_buttons && PAD_A + b < PAD_INPUTS; b++)
        state->input[PAD_A + b] = j.button[b].b != 0;
}

/* Reads the pad once and calls `typed` for every key its presses and repeats type. */
void poll_pad(const PadKey *keys, int count, void (*typed)(int scancode))
{
    pad_before = pad_now;
    read_pad(&pad_now);
    for (int i = 0; i < PAD_INPUTS; i++)
        pad_held_polls[i] = pad_now.input[i] ? pad_held_polls[i] + 1 : 0;
    for (int i = 0; i < count; i++) {
        const int n = pad_held_polls[keys[i].pad_input];
        const bool direction = keys[i].pad_input <= PAD_RIGHT;
        const bool repeat = direction && n > REPEAT_DELAY && (n - REPEAT_DELAY) % REPEAT_EVERY == 0;
        if (keys[i].typed && (n == 1 || repeat))
            typed(keys[i].scancode);
    }
}

void queue_pad_key(int scancode)
{
    if (pad_queue_count < PAD_QUEUE)
        pad_queue[(pad_queue_head + pad_queue_count++) % PAD_QUEUE] = scancode << 8;
}

void type_menu_key(int scancode)
{
    simulate_keypress(scancode << 8);
}

/* Whether the pad holds the key play reads as `scancode`; a shoulder button is Shift. */
bool pad_holds(int scancode)
{
    if (!pad_now.present)
        return false;
    if (scancode == KEY_LSHIFT)
        return pad_now.input[PAD_LB] || pad_now.input[PAD_RB];
    for (const PadKey &k : PAD_PLAY_KEYS)
        if (k.scancode == scancode && pad_now.input[k.pad_input])
            return true;
    return false;
}

/* What the player can see of a level's state, compared frame by frame. */
struct Outcome {
    int column, row, sweets, lost, completed;
    bool operator==(const Outcome &o) const
    {
        return column == o.column && row == o.row && sweets == o.sweets && lost == o.lost &&
               completed == o.completed;
    }
};

Outcome outcome_now(const World &w)
{
    return Outcome{w.motion.playerL[0], w.motion.playerL[1], w.level.sweets_eaten,
                   w.level.level_lost, w.level.level_completed};
}

std::string outcome_token(const Outcome &o)
{
    char text[80];
    std::snprintf(text, sizeof text, "@%d,%d,%d,%d,%d", o.column, o.row, o.sweets, o.lost,
                  o.completed);
    return text;
}

struct Demo {
    std::string path;
    FILE *out;                      /* recording */
    std::string pending;            /* recording: the tokens of the frame being played */
    std::vector<std::string> lines; /* playback: the whole file */
    std::vector<int> line_numbers;
    size_t next_line;
    std::vector<std::string> tokens;    /* playback: the tokens of the frame being played */
    size_t next_token;
    bool in_frame;
    Outcome last;
    bool level_started;
    int frame;                      /* frames of the current level */
    bool diverged, stopped;
    long long ticks;                /* playback: recorded ticks so far, for its pace */
    long long frames_drawn;
    std::chrono::steady_clock::time_point started;
    bool marked_start;              /* playback: its first frame is shown */
    bool was_lost;
    bool clock_known;               /* playback: the level clock seen since the level started */
    int clock_start, clock_before;  /* its value at the level's (re)start, and a frame ago */
    const PlaySession *played;      /* the session the level is played in */
};

Demo demo;


bool playing()
{
    return demo_mode == DEMO_PLAYBACK || demo_mode == DEMO_TIMEDEMO;
}

void diverge(const std::string &what)
{
    if (demo.diverged)
        return;
    demo.diverged = true;
    std::printf(_("%s: the demo diverges in level %d (%s) at frame %d: %s\n"), demo.path.c_str(),
                demo.played ? demo.played->level : 0,
                demo.played ? demo.played->world.map.level_name : "", demo.frame, what.c_str());
    std::fflush(stdout);
}

/* Playback: the next token of the frame being played, opening its line when none is open. */
const std::string *peek()
{
    if (!demo.in_frame) {
        if (demo.next_line >= demo.lines.size() || demo.lines[demo.next_line][0] != 'f') {
            diverge(_("the recording has no more frames for this level"));
            return nullptr;
        }
        demo.tokens.clear();
        const std::string &line = demo.lines[demo.next_line++];
        for (size_t i = 1; i < line.size();) {
            while (i < line.size() && line[i] == ' ')
                i++;
            size_t j = line.find(' ', i);
            if (j == std::string::npos)
                j = line.size();
            if (j > i)
                demo.tokens.push_back(line.substr(i, j - i));
            i = j;
        }
        demo.next_token = 0;
        demo.in_frame = true;
    }
    return demo.next_token < demo.tokens.size() ? &demo.tokens[demo.next_token] : nullptr;
}

/* Playback: takes the next token when it starts with `kind` (and, given, equals `whole`). */
bool take(char kind, const char *whole = nullptr)
{
    if (demo.diverged || demo.stopped)
        return false;
    const std::string *t = peek();
    if (!t || (*t)[0] != kind || (whole && *t != whole))
        return false;
    demo.next_token++;
    return true;
}

/* The level's command log as a demo keeps it: "way" lines of "FRAME:CODE" entries (a move code,
   or -1 a restart), oldest first, at most WAY_LINE_ENTRIES a line; one bare "way" for none. */
std::vector<std::string> way_lines(const CommandLog &log)
{
    const int32_t WAY_LINE_ENTRIES = 200;   // some 2,800 characters, within a line's 4,096
    std::vector<std::string> lines{"way"};
    for (int32_t i = 0; i < log.count; i++) {
        if (i > 0 && i % WAY_LINE_ENTRIES == 0)
            lines.push_back("way");
        const LoggedCommand &c = log_at(log, i);
        lines.back() += ' ' + std::to_string(c.frame) + ':' + std::to_string(c.code);
    }
    return lines;
}

bool is_way_line(const std::string &line)
{
    return line == "way" || line.rfind("way ", 0) == 0;
}

void note(const std::string &token)
{
    if (!demo.pending.empty())
        demo.pending += ' ';
    demo.pending += token;
}

double level_seconds()
{
    // The game time since the level last started: the clock then, less what it has left.
    return (demo.clock_start - level_clock_left(demo.played->world)) / 100.0;
}

} // namespace

bool demo_record_start(const char *path, char *fault, size_t size)
{
    demo = Demo{};
    demo.path = path;
    // A FIFO or a device at the path would keep the game waiting, or take the recording away:
    // only a regular file is emptied and written.
    const int fd = open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat status;
    // ENXIO: a FIFO that nobody reads.
    if ((fd < 0 && errno == ENXIO) ||
        (fd >= 0 && (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)))) {
        std::snprintf(fault, size, _("%s: not a regular file, no recording is written there"), path);
        if (fd >= 0)
            close(fd);
        return false;
    }
    demo.out = fd >= 0 && ftruncate(fd, 0) == 0 ? fdopen(fd, "w") : nullptr;
    if (!demo.out && fd >= 0)
        close(fd);
    if (!demo.out || std::fprintf(demo.out, "%s\n", DEMO_VERSION_LINE) < 0 || std::fflush(demo.out) != 0) {
        std::snprintf(fault, size, _("%s: cannot be written"), path);
        if (demo.out)
            std::fclose(demo.out);
        demo.out = nullptr;
        return false;
    }
    demo_mode = DEMO_RECORD;
    return true;
}

bool demo_playback_start(const char *path, bool timed, char *fault, size_t size)
{
    demo = Demo{};
    demo.path = path;
    if (!read_demo_file(path, &demo.lines, &demo.line_numbers, fault, size))
        return false;
    demo_mode = timed ? DEMO_TIMEDEMO : DEMO_PLAYBACK;
    demo.started = std::chrono::steady_clock::now();
    return true;
}

bool demo_key_typed()
{
    if (playing()) {
        const std::string *t = demo.diverged || demo.stopped ? nullptr : peek();
        return t && (*t)[0] == 'r';
    }
    return pad_queue_count > 0 || keypressed();
}

int demo_read_key()
{
    if (playing()) {
        const std::string *t = peek();
        if (!t || (*t)[0] != 'r')
            return 0;
        demo.next_token++;
        return demo_token_number(*t);
    }
    int k = 0;
    if (pad_queue_count > 0) {
        k = pad_queue[pad_queue_head];
        pad_queue_head = (pad_queue_head + 1) % PAD_QUEUE;
        pad_queue_count--;
    } else {
        k = play_typed_key(readkey());
    }
    // A pause is not play: the recording goes on as if it had not come (game_keys.h).
    if (demo_mode == DEMO_RECORD && (k >> 8) != KEY_P)
        note("r" + std::to_string(k));
    return k;
}

bool demo_key_held(int scancode)
{
    const std::string token = "h" + std::to_string(scancode);
    if (playing())
        return take('h', token.c_str());
    const bool held = play_key_held(scancode) || pad_holds(scancode);
    if (held && demo_mode == DEMO_RECORD)
        note(token);
    return held;
}

bool demo_shift_held()
{
    if (playing())
        return take('s', "s");
    const bool keyboard = keys_moved ? play_key_held(KEY_LSHIFT) || play_key_held(KEY_RSHIFT) :
                                       (key_shifts & KB_SHIFT_FLAG) != 0;
    const bool held = keyboard || pad_holds(KEY_LSHIFT);
    if (held && demo_mode == DEMO_RECORD)
        note("s");
    return held;
}

bool demo_escape_held()
{
    if (keyboard_needs_poll())
        poll_keyboard();
    if (playing()) {
        if (demo.diverged || demo.stopped)
            return true;
        if (key[KEY_ESC] || quit_requested()) {
            demo.stopped = true;    // the viewer's Esc ends the playback, as a request to end
            return true;
        }
        // After a confirmed completion the loop ends without reading on: no frame follows.
        if (!demo.in_frame &&
            (demo.next_line >= demo.lines.size() || demo.lines[demo.next_line][0] != 'f'))
            return false;
        return take('e', "e");
    }
    // A request to end the game leaves the level as Esc does, and is recorded as Esc: the demo
    // ends there whole.
    const bool held = play_key_held(KEY_ESC) || pad_holds(KEY_ESC) || quit_requested();
    if (held && demo_mode == DEMO_RECORD)
        note("e");
    return held;
}

int demo_ticks_since_last()
{
    if (playing()) {
        const std::string *t = peek();
        if (!t || (*t)[0] != 't') {
            diverge(_("the recording has other inputs in this frame"));
            return 0;
        }
        demo.next_token++;
        const int ticks = demo_token_number(*t);
        demo.ticks += ticks;
        return ticks;
    }
    // A frame after a stall of over a minute (the machine suspended, the process stopped) runs
    // a minute: the world's arithmetic stays within its range, and the demo can be read back.
    int ticks = ticks_since_last();
    if (ticks > DEMO_TICKS_LIMIT)
        ticks = DEMO_TICKS_LIMIT;
    else if (ticks < 0)
        ticks = 0;      // the tick counter wrapped round, after 248 days
    if (demo_mode == DEMO_RECORD)
        note("t" + std::to_string(ticks));
    return ticks;
}

int demo_select_level(int (*choose)(void *), void *context, const PlaySession &s)
{
    demo.played = &s;
    demo.level_started = false;
    demo.frame = 0;
    demo.was_lost = false;
    demo.clock_known = false;
    if (playing()) {
        int level = -1;
        if (!demo.diverged && !demo.stopped && demo.next_line < demo.lines.size())
            level = (int)std::strtol(demo.lines[demo.next_line++].c_str() + 6, nullptr, 10);  // checked when read
        if (level == -1)
            demo_bench_mark("over");
        return level;
    }
    const int level = choose(context);
    if (demo_mode == DEMO_RECORD) {
        std::fprintf(demo.out, "level %d\n", level);
        std::fflush(demo.out);
    }
    return level;
}

void demo_wait_frame()
{
    if (demo_mode == DEMO_TIMEDEMO) {
        demo.frames_drawn++;
        return;
    }
    if (demo_mode != DEMO_PLAYBACK)
        return;
    if (!demo.marked_start) {
        // The pace counts from the first frame: counted from the reading of the file, the
        // frames of a slow start-up came unpaced until they had caught up with it.
        demo.marked_start = true;
        demo.started = std::chrono::steady_clock::now();
        demo_bench_mark("first frame");
    }
    // The recorded pace: every tick played is 10 ms after the start.
    std::this_thread::sleep_until(demo.started + std::chrono::milliseconds(10 * demo.ticks));
}

bool demo_frame_done(const PlaySession &s)
{
    demo.played = &s;
    const World &w = s.world;
    if (playing() && !demo.diverged) {
        // A clock that went up was set again by a restart (or an undo), as the frame's actions
        // left it before its update.
        const int clock = s.actions_clock;
        if (!demo.clock_known || clock > demo.clock_before)
            demo.clock_start = clock;
        demo.clock_known = true;
        demo.clock_before = clock;
    }
    const Outcome now = outcome_now(w);
    const bool changed = !demo.level_started || !(now == demo.last);
    demo.level_started = true;
    demo.last = now;
    if (demo_mode == DEMO_RECORD) {
        if (changed)
            note(outcome_token(now));
        std::fprintf(demo.out, "f %s\n", demo.pending.c_str());
        demo.pending.clear();
    } else if (playing() && !demo.diverged && !demo.stopped) {
        const std::string *t = peek();
        const bool recorded = t && (*t)[0] == '@';
        if (recorded && *t != outcome_token(now))
            diverge(_("the robot's square, sweets or outcome are ") + outcome_token(now) +
                    _(", the recording has ") + *t);
        else if (changed && !recorded)
            diverge(_("the level's outcome changed to ") + outcome_token(now) + _(", not in the recording"));
        else if (!changed && recorded)
            diverge(_("the recording has ") + *t + _(", the level stayed at ") + outcome_token(now));
        if (recorded)
            demo.next_token++;
        if (!demo.diverged && demo.next_token != demo.tokens.size())
            diverge(_("the recording has inputs in this frame that play did not read"));
        demo.in_frame = false;
        if (!demo.was_lost && w.level.level_lost && !demo.diverged) {
            const char *why = level_clock_left(w) < 1 ? _("time is up") :
                              w.falling ? _("fell off the grid") : _("blown up or run over");
            std::printf(_("level %d (%s): lost: %s\n"), demo.played->level, w.map.level_name, why);
        }
    }
    demo.was_lost = w.level.level_lost;
    demo.frame++;
    return !demo.diverged;
}

void demo_level_done(const PlaySession &s, bool confirmed)
{
    demo.played = &s;
    const Outcome now = outcome_now(s.world);
    char end[80];
    std::snprintf(end, sizeof end, "end %c %d %d %d", confirmed ? 'c' : 'x', now.column, now.row,
                  now.sweets);
    if (demo_mode == DEMO_RECORD) {
        if (!demo.pending.empty())
            std::fprintf(demo.out, "f %s\n", demo.pending.c_str());
        demo.pending.clear();
        for (const std::string &line : way_lines(s.log))
            std::fprintf(demo.out, "%s\n", line.c_str());
        std::fprintf(demo.out, "%s\n", end);
        std::fflush(demo.out);
        return;
    }
    if (!playing())
        return;
    if (demo.stopped) {
        std::printf(_("level %d (%s): playback stopped with Esc\n"), s.level, s.world.map.level_name);
        return;
    }
    if (demo.diverged)
        return;
    demo.in_frame = false;
    // The commands the level took, as its log holds them after every undo and restart (a
    // recording made before demos kept them has no way lines).
    if (demo.next_line < demo.lines.size() && is_way_line(demo.lines[demo.next_line])) {
        const std::vector<std::string> played = way_lines(s.log);
        size_t i = 0;
        for (; demo.next_line < demo.lines.size() && is_way_line(demo.lines[demo.next_line]); i++) {
            if (i >= played.size() || played[i] != demo.lines[demo.next_line]) {
                diverge(_("the commands the level took differ from the recording's, from \"") +
                        (i < played.size() ? played[i] : std::string(_("nothing more"))) + _("\" on"));
                return;
            }
            demo.next_line++;
        }
        if (i < played.size()) {
            diverge(_("the level took commands the recording does not have: \"") + played[i] + "\"");
            return;
        }
    }
    if (demo.next_line >= demo.lines.size() || demo.lines[demo.next_line] != end) {
        diverge(std::string(_("the level ends with \"")) + end + _("\", the recording with \"") +
                (demo.next_line < demo.lines.size() ? demo.lines[demo.next_line] : _("nothing")) + "\"");
        return;
    }
    demo.next_line++;
    if (confirmed)
        std::printf(_("level %d (%s): completed in %.2f s of game time\n"), s.level,
                    s.world.map.level_name, level_seconds());
    else
        std::printf(_("level %d (%s): left with Esc\n"), s.level, s.world.map.level_name);
    std::fflush(stdout);
}

void (*read_pad)(PadState *state) = read_library_pad;

void demo_bench_mark(const char *moment)
{
    if (std::getenv("TIRVEX_BENCH_MARKS")) {
        timespec cpu = {0, 0}, wall = {0, 0};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        clock_gettime(CLOCK_MONOTONIC, &wall);
        std::printf("bench: %s, processor time %.3f s, clock %.3f s\n", moment,
                    cpu.tv_sec + cpu.tv_nsec / 1e9, wall.tv_sec + wall.tv_nsec / 1e9);
        std::fflush(stdout);
    }
}


void start_pad()
{
    // No pad, no message: the game plays from the keyboard as ever.
    install_joystick(JOY_TYPE_AUTODETECT);
    set_wait_input(pad_menu_keys);
}

void demo_poll_pad()
{
    if (!playing())
        poll_pad(PAD_PLAY_KEYS, (int)(sizeof PAD_PLAY_KEYS / sizeof PAD_PLAY_KEYS[0]), queue_pad_key);
}

void pad_menu_keys()
{
    if (!playing())
        poll_pad(PAD_MENU_KEYS, (int)(sizeof PAD_MENU_KEYS / sizeof PAD_MENU_KEYS[0]), type_menu_key);
}

void forget_pad()
{
    pad_now = pad_before = PadState{};
    for (int &n : pad_held_polls)
        n = 0;
    pad_queue_head = pad_queue_count = 0;
}

bool demo_writes_allowed()
{
    return !playing();
}

int demo_finish()
{
    if (demo_mode == DEMO_RECORD && demo.out) {
        std::fclose(demo.out);
        demo.out = nullptr;
    }
    if (demo_mode == DEMO_TIMEDEMO) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - demo.started).count();
        std::printf("timedemo: %lld frames in %.2f s: %.1f frames a second\n", demo.frames_drawn,
                    seconds, seconds > 0 ? (double)demo.frames_drawn / seconds : 0.0);
    }
    const bool diverged = demo.diverged;
    demo_mode = DEMO_OFF;
    return diverged ? 1 : 0;
}
