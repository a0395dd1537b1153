/* typed_keys.h: the editor's keys with the shift keys as they were held when each was pressed. */
#pragma once

/* Notes the shift keys (Ctrl, Shift, Alt) held as each key goes into the library's key buffer.
   Called once the keyboard is installed. */
void typed_keys_install();

/* Takes the next key of the buffer into *key, as readkey gives it, and the shift keys held when
   it was pressed into *shifts (key_shifts' flags): a busy editor reads Ctrl+G after Ctrl has
   been let go, and key_shifts then says no Ctrl. Returns false, taking nothing, when no key
   waits. */
bool typed_key_next(int *key, int *shifts);
