/* hint_bench.cpp: how long the game's hint takes to answer, and whether its answers are right, on
   positions sampled from random play in every shipped level. Each level gets two sets of
   positions, the same every run: set "a", 0 to 60 random commands played back to back from its
   start at 2 ticks a frame, as the search plays (seed: the level's number), and set "b", 20 to
   200 random commands with a pause of 1 to 25 frames after about one command in four, as a
   player who stops to look, and frames of 1 or 3 ticks now and then among those of 2, as the
   play loop's timer gives them (seed: the level's number plus 100), which leaves runners at
   moments the search never plays; a command that ends the level or visibly spoils it is taken
   back.

   As in play, the hint thinks ahead from the level's start: a thread explores every position
   reachable from it (hint_think_ahead) while the player plays, and the level's recorded
   solution leads its searches meanwhile. The bench gives the thread the time a player would
   have had and no more: the level is started with it, and each position is asked about once
   the game time of the commands and pauses that led to it (50 frames a second) has passed
   since, in that order; when a build has run longer than a position's game time and was not
   done by then, it is started again for that position. A hint asked before the table is done
   searches, as the game's does. The answers are timed first, then checked: a command is followed,
   hint after hint, until the level is completed; "no way" is proven by every reachable state.
   Each level and set is judged by itself against the targets (median under 0.1 s, 95th percentile
   under 0.5 s), and the levels that miss are named; over all, none over 5 s and every answer
   right. Beside the seconds, the states the hint's own searches reached (a figure that does not
   depend on the machine), and per level the table's positions, its build time and the
   processor time it cost during play, the memory it holds and held at most, each also in bytes
   a position. Last, with every level benched, the table of a level of twice the largest's
   positions (level 19 at 1 tick a frame): its figures, and its way looked up from the start. A missed target is reported, not a failure: the status is
   1 only when a level cannot be read. Run from the game directory (make bench).

   hint_bench [--positions N] [--levels N] [--no-ahead]
     N positions a set and level (default 50); the first N levels; --no-ahead: no table, the
     hint searches every time (as before the table) */
#include <allegro.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <thread>
#include <vector>

#include "search/level_search.h"
#include "search/search_play.h"
#include "search/search_state.h"
#include "search/win_table.h"
#include "world/tile_grid.h"
#include "base/display_options.h"
#include "play/hint.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/world_driver.h"
#include "play/play_session.h"

namespace {

using Clock = std::chrono::steady_clock;

PlaySession session;    /* the level the hints are asked in; its hint lives to the end */
World walked;           /* the positions walked to, before the session is put at one */
int walked_level = 1;

/* Each level by itself: the median answer and the 95th percentile; none at all over the bound. */
const double TARGET_MEDIAN = 0.1, TARGET_P95 = 0.5, TARGET_MAX = 5.0;
const int TICKS = 2;                /* the rate the hint's search plays at */
const double FRAME_SECONDS = 0.02;  /* a frame of play at 50 frames a second */
const int WALK_LONGEST = 60;        /* set a: commands of random play before a position is taken */
const int LONG_FEWEST = 20, LONG_MOST = 200;    /* set b: the same */
const int PAUSE_ONE_IN = 4, PAUSE_LONGEST = 25; /* set b: how often a pause comes, its frames */
const int ODD_TICKS_ONE_IN = 4;     /* set b: one frame in this many runs 1 or 3 ticks, not 2 */
const int COMMAND_FRAMES_MOST = 400;    /* a command that has not ended by then went wrong */
const int FOLLOW_LONGEST = 1500;    /* hints followed before an answer is called wrong */
const int LEVELS_MOST = 19;
const int SETS = 2;

char map_text[64 * 1024];

/* A position to ask about: the world, and the game time the play that led to it took. */
struct Position {
    World world;
    double game_seconds;
    int set;
};

/* What a set of a level came to. */
struct SetFigures {
    std::vector<double> seconds;
    std::vector<double> states;     /* of the answers searched for */
    int commands = 0, no_way = 0, not_found = 0, right = 0, looked_up = 0;
    double peak_mb = 0;
};

bool read_map(int level)
{
    char path[64];
    std::snprintf(path, sizeof path, "maps/map%02d.txt", level);
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    const size_t n = std::fread(map_text, 1, sizeof map_text - 1, f);
    std::fclose(f);
    map_text[n] = '\0';
    return n > 0;
}

bool playing(const World &w)
{
    return !w.level.level_completed && !w.level.level_lost && !w.falling;
}

/* A frame's ticks in set b: mostly 2, now and then 1 or 3 (2 on average). */
int frame_ticks(std::mt19937 &random)
{
    if (random() % ODD_TICKS_ONE_IN != 0)
        return TICKS;
    return random() % 2 == 0 ? TICKS - 1 : TICKS + 1;
}

/* Types `code` (or waits) and runs frames as run_command does, but each of the ticks
   frame_ticks draws. Returns the frames run. */
int run_command_unsteady(World &w, int code, std::mt19937 &random)
{
    const int limit = code == SEARCH_WAIT ? wait_frames(TICKS) : COMMAND_FRAMES_MOST;
    if (code != SEARCH_WAIT)
        driver_push(w, code);
    int frames = 0;
    while (frames < limit) {
        driver_frame(w, frame_ticks(random));
        frames++;
        if (code != SEARCH_WAIT && (robot_ready(w) || level_over(w)))
            break;
    }
    return frames;
}

/* Random play from the level's start for `length` commands, or until no command tried keeps the
   level going: a command that ends it or visibly spoils it (a step into the void, a blast that
   takes a sweet, run over) is taken back and another drawn, so that play reaches the level's
   later parts as a player who looks before stepping does; the silent dead ends stay in. With
   `unsteady`, the frames run unsteady ticks, and about one command in PAUSE_ONE_IN is followed
   by some frames with no key (taken back too when the level ends meanwhile). Ends where the
   robot takes a command and the level goes on. Returns the frames played. */
int sample_position(std::mt19937 &random, int length, bool unsteady)
{
    static World before;
    search_start_world(walked, map_text);
    int frames = 0;
    for (int done = 0, refused = 0; done < length && refused < 2 * SEARCH_ACTIONS;) {
        before = walked;
        const int action = (int)(random() % SEARCH_ACTIONS);
        int played = unsteady ? run_command_unsteady(walked, action_codes[action], random) :
                                run_command(walked, action_codes[action], TICKS, nullptr);
        if (unsteady && random() % PAUSE_ONE_IN == 0) {
            const int pause = 1 + (int)(random() % PAUSE_LONGEST);
            for (int i = 0; i < pause && playing(walked); i++, played++)
                driver_frame(walked, frame_ticks(random));
        }
        if (playing(walked) && !hopeless(walked) && walked.motion.jump_ctr < 1) {
            done++;
            refused = 0;
            frames += played;
        } else {
            walked = before;
            refused++;
        }
    }
    return frames;
}

/* Asks for the hint as the game does, its search on a thread of its own, and takes the answer
   the frame after it has come. */
HintOutcome answer(int *code, double *seconds)
{
    hint_request(session);
    while (hint_thinking(session)) {
        hint_wait(session);
        hint_frame(session);
    }
    return hint_outcome(session, code, seconds);
}

/* Follows the hints from the position as it stands: true when they complete the level. */
bool follow_hints(int first_code)
{
    int code = first_code;
    for (int step = 0; step < FOLLOW_LONGEST; step++) {
        walked = session.world;
        run_command(walked, code, TICKS, nullptr);
        session_set_position(session, walked_level, walked);   // the hint stale, as in play
        if (walked.level.level_completed)
            return true;
        if (!playing(walked))
            return false;
        double seconds;
        if (answer(&code, &seconds) != HINT_COMMAND)
            return false;
    }
    return false;
}

double percentile(std::vector<double> v, double share)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t i = (size_t)(share * (double)(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

const char *met(bool ok)
{
    return ok ? "met" : "missed";
}

/* Waits until the table ahead is done or `at` has come, whichever is first. */
void wait_for_game_time(Clock::time_point at, bool ahead)
{
    HintAheadFigures figures;
    while (ahead && Clock::now() < at && hint_ahead_figures(session, &figures) && !figures.done)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

/* A level of twice the positions of the largest shipped one: level 19 played at 1 tick a frame,
   where its runners stand at twice as many moments. Its table is built within the game's bound,
   as the game's thread builds one; then from the start, command by command, the position is
   looked up with its whole way as the hint looks it up, the slowest timed, and the way followed
   to the level's end. */
const int LARGE_LEVEL = 19, LARGE_TICKS = 1;
const int64_t AHEAD_MEMORY = (int64_t)160 << 20;    /* the game's bound (play/hint.cpp) */

double thread_cpu_now()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

/* Prints what the large level's table came to; false when a target was missed. */
bool twice_the_largest()
{
    static World w;
    static StateHasher hasher;
    static int32_t actions[SEARCH_MAX_STEPS];
    WinTable *table = win_table_create();
    if (!read_map(LARGE_LEVEL) || !table) {
        win_table_destroy(table);
        return false;
    }
    search_start_world(w, map_text);
    std::atomic<bool> stop{false};
    const double cpu = thread_cpu_now();
    win_table_build(*table, w, LARGE_TICKS, AHEAD_MEMORY, stop);
    const double cpu_seconds = thread_cpu_now() - cpu;
    WinTableFigures f;
    win_table_figures(*table, &f);
    const bool complete = f.outcome == WIN_TABLE_COMPLETE;
    int32_t length = -1, taken = 0;
    double slowest = 0;
    for (; complete && taken < SEARCH_MAX_STEPS && !w.level.level_completed; taken++) {
        const auto started = Clock::now();
        const StateKey key = state_key(w, &hasher);
        int32_t commands = 0, action = -1;
        const int32_t way = win_table_lookup(*table, key, &commands, &action) == WIN_TABLE_WAY ?
                                win_table_way(*table, key, actions, SEARCH_MAX_STEPS) : -1;
        slowest = std::max(slowest, std::chrono::duration<double>(Clock::now() - started).count());
        if (taken == 0)
            length = way;
        if (way < 1 || actions[0] != action)
            break;
        run_command(w, action_codes[action], LARGE_TICKS, nullptr);
    }
    const bool won = w.level.level_completed && taken == length;
    const double n = f.positions > 0 ? (double)f.positions : 1;
    std::printf("\na level of twice the largest's positions (level %d at %d tick a frame): complete %s, "
                "%lld positions, table %.1f MB (%.1f bytes a position), peak %.1f MB (%.1f), "
                "built in %.2f s (%.2f s of processor) within the game's %lld MB: %s\n",
                LARGE_LEVEL, LARGE_TICKS, complete ? "yes" : "no", (long long)f.positions,
                (double)f.memory / (1 << 20), (double)f.memory / n,
                (double)f.peak_memory / (1 << 20), (double)f.peak_memory / n, f.seconds, cpu_seconds,
                (long long)(AHEAD_MEMORY >> 20), met(complete));
    std::printf("its way from the start, %d commands, each position looked up with its whole way in "
                "at most %.4f s (target under %.1f s) and followed to the end: %s\n", length, slowest,
                TARGET_MEDIAN, met(won && slowest < TARGET_MEDIAN));
    win_table_destroy(table);
    return complete && won && slowest < TARGET_MEDIAN;
}

} // namespace

int main(int argc, char **argv)
{
    int positions = 50, levels = LEVELS_MOST;
    bool ahead = true;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 1 : argv[i];
        if (!std::strcmp(a, "-positions") && i + 1 < argc)
            positions = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "-levels") && i + 1 < argc)
            levels = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "-no-ahead"))
            ahead = false;
        else {
            std::fprintf(stderr, "usage: hint_bench [--positions N] [--levels N] [--no-ahead]\n");
            return 2;
        }
    }
    if (positions < 1 || levels < 1 || levels > LEVELS_MOST) {
        std::fprintf(stderr, "usage: hint_bench [--positions N] [--levels N] [--no-ahead]\n");
        return 2;
    }
    // Only the fixed-point tables of the library are used; nothing is shown or heard.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    display_options = program_start_options;
    display_options.sound_off = true;

    std::printf("hint from positions of random play, %d a set and level: a = 0-%d commands (seed: the "
                "level's number), b = %d-%d commands with pauses and unsteady ticks (seed: the number + 100);\n",
                positions, WALK_LONGEST, LONG_FEWEST, LONG_MOST);
    std::printf("%s\n", ahead ? "thinking ahead from the level's start, each position asked about once "
                                "its game time has passed" : "no thinking ahead: every answer searched");
    std::printf("level set  median s  95th %% s   most s  commands  no way  not found  right  "
                "looked up  states median  states 95th %%  peak MB  target\n");
    std::vector<double> all;
    std::vector<int> missed;
    int all_right = 0, all_count = 0, all_not_found = 0;
    double all_peak = 0, all_cpu = 0;
    std::vector<HintAheadFigures> tables;
    static std::vector<Position> asked;
    for (int level = 1; level <= levels; level++) {
        if (!read_map(level)) {
            std::fprintf(stderr, "maps/map%02d.txt cannot be read (run from the game directory)\n",
                         level);
            return 1;
        }
        asked.clear();
        asked.reserve((size_t)(SETS * positions));
        std::mt19937 random_a((unsigned)level), random_b((unsigned)level + 100);
        for (int n = 0; n < positions; n++) {
            const int frames = sample_position(random_a, (int)(random_a() % (WALK_LONGEST + 1)), false);
            asked.push_back(Position{walked, frames * FRAME_SECONDS, 0});
        }
        for (int n = 0; n < positions; n++) {
            const int length = LONG_FEWEST + (int)(random_b() % (LONG_MOST - LONG_FEWEST + 1));
            const int frames = sample_position(random_b, length, true);
            asked.push_back(Position{walked, frames * FRAME_SECONDS, 1});
        }
        std::stable_sort(asked.begin(), asked.end(), [](const Position &a, const Position &b) {
            return a.game_seconds < b.game_seconds;
        });

        // The level starts, and with it the thinking ahead; each position is asked about once
        // its game time has passed. The answers are checked afterwards, so that checking gives
        // the thread no time a player would not have given it.
        walked_level = level;
        Clock::time_point level_start = Clock::now();
        int builds = 0;
        SetFigures f[SETS];
        std::vector<int> codes, outcomes;
        for (const Position &p : asked) {
            // The table has had the position's game time since its level started, and no more:
            // unless it was done by then, a build that has run longer is started again for it.
            HintAheadFigures table;
            const bool in_time = hint_ahead_figures(session, &table) && table.done &&
                                 table.seconds <= p.game_seconds;
            const double since = std::chrono::duration<double>(Clock::now() - level_start).count();
            if (ahead && (builds == 0 || (!in_time && since > p.game_seconds))) {
                hint_reset(session);
                hint_forget_ahead(session);
                search_start_world(walked, map_text);
                session_set_position(session, level, walked);
                level_start = Clock::now();
                hint_think_ahead(session);
                builds++;
            }
            wait_for_game_time(level_start + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(p.game_seconds)),
                               ahead);
            session_set_position(session, level, p.world);
            hint_reset(session);
            int code = 0;
            double searched = 0;
            const auto started = Clock::now();
            const HintOutcome outcome = answer(&code, &searched);
            const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
            SetFigures &sf = f[p.set];
            sf.seconds.push_back(seconds);
            sf.peak_mb = std::max(sf.peak_mb, (double)hint_peak_memory(session) / (1 << 20));
            if (hint_states(session) > 0)
                sf.states.push_back((double)hint_states(session));
            else
                sf.looked_up++;
            codes.push_back(code);
            outcomes.push_back(outcome);
        }
        HintAheadFigures table{};
        if (ahead) {
            while (hint_ahead_figures(session, &table) && !table.done)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        tables.push_back(table);
        for (size_t i = 0; i < asked.size(); i++) {
            SetFigures &sf = f[asked[i].set];
            if (outcomes[i] == HINT_COMMAND) {
                sf.commands++;
                session_set_position(session, level, asked[i].world);
                hint_reset(session);
                if (follow_hints(codes[i]))
                    sf.right++;
            } else if (outcomes[i] == HINT_NO_WAY) {
                sf.no_way++;
                sf.right++;      // every state reachable from the position was tried
            } else {
                sf.not_found++;
            }
        }
        hint_reset(session);
        bool level_met = true;
        for (int set = 0; set < SETS; set++) {
            const SetFigures &sf = f[set];
            const bool set_met = percentile(sf.seconds, 0.5) < TARGET_MEDIAN &&
                                 percentile(sf.seconds, 0.95) < TARGET_P95;
            level_met = level_met && set_met;
            std::printf("%5d  %c   %8.3f  %8.3f  %7.3f  %8d  %6d  %9d  %5d  %9d  %13.0f  %14.0f  %7.1f  %s\n",
                        level, 'a' + set, percentile(sf.seconds, 0.5), percentile(sf.seconds, 0.95),
                        percentile(sf.seconds, 1.0), sf.commands, sf.no_way, sf.not_found,
                        sf.right, sf.looked_up, percentile(sf.states, 0.5),
                        percentile(sf.states, 0.95), sf.peak_mb, met(set_met));
            all.insert(all.end(), sf.seconds.begin(), sf.seconds.end());
            all_right += sf.right;
            all_count += (int)sf.seconds.size();
            all_not_found += sf.not_found;
            all_peak = std::max(all_peak, sf.peak_mb);
        }
        std::fflush(stdout);
        if (!level_met)
            missed.push_back(level);
    }
    const double median = percentile(all, 0.5), p95 = percentile(all, 0.95), most = percentile(all, 1.0);
    std::printf("all   %9.3f  %8.3f  %7.3f  %31s  %5d  %52s %7.1f\n", median, p95, most, "",
                all_right, "", all_peak);
    if (ahead) {
        std::printf("\nthinking ahead, once a level from its start, on a thread of its own while the player plays:\n");
        std::printf("level  complete  positions  winnable  build s   cpu s  table MB  peak MB  "
                    "bytes a position  at peak\n");
        for (size_t i = 0; i < tables.size(); i++) {
            const HintAheadFigures &t = tables[i];
            const double n = t.positions > 0 ? (double)t.positions : 1;
            std::printf("%5zu  %8s  %9lld  %8lld  %7.2f  %6.2f  %8.1f  %7.1f  %16.1f  %7.1f\n", i + 1,
                        t.complete ? "yes" : "no", (long long)t.positions, (long long)t.winnable,
                        t.seconds, t.cpu_seconds, (double)t.memory / (1 << 20),
                        (double)t.peak_memory / (1 << 20), (double)t.memory / n,
                        (double)t.peak_memory / n);
            all_cpu += t.cpu_seconds;
        }
        std::printf("all    %45s  %6.2f\n", "", all_cpu);
    }
    std::printf("targets: on every level a median under %.1f s and a 95th percentile under %.1f s: %s",
                TARGET_MEDIAN, TARGET_P95, met(missed.empty()));
    for (size_t i = 0; i < missed.size(); i++)
        std::printf("%s%d", i == 0 ? " (levels " : ", ", missed[i]);
    std::printf("%s; most %.3f s under %.1f s: %s; right %d of %d (%d not found in time): %s\n",
                missed.empty() ? "" : ")", most, TARGET_MAX, met(most < TARGET_MAX), all_right,
                all_count, all_not_found, met(all_right == all_count));
    hint_forget_ahead(session);
    if (ahead && levels == LEVELS_MOST)
        twice_the_largest();
    return 0;
}
