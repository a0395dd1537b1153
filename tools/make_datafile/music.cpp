/* music.cpp: the sequencer that plays the note tables of the three music loops (38, 39, 40). */
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "make_datafile.h"
#include "music_song.h"
#include "sound_synth.h"

namespace {

/* The music plays under the effects: its loudest moment is about half of full scale. */
const float MUSIC_PEAK = 0.5f;

/* Loops must stay within these lengths, in seconds. */
const float SHORTEST_LOOP = 20.0f, LONGEST_LOOP = 60.0f;

enum { MAX_CHORD = 6 };

/* One note or chord of a voice, in sixteenths from the voice's start. */
struct NoteEvent {
    int start, length;
    int count;                 /* notes in the chord; 0 for a drum hit */
    int notes[MAX_CHORD];      /* MIDI note numbers */
    float velocity;
};

[[noreturn]] void score_error(const Song &song, const char *what, const char *token)
{
    std::fprintf(stderr, "make_datafile: song \"%s\": %s at \"%.12s\"\n", song.name, what, token);
    std::exit(1);
}

/* Reads one note name ("C4", "F#3", "Bb2") at p; returns its MIDI number and moves p on. */
int read_note(const Song &song, const char *&p)
{
    static const int semitones[7] = {9, 11, 0, 2, 4, 5, 7};  /* A B C D E F G */
    const char *token = p;
    char letter = (char)std::toupper((unsigned char)*p);
    if (letter < 'A' || letter > 'G')
        score_error(song, "not a note", token);
    int note = semitones[letter - 'A'];
    p++;
    if (*p == '#') {
        note++;
        p++;
    } else if (*p == 'b') {
        note--;
        p++;
    }
    if (!std::isdigit((unsigned char)*p))
        score_error(song, "note without octave", token);
    int octave = *p++ - '0';
    return (octave + 1) * 12 + note;
}

/* Turns a voice's note string into events; returns the voice's length in sixteenths. */
int read_voice(const Song &song, const Voice &voice, std::vector<NoteEvent> &events)
{
    int position = 0;
    bool holding = false;
    const char *p = voice.notes;
    for (;;) {
        while (*p == ' ' || *p == '|' || *p == '\n')
            p++;
        if (!*p)
            break;
        const char *token = p;
        if (*p == '-') {
            if (!holding)
                score_error(song, "hold without a note", token);
            events.back().length += voice.steps;
            p++;
        } else if (*p == '.') {
            holding = false;
            p++;
        } else if (*p == 'x' || *p == 'o') {
            events.push_back(NoteEvent{position, voice.steps, 0, {}, *p == 'x' ? 1.0f : 0.45f});
            holding = true;
            p++;
        } else {
            NoteEvent chord{position, voice.steps, 0, {}, 1.0f};
            for (;;) {
                if (chord.count == MAX_CHORD)
                    score_error(song, "chord too large", token);
                chord.notes[chord.count++] = read_note(song, p);
                if (*p != '+')
                    break;
                p++;
            }
            events.push_back(chord);
            holding = true;
            /* Single-character tokens may run together ("x..o"); note names may not. */
            if (*p && *p != ' ' && *p != '|' && *p != '\n')
                score_error(song, "unreadable token", token);
        }
        position += voice.steps;
    }
    return position;
}

/* A feedback echo on a loop: each repeat comes `delay` samples later at `level` times the
   previous one, and the repeats that run past the end come back in at the start. Three turns
   round the loop let the feedback settle to the value it has when the loop plays for ever. */
void loop_echo(std::vector<float> &s, int delay, float level)
{
    const std::vector<float> dry = s;
    int count = (int)s.size();
    for (int turn = 0; turn < 3; turn++)
        for (int i = 0; i < count; i++)
            s[i] = dry[i] + level * s[(i - delay + count) % count];
}

void play_voice(const Song &song, int voice_index, int step_samples, std::vector<float> &mix)
{
    const Voice &voice = song.voices[voice_index];
    std::vector<NoteEvent> events;
    int voice_steps = read_voice(song, voice, events);
    int song_steps = song.bars * 16;
    if (voice_steps == 0 || song_steps % voice_steps != 0)
        score_error(song, "voice length does not divide the song", voice.notes);

    int count = (int)mix.size();
    std::vector<float> s(count, 0.0f);
    for (int repeat = 0; repeat < song_steps / voice_steps; repeat++) {
        for (const NoteEvent &e : events) {
            int start = (repeat * voice_steps + e.start) * step_samples;
            int gate = std::max(1, (int)(e.length * step_samples * voice.gate));
            unsigned seed = seed_mix((unsigned)voice_index, (unsigned)start, (unsigned)song.tempo);
            if (e.count == 0)
                play_note(voice.instrument, s.data(), count, start, gate, 0.0f, e.velocity, seed);
            for (int n = 0; n < e.count; n++)
                play_note(voice.instrument, s.data(), count, start, gate,
                          note_frequency(e.notes[n]), e.velocity, seed + n);
        }
    }
    if (voice.echo > 0.0f)
        loop_echo(s, voice.echo_steps * step_samples, voice.echo);
    for (int i = 0; i < count; i++)
        mix[i] += voice.volume * s[i];
}

}  // namespace

void make_music(const char *path, int number)
{
    const Song &song = songs[number % 3];
    int step_samples = (int)std::lround(SOUND_RATE * 60.0 / song.tempo / 4.0);
    int count = song.bars * 16 * step_samples;
    float duration = count / float(SOUND_RATE);
    if (duration < SHORTEST_LOOP || duration > LONGEST_LOOP) {
        std::fprintf(stderr, "make_datafile: song \"%s\" lasts %.1f s\n", song.name, duration);
        std::exit(1);
    }
    std::vector<float> mix(count, 0.0f);
    for (int v = 0; v < song.voice_count; v++)
        play_voice(song, v, step_samples, mix);
    normalise_peak(mix.data(), count, MUSIC_PEAK);
    save_wav(path, mix.data(), count, SOUND_RATE);
}
