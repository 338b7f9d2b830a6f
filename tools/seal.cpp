// make_assets --seal RAW_DAT OUT_DAT PASSWORD
//
// The dat tool leaves the unused fourth byte of some palette entries
// holding whatever was on its stack, so two packings of the same assets
// differ. pack_archive.sh therefore has dat write a plain archive (no
// compression, no password); this step clears those bytes and writes the
// archive compressed and enciphered, exactly as dat would with -c2 and the
// password: the packed magic, then the whole datafile body through one
// packed packfile.
#include "art.h"

#include <cstdio>
#include <vector>

namespace art {

namespace {

uint32_t be32(const std::vector<uint8_t>& v, size_t at) {
    return (uint32_t(v[at]) << 24) | (uint32_t(v[at + 1]) << 16) | (uint32_t(v[at + 2]) << 8) | uint32_t(v[at + 3]);
}

}  // namespace

int seal_archive(const char* raw_path, const char* out_path, const char* password) {
    std::vector<uint8_t> v;
    FILE* f = std::fopen(raw_path, "rb");
    if (!f) {
        std::fprintf(stderr, "seal: cannot read %s\n", raw_path);
        return 1;
    }
    int c;
    while ((c = std::fgetc(f)) != EOF) v.push_back(static_cast<uint8_t>(c));
    std::fclose(f);

    // plain datafile: "slh." magic, "ALL.", object count, then objects
    // ("PAL ", packed size, unpacked size, data) when properties are stripped
    const uint32_t NOPACK_MAGIC = 0x736C682EU, ALL = 0x414C4C2EU, PAL = 0x50414C20U;
    if (v.size() < 24 + 1024 || be32(v, 0) != NOPACK_MAGIC || be32(v, 4) != ALL) {
        std::fprintf(stderr, "seal: %s is not a plain datafile\n", raw_path);
        return 1;
    }
    if (be32(v, 12) != PAL || be32(v, 16) != 1024 || be32(v, 20) != 1024) {
        std::fprintf(stderr, "seal: object 0 of %s is not a bare palette\n", raw_path);
        return 1;
    }
    for (size_t i = 0; i < 256; ++i) v[24 + i * 4 + 3] = 0;

    packfile_password(password);
    PACKFILE* p = pack_fopen(out_path, F_WRITE_PACKED);
    if (!p) {
        packfile_password(nullptr);
        std::fprintf(stderr, "seal: cannot write %s\n", out_path);
        return 1;
    }
    long body = static_cast<long>(v.size() - 4);
    bool ok = pack_fwrite(v.data() + 4, body, p) == body;
    ok = pack_fclose(p) == 0 && ok;
    packfile_password(nullptr);
    if (!ok) {
        std::fprintf(stderr, "seal: error writing %s\n", out_path);
        return 1;
    }
    return 0;
}

}  // namespace art
