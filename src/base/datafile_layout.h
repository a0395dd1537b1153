/* datafile_layout.h: checks that the bytes of a datafile hold together before the library reads
   them. Knows nothing of the library, so it can be tested and fuzzed on its own. */
#pragma once

#include <cstddef>

enum { DATAFILE_FAULT_SIZE = 120 };

/* Walks `size` bytes of a datafile as the library's loader would: the packfile signature
   (a whole-file packed one is unpacked first), the datafile signature, the object count, and
   for every object its properties, type, sizes and contents (bitmap, font, sample, palette,
   MIDI, sprite and nested datafile layouts; other types are plain bytes), with every length
   inside the file and packed objects unpacked to their stated size. Returns 1 when the file
   holds together; otherwise 0 with the first fault in `fault` (a short text such as
   "truncated at object 34" or "object 30: palette colour 17 is out of range"). Objects are
   numbered as the program numbers them, from 0 in the root datafile. Memory for unpacking is
   taken and given back inside the call. Called at start-up before the library loads the file,
   and by the fuzz target. */
int check_datafile_layout(const unsigned char *bytes, size_t size, char fault[DATAFILE_FAULT_SIZE]);
