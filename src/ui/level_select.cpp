/* level_select.cpp: the screen before every level: the list of levels, which are open, a cursor. */
#include "ui/level_select.h"
#include "shell/screen_scale.h"

#include <cstdio>

#include "shell/datafile.h"
#include "shell/game_paths.h"
#include "shell/key_wait.h"
#include "shell/palette_fade.h"
#include "shell/sound.h"
#include "world/map_file.h"

namespace {

int read_header(int level, char name[LEVEL_NAME_SIZE])
{
    char path[GAME_PATH_SIZE];
    level_file_path(level, path, sizeof path);
    int code;
    return read_level_header(path, name, &code);
}

/* Completed levels and the highest open one are drawn bright. */
bool level_is_bright(const LevelSelect *select, int level)
{
    return progress_level_completed(&select->progress, level) || level == select->highest_open;
}

} // namespace

int level_map_exists(int level)
{
    char name[LEVEL_NAME_SIZE];
    return read_header(level, name);
}

int list_levels(LevelList *list)
{
    list->count = 0;
    for (int level = 1; level <= LEVEL_LIST_MAX; level++) {
        if (!read_header(level, list->level_names[level]))
            break;
        list->count = level;
    }
    return list->count;
}

int highest_open_level(const ProgressRecord *progress, int level_count)
{
    int highest = 0;
    for (int level = 1; level <= level_count; level++)
        if (progress_level_completed(progress, level))
            highest = level;
    return highest < level_count ? highest + 1 : highest;
}

void open_level_select(LevelSelect *select)
{
    load_progress(&select->progress);
    list_levels(&select->list);
    select->highest_open = highest_open_level(&select->progress, select->list.count);
    select->cursor = select->highest_open;
}

int level_select_key(LevelSelect *select, int scancode)
{
    switch (scancode) {
    case KEY_UP:
        if (select->cursor <= 1)
            return SELECT_IGNORED;
        select->cursor--;
        return SELECT_MOVED;
    case KEY_DOWN:
        if (select->cursor >= select->highest_open)
            return SELECT_IGNORED;
        select->cursor++;
        return SELECT_MOVED;
    case KEY_ESC:
        return SELECT_CANCELLED;
    case KEY_ENTER:
        return SELECT_CHOSEN;
    default:
        return SELECT_IGNORED;
    }
}

void draw_level_select(BITMAP *target, const LevelSelect *select)
{
    if (BITMAP *background = (BITMAP *)datafile_object(DAT_SELECT_BACKGROUND))
        blit(background, target, 0, 0, (target->w - background->w) / 2,
             (target->h - background->h) / 2, background->w, background->h);
    BITMAP *arrow = (BITMAP *)datafile_object(DAT_CURSOR);
    BITMAP *mark = (BITMAP *)datafile_object(DAT_COMPLETED_MARK);
    const int bright_bar = makecol(50, 200, 50);
    const int dark_bar = makecol(20, 40, 20);
    const int black = makecol(0, 0, 0);
    const int white = makecol(255, 255, 255);
    char line[64];

    for (int level = 1; level <= select->list.count; level++) {
        const int x = target->w / 3;
        const int y = 20 * level + 35;
        const bool bright = level_is_bright(select, level);
        rectfill(target, x - 10, y - 4, x + 200, y + 17, bright ? bright_bar : dark_bar);
        std::snprintf(line, sizeof line, "%d. %s", level, select->list.level_names[level]);
        textout_ex(target, font, line, x, y, black, -1);
        if (bright)
            textout_ex(target, font, line, x - 1, y - 1, white, -1);
        if (level == select->cursor && arrow)
            draw_sprite(target, arrow, x - 5 - arrow->w, y - 4);
        if (progress_level_completed(&select->progress, level) && mark)
            draw_sprite(target, mark, x + 187, y - 10);
    }
}

int select_level(BITMAP *target)
{
    PALETTE saved;
    get_palette(saved);
    set_palette(black_palette);

    static LevelSelect select;
    open_level_select(&select);

    if (RGB *palette = (RGB *)datafile_object(DAT_SELECT_PALETTE))
        fade_palette_in(palette, 32);
    clear(target);

    SAMPLE *click = datafile_sample(DAT_SAMPLE_CLICK);
    int result = -1;
    for (;;) {
        draw_level_select(target, &select);
        present_frame(target);

        const int action = level_select_key(&select, wait_key() >> 8);
        if (action != SELECT_IGNORED)
            play_cue(click);
        if (action == SELECT_CANCELLED) {
            result = -1;
            break;
        }
        if (action == SELECT_CHOSEN) {
            result = select.cursor;
            break;
        }
    }

    fade_palette_out(8);
    clear(picture());
    present_picture();
    set_palette(saved);
    const int release_keys[2] = {KEY_ESC, KEY_ENTER};
    wait_keys_released(release_keys, 2);
    return result;
}
