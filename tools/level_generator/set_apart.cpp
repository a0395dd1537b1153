/* set_apart.cpp: keeps the levels of a set apart: no two share more than half their squares. */
#include "set_apart.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "world/map_parser.h"

namespace {

/* Mirrors the plan left to right (the columns) or top to bottom (the rows), headings with it. */
void mirror_plan(LevelPlan &plan, bool columns)
{
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            PlanSquare &square = plan.squares[row][column];
            if (square.dir == (columns ? DIR_PLUS_X : DIR_PLUS_Z))
                square.dir = columns ? DIR_MINUS_X : DIR_MINUS_Z;
            else if (square.dir == (columns ? DIR_MINUS_X : DIR_MINUS_Z))
                square.dir = columns ? DIR_PLUS_X : DIR_PLUS_Z;
        }
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            const int32_t to_row = columns ? row : plan.rows - 1 - row;
            const int32_t to_column = columns ? plan.columns - 1 - column : column;
            // Each pair once: the square and its mirror change places.
            if (to_row * PLAN_COLUMNS + to_column > row * PLAN_COLUMNS + column) {
                const PlanSquare square = plan.squares[row][column];
                plan.squares[row][column] = plan.squares[to_row][to_column];
                plan.squares[to_row][to_column] = square;
            }
        }
}

/* The squares the plan has where earlier level `level` has one. */
int32_t shared_squares(const SetFootprints &set, int32_t level, const LevelPlan &plan)
{
    int32_t shared = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            shared += plan.squares[row][column].present && set.on[level][row][column];
    return shared;
}

} // namespace

void footprints_add_plan(SetFootprints &set, const LevelPlan &plan)
{
    if (set.count >= SET_FOOTPRINTS)
        return;
    const int32_t level = set.count++;
    std::snprintf(set.idea[level], sizeof set.idea[level], "%s", plan.idea);
    set.squares[level] = 0;
    for (int32_t row = 0; row < PLAN_ROWS; row++)
        for (int32_t column = 0; column < PLAN_COLUMNS; column++) {
            const bool on = plan_present(plan, column, row) != nullptr;
            set.on[level][row][column] = on;
            set.squares[level] += on;
        }
}

bool footprints_add_map(SetFootprints &set, const char *text, size_t length)
{
    auto map = std::make_unique<ParsedMap>();
    MapReader reader;
    map_reader_from_text(&reader, text, length);
    if (parse_map(&reader, map.get()).fault != MAP_OK)
        return false;
    // A square past the panel is no square of a plan: it is taken at its place in the panel's
    // grid or not at all.
    auto plan = std::make_unique<LevelPlan>();
    plan_clear(*plan, PLAN_COLUMNS, PLAN_ROWS);
    // The idea is the first line's after its colon, up to its end.
    const char *line_end = static_cast<const char *>(std::memchr(text, '\n', length));
    const size_t line = line_end ? (size_t)(line_end - text) : length;
    const char *colon = static_cast<const char *>(std::memchr(text, ':', line));
    if (colon && colon + 2 <= text + line)
        std::snprintf(plan->idea, sizeof plan->idea, "%.*s", (int)(text + line - colon - 2),
                      colon + 2);
    for (int32_t i = 0; i < map->square_count; i++) {
        const MapSquareLine &square = map->squares[i];
        if (PlanSquare *at = plan_at(*plan, square.x, square.z))
            at->present = true;
    }
    footprints_add_plan(set, *plan);
    return true;
}

bool footprints_have_idea(const SetFootprints &set, const char *idea)
{
    for (int32_t level = 0; level < set.count; level++)
        if (std::strcmp(set.idea[level], idea) == 0)
            return true;
    return false;
}

int32_t footprints_most_shared(const SetFootprints &set, const LevelPlan &plan)
{
    const int32_t squares = plan_square_count(plan);
    int32_t most = 0;
    for (int32_t level = 0; level < set.count; level++) {
        const int32_t larger = squares > set.squares[level] ? squares : set.squares[level];
        const int32_t share = larger > 0 ? 100 * shared_squares(set, level, plan) / larger : 0;
        if (share > most)
            most = share;
    }
    return most;
}

bool set_apart(LevelPlan &plan, const SetFootprints &set)
{
    const int32_t squares = plan_square_count(plan);
    auto apart = [&](const LevelPlan &candidate) {
        for (int32_t level = 0; level < set.count; level++) {
            const int32_t shared = shared_squares(set, level, candidate);
            if (2 * shared > squares && 2 * shared > set.squares[level])
                return false;
        }
        return true;
    };
    // As it is, then left to right, then both, then top to bottom alone (each step one
    // mirror), each at every place in the panel, the nearest its corner first.
    auto turned = std::make_unique<LevelPlan>(plan);
    auto moved = std::make_unique<LevelPlan>();
    for (int32_t turn = 0; turn < 4; turn++) {
        if (turn > 0)
            mirror_plan(*turned, turn != 2);
        for (int32_t down = 0; down + turned->rows <= PLAN_ROWS; down++)
            for (int32_t across = 0; across + turned->columns <= PLAN_COLUMNS; across++) {
                plan_clear(*moved, turned->columns + across, turned->rows + down);
                for (int32_t row = 0; row < turned->rows; row++)
                    for (int32_t column = 0; column < turned->columns; column++)
                        moved->squares[row + down][column + across] =
                            turned->squares[row][column];
                moved->number = turned->number;
                moved->minutes = turned->minutes;
                moved->theme = turned->theme;
                std::memcpy(moved->idea, turned->idea, sizeof moved->idea);
                std::memcpy(moved->name, turned->name, sizeof moved->name);
                if (apart(*moved)) {
                    plan = *moved;
                    return true;
                }
            }
    }
    return false;
}
