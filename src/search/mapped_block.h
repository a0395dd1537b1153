/* mapped_block.h: large blocks of memory mapped from the system by themselves and grown in place. */
#pragma once

#include <cstddef>

/* Grows the block of `bytes` at `block` (nullptr for none yet) to `more` bytes, or shrinks it,
   keeping what both sizes hold; new bytes are zero. The page tables move the pages, so a block
   growing never holds two copies at once. Returns the block, perhaps moved, or nullptr when
   there is no memory (the block then as it was). */
void *resize_block(void *block, size_t bytes, size_t more);

/* Gives the block of `bytes` (nullptr for none) back to the system at once: the allocator would
   keep freed blocks for its own reuse, resident beside whatever the process holds next. */
void free_block(void *block, size_t bytes);
