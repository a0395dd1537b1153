/* solution_watch.h: --watch N, the recorded way through a shipped level played by the robot. */
#pragma once

#include <allegro.h>

/* Plays the recorded solution of shipped level `level` ("solutions/mapNN.txt" beside the maps)
   in the game window through the world's own frame, at the pace it was recorded, with the level
   title and a message line saying it is a demonstration, until it has completed the level (and
   the robot has risen in the teleport for a moment) or Esc is pressed. Prints one line of what
   came of it to standard output. Returns the exit status: 0, or 1 when the level's map or its
   solution cannot be read (the message, naming the file and line, goes to standard error) or
   the solution no longer completes the level. Writes nothing. Called by main for --watch. */
int watch_solution(int level, BITMAP *buffer);
