/* file_lock.h: the lock two games on one folder take around changing a file there. */
#pragma once

/* Takes the advisory lock of the folder that holds path (an exclusive flock on the folder
   itself, which needs no file of its own, so a folder that takes no new file is locked too),
   waiting up to some seconds for another game holding it. Returns a handle for
   unlock_player_folder, or -1 when no lock could be had (the change then goes on unlocked).
   Held around the read, change and write of tirvex.sav and of the records file, so that two
   games on one folder never lose each other's completion. */
int lock_player_folder(const char *path);

/* Releases the lock lock_player_folder gave; -1 is no lock. */
void unlock_player_folder(int handle);
