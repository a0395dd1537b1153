/* editor_play.cpp: the level played inside the editor: by the player with the game's keys, or by
   the robot along the way the search found. */
#include "editor_play.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/render_frame.h"
#include "shell/frame_pacing.h"
#include "shell/game_paths.h"
#include "shell/key_wait.h"
#include "shell/timer.h"
#include "ui/display_options.h"
#include "ui/game_keys.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/world_driver.h"

int playtest(const std::string &map_text, BITMAP *buffer)
{
    char folder[] = "/tmp/tirvex_edit_play_XXXXXX";
    if (!mkdtemp(folder))
        return 0;
    const std::string path = std::string(folder) + "/map01.txt";
    FILE *out = std::fopen(path.c_str(), "wb");
    bool written = out && std::fwrite(map_text.data(), 1, map_text.size(), out) == map_text.size();
    if (out)
        written = std::fclose(out) == 0 && written;
    int completed = 0;
    if (written) {
        char kept[GAME_PATH_SIZE];
        std::snprintf(kept, sizeof kept, "%s", levels_folder);
        std::snprintf(levels_folder, sizeof levels_folder, "%s", folder);
        set_play_start_options();
        display_options.sound_off = true;
        current_level = 1;
        install_int_ex(timer_handler, BPS_TO_TIMER(100));
        start_level();
        clear_keybuf();
        ticks_since_last();
        start_frame_pacing();
        // The play loop's frame, as the game runs it.
        int confirmed = 0;
        while (!key_down(KEY_ESC) && !confirmed) {
            render_frame(buffer);
            wait_for_next_frame();
            blit(buffer, screen, 0, 0, 0, 0, buffer->w, buffer->h);
            confirmed = handle_game_keys();
            player_command();
            update_player(ticks_since_last());
        }
        remove_int(timer_handler);
        completed = confirmed || level_state.level_completed;
        const int esc = KEY_ESC;
        wait_keys_released(&esc, 1);
        clear_keybuf();
        std::snprintf(levels_folder, sizeof levels_folder, "%s", kept);
    }
    std::remove(path.c_str());
    rmdir(folder);
    return completed;
}

int watch_solution(const std::string &map_text, const SearchResult &result, void (*draw)())
{
    search_start_world(map_text.c_str());
    const int32_t ticks = result.ticks / (result.frames > 0 ? result.frames : 1);
    clear_keybuf();
    int32_t next = 0;
    for (int32_t frame = 0; frame < result.frames; frame++) {
        while (next < result.step_count && result.steps[next].frame == frame) {
            if (result.steps[next].code != SEARCH_WAIT)
                driver_push(result.steps[next].code);
            next++;
        }
        driver_frame(ticks);
        draw();
        rest(10 * ticks);       // the ticks of the frame, at 100 a second
        if (keypressed() && (readkey() >> 8) == KEY_ESC)
            return 0;
    }
    return level_state.level_completed;
}
