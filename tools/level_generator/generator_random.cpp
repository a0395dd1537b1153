/* generator_random.cpp: the level generator's own random numbers, the same on every machine. */
#include "generator_random.h"

GeneratorRandom random_start(uint64_t seed, uint64_t stream)
{
    GeneratorRandom random{seed ^ (stream * 0xD1B54A32D192ED03ull)};
    random_next(random);    // the first word of a stream depends on the seed alone otherwise
    return random;
}

uint64_t random_next(GeneratorRandom &random)
{
    uint64_t z = (random.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int32_t random_between(GeneratorRandom &random, int32_t low, int32_t high)
{
    if (high <= low)
        return low;
    const uint64_t span = (uint64_t)((int64_t)high - low + 1);
    const uint64_t top = random_next(random) >> 32;
    return (int32_t)(low + (int64_t)((top * span) >> 32));
}

bool random_chance(GeneratorRandom &random, int32_t percent)
{
    return random_between(random, 0, 99) < percent;
}
