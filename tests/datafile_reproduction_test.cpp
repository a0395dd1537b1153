/* datafile_reproduction_test.cpp: the datafile and a language's pictures made and packed twice, in
   two folders at two times, come out the same to the byte, dated by SOURCE_DATE_EPOCH and naming
   no folder. */
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string MAKE_DATAFILE = TIRVEX_GAME_DIR "/../tools/make_datafile/make_datafile";
const std::string PACK_DATAFILE = TIRVEX_SOURCE_DIR "/tools/make_datafile/pack_datafile.sh";
/* 2023-11-14 22:13:20 UTC, which dat writes as month-day-year. */
const char *const EPOCH = "1700000000";
const char *const EPOCH_DATE = "11-14-2023, 22:13";

std::string read_bytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/* Draws the objects' sources into FOLDER/work, sets their files' dates to `stamp` (touch -d),
   packs them into FOLDER/pz.dat and returns the datafile's bytes ("" on a failure). */
std::string make_and_pack(const fs::path &folder, const char *stamp, const std::string &mode = "")
{
    const fs::path work = folder / "work";
    fs::create_directories(work);
    auto quoted = [](const fs::path &path) { return "'" + path.string() + "'"; };
    const std::string log = quoted(folder / "log.txt");
    const std::string command =
        MAKE_DATAFILE + " " + mode + quoted(work) + " >" + log + " 2>&1 && touch -d '" + stamp + "' " +
        quoted(work) + "/* && SOURCE_DATE_EPOCH=" + EPOCH + " bash " + PACK_DATAFILE + " " +
        quoted(work) + " " + quoted(folder / "pz.dat") + " " + MAKE_DATAFILE + " >>" + log + " 2>&1";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "making the datafile in " << folder << " failed:\n" << read_bytes(folder / "log.txt");
        return "";
    }
    return read_bytes(folder / "pz.dat");
}

}  // namespace

TEST(DatafileReproduction, TwoFoldersAndTwoTimesPackTheSameBytes)
{
    char scratch[] = "/tmp/tirvex-datafile.XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const fs::path root = scratch;
    const fs::path first = root / "a";
    const fs::path second = root / "a much longer folder" / "b";

    const std::string one = make_and_pack(first, "2001-02-03 04:05");
    const std::string two = make_and_pack(second, "now");
    // So are a language's pictures, data/pz-de.dat.
    const std::string de = "--pictures de " TIRVEX_GAME_DIR "/locale/de/LC_MESSAGES/tirvex.mo ";
    const std::string de_one = make_and_pack(first / "de", "now", de);
    EXPECT_TRUE(!de_one.empty() && de_one == make_and_pack(second / "de", "2001-02-03 04:05", de));
    fs::remove_all(root);
    ASSERT_TRUE(!one.empty() && one.size() == two.size());
    size_t first_difference = 0;
    while (first_difference < one.size() && one[first_difference] == two[first_difference])
        first_difference++;
    EXPECT_EQ(first_difference, one.size()) << "the two datafiles differ from byte " << first_difference;

    // Each object's date is the epoch's, and its source is named within the work folder only.
    EXPECT_EQ(one.find(scratch), std::string::npos) << "the datafile names its build folder";
    size_t dates = 0;
    for (size_t at = one.find("propDATE"); at != std::string::npos; at = one.find("propDATE", at + 1)) {
        EXPECT_EQ(one.compare(at + 12, std::strlen(EPOCH_DATE), EPOCH_DATE), 0)
            << "object date " << one.substr(at + 12, 17);
        dates++;
    }
    EXPECT_EQ(dates, 62u);
    EXPECT_NE(one.find("./o30_game_palette.bmp"), std::string::npos);
}
