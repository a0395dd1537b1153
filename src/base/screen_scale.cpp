/* screen_scale.cpp: the picture of the chosen mode, shown enlarged by a whole factor on a larger screen.

   The screens keep drawing at the mode's size (640 x 480 by default). Enlarged, they draw into a
   memory bitmap of that size, and presenting it is one stretch_blit to the screen: with a whole
   factor every pixel becomes a square block of one colour, and the copy writes each pixel of the
   enlarged picture once, as the plain blit it replaces writes each pixel of the mode. */
#include "base/screen_scale.h"

#include <atomic>

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

} // namespace

ScreenLayout plan_layout(int picture_w, int picture_h, int desktop_w, int desktop_h,
                         bool fullscreen, int forced_factor)
{
    ScreenLayout plan = {1, picture_w, picture_h, 0, 0};
    const bool forced = forced_factor >= 1 && forced_factor <= SCALE_LARGEST;
    if (forced)
        plan.factor = forced_factor;
    else if (fullscreen)
        plan.factor = fitting_factor(picture_w, picture_h, desktop_w, desktop_h);
    else
        plan.factor = fitting_factor(picture_w, picture_h, desktop_w * WINDOW_SHARE_PERCENT / 100,
                                     desktop_h * WINDOW_SHARE_PERCENT / 100);
    // A desktop no larger than twice the mode keeps the mode, as it always did: at exactly
    // twice, full screen would otherwise enlarge it.
    if (!forced && desktop_w <= 2 * picture_w && desktop_h <= 2 * picture_h)
        plan.factor = 1;
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

void present_overlay(BITMAP *frame)
{
    if (picture_bitmap)
        show_enlarged(frame);
    else
        blit(frame, screen, 0, 0, 0, 0, frame->w, frame->h);
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

void window_switch_if_asked()
{
    if (switch_asked.load()) {
        carry_out_switch();
        present_picture();
    }
}
