/* way_facts.cpp: what a level's winning way does, read by playing it. */
#include "way_facts.h"

#include <cstring>

#include "world/actor_kinds.h"
#include "world/world_driver.h"

namespace {

/* The square under a world point: square centres lie 100 units apart. */
int32_t square_of(fixed position)
{
    return (fixtoi(position) + 50) / 100;
}

void mark(const LevelPlan &plan, WayFacts *facts, int32_t column, int32_t row)
{
    if (plan_present(plan, column, row) && !facts->used[row][column]) {
        facts->used[row][column] = true;
        facts->used_squares++;
    }
}

bool pushable(int32_t code)
{
    const ActorKind *kind = actor_kind(code);
    return kind && kind->obstacle;
}

} // namespace

bool read_way_facts(const LevelPlan &plan, const char *map_text, const SearchResult &way,
                    int32_t ticks_per_frame, WayFacts *facts)
{
    std::memset(facts, 0, sizeof *facts);
    static World w;
    search_start_world(w, map_text);
    const int32_t count = w.actors.count;
    int32_t first_column[ACTOR_CAPACITY], first_row[ACTOR_CAPACITY];
    bool moved[ACTOR_CAPACITY] = {}, blasted[ACTOR_CAPACITY] = {};
    for (int32_t i = 0; i < count; i++) {
        const Actor &a = w.actors.actors[i];
        first_column[i] = square_of(a.x);
        first_row[i] = square_of(a.z);
        facts->actors += i != w.hero_index && pushable(a.map_code);
        facts->sweets += a.map_code == CONTENT_SWEET;
    }
    int32_t column = w.motion.playerL[0], row = w.motion.playerL[1];
    mark(plan, facts, column, row);
    int32_t next = 0;
    // The command that may be idle, and the square the robot stood on when it was given.
    bool idle_maybe = false;
    int32_t given_column = column, given_row = row;
    for (int32_t frame = 0; frame < way.frames; frame++) {
        while (next < way.step_count && way.steps[next].frame == frame) {
            const int32_t code = way.steps[next].code;
            facts->idle += idle_maybe && w.motion.playerL[0] == given_column &&
                           w.motion.playerL[1] == given_row;
            idle_maybe = code == SEARCH_WAIT || code == MOVE_JUMP;
            given_column = w.motion.playerL[0];
            given_row = w.motion.playerL[1];
            if (code != SEARCH_WAIT)
                driver_push(w, code);
            else
                facts->waits++;
            next++;
        }
        driver_frame(w, ticks_per_frame);
        const int32_t now_column = w.motion.playerL[0], now_row = w.motion.playerL[1];
        if (now_column != column || now_row != row) {
            const PlanSquare *from = plan_present(plan, column, row);
            const PlanSquare *to = plan_present(plan, now_column, now_row);
            if (from && to && to->height <= from->height - 3)
                facts->drops++;
            if (from && to && to->height > from->height)
                facts->climbs++;
            column = now_column;
            row = now_row;
            mark(plan, facts, column, row);
        }
        for (int32_t i = 0; i < count; i++) {
            const Actor &a = w.actors.actors[i];
            if (i == w.hero_index)
                continue;
            if (!a.gone || a.timer > 0)
                mark(plan, facts, square_of(a.x), square_of(a.z));
            if (!moved[i] && !a.gone &&
                (square_of(a.x) != first_column[i] || square_of(a.z) != first_row[i]))
                moved[i] = true;
            if (!blasted[i] && (a.timer > 0 || (a.gone && a.map_code != CONTENT_SWEET)))
                blasted[i] = true;
        }
    }
    facts->idle += idle_maybe && w.motion.playerL[0] == given_column &&
                   w.motion.playerL[1] == given_row;
    for (int32_t i = 0; i < count; i++) {
        const Actor &a = w.actors.actors[i];
        const int32_t code = a.map_code >= 0 && a.map_code < FACT_KINDS ? a.map_code : 0;
        if (i == w.hero_index || !pushable(code))
            continue;
        facts->moved[code] += moved[i];
        if (moved[i] && (code == CONTENT_MIBO || code == CONTENT_JAR) &&
            plan_at(plan, first_column[i], first_row[i]))
            facts->pushed[first_row[i]][first_column[i]] = true;
        facts->blasted[code] += blasted[i];
        facts->actors_touched += moved[i] || blasted[i];
        const PlanSquare *from = plan_present(plan, first_column[i], first_row[i]);
        const PlanSquare *to = plan_present(plan, square_of(a.x), square_of(a.z));
        if (moved[i] && from && to && to->height < from->height)
            facts->sunk[code]++;
    }
    return w.level.level_completed != 0;
}
