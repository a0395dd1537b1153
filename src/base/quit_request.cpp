/* quit_request.cpp: a request to end the game from outside it, and the end of the game when its
   X server goes away. */
#include "base/quit_request.h"

#include <X11/Xlib.h>

#include <csignal>
#include <initializer_list>
#include <cstring>
#include <unistd.h>

#include "base/translation.h"

namespace {

volatile std::sig_atomic_t quit_signal = 0;

/* Only notes the signal: the game ends at its next frame or wait, through its own shutdown. */
void note_quit(int signal)
{
    quit_signal = signal;
}

/* The connection to the X server is gone: nothing can be shown any more, and the library's own
   shutdown was seen to wait for ever on it. Only what a signal handler may do is done here. */
const char *lost_text = "";      /* its line, in the player's language, taken beforehand */
size_t lost_length = 0;

int display_lost(Display *)
{
    const ssize_t written = write(2, lost_text, lost_length);
    (void)written;
    _exit(1);
}

} // namespace

void install_quit_handlers()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = note_quit;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    lost_text = _("tirvex: the connection to the X server was lost; the game ends\n");
    lost_length = std::strlen(lost_text);
    XSetIOErrorHandler(display_lost);
}

int quit_requested()
{
    return quit_signal;
}
