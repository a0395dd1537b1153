/* map_hash.h: the hash of a map's text, by which records, pars and proofs name the map. */
#pragma once

#include <cstddef>
#include <cstdint>

/* FNV-1a over a map's text: the key of its records and its par, and the "# map hash" line of a
   recorded solution. The same bytes give the same hash on every machine and in every program,
   the game and the headless tools alike. */
uint64_t map_text_hash(const char *text, size_t length);
