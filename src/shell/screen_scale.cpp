/* screen_scale.cpp: the picture of the chosen mode, shown enlarged by a whole factor on a larger screen.

   The screens keep drawing at the mode's size (640 x 480 by default). Enlarged, they draw into a
   memory bitmap of that size, and presenting it is one stretch_blit to the screen: with a whole
   factor every pixel becomes a square block of one colour, and the copy writes each pixel of the
   enlarged picture once, as the plain blit it replaces writes each pixel of the mode. */
#include "shell/screen_scale.h"

#include <atomic>
#include <chrono>
#include <cstring>

ScreenLayout screen_layout = {1, 0, 0, 0, 0};
int forced_scale = 0;
void (*window_switch)() = nullptr;

namespace {

/* A window keeps this share of the desktop free for its frame and the desktop's panels. */
const int WINDOW_SHARE_PERCENT = 90;

BITMAP *picture_bitmap = nullptr;       /* the picture when enlarged, else none */
std::atomic<int> switch_asked{0};       /* Alt+Enter typed, not yet carried out */

bool windowed_driver(int driver)
{
    return driver == GFX_AUTODETECT_WINDOWED || driver == GFX_XWINDOWS;
}

/* The largest whole factor at which the picture fits room_w x room_h, at least 1. */
int fitting_factor(int picture_w, int picture_h, int room_w, int room_h)
{
    int factor = 1;
    while (factor < SCALE_LARGEST && (factor + 1) * picture_w <= room_w &&
           (factor + 1) * picture_h <= room_h)
        factor++;
    return factor;
}

void set_plain_layout()
{
    screen_layout = ScreenLayout{1, SCREEN_W, SCREEN_H, 0, 0};
}

/* Tries the mode of the layout; on success keeps the layout and makes the picture's bitmap. */
bool try_layout(int driver, const ScreenLayout &plan, int width, int height)
{
    if (set_gfx_mode(driver, plan.screen_w, plan.screen_h, 0, 0) != 0)
        return false;
    picture_bitmap = create_bitmap(width, height);
    if (!picture_bitmap) {
        // No memory for the picture: the mode itself will do.
        return false;
    }
    clear_bitmap(picture_bitmap);
    screen_layout = plan;
    // The mode may be larger than asked (a desktop that rounds): centre on what was given.
    screen_layout.screen_w = SCREEN_W;
    screen_layout.screen_h = SCREEN_H;
    screen_layout.left = (SCREEN_W - width * plan.factor) / 2;
    screen_layout.top = (SCREEN_H - height * plan.factor) / 2;
    clear_bitmap(screen);
    return true;
}

void show_enlarged(BITMAP *source)
{
    const ScreenLayout &l = screen_layout;
    acquire_bitmap(screen);
    stretch_blit(source, screen, 0, 0, source->w, source->h, l.left, l.top, source->w * l.factor,
                 source->h * l.factor);
    release_bitmap(screen);
}

int clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

/* Alt+Enter leaves the key buffer at once: no screen of the game sees it as Enter. */
int filter_window_switch(int k)
{
    if ((k >> 8) == KEY_ENTER && (key_shifts & KB_ALT_FLAG)) {
        switch_asked = 1;
        return 0;
    }
    return k;
}

void carry_out_switch()
{
    if (switch_asked.exchange(0) && window_switch)
        window_switch();
}

/* The library's dialogs while scale_dialogs is on: the mouse read through the factor, and the
   dialog shown enlarged whenever it or the pointer changed. The dialog reads the mouse in every
   pass of its loop, which makes that read the place to show it. */
int (*library_mouse_x)() = nullptr;
int (*library_mouse_y)() = nullptr;
BITMAP *dialog_shown = nullptr;     /* the picture as last shown, to see a change */
BITMAP *blank_pointer = nullptr;    /* keeps the library from drawing at the unmapped point */
int shown_mouse_x = -1, shown_mouse_y = -1;

void show_dialog()
{
    const bool moved = mouse_x != shown_mouse_x || mouse_y != shown_mouse_y;
    bool changed = false;
    for (int y = 0; y < picture_bitmap->h && !changed; y++)
        changed = std::memcmp(picture_bitmap->line[y], dialog_shown->line[y], picture_bitmap->w) != 0;
    if (!moved && !changed)
        return;
    blit(picture_bitmap, dialog_shown, 0, 0, 0, 0, picture_bitmap->w, picture_bitmap->h);
    shown_mouse_x = mouse_x;
    shown_mouse_y = mouse_y;
    show_enlarged(picture_bitmap);
    set_mouse_sprite(nullptr);      // the library's arrow, to draw it by hand
    BITMAP *arrow = mouse_sprite;
    const int f = screen_layout.factor;
    if (arrow)
        stretch_sprite(screen, arrow, screen_layout.left + picture_x(mouse_x) * f - mouse_x_focus * f,
                       screen_layout.top + picture_y(mouse_y) * f - mouse_y_focus * f,
                       arrow->w * f, arrow->h * f);
    set_mouse_sprite(blank_pointer);
}

int dialog_mouse_x()
{
    show_dialog();
    return picture_x(mouse_x);
}

int dialog_mouse_y()
{
    return picture_y(mouse_y);
}

} // namespace

ScreenLayout plan_layout(int picture_w, int picture_h, int desktop_w, int desktop_h,
                         bool fullscreen, int forced_factor)
{
    ScreenLayout plan = {1, picture_w, picture_h, 0, 0};
    if (forced_factor >= 1 && forced_factor <= SCALE_LARGEST)
        plan.factor = forced_factor;
    else if (fullscreen)
        plan.factor = fitting_factor(picture_w, picture_h, desktop_w, desktop_h);
    else
        plan.factor = fitting_factor(picture_w, picture_h, desktop_w * WINDOW_SHARE_PERCENT / 100,
                                     desktop_h * WINDOW_SHARE_PERCENT / 100);
    if (plan.factor == 1)
        return plan;
    plan.screen_w = picture_w * plan.factor;
    plan.screen_h = picture_h * plan.factor;
    // Full screen is the desktop's own size: no change of the display's mode, black around.
    if (fullscreen && desktop_w >= plan.screen_w && desktop_h >= plan.screen_h) {
        plan.screen_w = desktop_w;
        plan.screen_h = desktop_h;
    }
    plan.left = (plan.screen_w - picture_w * plan.factor) / 2;
    plan.top = (plan.screen_h - picture_h * plan.factor) / 2;
    return plan;
}

int set_scaled_mode(int driver, int width, int height)
{
    if (picture_bitmap) {
        destroy_bitmap(picture_bitmap);
        picture_bitmap = nullptr;
    }
    screen_layout = ScreenLayout{1, width, height, 0, 0};
    int desktop_w = 0, desktop_h = 0;
    const bool desktop_known = get_desktop_resolution(&desktop_w, &desktop_h) == 0;
    const bool fullscreen = !windowed_driver(driver);
    if (desktop_known || forced_scale > 1) {
        const ScreenLayout plan = plan_layout(width, height, desktop_w, desktop_h, fullscreen,
                                              forced_scale);
        if (plan.factor > 1 && try_layout(driver, plan, width, height))
            return 0;
        // A full screen the display refuses: the enlarged picture in a window.
        if (plan.factor > 1 && fullscreen) {
            const ScreenLayout window = plan_layout(width, height, desktop_w, desktop_h, false,
                                                    forced_scale);
            if (window.factor > 1 && try_layout(GFX_AUTODETECT_WINDOWED, window, width, height))
                return 0;
        }
    }
    if (set_gfx_mode(driver, width, height, 0, 0) != 0)
        return -1;
    set_plain_layout();
    return 0;
}

BITMAP *picture()
{
    return picture_bitmap ? picture_bitmap : screen;
}

int picture_w()
{
    if (picture_bitmap)
        return picture_bitmap->w;
    // Without a graphics driver (headless tests) the screen is a plain memory bitmap.
    return gfx_driver ? SCREEN_W : screen ? screen->w : 0;
}

int picture_h()
{
    if (picture_bitmap)
        return picture_bitmap->h;
    return gfx_driver ? SCREEN_H : screen ? screen->h : 0;
}

void present_picture()
{
    carry_out_switch();
    if (picture_bitmap)
        show_enlarged(picture_bitmap);
}

void present_frame(BITMAP *frame)
{
    carry_out_switch();
    if (!picture_bitmap) {
        acquire_bitmap(screen);
        blit(frame, screen, 0, 0, 0, 0, frame->w, frame->h);
        release_bitmap(screen);
        return;
    }
    // Kept as the picture for screenshots and for a window switch; a copy of the mode's size.
    if (frame != picture_bitmap)
        blit(frame, picture_bitmap, 0, 0, 0, 0, frame->w, frame->h);
    show_enlarged(picture_bitmap);
}

int picture_x(int screen_x)
{
    return clamp((screen_x - screen_layout.left) / screen_layout.factor, 0, picture_w() - 1);
}

int picture_y(int screen_y)
{
    return clamp((screen_y - screen_layout.top) / screen_layout.factor, 0, picture_h() - 1);
}

void draw_pointer(BITMAP *frame)
{
    if (!picture_bitmap) {
        show_mouse(frame);
        return;
    }
    show_mouse(nullptr);
    if (mouse_sprite)
        draw_sprite(frame, mouse_sprite, picture_x(mouse_x) - mouse_x_focus,
                    picture_y(mouse_y) - mouse_y_focus);
}

void note_window_switch_keys()
{
    switch_asked = 0;
    keyboard_callback = filter_window_switch;
}

void scale_dialogs(bool on)
{
    if (on && picture_bitmap && !dialog_shown) {
        dialog_shown = create_bitmap(picture_bitmap->w, picture_bitmap->h);
        blank_pointer = create_bitmap(1, 1);
        if (!dialog_shown || !blank_pointer)
            return;     // no memory: the dialog works unenlarged in the picture's corner
        clear_to_color(blank_pointer, bitmap_mask_color(blank_pointer));
        clear_to_color(dialog_shown, 255);
        shown_mouse_x = shown_mouse_y = -1;
        gui_set_screen(picture_bitmap);
        library_mouse_x = gui_mouse_x;
        library_mouse_y = gui_mouse_y;
        gui_mouse_x = dialog_mouse_x;
        gui_mouse_y = dialog_mouse_y;
        set_mouse_sprite(blank_pointer);
        return;
    }
    if (!on && library_mouse_x) {
        gui_mouse_x = library_mouse_x;
        gui_mouse_y = library_mouse_y;
        library_mouse_x = library_mouse_y = nullptr;
        gui_set_screen(nullptr);
        set_mouse_sprite(nullptr);
    }
    if (!on) {
        if (dialog_shown)
            destroy_bitmap(dialog_shown);
        if (blank_pointer)
            destroy_bitmap(blank_pointer);
        dialog_shown = blank_pointer = nullptr;
    }
}

void window_switch_if_asked()
{
    if (switch_asked.load()) {
        carry_out_switch();
        present_picture();
    }
}
