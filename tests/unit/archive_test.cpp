// The built archive: every catalogue index holds its type and size, and a
// damaged file is refused before the library's loader ever sees it.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "common/catalogue.h"
#include "shell/archive.h"
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

// Types and sizes are the catalogue check's to refuse; the built archive passes it.
TEST_F(Archive, TheBuiltArchiveLoadsWithExactlyTheCataloguesObjects)
{
    DATAFILE* data = load_archive(ZORBL_ARCHIVE);
    ASSERT_NE(data, nullptr);
    int count = 0;
    while (data[count].type != DAT_END)
        ++count;
    EXPECT_EQ(count, OBJ_COUNT) << "no extra objects after the catalogue";

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
