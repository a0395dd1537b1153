/* level_score.cpp: whether a made level passes the campaign's rules for its size, and how good it
   is among those that do. */
#include "level_score.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/translation.h"

bool level_passes(const SizeRules &rules, const SearchResult &way, const LevelAnalysis &analysis,
                  char *why, size_t why_size)
{
    if (way.outcome != SEARCH_SOLVED)
        std::snprintf(why, why_size, _("not won"));
    else if (way.moves < rules.min_moves || way.moves > rules.max_moves)
        std::snprintf(why, why_size, _("a way of %d moves"), (int)way.moves);
    else if (2 * (int64_t)way.ticks > way.limit_ticks)
        std::snprintf(why, why_size, _("the way takes more than half the limit (%d ticks)"),
                      (int)way.ticks);
    else if (!exploration_passes(rules, analysis, why, why_size))
        return false;
    else if (!analysis.start_delay_wins)
        std::snprintf(why, why_size, _("not won after the start delay"));
    else if (analysis.slowest_rate < ANALYSIS_SLOWEST_RATE)
        std::snprintf(why, why_size, _("not tried at %d ticks a frame"),
                      (int)analysis.slowest_rate + 1);
    else if (!analysis.think_wins || analysis_human_margin(analysis) < LEVEL_HUMAN_MARGIN)
        std::snprintf(why, why_size, _("a human margin under 1.25"));
    else {
        for (int32_t rate = 1; rate <= ANALYSIS_SLOWEST_RATE; rate++)
            if (!analysis.rate_wins[rate]) {
                std::snprintf(why, why_size, _("not won at %d ticks a frame"), (int)rate);
                return false;
            }
        why[0] = '\0';
        return true;
    }
    return false;
}

bool exploration_passes(const SizeRules &rules, const LevelAnalysis &analysis, char *why,
                        size_t why_size)
{
    if (analysis.outcome != SEARCH_SOLVED || !analysis.complete)
        std::snprintf(why, why_size, _("the analysis did not end"));
    else if (analysis.decisions < rules.min_decisions)
        std::snprintf(why, why_size, _("%d decisions"), (int)analysis.decisions);
    else if (analysis.wrong_ways < rules.min_wrong_ways)
        std::snprintf(why, why_size, _("%d wrong ways"), (int)analysis.wrong_ways);
    else if (!rules.traps_allowed && analysis.trap_positions > 0)
        std::snprintf(why, why_size, _("a trap at %d positions"), (int)analysis.trap_positions);
    else
        return true;
    return false;
}

bool way_shows_idea(GeneratorIdea idea, const WayFacts &facts)
{
    const bool pushed = facts.moved[CONTENT_MIBO] + facts.moved[CONTENT_JAR] > 0;
    const bool ran = facts.moved[CONTENT_ZIPPER] > 0;
    const bool chain = facts.blasted[CONTENT_JAR] + facts.blasted[CONTENT_MINE] > 0;
    const bool walked = facts.climbs > 0 && facts.drops > 0;
    const bool dropped = facts.drops > 0;
    switch (idea) {
    case IDEA_WALK: return walked;
    case IDEA_PUSH: return pushed;
    case IDEA_RUNNER: return ran;
    case IDEA_CHAIN: return chain;
    default: return (int)pushed + (int)ran + (int)chain + (int)dropped >= 2;
    }
}

bool start_passes(const StartView &view, char *why, size_t why_size)
{
    why[0] = '\0';
    if (view.ahead && view.squares >= PUZZLE_VIEW_SQUARES && (view.teleport || view.sweet))
        return true;
    // Whole sentences, not one with a piece put in: a translation orders its own words.
    std::snprintf(why, why_size,
                  view.ahead ? _("the start shows %d squares, neither sweet nor teleport")
                             : _("the start shows %d squares, none ahead"),
                  (int)view.squares);
    return false;
}

bool puzzle_passes(GeneratorIdea idea, const SizeRules &rules, const WayFacts &facts,
                   const LevelAnalysis &analysis, const ActorWeights &weights,
                   const StartView &view, char *why, size_t why_size)
{
    if (!start_passes(view, why, why_size))
        return false;
    if (weights.count == 0)
        return idea == IDEA_WALK;
    const int32_t saving = actors_saving(weights);
    const bool one_enough = rules.actors_matter <= 1;
    if (weights.matter < rules.actors_matter &&
        !(one_enough && (weights.matter > 0 || saving == WAY_NONE ||
                         saving >= ANALYSIS_ACTORS_SAVE))) {
        std::snprintf(why, why_size, _("%d actors matter"), (int)weights.matter);
        return false;
    }
    // What the way without each actor is, against the way with it.
    int32_t needed_pushes = 0, timing_runners = 0, needed_mines = 0;
    for (int32_t i = 0; i < weights.count; i++) {
        const ActorWeight &a = weights.actors[i];
        const bool other = changes_the_way(a, weights);
        const bool matters = a.way_without == WAY_NONE || a.way_without == WAY_LONGER;
        if (a.row >= 0 && a.row < PLAN_ROWS && a.column >= 0 && a.column < PLAN_COLUMNS &&
            facts.pushed[a.row][a.column] && other)
            needed_pushes++;
        timing_runners += a.content == CONTENT_ZIPPER && other;
        needed_mines += a.content == CONTENT_MINE && matters;
    }
    if (idea == IDEA_PUSH && needed_pushes < PUZZLE_PUSHES)
        std::snprintf(why, why_size, _("%d pushes needed"), (int)needed_pushes);
    else if (idea == IDEA_PUSH && analysis.wrong_pushes < 1)
        std::snprintf(why, why_size, _("no push is a wrong way"));
    else if (idea == IDEA_RUNNER && (analysis.way_waits < 1 || timing_runners < 1))
        std::snprintf(why, why_size, _("the way waits %d times for %d runners"),
                      (int)analysis.way_waits, (int)timing_runners);
    else if (idea == IDEA_CHAIN && needed_mines < 1)
        std::snprintf(why, why_size, _("no mine needed"));
    else
        return true;
    return false;
}

double level_score(const SizeRules &rules, const SearchResult &way, const LevelAnalysis &analysis,
                   const WayFacts &facts, int32_t squares)
{
    const int32_t decisions = analysis.decisions < 8 ? analysis.decisions : 8;
    const int32_t wrong_ways = analysis.wrong_ways < 10 ? analysis.wrong_ways : 10;
    const double span = rules.max_moves > rules.min_moves ? rules.max_moves - rules.min_moves : 1;
    const double length = (way.moves - rules.min_moves) / span;
    const double used = squares > 0 ? (double)facts.used_squares / squares : 0.0;
    const double touched = facts.actors > 0 ? (double)facts.actors_touched / facts.actors : 1.0;
    // Nearest the aim is best: with the aim at the longest, the longer the better.
    const double aimed = 1.0 - std::fabs(length - rules.aim_length / 100.0);
    return 3.0 * decisions + 1.5 * wrong_ways + 10.0 * analysis_unwinnable_share(analysis) +
           6.0 * aimed + 10.0 * used + 6.0 * touched;
}

namespace {

/* The push phrase whole, each wording a text of its own for the catalogue: [wording][mibos:
   none, one, more][jars: none, one, more][pushed aside, into a pit]. */
const char *const PUSH_PHRASES[3][3][3][2] = {
    {
        {
            {"", ""},
            {N_("push a jar aside"), N_("push a jar into a pit")},
            {N_("push the jars aside"), N_("push the jars into a pit")}
        },
        {
            {N_("push a mibo aside"), N_("push a mibo into a pit")},
            {N_("push a mibo and a jar aside"), N_("push a mibo and a jar into a pit")},
            {N_("push a mibo and the jars aside"), N_("push a mibo and the jars into a pit")}
        },
        {
            {N_("push the mibos aside"), N_("push the mibos into a pit")},
            {N_("push the mibos and a jar aside"), N_("push the mibos and a jar into a pit")},
            {N_("push the mibos and the jars aside"), N_("push the mibos and the jars into a pit")}
        }
    },
    {
        {
            {"", ""},
            {N_("shove a jar aside"), N_("shove a jar into a pit")},
            {N_("shove the jars aside"), N_("shove the jars into a pit")}
        },
        {
            {N_("shove a mibo aside"), N_("shove a mibo into a pit")},
            {N_("shove a mibo and a jar aside"), N_("shove a mibo and a jar into a pit")},
            {N_("shove a mibo and the jars aside"), N_("shove a mibo and the jars into a pit")}
        },
        {
            {N_("shove the mibos aside"), N_("shove the mibos into a pit")},
            {N_("shove the mibos and a jar aside"), N_("shove the mibos and a jar into a pit")},
            {N_("shove the mibos and the jars aside"), N_("shove the mibos and the jars into a pit")}
        }
    },
    {
        {
            {"", ""},
            {N_("nudge a jar aside"), N_("nudge a jar into a pit")},
            {N_("nudge the jars aside"), N_("nudge the jars into a pit")}
        },
        {
            {N_("nudge a mibo aside"), N_("nudge a mibo into a pit")},
            {N_("nudge a mibo and a jar aside"), N_("nudge a mibo and a jar into a pit")},
            {N_("nudge a mibo and the jars aside"), N_("nudge a mibo and the jars into a pit")}
        },
        {
            {N_("nudge the mibos aside"), N_("nudge the mibos into a pit")},
            {N_("nudge the mibos and a jar aside"), N_("nudge the mibos and a jar into a pit")},
            {N_("nudge the mibos and the jars aside"), N_("nudge the mibos and the jars into a pit")}
        }
    }
};

} // namespace

void word_idea(LevelPlan &plan, const WayFacts &facts, const LevelAnalysis &analysis,
               const ActorWeights *weights, int32_t variant)
{
    char phrases[6][64];
    int32_t count = 0;
    // Each phrase has three wordings; the level's variant picks one for each in turn, as digits,
    // so that the levels of a set (their variants dealt apart) seldom share a line.
    int32_t digits = variant < 0 ? 0 : variant;
    auto wording = [&digits]() {
        const int32_t d = digits % 3;
        digits /= 3;
        return d;
    };
    auto pick = [&wording](const char *a, const char *b, const char *c) {
        const int32_t d = wording();
        return d == 0 ? a : d == 1 ? b : c;
    };
    // An actor's kind is named when one of them changes the way: without it the level cannot
    // be won, or its way is longer or shorter. A mibo brushed aside on the way changes nothing.
    auto matters = [weights](int32_t content) {
        if (!weights)
            return true;
        for (int32_t i = 0; i < weights->count; i++) {
            if (weights->actors[i].content == content &&
                changes_the_way(weights->actors[i], *weights))
                return true;
        }
        return false;
    };
    const int32_t mibos = matters(CONTENT_MIBO) ? facts.moved[CONTENT_MIBO] : 0;
    const int32_t jars = matters(CONTENT_JAR) ? facts.moved[CONTENT_JAR] : 0;
    const int32_t sunk = (mibos ? facts.sunk[CONTENT_MIBO] : 0) + (jars ? facts.sunk[CONTENT_JAR] : 0);
    const int32_t blasts = matters(CONTENT_JAR) || matters(CONTENT_MINE) ?
                               facts.blasted[CONTENT_JAR] + facts.blasted[CONTENT_MINE] : 0;
    // The idea line goes into the map in English: the game shows it in the player's language
    // phrase by phrase (translated_idea), so each phrase is a whole text of the catalogue.
    if (mibos + jars > 0) {
        const int32_t w = wording(), m = mibos > 1 ? 2 : mibos, j = jars > 1 ? 2 : jars;
        std::snprintf(phrases[count++], sizeof phrases[0], "%s", PUSH_PHRASES[w][m][j][sunk ? 1 : 0]);
    }
    if (blasts > 0)
        std::snprintf(phrases[count++], sizeof phrases[0], "%s",
                      blasts > 1 ? pick(N_("stand clear of the chain"), N_("let the chain clear the way"),
                                        N_("keep back from the chain"))
                                 : pick(N_("stand clear of the blast"), N_("let the blast clear the way"),
                                        N_("keep back from the blast")));
    if (facts.moved[CONTENT_ZIPPER] > 0 && matters(CONTENT_ZIPPER))
        std::snprintf(phrases[count++], sizeof phrases[0], "%s",
                      facts.idle > 0 ? pick(N_("let the runner pass"), N_("wait for the runner"),
                                            N_("give the runner time"))
                                     : pick(N_("mind the runner"), N_("watch the runner"),
                                            N_("keep out of the runner's lane")));
    if (facts.drops > 0)
        std::snprintf(phrases[count++], sizeof phrases[0], "%s",
                      analysis.decisions > 0 ? pick(N_("some drops are one way"),
                                                    N_("look before you drop"),
                                                    N_("not every drop comes back"))
                                             : pick(N_("drop where you must"), N_("drop down"),
                                                    N_("take the drop")));
    if (facts.climbs > 0)
        std::snprintf(phrases[count++], sizeof phrases[0], "%s",
                      pick(N_("climb two at most"), N_("climb a step or two at a time"),
                           N_("no climb is over two")));
    char sweets[32];
    if (facts.sweets == 1)
        std::snprintf(sweets, sizeof sweets, "%s", pick(N_("eat the sweet"), N_("take the sweet"),
                                                        N_("pick up the sweet")));
    else
        std::snprintf(sweets, sizeof sweets, pick(N_("eat the %d sweets"), N_("gather the %d sweets"),
                                                  N_("collect all %d sweets")),
                      (int)facts.sweets);
    // The first line holds "Tirvex level NN: " and the idea in 78 characters; the sweets, last,
    // always find room, what the way does first.
    char prefix[32];
    const int prefix_length = std::snprintf(prefix, sizeof prefix, "Tirvex level %d: ",
                                            (int)plan.number);
    const size_t room = (size_t)(78 - prefix_length) - (std::strlen(sweets) + 2);
    plan.idea[0] = '\0';
    for (int32_t i = 0; i < count; i++) {
        const size_t have = std::strlen(plan.idea);
        const size_t need = std::strlen(phrases[i]) + (have ? 2 : 0);
        if (have + need > room)
            continue;
        if (have)
            std::strcat(plan.idea, ", ");
        std::strcat(plan.idea, phrases[i]);
    }
    if (plan.idea[0])
        std::strcat(plan.idea, ", ");
    std::strcat(plan.idea, sweets);
}

int32_t level_difficulty(const SearchResult &way, const LevelAnalysis &analysis,
                         const ActorWeights *weights)
{
    const int32_t decisions = analysis.decisions < 8 ? analysis.decisions : 8;
    const int32_t wrong_ways = analysis.wrong_ways < 5 ? analysis.wrong_ways : 5;
    const int32_t matter = weights ? weights->matter : 0;
    return way.moves + way.waits + 2 * decisions + 4 * wrong_ways + 5 * matter;
}
