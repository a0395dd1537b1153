/* main.cpp: make_datafile OUTDIR writes every object's source file, the manifest and the icons;
   --pictures writes those with words in another language; --settle and --window-icon finish the
   packed datafile and write the window's icon. */
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "make_datafile.h"

namespace {

enum MakerKind { MAKE_PLAIN, MAKE_NUMBERED };

struct ManifestEntry {
    int number;                 /* position in the datafile */
    const char *type;           /* dat object type: BMP, PAL, FONT, SAMP, DATA */
    const char *file;           /* source file written into OUTDIR */
    void (*make)(const char *path);
    void (*make_numbered)(const char *path, int n);
    int argument;               /* passed to make_numbered */
};

void make_filler(const char *path)
{
    if (FILE *f = std::fopen(path, "wb")) {
        std::fputs("unused\n", f);
        std::fclose(f);
    }
}

void copy_cast_text(const char *path)
{
    const char *source = TIRVEX_ASSETS_DIR "/text/cast.txt";
    FILE *in = std::fopen(source, "rb");
    FILE *out = std::fopen(path, "wb");
    if (!in || !out) {
        std::fprintf(stderr, "make_datafile: cannot copy %s\n", source);
        std::exit(1);
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        std::fwrite(buffer, 1, n, out);
    std::fclose(in);
    std::fclose(out);
}

#define PLAIN(num, type, file, fn)      { num, type, file, fn, nullptr, 0 }
#define NUMBERED(num, type, file, fn, a) { num, type, file, nullptr, fn, a }

/* The datafile in object order. dat keeps this order (-n0), so the numbers hold. */
const ManifestEntry manifest[] = {
    PLAIN(0, "DATA", "o00_unused.txt", make_filler),
    PLAIN(1, "BMP", "o01_cast_background.bmp", make_cast_background),
    PLAIN(2, "BMP", "o02_select_background.bmp", make_select_background),
    NUMBERED(3, "BMP", "o03_explosion0.bmp", make_explosion, 0),
    NUMBERED(4, "BMP", "o04_explosion1.bmp", make_explosion, 1),
    NUMBERED(5, "BMP", "o05_explosion2.bmp", make_explosion, 2),
    NUMBERED(6, "BMP", "o06_explosion3.bmp", make_explosion, 3),
    NUMBERED(7, "BMP", "o07_explosion4.bmp", make_explosion, 4),
    PLAIN(8, "BMP", "o08_cursor.bmp", make_cursor),
    PLAIN(9, "DATA", "o09_unused.txt", make_filler),
    PLAIN(10, "FONT", "o10_font_global.txt", make_font_global),
    PLAIN(11, "FONT", "o11_font_large.txt", make_font_large),
    PLAIN(12, "DATA", "o12_unused.txt", make_filler),
    PLAIN(13, "BMP", "o13_f1_panel.bmp", make_f1_panel),
    PLAIN(14, "BMP", "o14_map_marker.bmp", make_map_marker),
    NUMBERED(15, "BMP", "o15_map_player.bmp", make_map_icon, 1),
    NUMBERED(16, "BMP", "o16_map_teleport.bmp", make_map_icon, 2),
    NUMBERED(17, "BMP", "o17_map_mibo.bmp", make_map_icon, 3),
    NUMBERED(18, "BMP", "o18_map_zipper.bmp", make_map_icon, 4),
    NUMBERED(19, "BMP", "o19_map_jar.bmp", make_map_icon, 5),
    NUMBERED(20, "BMP", "o20_map_mine.bmp", make_map_icon, 6),
    NUMBERED(21, "BMP", "o21_map_sweet.bmp", make_map_icon, 7),
    NUMBERED(22, "BMP", "o22_teleport_icon.bmp", make_teleport_icon, 0),
    NUMBERED(23, "BMP", "o23_teleport_icon_active.bmp", make_teleport_icon, 1),
    PLAIN(24, "BMP", "o24_sweet_icon.bmp", make_sweet_icon),
    PLAIN(25, "BMP", "o25_clock_icon.bmp", make_clock_icon),
    PLAIN(26, "BMP", "o26_map_frame.bmp", make_map_frame),
    PLAIN(27, "BMP", "o27_map_overlay.bmp", make_map_overlay),
    PLAIN(28, "BMP", "o28_menu.bmp", make_menu_picture),
    PLAIN(29, "DATA", "o29_unused.txt", make_filler),
    PLAIN(30, "PAL", "o30_game_palette.bmp", make_palette_file),
    PLAIN(31, "PAL", "o31_select_palette.bmp", make_palette_file),
    PLAIN(32, "PAL", "o32_menu_palette.bmp", make_palette_file),
    PLAIN(33, "DATA", "o33_unused.txt", make_filler),
    PLAIN(34, "BMP", "o34_backdrop.bmp", make_backdrop),
    NUMBERED(35, "SAMP", "o35_explosion.wav", make_sample, 35),
    NUMBERED(36, "SAMP", "o36_step.wav", make_sample, 36),
    NUMBERED(37, "SAMP", "o37_completed.wav", make_sample, 37),
    NUMBERED(38, "SAMP", "o38_music0.wav", make_music, 0),
    NUMBERED(39, "SAMP", "o39_music1.wav", make_music, 1),
    NUMBERED(40, "SAMP", "o40_music2.wav", make_music, 2),
    NUMBERED(41, "SAMP", "o41_push.wav", make_sample, 41),
    PLAIN(42, "DATA", "o42_unused.txt", make_filler),
    NUMBERED(43, "SAMP", "o43_beep.wav", make_sample, 43),
    NUMBERED(44, "SAMP", "o44_click.wav", make_sample, 44),
    NUMBERED(45, "SAMP", "o45_blocked.wav", make_sample, 45),
    NUMBERED(46, "SAMP", "o46_sweet.wav", make_sample, 46),
    PLAIN(47, "FONT", "o47_font_small.txt", make_font_small),
    NUMBERED(48, "BMP", "o48_texture_paving.bmp", make_square_texture, 0),
    NUMBERED(49, "BMP", "o49_texture_scorched.bmp", make_square_texture, 1),
    NUMBERED(50, "BMP", "o50_texture_floor.bmp", make_square_texture, 2),
    NUMBERED(51, "BMP", "o51_texture_cliff.bmp", make_square_texture, 3),
    NUMBERED(52, "BMP", "o52_skin_teleport.bmp", make_model_texture, 52),
    NUMBERED(53, "BMP", "o53_skin_mibo.bmp", make_model_texture, 53),
    NUMBERED(54, "BMP", "o54_skin_zipper.bmp", make_model_texture, 54),
    NUMBERED(55, "BMP", "o55_skin_player.bmp", make_model_texture, 55),
    NUMBERED(56, "BMP", "o56_skin_sweet.bmp", make_model_texture, 56),
    NUMBERED(57, "BMP", "o57_skin_jar.bmp", make_model_texture, 57),
    PLAIN(58, "DATA", "o58_cast.txt", copy_cast_text),
    PLAIN(59, "DATA", "o59_unused.txt", make_filler),
    PLAIN(60, "DATA", "o60_unused.txt", make_filler),
    PLAIN(61, "BMP", "o61_completed_mark.bmp", make_completed_mark),
};

/* The pictures with words painted in, made again in each language (--pictures). */
const int WORDED_PICTURES[] = {1, 2, 13, 28};

bool worded(int number)
{
    for (int n : WORDED_PICTURES)
        if (n == number)
            return true;
    return false;
}

/* The window icon's XPM: 64 pixels, what window managers that read no _NET_WM_ICON ask for. */
const int WINDOW_ICON_SIZE = 64;

}  // namespace

int main(int argc, char *argv[])
{
    const bool settle = argc == 3 && std::strcmp(argv[1], "--settle") == 0;
    const bool window_icon = argc == 3 && std::strcmp(argv[1], "--window-icon") == 0;
    const bool pictures = argc == 5 && std::strcmp(argv[1], "--pictures") == 0;
    if (argc != 2 && !settle && !window_icon && !pictures) {
        std::fprintf(stderr, "usage: make_datafile OUTDIR | --settle FILE.dat | --window-icon FILE.cpp"
                     " | --pictures LANGUAGE CATALOGUE.mo OUTDIR\n");
        return 2;
    }
    if (settle)
        return settle_datafile(argv[2]);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "make_datafile: cannot initialise the game library\n");
        return 1;
    }
    set_color_depth(8);
    make_palette();
    set_palette(game_colours);
    if (window_icon) {
        make_window_icon(argv[2], WINDOW_ICON_SIZE);
        return 0;
    }

    /* --pictures paints only the pictures with words, in the catalogue's language, under the
       English ones' names: the game lays them over those (load_language_pictures). */
    const char *out = argv[argc - 1];
    if (pictures) {
        picture_language = argv[2];
        char fault[2048];
        const bool loaded = load_catalogue(argv[3], fault, sizeof fault);
        if (fault[0])
            std::fprintf(stderr, "make_datafile: %s\n", fault);
        if (!loaded)
            return 1;
    }
    char path[1024];
    std::snprintf(path, sizeof path, "%s/manifest.txt", out);
    FILE *list = std::fopen(path, "w");
    if (!list) {
        std::fprintf(stderr, "make_datafile: cannot write %s\n", path);
        return 1;
    }
    int expected = 0;
    for (const ManifestEntry &entry : manifest) {
        if (entry.number != expected++) {
            std::fprintf(stderr, "make_datafile: manifest out of order at %d\n", entry.number);
            return 1;
        }
        if (pictures && !worded(entry.number))
            continue;
        std::snprintf(path, sizeof path, "%s/%s", out, entry.file);
        if (entry.make)
            entry.make(path);
        else
            entry.make_numbered(path, entry.argument);
        std::fprintf(list, "%s %s\n", entry.type, entry.file);
    }
    std::fclose(list);
    if (too_wide)
        return 1;
    report_tightest_text();
    if (pictures)
        return 0;
    /* The desktop icons go beside the datafile's sources but not into it. */
    for (int i = 0; i < ICON_SIZE_COUNT; i++) {
        std::snprintf(path, sizeof path, "%s/tirvex-%d.png", argv[1], ICON_SIZES[i]);
        make_icon(path, ICON_SIZES[i]);
    }
    std::snprintf(path, sizeof path, "%s/tirvex.svg", argv[1]);
    make_icon_svg(path);
    return 0;
}
END_OF_MAIN()
