/* solution_record.cpp: writes a level's solution as a replay the tests play back. */
#include "solution_record.h"

#include <memory>

#include "world/solution_file.h"
#include "world/world_driver.h"

namespace {

/* What a replay compares frame by frame. */
struct Outcome {
    int32_t column, row, sweets, lost, completed;
};

Outcome outcome_now(const World &w)
{
    return Outcome{w.motion.playerL[0], w.motion.playerL[1], w.level.sweets_eaten,
                   w.level.level_lost, w.level.level_completed};
}

bool same(const Outcome &a, const Outcome &b)
{
    return a.column == b.column && a.row == b.row && a.sweets == b.sweets && a.lost == b.lost &&
           a.completed == b.completed;
}

} // namespace

int write_solution(FILE *out, const char *map_text, const char *map_name, const char *level_name,
                   int32_t ticks_per_frame, const SearchResult &result, uint64_t map_hash)
{
    // The way as a solution holds it: its moves, each on the frame it is typed and taken on.
    const std::unique_ptr<Solution> way(new Solution());    // some 48 KB
    way->ticks_per_frame = ticks_per_frame;
    way->end_frame = result.frames;
    log_clear(way->moves);
    for (int32_t i = 0; i < result.step_count; i++) {
        if (result.steps[i].code != SEARCH_WAIT)
            log_command(way->moves, result.steps[i].frame, result.steps[i].code);
    }
    std::fprintf(out, "# Solution of %s, \"%s\": %d moves and %d waits, %d ticks of game time.\n",
                 map_name, level_name, (int)result.moves, (int)result.waits, (int)result.ticks);
    if (map_hash != 0)
        std::fprintf(out, "# map hash %016llx\n", (unsigned long long)map_hash);
    std::fprintf(out, "# Written by level_checker --record; the tests replay it.\n");
    std::fprintf(out, "ticks_per_frame %d\n", (int)ticks_per_frame);
    std::fprintf(out, "# move FRAME CODE: typed on that frame (72 up, 80 down, 75 left, 77 right, "
                      "57 jump, 1001 and 1002 strafe left and right)\n");
    write_solution_moves(out, way->moves);
    std::fprintf(out, "# trace FRAME COLUMN ROW SWEETS LOST COMPLETED: the outcome after that "
                      "frame, whenever it changes\n");

    World w;
    search_start_world(w, map_text);
    int32_t next = 0;
    Outcome last{};
    bool first = true;
    for (int32_t frame = 0; frame < result.frames; frame++) {
        play_solution_frame(w, *way, frame, &next);
        Outcome now = outcome_now(w);
        if (first || !same(now, last))
            std::fprintf(out, "trace %d %d %d %d %d %d\n", (int)frame, (int)now.column, (int)now.row,
                         (int)now.sweets, (int)now.lost, (int)now.completed);
        first = false;
        last = now;
    }
    std::fprintf(out, "end %d\n", (int)result.frames);
    if (!w.level.level_completed) {
        std::fprintf(out, "# The replay did not complete the level.\n");
        return 0;
    }
    return 1;
}
