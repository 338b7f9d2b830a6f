// The settings file: first run, round trips, short, long and damaged files;
// where an installed game keeps it.
#include <allegro.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include "common/catalogue.h"
#include "persist/highscore.h"
#include "persist/paths.h"
#include "persist/settings.h"
#include "test_env.h"

namespace {

namespace fs = std::filesystem;


// The bytes of a packed file as the packfile layer reads them back.
std::string read_packed(const char* name)
{
    PACKFILE* in = pack_fopen(name, "rp");
    if (in == nullptr)
        return "<does not open>";
    char bytes[64];
    long got = pack_fread(bytes, sizeof bytes, in);
    pack_fclose(in);
    return std::string(bytes, static_cast<size_t>(got));
}

std::string bytes_of(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

void expect_settings(int sample, int music, int mode, int theme, int animations)
{
    EXPECT_EQ(settings.sample_volume, sample);
    EXPECT_EQ(settings.music_volume, music);
    EXPECT_EQ(settings.game_mode, mode);
    EXPECT_EQ(settings.theme, theme);
    EXPECT_EQ(settings.animations, animations);
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless();
        // Whatever an earlier test left: a load must not depend on it.
        settings = Settings{77, 66, 3, 4, 9};
    }
    void TearDown() override { packfile_password(PACKFILE_PASSWORD); }
    ScratchDir dir;
};

}  // namespace

TEST_F(SettingsFile, FirstRunStartsWithTheUsualSettingsAndQuittingStoresThem)
{
    load_saved_data();
    expect_settings(200, 100, MODE_TRADITIONAL, THEME_ORIGINAL, 1);
    save_saved_data();
    EXPECT_EQ(read_packed(SETTINGS_FILE), bytes_of({200, 100, 0, 0, 1}));
    EXPECT_FALSE(fs::exists(temp_file_of(SETTINGS_FILE)));
}

TEST_F(SettingsFile, ChangedSettingsAreThereNextRun)
{
    load_saved_data();
    settings = Settings{255, 0, MODE_SHIFTER, THEME_PACMANIA, 0};
    save_saved_data();
    EXPECT_EQ(read_packed(SETTINGS_FILE), bytes_of({255, 0, 2, 4, 0}));
    settings = Settings{};
    load_saved_data();
    expect_settings(255, 0, MODE_SHIFTER, THEME_PACMANIA, 0);

    settings = Settings{0, 255, MODE_MEGASHIFTER, THEME_DICE, 1};
    save_saved_data();
    load_saved_data();
    expect_settings(0, 255, MODE_MEGASHIFTER, THEME_DICE, 1);
}

TEST_F(SettingsFile, TheFileIsPackedAndEncipheredSoItIsNotPlainBytes)
{
    load_saved_data();
    save_saved_data();
    EXPECT_NE(read_file(SETTINGS_FILE), bytes_of({200, 100, 0, 0, 1}));
    packfile_password(nullptr);
    EXPECT_EQ(read_packed(SETTINGS_FILE), "<does not open>");
}

TEST_F(SettingsFile, TwoByteFileGivesTheVolumesAndThenZeros)
{
    write_packed(SETTINGS_FILE, bytes_of({12, 34}));
    load_saved_data();
    expect_settings(12, 34, 0, 0, 0);
}

TEST_F(SettingsFile, EmptyFileGivesZerosNotTheDefaults)
{
    write_packed(SETTINGS_FILE, "");
    load_saved_data();
    expect_settings(0, 0, 0, 0, 0);
}

TEST_F(SettingsFile, LongerFileUsesItsFirstFiveBytes)
{
    write_packed(SETTINGS_FILE, bytes_of({10, 20, 1, 3, 0, 99, 98, 97}));
    load_saved_data();
    expect_settings(10, 20, 1, 3, 0);
}

TEST_F(SettingsFile, ModeOrThemeOutOfRangeLoadsAsTheFirst)
{
    write_packed(SETTINGS_FILE, bytes_of({10, 20, 4, 5, 7}));
    load_saved_data();
    expect_settings(10, 20, 0, 0, 7);

    write_packed(SETTINGS_FILE, bytes_of({10, 20, 255, 255, 1}));
    load_saved_data();
    expect_settings(10, 20, 0, 0, 1);

    write_packed(SETTINGS_FILE, bytes_of({10, 20, 3, 4, 1}));
    load_saved_data();
    expect_settings(10, 20, 3, 4, 1);
}

TEST_F(SettingsFile, UnreadableFilesGiveTheUsualSettings)
{
    write_packed(SETTINGS_FILE, bytes_of({1, 2, 3, 4, 0}), "other");
    load_saved_data();
    expect_settings(200, 100, 0, 0, 1);

    write_file(SETTINGS_FILE, bytes_of({1, 2, 3, 4, 0}));  // plain bytes, not packed
    load_saved_data();
    expect_settings(200, 100, 0, 0, 1);

    write_file(SETTINGS_FILE, "");
    load_saved_data();
    expect_settings(200, 100, 0, 0, 1);

    fs::remove(SETTINGS_FILE);
    fs::create_directory(SETTINGS_FILE);
    load_saved_data();
    expect_settings(200, 100, 0, 0, 1);
}

TEST_F(SettingsFile, PackedFileCutShortOnDiskNeverCrashes)
{
    write_packed(SETTINGS_FILE, bytes_of({1, 2, 3, 4, 0}));
    const std::string whole = read_file(SETTINGS_FILE);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        write_file(SETTINGS_FILE, whole.substr(0, cut));
        load_saved_data();
        EXPECT_GE(settings.game_mode, 0);
        EXPECT_LT(settings.game_mode, MODE_COUNT);
        EXPECT_GE(settings.theme, 0);
        EXPECT_LT(settings.theme, THEME_COUNT);
    }
}

TEST_F(SettingsFile, ModeChosenAtTheEndOfAGameIsTheModeOfTheNextRun)
{
    load_saved_data();
    settings.game_mode = MODE_SHIFTER;  // the key 2 on the game-over screen
    save_saved_data();
    settings.game_mode = MODE_TRADITIONAL;
    load_saved_data();
    EXPECT_EQ(settings.game_mode, MODE_SHIFTER);
    EXPECT_EQ(&current_highscore_table(), highscore_tables[MODE_SHIFTER]);
}

TEST_F(SettingsFile, SettingsThatCannotBeSavedKeepTheOldFileWhole)
{
    write_packed(SETTINGS_FILE, bytes_of({1, 2, 3, 4, 0}));
    const std::string old_file = read_file(SETTINGS_FILE);
    load_saved_data();
    settings.sample_volume = 99;

    fs::create_directory(temp_file_of(SETTINGS_FILE));
    save_saved_data();
    EXPECT_EQ(read_file(SETTINGS_FILE), old_file);
    EXPECT_TRUE(fs::is_regular_file("scores0.sav")) << "the score files are written before";

    fs::remove(temp_file_of(SETTINGS_FILE));
    {
        DiskFillsAfter full(6);  // the packed file needs 10 bytes
        save_saved_data();
    }
    EXPECT_EQ(read_file(SETTINGS_FILE), old_file);
    EXPECT_FALSE(fs::exists(temp_file_of(SETTINGS_FILE)));

    save_saved_data();
    EXPECT_EQ(read_packed(SETTINGS_FILE), bytes_of({99, 2, 3, 4, 0}));
}

// Installed (no data/gfx.dat in the working directory), the game saves in
// $XDG_DATA_HOME/zorbl when that is an absolute path, else in
// ~/.local/share/zorbl, ~ from the user database when HOME is unset.
TEST(SaveFolder, AnInstalledGameSavesUnderAnAbsoluteXdgDataHomeElseUnderHome)
{
    start_headless();
    ScratchDir dir;
    const std::string home = dir.path() + "/home", in_home = home + "/.local/share/zorbl/zorbl.sav";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (dir.path() + "/xdg").c_str(), 1);
    choose_data_location();
    EXPECT_EQ(save_path("zorbl.sav"), dir.path() + "/xdg/zorbl/zorbl.sav");
    EXPECT_EQ(fs::status(dir.path() + "/xdg/zorbl").permissions(), fs::perms::owner_all) << "the user's alone";
    // The folder is made on its first use only: from here on it is only named.
    setenv("XDG_DATA_HOME", "xdg", 1);
    choose_data_location();
    EXPECT_EQ(save_path("zorbl.sav"), in_home) << "a relative XDG_DATA_HOME is ignored";
    unsetenv("XDG_DATA_HOME");
    choose_data_location();
    EXPECT_EQ(save_path("zorbl.sav"), in_home) << "XDG_DATA_HOME unset";
    unsetenv("HOME");
    choose_data_location();
    EXPECT_EQ(save_path("zorbl.sav"), std::string(getpwuid(getuid())->pw_dir) + "/.local/share/zorbl/zorbl.sav")
        << "HOME unset";

    // A data folder named in the environment wins over the working
    // directory's archive: the game is then the installed one.
    fs::create_directory("data");
    write_file("data/gfx.dat", "");
    setenv("HOME", home.c_str(), 1);
    setenv("ZORBL_DATA_DIR", (dir.path() + "/unpacked").c_str(), 1);
    choose_data_location();
    EXPECT_EQ(std::string(archive_path()), dir.path() + "/unpacked/gfx.dat") << "ZORBL_DATA_DIR beside data/gfx.dat";
    EXPECT_EQ(save_path("zorbl.sav"), in_home) << "ZORBL_DATA_DIR beside data/gfx.dat";

    // The source folder's ways again, for any test run after this one.
    unsetenv("ZORBL_DATA_DIR");
    choose_data_location();
    EXPECT_EQ(std::string(archive_path()), "data/gfx.dat");
    EXPECT_EQ(save_path("zorbl.sav"), "zorbl.sav");
}
