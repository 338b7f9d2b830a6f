// zorbl.cfg, the player's choice of window or whole screen: missing,
// hand-edited and damaged files, what a switch writes, where it lies.
#include <allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/stat.h>

#include "common/catalogue.h"
#include "persist/paths.h"
#include "persist/screen_choice.h"
#include "test_env.h"

namespace {

namespace fs = std::filesystem;

// What the game reads from a file holding `text` (null: no file).
ScreenChoice read_from(const char* text, size_t size = std::string::npos)
{
    fs::remove(SCREEN_FILE);
    if (text != nullptr)
        write_file(SCREEN_FILE, size == std::string::npos ? std::string(text) : std::string(text, size));
    return read_screen_choice(SCREEN_FILE);
}

bool is(const ScreenChoice& c, bool fullscreen, int scale) { return c.fullscreen == fullscreen && c.scale == scale; }

}  // namespace

TEST(ScreenFile, MissingHandEditedAndDamagedFilesNeverStopTheGame)
{
    start_headless();
    ScratchDir dir;
    EXPECT_TRUE(is(read_from(nullptr), false, 0)) << "no file: a window of the size that fits";
    EXPECT_FALSE(fs::exists(SCREEN_FILE)) << "reading makes no file";
    const char* edited = "# my note\n  Fullscreen   =  YES  \nbrightness = 11\nscale=3\n[elsewhere]\nscale = 9\n";
    EXPECT_TRUE(is(read_from(edited), true, 3)) << "any case and spacing; unknown keys and sections ignored";
    EXPECT_TRUE(is(read_from("fullscreen = on\nscale = 16\n"), true, 16));
    EXPECT_TRUE(is(read_from("fullscreen = yes\nscale = huge\n"), true, 0)) << "a bad value drops only its key";
    for (const char* bad : {"fullscreen = maybe\nscale = 17\n", "fullscreen\nscale = 0\n", "scale = -2\n",
                            "scale = 3x\n", "scale = 99999999999\n", "", "fullscree"})
        EXPECT_TRUE(is(read_from(bad), false, 0)) << "the defaults from: " << bad;
    EXPECT_TRUE(is(read_from("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe=\n", 20), false, 0)) << "binary bytes";
    const std::string huge = std::string(100000, '=') + "\n" + std::string(70000, 'x');
    EXPECT_TRUE(is(read_from(huge.c_str()), false, 0)) << "one enormous line";

    // Not a file: a folder, and a pipe, which would block a reader until
    // something wrote to it. Neither is read nor written.
    fs::create_directory("folder.cfg");
    EXPECT_TRUE(is(read_screen_choice("folder.cfg"), false, 0));
    write_fullscreen_choice("folder.cfg", true);
    EXPECT_TRUE(fs::is_directory("folder.cfg"));
    ASSERT_EQ(mkfifo("pipe.cfg", 0600), 0);
    EXPECT_TRUE(is(read_screen_choice("pipe.cfg"), false, 0));

    // A switch writes its key and keeps every other line.
    read_from(edited);
    write_fullscreen_choice(SCREEN_FILE, false);
    const std::string kept = read_file(SCREEN_FILE);
    EXPECT_NE(kept.find("# my note"), std::string::npos) << kept;
    EXPECT_NE(kept.find("brightness = 11"), std::string::npos) << kept;
    EXPECT_TRUE(is(read_screen_choice(SCREEN_FILE), false, 3)) << kept;
}

TEST(ScreenFile, AFirstSwitchWritesPlainTextWhereTheGameKeepsItAndThePasswordComesBack)
{
    start_headless();
    ScratchDir dir;
    write_fullscreen_choice(SCREEN_FILE, true);
    EXPECT_EQ(read_file(SCREEN_FILE), "fullscreen = yes\nscale = auto\n") << "plain text, both keys there to edit";
    // The packfile layer enciphers again: this does not open without the password.
    PACKFILE* out = pack_fopen("after.sav", "wp");
    ASSERT_NE(out, nullptr);
    pack_fputs("after", out);
    pack_fclose(out);
    packfile_password(nullptr);
    EXPECT_EQ(pack_fopen("after.sav", "rp"), nullptr) << "written under the game's password";
    packfile_password(PACKFILE_PASSWORD);

    // From the source folder beside the saves; installed, under an absolute
    // $XDG_CONFIG_HOME, else ~/.config, the folder made only when written.
    fs::create_directory("data");
    write_file("data/gfx.dat", "");
    choose_data_location();
    EXPECT_EQ(config_path(SCREEN_FILE), "zorbl.cfg");
    fs::remove_all("data");
    setenv("HOME", (dir.path() + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir.path() + "/xdg").c_str(), 1);
    choose_data_location();
    EXPECT_EQ(config_path(SCREEN_FILE), dir.path() + "/xdg/zorbl/zorbl.cfg");
    EXPECT_FALSE(fs::exists(dir.path() + "/xdg")) << "naming the file makes no folder";
    ASSERT_TRUE(make_config_folder());
    EXPECT_EQ(fs::status(dir.path() + "/xdg/zorbl").permissions(), fs::perms::owner_all) << "the user's alone";
    setenv("XDG_CONFIG_HOME", "xdg", 1);
    EXPECT_EQ(config_path(SCREEN_FILE), dir.path() + "/home/.config/zorbl/zorbl.cfg") << "relative: ignored";
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    // The source folder's ways again, for any test run after this one.
    fs::create_directory("data");
    write_file("data/gfx.dat", "");
    choose_data_location();
}
