/* key_wait.cpp: keyboard waits for the screens outside play that yield the processor. */
#include "base/key_wait.h"
#include "base/quit_request.h"
#include "base/screen_scale.h"

#include <allegro.h>
#include <chrono>
#include <thread>

namespace {

void (*wait_input)() = nullptr;

} // namespace

void set_wait_input(void (*poll)())
{
    wait_input = poll;
}

void pause_briefly()
{
    // A waiting screen is where Alt+Enter is carried out when nothing is drawn.
    window_switch_if_asked();
    if (wait_input)
        wait_input();
    // The library's rest() returns at once while no timer is installed.
    if (timer_driver)
        rest(10);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int key_down(int scancode)
{
    // A request to end the game is Esc held on every screen that reads it.
    if (scancode == KEY_ESC && quit_requested())
        return 1;
    if (keyboard_needs_poll())
        poll_keyboard();
    return key[scancode] ? 1 : 0;
}

int wait_key()
{
    for (;;) {
        if (quit_requested())
            return KEY_ESC << 8 | 27;
        if (keyboard_needs_poll())
            poll_keyboard();
        if (keypressed())
            return readkey();
        pause_briefly();
    }
}

void wait_keys_released(const int *scancodes, int count)
{
    while (!quit_requested()) {
        int held = 0;
        for (int i = 0; i < count; i++)
            held |= key_down(scancodes[i]);
        if (!held)
            break;
        pause_briefly();
    }
    clear_keybuf();
}
