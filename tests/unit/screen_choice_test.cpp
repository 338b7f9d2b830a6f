// zorbl.cfg, the player's choice of window or whole screen: missing,
// hand-edited and damaged files, what a switch writes, and where an
// installed game keeps it.
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

class ScreenFile : public ::testing::Test {
protected:
    void SetUp() override { start_headless(); }
    ScratchDir dir;
};

void expect_choice(const ScreenChoice& choice, bool fullscreen, int scale, const std::string& file)
{
    EXPECT_EQ(choice.fullscreen, fullscreen) << "fullscreen, from a file holding:\n" << file;
    EXPECT_EQ(choice.scale, scale) << "scale, from a file holding:\n" << file;
}

}  // namespace

TEST_F(ScreenFile, NoFileGivesAWindowOfTheLargestScaleThatFits)
{
    expect_choice(read_screen_choice(SCREEN_FILE), false, 0, "(no file)");
    EXPECT_FALSE(fs::exists(SCREEN_FILE)) << "reading makes no file";
}

TEST_F(ScreenFile, AHandEditedFileIsReadKeyByKeyAndUnknownKeysAreIgnored)
{
    const std::string edited = "# my own note\n  Fullscreen   =  YES  \nbrightness = 11\nscale=3\n"
                               "[elsewhere]\nscale = 9\n";
    write_file(SCREEN_FILE, edited);
    expect_choice(read_screen_choice(SCREEN_FILE), true, 3, edited);
    for (const auto& [text, fullscreen, scale] :
         {std::tuple{"fullscreen = on\nscale = auto\n", true, 0}, std::tuple{"fullscreen=false\nscale=16\n", false, 16},
          std::tuple{"fullscreen = 1\nscale = 01\n", true, 1}, std::tuple{"scale = 2\n", false, 2}}) {
        write_file(SCREEN_FILE, text);
        expect_choice(read_screen_choice(SCREEN_FILE), fullscreen, scale, text);
    }

    // A switch writes its key and leaves every other line as it was.
    write_file(SCREEN_FILE, edited);
    write_fullscreen_choice(SCREEN_FILE, false);
    const std::string written = read_file(SCREEN_FILE);
    EXPECT_NE(written.find("# my own note"), std::string::npos) << written;
    EXPECT_NE(written.find("brightness = 11"), std::string::npos) << written;
    expect_choice(read_screen_choice(SCREEN_FILE), false, 3, written);
}

TEST_F(ScreenFile, BadValuesAndDamagedFilesFallBackToTheDefaults)
{
    for (const std::string& text :
         {std::string("fullscreen = maybe\nscale = 17\n"), std::string("fullscreen =\nscale = 0\n"),
          std::string("fullscreen\nscale = -2\n"), std::string("scale = 3x\n"), std::string("scale = 99999999999999\n"),
          std::string(""), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe=\n", 20),
          std::string("fullscreen = yes").substr(0, 13), std::string(100000, '=') + "\n" + std::string(70000, 'x')}) {
        write_file(SCREEN_FILE, text);
        expect_choice(read_screen_choice(SCREEN_FILE), false, 0, text.substr(0, 60));
    }
    // Only a bad value is dropped: the good key beside it still counts.
    write_file(SCREEN_FILE, "fullscreen = yes\nscale = huge\n");
    expect_choice(read_screen_choice(SCREEN_FILE), true, 0, "fullscreen = yes, scale = huge");

    // Not a file at all: a folder, and a pipe, which would block a reader
    // until something wrote to it.
    fs::create_directory("folder.cfg");
    expect_choice(read_screen_choice("folder.cfg"), false, 0, "(a folder)");
    write_fullscreen_choice("folder.cfg", true);
    EXPECT_TRUE(fs::is_directory("folder.cfg"));
    ASSERT_EQ(mkfifo("pipe.cfg", 0600), 0);
    expect_choice(read_screen_choice("pipe.cfg"), false, 0, "(a named pipe)");
}

TEST_F(ScreenFile, AFirstSwitchWritesAPlainTextFileAndThePasswordComesBack)
{
    write_fullscreen_choice(SCREEN_FILE, true);
    EXPECT_EQ(read_file(SCREEN_FILE), "fullscreen = yes\nscale = auto\n") << "plain text, both keys there to edit";
    expect_choice(read_screen_choice(SCREEN_FILE), true, 0, read_file(SCREEN_FILE));

    // The packfile layer enciphers again afterwards: a packed file written
    // now does not open without the game's password.
    PACKFILE* out = pack_fopen("after.sav", "wp");
    ASSERT_NE(out, nullptr);
    pack_fputs("after", out);
    pack_fclose(out);
    packfile_password(nullptr);
    EXPECT_EQ(pack_fopen("after.sav", "rp"), nullptr) << "written under the game's password";
    packfile_password(PACKFILE_PASSWORD);
}

// From the source folder the file lies beside the saves; installed, in
// $XDG_CONFIG_HOME/zorbl when that is absolute, else ~/.config/zorbl.
TEST(ScreenFilePlace, AnInstalledGameKeepsItUnderXdgConfigHomeElseUnderHome)
{
    start_headless();
    ScratchDir dir;
    fs::create_directory("data");
    write_file("data/gfx.dat", "");
    choose_data_location();
    EXPECT_EQ(config_path(SCREEN_FILE), "zorbl.cfg");
    fs::remove_all("data");

    const std::string home = dir.path() + "/home";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir.path() + "/xdg").c_str(), 1);
    choose_data_location();
    EXPECT_EQ(config_path(SCREEN_FILE), dir.path() + "/xdg/zorbl/zorbl.cfg");
    EXPECT_FALSE(fs::exists(dir.path() + "/xdg")) << "naming the file makes no folder";
    ASSERT_TRUE(make_config_folder());
    EXPECT_EQ(fs::status(dir.path() + "/xdg/zorbl").permissions(), fs::perms::owner_all) << "the user's alone";
    setenv("XDG_CONFIG_HOME", "xdg", 1);
    EXPECT_EQ(config_path(SCREEN_FILE), home + "/.config/zorbl/zorbl.cfg") << "a relative XDG_CONFIG_HOME is ignored";
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(config_path(SCREEN_FILE), home + "/.config/zorbl/zorbl.cfg") << "XDG_CONFIG_HOME unset";
    unsetenv("HOME");

    // The source folder's ways again, for any test run after this one.
    fs::create_directory("data");
    write_file("data/gfx.dat", "");
    choose_data_location();
}
