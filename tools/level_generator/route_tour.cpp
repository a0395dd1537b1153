/* route_tour.cpp: the shortest walk a placed level asks for on its bare shape. */
#include "route_tour.h"

#include <cstring>

namespace {

const int32_t FAR = 1 << 20;

struct Place {
    int32_t column, row;
};

/* Steps from (column, row) to every square over the bare shape; FAR where out of reach. */
void walk_distances(const LevelPlan &plan, Place from, int32_t distances[PLAN_ROWS][PLAN_COLUMNS])
{
    for (int32_t row = 0; row < PLAN_ROWS; row++)
        for (int32_t column = 0; column < PLAN_COLUMNS; column++)
            distances[row][column] = FAR;
    Place queue[PLAN_ROWS * PLAN_COLUMNS];
    int32_t head = 0, tail = 0;
    queue[tail++] = from;
    distances[from.row][from.column] = 0;
    while (head < tail) {
        const Place p = queue[head++];
        const PlanSquare *here = plan_present(plan, p.column, p.row);
        for (int32_t dir = 0; dir < 256; dir += 64) {
            int32_t dc, dr;
            direction_step(dir, &dc, &dr);
            const PlanSquare *next = plan_present(plan, p.column + dc, p.row + dr);
            if (!next || next->height > here->height + 2 ||
                distances[p.row + dr][p.column + dc] != FAR)
                continue;
            distances[p.row + dr][p.column + dc] = distances[p.row][p.column] + 1;
            queue[tail++] = Place{p.column + dc, p.row + dr};
        }
    }
}

} // namespace

int32_t shortest_tour(const LevelPlan &plan)
{
    // The start first, then the sweets, then the teleport.
    Place places[TOUR_MAX_SWEETS + 2];
    int32_t sweets = 0;
    bool start = false, teleport = false;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            const PlanSquare &s = plan.squares[row][column];
            if (!s.present)
                continue;
            if (s.content == CONTENT_START) {
                places[0] = Place{column, row};
                start = true;
            } else if (s.content == CONTENT_TELEPORT) {
                places[TOUR_MAX_SWEETS + 1] = Place{column, row};
                teleport = true;
            } else if (s.content == CONTENT_SWEET) {
                if (sweets == TOUR_MAX_SWEETS)
                    return -1;
                places[1 + sweets++] = Place{column, row};
            }
        }
    if (!start || !teleport)
        return -1;
    places[sweets + 1] = places[TOUR_MAX_SWEETS + 1];
    const int32_t count = sweets + 2;
    // Steps between every two places: from each, a walk over the shape.
    static int32_t distances[PLAN_ROWS][PLAN_COLUMNS];
    int32_t between[TOUR_MAX_SWEETS + 2][TOUR_MAX_SWEETS + 2];
    for (int32_t i = 0; i < count; i++) {
        walk_distances(plan, places[i], distances);
        for (int32_t j = 0; j < count; j++)
            between[i][j] = distances[places[j].row][places[j].column];
    }
    // best[set][last]: the fewest steps from the start over the sweets of `set`, ending on
    // sweet `last` (one of them); the sweets are few, so every set is tried.
    static int32_t best[1 << TOUR_MAX_SWEETS][TOUR_MAX_SWEETS];
    const int32_t sets = 1 << sweets;
    int32_t shortest = FAR;
    if (sweets == 0)
        shortest = between[0][1];
    for (int32_t set = 1; set < sets; set++)
        for (int32_t last = 0; last < sweets; last++) {
            int32_t &b = best[set][last];
            b = FAR;
            if (!(set & (1 << last)))
                continue;
            const int32_t before = set & ~(1 << last);
            if (before == 0)
                b = between[0][1 + last];
            else
                for (int32_t prior = 0; prior < sweets; prior++)
                    if ((before & (1 << prior)) && best[before][prior] < FAR &&
                        between[1 + prior][1 + last] < FAR &&
                        best[before][prior] + between[1 + prior][1 + last] < b)
                        b = best[before][prior] + between[1 + prior][1 + last];
            if (set == sets - 1 && b < FAR && between[1 + last][sweets + 1] < FAR &&
                b + between[1 + last][sweets + 1] < shortest)
                shortest = b + between[1 + last][sweets + 1];
        }
    return shortest >= FAR ? -1 : shortest;
}
