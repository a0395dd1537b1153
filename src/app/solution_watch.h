/* solution_watch.h: --watch N, the recorded way through a shipped level played by the robot. */
#pragma once

#include <allegro.h>

/* Plays the recorded solution of shipped level `level` ("solutions/mapNN.txt" beside the maps)
   in the game window through the world's own frame, at the pace it was recorded, with the level
   title and a message line saying it is a demonstration, until it has completed the level (and
   the robot has risen in the teleport for a moment) or Esc is pressed. Prints one line of what
   came of it to standard output. Draws as play draws: the first frame flat, the others with
   perspective-correct texture mapping. Returns the exit status: 0, or 1 when the level's map or
   its solution cannot be read, or the level is not completed after exactly the frames the
   solution's end line says (completed sooner, lost, or still going): the message, naming the
   file and line, goes to standard error, and the watch stops there. Writes nothing. Called by
   main for --watch. */
int watch_solution(int level, BITMAP *buffer);
