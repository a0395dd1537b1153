/* music_tracks.cpp: the note tables of the three music loops. */
#include "music_song.h"

/* Bars of the drum and melody lines are written one per string; the compiler joins them.
   Melody tokens are sixteenth notes unless the voice says otherwise. */
#define X2(a) a a
#define X3(a) a a a
#define X4(a) a a a a
#define DRUM_REST "................ "
#define REST_BARS4 X4(DRUM_REST)

/* ---- 0: "Hopscotch", playful, 132 beats a minute (object 38) -------------------------
   C | Am | F | G, twice; then F | G | Em | Am and F | G | C | G back round. */

#define STAB(chord) ". " chord " . " chord " . " chord " . " chord " | "
#define HOP_STABS                                                                      \
    STAB("C4+E4+G4") STAB("A3+C4+E4") STAB("A3+C4+F4") STAB("B3+D4+G4")                \
    STAB("C4+E4+G4") STAB("A3+C4+E4") STAB("A3+C4+F4") STAB("B3+D4+G4")                \
    STAB("A3+C4+F4") STAB("B3+D4+G4") STAB("B3+E4+G4") STAB("A3+C4+E4")                \
    STAB("A3+C4+F4") STAB("B3+D4+G4") STAB("C4+E4+G4") STAB("B3+D4+G4")

#define BOUNCE(lo, hi) lo " " hi " " lo " " hi " " lo " " hi " " lo " " hi " | "
#define HOP_BASS                                                                       \
    BOUNCE("C2", "C3") BOUNCE("A1", "A2") BOUNCE("F1", "F2") BOUNCE("G1", "G2")        \
    BOUNCE("C2", "C3") BOUNCE("A1", "A2") BOUNCE("F1", "F2") BOUNCE("G1", "G2")        \
    BOUNCE("F1", "F2") BOUNCE("G1", "G2") BOUNCE("E1", "E2") BOUNCE("A1", "A2")        \
    BOUNCE("F1", "F2") BOUNCE("G1", "G2") BOUNCE("C2", "C3")                           \
    "G1 G2 G1 G2 D2 B1 A1 B1 | "

#define HOP_TUNE                                                                       \
    "E5 . G5 . C6 . G5 . E5 . G5 . A5 - G5 . | "                                       \
    "E5 . C5 . A4 . C5 . E5 - - - . . . . | "                                          \
    "F5 . A5 . C6 . A5 . F5 . A5 . C6 - D6 . | "                                       \
    "B5 - - - G5 - D5 - G5 - - - . . . . | "                                           \
    "E5 . G5 . C6 . G5 . E5 . G5 . A5 - G5 . | "                                       \
    "A5 . G5 . E5 . C5 . E5 - G5 - . . . . | "                                         \
    "A5 . F5 . C5 . F5 . A5 . C6 . A5 . F5 . | "                                       \
    "G5 - - - - - - - . . . . D5 . E5 . | "                                            \
    "F5 - - - A5 - - - C6 - - - A5 - - - | "                                           \
    "B5 - - - D6 - - - B5 - - - G5 - - - | "                                           \
    "G5 - - - E5 - - - B4 - - - E5 - - - | "                                           \
    "A5 - - - - - - - C6 - - - B5 - A5 - | "                                           \
    "A5 . C6 . A5 . F5 . C5 . F5 . A5 . C6 . | "                                       \
    "B5 . D6 . B5 . G5 . D5 . G5 . B5 . D6 . | "                                       \
    "C6 - - - G5 - - - E5 - G5 - C6 - - - | "                                          \
    "B5 - - - - - - - . . . . . . . . | "

#define HOP_KICK X3("x.......x....... ") "x.......x.x.x... "
#define HOP_SNARE X3("....x.......x... ") "....x.....o.x.xx "

/* ---- 1: "Cogwheels", driving, 140 beats a minute (object 39) -------------------------
   Am | F | C | G four times: an intro of bass, arpeggio and drums, then the tune twice
   with a higher middle part. */

#define DRIVE(lo, hi) lo " " lo " " hi " " lo " " lo " " lo " " hi " " lo " | "
#define COG_BASS DRIVE("A2", "A3") DRIVE("F2", "F3") DRIVE("C3", "C4") DRIVE("G2", "G3")

#define ARP(a, b, c, d) X4(a " " b " " c " " d " ") "| "
#define COG_ARP                                                                        \
    ARP("A4", "C5", "E5", "A5") ARP("F4", "A4", "C5", "F5")                            \
    ARP("E4", "G4", "C5", "E5") ARP("D4", "G4", "B4", "D5")

#define COG_PADS "A3+C4+E4 | A3+C4+F4 | G3+C4+E4 | G3+B3+D4 | "

#define COG_TUNE_A                                                                     \
    "A5 - - - E5 - A5 - C6 - B5 - A5 - E5 - | "                                        \
    "F5 - - - - - E5 - F5 - A5 - - - . . | "                                           \
    "G5 - - - E5 - G5 - C6 - - - B5 - G5 - | "
#define COG_TUNE                                                                       \
    X4("................ ")                                                            \
    COG_TUNE_A "D5 - - - - - - - B4 - D5 - G5 - - - | "                                \
    "C6 - - - B5 - - - A5 - - - E5 - - - | "                                           \
    "F5 - - - A5 - - - C6 - - - D6 - C6 - | "                                          \
    "E6 - - - D6 - C6 - G5 - - - C6 - - - | "                                          \
    "B5 - - - - - - - D6 - - - B5 - G5 - | "                                           \
    COG_TUNE_A "D5 - - - G5 - - - B5 - - - D6 - - - | "

#define COG_SNARE REST_BARS4 X4(X2("....x.......x... ")) X3("....x.......x... ") "....x.......x.xx "
#define COG_OPEN_HAT REST_BARS4 X4(X3("..x...x...x...x. "))

/* ---- 2: "Cloud Garden", calm, 96 beats a minute (object 40, the menu) ------------------
   Cmaj7 | Am7 | Fmaj7 | G6 four times; the flute comes in at the fifth bar. */

#define GARDEN_PADS "G3+B3+C4+E4 | G3+A3+C4+E4 | F3+A3+C4+E4 | G3+B3+D4+E4 | "

#define GARDEN_ARP                                                                     \
    "C5 E5 G5 B5 C6 B5 G5 E5 | A4 C5 E5 G5 A5 G5 E5 C5 | "                             \
    "F4 A4 C5 E5 F5 E5 C5 A4 | G4 B4 D5 E5 G5 E5 D5 B4 | "

#define GARDEN_BASS "C3 - - G2 | A2 - - E2 | F2 - - C3 | G2 - - D3 | "

#define GARDEN_TUNE                                                                    \
    X4(". . . . . . . . | ")                                                           \
    "G5 - - - E5 - D5 - | C5 - - - E5 - - - | A5 - - G5 - - E5 - | D5 - - - - - . . | " \
    "E5 - G5 - C6 - - - | B5 - A5 - - - E5 - | F5 - A5 - C6 - B5 - | G5 - - - - - . . | " \
    "G5 - - - E5 - D5 - | C5 - - - E5 - A5 - | G5 - - F5 - - E5 - | D5 - - - C5 - . . | "

#define GARDEN_KICK REST_BARS4 X4(X3("x.........x..... "))
#define GARDEN_RIM REST_BARS4 X4(X3("....o.......o... "))

const Song songs[3] = {
    {"Hopscotch", 132, 16, 6, {
        {INSTRUMENT_PULSE_LEAD, 1, 0.85f, 0.30f, 0.18f, 3, HOP_TUNE},
        {INSTRUMENT_SQUARE_STAB, 2, 0.45f, 0.07f, 0.0f, 0, HOP_STABS},
        {INSTRUMENT_SAW_BASS, 2, 0.5f, 0.40f, 0.0f, 0, HOP_BASS},
        {INSTRUMENT_KICK, 1, 1.0f, 0.55f, 0.0f, 0, HOP_KICK},
        {INSTRUMENT_SNARE, 1, 1.0f, 0.45f, 0.0f, 0, HOP_SNARE},
        {INSTRUMENT_HAT, 1, 1.0f, 0.24f, 0.0f, 0, "x.o.x.o.x.o.x.ox "},
    }},
    {"Cogwheels", 140, 16, 8, {
        {INSTRUMENT_PULSE_LEAD, 1, 0.9f, 0.30f, 0.2f, 3, COG_TUNE},
        {INSTRUMENT_MALLET, 1, 0.6f, 0.11f, 0.3f, 3, COG_ARP},
        {INSTRUMENT_PAD, 16, 0.95f, 0.09f, 0.0f, 0, COG_PADS},
        {INSTRUMENT_SAW_BASS, 2, 0.55f, 0.40f, 0.0f, 0, COG_BASS},
        {INSTRUMENT_KICK, 1, 1.0f, 0.55f, 0.0f, 0, "x...x...x...x... "},
        {INSTRUMENT_SNARE, 1, 1.0f, 0.50f, 0.0f, 0, COG_SNARE},
        {INSTRUMENT_HAT, 1, 1.0f, 0.18f, 0.0f, 0, "xoxoxoxoxoxoxoxo "},
        {INSTRUMENT_OPEN_HAT, 1, 1.0f, 0.12f, 0.0f, 0, COG_OPEN_HAT},
    }},
    {"Cloud Garden", 96, 16, 7, {
        {INSTRUMENT_FLUTE, 2, 0.92f, 0.36f, 0.22f, 6, GARDEN_TUNE},
        {INSTRUMENT_MALLET, 2, 0.9f, 0.12f, 0.3f, 6, GARDEN_ARP},
        {INSTRUMENT_PAD, 16, 0.95f, 0.12f, 0.0f, 0, GARDEN_PADS},
        {INSTRUMENT_ROUND_BASS, 4, 0.9f, 0.32f, 0.0f, 0, GARDEN_BASS},
        {INSTRUMENT_SHAKER, 1, 1.0f, 0.14f, 0.0f, 0, "x.o.x.o.x.o.x.o. "},
        {INSTRUMENT_KICK, 1, 1.0f, 0.35f, 0.0f, 0, GARDEN_KICK},
        {INSTRUMENT_SNARE, 1, 1.0f, 0.25f, 0.0f, 0, GARDEN_RIM},
    }},
};
