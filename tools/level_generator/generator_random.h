/* generator_random.h: the level generator's own random numbers, the same on every machine. */
#pragma once

#include <cstdint>

/* A splitmix64 stream: the whole state is one word, so a seed names every level it makes,
   whatever the compiler or library. */
struct GeneratorRandom {
    uint64_t state;
};

/* A stream started from `seed`; `stream` separates the streams one seed gives (one a level). */
GeneratorRandom random_start(uint64_t seed, uint64_t stream);

/* The next 64 random bits. */
uint64_t random_next(GeneratorRandom &random);

/* A whole number from `low` to `high`, both included (low when high < low). Multiplies
   instead of taking a remainder, so no value is favoured by more than 2^-32. */
int32_t random_between(GeneratorRandom &random, int32_t low, int32_t high);

/* True `percent` times in a hundred. */
bool random_chance(GeneratorRandom &random, int32_t percent);
