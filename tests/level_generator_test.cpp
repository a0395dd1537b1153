/* level_generator_test.cpp: the level generator's stages on small cases: its random numbers,
   the map text of a plan, the shape and the placing, the facts read from a way, the pruning,
   the rules and the score, and a whole level made twice from one seed. */
#include <gtest/gtest.h>

#include <allegro.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "level_generator.h"
#include "level_pruning.h"
#include "level_score.h"
#include "route_tour.h"
#include "search/map_validation.h"

namespace {

void start_library()
{
    if (!system_driver)
        install_allegro(SYSTEM_NONE, &errno, atexit);
}

/* A plan drawn row by row: each cell two characters, a height digit (or '-' for no square) and
   what stands there: '.' nothing, 'P' start (facing +x), 'T' teleport, 'S' sweet, 'M' mibo,
   'J' jar, 'X' mine. */
LevelPlan drawn_plan(std::initializer_list<const char *> rows)
{
    LevelPlan plan;
    const int32_t columns = (int32_t)std::strlen(*rows.begin()) / 3 + 1;
    plan_clear(plan, columns, (int32_t)rows.size());
    std::snprintf(plan.name, sizeof plan.name, "Drawn");
    std::snprintf(plan.idea, sizeof plan.idea, "a drawn level");
    int32_t row = 0;
    for (const char *text : rows) {
        for (int32_t column = 0; column < columns; column++) {
            const char *cell = text + 3 * column;
            PlanSquare &s = plan.squares[row][column];
            s.present = cell[0] != '-';
            s.height = s.present ? cell[0] - '0' : 0;
            const char *codes = ".PTMZJXS";
            s.content = (int32_t)(std::strchr(codes, cell[1]) - codes);
            s.dir = s.content == CONTENT_START ? DIR_PLUS_X : 0;
        }
        row++;
    }
    return plan;
}

std::string text_of(const LevelPlan &plan)
{
    static char text[PLAN_TEXT_SIZE];
    const size_t length = plan_write_text(plan, text, sizeof text);
    return std::string(text, length);
}

} // namespace

TEST(GeneratorRandom, OneSeedGivesOneStreamAndValuesCoverTheirRange)
{
    GeneratorRandom a = random_start(42, 7), b = random_start(42, 7), c = random_start(42, 8);
    bool differs = false;
    for (int i = 0; i < 100; i++) {
        const uint64_t value = random_next(a);
        EXPECT_EQ(value, random_next(b));
        differs = differs || value != random_next(c);
    }
    EXPECT_TRUE(differs) << "two levels of one seed must not share their stream";
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; i++) {
        const int32_t value = random_between(a, -3, 3);
        ASSERT_GE(value, -3);
        ASSERT_LE(value, 3);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 7u) << "both ends and everything between are drawn";
    EXPECT_EQ(random_between(a, 5, 5), 5);
    EXPECT_EQ(random_between(a, 5, 2), 5) << "an empty range gives its low end";
}

/* The sides follow the neighbours' heights as the map format wants them, and the text is a map
   the validation passes without a warning. */
TEST(LevelPlan, SidesAndTextMakeAValidMap)
{
    const LevelPlan plan = drawn_plan({"5P 2. 2T", "-- 2S --"});
    EXPECT_EQ(plan_side(plan, 0, 0, 3), 2) << "five over two: a face three levels deep, less one";
    EXPECT_EQ(plan_side(plan, 1, 0, 1), -1) << "the neighbour is higher: no face";
    EXPECT_EQ(plan_side(plan, 1, 0, 3), -1) << "as high: no face";
    EXPECT_EQ(plan_side(plan, 0, 0, 0), 8) << "no neighbour: down to the ground";
    EXPECT_EQ(plan_side(plan, 1, 1, 1), 5);
    const std::string text = text_of(plan);
    ValidationReport report;
    validate_map(text.c_str(), text.size(), &report);
    EXPECT_EQ(report.faults, 0) << text;
    EXPECT_EQ(report.warnings, 0) << text;
    EXPECT_EQ(report.squares, 4);
    EXPECT_EQ(report.sweets, 1);
    EXPECT_EQ(text.rfind("Tirvex level 1: a drawn level\nDrawn\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n0 5 0 0 1 64 8 8 8 2\n"), std::string::npos) << text;
    // A buffer too small gives no text at all, never a cut one.
    char small[40];
    EXPECT_EQ(plan_write_text(plan, small, sizeof small), 0u);
    EXPECT_EQ(small[0], '\0');
}

/* Every idea and size gives a shape within the map panel and the square limit, with its actors
   where they can do something, and the same stream gives the same plan. */
TEST(LevelShape, ShapesAndPlacingKeepTheirPromises)
{
    for (int idea = 0; idea < IDEA_COUNT; idea++) {
        for (int size = 0; size < SIZE_COUNT; size++) {
            for (uint64_t seed = 0; seed < 20; seed++) {
                // Each seed a level of a set and a form, all of them in turn.
                SizeRules rules = set_level_rules((GeneratorSize)size, (GeneratorIdea)idea,
                                                  (int32_t)seed);
                rules.form = (int32_t)(seed % SHAPE_FORMS);
                SCOPED_TRACE(std::string(idea_name((GeneratorIdea)idea)) + " " + rules.name +
                             " seed " + std::to_string(seed));
                LevelPlan plan, again;
                GeneratorRandom random = random_start(seed, 0), same = random_start(seed, 0);
                plan_clear(plan, 1, 1);
                plan_clear(again, 1, 1);
                shape_plan(plan, (GeneratorIdea)idea, rules, random);
                shape_plan(again, (GeneratorIdea)idea, rules, same);
                ASSERT_LE(plan.columns, PLAN_COLUMNS);
                ASSERT_LE(plan.rows, PLAN_ROWS);
                ASSERT_GE(plan.columns, rules.min_columns);
                ASSERT_LE(plan_square_count(plan), PLAN_MAX_SQUARES);
                PlanRoute route;
                if (!place_actors(plan, (GeneratorIdea)idea, rules, random, &route))
                    continue;
                ASSERT_TRUE(place_actors(again, (GeneratorIdea)idea, rules, same));
                face_the_view(plan);
                face_the_view(again);
                if (idea != IDEA_WALK) {
                    EXPECT_GE(route.steps, rules.min_route) << "the route walks its drawn length";
                    EXPECT_LE(route.steps, rules.max_route);
                    EXPECT_LE(shortest_tour(plan), route.steps)
                        << "the best order is never longer than the order placed";
                }
                ASSERT_EQ(std::memcmp(&plan, &again, sizeof plan), 0);
                // The landmark stands alone, out of the robot's reach, and the map stays valid.
                if (raise_landmark(again)) {
                    ASSERT_EQ(plan_square_count(again), plan_square_count(plan) + 1);
                    ValidationReport before, after;
                    const std::string text = text_of(plan), raised = text_of(again);
                    validate_map(text.c_str(), text.size(), &before);
                    validate_map(raised.c_str(), raised.size(), &after);
                    EXPECT_EQ(after.faults + after.warnings, before.faults + before.warnings)
                        << raised;
                }
                int counts[8] = {};
                for (int32_t r = 0; r < plan.rows; r++)
                    for (int32_t c = 0; c < plan.columns; c++) {
                        const PlanSquare &s = plan.squares[r][c];
                        if (!s.present)
                            continue;
                        counts[s.content]++;
                        if (s.content == CONTENT_ZIPPER) {
                            int32_t dc, dr;
                            direction_step(s.dir, &dc, &dr);
                            const PlanSquare *lane = plan_present(plan, c + dc, r + dr);
                            ASSERT_TRUE(lane && lane->height <= s.height)
                                << "a zipper faces a square it can run onto";
                        }
                        if (s.content == CONTENT_START) {
                            // A third of the starts drawn faced the sky or the map's edge.
                            int32_t dc, dr;
                            direction_step(s.dir, &dc, &dr);
                            EXPECT_TRUE(plan_present(plan, c + dc, r + dr))
                                << "the start faces a square of the level";
                        }
                        if (s.content != CONTENT_START && s.content != CONTENT_MIBO &&
                            s.content != CONTENT_ZIPPER) {
                            ASSERT_EQ(s.dir, 0) << "a direction nothing reads draws a warning";
                        }
                    }
                EXPECT_EQ(counts[CONTENT_START], 1);
                EXPECT_EQ(counts[CONTENT_TELEPORT], 1);
                const int fewer = idea == IDEA_WALK ? 0 : rules.fewer_sweets;
                EXPECT_GE(counts[CONTENT_SWEET], rules.min_sweets - fewer);
                EXPECT_LE(counts[CONTENT_SWEET], rules.max_sweets - fewer);
                const int actors = counts[CONTENT_MIBO] + counts[CONTENT_ZIPPER] +
                                   counts[CONTENT_JAR] + counts[CONTENT_MINE];
                if (idea == IDEA_WALK) {
                    EXPECT_EQ(actors, 0);
                } else {
                    EXPECT_GE(actors, rules.min_actors);
                }
                if (idea == IDEA_RUNNER) {
                    EXPECT_GE(counts[CONTENT_ZIPPER], 1);
                }
                if (idea == IDEA_CHAIN) {
                    EXPECT_GE(counts[CONTENT_MINE], 1);
                }
            }
        }
    }
}

/* A way up three climbs to a sweet, down a drop of three, then a mibo pushed along a corridor
   into a pit so that the turn to the teleport is free: the facts name each, and the pruning
   takes only the squares neither the way nor its sides touch. */
TEST(WayFacts, TheWayIsReadAndUnusedSquaresArePruned)
{
    start_library();
    LevelPlan plan = drawn_plan({"0P 1. 3. 5S 2. 2M 2. 0.",
                                       "-- -- -- -- -- -- 2T --"});
    auto level = std::make_unique<GeneratedLevel>();
    char why[128];
    SizeRules rules = {"test", 1, 20, 1, 12, 1, 1, 0, 0, 1, 40, 2, 0, 0, true, 100000, 1, 1};
    rules.puzzles = false;      // a mibo pushed along the way is no puzzle, but read all the same
    ASSERT_TRUE(prove_plan(plan, IDEA_PUSH, rules, 1, level.get(), why, sizeof why)) << why;
    const WayFacts &facts = level->facts;
    EXPECT_EQ(facts.climbs, 3);
    EXPECT_EQ(facts.drops, 1);
    EXPECT_EQ(facts.moved[CONTENT_MIBO], 1);
    EXPECT_EQ(facts.sunk[CONTENT_MIBO], 1) << "it ends in the pit, two levels down";
    EXPECT_EQ(facts.actors, 1);
    EXPECT_EQ(facts.actors_touched, 1);
    EXPECT_EQ(facts.sweets, 1);
    EXPECT_EQ(facts.used_squares, 9);
    EXPECT_TRUE(facts.used[0][7]) << "the pit the mibo ended in";
    EXPECT_TRUE(facts.used[1][6]) << "the teleport";
    // A rule the way misses is named: here the moves, too few for the range asked.
    SizeRules longer = rules;
    longer.min_moves = 30;
    EXPECT_FALSE(prove_plan(plan, IDEA_PUSH, longer, 1, level.get(), why, sizeof why));
    EXPECT_NE(std::string(why).find("moves"), std::string::npos) << why;
    EXPECT_FALSE(prove_plan(plan, IDEA_RUNNER, rules, 1, level.get(), why, sizeof why));
    EXPECT_STREQ(why, "the way does not show the idea") << "no zipper runs in it";

    LevelPlan wide = drawn_plan({"0P 1. 3. 5S 2. 2M 2. 0.",
                                 "-- -- -- -- -- -- 2T 0.",
                                 "-- -- -- 0. -- -- 0. --",
                                 "0S -- -- -- -- -- -- 0."});
    const int32_t before = plan_square_count(wide);
    EXPECT_EQ(prune_plan(wide, facts), 2);
    EXPECT_EQ(plan_square_count(wide), before - 2);
    EXPECT_FALSE(wide.squares[2][3].present) << "nothing of the way is beside it";
    EXPECT_FALSE(wide.squares[3][7].present);
    EXPECT_TRUE(wide.squares[1][7].present) << "beside the way: a square that tempts stays";
    EXPECT_TRUE(wide.squares[2][6].present);
    EXPECT_TRUE(wide.squares[3][0].present) << "a square with something on it stays";
}

/* Each rule of the campaign is checked on its own, and the score rewards what it says. */
TEST(LevelScore, RulesAreCheckedOneByOneAndTheScoreRewardsDecisions)
{
    const SizeRules &small = size_rules(SIZE_SMALL);
    auto way = std::make_unique<SearchResult>();
    auto analysis = std::make_unique<LevelAnalysis>();
    std::memset(way.get(), 0, sizeof *way);
    std::memset(analysis.get(), 0, sizeof *analysis);
    way->outcome = SEARCH_SOLVED;
    way->moves = 15;
    way->ticks = 200;
    way->limit_ticks = 12000;
    LevelAnalysis &a = *analysis;
    a.outcome = SEARCH_SOLVED;
    a.complete = true;
    a.positions = 100;
    a.unwinnable = 10;
    a.shortest = 15;
    a.shortest_ticks = 200;
    a.limit_ticks = 12000;
    a.wrong_ways = 1;
    a.start_delay_wins = true;
    a.slowest_rate = ANALYSIS_SLOWEST_RATE;
    for (int rate = 1; rate <= ANALYSIS_SLOWEST_RATE; rate++)
        a.rate_wins[rate] = true;
    a.think_ticks = ANALYSIS_THINK_TICKS;
    a.think_wins = true;
    a.think_way_ticks = 800;
    char why[128];
    ASSERT_TRUE(level_passes(small, *way, a, why, sizeof why)) << why;

    struct Case {
        const char *name;
        void (*spoil)(SearchResult &, LevelAnalysis &);
        const char *why;
    };
    const Case cases[] = {
        {"too short", [](SearchResult &w, LevelAnalysis &) { w.moves = 9; }, "a way of 9 moves"},
        {"too long", [](SearchResult &w, LevelAnalysis &) { w.moves = 26; }, "a way of 26 moves"},
        {"over half the limit", [](SearchResult &w, LevelAnalysis &) { w.ticks = 6001; },
         "the way takes more than half the limit (6001 ticks)"},
        {"bounded", [](SearchResult &, LevelAnalysis &x) { x.complete = false; },
         "the analysis did not end"},
        {"delay", [](SearchResult &, LevelAnalysis &x) { x.start_delay_wins = false; },
         "not won after the start delay"},
        {"rate", [](SearchResult &, LevelAnalysis &x) { x.rate_wins[7] = false; },
         "not won at 7 ticks a frame"},
        {"human", [](SearchResult &, LevelAnalysis &x) { x.think_way_ticks = 10000; },
         "a human margin under 1.25"},
        {"wrong ways", [](SearchResult &, LevelAnalysis &x) { x.wrong_ways = 0; }, "0 wrong ways"},
        {"trap", [](SearchResult &, LevelAnalysis &x) { x.trap_positions = 3; },
         "a trap at 3 positions"},
    };
    for (const Case &c : cases) {
        SearchResult spoilt_way = *way;
        auto spoilt = std::make_unique<LevelAnalysis>(a);
        c.spoil(spoilt_way, *spoilt);
        EXPECT_FALSE(level_passes(small, spoilt_way, *spoilt, why, sizeof why)) << c.name;
        EXPECT_STREQ(why, c.why) << c.name;
    }
    auto medium = std::make_unique<LevelAnalysis>(a);
    way->moves = 30;
    medium->decisions = 2;
    EXPECT_FALSE(level_passes(size_rules(SIZE_MEDIUM), *way, *medium, why, sizeof why));
    EXPECT_STREQ(why, "2 decisions");
    medium->decisions = 3;
    medium->trap_positions = 40;
    EXPECT_FALSE(level_passes(size_rules(SIZE_MEDIUM), *way, *medium, why, sizeof why));
    EXPECT_STREQ(why, "1 wrong ways");
    medium->wrong_ways = 2;
    EXPECT_TRUE(level_passes(size_rules(SIZE_MEDIUM), *way, *medium, why, sizeof why)) << why;

    // The puzzle rules: a zipper and a mine the way cannot do without, a mibo it pushes that
    // makes it longer; each idea's own rule, the actors' and the start's missed one at a time.
    static ActorWeights weights;
    weights.shortest = 40;
    weights.count = 3;
    weights.matter = 2;
    weights.actors[0] = ActorWeight{0, 0, CONTENT_ZIPPER, WAY_NONE};
    weights.actors[1] = ActorWeight{1, 0, CONTENT_MINE, WAY_LONGER};
    weights.actors[2] = ActorWeight{2, 0, CONTENT_MIBO, 30};
    WayFacts done;
    std::memset(&done, 0, sizeof done);
    done.pushed[0][2] = true;
    a.way_waits = 1;
    StartView view{9, true, false, true};
    const SizeRules &rules = size_rules(SIZE_MEDIUM);
    for (GeneratorIdea idea : {IDEA_RUNNER, IDEA_CHAIN, IDEA_MIX})
        EXPECT_TRUE(puzzle_passes(idea, rules, done, a, weights, view, why, sizeof why)) << why;
    EXPECT_FALSE(puzzle_passes(IDEA_PUSH, rules, done, a, weights, view, why, sizeof why));
    EXPECT_STREQ(why, "1 pushes needed");
    // Two pushes needed and none a wrong way: no push level of any size passes (a small one
    // once did, its gate's pushes all forced).
    done.pushed[0][0] = true;
    EXPECT_FALSE(puzzle_passes(IDEA_PUSH, small, done, a, weights, view, why, sizeof why));
    EXPECT_STREQ(why, "no push is a wrong way");
    done.pushed[0][0] = false;
    a.way_waits = 0;
    EXPECT_FALSE(puzzle_passes(IDEA_RUNNER, rules, done, a, weights, view, why, sizeof why));
    weights.actors[1].way_without = 40;
    weights.matter = 1;
    EXPECT_FALSE(puzzle_passes(IDEA_MIX, rules, done, a, weights, view, why, sizeof why));
    EXPECT_STREQ(why, "1 actors matter");
    view.squares = 7;
    EXPECT_FALSE(puzzle_passes(IDEA_WALK, rules, done, a, ActorWeights{}, view, why, sizeof why));

    WayFacts facts;
    std::memset(&facts, 0, sizeof facts);
    facts.used_squares = 10;
    const double plain = level_score(small, *way, a, facts, 20);
    a.decisions = 2;
    EXPECT_GT(level_score(small, *way, a, facts, 20), plain);
    facts.used_squares = 20;
    EXPECT_GT(level_score(small, *way, a, facts, 20), level_score(small, *way, a, facts, 40))
        << "a map the way uses whole scores over one with unused squares";
    a.decisions = 100;
    const double capped = level_score(small, *way, a, facts, 20);
    a.decisions = 8;
    EXPECT_EQ(level_score(small, *way, a, facts, 20), capped) << "decisions past 8 add nothing";
}

/* What the way does decides the idea it shows and the line that says it, which fits the
   first line with the level's number before it. */
TEST(LevelScore, TheIdeaLineSaysWhatTheWayDoes)
{
    WayFacts facts;
    std::memset(&facts, 0, sizeof facts);
    facts.sweets = 3;
    facts.climbs = 2;
    EXPECT_FALSE(way_shows_idea(IDEA_WALK, facts)) << "climbing without a drop";
    facts.drops = 1;
    EXPECT_TRUE(way_shows_idea(IDEA_WALK, facts));
    EXPECT_FALSE(way_shows_idea(IDEA_PUSH, facts));
    EXPECT_FALSE(way_shows_idea(IDEA_MIX, facts)) << "one thing only";
    facts.moved[CONTENT_MIBO] = 2;
    facts.sunk[CONTENT_MIBO] = 1;
    facts.moved[CONTENT_JAR] = 1;
    facts.moved[CONTENT_ZIPPER] = 1;
    facts.waits = facts.idle = 2;
    facts.blasted[CONTENT_MINE] = 1;
    facts.blasted[CONTENT_JAR] = 2;
    EXPECT_TRUE(way_shows_idea(IDEA_PUSH, facts));
    EXPECT_TRUE(way_shows_idea(IDEA_RUNNER, facts));
    EXPECT_TRUE(way_shows_idea(IDEA_CHAIN, facts));
    EXPECT_TRUE(way_shows_idea(IDEA_MIX, facts));

    LevelPlan plan;
    plan_clear(plan, 1, 1);
    plan.number = 99;
    LevelAnalysis analysis;
    std::memset(&analysis, 0, sizeof analysis);
    analysis.decisions = 2;
    word_idea(plan, facts, analysis);
    const std::string idea = plan.idea;
    EXPECT_EQ(idea.rfind("push the mibos and a jar into a pit, ", 0), 0u) << idea;
    EXPECT_LE(idea.size() + std::strlen("Tirvex level 99: "), 78u) << idea;
    EXPECT_EQ(idea.substr(idea.size() - 16), "eat the 3 sweets") << "the sweets always find room";
    // Weighed, only the kinds the way cannot do without are named: the runner here, not the
    // mibos it pushes aside nor the chain (they used to be named for being moved at all).
    static ActorWeights weights;
    weights.count = 3;
    weights.shortest = 20;
    weights.actors[0] = ActorWeight{0, 0, CONTENT_MIBO, 20};
    weights.actors[1] = ActorWeight{1, 0, CONTENT_ZIPPER, WAY_LONGER};
    weights.actors[2] = ActorWeight{2, 0, CONTENT_MINE, 20};
    word_idea(plan, facts, analysis, &weights);
    EXPECT_STREQ(plan.idea, "let the runner pass, some drops are one way, eat the 3 sweets");
    word_idea(plan, facts, analysis, &weights, 1 + 3 * 1);
    EXPECT_STREQ(plan.idea, "wait for the runner, look before you drop, eat the 3 sweets")
        << "another level of the set words it otherwise: ten of a set shared one line";
    facts.moved[CONTENT_MIBO] = facts.moved[CONTENT_JAR] = 0;
    word_idea(plan, facts, analysis);
    EXPECT_STREQ(plan.idea, "stand clear of the chain, climb two at most, eat the 3 sweets")
        << "a phrase that does not fit is left out whole, never cut, and a shorter one taken";

    std::memset(&facts, 0, sizeof facts);
    facts.sweets = 1;
    facts.drops = 1;
    facts.climbs = 1;
    analysis.decisions = 0;
    word_idea(plan, facts, analysis);
    EXPECT_STREQ(plan.idea, "drop where you must, climb two at most, eat the sweet");
}

/* A whole small level made twice from one request is the same to the byte, with its proof;
   another level of the set is another level. */
TEST(LevelGenerator, OneRequestMakesTheSameLevelTwice)
{
    start_library();
    auto first = std::make_unique<GeneratedLevel>();
    auto second = std::make_unique<GeneratedLevel>();
    GeneratorRequest request{7, IDEA_WALK, SIZE_SMALL, 0, 3, 2, nullptr, nullptr};
    ASSERT_TRUE(generate_level(request, first.get()));
    request.jobs = 1;   // the threads share out the work, never the outcome
    ASSERT_TRUE(generate_level(request, second.get()));
    EXPECT_EQ(std::string(first->text, first->length), std::string(second->text, second->length));
    EXPECT_EQ(first->way.moves, second->way.moves);
    EXPECT_EQ(first->attempts, second->attempts);
    EXPECT_EQ(std::string(first->text).rfind("Tirvex level 3: ", 0), 0u);
    char why[128];
    EXPECT_TRUE(level_passes(size_rules(SIZE_SMALL), first->way, first->analysis, why, sizeof why))
        << why;
    request.level_index = 1;
    ASSERT_TRUE(generate_level(request, second.get()));
    EXPECT_NE(std::string(first->text, first->length), std::string(second->text, second->length));
    // The levels of a set of ten have ten first words: no two share a name.
    bool dealt[NAME_FIRST_WORDS] = {};
    for (request.level_index = 0; request.level_index < 10; request.level_index++) {
        const int32_t word = first_name_word(request);
        ASSERT_TRUE(word >= 0 && word < NAME_FIRST_WORDS && !dealt[word]) << request.level_index;
        dealt[word] = true;
    }
}

/* A set's levels rise: the last's window of moves lies above the first's. A level is turned
   over or moved in the panel to keep apart from the set's earlier ones, its headings with it,
   and is refused, as it was, when nothing keeps it apart; a map file reads as the plan it was
   written from. */
TEST(SetApart, LevelsRiseAndAreMovedToKeepApart)
{
    const SizeRules first = set_level_rules(SIZE_MEDIUM, IDEA_PUSH, 0);
    const SizeRules last = set_level_rules(SIZE_MEDIUM, IDEA_PUSH, SET_LEVELS - 1);
    EXPECT_LT(first.max_moves, last.max_moves);
    EXPECT_LT(first.min_route, last.min_route);
    EXPECT_LT(first.aim_length, last.aim_length);
    EXPECT_EQ(set_level_rules(SIZE_MEDIUM, IDEA_PUSH, SET_LEVELS).max_moves, first.max_moves);

    const LevelPlan plan = drawn_plan({"2P 2. 2T", "2. -- --"});
    auto set = std::make_unique<SetFootprints>();
    const std::string text = text_of(plan);
    ASSERT_TRUE(footprints_add_map(*set, text.c_str(), text.size()));
    EXPECT_FALSE(footprints_add_map(*set, "no map\n", 7));
    EXPECT_EQ(set->count, 1);
    EXPECT_TRUE(footprints_have_idea(*set, "a drawn level")) << "the idea read from the first line";
    LevelPlan moved = plan;
    EXPECT_EQ(footprints_most_shared(*set, moved), 100);
    // Every level of the set turned over and moved, wherever it is, keeps the start facing
    // the teleport two squares on.
    for (int32_t level = 0; level < 8; level++) {
        ASSERT_TRUE(set_apart(moved, *set)) << level;
        EXPECT_LE(footprints_most_shared(*set, moved), 50);
        footprints_add_plan(*set, moved);
        for (int32_t r = 0; r < moved.rows; r++)
            for (int32_t c = 0; c < moved.columns; c++)
                if (moved.squares[r][c].content == CONTENT_START) {
                    int32_t dc, dr;
                    direction_step(moved.squares[r][c].dir, &dc, &dr);
                    const PlanSquare *ahead = plan_present(moved, c + 2 * dc, r + 2 * dr);
                    EXPECT_TRUE(ahead && ahead->content == CONTENT_TELEPORT) << level;
                }
        moved = plan;
    }
    LevelPlan everywhere;
    plan_clear(everywhere, PLAN_COLUMNS, PLAN_ROWS);
    for (auto &row : everywhere.squares)
        for (PlanSquare &square : row)
            square.present = true;
    everywhere.squares[0][0].content = CONTENT_START;
    set->count = 0;
    footprints_add_plan(*set, everywhere);
    moved = everywhere;
    EXPECT_FALSE(set_apart(moved, *set)) << "the whole panel has no room to move in";
    EXPECT_EQ(std::memcmp(&moved, &everywhere, sizeof moved), 0) << "a level refused stays as it was";
}

/* The tour is the best order's, walked by the robot's rules: climbs of two at most, drops of
   any height, actors walked through; and there is none where the teleport or a sweet is out
   of reach. */
TEST(RouteTour, TheBestOrderIsWalkedByTheRobotsRules)
{
    // From the start in the middle, the near sweet first: 2 + 5 + 1, not 3 + 5 + 6.
    EXPECT_EQ(shortest_tour(drawn_plan({"0S 0. 0P 0. 0. 0S 0T"})), 8);
    EXPECT_EQ(shortest_tour(drawn_plan({"0S 0M 0P 0J 0. 0S 0T"})), 8)
        << "actors are no walls to the bound";
    // Drops of any height, climbs of two: down 5 to 2 to 0 is a way, up 0 to 3 none.
    EXPECT_EQ(shortest_tour(drawn_plan({"5P 2S 0T"})), 2);
    EXPECT_EQ(shortest_tour(drawn_plan({"0P 3S 0T"})), -1);
    EXPECT_EQ(shortest_tour(drawn_plan({"0P 2S 4. 2T"})), 3) << "two climbs of two";
    // A one-way drop: the sweet down the ledge must come last, the way round taken first.
    EXPECT_EQ(shortest_tour(drawn_plan({"3P 3. 3S 0S",
                                        "-- -- -- 0T"})),
              4);
    EXPECT_EQ(shortest_tour(drawn_plan({"0P 0S 0S"})), -1) << "no teleport";
    EXPECT_EQ(shortest_tour(drawn_plan({"0P -- 0T"})), -1) << "the teleport out of reach";
}

/* Thinning keeps the road, what stands on it, where its actors go, the pits beside it and the
   rules' share of its other sides, and takes away the rest. */
TEST(LevelShape, ThinningKeepsTheRoadAndItsActorsRoom)
{
    LevelPlan plan = drawn_plan({"2. 2. 2. 2. 2. 2.",
                                 "2P 2. 2M 2. 2. 2T",
                                 "2. 0. 2. 2. 2. 2.",
                                 "2. 2. 2. 2. 2. 2S"});
    PlanRoute route = {};
    for (int32_t column = 0; column < 6; column++)
        route.on[1][column] = true;
    route.steps = 5;
    SizeRules rules = size_rules(SIZE_MEDIUM);
    rules.side_share = 0;
    GeneratorRandom random = random_start(1, 0);
    LevelPlan thinned = plan;
    EXPECT_EQ(thin_plan(thinned, route, rules, random), 24 - 6 - 2 - 1 - 1)
        << "all but the road, the mibo's two sides off it, the pit and the sweet";
    for (int32_t column = 0; column < 6; column++)
        EXPECT_TRUE(thinned.squares[1][column].present) << "the road, column " << column;
    EXPECT_TRUE(thinned.squares[0][2].present) << "the mibo can be pushed off the road";
    EXPECT_TRUE(thinned.squares[2][2].present);
    EXPECT_TRUE(thinned.squares[2][1].present) << "a pit beside the road stays";
    EXPECT_TRUE(thinned.squares[3][5].present) << "a sweet stays";
    EXPECT_FALSE(thinned.squares[0][4].present) << "a side square, with no share kept";
    EXPECT_FALSE(thinned.squares[3][0].present) << "far from the road";

    rules.side_share = 100;
    thinned = plan;
    thin_plan(thinned, route, rules, random);
    EXPECT_TRUE(thinned.squares[0][4].present) << "every side square, with all kept";
    EXPECT_FALSE(thinned.squares[3][0].present) << "still too far";
}

/* A medium level of each idea is a puzzle of it: the gate is built to need its actors, where a
   shape left to luck passed about one time in a hundred and its actors mattered in none. The
   attempts are a count, so the bound holds on any machine. */
TEST(LevelGenerator, MediumLevelsOfEveryIdeaArePuzzlesWithinAFewAttempts)
{
    start_library();
    auto level = std::make_unique<GeneratedLevel>();
    const SizeRules &rules = size_rules(SIZE_MEDIUM);
    for (int32_t idea = 0; idea < IDEA_COUNT; idea++) {
        SCOPED_TRACE(idea_name((GeneratorIdea)idea));
        GeneratorRequest request{2, (GeneratorIdea)idea, SIZE_MEDIUM, 0, 1, 2, nullptr, nullptr};
        ASSERT_TRUE(generate_level(request, level.get()));
        // The walk's attempts are a fraction of a second; a push level's side door has to
        // find a straight stretch of road, and its push wrong, more often than not.
        if (idea != IDEA_WALK) {
            EXPECT_LE(level->attempts, idea == IDEA_PUSH ? 200 : 40);
        }
        if (idea == IDEA_PUSH) {
            EXPECT_GE(level->analysis.wrong_pushes, 1) << "a push the wrong way wedges or blocks";
        }
        EXPECT_TRUE(way_shows_idea((GeneratorIdea)idea, level->facts));
        char why[128];
        EXPECT_TRUE(level_passes(rules, level->way, level->analysis, why, sizeof why)) << why;
        EXPECT_TRUE(puzzle_passes((GeneratorIdea)idea, rules, level->facts, level->analysis,
                                  level->weights, level->view, why, sizeof why))
            << why;
        EXPECT_GE(level->analysis.wrong_ways, 2);
        if (idea != IDEA_WALK) {
            EXPECT_GE(level->weights.matter, 2) << "two actors the way cannot do without";
        }
        const int32_t tour = shortest_tour(level->plan);
        EXPECT_GE(tour, 0);
        EXPECT_LE(tour, level->way.moves) << "no way moves the robot fewer squares than the tour";
    }
    // A small push level has one too, and no trap: a second road goes round its side door (its
    // gate's pushes are all forced, and it had none).
    GeneratorRequest small{1, IDEA_PUSH, SIZE_SMALL, 0, 1, 2, nullptr, nullptr};
    ASSERT_TRUE(generate_level(small, level.get()));
    EXPECT_GE(level->analysis.wrong_pushes, 1);
    EXPECT_EQ(level->analysis.trap_positions, 0);
}
