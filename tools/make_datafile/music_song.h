/* music_song.h: how a music loop is written down (songs, voices, note tables) and played. */
#pragma once

/* The sounds a voice can play. Pitched ones follow the notes of the table; the drums ignore
   the pitch and read "x" as a hit and "o" as a soft one. */
enum Instrument {
    INSTRUMENT_PULSE_LEAD,   /* thin pulse with vibrato: the playful melodies */
    INSTRUMENT_SQUARE_STAB,  /* short square chords on the off-beats */
    INSTRUMENT_FLUTE,        /* soft triangle with breath: the calm melody */
    INSTRUMENT_MALLET,       /* plucked, ringing tone: arpeggios */
    INSTRUMENT_PAD,          /* slow detuned saws under a low-pass: held chords */
    INSTRUMENT_SAW_BASS,     /* saw with a closing filter: driving bass lines */
    INSTRUMENT_ROUND_BASS,   /* triangle and sine: soft bass */
    INSTRUMENT_KICK,
    INSTRUMENT_SNARE,
    INSTRUMENT_HAT,
    INSTRUMENT_OPEN_HAT,
    INSTRUMENT_SHAKER
};

/* One line of the score. The notes are a string of tokens separated by blanks, one token per
   `steps` sixteenth notes: a note name with octave ("C4", "F#3", "Bb2"), several joined by "+"
   for a chord ("C4+E4+G4"), "x" or "o" for a drum hit, "." for a rest, "-" to hold the note
   before it longer. "|" marks bar lines for the reader and is skipped. A voice shorter than
   the song repeats to fill it (its length must divide the song's). */
struct Voice {
    Instrument instrument;
    int steps;          /* sixteenths per token */
    float gate;         /* fraction of its length a note is held before it is released */
    float volume;       /* mix level */
    float echo;         /* 0: dry; else the level of a feedback echo of `echo_steps` */
    int echo_steps;     /* sixteenths between echo repeats */
    const char *notes;
};

enum { MAX_VOICES = 12 };

struct Song {
    const char *name;
    int tempo;          /* beats (quarter notes) a minute */
    int bars;           /* 4/4 bars in the loop */
    int voice_count;
    Voice voices[MAX_VOICES];
};

/* The three songs in music-number order: 0 playful (object 38), 1 driving (39), 2 the calm
   menu loop (40). Defined in music_tracks.cpp. */
extern const Song songs[3];

/* Adds one note of instrument, starting at sample start of the loop buffer s (count samples)
   and held for gate samples, at hz with velocity 0 ... 1. The release tail wraps round to the
   start of the buffer, so the loop repeats seamlessly. seed varies the noise of drum hits.
   Defined in music_instruments.cpp; called by the sequencer in music.cpp. */
void play_note(Instrument instrument, float *s, int count, int start, int gate, float hz,
               float velocity, unsigned seed);
