/* sounds.cpp: the sound effects, synthesized. (interim) */
#include <cmath>
#include <vector>

#include "make_datafile.h"

void make_sample(const char *path, int object)
{
    const int rate = 22050, count = rate / 5;
    std::vector<float> s(count);
    for (int i = 0; i < count; i++)
        s[i] = 0.5f * std::sin(2 * 3.14159f * (200 + 20 * object) * i / rate) * (1 - i / float(count));
    save_wav(path, s.data(), count, rate);
}
