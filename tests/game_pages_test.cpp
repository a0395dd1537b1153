/* game_pages_test.cpp: the key help page, the end page and the fatal page, each compared as a
   picture with its lines drawn here in the same font at their places. */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "game_test_support.h"
#include "render_test_support.h"
#include "shell/datafile.h"
#include "shell/end_screen.h"
#include "shell/fatal.h"
#include "shell/main_menu.h"

namespace {

using namespace game_test;

/* Without a graphics driver SCREEN_W and SCREEN_H read 0; the pages are placed by them, so a
   driver record that only knows the memory screen's size stands in while a page is drawn (and
   nothing else: it has no functions). */
GFX_DRIVER screen_size_driver;

struct ScreenSizeGuard {
    GFX_DRIVER *saved = gfx_driver;
    ScreenSizeGuard()
    {
        screen_size_driver.w = 640;
        screen_size_driver.h = 480;
        gfx_driver = &screen_size_driver;
    }
    ~ScreenSizeGuard() { gfx_driver = saved; }
};

using Lines = std::vector<std::pair<int, const char *>>;

/* A black 640 x 480 picture with the lines (y, text) centred on x = 320. */
BITMAP *page_of(FONT *f, int colour, int text_background, const Lines &lines)
{
    BITMAP *b = create_bitmap_ex(8, 640, 480);
    clear_bitmap(b);
    for (const auto &[y, text] : lines)
        textout_centre_ex(b, f, text, 320, y, colour, text_background);
    return b;
}

/* Pixels where the two pictures differ. */
int differences(BITMAP *a, BITMAP *b)
{
    int n = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            n += getpixel(a, x, y) != getpixel(b, x, y);
    return n;
}

/* In the death test's child: the screen's rows written to page.raw as the process ends. */
void dump_screen()
{
    if (FILE *out = std::fopen("page.raw", "wb")) {
        for (int y = 0; y < screen->h; y++)
            std::fwrite(screen->line[y], 1, screen->w, out);
        std::fclose(out);
    }
}

class Pages : public GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        start_render_library();
        clear_to_color(screen, 5);
    }
};

} // namespace

TEST_F(Pages, KeyHelpShowsItsFourteenLinesAndTakesOneKey)
{
    const int white = makecol(255, 255, 255);
    BITMAP *expected = page_of(font, white, _textmode, {
        {30, "Use the arrowkeys to move, and hold shift to strafe."},
        {60, "PLAY THE CAM!"},
        {90, "PGUP,PGDN - Change pitch"},
        {120, "Q,T,A,Y - Cam up down"},
        {150, "W,G,S,H - Cam distance"},
        {180, "E,D - Change light"},
        {210, "HAVE SOME MORE FUN!"},
        {240, "F2 - Slowmotion, your level wont be recorded"},
        {270, "F3 - Don't bother this button!"},
        {300, "F5 - Depth of view "},
        {330, "F7 - Light Sorces"},
        {360, "F8 - Shading"},
        {390, "CHEATS!"},
        {420, "Who knows..., maybe there are some?!"},
    });
    type_keys({KEY_X});
    {
        ScreenSizeGuard size;
        key_help_screen();
    }
    EXPECT_EQ(differences(screen, expected), 0);
    EXPECT_EQ(keypressed(), 0) << "the key is consumed";
    destroy_bitmap(expected);
}

TEST_F(Pages, EndPageIsFiveLinesOfTheLargeFont)
{
    DATAFILE *data = load_datafile(TIRVEX_GAME_DIR "/data/pz.dat");
    ASSERT_NE(data, nullptr);
    Keep<DATAFILE *> loaded{Datafile};
    Datafile = data;
    const int colour = makecol(200, 200, 255);
    BITMAP *expected = page_of((FONT *)data[11].dat, colour, -1, {
        {140, "Congratulations!"},
        {170, "You have completed all the levels"},
        {200, "and finished the game of Tirvex!"},
        {230, "This fabolus game is made by Maren Holt"},
        {290, "THE END"},
    });
    BITMAP *page = create_bitmap_ex(8, 640, 480);
    clear_bitmap(page);
    draw_end_text(page, colour);
    EXPECT_EQ(differences(page, expected), 0);
    destroy_bitmap(page);
    destroy_bitmap(expected);
    Datafile = nullptr;
    unload_datafile(data);
}

/* The page is read back from the child, which writes its screen as it exits. The text is shown
   without its closing line feed, which the font would draw as a stray glyph. */
TEST_F(Pages, FatalPageShowsTheHeadingTheMessageAndTheWayOut)
{
    EXPECT_EXIT({
        ScreenSizeGuard size;
        key[KEY_ESC] = 1;
        std::atexit(dump_screen);
        check(0, "Map too large");
    }, testing::ExitedWithCode(1), "");
    const std::string raw = read_file(dir / "page.raw");
    ASSERT_EQ(raw.size(), 640u * 480u);
    BITMAP *page = create_bitmap_ex(8, 640, 480);
    for (int y = 0; y < 480; y++)
        std::memcpy(page->line[y], raw.data() + 640 * y, 640);
    BITMAP *expected = page_of(font, makecol(255, 255, 255), _textmode, {
        {200, "FATAL ERROR!"},
        {240, "Fatal exception: Map too large"},
        {280, "Press [Esc] to exit program"},
    });
    EXPECT_EQ(differences(page, expected), 0);
    destroy_bitmap(page);
    destroy_bitmap(expected);
}
