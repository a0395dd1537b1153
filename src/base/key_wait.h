/* key_wait.h: keyboard waits for the screens outside play that yield the processor. */
#pragma once

/* Sleeps for about 10 ms so that a waiting screen does not spin a core, after running the
   program's other inputs (set_wait_input). */
void pause_briefly();

/* Gives the waits an input of the program's to run at each pause: the game pad, whose buttons
   type keys. None by default: the waits below know only the keyboard. Set once at start-up. */
void set_wait_input(void (*poll)());

/* Returns 1 while the key of the given scancode (KEY_ESC, ...) is held, polling the keyboard
   first where the driver needs it. Esc is held from the moment the game is asked to end. */
int key_down(int scancode);

/* Waits for a key press, pausing between polls, and returns readkey()'s value (scancode in the
   high byte, character in the low byte); the key is consumed. Once the game is asked to end,
   returns Esc at once. */
int wait_key();

/* Waits until none of the count scancodes is held (or the game is asked to end), then empties
   the key buffer, so a key that made a choice cannot act on the next screen. */
void wait_keys_released(const int *scancodes, int count);
