/* hint_bench.cpp: how long the game's hint takes to answer, and whether its answers are right, on
   positions sampled from random play in every shipped level. Each level gets its positions from
   random commands played from its start with a seed of its own (the same positions every run);
   from each, the hint is asked for as the game asks (its search on a thread of its own) and
   timed, then checked: a command is followed, hint after hint, until the level is completed;
   "no way" is the search's proof that every reachable state was tried. Each level is judged by
   itself against the targets (median under 0.1 s, 95th percentile under 0.5 s), and the levels
   that miss are named; over all, none over 5 s and every answer right. A missed target is
   reported, not a failure: the status is 1 only when a level cannot be read. Run from the game
   directory (make bench).

   hint_bench [--positions N] [--levels N]   (N positions a level, default 50; the first N levels) */
#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "search/level_search.h"
#include "search/search_play.h"
#include "world/tile_grid.h"
#include "base/display_options.h"
#include "play/hint.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "play/play_session.h"

namespace {

/* Each level by itself: the median answer and the 95th percentile; none at all over the bound. */
const double TARGET_MEDIAN = 0.1, TARGET_P95 = 0.5, TARGET_MAX = 5.0;
const int TICKS = 2;                /* the rate the hint's search plays at */
const int WALK_LONGEST = 60;        /* commands of random play before a position is taken */
const int FOLLOW_LONGEST = 1500;    /* hints followed before an answer is called wrong */
const int LEVELS_MOST = 19;

char map_text[64 * 1024];
World position;

struct LevelFigures {
    int level;
    std::vector<double> seconds;
    int commands, no_way, not_found, right;
    double peak_mb;
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

bool playing()
{
    return !session.world.level.level_completed && !session.world.level.level_lost && !session.world.falling;
}

/* Random play from the level's start for `length` commands, or until no command tried keeps the
   level going: a command that ends it or visibly spoils it (a step into the void, a blast that
   takes a sweet, run over) is taken back and another drawn, so that play reaches the level's
   later parts as a player who looks before stepping does; the silent dead ends stay in. Ends
   where the robot takes a command and the level goes on. */
void sample_position(std::mt19937 &random, int length)
{
    static World before;
    search_start_world(session.world, map_text);
    for (int done = 0, refused = 0; done < length && refused < 2 * SEARCH_ACTIONS;) {
        before = session.world;
        const int action = (int)(random() % SEARCH_ACTIONS);
        run_command(session.world, action_codes[action], TICKS, nullptr);
        if (playing() && !hopeless(session.world) && session.world.motion.jump_ctr < 1) {
            done++;
            refused = 0;
        } else {
            session.world = before;
            refused++;
        }
    }
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
        run_command(session.world, code, TICKS, nullptr);
        hint_cancel(session);          // a command taken makes the hint stale, as in play
        if (session.world.level.level_completed)
            return true;
        if (!playing())
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

} // namespace

int main(int argc, char **argv)
{
    int positions = 50, levels = LEVELS_MOST;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 1 : argv[i];
        if (!std::strcmp(a, "-positions") && i + 1 < argc)
            positions = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "-levels") && i + 1 < argc)
            levels = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: hint_bench [--positions N] [--levels N]\n");
            return 2;
        }
    }
    if (positions < 1 || levels < 1 || levels > LEVELS_MOST) {
        std::fprintf(stderr, "usage: hint_bench [--positions N] [--levels N]\n");
        return 2;
    }
    // Only the fixed-point tables of the library are used; nothing is shown or heard.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    display_options = program_start_options;
    display_options.sound_off = true;

    std::printf("hint from positions of random play, %d a level (seed: the level's number):\n",
                positions);
    std::printf("level  positions  median s  95th %% s   most s  commands  no way  not found  right  peak MB  target\n");
    std::vector<double> all;
    std::vector<int> missed;
    int all_right = 0, all_count = 0, all_not_found = 0;
    double all_peak = 0;
    for (int level = 1; level <= levels; level++) {
        if (!read_map(level)) {
            std::fprintf(stderr, "maps/map%02d.txt cannot be read (run from the game directory)\n",
                         level);
            return 1;
        }
        std::mt19937 random((unsigned)level);
        LevelFigures f{level, {}, 0, 0, 0, 0, 0};
        for (int n = 0; n < positions; n++) {
            sample_position(random, (int)(random() % (WALK_LONGEST + 1)));
            position = session.world;
            hint_reset(session);
            int code = 0;
            double searched = 0;
            const auto started = std::chrono::steady_clock::now();
            const HintOutcome outcome = answer(&code, &searched);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            f.seconds.push_back(seconds);
            f.peak_mb = std::max(f.peak_mb, (double)hint_peak_memory(session) / (1 << 20));
            if (outcome == HINT_COMMAND) {
                f.commands++;
                if (follow_hints(code))
                    f.right++;
            } else if (outcome == HINT_NO_WAY) {
                f.no_way++;
                f.right++;      // every state reachable from the position was tried
            } else {
                f.not_found++;
            }
            hint_reset(session);
        }
        const bool level_met = percentile(f.seconds, 0.5) < TARGET_MEDIAN &&
                               percentile(f.seconds, 0.95) < TARGET_P95;
        if (!level_met)
            missed.push_back(level);
        std::printf("%5d  %9d  %8.3f  %8.3f  %7.3f  %8d  %6d  %9d  %5d  %7.1f  %s\n", level,
                    positions, percentile(f.seconds, 0.5), percentile(f.seconds, 0.95),
                    percentile(f.seconds, 1.0), f.commands, f.no_way, f.not_found, f.right,
                    f.peak_mb, met(level_met));
        std::fflush(stdout);
        all.insert(all.end(), f.seconds.begin(), f.seconds.end());
        all_right += f.right;
        all_count += positions;
        all_not_found += f.not_found;
        all_peak = std::max(all_peak, f.peak_mb);
    }
    const double median = percentile(all, 0.5), p95 = percentile(all, 0.95), most = percentile(all, 1.0);
    std::printf("all    %9d  %8.3f  %8.3f  %7.3f  %28s  %5d  %7.1f\n", all_count, median, p95, most,
                "", all_right, all_peak);
    std::printf("targets: on every level a median under %.1f s and a 95th percentile under %.1f s: %s",
                TARGET_MEDIAN, TARGET_P95, met(missed.empty()));
    for (size_t i = 0; i < missed.size(); i++)
        std::printf("%s%d", i == 0 ? " (levels " : ", ", missed[i]);
    std::printf("%s; most %.3f s under %.1f s: %s; right %d of %d (%d not found in time): %s\n",
                missed.empty() ? "" : ")", most, TARGET_MAX, met(most < TARGET_MAX), all_right,
                all_count, all_not_found, met(all_right == all_count));


    return 0;
}
