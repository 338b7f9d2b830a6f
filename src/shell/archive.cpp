// Loading the archive without trusting it. The library's own loader follows
// whatever sizes a file claims and crashes on a truncated one, so the whole
// byte stream is walked here first, object by object, and only a file whose
// every object is whole and self-consistent is handed to load_datafile.
// After loading, every catalogue index must hold its type and fixed size.
#include "shell/archive.h"

#include <cstdint>
#include <vector>

#include "common/catalogue.h"

namespace {

// A bound well above any archive of ours: anything larger is not ours.
constexpr size_t MAX_ARCHIVE_BYTES = 16u << 20;
constexpr int MAX_NESTING = 4;
constexpr int MAX_OBJECTS = 4096;
constexpr int MAX_SPRITE_SIDE = 4096;

// Big-endian reads over a bounded span; any read past the end fails the walk.
struct Cursor {
    const unsigned char* at;
    const unsigned char* end;
    bool ok = true;

    size_t left() const { return static_cast<size_t>(end - at); }

    bool skip(size_t n)
    {
        if (!ok || n > left())
            return ok = false;
        at += n;
        return true;
    }

    int32_t long_be()
    {
        if (!ok || left() < 4) {
            ok = false;
            return 0;
        }
        const uint32_t v = (uint32_t(at[0]) << 24) | (uint32_t(at[1]) << 16) | (uint32_t(at[2]) << 8) | at[3];
        at += 4;
        return static_cast<int32_t>(v);
    }

    int word_be()
    {
        if (!ok || left() < 2) {
            ok = false;
            return 0;
        }
        const int v = static_cast<int16_t>((at[0] << 8) | at[1]);
        at += 2;
        return v;
    }

    int byte()
    {
        if (!ok || left() < 1) {
            ok = false;
            return 0;
        }
        return *at++;
    }
};

bool sane_side(int side) { return side > 0 && side <= MAX_SPRITE_SIDE; }

bool bitmap_valid(Cursor& c)
{
    const int bits = c.word_be();
    const int w = c.word_be();
    const int h = c.word_be();
    return c.ok && bits == 8 && sane_side(w) && sane_side(h) && c.skip(size_t(w) * size_t(h));
}

// An 8-bit run-length sprite: per row, runs of n > 0 solid pixels (n bytes
// follow) or n < 0 skipped pixels, ended by 0; each row must cover the width
// exactly, or drawing it would write outside the sprite's bounds.
bool rle_valid(Cursor& c)
{
    const int bits = c.word_be();
    const int w = c.word_be();
    const int h = c.word_be();
    const int32_t size = c.long_be();
    if (!c.ok || bits != 8 || !sane_side(w) || !sane_side(h) || size < 0 || size_t(size) > c.left())
        return false;
    Cursor runs{c.at, c.at + size};
    for (int row = 0; row < h; ++row) {
        int covered = 0;
        for (;;) {
            const int n = static_cast<int8_t>(runs.byte());
            if (!runs.ok)
                return false;
            if (n == 0)
                break;
            covered += n > 0 ? n : -n;
            if (covered > w || (n > 0 && !runs.skip(size_t(n))))
                return false;
        }
        if (covered != w)
            return false;
    }
    return runs.left() == 0 && c.skip(size_t(size));
}

// 256 entries of red, green, blue and a filler byte. The library indexes a
// 64-entry table with each component, so nothing above 63 may pass.
bool palette_valid(Cursor& c)
{
    for (int entry = 0; entry < PAL_SIZE; ++entry) {
        const int r = c.byte();
        const int g = c.byte();
        const int b = c.byte();
        c.byte();
        if (r > 63 || g > 63 || b > 63)
            return false;
    }
    return c.ok;
}

bool sample_valid(Cursor& c)
{
    int bits = c.word_be();
    int channels = 1;
    if (bits < 0) {
        bits = -bits;
        channels = 2;
    }
    c.word_be();  // frequency: any value plays
    const int32_t length = c.long_be();
    if (!c.ok || (bits != 8 && bits != 16) || length < 0)
        return false;
    return c.skip(size_t(length) * size_t(channels) * size_t(bits / 8));
}

uint32_t varlen(Cursor& c)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        const int b = c.byte();
        v = (v << 7) | uint32_t(b & 0x7F);
        if (!(b & 0x80))
            return v;
    }
    c.ok = false;
    return 0;
}

// Every event of a track must lie inside it: the player reads events as it
// goes and would run past a track that lies about its length.
bool midi_track_valid(Cursor track)
{
    int running = 0;
    while (track.left() > 0) {
        varlen(track);
        int status = track.byte();
        if (!track.ok)
            return false;
        if (status < 0x80) {
            if (running == 0)
                return false;
            --track.at;  // running status: this byte is data
            status = running;
        }
        if (status == 0xFF) {
            track.byte();
            if (!track.skip(varlen(track)))
                return false;
        } else if (status == 0xF0 || status == 0xF7) {
            if (!track.skip(varlen(track)))
                return false;
        } else if (status >= 0xF0) {
            return false;
        } else {
            running = status;
            const int kind = status & 0xF0;
            if (!track.skip(kind == 0xC0 || kind == 0xD0 ? 1 : 2))
                return false;
        }
    }
    return track.ok;
}

bool midi_valid(Cursor& c)
{
    c.word_be();  // divisions
    for (int t = 0; t < MIDI_TRACKS; ++t) {
        const int32_t len = c.long_be();
        if (!c.ok || len < 0 || size_t(len) > c.left())
            return false;
        if (!midi_track_valid(Cursor{c.at, c.at + len}))
            return false;
        c.skip(size_t(len));
    }
    return c.ok;
}

bool font_valid(Cursor& c)
{
    // Only the current font format (a zero word, then ranges) is accepted.
    if (c.word_be() != 0)
        return false;
    const int ranges = c.word_be();
    if (!c.ok || ranges <= 0 || ranges > 256)
        return false;
    for (int r = 0; r < ranges; ++r) {
        const int mono = c.byte();
        const int32_t begin = c.long_be();
        const int32_t end = c.long_be();
        if (!c.ok || begin < 0 || end < begin || end - begin > 0x10000)
            return false;
        for (int32_t glyph = begin; glyph <= end; ++glyph) {
            const int w = c.word_be();
            const int h = c.word_be();
            if (!c.ok || w < 0 || h < 0 || w > MAX_SPRITE_SIDE || h > MAX_SPRITE_SIDE)
                return false;
            const size_t bytes = mono ? size_t((w + 7) / 8) * size_t(h) : size_t(w) * size_t(h);
            if (!c.skip(bytes))
                return false;
        }
    }
    return true;
}

bool objects_valid(Cursor& c, int depth);

bool object_valid(Cursor& c, int32_t type, int depth)
{
    // Every object sits in a chunk: size on disk, then size unpacked. Our
    // archive is packed as a whole, so its chunks are stored plain.
    const int32_t stored = c.long_be();
    const int32_t unpacked = c.long_be();
    if (!c.ok || stored < 0 || stored != unpacked || size_t(stored) > c.left())
        return false;
    Cursor body{c.at, c.at + stored};
    bool valid;
    switch (type) {
    case DAT_FILE:
        valid = depth < MAX_NESTING && body.long_be() == DAT_MAGIC && objects_valid(body, depth + 1);
        break;
    case DAT_BITMAP:
        valid = bitmap_valid(body);
        break;
    case DAT_RLE_SPRITE:
        valid = rle_valid(body);
        break;
    case DAT_PALETTE:
        valid = palette_valid(body);
        break;
    case DAT_SAMPLE:
        valid = sample_valid(body);
        break;
    case DAT_MIDI:
        valid = midi_valid(body);
        break;
    case DAT_FONT:
        valid = font_valid(body);
        break;
    case DAT_DATA:
        valid = true;
        body.at = body.end;
        break;
    default:
        // Other kinds (compiled sprites, FLI, patches) are never in our archive.
        valid = false;
        break;
    }
    // The object must fill its chunk exactly.
    return valid && body.ok && body.left() == 0 && c.skip(size_t(stored));
}

bool objects_valid(Cursor& c, int depth)
{
    const int32_t count = c.long_be();
    if (!c.ok || count < 0 || count > MAX_OBJECTS)
        return false;
    for (int32_t n = 0; n < count;) {
        const int32_t type = c.long_be();
        if (!c.ok)
            return false;
        if (type == DAT_PROPERTY) {
            c.long_be();  // property kind
            const int32_t size = c.long_be();
            if (!c.ok || size < 0 || !c.skip(size_t(size)))
                return false;
            continue;
        }
        if (!object_valid(c, type, depth))
            return false;
        ++n;
    }
    return true;
}

struct Expected {
    int first, last;
    int type;
};

constexpr Expected CATALOGUE_TYPES[] = {
    {OBJ_PALETTE, OBJ_PALETTE, DAT_PALETTE},
    {OBJ_TILE_FIRST, OBJ_SIDE_HOVER, DAT_BITMAP},
    {OBJ_INTRO_1, OBJ_GAME_OVER_PANEL, DAT_BITMAP},
    {OBJ_MUSIC, OBJ_MUSIC, DAT_MIDI},
    {OBJ_FONT, OBJ_FONT, DAT_FONT},
    {OBJ_DIGIT_0, OBJ_POINTER, DAT_BITMAP},
    {OBJ_INTRO_2, OBJ_INTRO_2, DAT_BITMAP},
    {OBJ_SND_CLICK, OBJ_SND_EXPLOSION, DAT_SAMPLE},
    {OBJ_LABEL_SCORE, OBJ_LABEL_MODE, DAT_BITMAP},
    {OBJ_LABEL_NEW_GAME, OBJ_LABEL_NEW_GAME, DAT_BITMAP},
    {OBJ_LABEL_OPTIONS, OBJ_LABEL_QUIT, DAT_RLE_SPRITE},
    {OBJ_LOGO, OBJ_LOGO, DAT_BITMAP},
};

} // namespace

bool archive_bytes_valid(const unsigned char* bytes, size_t size)
{
    Cursor c{bytes, bytes + size};
    return c.long_be() == DAT_MAGIC && objects_valid(c, 0) && c.left() == 0;
}

bool archive_file_valid(const char* path)
{
    PACKFILE* f = pack_fopen(path, F_READ_PACKED);
    if (f == nullptr)
        return false;
    std::vector<unsigned char> bytes;
    unsigned char block[16384];
    bool too_big = false;
    for (;;) {
        const long got = pack_fread(block, sizeof block, f);
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), block, block + got);
        if (bytes.size() > MAX_ARCHIVE_BYTES) {
            too_big = true;
            break;
        }
    }
    pack_fclose(f);
    return !too_big && archive_bytes_valid(bytes.data(), bytes.size());
}

bool archive_catalogue_valid(const DATAFILE* data)
{
    for (int i = 0; i < OBJ_COUNT; ++i) {
        if (data[i].type == DAT_END || data[i].dat == nullptr)
            return false;
    }
    for (const Expected& e : CATALOGUE_TYPES) {
        for (int i = e.first; i <= e.last; ++i) {
            if (data[i].type != e.type)
                return false;
        }
    }
    auto bitmap = [data](int i) { return static_cast<const BITMAP*>(data[i].dat); };
    for (int i = OBJ_TILE_FIRST; i <= OBJ_TILE_LAST; ++i) {
        if (bitmap(i)->w != TILE_SIZE || bitmap(i)->h != TILE_SIZE)
            return false;
    }
    // Five digits side by side must fit the 200 x 50 banner.
    for (int i = OBJ_DIGIT_0; i <= OBJ_DIGIT_9; ++i) {
        if (bitmap(i)->h > DIGIT_MAX_HEIGHT || bitmap(i)->w > 40)
            return false;
    }
    if (bitmap(OBJ_BACKGROUND)->w < SCREEN_WIDTH || bitmap(OBJ_BACKGROUND)->h < SCREEN_HEIGHT)
        return false;
    return true;
}

DATAFILE* load_archive(const char* path)
{
    if (!archive_file_valid(path))
        return nullptr;
    DATAFILE* data = load_datafile(path);
    if (data == nullptr)
        return nullptr;
    if (!archive_catalogue_valid(data)) {
        unload_datafile(data);
        return nullptr;
    }
    return data;
}
