/* sound.h: sound cues and the looped music. */
#pragma once

#include <allegro.h>

/* 1 once the menu music loop has been started; the play loop clears it when a level starts, so
   the menu starts its music again on the next return. */
extern int music_started;

/* The datafile object that holds music number n (n >= 0): 38 + n mod 3. */
int music_object(int n);

/* Plays a sample once at full volume, centre pan, normal pitch, unless sound is off. A null
   sample (no datafile loaded, as in tests) plays nothing. */
void play_cue(SAMPLE *sample);

/* Starts music number n looping at volume 150 unless sound is off; sets music_started either
   way. Called by the main menu (music 2) and the play loop (the level's number). */
void start_music(int n);

/* Stops music number n unless sound is off (a loop started before sound was switched off keeps
   playing). */
void stop_music(int n);

/* Stops every music loop a level can have started: the level's number may have been stepped
   with F9 or F10 since its music began. Does nothing while sound is off, like stop_music. Used by
   the play loop at the end of a level and by the music key. */
void stop_level_music();

/* The name the start-up console gives the installed digital driver: its name, or for the
   library's silent driver (no sound hardware) its plain name "No sound", never an empty text. */
const char *digi_driver_name(const DIGI_DRIVER *driver);
