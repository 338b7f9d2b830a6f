// Test tool: writes the given bytes as a packed file under the game's
// password, exactly as the game saves its settings and score tables, so
// that an end-to-end test can plant save files without going through the game.
// Usage: write_packed FILE BYTE... (each 0..255)
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/catalogue.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE BYTE...\n", argv[0]);
        return 2;
    }
    std::vector<unsigned char> bytes;
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long value = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || value < 0 || value > 255) {
            std::fprintf(stderr, "%s: not a byte: %s\n", argv[0], argv[i]);
            return 2;
        }
        bytes.push_back(static_cast<unsigned char>(value));
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    packfile_password(PACKFILE_PASSWORD);
    PACKFILE* out = pack_fopen(argv[1], "wp");
    if (out == nullptr) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    const long written = pack_fwrite(bytes.data(), static_cast<long>(bytes.size()), out);
    if (pack_fclose(out) != 0 || written != static_cast<long>(bytes.size())) {
        std::fprintf(stderr, "%s: failed writing %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
