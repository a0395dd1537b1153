/* sounds.cpp: the sound effects (objects 35 ... 46), synthesized from oscillators and noise. */
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "make_datafile.h"
#include "sound_synth.h"

namespace {

/* Effects play at full volume over the music, which sits at about half of full scale. */
const float EFFECT_PEAK = 0.9f;

/* Edge fades: short enough to keep the attack sharp, long enough to start from silence.
   Long sounds still ring at their end, so they fade over their last twentieth. */
const int FADE_IN = SOUND_RATE / 1000;
const int FADE_OUT = SOUND_RATE / 100;

using Sound = std::vector<float>;

float seconds(int i)
{
    return i / float(SOUND_RATE);
}

Sound blank(float duration)
{
    return Sound((size_t)(duration * SOUND_RATE), 0.0f);
}

/* Adds a sine whose frequency glides exponentially from start_hz toward end_hz (time constant
   glide), shaped by a percussive envelope; the body of every thud and boom. */
void add_sweep(Sound &s, float delay, float start_hz, float end_hz, float glide, float attack,
               float decay, float level)
{
    double phase = 0.0;
    for (int i = (int)(delay * SOUND_RATE); i < (int)s.size(); i++) {
        float t = seconds(i) - delay;
        float hz = end_hz + (start_hz - end_hz) * std::exp(-t / glide);
        s[i] += level * envelope_hit(t, attack, decay) * osc_sine(phase);
        phase += hz / SOUND_RATE;
    }
}

/* Adds a burst of noise through a band-pass at centre Hz: the clacks and ticks. */
void add_tick(Sound &s, float delay, float centre, float q, float decay, float level, unsigned seed)
{
    NoiseSource noise = noise_source(seed);
    StateVariableFilter filter{};
    for (int i = (int)(delay * SOUND_RATE); i < (int)s.size(); i++) {
        float t = seconds(i) - delay;
        float band = filter_run(filter, noise_next(noise), centre, q).band;
        s[i] += level * envelope_hit(t, 0.0005f, decay) * band;
    }
}

/* A mallet-like tone: a sine phase-modulated by a partner at ratio times its frequency, the
   modulation fading faster than the tone, so it rings bright and settles pure. */
void add_chime(Sound &s, float delay, float hz, float ratio, float index, float decay, float level)
{
    double phase = 0.0, partner = 0.0;
    for (int i = (int)(delay * SOUND_RATE); i < (int)s.size(); i++) {
        float t = seconds(i) - delay;
        float bright = index * std::exp(-t / (decay * 0.3f));
        s[i] += level * envelope_hit(t, 0.002f, decay) * osc_sine(phase + bright * osc_sine(partner) / 6.2831853);
        phase += hz / SOUND_RATE;
        partner += hz * ratio / SOUND_RATE;
    }
}

/* 35: a low boom under a roar of noise whose brightness falls away, with a few crackles. */
Sound explosion()
{
    Sound s = blank(1.8f);
    add_sweep(s, 0.0f, 110.0f, 32.0f, 0.12f, 0.004f, 0.45f, 1.0f);
    NoiseSource noise = noise_source(35);
    StateVariableFilter roar{}, rumble{}, crackle{};
    for (size_t i = 0; i < s.size(); i++) {
        float t = seconds((int)i);
        float white = noise_next(noise);
        float cutoff = 180.0f + 4200.0f * std::exp(-t / 0.22f);
        float body = filter_run(roar, white, cutoff, 0.7f).low * envelope_hit(t, 0.003f, 0.38f);
        float low = filter_run(rumble, white, 110.0f, 0.9f).low * envelope_hit(t, 0.02f, 0.7f);
        /* Sparse spikes ring the crackle filter: debris settling after the blast. */
        float spike = noise_next(noise) > 0.985f - 0.02f * t ? noise_next(noise) * 6.0f : 0.0f;
        float crack = filter_run(crackle, spike, 1700.0f, 3.0f).band * envelope_hit(t - 0.05f, 0.01f, 0.35f);
        s[i] += 0.9f * body + 1.6f * low + 0.35f * crack;
    }
    /* A little saturation thickens the boom the way a real blast overdrives the air. */
    for (float &v : s)
        v = std::tanh(1.3f * v);
    return s;
}

/* 36: a soft servo footfall: a light thump and two small clacks of the joints. */
Sound step()
{
    Sound s = blank(0.16f);
    add_sweep(s, 0.0f, 170.0f, 90.0f, 0.02f, 0.003f, 0.03f, 1.0f);
    add_tick(s, 0.004f, 2400.0f, 2.0f, 0.006f, 1.6f, 36);
    add_tick(s, 0.048f, 3100.0f, 2.5f, 0.005f, 0.9f, 360);
    return s;
}

/* 37: a bright major arpeggio climbing two octaves, ending on a ringing chord. */
Sound completed()
{
    Sound s = blank(1.7f);
    const int run[] = {72, 76, 79, 84, 88, 91};
    const float gap = 0.075f;
    for (int n = 0; n < 6; n++)
        add_chime(s, n * gap, note_frequency(run[n]), 1.0f, 1.2f, 0.22f, 0.55f);
    const int chord[] = {84, 88, 91, 96};
    for (int n = 0; n < 4; n++)
        add_chime(s, 6 * gap, note_frequency(chord[n]), 1.0f, 1.6f, 0.5f, 0.4f);
    /* A square an octave down under each note gives the run its game-like brightness. */
    for (int n = 0; n < 7; n++) {
        int note = n < 6 ? run[n] - 12 : 84;
        float start = n * gap, gate = n < 6 ? gap : 0.5f;
        double phase = 0.0, hz = note_frequency(note);
        for (int i = (int)(start * SOUND_RATE); i < (int)s.size(); i++) {
            float t = seconds(i) - start;
            float level = envelope_adsr(t, gate, 0.003f, 0.05f, 0.5f, 0.25f);
            if (t > gate + 0.25f)
                break;
            s[i] += 0.18f * level * osc_pulse(phase, hz / SOUND_RATE, 0.5f);
            phase += hz / SOUND_RATE;
        }
    }
    /* A short echo lets the run shimmer without smearing it. */
    const int delay = (int)(0.11f * SOUND_RATE);
    for (size_t i = delay; i < s.size(); i++)
        s[i] += 0.3f * s[i - delay];
    return s;
}

/* 41: a heavy thing scraped over stone: band-passed noise in stick-slip grains. */
Sound push()
{
    Sound s = blank(0.45f);
    NoiseSource noise = noise_source(41), jitter = noise_source(410);
    StateVariableFilter grit{}, weight{};
    float grain = 0.0f, grain_level = 1.0f;
    for (size_t i = 0; i < s.size(); i++) {
        float t = seconds((int)i);
        /* Each grain is one slip of the object: uneven in strength and length. */
        grain -= 1.0f / SOUND_RATE;
        if (grain <= 0.0f) {
            grain = 0.018f + 0.012f * std::fabs(noise_next(jitter));
            grain_level = 0.55f + 0.45f * std::fabs(noise_next(jitter));
        }
        float slip = grain_level * (0.35f + 0.65f * grain / 0.03f);
        float white = noise_next(noise);
        float centre = 1100.0f + 350.0f * osc_sine(t * 5.0);
        float scrape = filter_run(grit, white, centre, 1.4f).band;
        float body = filter_run(weight, white, 220.0f, 0.8f).low;
        float level = envelope_adsr(t, 0.33f, 0.02f, 0.1f, 0.8f, 0.11f);
        s[i] = level * (1.6f * slip * scrape + 1.2f * body);
    }
    return s;
}

/* 43: a short electronic beep, a touch of third harmonic so it cuts through the music. */
Sound beep()
{
    Sound s = blank(0.14f);
    double hz = note_frequency(88);
    for (size_t i = 0; i < s.size(); i++) {
        float t = seconds((int)i);
        double phase = hz * t;
        float level = envelope_adsr(t, 0.1f, 0.004f, 0.05f, 0.8f, 0.035f);
        s[i] = level * (osc_sine(phase) + 0.22f * osc_sine(3.0 * phase));
    }
    return s;
}

/* 44: a crisp high click for turns and menu choices. */
Sound click()
{
    Sound s = blank(0.05f);
    add_sweep(s, 0.0f, 3400.0f, 2100.0f, 0.006f, 0.0006f, 0.007f, 1.0f);
    add_tick(s, 0.0f, 5200.0f, 1.5f, 0.003f, 1.2f, 44);
    return s;
}

/* 45: a dull thud: the robot bumps into something that does not give way. */
Sound blocked()
{
    Sound s = blank(0.24f);
    add_sweep(s, 0.0f, 120.0f, 52.0f, 0.05f, 0.003f, 0.07f, 1.0f);
    /* The knock of the robot's shell: it carries the thud on small speakers. */
    add_sweep(s, 0.0f, 280.0f, 190.0f, 0.02f, 0.002f, 0.035f, 0.6f);
    NoiseSource noise = noise_source(45);
    StateVariableFilter muffle{};
    for (size_t i = 0; i < s.size(); i++) {
        float t = seconds((int)i);
        s[i] += 0.8f * filter_run(muffle, noise_next(noise), 380.0f, 0.7f).low * envelope_hit(t, 0.002f, 0.025f);
    }
    return s;
}

/* 46: three chime notes rising, with a sparkle gliding up over them. */
Sound sweet()
{
    Sound s = blank(1.0f);
    const int notes[] = {88, 91, 96};
    for (int n = 0; n < 3; n++)
        add_chime(s, n * 0.065f, note_frequency(notes[n]), 2.0f, 1.5f, 0.22f, n == 2 ? 0.7f : 0.5f);
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); i++) {
        float t = seconds((int)i);
        float hz = 2200.0f + 1800.0f * (1.0f - std::exp(-t / 0.15f));
        s[i] += 0.08f * envelope_hit(t - 0.1f, 0.03f, 0.15f) * osc_sine(phase);
        phase += hz / SOUND_RATE;
    }
    return s;
}

struct EffectRecipe {
    int object;        /* datafile object number */
    Sound (*make)();
    float peak;        /* loudness: the ones heard on every move sit a little lower */
};

const EffectRecipe recipes[] = {
    {35, explosion, EFFECT_PEAK}, {36, step, 0.8f},         {37, completed, EFFECT_PEAK},
    {41, push, 0.85f},            {43, beep, 0.85f},        {44, click, 0.8f},
    {45, blocked, EFFECT_PEAK},   {46, sweet, EFFECT_PEAK},
};

}  // namespace

void make_sample(const char *path, int object)
{
    for (const EffectRecipe &recipe : recipes) {
        if (recipe.object != object)
            continue;
        Sound s = recipe.make();
        normalise_peak(s.data(), (int)s.size(), recipe.peak);
        int count = (int)s.size();
        fade_edges(s.data(), count, FADE_IN, std::max(FADE_OUT, count / 20));
        save_wav(path, s.data(), count, SOUND_RATE);
        return;
    }
    std::fprintf(stderr, "make_datafile: no sound effect for object %d\n", object);
    std::exit(1);
}
