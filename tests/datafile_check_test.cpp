/* datafile_check_test.cpp: a datafile is walked before the library loads it, and its objects
   checked for their kinds after. */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "datafile_test_support.h"
#include "base/datafile.h"
#include "base/datafile_layout.h"

namespace {

std::string be32(uint32_t v)
{
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string be16(uint32_t v) { return {char(v >> 8), char(v)}; }

/* One object: a name property, then type, sizes and contents. */
std::string object(const char *type, const std::string &data)
{
    return "prop" + std::string("NAME") + be32(4) + "name" + type + be32(data.size()) +
           be32(data.size()) + data;
}

std::string bitmap(int w, int h) { return be16(8) + be16(w) + be16(h) + std::string(w * h, 7); }
std::string palette() { return std::string(1024, 21); }
std::string font() { return be16(0) + be16(1) + "\1" + be32(32) + be32(33) + (be16(8) + be16(2) + "ab") + (be16(9) + be16(1) + "cd"); }
std::string sample() { return be16(16) + be16(22050) + be32(3) + std::string(6, 0); }

/* A small file of every kind the game uses, as objects 0 to 4. */
std::vector<std::string> objects()
{
    return {object("BMP ", bitmap(4, 3)), object("PAL ", palette()), object("FONT", font()),
            object("SAMP", sample()), object("DATA", "[CAST0]\nMibo\n")};
}

std::string datafile(const std::vector<std::string> &parts)
{
    std::string s = "slh.ALL." + be32(parts.size());
    for (const std::string &p : parts)
        s += p;
    return s;
}

std::string fault_of(const std::string &bytes)
{
    char fault[DATAFILE_FAULT_SIZE];
    if (check_datafile_layout((const unsigned char *)bytes.data(), bytes.size(), fault))
        return "";
    return fault;
}

} // namespace

TEST(DatafileLayout, EveryCutIsNamedByTheObjectItFallsIn)
{
    const std::vector<std::string> parts = objects();
    const std::string whole = datafile(parts);
    ASSERT_EQ(fault_of(whole), "");
    size_t start = 12;
    for (size_t i = 0; i < parts.size(); i++) {
        for (size_t cut = start; cut < start + parts[i].size(); cut++) {
            const std::string fault = fault_of(whole.substr(0, cut));
            const std::string named = "object " + std::to_string(i);
            EXPECT_TRUE(fault == "truncated at " + named || fault.rfind(named + ":", 0) == 0)
                << "cut at " << cut << ": " << fault;
        }
        start += parts[i].size();
    }
    EXPECT_EQ(fault_of(""), "the file is empty");
    EXPECT_EQ(fault_of("slh"), "not a datafile (no packfile signature)");
    EXPECT_EQ(fault_of("GIF89a..."), "not a datafile (no packfile signature)");
    EXPECT_EQ(fault_of("slh.ALL"), "not a datafile (no datafile signature)");
    EXPECT_EQ(fault_of("slh.ALL."), "truncated at object 0");
}

TEST(DatafileLayout, DamagedObjectsAreRefusedWithTheirFault)
{
    std::string bad_palette = palette();
    bad_palette[4 * 17 + 1] = 64;
    std::string nested = be32(1) + object("BMP ", bitmap(1, 1));
    for (int depth = 0; depth < 17; depth++)
        nested = be32(1) + object("FILE", nested);
    const struct {
        std::string object;
        const char *fault;
    } cases[] = {
        {object("BMP ", be16(8) + be16(4) + be16(4) + "xx"), "object 0: a 4x4 picture needs 16 bytes, the object holds 2"},
        {object("BMP ", be16(12) + be16(1) + be16(1) + "x"), "object 0: colour depth 12 is unknown"},
        {object("BMP ", be16(8) + be16(65535) + be16(1)), "object 0: a 65535x1 picture is too large"},
        {object("PAL ", bad_palette), "object 0: palette colour 17 is out of range"},
        {object("PAL ", std::string(1000, 0)), "object 0: a palette of 1000 bytes (1024 needed)"},
        {object("FONT", be16(0) + be16(0)), "object 0: the font has no glyphs"},
        {object("FONT", be16(0) + be16(1) + "\1" + be32(40) + be32(39)), "object 0: font range 0 runs from 40 to 39"},
        {object("FONT", be16(0) + be16(1) + "\0" + be32(32) + be32(32) + be16(3) + be16(3) + "12345678"), "object 0: glyph 0 is cut short"},
        {object("FONT", be16(3)), "object 0: font layout 3 is unknown"},
        {object("SAMP", be16(12) + be16(8000) + be32(1) + "ab"), "object 0: 12-bit samples are unknown"},
        {object("SAMP", be16(-16) + be16(8000) + be32(2) + "abcdef"), "object 0: the sample needs 8 bytes, the object holds 6"},
        {object("SAMP", be16(8) + be16(8000) + be32(0)), "object 0: the sample is 0 frames long"},
        {"prop" + std::string("NAME") + be32(-5) + "DATA" + be32(0) + be32(0), "object 0: a property of -5 bytes"},
        {"DATA" + be32(2) + be32(3) + "ab", "object 0: its sizes disagree (2 and 3 bytes)"},
        {"DATA" + be32(2) + be32(-100) + "\xff" "a", "object 0: its packed data is cut short"},
        {object("FILE", nested), "object 0: datafiles nested more than 16 deep"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(fault_of(datafile({c.object})), c.fault);
}

TEST(DatafileLayout, FilesPackedByTheLibraryAreUnpackedAndWalked)
{
    // The whole file packed, and within it one object packed on its own, written by the library.
    if (!system_driver)
        install_allegro(SYSTEM_NONE, &errno, atexit);
    const std::string path = ::testing::TempDir() + "packed.dat";
    PACKFILE *f = pack_fopen(path.c_str(), F_WRITE_PACKED);
    ASSERT_NE(f, nullptr);
    pack_mputl(DAT_MAGIC, f);
    pack_mputl(3, f);
    // Zeros first: the packer may match them against the ring's starting contents.
    const std::string first = object("DATA", std::string(3000, '\0')) + object("BMP ", bitmap(64, 64));
    pack_fwrite(first.data(), first.size(), f);
    pack_mputl(DAT_ID('D', 'A', 'T', 'A'), f);
    PACKFILE *chunk = pack_fopen_chunk(f, TRUE);
    const std::string text(5000, 'q');
    pack_fwrite(text.data(), text.size(), chunk);
    pack_fclose_chunk(chunk);
    pack_fclose(f);

    std::string bytes;
    FILE *in = std::fopen(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    for (int c; (c = std::fgetc(in)) != EOF;)
        bytes += (char)c;
    std::fclose(in);
    ASSERT_EQ(bytes.substr(0, 4), "slh!");
    EXPECT_EQ(fault_of(bytes), "");
    EXPECT_NE(fault_of(bytes.substr(0, bytes.size() - 8)), "");
    std::remove(path.c_str());
}

class ShippedDatafileCheck : public ShippedData {};

TEST_F(ShippedDatafileCheck, HoldsTogetherAndEveryUsedObjectHasItsKind)
{
    char message[DATAFILE_MESSAGE_SIZE];
    ASSERT_EQ(load_game_datafile(TIRVEX_GAME_DIR "/data/pz.dat", message), 1) << message;
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
