/* editor_main.cpp: tirvex_edit, the level editor: builds a level on a grid drawn as the game's map
   panel draws it, paints it with the mouse, shows it in 3D through the game's renderer, and
   proves it can be won with the level checker's search.

   tirvex_edit [--game DIR] [--scale N] [MAP]
   (installed as tirvex-edit)

   MAP is opened when it exists (a map with faults the game would stop on is refused, with the
   checker's faults, exit status 1) and is made when it does not. Without MAP the player's own
   folder of levels is opened, a first map with such faults shown on a page in the window before
   the editor ends. A renumbering of the map's folder that was stopped is finished first. The
   640x480 picture is enlarged by a whole factor as the game's is (--scale N forces it), and
   Alt+Enter switches between window and full screen. Keys: the help page (F1), doc/levels.md and
   tirvex-edit(6). */
#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/translation.h"
#include "edit_history.h"
#include "edit_level.h"
#include "editor_help.h"
#include "editor_play.h"
#include "editor_proof.h"
#include "editor_mouse.h"
#include "editor_screen.h"
#include "editor_state.h"
#include "headless_game.h"
#include "level_file.h"
#include "level_folder.h"
#include "search/map_validation.h"
#include "world/actor_kinds.h"
#include "play_folder.h"
#include "base/command_line.h"
#include "base/datafile.h"
#include "base/file_read.h"
#include "base/game_paths.h"
#include "base/level_folder_journal.h"
#include "base/screen_scale.h"
#include "base/window_identity.h"
#include "text_field.h"
#include "typed_keys.h"
#include "base/display_options.h"
#include "world/level_rules.h"
#include "world/player_motion.h"
#include "world/world_driver.h"

namespace {

enum { PROVE_SLICE_MS = 40 };
enum { OPTION_GAME, OPTION_SCALE };     /* the editor's options, in the order main lists them */

BITMAP *screen_buffer, *world_view;

volatile int close_pressed = 0;

void on_close_button() { close_pressed = 1; }

/* "1 square", "2 squares": the text for one or for the others, each with its %d. */
std::string counted(int count, const char *one, const char *others)
{
    char text[64];
    std::snprintf(text, sizeof text, count == 1 ? one : others, count);
    return text;
}


/* Says what came of a save, a proof or a page, on the status line and on standard output, so
   that a script driving the editor can follow it. */
void report(const std::string &text)
{
    say(text);
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

bool unsaved()
{
    return level_text(editor.level) != editor.saved_text;
}

/* The map's file and its place in the folder, as the screen shows it. */
void describe_place()
{
    Editor &e = editor;
    std::string dir;
    e.number = folder_map_number(e.path, &dir);
    e.dir = dir;
    const std::string name = e.path.substr(e.path.rfind('/') + 1);
    if (e.number == 0) {
        e.view.place = name;
        return;
    }
    bool present[FOLDER_LEVEL_LIMIT + 1];
    const int count = folder_levels(e.dir, present);
    e.view.place = name + ": " + std::to_string(count) + (count == 1 ? _(" level") : _(" levels")) +
                   _(" in its folder");
}

/* Runs the world until the swoop is over and the robot stands still, facing where it turned. */
void settle_view(int frame_limit)
{
    driver_settle(view_world, 1, frame_limit);
    for (int i = 0; i < 2000 && view_world.rot_y != view_world.motion.player_rot_y; i++)
        driver_frame(view_world, 1);
}





void save()
{
    Editor &e = editor;
    std::string fault = save_level_file(e.level, e.path.c_str());
    if (!fault.empty()) {
        report(_("not saved: ") + fault);
        return;
    }
    e.saved_text = level_text(e.level);
    static ValidationReport checked;
    validate_map(e.world_text.data(), e.world_text.size(), &checked);
    report(checked.faults > 0 ? _("saved ") + e.path + _(", with faults: work in progress") :
                                _("saved ") + e.path);
    describe_place();
}

/* A warning when the map at `path` is a new level whose folder is not there: it could never be
   saved where it was named, and a designer should hear that before the work, not after it.
   Empty otherwise. */
std::string missing_folder_warning(const std::string &path)
{
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    struct stat status;
    if (folder.empty() || stat(folder.c_str(), &status) == 0)
        return "";
    return folder + _(" is not there (") + std::strerror(errno) + _("): the new level ") +
           path.substr(folder.size()) + _(" cannot be saved in it; make the folder first");
}

/* Makes the map at `path` the one edited: its level, a fresh history, the view at its start.
   Returns an empty string, or why it was not opened (the level edited is then as it was). */
std::string open_map(const std::string &path, FILE *faults)
{
    Editor &e = editor;
    static EditLevel level;
    std::string text;
    const std::string fault = read_level_file(path, &level, &text, faults);
    if (!fault.empty())
        return fault;
    e.level = level;
    // A file that comes back as it was read counts as saved; one the editor writes otherwise
    // (another layout, Windows line ends) is unsaved until it is saved in the editor's layout.
    e.saved_text = text;
    e.path = path;
    e.history = EditHistory{};
    e.asked_key = 0;
    e.view.mark_x = e.view.mark_z = -1;
    proof_forget();
    describe_place();
    return "";
}

/* Typing a field: the name, the idea line or a level number. Enter takes it, Esc drops it. */
void field_done()
{
    Editor &e = editor;
    const Typing typing = e.typing;
    e.typing = TYPING_NONE;
    e.before = e.level;
    if (typing == TYPING_NAME) {
        edited(rename_level(&e.level, e.field.text), _("a name is at most 38 characters"));
    } else if (typing == TYPING_IDEA) {
        edited(set_idea(&e.level, e.field.text), _("the first line is at most 79 characters"));
    } else if (typing == TYPING_NUMBER) {
        const int to = std::atoi(e.field.text);
        const std::string fault = folder_move_level(e.dir, e.number, to);
        if (!fault.empty()) {
            report(_("not renumbered: ") + fault);
            return;
        }
        const std::string was = e.path.substr(e.path.rfind('/') + 1);
        e.path = folder_map_path(e.dir, to);
        describe_place();
        report(was + _(" is now ") + e.path.substr(e.path.rfind('/') + 1) +
               (e.number == to ? _("; the levels between moved to make room (old maps kept as NAME~)") : ""));
    }
}

void field_key_typed(int k)
{
    Editor &e = editor;
    const FieldResult result = field_key(&e.field, k);
    if (result == FIELD_DONE) {
        field_done();
        return;
    }
    if (result == FIELD_DROPPED) {
        e.typing = TYPING_NONE;
        say("");
        return;
    }
    static const char *const prompts[] = {"", N_("name: "), N_("first line: "), N_("new number: ")};
    say(std::string(tr(prompts[e.typing])) + (e.field.selected ? "[" : "") + e.field.text +
        (e.field.selected ? "]" : "") + _("_  (Enter keeps it, Esc drops it)"));
}

void begin_typing(Typing typing, const char *text, int limit)
{
    Editor &e = editor;
    e.typing = typing;
    field_begin(&e.field, text, limit);
    field_key_typed(0);
}

void redraw()
{
    draw_editor(screen_buffer, world_view, editor.level, editor.view,
                editor.page_shown ? &editor.page : nullptr);
    present_frame(screen_buffer);
}

/* Shows a page, its lines also on standard output for a script to read. */
void show_page()
{
    Editor &e = editor;
    e.page_shown = true;
    std::printf("page: %s\n", e.page.title.c_str());
    for (const std::string &line : e.page.lines)
        std::printf("| %s\n", line.c_str());
    std::fflush(stdout);
}

/* The checker's findings on `length` bytes of map text, a line each, onto the page. */
void add_findings(TextPage *page, const char *text, size_t length)
{
    static ValidationReport report;
    validate_map(text, length, &report);
    char line[300];
    std::snprintf(line, sizeof line, _("%d faults, %d warnings%s"), (int)report.faults, (int)report.warnings,
                  report.faults ? _(": the game cannot play the level until the faults are mended") : "");
    page_add(page, line);
    page_add(page, "");
    for (int i = 0; i < report.message_count; i++) {
        const ValidationMessage &m = report.messages[i];
        std::snprintf(line, sizeof line, _("line %d: %s: %s"), (int)m.line,
                      m.fault ? _("fault") : _("warning"), m.text);
        page_add(page, line, 4);
    }
}

void faults_page()
{
    Editor &e = editor;
    page_begin(&e.page, _("Faults and warnings (F3)"));
    add_findings(&e.page, e.world_text.data(), e.world_text.size());
    show_page();
}

/* The page of a map that cannot be opened for editing: why, and the checker's findings on it,
   so that a designer who started the editor from the desktop sees what a terminal would have
   shown. `ending` says the editor ends when the page closes. */
void refusal_page(const std::string &path, const std::string &fault, bool ending)
{
    Editor &e = editor;
    page_begin(&e.page, path.empty() ? _("No folder of levels") :
                        path.substr(path.rfind('/') + 1) + _(": not opened for editing"));
    page_add(&e.page, fault);
    page_add(&e.page, "");
    static char bytes[MAP_TEXT_SIZE];
    char refused[GAME_PATH_SIZE + 64];
    const int fd = path.empty() ? -1 : open_regular_file(path.c_str(), MAP_TEXT_SIZE, refused,
                                                          sizeof refused);
    if (fd >= 0) {
        const long length = read_up_to(fd, bytes, sizeof bytes);
        close(fd);
        add_findings(&e.page, bytes, length > 0 ? (size_t)length : 0);
        page_add(&e.page, "");
        page_add(&e.page, _("The game cannot read this file as a level. Mend the lines above in a text "
                            "editor, or move the file out of its folder, and open it again."));
    }
    if (ending)
        page_add(&e.page, _("Esc closes the page and ends the editor."));
    show_page();
}

/* The analysis's progress on the status line while the proof's report is made. */
void report_progress(const char *stage, int64_t positions)
{
    say(_("explaining the proof: ") + std::string(stage) + " " + std::to_string((long long)positions) +
        _(" (keys wait)"));
    redraw();
}


/* A key that leaves the level edited (Esc, a folder key), by its scancode: true when it may go
   now; with unsaved changes the first press only asks, and the same key again goes. `asked` is
   the scancode the question before this key waited for, 0 for none. */
bool leave_asked(int scan, int asked, const std::string &going)
{
    Editor &e = editor;
    if (!unsaved() || asked == scan)
        return true;
    e.asked_key = scan;
    report(_("unsaved changes: ") + going + _(" again leaves without saving, F2 saves, any other key stays"));
    return false;
}

/* Opens the folder's level `number`, or a new one when the folder has none by that number. */
void open_level(int number)
{
    Editor &e = editor;
    const std::string path = folder_map_path(e.dir, number);
    const std::string fault = open_map(path, nullptr);
    if (!fault.empty()) {
        report(fault);
        refusal_page(path, fault, false);
        return;
    }
    refresh();
    report(_("opened ") + path);
}

/* The folder keys: the previous or next level (step -1 or 1) or a new one (step 0). */
void folder_key(int scan, int asked, int step)
{
    Editor &e = editor;
    if (e.dir.empty() || (step != 0 && e.number == 0)) {
        say(_("this map is not mapNN.txt in a folder of levels"));
        return;
    }
    const int number = step == 0 ? folder_next_free(e.dir) : folder_neighbour(e.dir, e.number, step);
    if (number == 0) {
        say(step == 0 ? _("the folder has 99 levels: no number is free") :
            step > 0 ? _("this is the folder's last level") : _("this is the folder's first level"));
        return;
    }
    if (!leave_asked(scan, asked, step == 0 ? "Ctrl+N" : step > 0 ? "Ctrl+PgDn" : "Ctrl+PgUp"))
        return;
    open_level(number);
}

/* The window's close button, pressed while editing, proving, typing or reading a page: a proof
   or a field is dropped, then it leaves as Esc does. Returns false when the editor is to end. */
bool close_button()
{
    Editor &e = editor;
    if (proof_state() == PROOF_RUNNING) {
        proof_cancel();
        say(_("proof stopped"));
    }
    e.typing = TYPING_NONE;
    e.page_shown = false;
    e.view.mark_x = e.view.mark_z = -1;
    const int asked = e.asked_key;
    e.asked_key = 0;
    return !leave_asked(KEY_ESC, asked, _("the close button or Esc"));
}

/* Ctrl+V: pastes the clipboard at the cursor, first asking when it would replace contents (and
   again for every paste that would: `asked` is the question waiting before this key). */
void paste(int scan, int asked)
{
    Editor &e = editor;
    if (!e.block_held) {
        say(_("nothing to paste: Ctrl+C copies a block first"));
        return;
    }
    int32_t covered, replaced;
    paste_covers(e.level, e.block, e.view.cursor_x, e.view.cursor_z, &covered, &replaced);
    if (replaced > 0 && asked != scan) {
        e.asked_key = scan;
        report(_("the paste covers ") + counted(covered, _("%d square"), _("%d squares")) +
               _(" and replaces ") + counted(replaced, _("%d content"), _("%d contents")) +
               _(": Ctrl+V again pastes, any other key keeps them"));
        return;
    }
    e.before = e.level;
    if (!paste_block(&e.level, e.block, e.view.cursor_x, e.view.cursor_z)) {
        say(_("no room: the block would leave the map or hold too many squares or actors"));
        return;
    }
    note_edit(e.before);
    report(_("pasted ") + counted(e.block.square_count, _("%d square"), _("%d squares")) + ", " +
           std::to_string(covered) + _(" over squares already there") +
           (replaced ? ", " + counted(replaced, _("%d content"), _("%d contents")) + _(" replaced") :
                       ""));
}

/* Ctrl+C, Ctrl+X: the block marked, or the cursor's cell, to the clipboard (cut removes it). */
void copy(bool cut)
{
    Editor &e = editor;
    EditorView &v = e.view;
    const int x0 = v.mark_x < 0 ? v.cursor_x : v.mark_x, z0 = v.mark_x < 0 ? v.cursor_z : v.mark_z;
    copy_block(e.level, x0, z0, v.cursor_x, v.cursor_z, &e.block);
    e.block_held = true;
    v.mark_x = v.mark_z = -1;
    if (!cut) {
        say(std::to_string(e.block.square_count) + _(" squares copied (Ctrl+R turns them, Ctrl+M mirrors)"));
        return;
    }
    const int left = x0 < v.cursor_x ? x0 : v.cursor_x, low = z0 < v.cursor_z ? z0 : v.cursor_z;
    bool made = e.block.square_count > 0;
    for (int i = 0; i < e.block.square_count && made; i++)
        made = remove_square(&e.level, e.block.squares[i].x + left, e.block.squares[i].z + low);
    edited(made, _("nothing to cut"));
    if (made)
        say(std::to_string(e.block.square_count) + _(" squares cut"));
}

void content_key(int content)
{
    Editor &e = editor;
    edited(set_content(&e.level, e.view.cursor_x, e.view.cursor_z, content, e.view.brush.dir),
           _("no square here, or too many actors"));
}

/* The keys with Ctrl held; `asked` is the scancode a question waited for before this key. */
void ctrl_key(int k, int asked)
{
    Editor &e = editor;
    switch (k >> 8) {
    case KEY_Z:
    case KEY_Y: {
        const bool undo = (k >> 8) == KEY_Z;
        if (!(undo ? history_undo(&e.history, &e.level) : history_redo(&e.history, &e.level))) {
            report(undo ? _("nothing to undo") : _("nothing to redo"));
            return;
        }
        proof_forget();
        report(std::string(undo ? _("undone") : _("redone")) + (unsaved() ? "" : _(": as saved")));
        refresh();
        return;
    }
    case KEY_C:
    case KEY_X:
        copy((k >> 8) == KEY_X);
        return;
    case KEY_V:
        paste(k >> 8, asked);
        return;
    case KEY_R:
    case KEY_M:
        if (!e.block_held) {
            say(_("nothing to turn: Ctrl+C copies a block first"));
            return;
        }
        if ((k >> 8) == KEY_R)
            turn_block(&e.block);
        else
            mirror_block(&e.block);
        say(std::string(_("the clipboard ")) + ((k >> 8) == KEY_R ? _("turned clockwise") : _("mirrored")) +
            ": " + std::to_string(e.block.columns) + _(" by ") + std::to_string(e.block.rows) + _(" cells"));
        return;
    case KEY_PGUP:
    case KEY_PGDN:
        folder_key(k >> 8, asked, (k >> 8) == KEY_PGUP ? -1 : 1);
        return;
    case KEY_N:
        folder_key(k >> 8, asked, 0);
        return;
    case KEY_G:
        if (e.number == 0) {
            say(_("this map is not mapNN.txt in a folder of levels"));
        } else if (unsaved()) {
            say(_("save first (F2): renumbering moves the files"));
        } else {
            begin_typing(TYPING_NUMBER, std::to_string(e.number).c_str(), 2);
        }
        return;
    default:
        return;
    }
}

/* The keys that change the view, not the level. Returns false for any other key. */
bool view_key(int scan)
{
    Editor &e = editor;
    switch (scan) {
    case KEY_V:
        display_options.camera_mode = (int16_t)((display_options.camera_mode + 1) % 4);
        set_view_options(display_options.camera_mode, -1, display_options.shading_mode);
        display_options.sound_off = true;   // the editor has no sound
        return true;
    case KEY_L:
        display_options.light_mode = (display_options.light_mode + 1) % 4;
        say(light_mode_messages[display_options.light_mode]);
        return true;
    case KEY_S:
        display_options.shading_mode = (display_options.shading_mode + 1) % 4;
        say(shading_mode_messages[display_options.shading_mode]);
        return true;
    case KEY_F:
        e.view.follow = !e.view.follow;
        say(e.view.follow ? _("the 3D view follows the cursor (F: the robot)") :
                            _("the 3D view follows the robot"));
        return true;
    case KEY_MINUS:
    case KEY_EQUALS:
        zoom(scan == KEY_MINUS ? 1 : -1);
        return true;
    case KEY_COMMA:
    case KEY_STOP:
        turn_view(scan == KEY_COMMA ? MOVE_TURN_LEFT : MOVE_TURN_RIGHT);
        return true;
    default:
        return false;
    }
}

/* The keys that prove, play and explain. Returns false for any other key. */
bool proof_key(int scan)
{
    Editor &e = editor;
    switch (scan) {
    case KEY_F5:
        say(proof_start(e.world_text));
        return true;
    case KEY_A:
        proof_report(&e.page, e.world_text, report_progress);
        say("");
        show_page();
        return true;
    case KEY_F3:
        faults_page();
        return true;
    case KEY_P: {
        // A refused playtest leaves the view as the designer set it.
        const std::string refusal = play_refusal(e.world_text);
        if (!refusal.empty()) {
            report(_("cannot playtest: ") + refusal);
            return true;
        }
        report(playtest(e.world_text, screen_buffer, &close_pressed));
        set_view_options(display_options.camera_mode, -1, SHADE_PERSPECTIVE_TEXTURE);
        display_options.sound_off = true;
        refresh();
        return true;
    }
    case KEY_W: {
        const std::string refusal = proof_way_refusal();
        if (!refusal.empty()) {
            say(refusal);
            return true;
        }
        report(watch_solution(e.world_text, proof_way(), redraw, &close_pressed) ?
               _("the way shown: level completed") : _("the showing stopped"));
        refresh();
        return true;
    }
    default:
        return false;
    }
}

/* The keys that change the square under the cursor or the level's lines. Returns false for any
   other key. */
bool level_key(int scan, int ascii)
{
    Editor &e = editor;
    EditBrush &brush = e.view.brush;
    const int x = e.view.cursor_x, z = e.view.cursor_z;
    const int at = find_square(e.level, x, z);
    switch (scan) {
    case KEY_INSERT:
    case KEY_SPACE:
        edited(paint_square(&e.level, x, z, brush), _("already so, or no room for another square"));
        return true;
    case KEY_DEL:
        edited(remove_square(&e.level, x, z), _("no square here"));
        return true;
    case KEY_PGUP:
    case KEY_PGDN: {
        const int step = scan == KEY_PGUP ? 1 : -1;
        if (at < 0) {
            if (brush.height + step >= -MAP_HEIGHT_LIMIT && brush.height + step <= MAP_HEIGHT_LIMIT)
                brush.height += step;
            say(_("the brush paints at height ") + std::to_string(brush.height));
            return true;
        }
        const bool made = raise_square(&e.level, x, z, step);
        if (made)
            brush.height = e.level.squares[at].height;
        edited(made, _("no higher or lower: heights are -1000 to 1000"));
        return true;
    }
    case KEY_T:
        if (at >= 0)
            brush.texture = (e.level.squares[at].texture + 1) % 4;
        edited(cycle_texture(&e.level, x, z), _("no square here"));
        return true;
    case KEY_R:
        brush.dir = (brush.dir + 64) % 256;
        if (at >= 0 && e.level.squares[at].content != CONTENT_NOTHING)
            content_key(e.level.squares[at].content);
        return true;
    case KEY_N:
        begin_typing(TYPING_NAME, level_name(e.level), EDIT_NAME_LIMIT);
        return true;
    case KEY_I:
        begin_typing(TYPING_IDEA, e.level.header[0], MAP_LINE_SIZE - 1);
        return true;
    case KEY_OPENBRACE:
    case KEY_CLOSEBRACE:
        edited(set_minutes(&e.level, level_minutes(e.level) + (scan == KEY_OPENBRACE ? -1 : 1)),
               _("the time limit is 1 to 99 minutes"));
        return true;
    case KEY_K:
        edited(set_cliff_depth(&e.level, e.level.cliff_depth % 12 + 1), "");
        say(_("cliffs ") + std::to_string(e.level.cliff_depth) + _(" levels deep"));
        return true;
    case KEY_E:
        e.view.edge = (e.view.edge + 1) % EDIT_EDGES;
        return true;
    case KEY_F6:
    case KEY_F7: {
        int32_t side = at < 0 ? 0 : e.level.squares[at].side[e.view.edge] + (scan == KEY_F7 ? 1 : -1);
        edited(at >= 0 && set_side(&e.level, x, z, e.view.edge, side), _("no square here, or no such side"));
        return true;
    }
    case KEY_F8:
        edited(reset_side(&e.level, x, z, e.view.edge), _("no square here"));
        return true;
    default:
        break;
    }
    if (ascii >= '0' && ascii - '0' <= ACTOR_KIND_COUNT && ascii <= '9') {
        content_key(ascii - '0');
        return true;
    }
    return false;
}

/* Handles one key of editing, with the shift keys as they were when it was typed. Returns false
   when the editor is to end. */
bool edit_key(int k, int shifts)
{
    Editor &e = editor;
    EditorView &v = e.view;
    const int scan = k >> 8, ascii = k & 0xff;
    e.before = e.level;
    // A question is answered by the same key again; any other key leaves it unanswered.
    const int asked = e.asked_key;
    e.asked_key = 0;
    if (scan == KEY_F1 || ascii == '?' || scan == KEY_H) {
        help_page(&e.page);
        show_page();
        return true;
    }
    if (scan == KEY_ESC) {
        if (v.mark_x >= 0) {
            v.mark_x = v.mark_z = -1;
            return true;
        }
        return !leave_asked(KEY_ESC, asked, "Esc");
    }
    if (shifts & KB_CTRL_FLAG) {
        ctrl_key(k, asked);
        return true;
    }
    const int dx = scan == KEY_RIGHT ? 1 : scan == KEY_LEFT ? -1 : 0;
    const int dz = scan == KEY_UP ? 1 : scan == KEY_DOWN ? -1 : 0;   // up the grid is +z
    if (dx || dz) {
        if ((shifts & KB_SHIFT_FLAG) && v.mark_x < 0) {
            v.mark_x = v.cursor_x;
            v.mark_z = v.cursor_z;
        }
        v.cursor_x = v.cursor_x + dx < 0 ? 0 : v.cursor_x + dx > MAP_COLUMN_LIMIT ? MAP_COLUMN_LIMIT : v.cursor_x + dx;
        v.cursor_z = v.cursor_z + dz < 0 ? 0 : v.cursor_z + dz > MAP_COLUMN_LIMIT ? MAP_COLUMN_LIMIT : v.cursor_z + dz;
        follow_cursor(&v);
        return true;
    }
    if (scan == KEY_F2) {
        save();
        return true;
    }
    if (!view_key(scan) && !proof_key(scan) && !level_key(scan, ascii) && ascii >= 32)
        say(std::string(_("no key ")) + (char)ascii + _(": F1 lists the keys"));
    return true;
}

/* A key typed while a proof runs: Esc stops it; any other is not taken, and the progress line
   says so. */
void proof_running_key(int k)
{
    if ((k >> 8) == KEY_ESC) {
        proof_cancel();
        report(_("proof stopped"));
        editor.keys_refused = 0;
        return;
    }
    editor.keys_refused++;
}

/* The map to open without one named: the first level of the player's own folder of levels, or
   a new map01.txt there. */
std::string default_map()
{
    char folder[GAME_PATH_SIZE];
    if (!player_levels_folder(nullptr, folder, sizeof folder))
        return "";
    const int first = folder_neighbour(folder, 0, 1);
    return folder_map_path(folder, first ? first : 1);
}

/* Finishes a renumbering of the map's folder that was stopped, before a map of it is read.
   Returns what was done, or why it could not be, for the status line; empty when nothing was. */
std::string finish_folder(const std::string &path)
{
    std::string dir;
    if (folder_map_number(path, &dir) == 0)
        return "";
    char note[RENUMBER_NOTE_SIZE];
    finish_renumbering(dir.c_str(), note, sizeof note);
    return note;
}

/* Shows the page already made until a key that is not the page's own, or the close button,
   closes it. */
void run_page_alone()
{
    Editor &e = editor;
    for (;;) {
        draw_page(screen_buffer, e.page);
        present_frame(screen_buffer);
        if (close_pressed)
            return;
        if (const int turned = wheel_turned())
            page_scroll(&e.page, -3 * turned);
        drop_mouse_events();
        int k, shifts;
        if (typed_key_next(&k, &shifts) && !page_key(&e.page, k))
            return;
        rest(10);
    }
}

/* One key, to whatever has it now: a page, a field, a running proof, or editing. Returns false
   when the editor is to end. */
bool take_key(int k, int shifts)
{
    Editor &e = editor;
    if (e.page_shown) {
        if (!page_key(&e.page, k))
            e.page_shown = false;
        return true;
    }
    if (e.typing != TYPING_NONE) {
        field_key_typed(k);
        return true;
    }
    if (proof_state() == PROOF_RUNNING) {
        proof_running_key(k);
        return true;
    }
    return edit_key(k, shifts);
}

/* Alt+Enter: the editor between a window and full screen, as the game switches; nothing is
   remembered for the next start. Where the display gives neither any more, the editor cannot go
   on: unsaved changes are saved first (the previous file kept as NAME~), so none is lost. */
void switch_editor_window()
{
    if (switch_window_kind() == 0) {
        show_os_cursor(MOUSE_CURSOR_ARROW);
        return;
    }
    std::fprintf(stderr, _("tirvex_edit: no window or full screen after Alt+Enter: %s\n"), allegro_error);
    if (unsaved()) {
        const std::string fault = save_level_file(editor.level, editor.path.c_str());
        std::fprintf(stderr, _("tirvex_edit: %s%s\n"), fault.empty() ? _("saved ") : _("not saved: "),
                     fault.empty() ? editor.path.c_str() : fault.c_str());
    }
    std::exit(1);
}

} // namespace

Editor editor;

void say(const std::string &text)
{
    editor.view.message = text;
}

void refresh()
{
    Editor &e = editor;
    e.world_text = level_text(e.level);
    static ValidationReport report;
    validate_map(e.world_text.data(), e.world_text.size(), &report);
    if (report.message_count > 0) {
        const ValidationMessage &m = report.messages[0];
        char text[300];
        const std::string counts =
            counted(report.faults, _("%d fault"), _("%d faults")) + ", " +
            counted(report.warnings, _("%d warning"), _("%d warnings"));
        std::snprintf(text, sizeof text, _("%s (F3 lists them); line %d: %s"), counts.c_str(),
                      (int)m.line, m.text);
        e.view.validation = text;
    } else {
        e.view.validation = _("valid: no faults, no warnings");
    }
    e.view.world_valid = report.faults == 0;
    if (e.view.world_valid) {
        view_world.camera_height = display_options.camera_height;
        driver_start_text(view_world, e.world_text.c_str());
        settle_view(5000);
    }
}

void turn_view(int code)
{
    driver_push(view_world, code);
    settle_view(500);
}

void note_edit(const EditLevel &before)
{
    history_note(&editor.history, before);
    proof_forget();
    refresh();
}

void edited(bool made, const char *refused)
{
    if (!made) {
        say(refused);
        return;
    }
    say("");
    note_edit(editor.before);
}

void zoom(int steps)
{
    DisplayOptions &o = display_options;
    const int distance = o.camera_distance + 40 * steps;
    const float height = o.camera_height - 20.0f * (float)steps;
    if (distance < 40 || distance > 1200 || height > -20.0f || height < -900.0f)
        return;
    o.camera_distance = distance;
    o.camera_height = height;
    refresh();
}

int main(int argc, char **argv)
{
    static const CommandOption options[] = {
        {"game", "DIR", N_("the folder of data/pz.dat and bsp/ (default: as the game finds it)"), 0, 0},
        {"scale", "N", N_("enlarge the window N times, 1 to 8 (the largest that fits by default)"), 1, 8},
    };
    const CommandSyntax syntax = {path_file_name(argv[0]),
                                  N_("Builds a level, shows it in 3D and proves it can be won. Without "
                                     "MAP, the player's own folder of levels is opened."),
                                  "[MAP]", 0, 1, options, 2, true};
    CommandLine line;
    int status = read_command_line(argc, argv, &syntax, game_version(), &line);
    if (status >= 0)
        return status;
    // Started without a map (as the desktop starts it), a map that cannot be opened is shown on
    // a page in the window before the editor ends: there is no terminal to read it on.
    const bool named = line.operand_count > 0;
    std::string path = named ? line.operands[0] : default_map();
    std::string fault, renumbered, warning;
    if (path.empty()) {
        fault = std::string(_("no folder of levels of your own could be made: ")) +
                std::strerror(errno) + _("; name a MAP");
        std::fprintf(stderr, "%s: %s\n", syntax.program, fault.c_str());
    } else {
        // The map's path is kept as given: make it absolute before the game's folder is entered.
        if (path[0] != '/') {
            char here[4096];
            if (getcwd(here, sizeof here))
                path = std::string(here) + "/" + path;
        }
        renumbered = finish_folder(path);
        if (!renumbered.empty()) {
            std::printf("%s\n", renumbered.c_str());
            if (!named)
                path = default_map();   // the folder's first level may have another number now
        }
        fault = open_map(path, stderr);
        if (!fault.empty()) {
            std::fprintf(stderr, "%s\n", fault.c_str());
            if (named)
                return 1;
        }
        warning = missing_folder_warning(path);
        if (!warning.empty())
            std::fprintf(stderr, "%s: %s\n", syntax.program, warning.c_str());
    }

    set_window_identity("tirvex-edit", "Tirvex-edit");
    if (allegro_init() != 0 || install_keyboard() != 0 || install_timer() != 0) {
        std::fprintf(stderr, _("%s: the game library cannot start: %s\n"), syntax.program, allegro_error);
        return 1;
    }
    typed_keys_install();
    set_color_depth(8);
    // The title first: the window's names are given with each mode the enlarging sets.
    set_window_title("Tirvex level editor");
    forced_scale = line.given[OPTION_SCALE] ? (int)line.number[OPTION_SCALE] : 0;
    if (set_scaled_mode(GFX_AUTODETECT_WINDOWED, 640, 480) != 0 &&
        set_scaled_mode(GFX_AUTODETECT, 640, 480) != 0) {
        std::fprintf(stderr, _("%s: no 640x480 window: %s\n"), syntax.program, allegro_error);
        return 1;
    }
    window_switch = switch_editor_window;
    note_window_switch_keys();
    set_close_button_callback(on_close_button);
    // The mouse is taken from the moment the window is there, as the keys are: what a designer
    // does while the level and the models load is done once they have.
    const bool mouse = install_editor_mouse();
    const char *game_dir = line.text[OPTION_GAME] ? line.text[OPTION_GAME] : find_data_folder(argv[0]);
    if (const char *error = start_headless_game(game_dir[0] ? game_dir : nullptr)) {
        allegro_exit();
        std::fprintf(stderr, "%s: %s\n", syntax.program, error);
        return 1;
    }
    set_view_options(CAMERA_LONG_SHOT, -1, SHADE_PERSPECTIVE_TEXTURE);
    display_options.sound_off = true;
    // The library's own font has no letter beyond ASCII; the game's, of the same 8 x 8 cells,
    // has every one the translations use. English keeps the editor's look as it was.
    if (catalogue_loaded() && datafile_object(DAT_FONT_GLOBAL))
        font = (FONT *)datafile_object(DAT_FONT_GLOBAL);

    Editor &e = editor;
    e.view.mark_x = e.view.mark_z = -1;
    e.view.top_z = GRID_ROWS - 1;
    e.view.brush = EditBrush{1, 0, CONTENT_NOTHING, 0};
    say(!warning.empty() ? warning : !renumbered.empty() ? renumbered :
                                                          _("F1: help on every key and the mouse"));
    screen_buffer = create_bitmap(picture_w(), picture_h());
    world_view = create_bitmap(VIEW_WIDTH, VIEW_HEIGHT);
    if (!fault.empty()) {
        if (screen_buffer) {
            refusal_page(path, fault, true);
            run_page_alone();
        }
        destroy_bitmap(world_view);
        destroy_bitmap(screen_buffer);
        allegro_exit();
        return 1;
    }
    refresh();
    bool running = screen_buffer && world_view;
    bool dirty = true;
    while (running) {
        if (close_pressed) {
            close_pressed = 0;
            running = close_button();
            dirty = true;
        }
        // The mouse first: a click made before a key was typed is taken before it.
        if (running && mouse) {
            if (e.page_shown || e.typing != TYPING_NONE || proof_state() == PROOF_RUNNING) {
                drop_mouse_events();
                const int turned = wheel_turned();
                if (e.page_shown && turned) {
                    page_scroll(&e.page, -3 * turned);
                    dirty = true;
                }
            } else {
                dirty = mouse_edit() || dirty;
            }
        }
        int k, shifts;
        while (running && typed_key_next(&k, &shifts)) {
            running = take_key(k, shifts);
            dirty = true;
        }
        if (proof_state() == PROOF_RUNNING) {
            std::string said = proof_slice(PROVE_SLICE_MS);
            if (proof_state() == PROOF_RUNNING && e.keys_refused > 0)
                said += "; " + std::to_string(e.keys_refused) + _(" keys not taken");
            if (proof_state() != PROOF_RUNNING) {
                e.keys_refused = 0;
                report(said);
            } else {
                say(said);
            }
            dirty = true;
        }
        if (dirty) {
            redraw();
            dirty = false;
        } else {
            window_switch_if_asked();
            rest(10);
        }
    }
    proof_cancel();
    destroy_bitmap(world_view);
    destroy_bitmap(screen_buffer);
    allegro_exit();
    return 0;
}
