/* cast_screen.cpp: the gallery that presents each kind of actor as a rotating model. */
#include "app/cast_screen.h"
#include "base/quit_request.h"
#include "world/world.h"
#include "base/screen_scale.h"

#include <atomic>
#include <cstdint>

#include "render/actor_drawing.h"
#include "render/camera.h"
#include "render/viewport.h"
#include "app/cast_text.h"
#include "base/datafile.h"
#include "app/frame_pacing.h"
#include "base/key_wait.h"
#include "base/sound.h"
#include "base/timer.h"
#include "render/debug_column.h"
#include "ui/demo_input.h"
#include "base/display_options.h"
#include "world/actor.h"
#include "world/actor_table.h"
#include "world/player_motion.h"

int cast_type(int index)
{
    for (const ActorKind &kind : actor_kinds)
        if (kind.cast_place == index)
            return kind.type;
    return ACTOR_PLAYER;
}

namespace {

const int VIEW_W = 320;
const int VIEW_H = 240;

/* The button row, relative to the screen's centre; x and y ranges are inclusive. */
const int BUTTON_TOP = -115;
const int BUTTON_BOTTOM = -90;
struct ButtonArea {
    int x0, x1;
    int area;
};
const ButtonArea BUTTONS[3] = {
    {-256, -176, CAST_AREA_PREVIOUS},
    {-75, 5, CAST_AREA_NEXT},
    {-165, -85, CAST_AREA_EXIT},
};

/* A left-button press noted by the library's mouse callback (which runs on the library's input
   thread), with where it happened. */
std::atomic<int> press_pending{0};
std::atomic<int> press_x{0};
std::atomic<int> press_y{0};

void note_mouse_press(int flags)
{
    if (flags & MOUSE_FLAG_LEFT_DOWN) {
        // In the picture's pixels, whatever the enlargement.
        press_x = picture_x(mouse_x);
        press_y = picture_y(mouse_y);
        press_pending = 1;
    }
}

/* The scene of the screen: one actor on no square, and the viewer's eye circling it. */
World cast_world;

void show_actor(int index)
{
    clear_actors(cast_world);
    load_cast_text(index);
    create_actor(cast_world, 0, 0, 0, cast_type(index), 0, 0);
}

void set_cast_options()
{
    set_view_start_options();
    set_cast_light();
}

/* The viewer circles the origin, looking at the actor from slightly above. */
void place_viewer()
{
    PlayerMotion &p = cast_world.motion;
    p.player_rot_y = 0;
    p.x = 0;
    p.z = 0;
    p.loc_y = 0;
    cast_world.camera_y = -70.0f;
    display_options.camera_distance = 90;
    cast_world.camera_pitch = 0.5f;
    cast_world.rot_y = itofix(128) + p.player_rot_y;
}

/* Steps the entry index by a click; returns 1 when the click leaves the screen. */
int handle_click(int area, int *index, SAMPLE *click)
{
    switch (area) {
    case CAST_AREA_PREVIOUS:
        if (*index > 0) {
            play_cue(click);
            (*index)--;
        }
        return 0;
    case CAST_AREA_NEXT:
        if (*index < CAST_ENTRIES - 1) {
            play_cue(click);
            (*index)++;
        }
        return 0;
    case CAST_AREA_EXIT:
        play_cue(click);
        return 1;
    default:
        return 0;
    }
}

/* Steps the entry index by a typed key; returns 1 for Esc. Keys make no sound. */
int handle_key(int scancode, int *index)
{
    if (scancode == KEY_ESC)
        return 1;
    if (scancode == KEY_LEFT && *index > 0)
        (*index)--;
    if (scancode == KEY_RIGHT && *index < CAST_ENTRIES - 1)
        (*index)++;
    return 0;
}

} // namespace

int cast_area_at(int x, int y, int centre_x, int centre_y)
{
    if (y < centre_y + BUTTON_TOP || y > centre_y + BUTTON_BOTTOM)
        return CAST_AREA_NONE;
    for (const ButtonArea &button : BUTTONS)
        if (x >= centre_x + button.x0 && x <= centre_x + button.x1)
            return button.area;
    return CAST_AREA_NONE;
}

void draw_cast_text(BITMAP *target)
{
    const int th = text_height(font);
    const int black = makecol(0, 0, 0);
    const int white = makecol(255, 255, 255);
    const char *title = cast_text.lines[0];

    const int ax = target->w / 2 + 100;
    const int ay = target->h / 2 - 100;
    rectfill(target, ax - 10, ay - 4, ax + 200, ay + 17, makecol(50, 200, 50));
    textout_centre_ex(target, font, title, ax + 100, ay, black, -1);
    textout_centre_ex(target, font, title, ax + 99, ay - 1, white, -1);

    // The caption sits over the lower part of the model's view.
    const int bx = target->w / 4 + 48;
    const int by = target->h / 2 + 120;
    textout_centre_ex(target, font, title, bx, by, black, -1);
    textout_centre_ex(target, font, title, bx - 1, by - 1, white, -1);

    // The description starts four lines below the column's top, yet never inside the title bar:
    // with a font of 8-pixel lines those four lines would end within it.
    const int x = target->w / 2 + 90;
    int y = target->h / 2 - 140 + 4 * th + 10;
    if (y < ay + 17 + th)
        y = ay + 17 + th;
    const int cyan = makecol(50, 255, 255);
    for (int i = 1; i < cast_text.line_count; i++) {
        textout_ex(target, font, cast_text.lines[i], x, y, cyan, -1);
        y += th;
    }
}

void draw_cast_screen(BITMAP *target)
{
    clear_to_color(target, makecol(0, 100, 100));
    if (BITMAP *background = (BITMAP *)datafile_object(DAT_CAST_BACKGROUND))
        blit(background, target, 0, 0, (target->w - background->w) / 2,
             (target->h - background->h) / 2, background->w, background->h);
    draw_debug_block(cast_world, target);

    const int x = target->w / 2 - 272;
    const int y = target->h / 2 - 80;
    set_viewport(Viewport{x, y, VIEW_W, VIEW_H});
    if (VIEW_W < target->w && VIEW_H < target->h)
        rect(target, x - 1, y - 1, x + VIEW_W, y + VIEW_H, makecol(0, 255, 0));
    // The clip keeps the fill to the view's inside: the green frame stays.
    set_clip_rect(target, x, y, x + VIEW_W - 1, y + VIEW_H - 1);
    set_clip_state(target, TRUE);
    rectfill(target, x - 1, y - 1, x + VIEW_W, y + VIEW_H, makecol(0, 0, 255));

    Camera camera;
    setup_camera(cast_world, &camera);
    if (cast_world.actors.count > 0)
        draw_actor(cast_world, 0, target, &camera);

    // Back to the whole bitmap: the texts are clipped to it, so a small screen stays safe.
    set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
    draw_cast_text(target);
}

void cast_screen(BITMAP *buffer)
{
    set_cast_options();
    install_mouse();
    press_pending = 0;
    mouse_callback = note_mouse_press;
    place_viewer();

    int index = 0;
    int loaded = 0;
    show_actor(0);

    int first_frame_done = 0;
    display_options.shading_mode = SHADE_FLAT;
    // The library's text background, kept by every later screen that draws in its text mode.
    _textmode = -1;
    const int centre_x = buffer->w / 2;
    const int centre_y = buffer->h / 2;
    SAMPLE *click = datafile_sample(DAT_SAMPLE_CLICK);
    start_frame_pacing();

    for (;;) {
        // Each press of the left button acts once, however long it is held: the callback notes
        // presses only, and a click shorter than a frame is not lost between two frames.
        if (press_pending.exchange(0) &&
            handle_click(cast_area_at(press_x, press_y, centre_x, centre_y), &index, click))
            break;
        if (keyboard_needs_poll())
            poll_keyboard();
        pad_menu_keys();
        if ((keypressed() && handle_key(readkey() >> 8, &index)) || quit_requested())
            break;

        if (index != loaded) {
            show_actor(index);
            loaded = index;
        }

        show_mouse(nullptr);
        draw_cast_screen(buffer);
        draw_pointer(buffer);

        wait_for_next_frame();
        present_frame(buffer);

        // The camera circles the actor by 1/256 turn a tick. The first frame takes every tick
        // since the clock was last read, so the sum wraps round whole turns instead of
        // overflowing.
        cast_world.rot_y = (fixed)((uint32_t)cast_world.rot_y + ((uint32_t)ticks_since_last() << 16));
        if (!first_frame_done) {
            display_options.shading_mode = SHADE_PERSPECTIVE_TEXTURE;
            first_frame_done = 1;
        }
    }

    show_mouse(nullptr);
    mouse_callback = nullptr;
    remove_mouse();
    const int esc = KEY_ESC;
    wait_keys_released(&esc, 1);
    clear(picture());
    present_picture();
}
