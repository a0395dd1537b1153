/* level_select.cpp: the screen before every level: the list of levels, which are open, a cursor. */
#include "ui/level_select.h"

#include <cstdio>
#include <cstring>

#include "base/datafile.h"
#include "base/console.h"
#include "base/file_read.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/palette_fade.h"
#include "base/screen_scale.h"
#include "base/sound.h"
#include "base/translation.h"
#include "base/utf8_letters.h"
#include "render/hud.h"
#include "search/map_validation.h"
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

/* Reads at most `size` bytes of the file at path into bytes. Returns how many, -1 when it
   cannot be read. */
long read_map_bytes(const char *path, char *bytes, size_t size)
{
    // A --levels folder is the player's: a FIFO put there must not hold the list up.
    char fault[GAME_PATH_SIZE + 64];
    FILE *in = fopen_regular(path, (long long)1 << 40, fault, sizeof fault);
    if (!in)
        return -1;
    const size_t got = std::fread(bytes, 1, size, in);
    const bool failed = std::ferror(in);
    std::fclose(in);
    return failed ? -1 : (long)got;
}

} // namespace

const char *level_fault(int level, char *out, size_t size)
{
    out[0] = '\0';
    if (!levels_folder[0])
        return out;
    // Larger than any map the editor writes; a file larger still is judged by its beginning.
    enum { MAP_READ_SIZE = 1024 * 1024 };
    static char bytes[MAP_READ_SIZE];
    static ValidationReport report;
    char path[GAME_PATH_SIZE];
    const long length = read_map_bytes(level_file_path(level, path, sizeof path), bytes, sizeof bytes);
    if (length < 0) {
        std::snprintf(out, size, "%s", _("cannot be read"));
        return out;
    }
    validate_map(bytes, (size_t)length, &report);
    if (report.faults == 0)
        return out;
    for (int i = 0; i < report.message_count; i++) {
        if (report.messages[i].fault) {
            std::snprintf(out, size, _("line %d: %s"), (int)report.messages[i].line,
                          report.messages[i].text);
            return out;
        }
    }
    std::snprintf(out, size, _("%d faults"), (int)report.faults);
    return out;
}

namespace {

/* The refusal of a level with faults: its file, line and fault, and what to do about it. */
void refuse_level(LevelSelect *select, int level)
{
    char path[GAME_PATH_SIZE];
    std::snprintf(select->refusal, sizeof select->refusal,
                  _("Level %d has faults and cannot be played: %s %s. Mend it in the Level Editor."),
                  level, level_file_path(level, path, sizeof path),
                  select->list.level_faults[level]);
}

/* The refusal in a box across the bottom of the screen, broken at blanks into its lines. */
void draw_refusal(BITMAP *target, const char *text)
{
    static char lines[LEVEL_REFUSAL_SIZE + 64];
    // The widest glyph of the game's font sets the columns, so no line runs out of the box.
    const int glyph = text_length(font, "W") > 0 ? text_length(font, "W") : 8;
    const int row = text_height(font) + 2;
    break_lines(text, (target->w - 32) / glyph, lines, sizeof lines);
    int count = 1;
    for (const char *p = lines; *p; p++)
        count += *p == '\n';
    const int height = row * count + 12, top = target->h - height - 8;
    rectfill(target, 8, top, target->w - 9, top + height, makecol(0, 0, 0));
    rect(target, 8, top, target->w - 9, top + height, makecol(255, 60, 40));
    int y = top + 6;
    for (char *line = lines; line; y += row) {
        char *end = std::strchr(line, '\n');
        if (end)
            *end = '\0';
        textout_ex(target, font, line, 16, y, makecol(255, 255, 255), -1);
        line = end ? end + 1 : nullptr;
    }
}

/* The idea of the level under the cursor, in a box right of the bars (and of the word "faults"
   where a level has it), its top level with the cursor's bar, kept on the screen. */
void draw_cursor_idea(BITMAP *target, const LevelSelect *select, int bars_x)
{
    const int cursor = select->cursor;
    if (cursor < 1 || cursor > select->list.count || !select->list.level_ideas[cursor][0])
        return;
    bool faults = false;
    for (int level = 1; level <= select->list.count; level++)
        faults = faults || select->list.level_faults[level][0];
    const int left = bars_x + LEVEL_IDEA_LEFT + (faults ? 34 : 0), right = target->w - 8;
    if (right - left < 80)
        return;     // a screen too narrow for it
    const int line_h = text_height(font) + 3;
    char shown[LEVEL_IDEA_SHOWN_SIZE];
    const char *idea = translated_idea(select->list.level_ideas[cursor], shown);
    const int lines = draw_wrapped_text(target, font, idea, 0, 0, right - left - 12, line_h, 0,
                                        false);
    const int h = lines * line_h + 10;
    int top = 20 * cursor + 35 - 4;
    if (top + h > target->h - 8)
        top = target->h - 8 - h;
    rectfill(target, left, top, right, top + h, makecol(0, 0, 0));
    rect(target, left, top, right, top + h, makecol(50, 200, 50));
    draw_wrapped_text(target, font, idea, left + 6, top + 6, right - left - 12, line_h,
                      makecol(255, 255, 255));
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
        level_fault(level, list->level_faults[level], LEVEL_FAULT_SIZE);
        char path[GAME_PATH_SIZE];
        read_level_idea(level_file_path(level, path, sizeof path), list->level_ideas[level],
                        LEVEL_IDEA_SIZE);
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
    select->refusal[0] = '\0';
}

int level_select_key(LevelSelect *select, int scancode)
{
    if (scancode == KEY_UP || scancode == KEY_DOWN || scancode == KEY_ESC)
        select->refusal[0] = '\0';
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
        if (select->cursor >= 1 && select->cursor <= select->list.count &&
            select->list.level_faults[select->cursor][0]) {
            refuse_level(select, select->cursor);
            return SELECT_REFUSED;
        }
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
    const int fault_red = makecol(255, 60, 40);
    char line[64];

    for (int level = 1; level <= select->list.count; level++) {
        const int x = target->w / 3;
        const int y = 20 * level + 35;
        const bool bright = level_is_bright(select, level);
        rectfill(target, x - 10, y - 4, x + 200, y + 17, bright ? bright_bar : dark_bar);
        std::snprintf(line, sizeof line, "%d. %s", level, tr(select->list.level_names[level]));
        drop_cut_letter(line);      // a map's name line is read to 38 bytes, maybe inside a letter
        textout_ex(target, font, line, x, y, black, -1);
        if (bright)
            textout_ex(target, font, line, x - 1, y - 1, white, -1);
        if (level == select->cursor && arrow)
            draw_sprite(target, arrow, x - 5 - arrow->w, y - 4);
        if (progress_level_completed(&select->progress, level) && mark)
            draw_sprite(target, mark, x + LEVEL_BAR_NAME_W, y - 10);
        if (select->list.level_faults[level][0]) {
            // A level of a --levels folder that cannot be played yet: a work in progress.
            textout_ex(target, font, "faults", x + 206, y, fault_red, -1);
        }
    }
    draw_cursor_idea(target, select, target->w / 3);
    if (select->refusal[0])
        draw_refusal(target, select->refusal);
}

int select_level(BITMAP *target)
{
    PALETTE saved;
    get_palette(saved);
    set_picture_palette(black_palette);

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
    set_picture_palette(saved);
    const int release_keys[2] = {KEY_ESC, KEY_ENTER};
    wait_keys_released(release_keys, 2);
    return result;
}
