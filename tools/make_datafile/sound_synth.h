/* sound_synth.h: oscillators, noise, filters and envelopes shared by the effects and the music. */
#pragma once

/* Every sample of the game is mono at this rate. */
constexpr int SOUND_RATE = 22050;

/* Returns the frequency in Hz of a MIDI note number (69 is A4, 440 Hz). */
float note_frequency(int note);

/* Deterministic white noise: the same seed always gives the same sequence. */
struct NoiseSource {
    unsigned state;
};

/* Returns a noise source started from seed (any value, 0 included). */
NoiseSource noise_source(unsigned seed);

/* Returns the next noise value in -1 ... 1 and advances the source. */
float noise_next(NoiseSource &noise);

/* Mixes a few numbers into one well-spread seed, so each drum hit or grain gets its own noise. */
unsigned seed_mix(unsigned a, unsigned b, unsigned c = 0);

/* The oscillators take the phase in cycles (only its fraction counts). The band-limited ones
   also take the phase advance per sample (frequency / rate) to round off their edges, so high
   notes do not alias into hiss at 22050 Hz. All return -1 ... 1 without a DC offset. */
float osc_sine(double phase);
float osc_triangle(double phase);
float osc_saw(double phase, double step);
float osc_pulse(double phase, double step, float duty);

/* A two-pole state-variable filter (trapezoidal form: stable at any cutoff below the Nyquist
   frequency, and the cutoff may change every sample). */
struct StateVariableFilter {
    float ic1, ic2;  /* the two integrators' states */
};

struct FilterOutput {
    float low, band, high;
};

/* Runs one sample through the filter at cutoff Hz and resonance q (0.5 soft ... 5 ringing);
   returns the low-, band- and high-pass outputs together. */
FilterOutput filter_run(StateVariableFilter &filter, float input, float cutoff, float q);

/* Envelope of a note held for gate seconds: linear attack to 1, exponential decay with time
   constant decay toward the sustain level, then a linear release of release seconds to 0.
   Returns the level at t seconds after the note started. */
float envelope_adsr(float t, float gate, float attack, float decay, float sustain, float release);

/* Returns the level 0 ... 1 of a percussive envelope: linear attack over attack seconds,
   then exponential decay with time constant decay. */
float envelope_hit(float t, float attack, float decay);

/* Fades the first fade_in and the last fade_out samples of s with half cosine ramps, so the
   sound starts and ends at silence and plays without a click. */
void fade_edges(float *s, int count, int fade_in, int fade_out);

/* Scales s so that its largest magnitude is peak. Silence stays silent. */
void normalise_peak(float *s, int count, float peak);
