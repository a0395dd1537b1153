/* quit_request.h: a request to end the game from outside it (SIGTERM, SIGINT, SIGHUP), read by
   the game's loops, and the end of the game when its X server goes away. */
#pragma once

/* Catches SIGTERM, SIGINT and SIGHUP (in place of the game library's handlers, which shut the
   library down inside the signal) so that each only notes the request, and ends the program with
   status 1 and the reason on standard error when the connection to the X server is lost. Called
   once, right after the library has started. */
void install_quit_handlers();

/* The signal that asked the game to end, or 0. The loops that wait read it: the keyboard waits
   answer Esc, the screens and play are left as with Esc, and the main menu quits through the
   normal shutdown. */
int quit_requested();
