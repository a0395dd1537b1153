/* solution_file_fuzz.cpp: feeds arbitrary bytes, as a file, to the solution reader and to the
   reader of the par on a solution's first line. */
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "ui/records_file.h"
#include "world/solution_file.h"
#include "world/world_driver.h"

/* The reader's file plays its moves through the world, which is not linked here. */
void driver_push(World &, int) {}
void driver_frame(World &, int32_t) {}

namespace {

Solution solution;
char fault[SOLUTION_FAULT_SIZE];
int file = -1;
char path[64];

void check_solution()
{
    if (solution.ticks_per_frame < 1 || solution.ticks_per_frame > 100 ||
        solution.moves.count < 0 || solution.moves.count > SOLUTION_MOVE_LIMIT ||
        solution.end_frame < 0 || solution.end_frame > SOLUTION_FRAME_LIMIT)
        __builtin_trap();
    for (int i = 0; i < solution.moves.count; i++) {
        const LoggedCommand &m = log_at(solution.moves, i);
        if (m.frame < 0 || m.frame > solution.end_frame || m.code == LOGGED_RESTART ||
            (i > 0 && m.frame < log_at(solution.moves, i - 1).frame))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // One file in memory, its contents replaced each time; read through its path as the game
    // reads a solution.
    if (file < 0) {
        file = memfd_create("solution", 0);
        if (file < 0)
            return 0;
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", file);
    }
    if (ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != (ssize_t)size)
        return 0;

    fault[0] = '\0';
    if (read_solution(path, &solution, fault, sizeof fault))
        check_solution();
    else if (std::memchr(fault, '\0', sizeof fault) == nullptr || fault[0] == '\0')
        __builtin_trap();

    LevelPar par;
    char name[40];
    if (read_solution_par(path, &par, name, sizeof name)) {
        if (par.state != PAR_KNOWN || par.moves < 0 || par.waits < 0 || par.ticks <= 0 ||
            std::memchr(name, '\0', sizeof name) == nullptr)
            __builtin_trap();
    } else if (par.state != PAR_NOT_KNOWN) {
        __builtin_trap();
    }
    read_solution_par(path, &par);  // without the name
    return 0;
}
