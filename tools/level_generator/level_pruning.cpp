/* level_pruning.cpp: takes away the squares a level's way has no use for. */
#include "level_pruning.h"

namespace {

bool beside_used(const WayFacts &facts, const LevelPlan &plan, int32_t column, int32_t row)
{
    for (int32_t dir = 0; dir < 256; dir += 64) {
        int32_t dc, dr;
        direction_step(dir, &dc, &dr);
        const int32_t c = column + dc, r = row + dr;
        if (c >= 0 && r >= 0 && c < plan.columns && r < plan.rows && facts.used[r][c])
            return true;
    }
    return false;
}

} // namespace

int32_t prune_plan(LevelPlan &plan, const WayFacts &facts)
{
    // Decided on the plan as it was, so that removing one square does not decide another.
    bool drop[PLAN_ROWS][PLAN_COLUMNS] = {};
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            const PlanSquare &s = plan.squares[row][column];
            drop[row][column] = s.present && s.content == CONTENT_NOTHING && !facts.used[row][column] &&
                                !beside_used(facts, plan, column, row);
        }
    int32_t removed = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            if (drop[row][column]) {
                plan.squares[row][column].present = false;
                removed++;
            }
    return removed;
}
