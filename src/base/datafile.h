/* datafile.h: the loaded game datafile and the numbers of its objects. */
#pragma once

#include <allegro.h>

/* The loaded "data/pz.dat", read-only after start-up; objects are addressed by number. */
extern DATAFILE *Datafile;

/* Object numbers of the datafile. The numbering is fixed: 0, 9, 12, 29, 33, 42, 59 and 60
   are unused fillers that hold the places. */
enum DatafileObject {
    DAT_CAST_BACKGROUND = 1,
    DAT_SELECT_BACKGROUND = 2,
    DAT_EXPLOSION_FIRST = 3,        /* 3 ... 7, one per 16 ticks of the countdown */
    DAT_EXPLOSION_LAST = 7,
    DAT_CURSOR = 8,
    DAT_FONT_GLOBAL = 10,
    DAT_FONT_LARGE = 11,
    DAT_F1_PANEL = 13,
    DAT_MAP_MARKER = 14,            /* the map panel's square; 15 ... 21 its actor icons */
    DAT_MAP_ICON_FIRST = 15,        /* the icons the actor kinds name (world/actor_kinds.cpp) */
    DAT_MAP_ICON_LAST = 21,
    DAT_TELEPORT_ICON_OFF = 22,
    DAT_TELEPORT_ICON_ON = 23,
    DAT_SWEET_ICON = 24,
    DAT_CLOCK_ICON = 25,
    DAT_MAP_FRAME = 26,
    DAT_MAP_OVERLAY = 27,
    DAT_MENU_PICTURE = 28,
    DAT_GAME_PALETTE = 30,
    DAT_SELECT_PALETTE = 31,
    DAT_MENU_PALETTE = 32,
    DAT_BACKDROP = 34,
    DAT_SAMPLE_EXPLOSION = 35,
    DAT_SAMPLE_STEP = 36,
    DAT_SAMPLE_COMPLETED = 37,
    DAT_MUSIC_FIRST = 38,           /* music n plays 38 + n mod 3 */
    DAT_SAMPLE_PUSH = 41,
    DAT_SAMPLE_BEEP = 43,
    DAT_SAMPLE_CLICK = 44,
    DAT_SAMPLE_BLOCKED = 45,
    DAT_SAMPLE_SWEET = 46,
    DAT_FONT_SMALL = 47,
    DAT_TEXTURE_FIRST = 48,         /* 48 ... 51: the square textures */
    DAT_TEXTURE_SCORCHED = 49,
    DAT_TEXTURE_SIDE = 51,
    DAT_MODEL_TEXTURE_TELEPORT = 52,
    DAT_MODEL_TEXTURE_MIBO = 53,
    DAT_MODEL_TEXTURE_ZIPPER = 54,
    DAT_MODEL_TEXTURE_PLAYER = 55,
    DAT_MODEL_TEXTURE_SWEET = 56,
    DAT_MODEL_TEXTURE_JAR = 57,     /* shared by the jar and the mine */
    DAT_CAST_TEXT = 58,
    DAT_COMPLETED_MARK = 61,
    DAT_LATER_ICON_FIRST = 62,      /* the map icons of kinds added later, to the last object */
    DAT_OBJECT_COUNT = 62
};

enum { DATAFILE_MESSAGE_SIZE = 200 };

/* Loads the game datafile at `path` into Datafile, the library's loader handed only a file whose
   bytes hold together (check_datafile_layout), and then checks every object number the program
   uses for its kind (check_datafile_kinds). Returns 1; or 0 with Datafile left none and the
   fault in `message`: "Error loading data file PATH" followed by what is wrong with the file,
   or "PATH: object N is not a KIND". Called at start-up and by the preview tool. */
int load_game_datafile(const char *path, char message[DATAFILE_MESSAGE_SIZE]);

/* Lays the pictures with words of the player's language, read from path (data/pz-CODE.dat, which
   make_datafile paints beside pz.dat), over the English ones of the loaded datafile: each, found
   by the English one's name, must be a bitmap of its size. The file is checked as
   load_game_datafile checks its own before the library reads it. Returns 1; or 0 with every
   English picture kept and the fault, naming the file, in `message`. */
int load_language_pictures(const char *path, char message[DATAFILE_MESSAGE_SIZE]);

/* Checks that every object number the program uses is there with the kind it is used as
   (bitmap, palette, font, sample, data), its pictures at least one pixel in size and the
   textures a power of two wide and high, as the texture mappers need. Returns 1, or 0 with
   "PATH: object N is not a KIND" (or what else is wrong with it) in `message`. */
int check_datafile_kinds(const DATAFILE *data, const char *path, char message[DATAFILE_MESSAGE_SIZE]);

/* Returns the data of object number n of the loaded datafile, or none while no datafile is
   loaded (the world runs headless in tests and tools without one). */
inline void *datafile_object(int n) { return Datafile ? Datafile[n].dat : nullptr; }

/* The sample of object number n, or none while no datafile is loaded. */
inline SAMPLE *datafile_sample(int n) { return (SAMPLE *)datafile_object(n); }
