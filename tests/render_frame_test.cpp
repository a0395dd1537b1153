/* render_frame_test.cpp: what one composed frame holds with no squares in view, and where the
   debug lines of the renderer go. */
#include "render_test_support.h"

#include "render/render_frame.h"
#include "render/viewport.h"
#include "shell/datafile.h"
#include "ui/debug_column.h"
#include "ui/message_line.h"
#include "world/actor.h"
#include "world/level_map.h"
#include "world/player_motion.h"

namespace {

/* An empty level and no datafile: the backdrop clears, text is drawn in the library's font. */
class RenderFrame : public ::testing::Test {
protected:
    EmptyLevelGuard level;
    Keep<DATAFILE *> datafile{Datafile};
    OptionsGuard guard;
    BITMAP *picture = nullptr;

    void SetUp() override
    {
        start_render_library();
        Datafile = nullptr;
        intro = 1;
        clear_message();
        picture = create_bitmap_ex(8, 640, 480);
    }

    void TearDown() override
    {
        destroy_bitmap(picture);
        display_options.debug_info = false;
    }

    int white_in_rows(int y0, int y1)
    {
        return count_colour(picture, makecol(255, 255, 255), 0, y0, 320, y1 - 1);
    }
};

} // namespace

TEST_F(RenderFrame, RendererDebugLinesContinueBelowTheDebugBlockOfThePreviousFrame)
{
    display_options.debug_info = true;
    clear_to_color(picture, 3);
    render_frame(picture);
    /* The debug block leaves the column below its own 14 lines. */
    const int line = text_height(font);
    EXPECT_EQ(debug_y, 14 * line);

    clear_to_color(picture, 3);
    frames = 41;
    polys_drawn = 99;
    render_frame(picture);
    EXPECT_TRUE(frames == 42 && polys_drawn == 0 && actors_drawn == 0);
    /* Four plane lines, the eye, its cell, then the two counts: rows 14 to 21. */
    for (int i = 14; i < 22; i++)
        EXPECT_GT(white_in_rows(i * line, (i + 1) * line), 0) << "line " << i;
    EXPECT_EQ(white_in_rows(22 * line, 30 * line), 0);

    display_options.debug_info = false;
    render_frame(picture);
    EXPECT_EQ(white_in_rows(0, 480), 0);
}
