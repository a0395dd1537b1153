/* world_long_frames_test.cpp: one update of a huge tick count, as after a long stall, finishes
   the camera swoop and a fall the way many small updates do. */
#include "world_test_support.h"

#include "world/level_state.h"
#include "world/player.h"

namespace {

class LongFrames : public WorldTest {};

// The swoop added 2 * ticks in int, which overflowed from about 1.07 billion ticks (a demo
// frame "t2000000000" under UBSan); the fall's 3 * ticks overflowed the same way, and the
// shown heading's step went through ftofix past its range, which writes the library's errno,
// a null pointer in a world run without the library.
TEST_F(LongFrames, AHugeUpdateEndsTheSwoopAndAFallAsSmallOnesDo)
{
    begin_level(drawn_map({"0P 0."}, 64));
    ASSERT_EQ(world.intro, 1);
    driver_frame(world, 2000000000);
    EXPECT_EQ(world.intro, 0);
    EXPECT_EQ(world.camera_y, display_options.camera_height);
    EXPECT_EQ(world.camera_pitch, 0.2f);

    play_level(drawn_map({"0P"}, 64));
    world.tumble = 0;     // a level start keeps the angle of an earlier fall
    driver_push(world, MOVE_FORWARD);
    driver_run(world, 12, 1);              // off the edge: landed over no square, the fall begun
    ASSERT_EQ(world.falling, 1);
    driver_frame(world, 2000000000);       // the clock runs out too, but the fall is what is drawn
    EXPECT_GT(world.motion.loc_y, itofix(250));
    EXPECT_LT(world.motion.loc_y, itofix(250 + 3 * 4000));
    EXPECT_TRUE(world.tumble >= 0 && world.tumble <= 256 + 2 * 4000);
    driver_frame(world, 1);
    EXPECT_EQ(world.level.level_lost, 1);
    EXPECT_STREQ(world.message.text, "Game Over");
}

} // namespace
