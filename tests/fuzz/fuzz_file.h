/* fuzz_file.h: the file the harnesses of the player's files write each input into, since their
   readers open a path as the game does. */
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

/* Writes the input to a file of this process's own and returns its path; aborts when it
   cannot, as a harness that reads nothing finds nothing. */
inline const char *fuzz_input_file(const char *suffix, const uint8_t *data, size_t size)
{
    static std::string path;
    static char made[512];      /* for the removal at exit, which may come after path's end */
    if (path.empty()) {
        // Memory where there is a file system in it: the writers sync every file they make.
        const char *folder = std::getenv("TMPDIR");
        if (access("/dev/shm", W_OK) == 0)
            folder = "/dev/shm";
        path = std::string(folder && folder[0] ? folder : "/tmp") + "/tirvex_fuzz_" +
               std::to_string(getpid()) + suffix;
        std::snprintf(made, sizeof made, "%s", path.c_str());
        std::atexit([] { unlink(made); });
    }
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    return path.c_str();
}
