// The asset build: the archive comes out byte-identical from every build,
// the pictures keep the sizes the code draws them at, and every theme's five
// tiles can be told apart by their drawing alone, not only by their colour.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/catalogue.h"
#include "shell/archive.h"
#include "test_env.h"

namespace {

namespace fs = std::filesystem;

// Palette layout of the generator (tools/art.h): five tile ramps of 32
// steps from index 48, in the tile colour order.
constexpr int RAMP_FIRST = 48;
constexpr int RAMP_LEN = 32;
constexpr int RAMP_END = RAMP_FIRST + 5 * RAMP_LEN;

// The tests run in the build directory (the unit tests are registered with
// it as their working directory); the generator is built there beside them.
std::string build_dir_tool()
{
    const fs::path here = fs::current_path();
    const std::string cache = read_file((here / "CMakeCache.txt").string());
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    const size_t at = cache.find(key);
    if (at == std::string::npos)
        return "";
    const std::string source = cache.substr(at + key.size(), cache.find('\n', at) - at - key.size());
    std::error_code ec;
    if (!fs::equivalent(source, ZORBL_SOURCE_DIR, ec))
        return "";
    return (here / "make_assets").string();
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// Generates every asset into `dir` and packs them into `out`, as the build does.
bool build_archive(const std::string& tool, const std::string& dir, const std::string& out)
{
    const std::string make = quoted(tool) + " " + quoted(dir) + " >/dev/null";
    const std::string pack = "MAKE_ASSETS=" + quoted(tool) + " sh " + quoted(std::string(ZORBL_SOURCE_DIR) + "/tools/pack_archive.sh") +
                             " " + quoted(dir) + " " + quoted(out) + " " PACKFILE_PASSWORD " >/dev/null";
    return std::system(make.c_str()) == 0 && std::system(pack.c_str()) == 0;
}

class Assets : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        start_headless();
        data = load_archive(ZORBL_ARCHIVE);
    }
    static void TearDownTestSuite()
    {
        if (data != nullptr)
            unload_datafile(data);
        data = nullptr;
    }
    void SetUp() override { ASSERT_NE(data, nullptr) << "the built archive must load: " << ZORBL_ARCHIVE; }

    static BITMAP* bitmap(int index) { return static_cast<BITMAP*>(data[index].dat); }
    static BITMAP* tile(int theme, int colour) { return bitmap(OBJ_TILE_BASE + 5 * theme + colour); }

    static DATAFILE* data;
};

DATAFILE* Assets::data = nullptr;

// A tile's drawing with its hue taken out: a pixel of any tile ramp counts
// only by its step on the ramp, every other ink (white, grey, wood, the
// transparent background) by its own index. Two tiles drawn alike in two
// colours give the same pattern.
std::vector<int> pattern(BITMAP* b)
{
    std::vector<int> p;
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x) {
            const int c = getpixel(b, x, y);
            p.push_back(c >= RAMP_FIRST && c < RAMP_END ? 1000 + (c - RAMP_FIRST) % RAMP_LEN : c);
        }
    return p;
}

int differing(const std::vector<int>& a, const std::vector<int>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

// The tile ramp most of a tile's coloured pixels belong to (1..5), 0 if none.
int main_colour(BITMAP* b)
{
    std::map<int, int> count;
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x) {
            const int c = getpixel(b, x, y);
            if (c >= RAMP_FIRST && c < RAMP_END)
                ++count[1 + (c - RAMP_FIRST) / RAMP_LEN];
        }
    int best = 0, most = 0;
    for (const auto& [colour, n] : count)
        if (n > most) {
            best = colour;
            most = n;
        }
    return best;
}

} // namespace

TEST(AssetBuild, TwoBuildsGiveTheSameBytesAsTheArchiveInUse)
{
    const std::string tool = build_dir_tool();
    ASSERT_FALSE(tool.empty()) << "the tests run in the build directory of " << ZORBL_SOURCE_DIR << ", not in "
                               << fs::current_path();
    ASSERT_TRUE(fs::exists(tool)) << "make_assets is built beside the tests: " << tool;

    ScratchDir scratch;
    const std::string first = scratch.path() + "/first", second = scratch.path() + "/second";
    fs::create_directory(first);
    fs::create_directory(second);
    ASSERT_TRUE(build_archive(tool, first, scratch.path() + "/first.dat"));
    ASSERT_TRUE(build_archive(tool, second, scratch.path() + "/second.dat"));

    const std::string a = read_file(scratch.path() + "/first.dat");
    const std::string b = read_file(scratch.path() + "/second.dat");
    ASSERT_GT(a.size(), 10000u);
    EXPECT_TRUE(a == b) << "two builds of the archive differ";
    EXPECT_TRUE(a == read_file(ZORBL_ARCHIVE)) << ZORBL_ARCHIVE << " is not what the tools make now";
    // The generated sources themselves are identical too, file by file.
    for (const auto& entry : fs::directory_iterator(first)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(read_file(entry.path().string()) == read_file(second + "/" + name)) << name;
    }
}

TEST_F(Assets, TheFontIsTenPixelsHighAndTheBackgroundIsOpaque)
{
    ASSERT_EQ(data[OBJ_FONT].type, DAT_FONT);
    FONT* f = static_cast<FONT*>(data[OBJ_FONT].dat);
    EXPECT_EQ(text_height(f), 10);
    EXPECT_GT(text_length(f, "Traditional"), 0);
    // The background is opaque everywhere: nothing behind it is ever defined.
    int holes = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            holes += getpixel(bitmap(OBJ_BACKGROUND), x, y) == 0;
    EXPECT_EQ(holes, 0);
}

TEST_F(Assets, FirstThemeTilesHaveAFlatCentreOfTheirOwn)
{
    // The end-to-end tests read the board through these centres.
    std::vector<int> centres;
    for (int colour = 1; colour <= 5; ++colour) {
        BITMAP* t = tile(0, colour);
        const int c = getpixel(t, 7, 7);
        for (int y = 7; y <= 11; ++y)
            for (int x = 7; x <= 11; ++x)
                ASSERT_EQ(getpixel(t, x, y), c) << "colour " << colour << " at " << x << "," << y;
        EXPECT_EQ(1 + (c - RAMP_FIRST) / RAMP_LEN, colour) << "the centre is on the tile's own ramp";
        for (int other : centres)
            EXPECT_NE(c, other);
        centres.push_back(c);
    }
}

TEST_F(Assets, EveryThemesTilesDifferInDrawingAsWellAsColour)
{
    // At least this many of a tile's 361 pixels must differ from every other
    // tile of its theme once the hue is taken out: a silhouette, a face, a
    // mark, or at the least one die pip with its rim (the smallest thing a
    // player tells two tiles apart by), never a stray pixel or two.
    const int enough = 12;
    for (int theme = 0; theme < 5; ++theme) {
        std::vector<std::vector<int>> patterns;
        for (int colour = 1; colour <= 5; ++colour) {
            BITMAP* t = tile(theme, colour);
            EXPECT_EQ(main_colour(t), colour) << "theme " << theme << " colour " << colour << " is drawn in its own colour";
            int opaque = 0;
            for (int y = 0; y < t->h; ++y)
                for (int x = 0; x < t->w; ++x)
                    opaque += getpixel(t, x, y) != 0;
            EXPECT_GT(opaque, TILE_SIZE * TILE_SIZE / 4) << "theme " << theme << " colour " << colour << " is big enough to see";
            patterns.push_back(pattern(t));
        }
        for (int a = 0; a < 5; ++a)
            for (int b = a + 1; b < 5; ++b)
                EXPECT_GE(differing(patterns[a], patterns[b]), enough)
                    << "theme " << theme << ": colours " << a + 1 << " and " << b + 1 << " are drawn alike";
    }
}

TEST(AssetPattern, ATileRedrawnInAnotherColourIsCaught)
{
    // The check above sees through a change of colour alone.
    start_headless();
    BITMAP* red = create_bitmap_ex(8, TILE_SIZE, TILE_SIZE);
    BITMAP* blue = create_bitmap_ex(8, TILE_SIZE, TILE_SIZE);
    clear_to_color(red, 0);
    clear_to_color(blue, 0);
    for (int y = 2; y < 17; ++y)
        for (int x = 2; x < 17; ++x) {
            const int level = (x + y) % RAMP_LEN;
            putpixel(red, x, y, RAMP_FIRST + level);
            putpixel(blue, x, y, RAMP_FIRST + 2 * RAMP_LEN + level);
        }
    EXPECT_EQ(differing(pattern(red), pattern(blue)), 0);
    EXPECT_EQ(main_colour(red), 1);
    EXPECT_EQ(main_colour(blue), 3);
    putpixel(blue, 9, 9, 15);
    EXPECT_EQ(differing(pattern(red), pattern(blue)), 1);
    destroy_bitmap(red);
    destroy_bitmap(blue);
}
