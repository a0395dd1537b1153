/* play_folder.cpp: what the editor lets the world play, and the temporary folder a playtest reads
   its level from. */
#include "base/translation.h"
#include "play_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "search/map_validation.h"
#include "base/file_read.h"

namespace {

enum { FOLDER_SIZE = 4096, READ_BACK_SIZE = 64 * 1024 };

const char MAP_NAME[] = "map01.txt";

char open_folder[FOLDER_SIZE];      /* the folder open now, empty for none */
char map_path[FOLDER_SIZE + 16];    /* its map01.txt */
bool exit_hooked;

/* The folder of temporary files: $TMPDIR when it names one absolutely, as other programs take
   it, else /tmp. */
const char *temporary_root()
{
    const char *root = std::getenv("TMPDIR");
    return root && root[0] == '/' ? root : "/tmp";
}

std::string system_fault(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

/* Writes the map into the open folder under a name nothing else may hold: a file, a link or
   anything else standing there is removed first, and the new one is made exclusively. */
std::string write_map(const std::string &map_text)
{
    const std::string path = map_path;
    if (unlink(map_path) != 0 && errno != ENOENT)
        return system_fault(path + _(": cannot be replaced"));
    const int fd = open(map_path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return system_fault(path + _(": cannot be made"));
    size_t done = 0;
    while (done < map_text.size()) {
        const ssize_t n = write(fd, map_text.data() + done, map_text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const std::string fault = system_fault(path + _(": cannot be written"));
            close(fd);
            return fault;
        }
        done += (size_t)n;
    }
    if (close(fd) != 0)
        return system_fault(path + _(": cannot be written"));
    return "";
}

/* Whether the open folder's map reads back as map_text. Allocates nothing: the playtest asks
   this on every frame a restart key is held. */
bool map_intact(const std::string &map_text)
{
    static char back[READ_BACK_SIZE];
    char fault[64];
    const int fd = open_regular_file(map_path, READ_BACK_SIZE - 1, fault, sizeof fault);
    if (fd < 0)
        return false;
    // A map as long as the buffer or longer is never taken as intact: the file may go on.
    const long got = read_up_to(fd, back, sizeof back);
    close(fd);
    return got >= 0 && (size_t)got < sizeof back && (size_t)got == map_text.size() &&
           std::memcmp(back, map_text.data(), (size_t)got) == 0;
}

void close_at_exit() { close_play_folder(); }

} // namespace

std::string play_refusal(const std::string &map_text)
{
    static ValidationReport report;
    validate_map(map_text.data(), map_text.size(), &report);
    if (report.faults == 0)
        return "";
    for (int i = 0; i < report.message_count; i++) {
        const ValidationMessage &m = report.messages[i];
        if (m.fault)
            return _("line ") + std::to_string(m.line) + ": " + m.text;
    }
    // Every message kept was a warning: the faults came later than the report holds.
    return std::to_string(report.faults) + _(" faults");
}

std::string open_play_folder(const std::string &map_text)
{
    close_play_folder();
    if (!exit_hooked) {
        // A way out past the playtest's own end (the program stopping on a fault) still
        // removes the folder.
        std::atexit(close_at_exit);
        exit_hooked = true;
    }
    char folder[FOLDER_SIZE];
    std::snprintf(folder, sizeof folder, "%s/tirvex_edit_play_XXXXXX", temporary_root());
    if (!mkdtemp(folder))
        return system_fault(std::string(temporary_root()) + _(": no folder for the playtest"));
    std::snprintf(open_folder, sizeof open_folder, "%s", folder);
    std::snprintf(map_path, sizeof map_path, "%s/%s", folder, MAP_NAME);
    const std::string fault = write_map(map_text);
    if (!fault.empty())
        close_play_folder();
    return fault;
}

const char *play_folder() { return open_folder; }

std::string ready_play_file(const std::string &map_text)
{
    if (!open_folder[0])
        return _("no playtest folder is open");
    return map_intact(map_text) ? "" : write_map(map_text);
}

void close_play_folder()
{
    if (!open_folder[0])
        return;
    // Only plain names are removed, through the folder itself: a link is removed, never
    // followed.
    if (DIR *dir = opendir(open_folder)) {
        const int fd = dirfd(dir);
        while (const dirent *entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            if (unlinkat(fd, entry->d_name, 0) != 0 && errno == EISDIR)
                unlinkat(fd, entry->d_name, AT_REMOVEDIR);
        }
        closedir(dir);
    }
    rmdir(open_folder);
    open_folder[0] = map_path[0] = '\0';
}
