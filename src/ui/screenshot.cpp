/* screenshot.cpp: saving the picture on the screen as the first free "screenNN.bmp". */
#include "ui/screenshot.h"
#include "base/screen_scale.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <vector>

#include "base/file_replace.h"
#include "base/game_paths.h"
#include "base/translation.h"
#include "render/message_line.h"

namespace {

/* The last result message; the message line refers to it until the next screenshot. */
char screenshot_message[64];

/* The library writes a bitmap file by name, which would follow a link planted at the name: the
   file is made in memory through a packfile of this kind, then created exclusively. */
struct MemoryFile {
    std::vector<unsigned char> bytes;
    bool failed;
};

int memory_close(void *) { return 0; }
int memory_getc(void *) { return EOF; }
int memory_ungetc(int, void *) { return EOF; }
long memory_fread(void *, long, void *) { return 0; }
int memory_fseek(void *, int) { return -1; }
int memory_feof(void *) { return 1; }
int memory_ferror(void *data) { return ((MemoryFile *)data)->failed; }

long memory_fwrite(const void *p, long n, void *data)
{
    MemoryFile *file = (MemoryFile *)data;
    try {
        file->bytes.insert(file->bytes.end(), (const unsigned char *)p,
                           (const unsigned char *)p + n);
    } catch (const std::bad_alloc &) {
        file->failed = true;
        return 0;
    }
    return n;
}

int memory_putc(int c, void *data)
{
    const unsigned char byte = (unsigned char)c;
    return memory_fwrite(&byte, 1, data) == 1 ? byte : EOF;
}

const PACKFILE_VTABLE MEMORY_VTABLE = {memory_close, memory_getc, memory_ungetc, memory_fread,
                                       memory_putc,  memory_fwrite, memory_fseek, memory_feof,
                                       memory_ferror};

/* The bitmap file of copy with palette, in memory. Returns false when memory runs out. */
bool bitmap_file(BITMAP *copy, PALETTE palette, MemoryFile *file)
{
    try {
        // An 8-bit file: header, palette and rows padded to four bytes.
        file->bytes.reserve(54 + 256 * 4 + (size_t)((copy->w + 3) & ~3) * copy->h);
    } catch (const std::bad_alloc &) {
        return false;
    }
    PACKFILE *packfile = pack_fopen_vtable(&MEMORY_VTABLE, file);
    if (!packfile)
        return false;
    const int failed = save_bmp_pf(packfile, copy, palette);
    pack_fclose(packfile);
    return !failed && !file->failed;
}

/* A free name that turns out taken when the file is linked in (another game's shot) is passed
   over; this many in a row is a folder gone wrong. */
const int NAME_TRIES = 1000;

} // namespace

void free_screenshot_name(char *name, size_t size)
{
    for (int n = 1;; n++) {
        std::snprintf(name, size, "screen%02d.bmp", n);
        char path[GAME_PATH_SIZE];
        struct stat s;
        // Anything at the name takes it: a file, a link (even to nothing), a FIFO.
        // A folder that cannot be looked in gives the first name, and the write then says so.
        if (lstat(user_file_path(name, path, sizeof path), &s) != 0)
            return;
    }
}

const char *take_screenshot()
{
    // The picture at the mode's own size, however much it is enlarged on the screen.
    BITMAP *copy = create_bitmap(picture_w(), picture_h());
    if (!copy) {
        return N_("Low on memory: cannot take screen shot");
    }
    PALETTE palette;
    get_palette(palette);
    BITMAP *shown = picture();
    acquire_bitmap(shown);
    blit(shown, copy, 0, 0, 0, 0, copy->w, copy->h);
    release_bitmap(shown);

    MemoryFile file{{}, false};
    const bool made = bitmap_file(copy, palette, &file);
    destroy_bitmap(copy);
    if (!made) {
        return N_("Low on memory: cannot take screen shot");
    }
    char name[32], path[GAME_PATH_SIZE];
    int error = EEXIST;
    const char *failed = nullptr;
    for (int tries = 0; error == EEXIST && tries < NAME_TRIES; tries++) {
        free_screenshot_name(name, sizeof name);
        error = file_create(user_file_path(name, path, sizeof path), file.bytes.data(),
                            file.bytes.size(), &failed);
    }
    if (error) {
        // The name and the reason (a full disk, a folder gone), on the line and in full below.
        std::snprintf(screenshot_message, sizeof screenshot_message,
                      _("Screen shot not saved: %s: %s"), name, std::strerror(error));
        std::fprintf(stderr, "tirvex: %s: %s: the screen shot is not saved\n",
                     failed ? failed : path, std::strerror(error));
        return screenshot_message;
    }
    std::snprintf(screenshot_message, sizeof screenshot_message, _("Screen shot saved as %s"), name);
    return screenshot_message;
}
