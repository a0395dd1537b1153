/* demo_file.h: reading a demo file and checking every line of it before playback. */
#pragma once

#include <cstddef>
#include <string>
#include <vector>

/* The first line of every demo file. */
extern const char *const DEMO_VERSION_LINE;

/* Reads the demo at path whole and checks it: a regular file (a FIFO, a device or a folder is
   refused without waiting), at most 64 MB, the version line, every line's form and every
   number within its range, levels with a map, a last level that ends. Fills lines with the lines
   after the version line that are not empty or comments, and numbers with their line numbers.
   Returns false with "PATH:LINE: fault" (or "PATH: fault" for the file itself) in fault (size
   bytes). Used by demo_playback_start. */
bool read_demo_file(const char *path, std::vector<std::string> *lines, std::vector<int> *numbers,
                    char *fault, size_t size);

/* The number of a token read_demo_file has checked: its digits after the kind letter. */
int demo_token_number(const std::string &t);
