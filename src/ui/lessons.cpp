/* lessons.cpp: what play teaches: each level's idea, and the keys of undo, restart and hint at
   the player's first loss. */
#include "ui/lessons.h"

#include <cstdio>

#include "base/game_paths.h"
#include "base/translation.h"
#include "ui/demo_input.h"
#include "ui/key_card.h"
#include "ui/lessons_file.h"
#include "world/level_idea.h"
#include "world/level_state.h"

namespace {

bool teaching_loss = false;     /* the first-loss line stands under the message line */
int idea_level = 0;             /* the level whose idea was read last; 0 for none */
char idea[LEVEL_IDEA_SIZE];

} // namespace

const char *level_idea(int level)
{
    if (level != idea_level) {
        char path[GAME_PATH_SIZE];
        read_level_idea(level_file_path(level, path, sizeof path), idea, sizeof idea);
        idea_level = level;
    }
    static char shown[LEVEL_IDEA_SHOWN_SIZE];
    return translated_idea(idea, shown);
}

void lessons_frame_done(const PlaySession &s)
{
    if (!s.world.level.level_lost) {
        teaching_loss = false;
        return;
    }
    // A demo played back is watched, not played: it teaches nothing and writes nothing.
    if (teaching_loss || demo_mode == DEMO_PLAYBACK || demo_mode == DEMO_TIMEDEMO ||
        lesson_taught(LESSON_FIRST_LOSS))
        return;
    teaching_loss = true;
    mark_lesson_taught(LESSON_FIRST_LOSS);
}

const char *lessons_note()
{
    return teaching_loss ? first_loss_text() : nullptr;
}

void lessons_level_started()
{
    teaching_loss = false;
    idea_level = 0;     // the map may have been edited since it was last played
}
