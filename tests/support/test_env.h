// Shared ground for the unit tests: the library started without a window,
// the built archive loaded, the game's bitmaps and colour tables made.
#pragma once
#include <string>

#include "common/catalogue.h"

#include <sys/resource.h>

// Starts the library with no system driver (memory bitmaps, packfiles,
// fixed-point maths) and sets the packfile password. Safe to call repeatedly.
void start_headless();

// start_headless, then loads the built archive, the bitmaps and the colour
// tables as start-up does, with the game palette selected.
void start_headless_with_archive();

// start_headless_with_archive, then the default settings with animations
// on, the pointer parked off the board, and the background built.
void start_scene();
// Puts the scripted pointer back to the real mouse.
void end_scene();

// A fresh empty directory that becomes the working directory until the
// returned guard's scope ends.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
private:
    std::string path_;
    std::string previous_;
};

std::string read_file(const std::string& path);
// Writes bytes as the packfile layer's packed form under the given password
// (null: none), then puts the game's password back.
void write_packed(const char* name, const std::string& bytes, const char* password = PACKFILE_PASSWORD);
void write_file(const std::string& path, const std::string& bytes);
// The temporary file this process's save of a file goes through.
std::string temp_file_of(const std::string& name);

// Within its scope no file may grow past the given size, as on a disk that
// has just filled up: the write fails part-way through.
class DiskFillsAfter {
public:
    explicit DiskFillsAfter(rlim_t bytes);
    ~DiskFillsAfter() { setrlimit(RLIMIT_FSIZE, &previous_); }
    DiskFillsAfter(const DiskFillsAfter&) = delete;
    DiskFillsAfter& operator=(const DiskFillsAfter&) = delete;
private:
    rlimit previous_{};
};
