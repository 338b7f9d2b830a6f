// The built archive: every catalogue index holds its type and size, and a
// damaged file is refused before the library's loader ever sees it.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "shell/archive.h"
#include "shell/catalogue.h"
#include "test_env.h"

namespace {

class Archive : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless();
        bytes = read_file(ZORBL_ARCHIVE);
        ASSERT_GT(bytes.size(), 1000u) << "the archive is built before the tests";
    }

    bool loads(const std::string& content)
    {
        write_file("gfx.dat", content);
        DATAFILE* data = load_archive("gfx.dat");
        if (data != nullptr)
            unload_datafile(data);
        return data != nullptr;
    }

    std::string bytes;
};

const BITMAP* bitmap(const DATAFILE* data, int index) { return static_cast<const BITMAP*>(data[index].dat); }

} // namespace

TEST_F(Archive, EveryIndexHoldsItsTypeAndTheFixedSizesHold)
{
    DATAFILE* data = load_archive(ZORBL_ARCHIVE);
    ASSERT_NE(data, nullptr);
    int count = 0;
    while (data[count].type != DAT_END)
        ++count;
    EXPECT_EQ(count, OBJ_COUNT) << "no extra objects after the catalogue";

    auto type_of = [data](int i) { return data[i].type; };
    EXPECT_EQ(type_of(OBJ_PALETTE), DAT_PALETTE);
    for (int i = OBJ_TILE_FIRST; i <= OBJ_TILE_LAST; ++i) {
        ASSERT_EQ(type_of(i), DAT_BITMAP) << "tile object " << i;
        EXPECT_EQ(bitmap(data, i)->w, 19);
        EXPECT_EQ(bitmap(data, i)->h, 19);
        EXPECT_EQ(bitmap_color_depth(const_cast<BITMAP*>(bitmap(data, i))), 8);
    }
    for (int i : {OBJ_SIDE_BUTTON, OBJ_SIDE_HOVER, OBJ_INTRO_1, OBJ_GAME_OVER_PANEL, OBJ_ARROW_LEFT,
                  OBJ_ARROW_RIGHT, OBJ_SLIDER_TRACK, OBJ_CHECK_BOX, OBJ_CHECK_MARK, OBJ_SAMPLE_KNOB,
                  OBJ_MUSIC_KNOB, OBJ_CLOSE, OBJ_BACKGROUND, OBJ_POINTER, OBJ_INTRO_2, OBJ_LABEL_SCORE,
                  OBJ_LABEL_TILES, OBJ_LABEL_MODE, OBJ_LABEL_NEW_GAME, OBJ_LOGO})
        EXPECT_EQ(type_of(i), DAT_BITMAP) << "object " << i;
    EXPECT_EQ(type_of(OBJ_MUSIC), DAT_MIDI);
    EXPECT_EQ(type_of(OBJ_FONT), DAT_FONT);
    for (int i = OBJ_DIGIT_0; i <= OBJ_DIGIT_9; ++i) {
        ASSERT_EQ(type_of(i), DAT_BITMAP) << "digit object " << i;
        EXPECT_LE(bitmap(data, i)->h, 50);
    }
    for (int i = OBJ_SND_CLICK; i <= OBJ_SND_EXPLOSION; ++i) {
        ASSERT_EQ(type_of(i), DAT_SAMPLE) << "sample object " << i;
        EXPECT_GT(static_cast<SAMPLE*>(data[i].dat)->len, 0u);
    }
    EXPECT_EQ(type_of(OBJ_LABEL_OPTIONS), DAT_RLE_SPRITE);
    EXPECT_EQ(type_of(OBJ_LABEL_QUIT), DAT_RLE_SPRITE);
    EXPECT_EQ(bitmap(data, OBJ_BACKGROUND)->w, 320);
    EXPECT_EQ(bitmap(data, OBJ_BACKGROUND)->h, 240);
    EXPECT_LE(bitmap(data, OBJ_GAME_OVER_PANEL)->w, 320 - 24);
    unload_datafile(data);
}

TEST_F(Archive, TheWholeFileIsCheckedBeforeLoading)
{
    EXPECT_TRUE(archive_file_valid(ZORBL_ARCHIVE));
}

TEST_F(Archive, AMissingFileOrAWrongPasswordIsRefused)
{
    ScratchDir dir;
    EXPECT_EQ(load_archive("missing.dat"), nullptr);
    packfile_password("wrong");
    EXPECT_EQ(load_archive(ZORBL_ARCHIVE), nullptr);
    packfile_password(PACKFILE_PASSWORD);
}

TEST_F(Archive, ATruncatedFileIsRefusedWhereverItIsCut)
{
    ScratchDir dir;
    // Every cut near the end (where the library's own loader crashes), and a
    // spread of cuts through the rest.
    for (size_t cut = bytes.size() - 1; cut + 2500 > bytes.size() && cut > 0; --cut)
        ASSERT_FALSE(loads(bytes.substr(0, cut))) << "cut to " << cut << " bytes";
    for (size_t cut = 0; cut < bytes.size(); cut += 997)
        ASSERT_FALSE(loads(bytes.substr(0, cut))) << "cut to " << cut << " bytes";
}

TEST_F(Archive, RandomBytesAndAnOversizedFileAreRefused)
{
    ScratchDir dir;
    std::string noise(bytes.size(), '\0');
    uint32_t s = 12345;
    for (char& c : noise) {
        s = s * 1103515245u + 12345u;
        c = static_cast<char>(s >> 24);
    }
    EXPECT_FALSE(loads(noise));
    EXPECT_FALSE(loads(bytes + std::string(100, 'x'))) << "trailing junk on disk";
}
