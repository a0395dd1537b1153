/* sound.cpp: sound cues and the looped music. */
#include "base/sound.h"

#include "base/datafile.h"
#include "base/display_options.h"

int music_started = 0;

int music_object(int n)
{
    return DAT_MUSIC_FIRST + n % 3;
}

void play_cue(SAMPLE *sample)
{
    if (display_options.sound_off || !sample)
        return;
    play_sample(sample, 255, 128, 1000, 0);
}

void start_music(int n)
{
    if (!display_options.sound_off) {
        if (SAMPLE *music = datafile_sample(music_object(n)))
            play_sample(music, 150, 128, 1000, 1);
    }
    music_started = 1;
}

void stop_music(int n)
{
    if (display_options.sound_off)
        return;
    if (SAMPLE *music = datafile_sample(music_object(n)))
        stop_sample(music);
}

void stop_level_music()
{
    // The music numbers 0, 1 and 2 between them cover every music object.
    for (int n = 0; n < 3; n++)
        stop_music(n);
}

const char *digi_driver_name(const DIGI_DRIVER *driver)
{
    // The library's silent driver, installed where there is no sound hardware, has an empty
    // name; its plain name ("No sound"), or failing that its description, says what it is.
    if (!driver)
        return "No sound";
    if (driver->name && driver->name[0])
        return driver->name;
    if (driver->ascii_name && driver->ascii_name[0])
        return driver->ascii_name;
    if (driver->desc && driver->desc[0])
        return driver->desc;
    return "No sound";
}
