/* headless_game.h: the game's data, colour tables and models brought up without a display, for
   the designer tools that render levels into pictures. */
#pragma once

#include <allegro.h>

/* Starts the library without a display in 8-bit colour, makes game_dir the working directory and
   loads from it what a frame is drawn with, as the game's start-up does: the datafile, the square
   textures, the palette with its colour tables, and the nine models. Returns none on success,
   otherwise a text naming what is missing (a broken model file ends the program with its fatal
   message, as in the game). */
const char *start_headless_game(const char *game_dir);

/* Sets the display options as play starts them, then the camera mode with the placement the
   camera key gives it, then the light mode (-1 keeps the one the camera mode brings) and the
   shading mode. */
void set_view_options(int camera_mode, int light_mode, int shading_mode);

/* Reads the whole map file at path into buffer (size bytes, terminated). Returns 0 when the file
   cannot be read or does not fit. */
int read_map_file(const char *path, char *buffer, size_t size);
