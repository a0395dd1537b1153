/* backdrop.cpp: the sky panorama behind the 3D view. */
#include "render/backdrop.h"

#include "base/datafile.h"

void draw_backdrop(BITMAP *target, int x, int y, int w, int h, fixed heading)
{
    draw_backdrop_picture(target, (BITMAP *)datafile_object(DAT_BACKDROP), x, y, w, h, heading);
}

void draw_backdrop_picture(BITMAP *target, BITMAP *sky, int x, int y, int w, int h, fixed heading)
{
    const int screen_w = target->w, screen_h = target->h;
    if ((!sky || sky->h < h) && h >= screen_h)
        clear_to_color(target, 0);
    if (w < screen_w && h < screen_h) {
        clear_to_color(target, 0);
        rect(target, x - 1, y - 1, x + w, y + h, makecol(0, 255, 0));
    }
    if (!sky) {
        rectfill(target, x, y, x + w - 1, y + h - 1, 0);
        return;
    }
    /* Negative when the picture is lower than the view: the blit's clipping then centres it. */
    const int sy = (sky->h - h) / 2;
    int sx = (sky->w - 5 * fixtoi(heading) + x - 64) % sky->w;
    if (sx < 0)
        sx += sky->w;
    /* The panorama wraps: draw it in as many pieces as the view is wide, without a seam. */
    int dx = x, remaining = w;
    while (remaining > 0) {
        const int piece = remaining < sky->w - sx ? remaining : sky->w - sx;
        blit(sky, target, sx, sy, dx, y, piece, h);
        dx += piece;
        remaining -= piece;
        sx = 0;
    }
}
