/* allocation_count.cpp: the C library's allocator, wrapped to count its calls. Every allocation
   of the program (the library's and ours) passes through these. */
#include "allocation_count.h"

#include <atomic>
#include <cstddef>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *p, size_t size);

namespace {
std::atomic<long> allocations;
}

void *malloc(size_t size)
{
    allocations++;
    return __libc_malloc(size);
}

void *calloc(size_t count, size_t size)
{
    allocations++;
    return __libc_calloc(count, size);
}

void *realloc(void *p, size_t size)
{
    allocations++;
    return __libc_realloc(p, size);
}
}

long allocation_count()
{
    return allocations.load();
}
