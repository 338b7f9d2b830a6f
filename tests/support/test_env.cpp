// Shared ground for the unit tests.
#include "test_env.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "persist/settings.h"
#include "shell/archive.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/shell.h"
#include "ui/options.h"

void start_headless()
{
    static bool started = false;
    if (!started) {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
            std::abort();
        set_color_depth(8);
        started = true;
    }
    packfile_password(PACKFILE_PASSWORD);
}

void start_headless_with_archive()
{
    start_headless();
    if (Datafile == nullptr) {
        Datafile = load_archive(ZORBL_ARCHIVE);
        ASSERT_NE(Datafile, nullptr) << "the built archive must load: " << ZORBL_ARCHIVE;
        BackBuffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
        BackgroundBitmap = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
        BannerBitmap = create_bitmap(200, 50);
        build_colour_tables();
        create_option_buttons();
    }
    select_palette(game_palette());
}

namespace {
PointerState off_board() { return {300, 230, 0}; }
} // namespace

void start_scene()
{
    start_headless_with_archive();
    settings = Settings{0, 0, MODE_TRADITIONAL, THEME_ORIGINAL, 1};
    set_pointer_source(off_board);
    build_background();
}

void end_scene() { set_pointer_source(nullptr); }

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/zorbl-test-XXXXXX";
    path_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir()
{
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string temp_file_of(const std::string& name)
{
    return name + "." + std::to_string(getpid()) + ".tmp";
}

void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

DiskFillsAfter::DiskFillsAfter(rlim_t bytes)
{
    // Writes past the limit fail instead of stopping the process.
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

void write_packed(const char* name, const std::string& bytes, const char* password)
{
    packfile_password(password);
    PACKFILE* out = pack_fopen(name, "wp");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(pack_fwrite(bytes.data(), static_cast<long>(bytes.size()), out), static_cast<long>(bytes.size()));
    pack_fclose(out);
    packfile_password(PACKFILE_PASSWORD);
}
