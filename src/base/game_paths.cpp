/* game_paths.cpp: where the game finds its data and keeps each player's files. */
#include "base/game_paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_read.h"
#include "base/file_replace.h"
#include "base/translation.h"

// The build system defines both for this file alone, so that a new prefix recompiles only it.
#ifndef TIRVEX_DATA_DIR
#define TIRVEX_DATA_DIR "/usr/local/share/games/tirvex"
#endif
#ifndef TIRVEX_VERSION
#define TIRVEX_VERSION "1.2"
#endif

char home_folder[GAME_PATH_SIZE];
char config_folder[GAME_PATH_SIZE];
char levels_folder[GAME_PATH_SIZE];
char levels_progress_folder[GAME_PATH_SIZE];
bool home_unwritable;
bool progress_unwritable;

namespace {

/* Room left in a path for "/data/pz.dat" or a file name after the folder. */
const size_t FOLDER_LIMIT = GAME_PATH_SIZE - 64;

bool holds_datafile(const char *folder)
{
    char path[GAME_PATH_SIZE + 64];
    std::snprintf(path, sizeof path, "%s%sdata/pz.dat", folder, folder[0] ? "/" : "");
    struct stat s;
    return stat(path, &s) == 0 && S_ISREG(s.st_mode) && access(path, R_OK) == 0;
}

/* Writes path, made absolute against the working directory, into out. Returns false when it
   does not fit. */
bool make_absolute(const char *path, char *out)
{
    if (path[0] == '/')
        return std::snprintf(out, FOLDER_LIMIT, "%s", path) < (int)FOLDER_LIMIT;
    char here[GAME_PATH_SIZE];
    if (!getcwd(here, sizeof here))
        return false;
    return std::snprintf(out, FOLDER_LIMIT, "%s/%s", here, path) < (int)FOLDER_LIMIT;
}

/* The folder of the running program: from the kernel when it tells, else from argv[0]. */
bool program_folder(const char *program_path, char *out)
{
    ssize_t n = readlink("/proc/self/exe", out, FOLDER_LIMIT - 1);
    if (n > 0) {
        out[n] = '\0';
    } else {
        if (!program_path || !std::strchr(program_path, '/') || !make_absolute(program_path, out))
            return false;
    }
    char *slash = std::strrchr(out, '/');
    if (!slash)
        return false;
    *(slash == out ? slash + 1 : slash) = '\0';
    return true;
}

/* Creates the folder and every missing parent, the new ones with mode 0700 (earlier players'
   files are nobody else's business), and makes sure files can be written in it. Returns 0, or
   the errno that stopped it. */
int prepare_folder(const char *folder)
{
    char path[GAME_PATH_SIZE];
    std::snprintf(path, sizeof path, "%s", folder);
    for (char *p = path + 1;; p++) {
        if (*p != '/' && *p != '\0')
            continue;
        char kept = *p;
        *p = '\0';
        if (mkdir(path, 0700) != 0 && errno != EEXIST)
            return errno;
        *p = kept;
        if (kept == '\0')
            break;
    }
    struct stat s;
    if (stat(folder, &s) != 0)
        return errno;
    if (!S_ISDIR(s.st_mode))
        return ENOTDIR;
    return access(folder, W_OK | X_OK) == 0 ? 0 : errno;
}

/* Whether the folder holds a tirvex.sav that is a regular file this player may write: a folder
   that takes no new file still keeps progress then, written in place. */
bool save_writable_in_place(const char *folder)
{
    char path[GAME_PATH_SIZE + 16];
    std::snprintf(path, sizeof path, "%s/tirvex.sav", folder);
    struct stat s;
    return lstat(path, &s) == 0 && S_ISREG(s.st_mode) && access(path, W_OK) == 0;
}

/* Writes into out (FOLDER_LIMIT bytes) the XDG folder of the game: $XDG_x_HOME/tirvex when that
   is an absolute path, else $HOME/`under_home`/tirvex, else `otherwise`. */
void choose_xdg_folder(char *out, const char *xdg, const char *home, const char *under_home,
                       const char *otherwise)
{
    if (xdg && xdg[0] == '/')
        std::snprintf(out, FOLDER_LIMIT, "%s/tirvex", xdg);
    else if (home && home[0] == '/')
        std::snprintf(out, FOLDER_LIMIT, "%s/%s/tirvex", home, under_home);
    else
        std::snprintf(out, FOLDER_LIMIT, "%s", otherwise);
}

/* Sets home_folder from the environment when neither the option nor the working directory
   decides it; with no home to keep files in, the working directory the game was started from. */
void choose_user_folder(const PlaceRequest *r, const char *start_folder)
{
    choose_xdg_folder(home_folder, r->xdg_data_home, r->home, ".local/share", start_folder);
}

} // namespace

int prepare_config_folder()
{
    return config_folder[0] ? prepare_folder(config_folder) : 0;
}

namespace {

/* The settings' folder when neither --home nor the working directory decides it; with no home,
   the player's folder. */
void choose_config_folder(const PlaceRequest *r)
{
    choose_xdg_folder(config_folder, r->xdg_config_home, r->home, ".config", home_folder);
}

/* An earlier version kept wvideo.cfg with the save: it moves once to the settings' folder, by
   rename, or by copy where the two folders lie on different file systems. Neither way replaces
   a file that stands at the new name, follows a link there, or moves anything but a regular
   file. A file that cannot be moved stays where it is and is not read. */
void move_old_settings()
{
    if (!std::strcmp(config_folder, home_folder))
        return;
    char old_path[GAME_PATH_SIZE + 16], new_path[GAME_PATH_SIZE + 16];
    std::snprintf(old_path, sizeof old_path, "%s/wvideo.cfg", home_folder);
    std::snprintf(new_path, sizeof new_path, "%s/wvideo.cfg", config_folder);
    struct stat s;
    if (lstat(old_path, &s) != 0 || !S_ISREG(s.st_mode) || lstat(new_path, &s) == 0 ||
        prepare_config_folder() != 0)
        return;
    if (renameat2(AT_FDCWD, old_path, AT_FDCWD, new_path, RENAME_NOREPLACE) == 0)
        return;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename: link() never replaces either.
        if (link(old_path, new_path) == 0) {
            unlink(old_path);
            return;
        }
    }
    if (errno != EXDEV)
        return;
    enum { SETTINGS_LIMIT = 4096 };
    char bytes[SETTINGS_LIMIT], fault[GAME_PATH_SIZE + 64];
    int fd = open_regular_file(old_path, SETTINGS_LIMIT, fault, sizeof fault);
    if (fd < 0)
        return;
    const long got = read_up_to(fd, bytes, sizeof bytes);
    close(fd);
    const char *failed = nullptr;
    if (got >= 0 && file_create(new_path, bytes, (size_t)got, &failed) == 0)
        unlink(old_path);
}

/* Sets levels_folder and the folder of its progress record for --levels DIR (made absolute
   while the working directory is still the one the game was started in). Returns 0 with the
   fault when DIR holds no readable map01.txt. */
int choose_levels_folder(const char *option, char *fault, size_t size)
{
    if (!make_absolute(option, levels_folder)) {
        std::snprintf(fault, size, _("the folder of levels %s cannot be used"), option);
        return 0;
    }
    char first[GAME_PATH_SIZE + 16];
    std::snprintf(first, sizeof first, "%s/map01.txt", levels_folder);
    struct stat s;
    if (stat(first, &s) != 0 || !S_ISREG(s.st_mode) || access(first, R_OK) != 0) {
        std::snprintf(fault, size, _("%s holds no readable map01.txt: not a folder of levels"),
                      levels_folder);
        return 0;
    }
    return 1;
}

/* The progress of a folder of levels: beside its maps when the folder can be written, else in
   the player's folder under the folder's name. Never the shipped levels' record: where neither
   place can be written, the record is read from the second place (where an earlier run may have
   kept it) and progress is not saved. home_error is why the player's folder is unusable, or 0. */
void choose_levels_progress(int home_error, char *notice, size_t size)
{
    levels_progress_place(levels_folder, levels_progress_folder, FOLDER_LIMIT);
    if (access(levels_folder, W_OK) == 0 || save_writable_in_place(levels_folder))
        return;
    int error = home_error ? home_error : prepare_folder(levels_progress_folder);
    if (error && !save_writable_in_place(levels_progress_folder)) {
        progress_unwritable = true;
        std::snprintf(notice, size,
                      _("Cannot keep the progress of %s in %s: %s. Progress will not be saved."),
                      levels_folder, levels_progress_folder, std::strerror(error));
        std::fprintf(stderr, "tirvex: %s\n", notice);
    }
}

/* The folder of the program and the installed layout around it, for find_data_folder. */
char beside[GAME_PATH_SIZE], installed_beside[GAME_PATH_SIZE + 32];

} // namespace

const char *find_data_folder(const char *program_path)
{
    if (holds_datafile(""))
        return "";
    const bool known = program_folder(program_path, beside);
    std::snprintf(installed_beside, sizeof installed_beside, "%s/../share/games/tirvex",
                  known ? beside : "");
    if (holds_datafile(TIRVEX_DATA_DIR))
        return TIRVEX_DATA_DIR;
    if (known && holds_datafile(installed_beside))
        return installed_beside;
    if (known && holds_datafile(beside))
        return beside;
    // Nowhere: the loader names the missing file as it always has.
    std::fprintf(stderr, _("tirvex: no data/pz.dat in the working directory, in %s or beside the "
                           "program\n"), TIRVEX_DATA_DIR);
    return "";
}

int find_game_places(const PlaceRequest *r, char *fault, char *notice, size_t size)
{
    fault[0] = notice[0] = '\0';
    home_folder[0] = config_folder[0] = '\0';
    levels_folder[0] = levels_progress_folder[0] = '\0';
    home_unwritable = progress_unwritable = false;

    char start_folder[GAME_PATH_SIZE] = "";
    if (!getcwd(start_folder, FOLDER_LIMIT))
        start_folder[0] = '\0';
    if (r->levels_option && !choose_levels_folder(r->levels_option, fault, size))
        return 0;

    // The folder the data comes from; empty for the working directory.
    const char *data = "";
    bool data_here = false;
    if (r->data_option) {
        if (!holds_datafile(r->data_option)) {
            std::snprintf(fault, size, _("the data folder %s holds no readable data/pz.dat"),
                          r->data_option);
            return 0;
        }
        data = r->data_option;
    } else {
        data = find_data_folder(r->program_path);
        data_here = !data[0];
    }

    if (r->home_option) {
        if (!make_absolute(r->home_option, home_folder)) {
            std::snprintf(fault, size, _("the folder %s cannot be used for the player's files"),
                          r->home_option);
            return 0;
        }
        std::snprintf(config_folder, FOLDER_LIMIT, "%s", home_folder);
    } else if (!data_here) {
        choose_user_folder(r, start_folder);
        choose_config_folder(r);
    }

    if (data[0] && chdir(data) != 0) {
        std::snprintf(fault, size, _("cannot enter the data folder %s: %s"), data,
                      std::strerror(errno));
        return 0;
    }

    int home_error = home_folder[0] ? prepare_folder(home_folder) : 0;
    home_unwritable = home_error != 0;
    if (config_folder[0] && std::strcmp(config_folder, home_folder) != 0 && home_folder[0] &&
        !home_error)
        move_old_settings();
    // A folder of levels that can be written keeps its own record, even when the player's
    // folder cannot.
    if (levels_folder[0])
        choose_levels_progress(home_error, notice, size);
    else
        progress_unwritable = home_unwritable && !save_writable_in_place(home_folder);
    if (home_error && !progress_unwritable) {
        std::snprintf(notice, size, _("Cannot keep the player's files in %s: %s."), home_folder,
                      std::strerror(home_error));
        std::fprintf(stderr, "tirvex: %s\n", notice);
    } else if (home_error && !levels_folder[0]) {
        std::snprintf(notice, size,
                      _("Cannot keep the player's files in %s: %s. Progress will not be saved."),
                      home_folder, std::strerror(home_error));
        std::fprintf(stderr, "tirvex: %s\n", notice);
    }
    return 1;
}

int adopt_levels_folder(const char *folder, char *fault, char *notice, size_t size)
{
    fault[0] = notice[0] = '\0';
    if (!choose_levels_folder(folder, fault, size)) {
        levels_folder[0] = '\0';
        return 0;
    }
    const int home_error = home_folder[0] && home_unwritable ? prepare_folder(home_folder) : 0;
    progress_unwritable = false;
    choose_levels_progress(home_error, notice, size);
    return 1;
}

const char *levels_progress_place(const char *folder, char *out, size_t size)
{
    if (access(folder, W_OK) == 0 || save_writable_in_place(folder)) {
        std::snprintf(out, size, "%.*s", (int)FOLDER_LIMIT - 1, folder);
        return out;
    }
    const char *name = std::strrchr(folder, '/');
    name = name && name[1] ? name + 1 : "levels";
    std::snprintf(out, size, "%.*s%slevels/%.*s", (int)FOLDER_LIMIT / 2 - 16, home_folder,
                  home_folder[0] ? "/" : "", (int)FOLDER_LIMIT / 2 - 16, name);
    return out;
}

bool running_program_folder(const char *program_path, char *out)
{
    return program_folder(program_path, out);
}

const char *user_file_path(const char *name, char *out, size_t size)
{
    if (home_folder[0])
        std::snprintf(out, size, "%s/%s", home_folder, name);
    else
        std::snprintf(out, size, "%s", name);
    return out;
}

const char *config_file_path(const char *name, char *out, size_t size)
{
    if (config_folder[0])
        std::snprintf(out, size, "%s/%s", config_folder, name);
    else
        std::snprintf(out, size, "%s", name);
    return out;
}

const char *progress_file_path(const char *name, char *out, size_t size)
{
    if (!levels_progress_folder[0])
        return user_file_path(name, out, size);
    std::snprintf(out, size, "%s/%s", levels_progress_folder, name);
    return out;
}

const char *level_file_path(int level, char *out, size_t size)
{
    if (levels_folder[0])
        std::snprintf(out, size, "%s/map%02d.txt", levels_folder, level);
    else
        std::snprintf(out, size, "maps//map%02d.txt", level);
    return out;
}

const char *game_version() { return TIRVEX_VERSION; }

const char *player_levels_folder(const char *home_option, char *out, size_t size)
{
    char start_folder[GAME_PATH_SIZE] = "";
    if (!getcwd(start_folder, FOLDER_LIMIT))
        return nullptr;
    // The same choice as the game's, made on a copy: home_folder is the running game's.
    char kept[GAME_PATH_SIZE];
    std::memcpy(kept, home_folder, sizeof kept);
    PlaceRequest r{};
    r.xdg_data_home = std::getenv("XDG_DATA_HOME");
    r.home = std::getenv("HOME");
    // --home wins over both, as in find_game_places: the set once went to the game's folder.
    bool named = true;
    if (home_option)
        named = make_absolute(home_option, home_folder);
    else if (holds_datafile(""))
        std::snprintf(home_folder, FOLDER_LIMIT, "%s", start_folder);
    else
        choose_user_folder(&r, start_folder);
    const int written = std::snprintf(out, size, "%.*s/levels", (int)FOLDER_LIMIT, home_folder);
    std::memcpy(home_folder, kept, sizeof kept);
    if (!named || written <= 0 || (size_t)written >= size) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    const int error = prepare_folder(out);
    errno = error;
    return error == 0 ? out : nullptr;
}
