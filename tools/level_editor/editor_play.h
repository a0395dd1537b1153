/* editor_play.h: the level played inside the editor: by the player with the game's keys, or by
   the robot along the way the search found. */
#pragma once

#include <allegro.h>

#include <string>

#include "level_search.h"

/* Plays the level in `map_text` full screen through the game's own frame: its keys, rules, HUD
   and message line, until Esc is held or a completion is confirmed. The level is read from a
   file of its own in a temporary folder, so that the restart key starts it again. Leaves the
   world on the level as play left it; the caller starts its own view again. Returns 1 when the
   level was completed. Called by the editor's playtest key. */
int playtest(const std::string &map_text, BITMAP *buffer);

/* Plays the solution in *result on the level in `map_text` in the editor's 3D view, drawing
   every frame through `draw` at the pace of play, until it ends or Esc is pressed. Returns 1
   when the level was completed. */
int watch_solution(const std::string &map_text, const SearchResult &result, void (*draw)());
