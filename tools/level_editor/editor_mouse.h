/* editor_mouse.h: the level editor's mouse: painting, erasing and selecting on the grid, the
   palette, the wheel, and the 3D view's turns. */
#pragma once

/* Installs the mouse and takes its button changes in order from then on. Returns false when
   there is no mouse. Called once the window is there. */
bool install_editor_mouse();

/* Handles the mouse since the last look: its button changes in order, a drag following the
   pointer, and the wheel. Returns true when anything changed. Called by the main loop while
   the editing screen has the mouse. */
bool mouse_edit();

/* Notches the wheel turned since the last look, up positive. */
int wheel_turned();

/* Drops the button changes not looked at, ending a drag under way as it stands. Called while a
   page, a field or a proof has the keys. */
void drop_mouse_events();
