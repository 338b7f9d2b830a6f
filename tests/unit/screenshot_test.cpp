// Screenshots: numbering, the thousand-picture limit, and a plain PCX of the last frame.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "persist/screenshot.h"
#include "shell/shell.h"
#include "test_env.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> files_here()
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator("."))
        names.insert(item.path().filename().string());
    return names;
}

class Screenshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless();
        if (BackBuffer == nullptr)
            BackBuffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
        ASSERT_NE(BackBuffer, nullptr);
        // A frame in which every pixel tells where it is.
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            for (int x = 0; x < SCREEN_WIDTH; ++x)
                putpixel(BackBuffer, x, y, (x * 7 + y * 13) & 0xff);
        for (int i = 0; i < PAL_SIZE; ++i) {
            palette[i].r = i & 63;
            palette[i].g = (i * 3) & 63;
            palette[i].b = 63 - (i & 63);
        }
        set_palette(palette);
        screenshot_counter = 0;
    }
    void TearDown() override { packfile_password(PACKFILE_PASSWORD); }
    ScratchDir dir;
    PALETTE palette;
};

}  // namespace

TEST_F(Screenshot, PicturesAreNumberedFromZorbl000OnOneAfterAnother)
{
    for (int i = 0; i < 10; ++i)
        take_screenshot();
    std::set<std::string> expected;
    for (int i = 0; i < 10; ++i) {
        char name[24];  // room for any int, which g++ checks at -O1
        std::snprintf(name, sizeof name, "zorbl%03d.pcx", i);
        expected.insert(name);
    }
    EXPECT_EQ(files_here(), expected);
    EXPECT_EQ(screenshot_counter, 10);
    EXPECT_EQ(read_file("zorbl000.pcx"), read_file("zorbl009.pcx")) << "the same frame twice";
}

TEST_F(Screenshot, AfterAThousandPicturesFurtherRequestsWriteNothing)
{
    screenshot_counter = 999;
    take_screenshot();
    EXPECT_EQ(files_here(), std::set<std::string>{"zorbl999.pcx"});
    EXPECT_EQ(screenshot_counter, 1000);
    take_screenshot();
    take_screenshot();
    EXPECT_EQ(files_here(), std::set<std::string>{"zorbl999.pcx"});
    EXPECT_EQ(screenshot_counter, 1000);
}

TEST_F(Screenshot, ANewRunNeverOverwritesPicturesAlreadyThere)
{
    // An earlier run's pictures, and a name taken by a folder.
    write_file("zorbl000.pcx", "last run");
    write_file("zorbl002.pcx", "last run");
    fs::create_directory("zorbl001.pcx");
    take_screenshot();
    take_screenshot();
    EXPECT_EQ(read_file("zorbl000.pcx"), "last run");
    EXPECT_EQ(read_file("zorbl002.pcx"), "last run");
    EXPECT_TRUE(fs::is_regular_file("zorbl003.pcx"));
    EXPECT_TRUE(fs::is_regular_file("zorbl004.pcx"));
    EXPECT_EQ(screenshot_counter, 5);
}

TEST_F(Screenshot, NothingHappensBeforeTheFrameBufferExists)
{
    BITMAP* frame = BackBuffer;
    BackBuffer = nullptr;
    take_screenshot();
    BackBuffer = frame;
    EXPECT_EQ(screenshot_counter, 0);
    EXPECT_TRUE(files_here().empty());
}

TEST_F(Screenshot, PictureIsThePlainLastFrameWithItsPalette)
{
    take_screenshot();
    packfile_password(nullptr);  // any reader: no password
    PALETTE loaded_palette;
    BITMAP* picture = load_pcx("zorbl000.pcx", loaded_palette);
    ASSERT_NE(picture, nullptr) << "the file must open without the password";
    EXPECT_EQ(picture->w, 320);
    EXPECT_EQ(picture->h, 240);
    EXPECT_EQ(bitmap_color_depth(picture), 8);
    int differing = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            differing += getpixel(picture, x, y) != getpixel(BackBuffer, x, y);
    EXPECT_EQ(differing, 0);
    for (int i = 0; i < PAL_SIZE; ++i) {
        EXPECT_EQ(loaded_palette[i].r, palette[i].r) << "colour " << i;
        EXPECT_EQ(loaded_palette[i].g, palette[i].g) << "colour " << i;
        EXPECT_EQ(loaded_palette[i].b, palette[i].b) << "colour " << i;
    }
    destroy_bitmap(picture);
}

// Whether a packed file written now is enciphered under the game's password.
bool save_files_enciphered()
{
    PACKFILE* out = pack_fopen("after.sav", "wp");
    if (out == nullptr)
        return false;
    pack_fwrite("abc", 3, out);
    pack_fclose(out);

    packfile_password(nullptr);
    PACKFILE* plain = pack_fopen("after.sav", "rp");
    if (plain != nullptr)
        pack_fclose(plain);
    packfile_password(PACKFILE_PASSWORD);
    PACKFILE* in = pack_fopen("after.sav", "rp");
    if (in == nullptr)
        return false;
    char bytes[8];
    long got = pack_fread(bytes, sizeof bytes, in);
    pack_fclose(in);
    return plain == nullptr && got == 3;
}

TEST_F(Screenshot, SaveFilesStayEncipheredAfterAScreenshotWrittenOrFailed)
{
    take_screenshot();
    EXPECT_TRUE(save_files_enciphered()) << "after a picture that was written";
    {
        DiskFillsAfter full(1000);  // the disk fills up part-way through the next picture
        take_screenshot();
    }
    EXPECT_EQ(fs::file_size("zorbl001.pcx"), 1000u) << "the second picture was cut short";
    EXPECT_TRUE(save_files_enciphered()) << "after a picture that could not be written";
}
