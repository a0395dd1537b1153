/* world_messages.cpp: the world's one line of transient text and the level title's timer. */
#include "world/world_messages.h"

void show_message(World &w, const char *text, int ticks)
{
    w.message.text = text;
    w.message.ticks_left = ticks;
    w.message.boxed = false;
}

void show_boxed_message(World &w, const char *text, int ticks)
{
    show_message(w, text, ticks);
    w.message.boxed = true;
}

void clear_message(World &w)
{
    w.message.text = nullptr;
}

void count_down_messages(World &w, int ticks)
{
    if (w.message.ticks_left >= 1)
        w.message.ticks_left -= ticks;
    else
        w.message.text = nullptr;
    if (w.title_timer > 0)
        w.title_timer -= ticks;
}
