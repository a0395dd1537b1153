/* level_folder_journal.cpp: renumbering the levels of a folder through a journal, and finishing
   a renumbering that was stopped halfway. */
#include "base/level_folder_journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/file_read.h"
#include "base/file_replace.h"
#include "base/translation.h"

void (*renumber_step_hook)(int step) = nullptr;

namespace {

enum { LEVEL_LIMIT = 99, JOURNAL_SIZE = 1024, MAP_READ_LIMIT = 16 * 1024 * 1024 };

/* Every name the renumbering makes starts so: a dot keeps them out of a folder's listing while
   they live, and the prefix tells the recovery they are its own. */
const char STAGED_PREFIX[] = ".renumbering.";
const char JOURNAL_NAME[] = ".renumbering.journal";
const char JOURNAL_FIRST_LINE[] = "tirvex renumbering";
/* Where an earlier version parked the moving level, with no journal to say where it went. */
const char OLD_PARKED_NAME[] = ".renumber.txt";

std::string map_name(int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "map%02d.txt", number);
    return name;
}

std::string staged_name(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", STAGED_PREFIX, number);
    return name;
}

/* The number of a second name .renumbering.NN, 0 for any other name. */
int staged_number(const char *name)
{
    const size_t prefix = sizeof STAGED_PREFIX - 1;
    if (std::strncmp(name, STAGED_PREFIX, prefix) != 0 || std::strlen(name) != prefix + 2)
        return 0;
    const char *digits = name + prefix;
    if (digits[0] < '0' || digits[0] > '9' || digits[1] < '0' || digits[1] > '9')
        return 0;
    const int number = (digits[0] - '0') * 10 + (digits[1] - '0');
    return number >= 1 && number <= LEVEL_LIMIT ? number : 0;
}

/* Whether the name is a half-made backup (.renumbering.NN~) or journal
   (.renumbering.journal.XXXXXX): copies of what stands elsewhere, safe to remove. */
bool unfinished_copy(const char *name)
{
    const size_t prefix = sizeof STAGED_PREFIX - 1, journal = sizeof JOURNAL_NAME - 1;
    if (std::strncmp(name, JOURNAL_NAME, journal) == 0 && name[journal] == '.')
        return true;
    return std::strncmp(name, STAGED_PREFIX, prefix) == 0 && std::strlen(name) == prefix + 3 &&
           name[prefix + 2] == '~' && name[prefix] >= '0' && name[prefix] <= '9' &&
           name[prefix + 1] >= '0' && name[prefix + 1] <= '9';
}

void step_done(int *step)
{
    ++*step;
    if (renumber_step_hook)
        renumber_step_hook(*step);
}

/* The system's reason, or what a refused file is. */
const char *reason(int error)
{
    return error == EINVAL ? _("not a regular file") : std::strerror(error);
}

/* What is wrong, naming the file in the folder, into fault; returns 0 for the caller. */
int failed(char *fault, size_t size, const char *dir, const std::string &name, const char *what,
           int error)
{
    std::snprintf(fault, size, "%s/%s: %s: %s", dir, name.c_str(), what, reason(error));
    return 0;
}

bool present(int folder, const std::string &name)
{
    struct stat st;
    return fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

/* A map present as the game counts one: a regular file, through a link when it is one. */
bool map_present(int folder, int number)
{
    struct stat st;
    return fstatat(folder, map_name(number).c_str(), &st, 0) == 0 && S_ISREG(st.st_mode);
}

/* Reads the whole file `name` of the folder into *bytes, and its permissions into *mode. A FIFO
   or a device at a renumbering's name is refused (EINVAL) as every player's file is, never
   waited on. Returns 0 or the errno. */
int read_file(int folder, const std::string &name, std::string *bytes, mode_t *mode)
{
    char unused[64];
    const int fd = open_regular_file_at(folder, name.c_str(), name.c_str(), MAP_READ_LIMIT,
                                        unused, sizeof unused);
    if (fd < 0)
        return errno;
    struct stat st;
    if (mode)
        *mode = fstat(fd, &st) == 0 ? st.st_mode & 0777 : 0644;
    bytes->clear();
    char buffer[8192];
    long n = 0;
    while ((n = read_up_to(fd, buffer, sizeof buffer)) > 0)
        bytes->append(buffer, (size_t)n);
    const int error = n < 0 ? errno : 0;
    close(fd);
    return error;
}

/* Writes bytes into a new file `name` of the folder, which nothing may stand at (a file or link
   there is removed first, and the file is made exclusively, so nothing is followed), synced.
   Returns 0 or the errno; nothing is left behind on failure. */
int write_new_file(int folder, const std::string &name, const std::string &bytes, mode_t mode)
{
    if (unlinkat(folder, name.c_str(), 0) != 0 && errno != ENOENT)
        return errno;
    const int fd = openat(folder, name.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return errno;
    int error = write_all_synced(fd, bytes.data(), bytes.size());
    if (close(fd) != 0 && !error)
        error = errno;
    if (error)
        unlinkat(folder, name.c_str(), 0);
    return error;
}

/* Gives the file at `name` a second name `second` in the folder: a hard link where the file
   system has them (a link stays a link), else an exclusive copy. Returns 0 or the errno. */
int second_name(int folder, const std::string &name, const std::string &second)
{
    if (unlinkat(folder, second.c_str(), 0) != 0 && errno != ENOENT)
        return errno;
    if (linkat(folder, name.c_str(), folder, second.c_str(), 0) == 0)
        return 0;
    if (errno != EPERM && errno != EXDEV && errno != EMLINK && errno != ENOTSUP &&
        errno != ENOSYS)
        return errno;
    // Made whole under a name the recovery removes, so a copy cut short is never taken for a
    // level.
    std::string bytes;
    mode_t mode = 0644;
    const std::string temporary = second + "~";
    int error = read_file(folder, name, &bytes, &mode);
    if (!error)
        error = write_new_file(folder, temporary, bytes, mode);
    if (!error && renameat(folder, temporary.c_str(), folder, second.c_str()) != 0) {
        error = errno;
        unlinkat(folder, temporary.c_str(), 0);
    }
    return error;
}

/* Moves `name` to `target`, which must be free: never over a file. Returns 0 or the errno. */
int move_to_free_name(int folder, const std::string &name, const std::string &target)
{
    if (renameat2(folder, name.c_str(), folder, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the no-replace rename: a second name, which cannot replace either.
    if (linkat(folder, name.c_str(), folder, target.c_str(), 0) != 0)
        return errno;
    return unlinkat(folder, name.c_str(), 0) == 0 ? 0 : errno;
}

/* Puts the second name over the map of its number. Renaming a name onto another name of the
   same file does nothing, so such a second name is removed instead. Returns 0 or the errno. */
int put_in_place(int folder, int number)
{
    const std::string staged = staged_name(number), target = map_name(number);
    if (renameat(folder, staged.c_str(), folder, target.c_str()) != 0)
        return errno;
    if (present(folder, staged) && unlinkat(folder, staged.c_str(), 0) != 0)
        return errno;
    return 0;
}

int first_free_number(int folder)
{
    for (int n = 1; n <= LEVEL_LIMIT; n++)
        if (!present(folder, map_name(n)))
            return n;
    return 0;
}

/* The numbers a journal's text puts in place, into numbers; from and to of the move. Returns
   false for a text that is no whole journal. */
bool read_journal(const std::string &text, std::vector<int> *numbers, int *from, int *to)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos)
            return false;   // a journal ends in a line feed
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    int count = 0;
    char tail = 0;
    if (lines.size() < 3 || lines[0] != JOURNAL_FIRST_LINE || lines.back() != "end" ||
        std::sscanf(lines[1].c_str(), "move %d %d %d%c", from, to, &count, &tail) != 3 ||
        count != (int)lines.size() - 3)
        return false;
    numbers->clear();
    for (size_t i = 2; i + 1 < lines.size(); i++) {
        int number = 0;
        if (std::sscanf(lines[i].c_str(), "%d%c", &number, &tail) != 1 || number < 1 ||
            number > LEVEL_LIMIT)
            return false;
        numbers->push_back(number);
    }
    return true;
}

void add_note(std::string *note, const std::string &line)
{
    *note += (note->empty() ? "" : "; ") + line;
}

/* A second name with no journal behind it, or a level parked by an earlier version: removed
   when a map of the folder holds the same bytes, else given the first free number. Returns 0 or
   the errno. */
int keep_or_drop(int folder, const char *dir, const std::string &name, std::string *note)
{
    std::string bytes, other;
    if (int error = read_file(folder, name, &bytes, nullptr))
        return error;
    for (int n = 1; n <= LEVEL_LIMIT; n++) {
        if (map_present(folder, n) && read_file(folder, map_name(n), &other, nullptr) == 0 &&
            other == bytes)
            return unlinkat(folder, name.c_str(), 0) == 0 ? 0 : errno;
    }
    const int free_number = first_free_number(folder);
    if (free_number == 0)
        return ENOSPC;
    if (int error = move_to_free_name(folder, name, map_name(free_number)))
        return error;
    add_note(note, std::string(dir) + "/" + name + _(", a level left by a renumbering that was "
             "stopped, is now ") + map_name(free_number));
    return 0;
}

} // namespace

int renumber_folder_level(const char *dir, int from, int to, char *fault, size_t size)
{
    fault[0] = '\0';
    if (from < 1 || from > LEVEL_LIMIT || to < 1 || to > LEVEL_LIMIT) {
        std::snprintf(fault, size, _("level numbers are 1 to %d"), LEVEL_LIMIT);
        return 0;
    }
    const int folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        std::snprintf(fault, size, "%s: %s", dir, std::strerror(errno));
        return 0;
    }
    const int low = from < to ? from : to, high = from < to ? to : from;
    const int step = from < to ? 1 : -1;
    int steps = 0, ok = 1;
    for (int n = low; n <= high && ok; n++) {
        if (!map_present(folder, n)) {
            std::snprintf(fault, size, _("%s/%s: no such level to renumber"), dir, map_name(n).c_str());
            ok = 0;
        }
    }
    // The backups: copies made whole under a name of the renumbering's own, then renamed, which
    // replaces whatever stands at NAME~ (a link included) instead of writing through it.
    for (int n = low; n <= high && ok && from != to; n++) {
        std::string bytes;
        mode_t mode = 0644;
        const std::string temporary = staged_name(n) + "~", backup = map_name(n) + "~";
        int error = read_file(folder, map_name(n), &bytes, &mode);
        if (error) {
            ok = failed(fault, size, dir, map_name(n), _("cannot be read"), error);
            break;
        }
        if ((error = write_new_file(folder, temporary, bytes, mode)) != 0) {
            ok = failed(fault, size, dir, temporary, _("the backup cannot be written"), error);
            break;
        }
        step_done(&steps);
        if (renameat(folder, temporary.c_str(), folder, backup.c_str()) != 0) {
            ok = failed(fault, size, dir, backup, _("the backup cannot be made"), errno);
            unlinkat(folder, temporary.c_str(), 0);
            break;
        }
        step_done(&steps);
    }
    // Every map gets a second name for its new number while all still stand where they were.
    std::string journal = std::string(JOURNAL_FIRST_LINE) + "\n" + "move " +
                          std::to_string(from) + " " + std::to_string(to) + " " +
                          std::to_string(high - low + 1) + "\n";
    for (int n = low; n <= high && ok && from != to; n++) {
        const int number = n == from ? to : n - step;
        if (int error = second_name(folder, map_name(n), staged_name(number))) {
            ok = failed(fault, size, dir, staged_name(number), _("cannot be made"), error);
            break;
        }
        journal += std::to_string(number) + "\n";
        step_done(&steps);
    }
    journal += "end\n";
    if (!ok || from == to) {
        // Nothing has moved: the second names go, the backups stay.
        for (int n = low; n <= high; n++)
            unlinkat(folder, staged_name(n).c_str(), 0);
        close(folder);
        return ok;
    }
    fsync(folder);
    // The journal is the point of no return: from here a stopped renumbering is finished.
    const std::string journal_path = std::string(dir) + "/" + JOURNAL_NAME;
    const char *failed_path = nullptr;
    if (int error = file_replace(journal_path.c_str(), journal.data(), journal.size(), &failed_path)) {
        std::snprintf(fault, size, _("%s: the renumbering's journal cannot be written: %s"),
                      failed_path, std::strerror(error));
        for (int n = low; n <= high; n++)
            unlinkat(folder, staged_name(n).c_str(), 0);
        close(folder);
        return 0;
    }
    step_done(&steps);
    for (int n = low; n <= high && ok; n++) {
        if (int error = put_in_place(folder, n)) {
            ok = failed(fault, size, dir, map_name(n), _("cannot be replaced"), error);
            break;
        }
        step_done(&steps);
    }
    if (ok) {
        fsync(folder);
        if (unlinkat(folder, JOURNAL_NAME, 0) != 0)
            ok = failed(fault, size, dir, JOURNAL_NAME, _("cannot be removed"), errno);
        fsync(folder);
        step_done(&steps);
    }
    close(folder);
    if (!ok) {
        // Carried on at once where it can be; else the next opening of the folder does it.
        char note[RENUMBER_NOTE_SIZE];
        if (finish_renumbering(dir, note, sizeof note) >= 0)
            return 1;
        const size_t used = std::strlen(fault);
        std::snprintf(fault + used, size - used, _("; the renumbering is finished when the "
                      "folder is next opened"));
    }
    return ok;
}

int finish_renumbering(const char *dir, char *note, size_t size)
{
    note[0] = '\0';
    const int folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return 0;   // no folder: whoever opens it says so
    std::string said;
    int error = 0;
    bool mended = false;
    std::string what;

    std::string text;
    const bool journal = present(folder, JOURNAL_NAME);
    if (journal) {
        std::vector<int> numbers;
        int from = 0, to = 0;
        error = read_file(folder, JOURNAL_NAME, &text, nullptr);
        if (!error && text.size() <= JOURNAL_SIZE && read_journal(text, &numbers, &from, &to)) {
            for (int number : numbers) {
                if (present(folder, staged_name(number)) && (error = put_in_place(folder, number)) != 0) {
                    what = map_name(number);
                    break;
                }
            }
            if (!error)
                add_note(&said, std::string(dir) + _(": a renumbering that was stopped is finished: ") +
                         map_name(from) + _(" is now ") + map_name(to));
        } else if (!error) {
            // A journal that is not whole was never the point of no return: the second names
            // are taken as if there were none.
            error = 0;
        } else {
            what = JOURNAL_NAME;
        }
        mended = true;
    }

    // What is left of the renumbering's names, collected before any is removed.
    std::vector<std::string> names;
    if (!error) {
        const int listing = dup(folder);
        DIR *entries = listing >= 0 ? fdopendir(listing) : nullptr;
        if (!entries) {
            error = errno;
            what = ".";
            if (listing >= 0)
                close(listing);
        } else {
            while (const dirent *entry = readdir(entries)) {
                if (staged_number(entry->d_name) || unfinished_copy(entry->d_name) ||
                    std::strcmp(entry->d_name, OLD_PARKED_NAME) == 0)
                    names.push_back(entry->d_name);
            }
            closedir(entries);
        }
    }
    for (const std::string &name : names) {
        if (error)
            break;
        mended = true;
        what = name;
        if (unfinished_copy(name.c_str()))
            error = unlinkat(folder, name.c_str(), 0) == 0 || errno == ENOENT ? 0 : errno;
        else
            error = keep_or_drop(folder, dir, name, &said);
    }
    if (!error && journal) {
        fsync(folder);
        what = JOURNAL_NAME;
        error = unlinkat(folder, JOURNAL_NAME, 0) == 0 || errno == ENOENT ? 0 : errno;
    }
    if (mended)
        fsync(folder);
    close(folder);
    if (error) {
        std::snprintf(note, size, _("%s/%s: a renumbering that was stopped cannot be finished: %s"),
                      dir, what.c_str(), reason(error));
        return -1;
    }
    if (!mended)
        return 0;
    if (said.empty())
        said = std::string(dir) + _(": a renumbering that was stopped before it moved a level "
               "is undone");
    std::snprintf(note, size, "%s", said.c_str());
    return 1;
}
