/* play_folder.h: what the editor lets the world play, and the temporary folder a playtest reads
   its level from. */
#pragma once

#include <string>

/* Why the world cannot start the level in `map_text`: an empty string when it can, else the
   validator's first fault with its line ("line 8: none of the 3 squares is a starting position
   (content code 1)"), warnings passed over. The validator has the world's own map reader in its
   verdict, so a level it passes is one the world loads without stopping the program. Called
   before a playtest and before the found way is shown. */
std::string play_refusal(const std::string &map_text);

/* Makes a folder of the editor's own, tirvex_edit_play_XXXXXX under $TMPDIR (when it is an
   absolute path) or /tmp, and writes `map_text` into it as map01.txt. Only one is open at a
   time: an open one is closed first. The folder is removed by close_play_folder, and at the
   program's exit when it is still open. Returns an empty string, or what went wrong
   (nothing is then left behind). Called by the playtest. */
std::string open_play_folder(const std::string &map_text);

/* The open folder's path, empty when none is open. */
const char *play_folder();

/* Makes sure the world will read `map_text` from the open folder's map01.txt: reads the file
   back and writes it again when it differs or is gone. Returns an empty string, or what went
   wrong. Called before the world reads the file: when the playtest starts and when it restarts
   the level. */
std::string ready_play_file(const std::string &map_text);

/* Removes the open folder and whatever the game wrote into it (its map, a screenshot or a log),
   without following links, and allows the par search again. Does nothing when none is open. */
void close_play_folder();
