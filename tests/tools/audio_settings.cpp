// Test tool: writes a settings file the game reads at start-up, so that an
// end-to-end test can choose the volumes without going through the options
// screen. The bytes go through the packfile layer ("wp") under the game's
// password, exactly as the game saves them.
// Usage: audio_settings FILE SAMPLE_VOLUME MUSIC_VOLUME [MODE THEME ANIMATIONS]
// (each 0..255; the last three default to 0 0 1).
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "shell/catalogue.h"

namespace {

bool parse_byte(const char* text, unsigned char& out)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 255)
        return false;
    out = static_cast<unsigned char>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 7) {
        std::fprintf(stderr, "usage: %s FILE SAMPLE_VOLUME MUSIC_VOLUME [MODE THEME ANIMATIONS]\n", argv[0]);
        return 2;
    }
    unsigned char bytes[5] = {0, 0, 0, 0, 1};
    for (int i = 2; i < argc; ++i) {
        if (!parse_byte(argv[i], bytes[i - 2])) {
            std::fprintf(stderr, "%s: not a byte: %s\n", argv[0], argv[i]);
            return 2;
        }
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    packfile_password(PACKFILE_PASSWORD);
    PACKFILE* out = pack_fopen(argv[1], "wp");
    if (out == nullptr) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    const long written = pack_fwrite(bytes, sizeof bytes, out);
    const int closed = pack_fclose(out);
    if (written != static_cast<long>(sizeof bytes) || closed != 0) {
        std::fprintf(stderr, "%s: failed writing %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
