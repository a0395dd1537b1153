/* game_test_support.h: a headless library with a key buffer, a memory screen and a private game
   directory with test maps, for the tests of the play screens and keys. */
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/display_options.h"

namespace game_test {

namespace fs = std::filesystem;

/* Without a keyboard driver readkey() reads nothing; with these hooks in place it reads the
   library's own key buffer, which simulate_keypress fills. */
inline int no_key() { return 0; }

/* Starts the library without a display and gives it a key buffer. Safe to call from every test. */
inline void start_headless_library()
{
    if (!system_driver)
        install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    install_keyboard_hooks(no_key, no_key);
    clear_keybuf();
}

/* Types the keys into the key buffer in order, as presses between two frames do. */
inline void type_keys(std::initializer_list<int> scancodes)
{
    for (int scancode : scancodes)
        simulate_keypress(scancode << 8);
}

/* Holds the keys down in the key array, as the keys that act while held are read. */
inline void hold_keys(std::initializer_list<int> scancodes)
{
    for (int scancode : scancodes)
        key[scancode] = 1;
}

/* Releases every key of the key array and the shift keys. */
inline void release_all_keys()
{
    for (int i = 0; i < KEY_MAX; i++)
        key[i] = 0;
    key_shifts = 0;
}

/* Stands in for a sound card while it lives: every sample the library is asked to start is
   written down with its volume and whether it loops, and every voice stopped is counted. */
class SoundRecorder {
public:
    struct Played {
        const SAMPLE *sample;
        int volume;
        bool loops;
    };
    static inline std::vector<Played> played;
    static inline int stops = 0;

    SoundRecorder()
    {
        played.clear();
        stops = 0;
        driver.voices = 8;
        driver.init_voice = [](int, const SAMPLE *s) { played.push_back({s, -1, false}); };
        driver.set_volume = [](int, int volume) { played.back().volume = volume; };
        driver.loop_voice = [](int, int mode) { played.back().loops = mode & PLAYMODE_LOOP; };
        driver.stop_voice = [](int) { stops++; };
        driver.release_voice = driver.start_voice = driver.stop_volume_ramp = [](int) {};
        driver.stop_frequency_sweep = driver.stop_pan_sweep = driver.release_voice;
        driver.set_position = driver.set_frequency = driver.set_pan = [](int, int) {};
        driver.get_position = driver.get_volume = driver.get_frequency = driver.get_pan = [](int) { return 0; };
        driver.ramp_volume = driver.sweep_frequency = driver.sweep_pan = [](int, int, int) {};
        driver.set_tremolo = driver.set_vibrato = driver.ramp_volume;
        digi_driver = &driver;
    }
    ~SoundRecorder() { digi_driver = saved; }

private:
    DIGI_DRIVER driver{};
    DIGI_DRIVER *saved = digi_driver;
};

inline std::string read_file(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void write_file(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

/* A fixture that runs every test in an empty directory of its own, with a memory screen and
   the display options restored afterwards. */
class GameDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless_library();
        release_all_keys();
        saved_options = display_options;
        saved_dir = fs::current_path();
        dir = fs::temp_directory_path() /
              ("tirvex_game_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "maps");
        fs::current_path(dir);
        saved_screen = screen;
        screen = create_bitmap_ex(8, 640, 480);
        clear_to_color(screen, 0);
    }

    void TearDown() override
    {
        if (screen)
            destroy_bitmap(screen);
        screen = saved_screen;
        clear_keybuf();
        release_all_keys();
        display_options = saved_options;
        fs::current_path(saved_dir);
        fs::remove_all(dir);
    }

    /* Copies tests/maps/<name> to maps/mapNN.txt for each level number given. */
    void add_map(const char *name, std::initializer_list<int> levels)
    {
        for (int level : levels) {
            char file[32];
            std::snprintf(file, sizeof file, "map%02d.txt", level);
            fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps" / name, dir / "maps" / file,
                          fs::copy_options::overwrite_existing);
        }
    }

    DisplayOptions saved_options;
    BITMAP *saved_screen;
    fs::path saved_dir;
    fs::path dir;
};

} // namespace game_test

/* The text of shipped level `level`, as the sources keep it. */
inline std::string shipped_map(int level)
{
    char name[32];
    std::snprintf(name, sizeof name, "/assets/maps/map%02d.txt", level);
    return game_test::read_file(std::string(TIRVEX_SOURCE_DIR) + name);
}
