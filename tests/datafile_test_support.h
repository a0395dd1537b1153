/* datafile_test_support.h: the shipped data/pz.dat, loaded once per test suite, for the tests of its contents. */
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "base/datafile.h"

/* Derive a fixture per test file; each suite loads the file as the game does at start-up, with
   the screen 8-bit, so pictures stay 8-bit. */
class ShippedData : public ::testing::Test {
protected:
    static inline DATAFILE *data = nullptr;
    static inline int count = 0;  /* objects before the end marker, the dat tool's info object included */

    static void SetUpTestSuite()
    {
        if (!system_driver)
            install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(8);
        data = load_datafile(TIRVEX_GAME_DIR "/data/pz.dat");
        count = 0;
        while (data && data[count].type != DAT_END)
            count++;
    }

    static void TearDownTestSuite()
    {
        if (data)
            unload_datafile(data);
        data = nullptr;
    }

    void SetUp() override { ASSERT_NE(data, nullptr) << "cannot load " TIRVEX_GAME_DIR "/data/pz.dat"; }

    static BITMAP *bitmap(int n) { return (BITMAP *)data[n].dat; }
    static FONT *font_object(int n) { return (FONT *)data[n].dat; }
    static SAMPLE *sample(int n) { return (SAMPLE *)data[n].dat; }
};
