/* world.h: the whole state of a running level as one value, and what the world tells the rest. */
#pragma once

#include <allegro.h>
#include <cstdint>

#include "world/actor.h"
#include "world/level_map.h"
#include "world/level_state.h"
#include "world/player_motion.h"

enum {
    COMMAND_QUEUE_SLOTS = 200,
    TILE_INDEX_SLOTS = 512,     /* a power of two over twice the squares a map can hold */
    TILE_WINDOW_CELLS = 1024,   /* cells of the rectangle round a map that the index keeps whole */
    WORLD_CUE_KINDS = 64,       /* datafile objects a cue may name: every sample lies below */
    PENDING_CUE_LIMIT = 32      /* cues one update may leave for the owner to play */
};

/* The view's eye height over the floor that a fresh game starts with: where a level's opening
   swoop ends unless the player has moved the camera. */
const float DEFAULT_CAMERA_HEIGHT = -120.0f;

/* The ring of move codes from the in-game keys to the robot. */
struct CommandQueue {
    int32_t slots[COMMAND_QUEUE_SLOTS];
    int32_t read_index;     /* next slot to read; equal to write_index when empty */
    int32_t write_index;    /* next slot to write */
};

/* The one line of transient text on the play screen. The text is never copied: it is a string
   of the program's own that outlives the world, or a buffer its caller keeps alive until it
   shows its next one. */
struct MessageLine {
    const char *text;   /* none when no message is shown */
    int32_t ticks_left; /* game ticks the text stays visible */
    bool boxed;         /* a text the game adds to the level's own (a hint, undo, a notice):
                           drawn on a dark band, legible over any sky */
};

/* Where each grid cell's square lies in the list. The list is at most 199 squares on a grid of
   327 by 327: the rectangle round them is kept cell by cell when it is small, as every level the
   game ships is, since the search asks for squares hundreds of millions of times; a wider one is
   hashed by cell into a small open table. */
struct TileIndex {
    int32_t cells[TILE_INDEX_SLOTS];    /* row * grid side + column; -1 for an empty slot */
    int16_t tiles[TILE_INDEX_SLOTS];    /* list index of the cell's one square, or -2: shared */
    int16_t window[TILE_WINDOW_CELLS];  /* by (row - window_row) * window_width + column -
                                           window_column: as `tiles`, -1 for no square */
    int32_t window_column, window_row;  /* the rectangle's first column and row, */
    int32_t window_width;               /* and its size; 0 wide when the table is used */
    int32_t window_height;
    int32_t indexed_count = -1;         /* tile_count when indexed; -1 when there is no index */
    int32_t spare = 0;                  /* keeps the record a whole number of 8-byte words */
};

/* How often each sound has been cued, by datafile object, and the cues of the latest updates
   that the owner has not yet played. A headless run (tests, the checker) hears through the
   counts what a player would have heard; the game plays the pending cues after each update. */
struct CueLog {
    int32_t plays[WORLD_CUE_KINDS];
    int32_t last;                       /* object of the latest cue; 0 before any */
    int32_t pending[PENDING_CUE_LIMIT];
    int32_t pending_count;
};

/* A running level: everything the rules read or write. Copying it is a snapshot; restoring a
   copy and feeding the same move codes and ticks replays the level exactly. The display settings
   the rules depend on are given (camera_height) or handed back (camera_pitch) through it. */
struct World {
    LevelMap map;
    TileIndex tile_index;
    ActorTable actors;
    PlayerMotion motion;
    int32_t hero_index;     /* the robot's record in the actor table; set by the map loader */
    int32_t crouch;         /* drawn in the crouched pose */
    int32_t stretch;        /* drawn in the stretched pose */
    fixed rot_y;            /* heading shown, following player_rot_y; the camera looks along it */
    int32_t falling;        /* the robot has left the grid */
    int32_t intro;          /* the camera swoop at level start is running */
    int32_t tumble;         /* tumbling angle of the falling robot, 0..256 */
    float camera_y;         /* world y of the camera eye */
    float camera_pitch;     /* written by the swoop; the owner hands it to the view */
    float camera_height = DEFAULT_CAMERA_HEIGHT;    /* given: the view's eye height over the
                                                       floor, where the swoop ends */
    int32_t moves;          /* updates since play was started from the menu */
    LevelState level;
    int32_t clock;          /* the level clock in ticks; may run below 0 */
    int32_t title_timer;    /* ticks for which the level title is still shown */
    MessageLine message;
    CommandQueue queue;
    CueLog cues;
    const char *source_text;    /* map text the level was started from (kept by the caller), */
    int32_t source_level;       /* else the level whose file it was started from: for a restart */
    int32_t starts;             /* level starts in this world: what others keep of a level (the
                                   renderer's drawing order) belongs to one start */
};

/* No gaps between the fields: a world is compared and kept for undo a word at a time. */
static_assert(sizeof(World) == sizeof(LevelMap) + sizeof(TileIndex) + sizeof(ActorTable) +
                                   sizeof(PlayerMotion) + 13 * sizeof(int32_t) + sizeof(LevelState) +
                                   sizeof(MessageLine) + sizeof(CommandQueue) + sizeof(CueLog) +
                                   sizeof(const char *) + 2 * sizeof(int32_t),
              "a World has no padding");
