/* datafile_test.cpp: the shipped data/pz.dat is walked before the library loads it and its objects
   checked for their kinds after, damaged ones refused with their fault (a cut, damaged or foreign
   file: e2e_bad_datafile and the datafile walker's fuzz target); it holds every
   object the game reads, in the shape it reads it, and every font's glyphs are distinct; in its
   fonts every text of the catalogue, in every language, fits where it is drawn. (How its
   pictures fit the play screen is pinned by e2e_screens_demo; the cast buttons are clicked in
   e2e_play_levels.) */
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/cast_text.h"
#include "base/console.h"
#include "base/datafile.h"
#include "base/datafile_layout.h"
#include "base/display_options.h"
#include "base/translation.h"
#include "datafile_test_support.h"
#include "editor_screen.h"
#include "render/hud.h"
#include "render/message_line.h"
#include "render/viewport.h"
#include "render_test_support.h"
#include "ui/level_records.h"
#include "ui/level_select.h"
#include "ui/video_config.h"
#include "world/actor_kinds.h"

class ShippedDatafileCheck : public ShippedData {};

TEST_F(ShippedDatafileCheck, HoldsTogetherAndEveryUsedObjectHasItsKind)
{
    char message[DATAFILE_MESSAGE_SIZE];
    ASSERT_EQ(load_game_datafile(TIRVEX_GAME_DIR "/data/pz.dat", message), 1) << message;
    // A language's pictures with words lay over the English ones (a cut file: e2e_bad_datafile).
    auto german = [](int n) {
        const BITMAP *a = (BITMAP *)Datafile[n].dat, *b = bitmap(n);
        for (int y = 0; y < a->h; y++)
            if (std::memcmp(a->line[y], b->line[y], a->w) != 0)
                return true;
        return false;
    };
    EXPECT_EQ(load_language_pictures(TIRVEX_GAME_DIR "/data/pz-de.dat", message), 1) << message;
    EXPECT_TRUE(german(DAT_MENU_PICTURE) && german(DAT_F1_PANEL) && !german(DAT_BACKDROP));
    unload_datafile(Datafile);
    Datafile = nullptr;
    ASSERT_EQ(check_datafile_kinds(data, "data/pz.dat", message), 1) << message;

    // A copy of the object table, changed one entry at a time.
    std::vector<DATAFILE> table(data, data + DAT_OBJECT_COUNT + 1);
    table[DAT_OBJECT_COUNT].type = DAT_END;
    const struct {
        int object, from;
        const char *message;
    } cases[] = {
        {DAT_GAME_PALETTE, DAT_CAST_BACKGROUND, "data/pz.dat: object 30 is not a palette"},
        {DAT_FONT_SMALL, DAT_GAME_PALETTE, "data/pz.dat: object 47 is not a font"},
        {DAT_SAMPLE_BEEP, DAT_CAST_TEXT, "data/pz.dat: object 43 is not a sample"},
        {DAT_CAST_TEXT, DAT_SAMPLE_BEEP, "data/pz.dat: object 58 is not a block of data"},
        {DAT_BACKDROP, DAT_FONT_GLOBAL, "data/pz.dat: object 34 is not a bitmap"},
        {DAT_TEXTURE_SIDE, DAT_CURSOR, "data/pz.dat: object 51 is a 18x22 texture, not a power of two wide and high"},
    };
    for (const auto &c : cases) {
        std::vector<DATAFILE> changed = table;
        changed[c.object] = table[c.from];
        check_datafile_kinds(changed.data(), "data/pz.dat", message);
        EXPECT_STREQ(message, c.message);
    }
    table[DAT_COMPLETED_MARK].type = DAT_END;
    EXPECT_EQ(check_datafile_kinds(table.data(), "data/pz.dat", message), 0);
    EXPECT_STREQ(message, "data/pz.dat: object 61 is missing (the file holds 61 objects)");

    EXPECT_EQ(load_game_datafile("no/such.dat", message), 0);
    EXPECT_STREQ(message, "Error loading data file no/such.dat: No such file or directory");
    EXPECT_EQ(Datafile, nullptr);
}

namespace {

/* The lines section `index` of text comes out as. */
std::vector<std::string> lines_of(const std::string &text, int index)
{
    static CastText out;
    parse_cast_text(text.empty() ? nullptr : text.data(), text.size(), index, &out);
    return std::vector<std::string>(out.lines, out.lines + out.line_count);
}

const int SAMPLE_RATE = 22050;

/* Where the cast screen puts its texts on a 640 x 480 screen: the description starts at
   SCREEN_W / 2 + 90 and the title bar spans 210 pixels. */
const int CAST_DESCRIPTION_ROOM = 640 - (640 / 2 + 90);
const int CAST_TITLE_ROOM = 210;

/* The kinds at each number and the textures' power-of-two sides are checked by the game's own
   loader, in the datafile check tests; here what that check does not look at. */

/* ---- pictures ------------------------------------------------------------------------ */

TEST_F(ShippedData, PicturesFontsAndPalettesHaveTheShapesTheGameDrawsWith)
{
    for (int n = 0; n < DAT_OBJECT_COUNT; n++)
        EXPECT_TRUE(data[n].type != DAT_BITMAP || bitmap_color_depth(bitmap(n)) == 8) << "object " << n;
    for (int n : {DAT_CAST_BACKGROUND, DAT_SELECT_BACKGROUND, DAT_MENU_PICTURE})
        EXPECT_TRUE(bitmap(n)->w == 640 && bitmap(n)->h == 480) << "object " << n;
    for (int n = DAT_TEXTURE_FIRST; n <= DAT_TEXTURE_SIDE; n++)
        EXPECT_EQ(bitmap(n)->w, bitmap(n)->h) << "square texture " << n;
    /* Map squares lie 7 pixels apart: a marker or icon much larger would smear its neighbours,
       much smaller would leave the map in pieces. The icons are those the kinds name. */
    std::vector<int> markers{DAT_MAP_MARKER};
    for (const ActorKind &kind : actor_kinds)
        markers.push_back(kind.map_icon);
    for (int n : markers)
        EXPECT_TRUE(std::min(bitmap(n)->w, bitmap(n)->h) >= 5 && std::max(bitmap(n)->w, bitmap(n)->h) <= 9)
            << "map icon " << n << " is " << bitmap(n)->w << " x " << bitmap(n)->h;

    /* The console's cells are 8 pixels square. */
    FONT *global = font_object(DAT_FONT_GLOBAL);
    EXPECT_EQ(text_height(global), 8);
    for (char glyph[2] = {32, 0}; glyph[0] < 127; glyph[0]++)
        EXPECT_LE(text_length(global, glyph), 8) << "character '" << glyph << "'";

    // The palettes' channels are checked by the game's own loader; black and white stand
    // where the masked sprites and the texts expect them.
    const RGB *game = (const RGB *)data[DAT_GAME_PALETTE].dat;
    EXPECT_TRUE(game[15].r == 63 && game[15].g == 63 && game[15].b == 63) << "white at 15";
    for (int n : {DAT_GAME_PALETTE, DAT_SELECT_PALETTE, DAT_MENU_PALETTE}) {
        const RGB *palette = (const RGB *)data[n].dat;
        EXPECT_TRUE(palette[0].r == 0 && palette[0].g == 0 && palette[0].b == 0) << "black at 0 in " << n;
    }
}

/* ---- the cast text ------------------------------------------------------------------- */

/* The cast screen's reader stops at a line opening with "[", after 30 lines and cuts lines to
   79 characters; each section must come through it whole, and fit its place on the screen. */
TEST_F(ShippedData, CastTextHoldsASectionPerKindInEntryOrderThatFitTheCastScreen)
{
    const char *data_text = (const char *)data[DAT_CAST_TEXT].dat;
    std::string text(data_text, data_text + data[DAT_CAST_TEXT].size);
    EXPECT_EQ(text.find("[CAST" + std::to_string(ACTOR_KIND_COUNT) + "]"), std::string::npos)
        << "an entry for no kind";
    FONT *global = font_object(DAT_FONT_GLOBAL);
    size_t previous = 0;
    for (int entry = 0; entry < ACTOR_KIND_COUNT; entry++) {
        const size_t marker = text.find("[CAST" + std::to_string(entry) + "]");
        EXPECT_TRUE(marker != std::string::npos && marker >= previous) << "section " << entry;
        previous = marker;
        static CastText shown;
        parse_cast_text(data_text, text.size(), entry, &shown);
        EXPECT_TRUE(shown.line_count >= 2 && shown.line_count < CAST_TEXT_LINES)
            << "section " << entry << " needs a title and a description, and must not be cut";
        EXPECT_NE(shown.lines[0][0], '\0') << "section " << entry << " has no title";
        for (int i = 0; i < shown.line_count; i++) {
            EXPECT_LT(std::strlen(shown.lines[i]), CAST_LINE_SIZE - 1u) << "section " << entry << " line " << i << " is cut";
            EXPECT_LE(text_length(global, shown.lines[i]), i == 0 ? CAST_TITLE_ROOM : CAST_DESCRIPTION_ROOM)
                << "section " << entry << " line " << i << " runs off the screen: " << shown.lines[i];
        }
    }
}

TEST(CastText, ASectionRunsToTheNextMarkerOrTheEndWhateverTheLineEnds)
{
    using Lines = std::vector<std::string>;
    const std::string two = "[CAST0]\nRobot\nThat's you.\n[CAST1]\nMibo\nSoft.\n\nRound.\n";
    const struct { std::string text; int index; Lines lines; } cases[] = {
        {two, 0, {"Robot", "That's you."}},
        {two, 1, {"Mibo", "Soft.", "", "Round."}},              // an empty line is a line
        {"[CAST2]\r\nZipper\r\nRuns.\r\nFast.\r\n", 2, {"Zipper", "Runs.", "Fast."}},
        {"[CAST2]\nZipper\nRuns.\nFast.", 2, {"Zipper", "Runs.", "Fast."}},
        // A missing section shows its marker, also when the marker is cut by the end.
        {"[CAST0]\nRobot\n", 5, {"[CAST5]"}},
        {"[CAST0]\nRobot\n[CAST3", 3, {"[CAST3]"}},
        {"", 4, {"[CAST4]"}},
        {"[CAST3][CAST4]\nJar\n", 3, {}},
        // At most 79 characters of a line, the rest dropped.
        {"[CAST1]\n" + std::string(100, 'w') + "\nnext\n", 1, {std::string(79, 'w'), "next"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lines_of(c.text, c.index), c.lines) << c.text;

    std::string many = "[CAST6]\n";
    for (int i = 0; i < 40; i++)
        many += "line " + std::to_string(i) + "\n";
    const Lines thirty = lines_of(many, 6);
    EXPECT_TRUE(thirty.size() == 30u && thirty.back() == "line 29");
}

/* ---- samples ------------------------------------------------------------------------- */

/* Sample i of s in -1 ... 1. The library keeps samples unsigned, silence at the middle. */
float sample_level(const SAMPLE *s, unsigned long i)
{
    if (s->bits == 16)
        return (((const unsigned short *)s->data)[i] - 32768) / 32768.0f;
    return (((const unsigned char *)s->data)[i] - 128) / 128.0f;
}

float peak(const SAMPLE *s)
{
    float largest = 0.0f;
    for (unsigned long i = 0; i < s->len; i++)
        largest = std::max(largest, std::fabs(sample_level(s, i)));
    return largest;
}

const int effects[] = {DAT_SAMPLE_EXPLOSION, DAT_SAMPLE_STEP, DAT_SAMPLE_COMPLETED, DAT_SAMPLE_PUSH,
                       DAT_SAMPLE_BEEP, DAT_SAMPLE_CLICK, DAT_SAMPLE_BLOCKED, DAT_SAMPLE_SWEET};
const int music[] = {DAT_MUSIC_FIRST, DAT_MUSIC_FIRST + 1, DAT_MUSIC_FIRST + 2};

/* 16-bit mono at the one rate; looping plays from loop_start to loop_end: the whole sample. */
void expect_format(const SAMPLE *s, int n)
{
    EXPECT_TRUE(s->bits == 16 && s->stereo == 0 && s->freq == SAMPLE_RATE) << "sample " << n;
    EXPECT_TRUE(s->loop_start == 0 && s->loop_end == s->len) << "sample " << n;
}

TEST_F(ShippedData, MusicLoopsLastTwentyToSixtySecondsAndJoinWithoutAClick)
{
    float quietest_effect = 1.0f;
    for (int n : effects)
        quietest_effect = std::min(quietest_effect, peak(sample(n)));

    for (int n : music) {
        const SAMPLE *s = sample(n);
        expect_format(s, n);
        ASSERT_TRUE(s->len >= 20u * SAMPLE_RATE && s->len <= 60u * SAMPLE_RATE) << "music " << n;

        /* The jump from the last sample back to the first must look like any step inside the
           loop: no larger than the 99th percentile of the steps between neighbours. */
        std::vector<float> steps(s->len - 1);
        for (unsigned long i = 0; i + 1 < s->len; i++)
            steps[i] = std::fabs(sample_level(s, i + 1) - sample_level(s, i));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        EXPECT_LE(std::fabs(sample_level(s, 0) - sample_level(s, s->len - 1)), steps[steps.size() * 99 / 100])
            << "music " << n << " clicks at its loop point";

        float loudest = peak(s);
        EXPECT_GT(loudest, 0.2f) << "music " << n << " is nearly silent";
        EXPECT_LT(loudest, quietest_effect) << "music " << n << " is louder than an effect";
    }
}

}  // namespace

namespace {

/* ---- fonts and full-screen pictures ---------------------------------------------- */

/* The pixels a letter (in UTF-8) sets, as a string of 0 and 1 over its cell and a row above
   and below it, which a letter within the font's height leaves blank. */
std::string glyph_pixels(FONT *f, const std::string &letter)
{
    int w = text_length(f, letter.c_str()), h = text_height(f) + 2;
    BITMAP *cell = create_bitmap_ex(8, w > 0 ? w : 1, h);
    clear_to_color(cell, 0);
    textout_ex(cell, f, letter.c_str(), 0, 1, 1, -1);
    std::string pixels;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            pixels += getpixel(cell, x, y) ? '1' : '0';
    destroy_bitmap(cell);
    EXPECT_EQ(pixels.find('1', pixels.size() - w), std::string::npos) << letter << " hangs low";
    EXPECT_LT(pixels.find('1'), pixels.size() - w) << letter << " is empty";
    EXPECT_GE(pixels.find('1'), (size_t)w) << letter << " stands too high";
    return pixels;
}

/* A grid that the importer cut at the wrong place shows as blank or repeated glyphs; so does a
   letter of German, French or Spanish the font lacks, drawn as the library's '^'. The heights
   stay what every text box is measured with. */
TEST_F(ShippedData, EveryFontHasDistinctGlyphsForAsciiAndTheAccentedLetters)
{
    for (auto [n, height] : {std::pair{DAT_FONT_GLOBAL, 8}, {DAT_FONT_LARGE, 16}, {DAT_FONT_SMALL, 7}}) {
        FONT *f = font_object(n);
        EXPECT_EQ(text_height(f), height);
        std::vector<std::string> letters;
        for (int c = 33; c < 127; c++)
            letters.push_back(std::string(1, (char)c));
        for (const char *p = "äöüßéèêàçñ¿¡ÄÖÜ"; *p; p += uwidth(p))
            letters.push_back(std::string(p, uwidth(p)));
        std::set<std::string> seen;
        for (const std::string &letter : letters)
            EXPECT_TRUE(seen.insert(glyph_pixels(f, letter)).second) << "font " << n << ": " << letter << " repeats a glyph";
    }
}

/* A message of the catalogue (po/tirvex.pot): its English, the files that draw or print it and
   the notes on it. */
struct CatalogueText {
    std::string english, files;
};

/* Reads the template's messages: each msgid (its quoted pieces joined) with its "#:" files. */
std::vector<CatalogueText> catalogue_texts()
{
    std::ifstream in(TIRVEX_SOURCE_DIR "/po/tirvex.pot");
    std::vector<CatalogueText> texts;
    std::string line, files;     // the "#:" files and the "#." notes for the translators
    bool in_id = false;
    auto unquote = [](const std::string &q) {
        std::string out;
        for (size_t i = q.find('"') + 1; i + 1 < q.size(); i++)
            out += q[i] != '\\' ? q[i] : q[++i] == 'n' ? '\n' : q[i];
        return out;
    };
    while (std::getline(in, line)) {
        if (line.rfind("#:", 0) == 0 || line.rfind("#.", 0) == 0)
            files += line + " ";
        else if (line.rfind("msgid ", 0) == 0)
            texts.push_back({unquote(line), files}), in_id = true;
        else if (in_id && line[0] == '"')
            texts.back().english += unquote(line);
        else if (line.rfind("msgstr", 0) == 0)
            in_id = false, files.clear();
    }
    return texts;
}

/* The text as drawn: each conversion filled with the widest value its place shows: number for
   a number, name for a text (a key's, a file's). */
std::string filled(const char *text, const char *number = "888", const char *name = "Backspace")
{
    std::string out;
    for (const char *p = text; *p; p++) {
        if (*p != '%' || p[1] == '%') {
            out += *p == '%' ? *p++ : *p;
            continue;
        }
        p += std::strspn(p + 1, "-0123456789.lz") + 1;
        out += *p == 's' ? name : *p == 'c' ? "W" : *p == 'f' || *p == 'g' ? "88.88" : number;
    }
    return out;
}

/* Every text of the catalogue, in English and in each language of po/LINGUAS, fits the box it
   is drawn into, measured with the font it is drawn in: each line of a box of one line within
   its width, a text broken at blanks into no more lines than its box holds. A translation too
   long for its box is to be shortened, not the box. */
TEST_F(ShippedData, EveryTranslatedTextFitsWhereItIsDrawn)
{
    FONT *small = font_object(DAT_FONT_GLOBAL), *large = font_object(DAT_FONT_LARGE);
    const VideoConfig &mode = default_video_config;
    const int view_w = compute_viewport(mode.width, mode.height, 0).w;
    const int smallest_view_w = compute_viewport(mode.width, mode.height, VIEWPORT_SIZES - 1).w;
    const int cell = text_length(small, "W");
    const int panel_row_w = RECORDS_PANEL_W - 2 * RECORDS_PANEL_MARGIN;
    // A shipped level's name and idea line, each drawn in several places.
    const char *NAME = "#. TRANSLATORS: a shipped level's name";
    const char *IDEA = "#. TRANSLATORS: a shipped level's idea";
    struct Place {
        const char *name;
        FONT *font;
        int width, lines;   // lines 0: each of a text's own lines within the width
        std::vector<const char *> texts;    // all of a source file's or a note's, or this one
        const char *number = "888", *name_fill = "Backspace";
        const char *format = nullptr;       // a text drawn into this one, as its %s
    };
    const std::vector<CatalogueText> texts = catalogue_texts();
    std::ifstream linguas(TIRVEX_SOURCE_DIR "/po/LINGUAS");
    std::vector<std::string> languages = {"en"};
    for (std::string code; std::getline(linguas, code);)
        if (!code.empty() && code[0] != '#')
            languages.push_back(code);
    for (const std::string &language : languages) {
        char fault[512] = "";
        const std::string mo = TIRVEX_GAME_DIR "/locale/" + language + "/LC_MESSAGES/tirvex.mo";
        forget_catalogue();
        ASSERT_TRUE(language == "en" || load_catalogue(mo.c_str(), fault, sizeof fault)) << fault;
        const std::vector<Place> places = {
            {"message line", small, view_w, 0, {"src/world/level_rules.cpp", "src/world/player.cpp",
                "src/ui/game_keys.cpp", "src/play/play_session.cpp", "src/ui/screenshot.cpp"}},
            {"boxed message line", small, smallest_view_w - 2 * MESSAGE_BOX_PAD, MESSAGE_BOX_LINES,
                {"src/play/hint.cpp", "src/play/undo_history.cpp", "src/ui/key_card.cpp",
                 "tirvex-records.txt cannot be read: records are not saved",
                 "tirvex-records.txt cannot be written: records are not saved"}},
            // The refusal's box grows up from the bottom of the level list: the list keeps most.
            {"level list's refusal", small, mode.width - 32, MESSAGE_BOX_LINES,
                {"src/ui/level_select.cpp"}},
            {"pause", large, mode.width - 2 * MESSAGE_BOX_PAD, 1, {"Paused"}},
            {"pause", small, mode.width - 2 * MESSAGE_BOX_PAD, 1, {"Press any key to play on"}},
            {"level title", large, mode.width, 0, {NAME}, "88", "", " Level %d: %.38s "},
            {"idea box", large, bitmap(DAT_F1_PANEL)->w - 24, 0, {"This level"}},
            {"idea box", small, bitmap(DAT_F1_PANEL)->w - 24, 2, {IDEA}},
            {"Tab panel", large, panel_row_w, 0, {NAME}, "88", "", "Level %d: %.38s"},
            {"Tab panel", small, panel_row_w, 2, {IDEA}},
            {"level list", small, LEVEL_BAR_NAME_W, 0, {NAME}, "88", "", "%d. %s"},
            // Its narrowest, beside "faults"; in six lines it stays beside the bars.
            {"level list's idea", small,
                mode.width - 8 - mode.width / 3 - LEVEL_IDEA_LEFT - 34 - 12, 6, {IDEA}},
            {"Tab panel", small, panel_row_w, 0,
                {"%d undos, %s", "Records file unreadable: not saved"}},
            {"Tab panel's labels", small, RECORDS_PANEL_MOVES_X - RECORDS_PANEL_MARGIN -
                text_length(small, filled(tr("%d moves")).c_str()) - cell, 0,
                {"Par", "Your best", "With undo or hints", "This attempt"}},
            {"Tab panel's par", small, RECORDS_PANEL_MOVES_X - RECORDS_PANEL_MARGIN -
                text_length(small, tr("Par")) - cell, 0,
                {"working it out", "no way found", "not known"}},
            {"end screen", large, mode.width, 0, {"src/app/end_screen.cpp"}},
            {"menu", small, mode.width, 0, {"src/app/main_menu.cpp", "src/base/fatal.cpp"}},
            {"console", small, CONSOLE_COLUMNS * cell, 0, {"src/app/startup.cpp",
                "src/app/level_sets.cpp", "src/ui/fault_window.cpp", "src/ui/video_mode.cpp",
                "Stopped: %d of %d levels made.\n", "Making level %d of %d: %d s. Esc stops."}},
            {"editor's panel", small, VIEW_WIDTH - 3, 0, {"[-][+] height %-5d [R] faces %s",
                "\"%s\", %d min, %d squares", "cell %d,%d: height %d, tex %d, %s",
                "side %s (E): %d, %s"}, "88", "teleport"},
            {"editor's view", small, VIEW_WIDTH, 0, {"no view: the level has faults (F3)"}},
            {"editor's keys", small, (TEXT_COLUMNS + 1) * cell, 0,
                {"F1 help F2 save F3 faults F5 prove A report W way P play N name I idea Esc",
                 "mouse: left paints, right erases, Shift+left selects, wheel height, palette"}},
            {"editor's status", small, (TEXT_COLUMNS + 1) * cell, EDITOR_MESSAGE_ROWS,
                {"editor_main.cpp", "editor_play.cpp", "level_file.cpp", "play_folder.cpp"}},
            {"editor's pages", small, TEXT_COLUMNS * cell, PAGE_ROWS,
                {"editor_help.cpp", "editor_proof.cpp"}},
        };
        for (const Place &place : places) {
            for (const CatalogueText &text : texts) {
                bool drawn = false;
                for (const std::string given : place.texts) {
                    const bool note = given[0] == '#', source = note || given.ends_with(".cpp");
                    const std::string reference = note ? given : given + ":";
                    drawn = drawn || text.english == given ||
                            (source && text.files.find(reference) != std::string::npos);
                }
                // What starts with the program's name goes to standard error, not the screen.
                if (!drawn || text.english.empty() || text.english.rfind("tirvex: ", 0) == 0)
                    continue;
                const char *english = text.english.c_str();
                const std::string shown =
                    place.format ? filled(tr(place.format), place.number, tr(english))
                                 : filled(tr(english), place.number, place.name_fill);
                std::stringstream lines(shown);
                for (std::string line; !place.lines && std::getline(lines, line);) {
                    const int w = text_length(place.font, line.c_str());
                    EXPECT_LE(w, place.width) << language << ": \"" << line << "\" in the "
                        << place.name << " is " << w << " px, the box " << place.width;
                }
                if (place.lines) {
                    const int count = draw_wrapped_text(nullptr, place.font, shown.c_str(), 0, 0,
                                                        place.width, 1, 0, false);
                    EXPECT_LE(count, place.lines) << language << ": \"" << shown << "\" in the "
                        << place.name << " takes " << count << " lines of " << place.width << " px";
                }
            }
        }
    }
    forget_catalogue();
}

}  // namespace
