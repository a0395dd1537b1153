/* allocation_count.h: counts the heap allocations of the whole program, to show that drawing a
   frame makes none. */
#pragma once

/* Number of malloc, calloc and realloc calls since the program started. */
long allocation_count();
