/* sound_synth.cpp: oscillators, noise, filters and envelopes shared by the effects and the music. */
#include "sound_synth.h"

#include <cmath>

namespace {

const double PI = 3.14159265358979323846;

double fraction(double phase)
{
    return phase - std::floor(phase);
}

/* The correction that turns a hard step of a naive waveform into a band-limited one:
   a two-sample polynomial around each discontinuity. */
double poly_blep(double t, double step)
{
    if (t < step) {
        t /= step;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - step) {
        t = (t - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

float note_frequency(int note)
{
    return 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
}

NoiseSource noise_source(unsigned seed)
{
    /* A zero state would make xorshift return zeros for ever. */
    return NoiseSource{seed_mix(seed, 0x9e3779b9u) | 1u};
}

float noise_next(NoiseSource &noise)
{
    unsigned x = noise.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.state = x;
    return (x >> 8) / float(1u << 23) - 1.0f;
}

unsigned seed_mix(unsigned a, unsigned b, unsigned c)
{
    unsigned h = a * 0x85ebca6bu ^ (b + 0x7f4a7c15u) * 0xc2b2ae35u ^ (c + 0x165667b1u) * 0x27d4eb2fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float osc_sine(double phase)
{
    return (float)std::sin(2.0 * PI * fraction(phase));
}

float osc_triangle(double phase)
{
    double t = fraction(phase);
    return (float)(t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t);
}

float osc_saw(double phase, double step)
{
    double t = fraction(phase);
    return (float)(2.0 * t - 1.0 - poly_blep(t, step));
}

float osc_pulse(double phase, double step, float duty)
{
    double t = fraction(phase);
    double value = t < duty ? 1.0 : -1.0;
    value += poly_blep(t, step);
    value -= poly_blep(fraction(t + 1.0 - duty), step);
    /* A pulse spends duty of its time high: remove that mean so notes do not thump. */
    return (float)(value - (2.0 * duty - 1.0));
}

FilterOutput filter_run(StateVariableFilter &filter, float input, float cutoff, float q)
{
    float limit = 0.45f * SOUND_RATE;
    if (cutoff > limit)
        cutoff = limit;
    if (cutoff < 10.0f)
        cutoff = 10.0f;
    float g = (float)std::tan(PI * cutoff / SOUND_RATE);
    float k = 1.0f / q;
    float a1 = 1.0f / (1.0f + g * (g + k));
    float a2 = g * a1;
    float a3 = g * a2;
    float v3 = input - filter.ic2;
    float v1 = a1 * filter.ic1 + a2 * v3;
    float v2 = filter.ic2 + a2 * filter.ic1 + a3 * v3;
    filter.ic1 = 2.0f * v1 - filter.ic1;
    filter.ic2 = 2.0f * v2 - filter.ic2;
    return FilterOutput{v2, v1, input - k * v1 - v2};
}

float envelope_adsr(float t, float gate, float attack, float decay, float sustain, float release)
{
    auto held = [&](float u) {
        if (u < attack)
            return u / attack;
        return sustain + (1.0f - sustain) * std::exp(-(u - attack) / decay);
    };
    if (t < 0.0f)
        return 0.0f;
    if (t < gate)
        return held(t);
    float left = 1.0f - (t - gate) / release;
    return left > 0.0f ? held(gate) * left : 0.0f;
}

float envelope_hit(float t, float attack, float decay)
{
    if (t < 0.0f)
        return 0.0f;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / decay);
}

void fade_edges(float *s, int count, int fade_in, int fade_out)
{
    for (int i = 0; i < fade_in && i < count; i++)
        s[i] *= 0.5f - 0.5f * (float)std::cos(PI * i / fade_in);
    for (int i = 0; i < fade_out && i < count; i++)
        s[count - 1 - i] *= 0.5f - 0.5f * (float)std::cos(PI * i / fade_out);
}

void normalise_peak(float *s, int count, float peak)
{
    float largest = 0.0f;
    for (int i = 0; i < count; i++)
        largest = std::fmax(largest, std::fabs(s[i]));
    if (largest <= 0.0f)
        return;
    float scale = peak / largest;
    for (int i = 0; i < count; i++)
        s[i] *= scale;
}
