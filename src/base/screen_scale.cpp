/* screen_scale.cpp: the picture of the chosen mode, shown enlarged by a whole factor on a larger screen.

   The screens keep drawing at the mode's size (640 x 480 by default) in 256 colours. Enlarged,
   they draw into an 8-bit memory bitmap of that size on a 32-bit screen. Presenting it looks each
   pixel up in the palette into an image of the picture's size that the X server enlarges onto
   the window (x11_render_scale.cpp); where the server cannot, the game writes each pixel as a
   square block of one colour itself: one pass over the enlarged picture and one put a frame. An 8-bit enlarged screen would cost two
   passes and a put for every row, as the library converts and sends the screen row by row while
   a stretch_blit writes it (a third of a core at factor 4). Only the rows that changed since the
   last frame are enlarged and put; a palette change recolours the whole picture, as the hardware
   palette of an 8-bit screen does. Where no 32-bit mode can be set, the 8-bit enlarged screen is
   the fallback. */
#include "base/screen_scale.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#include "base/picture_enlarge.h"
#include "base/window_identity.h"
#include "base/x11_render_scale.h"
#include "base/x11_screen.h"

ScreenLayout screen_layout = {1, 0, 0, 0, 0};
int forced_scale = 0;
void (*window_switch)() = nullptr;

namespace {

/* A window keeps this share of the desktop free for its frame and the desktop's panels. */
const int WINDOW_SHARE_PERCENT = 90;

BITMAP *picture_bitmap = nullptr;       /* the picture when enlarged, else none */
std::atomic<int> switch_asked{0};       /* Alt+Enter typed, not yet carried out */
int (*next_keyboard_callback)(int) = nullptr;   /* the callback note_window_switch_keys found */

/* On a 32-bit screen: the picture as it is shown now, to find the rows a frame changes and to
   recolour on a palette change; its pixels looked up; and, for a screen the game cannot write
   itself, the enlarged picture the library copies to it in one blit. */
BITMAP *shown_bitmap = nullptr;
bool shown_valid = false;               /* the screen holds shown_bitmap in shown_palette */
PALETTE shown_palette;
uint32_t shown_pixels[256];             /* shown_palette looked up */
BITMAP *enlarged_bitmap = nullptr;

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

void destroy_enlarging_bitmaps()
{
    x11_scaler_stop();
    for (BITMAP **b : {&picture_bitmap, &shown_bitmap, &enlarged_bitmap}) {
        if (*b)
            destroy_bitmap(*b);
        *b = nullptr;
    }
    shown_valid = false;
}

/* Sets the enlarged mode: 32 bits when the display gives them, else 8 as before. Every other
   bitmap of the game stays 8-bit, so the colour depth is 8 again at once. A desktop of 256
   colours keeps the 8-bit screen, whose palette is the display's: through 32 bits the colours
   would be matched to the display's own. */
bool set_enlarged_mode(int driver, int screen_w, int screen_h)
{
    bool deep = false;
    if (desktop_color_depth() != 8) {
        set_color_depth(32);
        deep = set_gfx_mode(driver, screen_w, screen_h, 0, 0) == 0;
        set_color_depth(8);
    }
    return deep || set_gfx_mode(driver, screen_w, screen_h, 0, 0) == 0;
}

/* The bitmaps a 32-bit screen needs beside the picture; false without the memory. */
bool make_presenting_bitmaps(const ScreenLayout &plan, int width, int height)
{
    if (bitmap_color_depth(screen) == 8)
        return true;
    shown_bitmap = create_bitmap_ex(8, width, height);
    if (!shown_bitmap)
        return false;
    if (x11_scaler_start(width, height, plan.factor, plan.left, plan.top) || x11_screen_writable())
        return true;
    enlarged_bitmap = create_bitmap_ex(32, width * plan.factor, height * plan.factor);
    return enlarged_bitmap != nullptr;
}

/* Tries the mode of the layout; on success keeps the layout and makes the picture's bitmap. */
bool try_layout(int driver, const ScreenLayout &plan, int width, int height)
{
    if (!set_enlarged_mode(driver, plan.screen_w, plan.screen_h))
        return false;
    ScreenLayout set = plan;
    // The mode may be larger than asked (a desktop that rounds): centre on what was given.
    set.screen_w = SCREEN_W;
    set.screen_h = SCREEN_H;
    set.left = (SCREEN_W - width * plan.factor) / 2;
    set.top = (SCREEN_H - height * plan.factor) / 2;
    clear_bitmap(screen);
    picture_bitmap = create_bitmap_ex(8, width, height);
    if (!picture_bitmap || !make_presenting_bitmaps(set, width, height)) {
        // No memory for the picture: the mode itself will do.
        destroy_enlarging_bitmaps();
        return false;
    }
    clear_bitmap(picture_bitmap);
    screen_layout = set;
    return true;
}

/* The rows first to end - 1 of source that differ from the picture shown; first == end when none. */
void changed_rows(const BITMAP *source, int *first, int *end)
{
    int top = 0, bottom = source->h;
    if (shown_valid) {
        while (top < bottom && std::memcmp(source->line[top], shown_bitmap->line[top], source->w) == 0)
            top++;
        while (bottom > top &&
               std::memcmp(source->line[bottom - 1], shown_bitmap->line[bottom - 1], source->w) == 0)
            bottom--;
    }
    *first = top;
    *end = bottom;
}

/* Shows rows first to end - 1 of source enlarged on the 32-bit screen, in one put: only the
   pixels that differ from shown_bitmap when the screen holds it, else all; then notes them shown. */
void show_rows(const BITMAP *source, int first, int end)
{
    const ScreenLayout &l = screen_layout;
    const int w = source->w * l.factor, y = l.top + first * l.factor;
    const int h = (end - first) * l.factor;
    const BITMAP *previous = shown_valid ? shown_bitmap : nullptr;
    if (unsigned char *const *rows = x11_scaler_lock()) {
        // The server enlarges: the game only looks the rows up at the picture's own size.
        enlarge_rows(source, previous, first, end, shown_pixels, 1, rows, 0, 0);
        x11_scaler_put(first, end);
    } else if (unsigned char *const *rows = x11_lock_screen()) {
        enlarge_rows(source, previous, first, end, shown_pixels, l.factor, rows, l.left, l.top);
        x11_put_screen(l.left, y, w, h);
    } else {
        if (!enlarged_bitmap) {
            // The screen image could be written when the mode was set, and no longer can.
            enlarged_bitmap = create_bitmap_ex(32, w, source->h * l.factor);
            if (!enlarged_bitmap)
                return;     // no memory: the screen keeps what it shows
            previous = nullptr;
        }
        enlarge_rows(source, previous, first, end, shown_pixels, l.factor, enlarged_bitmap->line,
                     0, 0);
        acquire_bitmap(screen);
        blit(enlarged_bitmap, screen, 0, first * l.factor, l.left, y, w, h);
        release_bitmap(screen);
    }
    if (source != shown_bitmap)
        blit(const_cast<BITMAP *>(source), shown_bitmap, 0, first, 0, first, source->w, end - first);
    shown_valid = true;
}

void show_enlarged(BITMAP *source)
{
    const ScreenLayout &l = screen_layout;
    if (!shown_bitmap) {
        // The 8-bit enlarged screen: the library's palette colours it.
        acquire_bitmap(screen);
        stretch_blit(source, screen, 0, 0, source->w, source->h, l.left, l.top,
                     source->w * l.factor, source->h * l.factor);
        release_bitmap(screen);
        return;
    }
    // A palette set behind this file's back shows at the next frame, whole.
    PALETTE now;
    get_palette(now);
    if (shown_valid && std::memcmp(now, shown_palette, sizeof now) != 0)
        shown_valid = false;
    if (!shown_valid) {
        std::memcpy(shown_palette, now, sizeof now);
        palette_pixels(shown_palette, shown_pixels);
    }
    int first, end;
    changed_rows(source, &first, &end);
    if (first < end)
        show_rows(source, first, end);
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
    return next_keyboard_callback ? next_keyboard_callback(k) : k;
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

namespace {

/* set_scaled_mode's work, but for the window's names and icon. */
int set_layout_mode(int driver, int width, int height)
{
    destroy_enlarging_bitmaps();
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

} // namespace

int set_scaled_mode(int driver, int width, int height)
{
    if (set_layout_mode(driver, width, height) != 0)
        return -1;
    // A mode may come with a window of its own (full screen lays one over the desktop).
    mark_windows();
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

void set_picture_palette(const RGB *palette)
{
    set_palette(palette);
    if (!shown_bitmap || !shown_valid || std::memcmp(palette, shown_palette, sizeof shown_palette) == 0)
        return;
    std::memcpy(shown_palette, palette, sizeof shown_palette);
    palette_pixels(shown_palette, shown_pixels);
    shown_valid = false;    // every pixel in its new colour
    show_rows(shown_bitmap, 0, shown_bitmap->h);
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
    if (keyboard_callback != filter_window_switch)
        next_keyboard_callback = keyboard_callback;
    keyboard_callback = filter_window_switch;
}

int switch_window_kind()
{
    const int width = picture_w(), height = picture_h();
    BITMAP *kept = create_bitmap_ex(8, width, height);
    if (!kept)
        return 0;   // no memory to keep the picture: the switch waits for the next Alt+Enter
    blit(picture(), kept, 0, 0, 0, 0, width, height);
    PALETTE palette;
    get_palette(palette);
    const int was = is_windowed_mode() ? GFX_AUTODETECT_WINDOWED : GFX_AUTODETECT_FULLSCREEN;
    const int wanted = was == GFX_AUTODETECT_WINDOWED ? GFX_AUTODETECT_FULLSCREEN :
                                                        GFX_AUTODETECT_WINDOWED;
    show_mouse(nullptr);
    if (set_scaled_mode(wanted, width, height) != 0 && set_scaled_mode(was, width, height) != 0) {
        destroy_bitmap(kept);
        return -1;
    }
    set_picture_palette(palette);
    blit(kept, picture(), 0, 0, 0, 0, width, height);
    destroy_bitmap(kept);
    present_picture();
    return 0;
}

void window_switch_if_asked()
{
    if (switch_asked.load()) {
        carry_out_switch();
        present_picture();
    }
}
