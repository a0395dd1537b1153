/* music.cpp: the three looped music tracks, sequenced and synthesized. (interim) */
#include <cmath>
#include <vector>

#include "make_datafile.h"

void make_music(const char *path, int number)
{
    const int rate = 22050, count = rate * 20;
    std::vector<float> s(count);
    for (int i = 0; i < count; i++)
        s[i] = 0.2f * std::sin(2 * 3.14159f * 220 * i / rate);
    save_wav(path, s.data(), count, rate);
}
