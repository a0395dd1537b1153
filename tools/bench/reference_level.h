/* reference_level.h: the large level the benchmark draws. */
#pragma once

#include <cstddef>

/* Writes the map text of the reference level into buffer (size bytes, bounded): 14 x 14 squares
   in terraces with cliff faces, 86 actors of every kind that stay where they are, and the robot at
   the near edge looking across it all. Returns the length written, or 0 when it does not fit. */
size_t write_reference_level(char *buffer, size_t size);
