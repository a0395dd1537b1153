/* map_hash.cpp: the hash of a map's text, by which records, pars and proofs name the map. */
#include "world/map_hash.h"

uint64_t map_text_hash(const char *text, size_t length)
{
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < length; i++)
        hash = (hash ^ (unsigned char)text[i]) * 1099511628211ull;
    return hash;
}
