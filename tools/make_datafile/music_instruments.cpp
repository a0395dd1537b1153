/* music_instruments.cpp: the synthesized instruments that play the notes of the music loops. */
#include <cmath>

#include "music_song.h"
#include "sound_synth.h"

namespace {

/* Writes one note sample by sample into the loop, wrapping past its end. Every instrument
   starts from silence (an attack of a millisecond or more), so notes on the loop's first
   step meet the wrapped tails without a step in the waveform. */
struct NoteWriter {
    float *s;
    int count;
    int start;

    void add(int i, float v) const { s[(start + i) % count] += v; }
};

int length_of(float seconds)
{
    return (int)(seconds * SOUND_RATE);
}

/* Vibrato that sets in after the note has sounded a while, as a player would add it. */
float vibrato(float t, float depth)
{
    float fade = t < 0.12f ? 0.0f : std::fmin(1.0f, (t - 0.12f) / 0.2f);
    return 1.0f + depth * fade * osc_sine(5.5 * t);
}

void pulse_lead(const NoteWriter &w, int gate, float hz, float velocity)
{
    const float release = 0.09f;
    float held = gate / float(SOUND_RATE);
    int total = gate + length_of(release);
    StateVariableFilter tone{};
    double phase = 0.0;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        double step = hz * vibrato(t, 0.004f) / SOUND_RATE;
        float level = envelope_adsr(t, held, 0.004f, 0.12f, 0.6f, release);
        float raw = osc_pulse(phase, step, 0.25f);
        /* The filter closes a little after the attack: bright pluck, mellow hold. */
        float cutoff = 2200.0f + 2600.0f * std::exp(-t / 0.08f);
        w.add(i, velocity * level * filter_run(tone, raw, cutoff, 0.8f).low);
        phase += step;
    }
}

void square_stab(const NoteWriter &w, int gate, float hz, float velocity)
{
    const float release = 0.05f;
    float held = gate / float(SOUND_RATE);
    int total = gate + length_of(release);
    StateVariableFilter tone{};
    double phase = 0.0, step = hz / SOUND_RATE;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        float level = envelope_adsr(t, held, 0.003f, 0.06f, 0.35f, release);
        w.add(i, velocity * level * filter_run(tone, osc_pulse(phase, step, 0.5f), 1800.0f, 0.7f).low);
        phase += step;
    }
}

void flute(const NoteWriter &w, int gate, float hz, float velocity, unsigned seed)
{
    const float release = 0.22f;
    float held = gate / float(SOUND_RATE);
    int total = gate + length_of(release);
    NoiseSource breath = noise_source(seed);
    StateVariableFilter air{};
    double phase = 0.0;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        double step = hz * vibrato(t, 0.006f) / SOUND_RATE;
        float level = envelope_adsr(t, held, 0.05f, 0.3f, 0.75f, release);
        float body = 0.7f * osc_triangle(phase) + 0.3f * osc_sine(phase);
        float hiss = filter_run(air, noise_next(breath), hz * 2.0f, 1.5f).band;
        w.add(i, velocity * level * (body + 0.12f * hiss));
        phase += step;
    }
}

void mallet(const NoteWriter &w, int gate, float hz, float velocity)
{
    const float ring = 0.9f;
    float held = gate / float(SOUND_RATE);
    int total = gate + length_of(ring);
    double phase = 0.0, partner = 0.0;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        /* Released notes die faster than held ones, like a damped key. */
        float level = envelope_hit(t, 0.002f, 0.45f);
        if (t > held)
            level *= std::fmax(0.0f, 1.0f - (t - held) / ring);
        float bright = 1.4f * std::exp(-t / 0.12f);
        w.add(i, velocity * level * osc_sine(phase + bright * osc_sine(partner) / 6.2831853));
        phase += hz / SOUND_RATE;
        partner += 2.0 * hz / SOUND_RATE;
    }
}

void pad(const NoteWriter &w, int gate, float hz, float velocity)
{
    const float release = 0.9f;
    float held = gate / float(SOUND_RATE);
    int total = gate + length_of(release);
    StateVariableFilter tone{};
    double phases[3] = {0.0, 0.31, 0.67};
    const float detune[3] = {1.0f, 1.0045f, 0.9958f};
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        float level = envelope_adsr(t, held, 0.45f, 1.0f, 0.8f, release);
        float raw = 0.0f;
        for (int k = 0; k < 3; k++) {
            double step = hz * detune[k] / SOUND_RATE;
            raw += osc_saw(phases[k], step);
            phases[k] += step;
        }
        float cutoff = 900.0f + 300.0f * osc_sine(0.15 * t);
        w.add(i, velocity * level * filter_run(tone, raw / 3.0f, cutoff, 0.9f).low);
    }
}

void saw_bass(const NoteWriter &w, int gate, float hz, float velocity)
{
    const float release = 0.04f;
    float held = gate / float(SOUND_RATE);
    int total = gate + length_of(release);
    StateVariableFilter tone{};
    double phase = 0.0, step = hz / SOUND_RATE;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        float level = envelope_adsr(t, held, 0.003f, 0.15f, 0.7f, release);
        float cutoff = 260.0f + 1500.0f * std::exp(-t / 0.06f);
        float raw = osc_saw(phase, step) + 0.5f * osc_sine(phase);
        w.add(i, velocity * level * filter_run(tone, raw, cutoff, 1.6f).low);
        phase += step;
    }
}

void round_bass(const NoteWriter &w, int gate, float hz, float velocity)
{
    const float release = 0.12f;
    float held = gate / float(SOUND_RATE);
    int total = gate + length_of(release);
    double phase = 0.0, step = hz / SOUND_RATE;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        float level = envelope_adsr(t, held, 0.008f, 0.4f, 0.6f, release);
        w.add(i, velocity * level * (0.6f * osc_sine(phase) + 0.4f * osc_triangle(2.0 * phase)));
        phase += step;
    }
}

void kick(const NoteWriter &w, float velocity, unsigned seed)
{
    int total = length_of(0.35f);
    NoiseSource noise = noise_source(seed);
    double phase = 0.0;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        float hz = 46.0f + 120.0f * std::exp(-t / 0.03f);
        float body = envelope_hit(t, 0.0015f, 0.16f) * osc_sine(phase);
        float knock = envelope_hit(t, 0.0008f, 0.004f) * noise_next(noise);
        float fade = std::fmin(1.0f, (0.35f - t) / 0.05f);
        w.add(i, velocity * fade * (body + 0.25f * knock));
        phase += hz / SOUND_RATE;
    }
}

void snare(const NoteWriter &w, float velocity, unsigned seed)
{
    int total = length_of(0.28f);
    NoiseSource noise = noise_source(seed);
    StateVariableFilter rattle{};
    double phase = 0.0;
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        FilterOutput f = filter_run(rattle, noise_next(noise), 2600.0f, 0.6f);
        float wires = envelope_hit(t, 0.001f, 0.09f) * (f.band + 0.5f * f.high);
        float shell = envelope_hit(t, 0.001f, 0.04f) * osc_sine(phase);
        float fade = std::fmin(1.0f, (0.28f - t) / 0.04f);
        w.add(i, velocity * fade * (0.8f * wires + 0.6f * shell));
        phase += 185.0 / SOUND_RATE;
    }
}

void hat(const NoteWriter &w, float velocity, unsigned seed, float decay, float length, float cutoff)
{
    int total = length_of(length);
    NoiseSource noise = noise_source(seed);
    StateVariableFilter sizzle{};
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        float fade = std::fmin(1.0f, (length - t) / 0.02f);
        float high = filter_run(sizzle, noise_next(noise), cutoff, 0.7f).high;
        w.add(i, velocity * fade * envelope_hit(t, 0.001f, decay) * high);
    }
}

void shaker(const NoteWriter &w, float velocity, unsigned seed)
{
    int total = length_of(0.09f);
    NoiseSource noise = noise_source(seed);
    StateVariableFilter grains{};
    for (int i = 0; i < total; i++) {
        float t = i / float(SOUND_RATE);
        /* A shaker swells into its hit instead of starting on it. */
        float level = t < 0.025f ? t / 0.025f : std::exp(-(t - 0.025f) / 0.018f);
        float fade = std::fmin(1.0f, (0.09f - t) / 0.015f);
        w.add(i, velocity * fade * level * filter_run(grains, noise_next(noise), 5500.0f, 1.2f).band);
    }
}

}  // namespace

void play_note(Instrument instrument, float *s, int count, int start, int gate, float hz,
               float velocity, unsigned seed)
{
    NoteWriter w{s, count, start % count};
    switch (instrument) {
    case INSTRUMENT_PULSE_LEAD: pulse_lead(w, gate, hz, velocity); break;
    case INSTRUMENT_SQUARE_STAB: square_stab(w, gate, hz, velocity); break;
    case INSTRUMENT_FLUTE: flute(w, gate, hz, velocity, seed); break;
    case INSTRUMENT_MALLET: mallet(w, gate, hz, velocity); break;
    case INSTRUMENT_PAD: pad(w, gate, hz, velocity); break;
    case INSTRUMENT_SAW_BASS: saw_bass(w, gate, hz, velocity); break;
    case INSTRUMENT_ROUND_BASS: round_bass(w, gate, hz, velocity); break;
    case INSTRUMENT_KICK: kick(w, velocity, seed); break;
    case INSTRUMENT_SNARE: snare(w, velocity, seed); break;
    case INSTRUMENT_HAT: hat(w, velocity, seed, 0.022f, 0.08f, 7000.0f); break;
    case INSTRUMENT_OPEN_HAT: hat(w, velocity, seed, 0.14f, 0.35f, 6500.0f); break;
    case INSTRUMENT_SHAKER: shaker(w, velocity, seed); break;
    }
}
