/* editor_play.h: the level played inside the editor: by the player with the game's keys, or by
   the robot along the way the search found. */
#pragma once

#include <allegro.h>

#include <string>

#include "search/level_search.h"
#include "world/world.h"

/* The world the editor's 3D view shows: the level as edited, settled, and the found way played
   in it. The editor's own; a playtest plays in a session of its own. */
extern World view_world;

/* Plays the level in `map_text` full screen through the game's own frame: its keys, rules, HUD
   and message line, until Esc is held, a completion is confirmed or *close_asked is set (the
   window's close button; left set for the caller). A level the validator finds a fault in is
   not played: the world would stop the program on it. The level is read from a file of its own
   in a temporary folder, so that the restart key starts it again; the folder is the player's
   folder too while the playtest runs, so nothing the game writes lands elsewhere, and it is
   removed before this returns. The caller starts its own view again. Undo, the hint and the records panel work as in the game. Returns what
   came of it for the status line: "playtest: level completed in 2 moves, 1 undo, 0 hints",
   "playtest left", or why there was no playtest ("cannot playtest: line 8: ...") or why it
   stopped. Called by the editor's playtest key. */
std::string playtest(const std::string &map_text, BITMAP *buffer, volatile int *close_asked);

/* Plays the solution in *result on the level in `map_text` in the editor's 3D view, drawing
   every frame through `draw` at the pace of play, until it ends, Esc is pressed or *close_asked
   is set. A level with faults is not started. Returns 1 when the level was completed. */
int watch_solution(const std::string &map_text, const SearchResult &result, void (*draw)(),
                   volatile int *close_asked);
