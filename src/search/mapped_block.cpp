/* mapped_block.cpp: large blocks of memory mapped from the system by themselves and grown in place. */
#include "search/mapped_block.h"

#include <sys/mman.h>

void *resize_block(void *block, size_t bytes, size_t more)
{
    void *resized = block ? mremap(block, bytes, more, MREMAP_MAYMOVE)
                          : mmap(nullptr, more, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                                 -1, 0);
    return resized == MAP_FAILED ? nullptr : resized;
}

void free_block(void *block, size_t bytes)
{
    if (block)
        munmap(block, bytes);
}
