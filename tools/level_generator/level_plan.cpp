/* level_plan.cpp: a level being made, as a grid of squares, and its map text. */
#include "level_plan.h"

#include <cstdio>
#include <cstring>

namespace {

const int32_t EDGE_COLUMN[4] = {0, -1, 0, 1};   /* +z, -x, -z, +x, the map file's order */
const int32_t EDGE_ROW[4] = {1, 0, -1, 0};

} // namespace

void plan_clear(LevelPlan &plan, int32_t columns, int32_t rows)
{
    std::memset(&plan, 0, sizeof plan);
    plan.columns = columns < 1 ? 1 : columns > PLAN_COLUMNS ? PLAN_COLUMNS : columns;
    plan.rows = rows < 1 ? 1 : rows > PLAN_ROWS ? PLAN_ROWS : rows;
    plan.number = 1;
    plan.minutes = 2;
}

PlanSquare *plan_at(LevelPlan &plan, int32_t column, int32_t row)
{
    if (column < 0 || row < 0 || column >= plan.columns || row >= plan.rows)
        return nullptr;
    return &plan.squares[row][column];
}

const PlanSquare *plan_at(const LevelPlan &plan, int32_t column, int32_t row)
{
    return plan_at(const_cast<LevelPlan &>(plan), column, row);
}

const PlanSquare *plan_present(const LevelPlan &plan, int32_t column, int32_t row)
{
    const PlanSquare *square = plan_at(plan, column, row);
    return square && square->present ? square : nullptr;
}

int32_t plan_square_count(const LevelPlan &plan)
{
    int32_t count = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            count += plan.squares[row][column].present;
    return count;
}

int32_t plan_side(const LevelPlan &plan, int32_t column, int32_t row, int32_t edge)
{
    const PlanSquare *square = plan_present(plan, column, row);
    if (!square)
        return -1;
    const PlanSquare *next = plan_present(plan, column + EDGE_COLUMN[edge], row + EDGE_ROW[edge]);
    if (!next)
        return square->height + 3;
    if (next->height >= square->height)
        return -1;
    return square->height - next->height - 1;
}

void direction_step(int32_t dir, int32_t *column_step, int32_t *row_step)
{
    *column_step = dir == DIR_PLUS_X ? 1 : dir == DIR_MINUS_X ? -1 : 0;
    *row_step = dir == DIR_PLUS_Z ? 1 : dir == DIR_MINUS_Z ? -1 : 0;
}

int32_t plan_texture(int32_t theme, int32_t floor, int32_t height)
{
    // Floor, over it, under it: paving with stone terraces and mossy pits, a moss garden with
    // paved terraces, a stone quarry with moss on its heights.
    static const int32_t THEMES[PLAN_THEMES][3] = {{0, 3, 2}, {2, 0, 3}, {3, 2, 0}};
    if (theme < 1 || theme > PLAN_THEMES)
        return (height / 2) % 2 == 0 ? 0 : 2;   // bands of two levels, so that heights read apart
    const int32_t *textures = THEMES[theme - 1];
    return height == floor ? textures[0] : height > floor ? textures[1] : textures[2];
}

size_t plan_write_text(const LevelPlan &plan, char *text, size_t size)
{
    size_t length = 0;
    bool fits = true;
    auto add = [&](const char *format, auto... values) {
        if (!fits)
            return;
        const int written = std::snprintf(text + length, size - length, format, values...);
        if (written < 0 || (size_t)written >= size - length)
            fits = false;
        else
            length += (size_t)written;
    };
    if (size == 0)
        return 0;
    text[0] = '\0';
    add("Tirvex level %d: %s\n%s\n%d\ntime limit in minutes:\n%d\n\n", (int)plan.number,
        plan.idea, plan.name, (int)plan.number, (int)plan.minutes);
    add("squares: x height z texture content dir side+z side-x side-z side+x\n%d\n",
        (int)plan_square_count(plan));
    // The floor is the commonest height: what the place stands on.
    enum { HEIGHTS = 64 };
    int32_t counts[HEIGHTS] = {}, floor = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            const PlanSquare &s = plan.squares[row][column];
            if (s.present && s.height >= 0 && s.height < HEIGHTS &&
                ++counts[s.height] > counts[floor])
                floor = s.height;
        }
    for (int32_t row = 0; row < plan.rows; row++) {
        for (int32_t column = 0; column < plan.columns; column++) {
            const PlanSquare &s = plan.squares[row][column];
            if (!s.present)
                continue;
            const int32_t texture = plan_texture(plan.theme, floor, s.height);
            add("%d %d %d %d %d %d %d %d %d %d\n", (int)column, (int)s.height, (int)row,
                (int)texture, (int)s.content, (int)s.dir, (int)plan_side(plan, column, row, 0),
                (int)plan_side(plan, column, row, 1), (int)plan_side(plan, column, row, 2),
                (int)plan_side(plan, column, row, 3));
        }
    }
    if (!fits) {
        text[0] = '\0';
        return 0;
    }
    return length;
}
