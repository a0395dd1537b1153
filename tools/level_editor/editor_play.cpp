/* editor_play.cpp: the level played inside the editor: by the player with the game's keys, or by
   the robot along the way the search found. */
#include "base/translation.h"
#include "editor_play.h"

#include <cstdio>

#include "play/hint.h"
#include "play/play_session.h"
#include "play/undo_history.h"
#include "play_folder.h"
#include "app/frame_pacing.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/screen_scale.h"
#include "base/timer.h"
#include "base/display_options.h"
#include "render/render_frame.h"
#include "ui/game_keys.h"
#include "ui/level_records.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/world_clock.h"
#include "world/world_driver.h"

World view_world;

namespace {

/* The playtest's session, the editor's own: it lives as long as the editor, as its hint does.
   No par search: the game's records would start one for this temporary map at each restart,
   a second core at full work for a file gone at the playtest's end. */
PlaySession session{.par_search_allowed = false};

/* Whether the frame's actions will start the level again, reading its file anew. */
bool restart_asked(const PlayActions &a)
{
    return a.restart || (session.world.level.level_lost && a.confirm);
}

} // namespace

std::string playtest(const std::string &map_text, BITMAP *buffer, volatile int *close_asked)
{
    // The world stops the whole program on a map it cannot load: such a level is refused here,
    // with the fault the designer has to mend.
    const std::string refusal = play_refusal(map_text);
    if (!refusal.empty())
        return _("cannot playtest: ") + refusal;
    std::string fault = open_play_folder(map_text);
    if (!fault.empty())
        return _("cannot playtest: ") + fault;

    char kept_levels[GAME_PATH_SIZE], kept_home[GAME_PATH_SIZE];
    std::snprintf(kept_levels, sizeof kept_levels, "%s", levels_folder);
    std::snprintf(kept_home, sizeof kept_home, "%s", home_folder);
    std::snprintf(levels_folder, sizeof levels_folder, "%s", play_folder());
    std::snprintf(home_folder, sizeof home_folder, "%s", play_folder());
    set_play_start_options();
    display_options.sound_off = true;
    install_int_ex(timer_handler, BPS_TO_TIMER(100));
    // Undo, the hint and the records panel as in play. The records are the play folder's,
    // which goes with the playtest: the player's own are never written.
    hint_pace_by_states(session, false);
    hint_reset(session);
    session_enter(session, 1);
    records_attempt_started(session);
    clear_keybuf();
    ticks_since_last();
    start_frame_pacing();
    // The play loop's frame, as the game runs it.
    int confirmed = 0;
    static PlayActions actions;     // some 4 KB, kept off the stack
    while (!key_down(KEY_ESC) && !confirmed && !*close_asked) {
        render_frame(buffer, session.world, session_overlay(session));
        draw_records_panel(buffer, session);
        wait_for_next_frame();
        present_frame(buffer);
        read_game_keys(session, actions);
        // A restart reads the map file again, and the world stops the program on one it cannot
        // read: the file must still be there as written.
        if (restart_asked(actions) && !(fault = ready_play_file(map_text)).empty())
            break;
        confirmed = play_frame(session, actions, ticks_since_last()) & FRAME_CONFIRMED;
    }
    hint_cancel(session);
    undo_clear(session);
    records_panel_held = false;
    remove_int(timer_handler);
    const bool completed = confirmed || session.world.level.level_completed;
    const int esc = KEY_ESC;
    if (!*close_asked)
        wait_keys_released(&esc, 1);
    clear_keybuf();
    std::snprintf(levels_folder, sizeof levels_folder, "%s", kept_levels);
    std::snprintf(home_folder, sizeof home_folder, "%s", kept_home);
    close_play_folder();
    if (!fault.empty())
        return _("playtest stopped: ") + fault;
    if (!completed)
        return _("playtest left");
    // What the attempt took, help included, as the records panel counts it.
    const RecordsAttempt &a = session.attempt;
    const int moves = records_attempt_moves(session.log);
    char figures[3][64];
    std::snprintf(figures[0], sizeof figures[0], moves == 1 ? _(" in %d move") : _(" in %d moves"),
                  moves);
    std::snprintf(figures[1], sizeof figures[1], a.undos == 1 ? _(", %d undo") : _(", %d undos"),
                  (int)a.undos);
    std::snprintf(figures[2], sizeof figures[2], a.hints == 1 ? _(", %d hint") : _(", %d hints"),
                  (int)a.hints);
    return std::string(_("playtest: level completed")) + figures[0] + figures[1] + figures[2];
}

int watch_solution(const std::string &map_text, const SearchResult &result, void (*draw)(),
                   volatile int *close_asked)
{
    // The found way belongs to a level that was proved, so valid; the check keeps a level that
    // is not from reaching the world, which would stop the program on it.
    if (!play_refusal(map_text).empty())
        return 0;
    search_start_world(view_world, map_text.c_str());
    const int32_t ticks = result.ticks / (result.frames > 0 ? result.frames : 1);
    clear_keybuf();
    int32_t next = 0;
    for (int32_t frame = 0; frame < result.frames && !*close_asked; frame++) {
        while (next < result.step_count && result.steps[next].frame == frame) {
            if (result.steps[next].code != SEARCH_WAIT)
                driver_push(view_world, result.steps[next].code);
            next++;
        }
        driver_frame(view_world, ticks);
        draw();
        rest(10 * ticks);       // the ticks of the frame, at 100 a second
        if (keypressed() && (readkey() >> 8) == KEY_ESC)
            return 0;
    }
    return view_world.level.level_completed;
}
