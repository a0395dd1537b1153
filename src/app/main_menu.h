/* main_menu.h: the main menu picture and the key help page. */
#pragma once

/* The result of main_menu. */
enum MenuChoice {
    MENU_QUIT = 0,
    MENU_PLAY = 1,
    MENU_CAST = 2,      /* the cast screen, then the key help page */
    MENU_VIDEO = 3      /* the video mode dialog */
};

/* Fades in the menu picture, waits for Esc, 1, 2 or 3 (other keys are ignored), clicks, fades
   out and restores the palette, waits until the chosen key is released and empties the key
   buffer. Returns the MenuChoice. Called by the menu loop of main. */
int main_menu();

/* Draws the key help lines on the screen and waits for one key. Called after the cast
   screen. */
void key_help_screen();
