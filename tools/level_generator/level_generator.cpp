/* level_generator.cpp: makes a level of an idea and size from a seed, keeping the best of those
   that pass. */
#include "level_generator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "level_gadgets.h"
#include "level_pruning.h"
#include "level_score.h"
#include "route_tour.h"
#include "base/translation.h"
#include "search/map_validation.h"

namespace {

const int64_t MEGABYTE = 1024 * 1024;
const int64_t SEARCH_MEMORY = 160 * MEGABYTE;     /* with the analysis's, well under 512 MB */
/* An analysis that needs more is of a level too wide to keep: bounding it bounds the time an
   attempt takes, by positions held rather than by the clock. */
const int64_t ANALYSIS_MEMORY = 64 * MEGABYTE;

/* The wordings of an idea line told apart by word_idea: three phrases of three. */
const int32_t VARIANTS = 27;

/* Shapes drawn for one attempt at most before it is given up as having no room. */
const int32_t SHAPE_DRAWS = 40;

/* Whether a level whose shortest tour on the bare shape is `tour` steps is likely to have a
   way of the size's moves: the way takes at least the tour's steps, and mostly a few turns
   more, rarely many; a tour a fifth short of the fewest moves is made up by its turns (the
   last levels of a set, their windows high, had no tour that reached them). */
bool tour_fits(const SizeRules &rules, int32_t tour)
{
    // Through a small level's gate the way turns nearly as often as it steps; elsewhere it takes
    // five commands more than its tour or more (five to eight in 24 large push levels), and a
    // tour shorter than that only costs a search that finds the way too short.
    const int32_t fewest = rules.gated_min_moves > 0 ? rules.min_moves / 2 : rules.min_moves - 5;
    return tour >= fewest && tour <= rules.max_moves * 9 / 10;
}

/* The stream of one attempt: the seed, the idea, the size, the level of the set and the attempt
   name it alone. The idea and size are in it so that one seed's levels of two ideas are not
   one shape with other actors. */
GeneratorRandom attempt_random(const GeneratorRequest &request, int32_t attempt)
{
    const uint64_t kind = (uint64_t)request.idea * SIZE_COUNT + (uint64_t)request.size;
    return random_start(request.seed, (kind << 40) | ((uint64_t)request.level_index << 20) |
                                          (uint64_t)attempt);
}

void note_memory(GeneratedLevel *level, int64_t bytes)
{
    if (bytes > level->peak_memory)
        level->peak_memory = bytes;
}

/* Makes `trial` the level kept, keeping the request's own tallies: the attempts, the passes, the
   states searched and the most memory held. */
void keep_trial(GeneratedLevel *level, const GeneratedLevel &trial)
{
    const int32_t attempts = level->attempts, passed = level->passed;
    const int64_t states = level->states, peak = level->peak_memory;
    *level = trial;
    level->found = true;
    level->attempts = attempts;
    level->passed = passed;
    level->states = states;
    level->peak_memory = peak;
}

/* The first stage of a proof: writes the plan's text into *level and reads its start, which
   costs no search. False, with the reason, when the map does not fit, draws faults or warnings,
   or its start does not pass. */
bool write_plan(const LevelPlan &plan, GeneratedLevel *level, char *why, size_t why_size)
{
    why[0] = '\0';
    level->length = plan_write_text(plan, level->text, sizeof level->text);
    if (level->length == 0) {
        std::snprintf(why, why_size, _("the map does not fit its text"));
        return false;
    }
    static ValidationReport report;
    validate_map(level->text, level->length, &report);
    if (report.faults > 0 || report.warnings > 0) {
        std::snprintf(why, why_size, _("the map draws %d faults and %d warnings"),
                      (int)report.faults, (int)report.warnings);
        return false;
    }
    return read_start_view(level->text, &level->view) && start_passes(level->view, why, why_size);
}

/* Searches the shortest way of the level *level holds, within the size's states, and plays it
   again for its facts: true when it is of the size's moves and shows the idea. */
bool search_way(const LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules, int32_t jobs,
                GeneratedLevel *level, char *why, size_t why_size)
{
    // A way longer than the size's is no use, waits included up to a wait a move.
    SearchLimits limits{GENERATOR_TICKS_PER_FRAME, rules.state_limit, 2 * rules.max_moves + 20,
                        SEARCH_MEMORY, jobs > 1 ? 1 : 0};
    search_level(level->text, limits, &level->way);
    level->states += level->way.states;
    if (level->way.outcome != SEARCH_SOLVED) {
        std::snprintf(why, why_size,
                      level->way.outcome == SEARCH_NO_SOLUTION
                          ? _("no way found in %lld states, all there are")
                          : _("no way found in %lld states"),
                      (long long)level->way.states);
        return false;
    }
    if (level->way.moves < rules.min_moves || level->way.moves > rules.max_moves) {
        std::snprintf(why, why_size, _("a way of %d moves in %lld states"), (int)level->way.moves,
                      (long long)level->way.states);
        return false;
    }
    if (!read_way_facts(plan, level->text, level->way, GENERATOR_TICKS_PER_FRAME, &level->facts)) {
        std::snprintf(why, why_size, _("the way does not win when played again"));
        return false;
    }
    if (!way_shows_idea(idea, level->facts)) {
        std::snprintf(why, why_size, _("the way does not show the idea"));
        return false;
    }
    return true;
}

/* Explores the level *level holds, alone, and checks what the exploration decides: most levels
   that fail, fail on its decisions, wrong ways or traps, and are spared the searches at the
   other rates, after a delay and at a human pace. */
bool explore_way(GeneratorIdea idea, const SizeRules &rules, int32_t jobs, GeneratedLevel *level,
                 char *why, size_t why_size)
{
    AnalysisLimits explore_limits{GENERATOR_TICKS_PER_FRAME, ANALYSIS_MEMORY, -1, 0, nullptr,
                                  jobs > 1 ? 2 : 1, -1};
    if (!analyse_level(level->text, explore_limits, &level->analysis)) {
        std::snprintf(why, why_size, _("the analysis found the map invalid"));
        return false;
    }
    level->states += level->analysis.positions;
    note_memory(level, level->analysis.peak_memory);
    if (!exploration_passes(rules, level->analysis, why, why_size))
        return false;
    // The push's wrong way is read off the exploration: a level without one is spared the rest.
    if (idea == IDEA_PUSH && rules.puzzles && level->analysis.wrong_pushes < 1) {
        std::snprintf(why, why_size, _("no push is a wrong way"));
        return false;
    }
    return true;
}

/* Takes away the squares the level's way has no use for (prune_plan), and searches and reads
   the way again on the level so pruned: what is analysed is then the level as it will be kept,
   over fewer squares. Keeps the plan and *level as they were when nothing is taken, when the
   pruned level is not apart from `earlier` (nullptr for no set), or when its start or way is
   not what the proof has found so far: the same moves, played again to a win, showing the
   idea. Returns the squares taken away. */
int32_t prune_level(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules, int32_t jobs,
                    const SetFootprints *earlier, GeneratedLevel *level)
{
    LevelPlan pruned = plan;
    const int32_t removed = prune_plan(pruned, level->facts);
    if (removed == 0 || (earlier && rules.keep_apart && !set_apart(pruned, *earlier)))
        return 0;
    auto trial = std::make_unique<GeneratedLevel>();
    trial->length = plan_write_text(pruned, trial->text, sizeof trial->text);
    char why[128];
    if (trial->length == 0 || !read_start_view(trial->text, &trial->view) ||
        !start_passes(trial->view, why, sizeof why))
        return 0;
    const SearchLimits limits{GENERATOR_TICKS_PER_FRAME, rules.state_limit, 2 * rules.max_moves + 20,
                              SEARCH_MEMORY, jobs > 1 ? 1 : 0};
    search_level(trial->text, limits, &trial->way);
    level->states += trial->way.states;
    if (trial->way.outcome != SEARCH_SOLVED || trial->way.moves != level->way.moves ||
        !read_way_facts(pruned, trial->text, trial->way, GENERATOR_TICKS_PER_FRAME, &trial->facts) ||
        !way_shows_idea(idea, trial->facts))
        return 0;
    std::memcpy(level->text, trial->text, sizeof level->text);
    level->length = trial->length;
    level->view = trial->view;
    level->way = trial->way;
    level->facts = trial->facts;
    plan = pruned;
    return removed;
}

/* Whether the proof asks of `actor` its way without it whatever the level's way shows: a mibo
   or jar the way pushes (a push the way cannot do without) and a runner (whose timing may
   decide) are weighed by a search each; the others only when the way does not win without them
   (WeighShortcut). */
bool weighed_exactly(const ActorWeight &actor, const void *context)
{
    const WayFacts &facts = *(const WayFacts *)context;
    const bool on_plan = actor.row >= 0 && actor.row < PLAN_ROWS && actor.column >= 0 &&
                         actor.column < PLAN_COLUMNS;
    return actor.content == CONTENT_ZIPPER || (on_plan && facts.pushed[actor.row][actor.column]);
}

/* The last stages of prove_plan, for the level *level holds, explored and passed up to there:
   the searches after a delay, at the other rates and at a human pace, the size's rules, then
   its actors weighed and whether it is a puzzle of its idea. */
bool finish_proof(GeneratorIdea idea, const SizeRules &rules, int32_t jobs, GeneratedLevel *level,
                  char *why, size_t why_size)
{
    AnalysisLimits pace_limits{GENERATOR_TICKS_PER_FRAME, ANALYSIS_MEMORY, ANALYSIS_START_DELAY,
                               ANALYSIS_SLOWEST_RATE, nullptr, jobs > 1 ? 2 : 1,
                               ANALYSIS_THINK_TICKS};
    analyse_pace(level->text, pace_limits, &level->way, &level->analysis);
    if (!level_passes(rules, level->way, level->analysis, why, why_size))
        return false;
    // Each search of the level without one actor is no longer than its way.
    level->weights = ActorWeights{};
    if (level->facts.actors > 0 && rules.puzzles) {
        const SearchLimits weighing{GENERATOR_TICKS_PER_FRAME, rules.state_limit, SEARCH_MAX_STEPS,
                                    SEARCH_MEMORY, jobs > 1 ? 1 : 0};
        const WeighShortcut shortcut{&level->way, weighed_exactly, &level->facts};
        if (!weigh_actors(level->text, weighing, level->analysis.shortest, false, &level->weights,
                          &shortcut)) {
            std::snprintf(why, why_size, _("the actors could not be weighed"));
            return false;
        }
        level->states += level->weights.states;
    }
    return !rules.puzzles || puzzle_passes(idea, rules, level->facts, level->analysis,
                                           level->weights, level->view, why, why_size);
}

/* Prunes `plan` of the squares its way (`facts`) has no use for and proves the pruned level
   whole, kept apart from the set's earlier levels: fills *pruned (its plan, proof, states and
   squares_pruned) and returns true when the pruned level passes in its own right. */
bool prove_pruned(const LevelPlan &plan, const WayFacts &facts, const GeneratorRequest &request,
                  const SizeRules &rules, GeneratedLevel *pruned)
{
    pruned->states = 0;
    pruned->peak_memory = 0;
    pruned->squares_pruned = 0;
    pruned->plan = plan;
    const int32_t removed = prune_plan(pruned->plan, facts);
    char why[128];
    // Explored before it is searched: the pruning mostly cuts short the side roads its wrong
    // ways took (most large push levels' and some of the other ideas'), which the exploration
    // finds, and its way is the one already found, which the search would only find again.
    if (removed == 0 ||
        (request.earlier && rules.keep_apart && !set_apart(pruned->plan, *request.earlier)) ||
        !write_plan(pruned->plan, pruned, why, sizeof why) ||
        !explore_way(request.idea, rules, request.jobs, pruned, why, sizeof why) ||
        !search_way(pruned->plan, request.idea, rules, request.jobs, pruned, why, sizeof why) ||
        !finish_proof(request.idea, rules, request.jobs, pruned, why, sizeof why))
        return false;
    pruned->squares_pruned = removed;
    return true;
}

} // namespace

int32_t first_name_word(const GeneratorRequest &request)
{
    int32_t deck[NAME_FIRST_WORDS];
    for (int32_t i = 0; i < NAME_FIRST_WORDS; i++)
        deck[i] = i;
    // A stream of its own (no attempt's has the top bit), the same for every level of the set.
    const uint64_t kind = (uint64_t)request.idea * SIZE_COUNT + (uint64_t)request.size;
    GeneratorRandom random = random_start(request.seed, (uint64_t)1 << 63 | kind << 40);
    for (int32_t i = NAME_FIRST_WORDS - 1; i > 0; i--) {
        const int32_t j = random_between(random, 0, i);
        const int32_t card = deck[i];
        deck[i] = deck[j];
        deck[j] = card;
    }
    return deck[request.level_index % NAME_FIRST_WORDS];
}

bool prove_plan(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules, int32_t jobs,
                GeneratedLevel *level, char *why, size_t why_size, bool prune,
                const SetFootprints *earlier, bool finish)
{
    level->squares_pruned = 0;
    if (!write_plan(plan, level, why, why_size) ||
        !search_way(plan, idea, rules, jobs, level, why, why_size))
        return false;
    if (prune)
        level->squares_pruned = prune_level(plan, idea, rules, jobs, earlier, level);
    return explore_way(idea, rules, jobs, level, why, why_size) &&
           (!finish || finish_proof(idea, rules, jobs, level, why, why_size));
}

bool generate_level(const GeneratorRequest &request, GeneratedLevel *level)
{
    const auto started = std::chrono::steady_clock::now();
    SizeRules rules = set_level_rules(request.size, request.idea, request.level_index);
    // The forms in turn through a set, from one the seed picks: no two levels running are cut
    // alike. A walk keeps to the field: its sweets are spread, not measured out along a
    // route, and in a cut form they mostly lie too near for its way.
    if (request.idea != IDEA_WALK)
        rules.form = (int32_t)((request.seed + (uint64_t)request.level_index) % SHAPE_FORMS);
    std::memset(level, 0, sizeof *level);
    auto trial = std::make_unique<GeneratedLevel>();
    char why[128];
    bool pruning_tried = false;     /* the level kept was proven pruned in its attempt */
    for (int32_t attempt = 0; attempt < rules.attempts && level->passed < rules.keep_after;
         attempt++) {
        level->attempts++;
        // A form with no level in a quarter of the attempts gives way to the open field, and
        // a push level's side door with none in half to no door where traps may be left (its
        // gate has a wrong push of its own; a small gate has none): the level is made in its
        // time, if not as drawn.
        if (attempt == rules.attempts / 4 && level->passed == 0)
            rules.form = FORM_FIELD;
        if (attempt == rules.attempts / 2 && level->passed == 0 && rules.traps_allowed)
            rules.side_door = false;
        GeneratorRandom random = attempt_random(request, attempt);
        LevelPlan plan;
        PlanRoute route;
        bool placed = false, apart = true, door = true;
        int32_t tour = -1, wrong_ways = 0;
        // A level with actors is drawn again, from the attempt's stream, until its shortest
        // tour fits the size's moves, the thinning kept the size's wrong ways and it is apart
        // from the set's earlier levels: the draws cost no search, the proofs do.
        const bool thinned = request.idea != IDEA_WALK && rules.max_route > 0;
        for (int32_t draw = 0; draw < (thinned ? SHAPE_DRAWS : 1) && !placed; draw++) {
            plan_clear(plan, 1, 1);
            plan.number = request.number;
            shape_plan(plan, request.idea, rules, random);
            placed = place_actors(plan, request.idea, rules, random, &route);
            if (placed && thinned) {
                wrong_ways = 0;
                thin_plan(plan, route, rules, random, &wrong_ways);
                tour = shortest_tour(plan);
                // A push level's road has a mibo to push the right way, for a wrong way of its
                // idea: the gate's pushes are forced. The step round it lengthens the way.
                const bool wanted = request.idea == IDEA_PUSH && rules.side_door;
                door = !wanted || build_side_door(plan, route, !rules.traps_allowed, random);
                tour += wanted ? SIDE_DOOR_DETOUR : 0;
                // A door with a second road round it is a wrong way of its own.
                if (wanted && door && !rules.traps_allowed)
                    wrong_ways = std::max(wrong_ways, rules.min_wrong_ways);
                placed = door && tour_fits(rules, tour) && wrong_ways >= rules.min_wrong_ways;
            } else if (placed) {
                // A walk is not thinned, nor drawn again, but its tour still rules out before
                // any search a level with no walk, or one whose moves miss the size's: with
                // nothing in the robot's way it strafes rather than turns, and its shortest
                // way is the tour's steps, no more.
                tour = shortest_tour(plan);
                placed = tour >= rules.min_moves && tour <= rules.max_moves;
            }
            apart = !placed || !request.earlier || !rules.keep_apart ||
                    set_apart(plan, *request.earlier);
            placed = placed && apart;
        }
        if (placed)
            face_the_view(plan);
        name_plan(plan, request.idea, first_name_word(request), random);
        // A theme a level, dealt with its name: the levels of a set are not all one place.
        plan.theme = 1 + first_name_word(request) % PLAN_THEMES;
        trial->states = 0;
        trial->peak_memory = 0;
        if (!apart)
            std::snprintf(why, sizeof why, _("over half its squares where a level before has one"));
        else if (!placed && !door)
            std::snprintf(why, sizeof why, _("no room for a side door"));
        else if (!placed && thinned && wrong_ways < rules.min_wrong_ways)
            std::snprintf(why, sizeof why, _("%d wrong ways on the road"), (int)wrong_ways);
        else if (!placed && tour >= 0)
            std::snprintf(why, sizeof why, _("a tour of %d steps"), (int)tour);
        else if (!placed)
            std::snprintf(why, sizeof why, _("no room on the shape for the sweets and actors"));
        // A walk is pruned before it is analysed, the most costly part of a proof, which then
        // costs less over fewer squares: its wrong ways are the drops beside its way, which the
        // pruning keeps. The other ideas' are side roads the pruning would cut short: they are
        // analysed whole, and the best pruned once kept.
        const bool prune = request.idea == IDEA_WALK;
        // Where the first level to pass is the one kept, it is proven pruned once explored, and
        // the level as drawn is searched at the other paces and has its actors weighed (the
        // most costly searches of its proof) only when the pruned one does not pass.
        const bool first_kept = !prune && rules.keep_after == 1 && rules.puzzles;
        bool passes = placed && prove_plan(plan, request.idea, rules, request.jobs, trial.get(),
                                           why, sizeof why, prune, request.earlier, !first_kept);
        if (passes && first_kept) {
            pruning_tried = true;
            auto pruned = std::make_unique<GeneratedLevel>();
            if (prove_pruned(plan, trial->facts, request, rules, pruned.get())) {
                pruned->states += trial->states;
                pruned->peak_memory = std::max(pruned->peak_memory, trial->peak_memory);
                plan = pruned->plan;
                *trial = *pruned;
            } else {
                trial->states += pruned->states;
                trial->peak_memory = std::max(pruned->peak_memory, trial->peak_memory);
                passes = finish_proof(request.idea, rules, request.jobs, trial.get(), why,
                                      sizeof why);
            }
        }
        level->states += trial->states;
        note_memory(level, trial->peak_memory);
        if (passes) {
            level->passed++;
            trial->plan = plan;
            // Scored as it will be once pruned: the pruning and its proof are spent on the
            // best alone.
            LevelPlan pruned = plan;
            prune_plan(pruned, trial->facts);
            trial->score = level_score(rules, trial->way, trial->analysis, trial->facts,
                                       plan_square_count(pruned));
            if (!level->found || trial->score > level->score)
                keep_trial(level, *trial);
        }
        if (request.progress)
            request.progress(request.context, level->attempts, level->passed, passes ? "" : why);
    }
    if (level->found && level->squares_pruned == 0 && !pruning_tried) {
        if (prove_pruned(level->plan, level->facts, request, rules, trial.get()))
            keep_trial(level, *trial);
        level->states += trial->states;
        note_memory(level, trial->peak_memory);
    }
    if (level->found) {
        level->score = level_score(rules, level->way, level->analysis, level->facts,
                                   plan_square_count(level->plan));
        // The idea line names only the actors the way cannot do without, as the proof weighed
        // them on the level as it is written (weighed here where the proof did not).
        bool weighed = level->weights.count > 0;
        if (level->facts.actors > 0 && !weighed) {
            const SearchLimits limits{GENERATOR_TICKS_PER_FRAME, rules.state_limit,
                                      SEARCH_MAX_STEPS, SEARCH_MEMORY, request.jobs > 1 ? 1 : 0};
            const WeighShortcut shortcut{&level->way, weighed_exactly, &level->facts};
            weighed = weigh_actors(level->text, limits, level->way.moves + level->way.waits, false,
                                   &level->weights, &shortcut);
            level->states += level->weights.states;
        }
        // Worded as the level's dealt word says, or, when a level before it in the set has
        // that line, the first other wording none has.
        const int32_t word = first_name_word(request);
        for (int32_t other = 0; other < VARIANTS; other++) {
            word_idea(level->plan, level->facts, level->analysis,
                      weighed ? &level->weights : nullptr, (word + other) % VARIANTS);
            if (!request.earlier || !footprints_have_idea(*request.earlier, level->plan.idea))
                break;
            if (other == VARIANTS - 1)
                word_idea(level->plan, level->facts, level->analysis,
                          weighed ? &level->weights : nullptr, word);
        }
        level->difficulty = level_difficulty(level->way, level->analysis,
                                             weighed ? &level->weights : nullptr);
        // Its landmark last, once the pruning has had the level: the robot never reaches it.
        raise_landmark(level->plan, rules.keep_apart ? request.earlier : nullptr);
        level->length = plan_write_text(level->plan, level->text, sizeof level->text);
    }
    level->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return level->found;
}
