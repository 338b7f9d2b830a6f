// Feeds arbitrary bytes to the archive check, as the datafile stream the
// packfile layer yields and as a whole enciphered file on disk. Whatever
// the check lets through must load without harm, and must hold what the
// check promised: the library's loader is the thing that would crash.
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <algorithm>

#include <unistd.h>

#include "common/catalogue.h"
#include "shell/archive.h"

namespace {

const char* scratch_file()
{
    static char path[256] = "";
    if (path[0] == '\0') {
        const char* dir = std::getenv("ZORBL_FUZZ_SCRATCH");
        std::snprintf(path, sizeof path, "%s/archive-%d.dat", dir != nullptr ? dir : "/tmp", getpid());
    }
    return path;
}

// The bytes as the content of an archive file: the datafile magic is what
// load_datafile reads first through the packfile layer.
void write_archive(const uint8_t* data, size_t size)
{
    PACKFILE* out = pack_fopen(scratch_file(), "wp");
    if (out == nullptr)
        std::abort();
    pack_mputl(DAT_MAGIC, out);
    if (size > 0)
        pack_fwrite(data, static_cast<long>(size), out);
    pack_fclose(out);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        std::abort();
    set_color_depth(8);
    packfile_password(PACKFILE_PASSWORD);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The stream after the magic, as the check walks it.
    std::vector<uint8_t> stream(4 + size);
    stream[0] = 'A', stream[1] = 'L', stream[2] = 'L', stream[3] = '.';
    std::copy(data, data + size, stream.begin() + 4);
    const bool valid = archive_bytes_valid(stream.data(), stream.size());

    write_archive(data, size);
    if (archive_file_valid(scratch_file()) != valid)
        std::abort();  // the file check must see exactly the stream's verdict
    if (valid) {
        DATAFILE* loaded = load_datafile(scratch_file());
        if (loaded == nullptr)
            std::abort();  // a stream the check accepts must load
        unload_datafile(loaded);
    }
    DATAFILE* game = load_archive(scratch_file());
    if (game != nullptr)
        unload_datafile(game);
    unlink(scratch_file());
    return 0;
}
