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
    ASSERT_EQ(intro, 1);
    driver_frame(2000000000);
    EXPECT_EQ(intro, 0);
    EXPECT_EQ(camera_y, display_options.camera_height);
    EXPECT_EQ(display_options.camera_pitch, 0.2f);

    play_level(drawn_map({"0P"}, 64));
    tumble = 0;     // a level start keeps the angle of an earlier fall
    driver_push(MOVE_FORWARD);
    driver_run(12, 1);              // off the edge: landed over no square, the fall begun
    ASSERT_EQ(falling, 1);
    driver_frame(2000000000);       // the clock runs out too, but the fall is what is drawn
    EXPECT_GT(player_motion.loc_y, itofix(250));
    EXPECT_LT(player_motion.loc_y, itofix(250 + 3 * 4000));
    EXPECT_TRUE(tumble >= 0 && tumble <= 256 + 2 * 4000);
    driver_frame(1);
    EXPECT_EQ(level_state.level_lost, 1);
    EXPECT_STREQ(message_line.text, "Game Over");
}

} // namespace
