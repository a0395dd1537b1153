/* editor_main.cpp: tirvex_edit, the level editor: builds a level on a grid, shows it in 3D through
   the game's renderer, and proves it can be won with the level checker's search.

   tirvex_edit [--game DIR] MAP
   (installed as tirvex-edit)

   MAP is opened when it exists (a map with faults the game would stop on is refused, with the
   checker's faults, exit status 1) and is made when it does not. Keys: see the README. */
#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "edit_history.h"
#include "editor_play.h"
#include "edit_level.h"
#include "editor_screen.h"
#include "headless_game.h"
#include "level_file.h"
#include "level_search.h"
#include "map_validation.h"
#include "play_folder.h"
#include "shell/command_line.h"
#include "shell/game_paths.h"
#include "shell/window_identity.h"
#include "ui/display_options.h"
#include "world/level_rules.h"
#include "world/player_motion.h"
#include "world/world_driver.h"

namespace {

enum { MAP_TEXT_SIZE = 64 * 1024, PROVE_SLICE_MS = 40 };

/* Everything the editor holds. */
struct Editor {
    std::string path;
    EditLevel level, before;
    EditHistory history;
    EditBlock block;
    bool block_held;
    EditorView view;
    std::string world_text;         /* the map text the world was started from */
    bool changed;                   /* since the last save */
    bool quit_asked;                /* Esc once with unsaved changes */
    bool proving;
    int32_t height;                 /* of the next square added */
    int32_t direction;              /* of the next content placed that has one */
    bool naming;                    /* typing the level's name */
    std::string name;
    bool solved;                    /* the last proof found a way, kept in solution */
};

SearchResult solution;              /* some 16 KB, kept off the stack */
BITMAP *screen_buffer, *world_view;

Editor editor;
volatile int close_pressed = 0;

void on_close_button() { close_pressed = 1; }

/* Button presses as the library's mouse thread sees them: a click between two looks of the main
   loop is not lost. */
volatile int presses = 0, press_x = 0, press_y = 0;

void on_mouse(int flags)
{
    if (flags & (MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_RIGHT_DOWN)) {
        presses = presses | (flags & MOUSE_FLAG_LEFT_DOWN ? 1 : 2);
        press_x = mouse_x;
        press_y = mouse_y;
    }
}
END_OF_STATIC_FUNCTION(on_mouse)

void say(int line, const std::string &text)
{
    std::snprintf(editor.view.lines[line], sizeof editor.view.lines[line], "%s", text.c_str());
}

/* Says what came of a save or a proof, on the status line and on standard output, so that a
   script driving the editor can follow it. */
void report(const std::string &text)
{
    say(1, text);
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

/* Runs the world until the swoop is over and the robot stands still, facing where it turned. */
void settle_view(int frame_limit)
{
    driver_settle(1, frame_limit);
    for (int i = 0; i < 2000 && rot_y != player_motion.player_rot_y; i++)
        driver_frame(1);
}

/* Validates the level as written and starts it in the world for the 3D view when it is valid. */
void refresh()
{
    Editor &e = editor;
    e.world_text = level_text(e.level);
    static ValidationReport report;
    validate_map(e.world_text.data(), e.world_text.size(), &report);
    if (report.message_count > 0) {
        const ValidationMessage &m = report.messages[0];
        char text[200];
        std::snprintf(text, sizeof text, "%d faults, %d warnings; line %d: %s", (int)report.faults,
                      (int)report.warnings, (int)m.line, m.text);
        say(0, text);
    } else {
        say(0, "valid: no faults, no warnings");
    }
    e.view.world_valid = report.faults == 0;
    if (e.view.world_valid) {
        driver_start_text(e.world_text.c_str());
        settle_view(5000);
    }
}

/* Turns the robot, and the view with it, by a move code of the turn keys. */
void turn_view(int code)
{
    driver_push(code);
    settle_view(500);
}

/* Makes an edit that changed the level undoable, and shows it. */
void edited(bool made, const char *refused)
{
    Editor &e = editor;
    if (!made) {
        say(1, refused);
        return;
    }
    history_note(&e.history, e.before);
    e.changed = true;
    e.solved = false;
    e.quit_asked = false;
    say(1, "");
    refresh();
}

void save()
{
    Editor &e = editor;
    std::string fault = save_level_file(e.level, e.path.c_str());
    if (!fault.empty()) {
        report("not saved: " + fault);
        return;
    }
    e.changed = false;
    static ValidationReport checked;
    validate_map(e.world_text.data(), e.world_text.size(), &checked);
    report(checked.faults > 0 ? "saved " + e.path + ", with faults: work in progress" : "saved " + e.path);
}

void start_proof()
{
    Editor &e = editor;
    SearchLimits limits{2, 4000000, 600, 256 << 20, 1};
    SearchOutcome outcome = search_start(e.world_text.data(), e.world_text.size(), limits);
    if (outcome == SEARCH_INVALID_MAP) {
        report("cannot prove a level with faults");
        return;
    }
    e.proving = outcome == SEARCH_RUNNING;
    say(1, "proving...");
}

void prove_slice()
{
    Editor &e = editor;
    SearchOutcome outcome = search_run(INT64_MAX, PROVE_SLICE_MS);
    SearchProgress p;
    search_progress(&p);
    char text[160];
    if (outcome == SEARCH_RUNNING) {
        std::snprintf(text, sizeof text, "proving: %lld states, depth %d (Esc stops)",
                      (long long)p.states, (int)p.depth);
        say(1, text);
        return;
    }
    e.proving = false;
    SearchResult &result = solution;
    const bool solved = search_solution(&result);
    search_end();
    e.solved = solved && outcome == SEARCH_SOLVED;
    switch (outcome) {
    case SEARCH_SOLVED:
        std::snprintf(text, sizeof text, solved ? "won in %d moves and %d waits, %.2f s of the %d s limit (%lld states); W shows it" :
                      "found a way that did not replay", (int)result.moves, (int)result.waits,
                      result.ticks / 100.0, (int)(result.limit_ticks / 100), (long long)p.states);
        break;
    case SEARCH_NO_SOLUTION:
        std::snprintf(text, sizeof text, "cannot be won: no way among all %lld states", (long long)p.states);
        break;
    case SEARCH_STATE_LIMIT:
        std::snprintf(text, sizeof text, "no way found within the state limit (%lld states)", (long long)p.states);
        break;
    case SEARCH_DEPTH_LIMIT:
        std::snprintf(text, sizeof text, "no way found within the depth limit (%lld states)", (long long)p.states);
        break;
    case SEARCH_MEMORY_LIMIT:
        std::snprintf(text, sizeof text, "no way found within the memory limit (%lld states)", (long long)p.states);
        break;
    default:
        std::snprintf(text, sizeof text, "proof stopped");
        break;
    }
    report(text);
}

/* Typing the level's name: letters go in, Enter ends, Esc drops it. */
void name_key(int k)
{
    Editor &e = editor;
    const int scan = k >> 8, ascii = k & 0xff;
    if (scan == KEY_ENTER || scan == KEY_ENTER_PAD) {
        e.naming = false;
        e.before = e.level;
        edited(rename_level(&e.level, e.name.c_str()), "a name is at most 38 characters");
        return;
    }
    if (scan == KEY_ESC) {
        e.naming = false;
        say(1, "");
        return;
    }
    if (scan == KEY_BACKSPACE && !e.name.empty())
        e.name.pop_back();
    else if (ascii >= 32 && ascii < 127 && e.name.size() < EDIT_NAME_LIMIT)
        e.name += (char)ascii;
    say(1, "name: " + e.name + "_  (Enter keeps it)");
}

void content_key(int content)
{
    Editor &e = editor;
    edited(set_content(&e.level, e.view.cursor_x, e.view.cursor_z, content, e.direction),
           "no square here, or too many actors");
}

void redraw()
{
    draw_editor(screen_buffer, world_view, editor.level, editor.view);
    blit(screen_buffer, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
}

/* Brings the camera nearer (steps < 0) or takes it further away. */
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

/* Esc or the window's close button: true when the editor may end now; with unsaved changes
   the first time only asks. */
bool leave_asked()
{
    Editor &e = editor;
    if (!e.changed || e.quit_asked)
        return true;
    e.quit_asked = true;
    report("unsaved changes: Esc again leaves without saving, F2 saves");
    return false;
}

/* The window's close button, pressed while editing, proving, naming or playing: a proof or a
   name being typed is dropped, then it leaves as Esc does. Returns false when the editor is to
   end. */
bool close_button()
{
    Editor &e = editor;
    if (e.proving) {
        search_cancel();
        e.proving = false;
        say(1, "proof stopped");
    }
    e.naming = false;
    e.view.mark_x = e.view.mark_z = -1;
    return !leave_asked();
}

/* Handles one key of editing. Returns false when the editor is to end. */
bool edit_key(int k)
{
    Editor &e = editor;
    EditorView &v = e.view;
    const int scan = k >> 8, ascii = k & 0xff;
    const bool ctrl = key_shifts & KB_CTRL_FLAG, shift = key_shifts & KB_SHIFT_FLAG;
    const int x = v.cursor_x, z = v.cursor_z;
    e.before = e.level;
    if (e.proving) {
        if (scan == KEY_ESC) {
            search_cancel();
            e.proving = false;
            say(1, "proof stopped");
        }
        return true;
    }
    int dx = scan == KEY_RIGHT ? 1 : scan == KEY_LEFT ? -1 : 0;
    int dz = scan == KEY_DOWN ? 1 : scan == KEY_UP ? -1 : 0;
    if (dx || dz) {
        if (shift && v.mark_x < 0) {
            v.mark_x = x;
            v.mark_z = z;
        }
        v.cursor_x = x + dx < 0 ? 0 : x + dx > MAP_COLUMN_LIMIT ? MAP_COLUMN_LIMIT : x + dx;
        v.cursor_z = z + dz < 0 ? 0 : z + dz > MAP_COLUMN_LIMIT ? MAP_COLUMN_LIMIT : z + dz;
        follow_cursor(&v);
        return true;
    }
    if (ctrl && (scan == KEY_Z || scan == KEY_Y)) {
        const bool undo = scan == KEY_Z;
        if (undo ? history_undo(&e.history, &e.level) : history_redo(&e.history, &e.level)) {
            e.changed = true;
            e.solved = false;
            say(1, undo ? "undone" : "redone");
            refresh();
        }
        return true;
    }
    if (ctrl && (scan == KEY_C || scan == KEY_X)) {
        const int x0 = v.mark_x < 0 ? x : v.mark_x, z0 = v.mark_x < 0 ? z : v.mark_z;
        copy_block(e.level, x0, z0, x, z, &e.block);
        e.block_held = true;
        if (scan == KEY_X) {
            bool made = true;
            for (int i = 0; i < e.block.square_count && made; i++) {
                const int left = x0 < x ? x0 : x, top = z0 < z ? z0 : z;
                made = remove_square(&e.level, e.block.squares[i].x + left, e.block.squares[i].z + top);
            }
            edited(made && e.block.square_count > 0, "nothing to cut");
        } else {
            say(1, std::to_string(e.block.square_count) + " squares copied");
        }
        v.mark_x = v.mark_z = -1;
        return true;
    }
    if (ctrl && scan == KEY_V) {
        edited(e.block_held && paste_block(&e.level, e.block, x, z), "nothing to paste, or no room");
        return true;
    }
    switch (scan) {
    case KEY_ESC:
        if (v.mark_x >= 0) {
            v.mark_x = v.mark_z = -1;
            return true;
        }
        return !leave_asked();
    case KEY_F2:
        save();
        return true;
    case KEY_F5:
        start_proof();
        return true;
    case KEY_INSERT:
    case KEY_SPACE:
        edited(add_square(&e.level, x, z, e.height), "this cell has a square, or there are 199");
        return true;
    case KEY_DEL:
        edited(remove_square(&e.level, x, z), "no square here");
        return true;
    case KEY_PGUP:
    case KEY_PGDN: {
        bool made = raise_square(&e.level, x, z, scan == KEY_PGUP ? 1 : -1);
        if (made)
            e.height = e.level.squares[find_square(e.level, x, z)].height;
        edited(made, "no square here");
        return true;
    }
    case KEY_T:
        edited(cycle_texture(&e.level, x, z), "no square here");
        return true;
    case KEY_R: {
        e.direction = (e.direction + 64) % 256;
        int at = find_square(e.level, x, z);
        if (at >= 0 && e.level.squares[at].content != CONTENT_NOTHING)
            content_key(e.level.squares[at].content);
        else
            say(1, "direction " + std::to_string(e.direction));
        return true;
    }
    case KEY_N:
        e.naming = true;
        e.name = level_name(e.level);
        say(1, "name: " + e.name + "_  (Enter keeps it)");
        return true;
    case KEY_OPENBRACE:
    case KEY_CLOSEBRACE:
        edited(set_minutes(&e.level, level_minutes(e.level) + (scan == KEY_OPENBRACE ? -1 : 1)),
               "the time limit is 1 to 99 minutes");
        return true;
    case KEY_K:
        edited(set_cliff_depth(&e.level, e.level.cliff_depth % 12 + 1), "");
        say(1, "cliffs " + std::to_string(e.level.cliff_depth) + " levels deep");
        return true;
    case KEY_V:
        display_options.camera_mode = (int16_t)((display_options.camera_mode + 1) % 4);
        set_view_options(display_options.camera_mode, -1, display_options.shading_mode);
        display_options.sound_off = true;   // the editor has no sound
        return true;
    case KEY_P: {
        // A refused playtest leaves the view as the designer set it.
        const std::string refusal = play_refusal(e.world_text);
        if (!refusal.empty()) {
            report("cannot playtest: " + refusal);
            return true;
        }
        report(playtest(e.world_text, screen_buffer, &close_pressed));
        set_view_options(display_options.camera_mode, -1, SHADE_PERSPECTIVE_TEXTURE);
        display_options.sound_off = true;
        refresh();
        return true;
    }
    case KEY_W:
        if (!e.solved) {
            say(1, "no way to show: prove the level first (F5)");
            return true;
        }
        report(watch_solution(e.world_text, solution, redraw, &close_pressed) ?
               "the way shown: level completed" : "the showing stopped");
        refresh();
        return true;
    case KEY_L:
        display_options.light_mode = (display_options.light_mode + 1) % 4;
        say(1, light_mode_messages[display_options.light_mode]);
        return true;
    case KEY_S:
        display_options.shading_mode = (display_options.shading_mode + 1) % 4;
        say(1, shading_mode_messages[display_options.shading_mode]);
        return true;
    case KEY_MINUS:
    case KEY_EQUALS:
        zoom(scan == KEY_MINUS ? 1 : -1);
        return true;
    case KEY_E:
        e.view.edge = (e.view.edge + 1) % EDIT_EDGES;
        return true;
    case KEY_F6:
    case KEY_F7: {
        int at = find_square(e.level, x, z);
        int32_t side = at < 0 ? 0 : e.level.squares[at].side[e.view.edge] + (scan == KEY_F7 ? 1 : -1);
        edited(at >= 0 && set_side(&e.level, x, z, e.view.edge, side), "no square here, or no such side");
        return true;
    }
    case KEY_F8:
        edited(reset_side(&e.level, x, z, e.view.edge), "no square here");
        return true;
    case KEY_COMMA:
    case KEY_STOP:
        turn_view(scan == KEY_COMMA ? MOVE_TURN_LEFT : MOVE_TURN_RIGHT);
        return true;
    default:
        break;
    }
    if (ascii >= '0' && ascii <= '7')
        content_key(ascii - '0');
    return true;
}

/* The mouse: on the grid a left click selects the cell and adds a square where there is none, a
   right click removes the square, the wheel raises and lowers it; on the 3D view the wheel
   zooms and the buttons turn the robot and the view with it. Returns true when anything
   changed. */
bool mouse_edit()
{
    Editor &e = editor;
    static int wheel_before = 0;
    const int wheel = mouse_z, turned = wheel - wheel_before;
    const int pressed = presses;
    const int mx = pressed ? press_x : mouse_x, my = pressed ? press_y : mouse_y;
    presses = 0;
    wheel_before = wheel;
    if (!pressed && !turned)
        return false;
    if (mx < GRID_WIDTH && my < GRID_HEIGHT) {
        e.view.cursor_x = e.view.first_x + mx / GRID_CELL;
        e.view.cursor_z = e.view.first_z + my / GRID_CELL;
        const int x = e.view.cursor_x, z = e.view.cursor_z;
        e.before = e.level;
        if (pressed & 1) {
            if (find_square(e.level, x, z) < 0)
                edited(add_square(&e.level, x, z, e.height), "no room for another square");
        } else if (pressed & 2) {
            edited(remove_square(&e.level, x, z), "no square here");
        } else if (turned) {
            edited(raise_square(&e.level, x, z, turned), "no square here");
        }
        return true;
    }
    if (mx >= VIEW_X && my < VIEW_HEIGHT && e.view.world_valid) {
        if (turned)
            zoom(-turned);
        if (pressed & 3)
            turn_view(pressed & 1 ? MOVE_TURN_LEFT : MOVE_TURN_RIGHT);
        return true;
    }
    return false;
}

int open_map(const char *path)
{
    Editor &e = editor;
    e.path = path;
    FILE *in = std::fopen(path, "rb");
    if (!in) {
        if (errno != ENOENT) {
            std::fprintf(stderr, "%s: cannot be opened: %s\n", path, std::strerror(errno));
            return 1;
        }
        new_level(&e.level);
        return 0;
    }
    static char text[MAP_TEXT_SIZE + 1];
    const size_t length = std::fread(text, 1, sizeof text, in);
    std::fclose(in);
    if (length > MAP_TEXT_SIZE) {
        std::fprintf(stderr, "%s: larger than %d bytes: no map is that long\n", path, (int)MAP_TEXT_SIZE);
        return 1;
    }
    MapVerdict verdict = read_level_text(text, length, &e.level);
    if (verdict.fault != MAP_OK && verdict.fault != MAP_NO_START) {
        static ValidationReport report;
        validate_map(text, length, &report);
        print_validation(stderr, path, report);
        std::fprintf(stderr, "%s: not opened for editing: %s\n", path, verdict.message);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    static const CommandOption options[] = {
        {"game", "DIR", "the folder of data/pz.dat and bsp/ (default: as the game finds it)", 0, 0},
    };
    const CommandSyntax syntax = {path_file_name(argv[0]),
                                  "Builds a level, shows it in 3D and proves it can be won.",
                                  "MAP", 1, 1, options, 1};
    CommandLine line;
    int status = read_command_line(argc, argv, &syntax, game_version(), &line);
    if (status >= 0)
        return status;
    if (open_map(line.operands[0]) != 0)
        return 1;

    set_window_identity("tirvex-edit", "Tirvex-edit");
    if (allegro_init() != 0 || install_keyboard() != 0 || install_timer() != 0) {
        std::fprintf(stderr, "%s: the game library cannot start\n", syntax.program);
        return 1;
    }
    set_color_depth(8);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0 &&
        set_gfx_mode(GFX_AUTODETECT, 640, 480, 0, 0) != 0) {
        std::fprintf(stderr, "%s: no 640x480 window: %s\n", syntax.program, allegro_error);
        return 1;
    }
    set_window_title("Tirvex level editor");
    set_close_button_callback(on_close_button);
    const char *game_dir = line.text[0] ? line.text[0] : find_data_folder(argv[0]);
    // The map's path is kept as given: make it absolute before the game's folder is entered.
    if (editor.path[0] != '/') {
        char here[4096];
        if (getcwd(here, sizeof here))
            editor.path = std::string(here) + "/" + editor.path;
    }
    if (const char *error = start_headless_game(game_dir[0] ? game_dir : nullptr)) {
        allegro_exit();
        std::fprintf(stderr, "%s: %s\n", syntax.program, error);
        return 1;
    }
    set_view_options(CAMERA_LONG_SHOT, -1, SHADE_PERSPECTIVE_TEXTURE);
    display_options.sound_off = true;

    Editor &e = editor;
    e.view.mark_x = e.view.mark_z = -1;
    e.height = 1;
    say(2, "arrows move, Space adds, Del removes, PgUp/PgDn height, T texture, 0-7 content,");
    say(3, "R turns, N names, [ ] time, F5 proves, F2 saves, Ctrl+Z/Y undo/redo, Esc leaves");
    refresh();
    screen_buffer = create_bitmap(SCREEN_W, SCREEN_H);
    world_view = create_bitmap(VIEW_WIDTH, VIEW_HEIGHT);
    bool running = screen_buffer && world_view;
    const bool mouse = install_mouse() >= 0;
    if (mouse) {
        show_os_cursor(MOUSE_CURSOR_ARROW);
        LOCK_VARIABLE(presses);
        LOCK_FUNCTION(on_mouse);
        mouse_callback = on_mouse;
    }
    bool dirty = true;
    while (running) {
        if (close_pressed) {
            close_pressed = 0;
            running = close_button();
            dirty = true;
        }
        while (running && keypressed()) {
            const int k = readkey();
            if (editor.naming)
                name_key(k);
            else
                running = edit_key(k);
            dirty = true;
        }
        if (running && mouse && !e.naming && !e.proving)
            dirty = mouse_edit() || dirty;
        if (e.proving) {
            prove_slice();
            dirty = true;
        }
        if (dirty) {
            redraw();
            dirty = false;
        } else {
            rest(10);
        }
    }
    search_end();
    destroy_bitmap(world_view);
    destroy_bitmap(screen_buffer);
    allegro_exit();
    return 0;
}
