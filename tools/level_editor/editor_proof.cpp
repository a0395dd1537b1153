/* editor_proof.cpp: the editor's proof, a slice at a time, and the report that explains it. */
#include "base/translation.h"
#include "editor_proof.h"

#include <cstdio>

#include "level_analysis.h"

namespace {

LevelSearch *search = search_create();   /* the proof's search, run a slice a frame */

/* The level checker's defaults: the same search over the same states. */
const SearchLimits PROOF_LIMITS{2, 4000000, 600, 256LL << 20, 1};
const int64_t ANALYSIS_MEMORY = 2 * PROOF_LIMITS.memory_limit;

struct Proof {
    ProofState state;
    SearchOutcome outcome;
    int64_t states;
    std::string summary;            /* what the proof said at its end */
    SearchNearest nearest;
    bool analysed;
};

Proof proof{PROOF_NONE, SEARCH_IDLE, 0, "", {}, false};
SearchResult way;                   /* some 16 KB, kept off the stack */
LevelAnalysis analysis;             /* larger still */

/* How near the robot came to the teleport, in a designer's words. */
std::string teleport_words(const SearchNearest &n)
{
    char text[160];
    if (n.teleport_distance < 0)
        return _("there is no teleport");
    if (n.open_distance >= 0)
        std::snprintf(text, sizeof text, _("with every sweet eaten the robot comes within %d squares of "
                      "the teleport"), (int)n.open_distance);
    else
        std::snprintf(text, sizeof text, _("the robot comes within %d squares of the teleport, never "
                      "with every sweet eaten"), (int)n.teleport_distance);
    return text;
}

/* What the search came nearest to, in a designer's words: the sweets, the first one never
   reached, the teleport. */
std::string nearest_words(const SearchNearest &n)
{
    char text[160];
    std::snprintf(text, sizeof text, _("at most %d of the %d sweets eaten"), (int)n.most_eaten, (int)n.sweets);
    std::string words = text;
    for (int i = 0; i < n.sweets && i < SEARCH_SWEETS_FOLLOWED; i++) {
        if (!(n.eaten >> i & 1)) {
            std::snprintf(text, sizeof text, _("; the sweet on %d,%d is never reached"),
                          (int)n.sweet_column[i], (int)n.sweet_row[i]);
            words += text;
            break;
        }
    }
    return words + "; " + teleport_words(n);
}

void add_line(void *page, const char *text, bool indented)
{
    page_add((TextPage *)page, text, indented ? 4 : 2);
}

} // namespace

std::string proof_start(const std::string &map_text)
{
    proof_forget();
    if (search_start(*search, map_text.data(), map_text.size(), PROOF_LIMITS) != SEARCH_RUNNING)
        return _("cannot prove a level with faults (F3 lists them)");
    proof.state = PROOF_RUNNING;
    return _("proving...");
}

std::string proof_slice(int ms)
{
    if (proof.state != PROOF_RUNNING)
        return proof.summary;
    const SearchOutcome outcome = search_run(*search, INT64_MAX, ms);
    SearchProgress p;
    search_progress(*search, &p);
    char text[400];
    if (outcome == SEARCH_RUNNING) {
        std::snprintf(text, sizeof text, _("proving: %lld states, depth %d (Esc stops; other keys wait)"),
                      (long long)p.states, (int)p.depth);
        return text;
    }
    const bool replayed = search_solution(*search, &way);
    search_nearest(*search, &proof.nearest);
    search_end(*search);
    proof.outcome = outcome;
    proof.states = p.states;
    proof.state = outcome == SEARCH_SOLVED && replayed ? PROOF_WON : PROOF_NOT_WON;
    switch (outcome) {
    case SEARCH_SOLVED:
        if (replayed)
            std::snprintf(text, sizeof text, _("won in %d moves and %d waits, %.2f s of the %d s limit "
                          "(%lld states); A explains, W shows it"), (int)way.moves, (int)way.waits,
                          way.ticks / 100.0, (int)(way.limit_ticks / 100), (long long)p.states);
        else
            std::snprintf(text, sizeof text, _("found a way that did not replay (%lld states)"),
                          (long long)p.states);
        break;
    case SEARCH_NO_SOLUTION:
        std::snprintf(text, sizeof text, _("cannot be won: no way among all %lld states: %s"),
                      (long long)p.states, nearest_words(proof.nearest).c_str());
        break;
    case SEARCH_STATE_LIMIT:
    case SEARCH_DEPTH_LIMIT:
    case SEARCH_MEMORY_LIMIT:
        std::snprintf(text, sizeof text, _("no way found within the %s limit (%lld states): %s"),
                      outcome == SEARCH_STATE_LIMIT ? _("state") :
                      outcome == SEARCH_DEPTH_LIMIT ? _("depth") : _("memory"),
                      (long long)p.states, nearest_words(proof.nearest).c_str());
        break;
    default:
        std::snprintf(text, sizeof text, _("proof stopped"));
        break;
    }
    proof.summary = text;
    return proof.summary;
}

void proof_cancel()
{
    if (proof.state == PROOF_RUNNING)
        search_cancel(*search);
    search_end(*search);
    proof_forget();
}

void proof_forget()
{
    if (proof.state == PROOF_RUNNING)
        search_end(*search);
    proof = Proof{PROOF_NONE, SEARCH_IDLE, 0, "", {}, false};
}

ProofState proof_state()
{
    return proof.state;
}

const SearchResult &proof_way()
{
    return way;
}

std::string proof_way_refusal()
{
    switch (proof.state) {
    case PROOF_NONE: return _("no way to show: prove the level first (F5)");
    case PROOF_RUNNING: return _("no way to show yet: the proof is running");
    case PROOF_NOT_WON: return _("no way to show: the proof found none (A says how near it came)");
    default: return "";
    }
}

void proof_report(TextPage *page, const std::string &map_text,
                  void (*progress)(const char *stage, int64_t positions))
{
    page_begin(page, _("The proof (A)"));
    if (proof.state == PROOF_NONE || proof.state == PROOF_RUNNING) {
        page_add(page, proof.state == PROOF_NONE ? _("No proof yet: F5 proves the level, and this page "
                 "then explains what it found.") : _("The proof is still running."));
        return;
    }
    page_add(page, proof.summary);
    if (proof.state != PROOF_WON) {
        page_add(page, "");
        page_add(page, _("How near the search came, over every position it reached:"));
        char text[200];
        std::snprintf(text, sizeof text, _("- sweets eaten: at most %d of %d"), (int)proof.nearest.most_eaten,
                      (int)proof.nearest.sweets);
        page_add(page, text, 4);
        for (int i = 0; i < proof.nearest.sweets && i < SEARCH_SWEETS_FOLLOWED; i++) {
            std::snprintf(text, sizeof text, _("- the sweet on %d,%d: %s"), (int)proof.nearest.sweet_column[i],
                          (int)proof.nearest.sweet_row[i],
                          proof.nearest.eaten >> i & 1 ? _("eaten") : _("never reached"));
            page_add(page, text, 4);
        }
        page_add(page, "- " + teleport_words(proof.nearest), 4);
        return;
    }
    page_add(page, "");
    page_add(page, _("The way found, as the keys a player presses (the robot's square after each that "
             "moves it):"));
    describe_way(way, add_line, page);
    page_add(page, "");
    if (!proof.analysed) {
        AnalysisLimits limits{PROOF_LIMITS.ticks_per_frame, ANALYSIS_MEMORY, ANALYSIS_START_DELAY,
                              ANALYSIS_SLOWEST_RATE, progress};
        limits.think_ticks = ANALYSIS_THINK_TICKS;     // the pace the shipped levels are held to
        proof.analysed = analyse_level(map_text.c_str(), limits, &analysis);
    }
    if (!proof.analysed) {
        page_add(page, _("fairness: the analysis could not be run"));
        return;
    }
    page_add(page, _("Fairness to a human:"));
    describe_analysis(analysis, ANALYSIS_MEMORY, add_line, page);
    page_add(page, "");
    page_add(page, _("A decision is a position on the shortest way where another command loses the "
             "level; a wrong way one where another command costs 6 or more extra; a trap a command "
             "after which the level can no longer be won although the game says nothing. The start "
             "delay, the frame rates and the clock margin say whether a player who looks first, a "
             "slow machine or a slow player still wins."));
}
