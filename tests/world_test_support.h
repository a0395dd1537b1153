/* world_test_support.h: small levels drawn as text, and short names for looking at the world. */
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "world/actor.h"
#include "world/actor_table.h"
#include "world/level_map.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "base/display_options.h"
#include "render/message_line.h"
#include "world/world_cues.h"
#include "world/world_driver.h"
#include "test_world.h"

/* A level drawn row by row (row z = 0 first, column x = 0 leftmost), one cell of two characters
   per square separated by blanks: a height digit (or '-' for no square) and what stands there:
   '.' nothing, 'P' the player's start, 'T' teleport, 'M' mibo, 'J' jar, 'X' mine, 'S' sweet,
   and a zipper by its direction: '>' +x, '<' -x, 'v' +z (down the drawing), '^' -z.
   Squares are written in reading order, so actors enter the table in that order. */
inline std::string drawn_map(std::initializer_list<const char *> rows, int player_dir = 0,
                             int minutes = 5, const char *name = "Test level")
{
    std::string squares;
    int count = 0;
    int z = 0;
    for (const char *row : rows) {
        int x = 0;
        for (const char *p = row; p[0] && p[1]; x++) {
            if (p[0] != '-') {
                // Contents by map code; zippers by their direction, 0 +z, 64 +x, 128 -z, 192 -x.
                static const char contents[] = ".PTMZJXS", ways[] = "v>^<";
                const char *kind = std::strchr(contents, p[1]), *way = std::strchr(ways, p[1]);
                int code = kind ? (int)(kind - contents) : 0, dir = 0;
                if (way)
                    code = 4, dir = 64 * (int)(way - ways);
                if (code == 1)
                    dir = player_dir;
                squares += std::to_string(x) + " " + std::string(1, p[0]) + " " + std::to_string(z) +
                           " 0 " + std::to_string(code) + " " + std::to_string(dir) +
                           " -1 -1 -1 -1\n";
                count++;
            }
            p += 2;
            while (*p == ' ')
                p++;
        }
        z++;
    }
    return std::string("drawn for a test\n") + name + "\n7\nminutes:\n" + std::to_string(minutes) +
           "\n\nsquares:\n" + std::to_string(count) + "\n" + squares;
}

/* World point of the centre of square (column, row). */
inline fixed centre(int column) { return itofix(100 * column); }

/* Index of the actor standing on square (column, row), or -1. */
inline int actor_on(int column, int row) { return actor_at(world, centre(column), centre(row)); }

inline Actor &actor(int index) { return world.actors.actors[index]; }

inline Actor &hero() { return world.actors.actors[world.hero_index]; }

/* The square at (column, row), or none. */
inline MapTile *square(int column, int row) { return tile_at(world, centre(column), centre(row)); }

/* The robot's position in whole world units. */
inline int robot_x() { return fixtoi(world.motion.x); }

/* Starts the level from text, kept here for driver_restart. */
inline void begin_level(const std::string &text)
{
    static std::string kept;
    kept = text;
    world.camera_height = display_options.camera_height;
    driver_start_text(world, kept.c_str());
}

/* Starts the level and runs 10-tick frames until the swoop is over and the robot stands still. */
inline void play_level(const std::string &text)
{
    begin_level(text);
    driver_settle(world, 10, 1000);
}

/* Queues one move with an empty cue log and plays until the robot stands still again. */
inline void move(int code = MOVE_FORWARD)
{
    clear_cue_log(world);
    driver_push(world, code);
    driver_settle(world, 1, 500);
}

/* The message line's text, or an empty one. */
inline const char *message() { return world.message.text ? world.message.text : ""; }

inline bool queue_empty() { return world.queue.read_index == world.queue.write_index; }

/* The play-time display options and an empty cue log for every test. */
class WorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_display_options();
        clear_cue_log(world);
    }
};
