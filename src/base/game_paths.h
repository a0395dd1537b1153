/* game_paths.h: where the game finds its data and keeps each player's files. */
#pragma once

#include <cstddef>

enum { GAME_PATH_SIZE = 4096 };

/* The per-user folder of tirvex.sav, wvideo.cfg, error.log, error.txt and the screenshots,
   as an absolute path; empty while these live in the working directory. */
extern char home_folder[GAME_PATH_SIZE];

/* The folder of the player's settings, wvideo.cfg and keys.cfg, as an absolute path: the
   --home folder; else empty (the working directory) where the player's files are kept there;
   else $XDG_CONFIG_HOME/tirvex, or $HOME/.config/tirvex. */
extern char config_folder[GAME_PATH_SIZE];

/* Set when the per-user folder could not be created or written. */
extern bool home_unwritable;

/* Set when the progress record of the levels being played has no folder it can be written in
   (the per-user folder for the shipped levels; for --levels, neither the folder of levels nor
   its place in the per-user folder): progress is then not saved. */
extern bool progress_unwritable;

/* The folder of levels given with --levels, as an absolute path; empty for the shipped maps. */
extern char levels_folder[GAME_PATH_SIZE];

/* Where the progress record of that folder's levels is kept: the folder itself when it can be
   written, else a folder of the same name under "levels" in the per-user folder; empty for the
   shipped maps, whose record is the per-user tirvex.sav. */
extern char levels_progress_folder[GAME_PATH_SIZE];

/* What start-up is given to find the two places with: the --data and --home options (nullptr
   when absent), the values of XDG_DATA_HOME and HOME (nullptr when unset) and the program path
   (argv[0]). */
struct PlaceRequest {
    const char *data_option;
    const char *home_option;
    const char *xdg_data_home;
    const char *home;
    const char *program_path;
    const char *levels_option;  /* --levels DIR, nullptr when absent */
    const char *xdg_config_home;    /* XDG_CONFIG_HOME, nullptr when unset */
};

/* Finds the data folder (the one that holds data/pz.dat): the --data folder; else the working
   directory when it holds data/pz.dat; else the installed data folder; else the installed
   layout around the program ("../share/games/tirvex" from its folder); else the program's own
   folder. Then enters it, so that "data/pz.dat", "maps//mapNN.txt" and "bsp/..." are read from
   there, and sets home_folder: the --home folder; else the working directory when the data came
   from there; else $XDG_DATA_HOME/tirvex (XDG_DATA_HOME empty or not absolute counts as
   unset); else $HOME/.local/share/tirvex. The folder is created with mode 0700 where missing;
   when it cannot be created or written, home_unwritable is set and a message goes to
   standard error and into notice. progress_unwritable is set, with a message, when the
   progress record has nowhere to be written. When no folder holds data/pz.dat the working directory
   stays the data folder, and the datafile loader reports the missing file. Returns 1, or 0
   with the fault in fault when the --data folder holds no data/pz.dat or cannot be entered.
   config_folder is set beside it; a wvideo.cfg left in the per-user folder by an earlier
   version is moved into config_folder (created with mode 0700) when that has none.
   With --levels, levels_folder and levels_progress_folder are set (the latter created where
   missing) and a folder without a readable map01.txt is a fault. Both buffers hold size bytes.
   Called once by main, before start-up. */
int find_game_places(const PlaceRequest *request, char *fault, char *notice, size_t size);

/* Makes `folder` the folder of levels being played, as --levels does in find_game_places (which
   has run, without --levels): for levels made after start-up, the level generator's. Sets
   levels_folder and levels_progress_folder. Returns 1, or 0 with the fault in fault when the
   folder holds no readable map01.txt; a notice (progress cannot be saved) goes into notice.
   Both buffers hold size bytes. */
int adopt_levels_folder(const char *folder, char *fault, char *notice, size_t size);

/* Writes into out (size bytes) the folder where the progress record of the folder of levels
   `folder` (an absolute path) is kept, as find_game_places and adopt_levels_folder choose it
   (home_folder set): the folder itself when it can be written, else its name under "levels"
   in the per-user folder. Makes nothing. Returns out. */
const char *levels_progress_place(const char *folder, char *out, size_t size);

/* Writes the folder the running program is in into out (GAME_PATH_SIZE bytes), from
   /proc/self/exe, else from program_path (argv[0]) when it names a folder. Returns false when
   neither tells. */
bool running_program_folder(const char *program_path, char *out);

/* Returns the folder that holds data/pz.dat: "" for the working directory when it holds one,
   else the installed data folder, else "../share/games/tirvex" from the program's folder,
   else the program's folder; "" (with a note on standard error) when none does. The result
   stays valid until the next call. Used by find_game_places and the tools that draw. */
const char *find_data_folder(const char *program_path);

/* Creates config_folder (mode 0700) where missing, before a settings file is written: it is
   made only then, so a player who never changes a setting finds nothing there. Returns 0, or
   the errno that stopped it. */
int prepare_config_folder();

/* Writes into out (size bytes) the path of the settings file name (in config_folder) and returns
   out. */
const char *config_file_path(const char *name, char *out, size_t size);

/* Writes into out (size bytes) the path of the per-user file name and returns out. */
const char *user_file_path(const char *name, char *out, size_t size);

/* The path of the progress file `name` of the levels being played: in levels_progress_folder
   when levels come from --levels, else as user_file_path. Returns out. */
const char *progress_file_path(const char *name, char *out, size_t size);

/* The path of level `level`'s map file: "maps//mapNN.txt" in the data folder, or
   levels_folder/mapNN.txt with --levels. Returns out. */
const char *level_file_path(int level, char *out, size_t size);

/* The version of the game ("1.2"), for --version. */
const char *game_version();

/* The player's own folder of levels: "levels" in the per-user folder as find_game_places
   chooses it, so before it has run: in the --home folder `home_option` (nullptr without one),
   else the working directory when it holds data/pz.dat (as the game's build folder does), else
   the XDG data folder; created where missing. Writes it into out (size bytes) and returns out,
   or nullptr (errno set) when it cannot be made. Called by the level editor started without a
   map (home_option nullptr), for --levels without a folder and for --generate. */
const char *player_levels_folder(const char *home_option, char *out, size_t size);
