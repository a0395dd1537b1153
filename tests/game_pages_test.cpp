/* game_pages_test.cpp: the fatal page, compared as a
   picture with its lines drawn here in the same font at their places. */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "datafile_test_support.h"
#include "game_test_support.h"
#include "render_test_support.h"
#include "app/end_screen.h"
#include "app/main_menu.h"
#include "base/fatal.h"

namespace {

using namespace game_test;

/* Without a graphics driver SCREEN_W and SCREEN_H read 0; the pages are placed by them, so a
   driver record that only knows the memory screen's size stands in while a page is drawn (and
   nothing else: it has no functions). */
GFX_DRIVER screen_size_driver = [] { GFX_DRIVER d{}; d.w = 640; d.h = 480; return d; }();

struct ScreenSizeGuard {
    GFX_DRIVER *saved = gfx_driver;
    ScreenSizeGuard() { gfx_driver = &screen_size_driver; }
    ~ScreenSizeGuard() { gfx_driver = saved; }
};

using Lines = std::vector<std::pair<int, const char *>>;

/* The pixels of a 640 x 480 memory bitmap, whose rows lie one after the other. */
std::string pixels(BITMAP *b)
{
    return std::string((const char *)b->line[0], 640 * 480);
}

/* The pixels of a black page with the lines (y, text) centred on x = 320. */
std::string page_of(FONT *f, int colour, int text_background, const Lines &lines)
{
    BITMAP *b = create_bitmap_ex(8, 640, 480);
    clear_bitmap(b);
    for (const auto &[y, text] : lines)
        textout_centre_ex(b, f, text, 320, y, colour, text_background);
    const std::string p = pixels(b);
    destroy_bitmap(b);
    return p;
}

/* In the death test's child: the screen written to page.raw as the process ends. */
void dump_screen()
{
    if (FILE *out = std::fopen("page.raw", "wb")) {
        std::fwrite(screen->line[0], 1, screen->w * screen->h, out);
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
    EXPECT_TRUE(read_file(dir / "page.raw") == page_of(font, makecol(255, 255, 255), _textmode, {
        {200, "FATAL ERROR!"},
        {240, "Fatal exception: Map too large"},
        {280, "Press [Esc] to exit program"},
    }));
}
