/* datafile.cpp: the one loaded game datafile, checked before and after the library loads it. */
#include "base/datafile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/datafile_layout.h"
#include "base/file_read.h"
#include "base/translation.h"
#include "base/utf8_letters.h"

DATAFILE *Datafile = nullptr;

namespace {

/* A longer file is refused unread: the datafile is a few megabytes. */
const long long DATAFILE_SIZE_LIMIT = 1LL << 30;

enum ObjectKind { KIND_BITMAP, KIND_TEXTURE, KIND_PALETTE, KIND_FONT, KIND_SAMPLE, KIND_DATA };

/* The objects the program uses, by number, and what each must be. */
struct UsedObjects {
    int first, last;
    ObjectKind kind;
};

const UsedObjects USED_OBJECTS[] = {
    {DAT_CAST_BACKGROUND, DAT_CURSOR, KIND_BITMAP},
    {DAT_FONT_GLOBAL, DAT_FONT_LARGE, KIND_FONT},
    {DAT_F1_PANEL, DAT_MENU_PICTURE, KIND_BITMAP},
    {DAT_GAME_PALETTE, DAT_MENU_PALETTE, KIND_PALETTE},
    {DAT_BACKDROP, DAT_BACKDROP, KIND_BITMAP},
    {DAT_SAMPLE_EXPLOSION, DAT_SAMPLE_PUSH, KIND_SAMPLE},
    {DAT_SAMPLE_BEEP, DAT_SAMPLE_SWEET, KIND_SAMPLE},
    {DAT_FONT_SMALL, DAT_FONT_SMALL, KIND_FONT},
    {DAT_TEXTURE_FIRST, DAT_MODEL_TEXTURE_JAR, KIND_TEXTURE},
    {DAT_CAST_TEXT, DAT_CAST_TEXT, KIND_DATA},
    {DAT_COMPLETED_MARK, DAT_COMPLETED_MARK, KIND_BITMAP},
    {DAT_LATER_ICON_FIRST, DAT_OBJECT_COUNT - 1, KIND_BITMAP},
};

const char *kind_name(ObjectKind kind)
{
    switch (kind) {
    case KIND_BITMAP: return _("bitmap");
    case KIND_TEXTURE: return _("bitmap");
    case KIND_PALETTE: return _("palette");
    case KIND_FONT: return _("font");
    case KIND_SAMPLE: return _("sample");
    case KIND_DATA: return _("block of data");
    }
    return "";
}

int type_of(ObjectKind kind)
{
    switch (kind) {
    case KIND_BITMAP: case KIND_TEXTURE: return DAT_BITMAP;
    case KIND_PALETTE: return DAT_PALETTE;
    case KIND_FONT: return DAT_FONT;
    case KIND_SAMPLE: return DAT_SAMPLE;
    case KIND_DATA: return DAT_DATA;
    }
    return DAT_END;
}

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

/* Reads the whole file, refusing what is not a regular file (a FIFO at the --data folder's
   data/pz.dat is not waited on). Returns 0 with the reason in `message` when it cannot. */
int read_whole_file(const char *path, std::vector<unsigned char> *bytes, char *message)
{
    std::string text;
    char fault[DATAFILE_MESSAGE_SIZE];
    if (read_regular_file(path, DATAFILE_SIZE_LIMIT, &text, fault, sizeof fault) != 1) {
        if (!fault[0])
            std::snprintf(fault, sizeof fault, "%s: %s", path, std::strerror(ENOENT));
        std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("Error loading data file %.175s"), fault);
        drop_cut_letter(message);
        return 0;
    }
    bytes->assign(text.begin(), text.end());
    return 1;
}

} // namespace

int check_datafile_kinds(const DATAFILE *data, const char *path, char message[DATAFILE_MESSAGE_SIZE])
{
    int count = 0;
    while (data[count].type != DAT_END)
        count++;
    for (const UsedObjects &used : USED_OBJECTS) {
        for (int n = used.first; n <= used.last; n++) {
            if (n >= count) {
                std::snprintf(message, DATAFILE_MESSAGE_SIZE,
                              _("%s: object %d is missing (the file holds %d objects)"), path, n, count);
                return 0;
            }
            if (data[n].type != type_of(used.kind) || !data[n].dat) {
                std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("%s: object %d is not a %s"), path, n,
                              kind_name(used.kind));
                return 0;
            }
            if (used.kind != KIND_BITMAP && used.kind != KIND_TEXTURE)
                continue;
            const BITMAP *picture = (const BITMAP *)data[n].dat;
            if (picture->w < 1 || picture->h < 1) {
                std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("%s: object %d is an empty bitmap"),
                              path, n);
                return 0;
            }
            // The texture mappers wrap coordinates with masks of the texture's size.
            if (used.kind == KIND_TEXTURE && (!power_of_two(picture->w) || !power_of_two(picture->h))) {
                std::snprintf(message, DATAFILE_MESSAGE_SIZE,
                              _("%s: object %d is a %dx%d texture, not a power of two wide and high"),
                              path, n, picture->w, picture->h);
                return 0;
            }
        }
    }
    return 1;
}

int load_game_datafile(const char *path, char message[DATAFILE_MESSAGE_SIZE])
{
    message[0] = '\0';
    Datafile = nullptr;
    // The library trusts every size in the file; a cut or damaged file would crash it.
    std::vector<unsigned char> bytes;
    if (!read_whole_file(path, &bytes, message))
        return 0;
    char fault[DATAFILE_FAULT_SIZE];
    if (!check_datafile_layout(bytes.data(), bytes.size(), fault)) {
        std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("Error loading data file %s: %s"), path, fault);
        return 0;
    }
    bytes.clear();
    bytes.shrink_to_fit();

    DATAFILE *data = load_datafile(path);
    if (!data) {
        std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("Error loading data file %s"), path);
        return 0;
    }
    if (!check_datafile_kinds(data, path, message)) {
        unload_datafile(data);
        return 0;
    }
    Datafile = data;
    return 1;
}

int load_language_pictures(const char *path, char message[DATAFILE_MESSAGE_SIZE])
{
    // The pictures painted with words, the only ones a language changes.
    const int worded[] = {DAT_CAST_BACKGROUND, DAT_SELECT_BACKGROUND, DAT_F1_PANEL, DAT_MENU_PICTURE};
    // The file whose pictures are in use holds the ones they replaced, freed with it.
    static DATAFILE *replaced = nullptr;
    message[0] = '\0';
    std::vector<unsigned char> bytes;
    if (!read_whole_file(path, &bytes, message) || !Datafile)
        return 0;   // without the English datafile there is nothing to lay the pictures over
    char fault[DATAFILE_FAULT_SIZE];
    if (!check_datafile_layout(bytes.data(), bytes.size(), fault)) {
        std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("Error loading data file %s: %s"), path, fault);
        return 0;
    }
    DATAFILE *pictures = load_datafile(path);
    if (!pictures) {
        std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("Error loading data file %s"), path);
        return 0;
    }
    DATAFILE *found[sizeof worded / sizeof worded[0]];
    for (size_t i = 0; i < sizeof worded / sizeof worded[0]; i++) {
        const int n = worded[i];
        BITMAP *english = (BITMAP *)Datafile[n].dat;
        found[i] = find_datafile_object(pictures, get_datafile_property(&Datafile[n], DAT_NAME));
        BITMAP *picture = found[i] && found[i]->type == DAT_BITMAP ? (BITMAP *)found[i]->dat
                                                                   : nullptr;
        if (!picture || picture->w != english->w || picture->h != english->h ||
            bitmap_color_depth(picture) != bitmap_color_depth(english)) {
            std::snprintf(message, DATAFILE_MESSAGE_SIZE, _("%s: no %dx%d bitmap in place of object %d"),
                          path, english->w, english->h, n);
            unload_datafile(pictures);
            return 0;
        }
    }
    for (size_t i = 0; i < sizeof worded / sizeof worded[0]; i++)
        std::swap(Datafile[worded[i]].dat, found[i]->dat);
    if (replaced)
        unload_datafile(replaced);
    replaced = pictures;
    return 1;
}
