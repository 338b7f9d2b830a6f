// The desktop icons: four first-theme tiles in a square, as PNG files at every size a menu asks for.
#include "art.h"

#include <cstdio>
#include <string>
#include <vector>

#include "common/catalogue.h"

namespace art {

namespace {

constexpr int ICON_SIZES[] = {16, 32, 48, 64, 128, 256};

uint32_t crc32(const std::vector<uint8_t>& bytes, size_t from) {
    uint32_t crc = 0xffffffffu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out, start));
}

// The pixels as a zlib stream of stored (uncompressed) blocks: the icons are
// small, and this needs no compression library and gives the same bytes on
// every build.
std::vector<uint8_t> stored_zlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n & 0xff));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n & 0xff));
        z.push_back(static_cast<uint8_t>((~n >> 8) & 0xff));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    return z;
}

// An 8-bit paletted PNG in the game's palette; index 0 is transparent, as
// it is for every sprite the game draws.
bool write_png(const std::string& path, BITMAP* b, const PALETTE pal) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(b->w));
    put32(header, static_cast<uint32_t>(b->h));
    header.insert(header.end(), {8, 3, 0, 0, 0});
    chunk(out, "IHDR", header);
    std::vector<uint8_t> colours;
    for (int i = 0; i < 256; ++i)
        for (int v : {pal[i].r, pal[i].g, pal[i].b}) colours.push_back(static_cast<uint8_t>(_rgb_scale_6[v & 63]));
    chunk(out, "PLTE", colours);
    chunk(out, "tRNS", {0});
    std::vector<uint8_t> raw;
    for (int y = 0; y < b->h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < b->w; ++x) raw.push_back(static_cast<uint8_t>(getpixel(b, x, y)));
    }
    chunk(out, "IDAT", stored_zlib(raw));
    chunk(out, "IEND", {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool write_icons(const std::string& dir, const PALETTE pal) {
    // Red, green, blue and yellow: a corner of a board, tiles touching as they lie in play.
    BITMAP* square = blank(2 * TILE_SIZE, 2 * TILE_SIZE);
    for (int i = 0; i < 4; ++i) {
        BITMAP* tile = make_tile(0, i + 1);
        blit(tile, square, 0, 0, (i % 2) * TILE_SIZE, (i / 2) * TILE_SIZE, tile->w, tile->h);
        destroy_bitmap(tile);
    }
    bool ok = true;
    for (int size : ICON_SIZES) {
        BITMAP* icon = blank(size, size);
        stretch_blit(square, icon, 0, 0, square->w, square->h, 0, 0, size, size);
        const std::string path = dir + "/zorbl-" + std::to_string(size) + ".png";
        if (!write_png(path, icon, pal)) {
            std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
            ok = false;
        }
        destroy_bitmap(icon);
    }
    destroy_bitmap(square);
    return ok;
}

}  // namespace art
