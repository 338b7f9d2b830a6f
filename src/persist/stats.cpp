// The statistics and their file, "stats.sav".
#include "persist/stats.h"


#include "persist/paths.h"
#include "persist/save_file.h"

Statistics statistics;

namespace {

// Layout: the magic word, the version, then for each mode and for unassisted
// then assisted games: games, cleared, the total (two words, low first),
// best, the count and ring position of the recent scores and the ten
// recent scores; last, the checksum. Numbers little-endian.
constexpr char MAGIC[4] = {'Z', 'R', 'B', 'S'};
constexpr uint8_t VERSION = 1;
constexpr size_t RECORD_BYTES = 4 * 5 + 2 + 4 * RECENT_GAMES;
constexpr size_t BODY_BYTES = SAVE_HEADER_BYTES + MODE_COUNT * 2 * RECORD_BYTES;

template <class Visit>
void each_record(Visit visit)
{
    for (auto& mode : statistics.played)
        for (ModeStatistics& record : mode)
            visit(record);
}

std::string file_path() { return save_path(STATISTICS_FILE); }

} // namespace

uint32_t average_score(const ModeStatistics& s) { return s.games == 0 ? 0 : uint32_t(s.total / s.games); }

uint32_t recent_average(const ModeStatistics& s)
{
    uint64_t sum = 0;
    for (int i = 0; i < s.recent_count; ++i)
        sum += s.recent[i];
    return s.recent_count == 0 ? 0 : uint32_t(sum / s.recent_count);
}

std::string encode_statistics()
{
    std::string out = save_header(MAGIC, VERSION);
    each_record([&out](const ModeStatistics& r) {
        put_le32(out, r.games);
        put_le32(out, r.cleared);
        put_le32(out, uint32_t(r.total));
        put_le32(out, uint32_t(r.total >> 32));
        put_le32(out, r.best);
        out += char(r.recent_count);
        out += char(r.recent_next);
        for (uint32_t score : r.recent)
            put_le32(out, score);
    });
    seal_save(out);
    return out;
}

bool decode_statistics(const std::string& bytes)
{
    const unsigned char* at = sealed_body(bytes, MAGIC, VERSION, BODY_BYTES);
    if (at == nullptr)
        return false;
    Statistics loaded{};
    bool sound = true;
    for (auto& mode : loaded.played) {
        for (ModeStatistics& r : mode) {
            r.games = get_le32(at);
            r.cleared = get_le32(at + 4);
            r.total = get_le32(at + 8) | uint64_t(get_le32(at + 12)) << 32;
            r.best = get_le32(at + 16);
            r.recent_count = at[20];
            r.recent_next = at[21];
            for (int i = 0; i < RECENT_GAMES; ++i)
                r.recent[i] = get_le32(at + 22 + 4 * i);
            at += RECORD_BYTES;
            sound = sound && r.cleared <= r.games && r.recent_count <= RECENT_GAMES && r.recent_count <= r.games
                    && r.recent_next < RECENT_GAMES;
        }
    }
    if (!sound)
        return false;
    statistics = loaded;
    return true;
}

void load_statistics()
{
    std::string bytes;
    if (!read_packed_file(file_path().c_str(), bytes, BODY_BYTES + 4) || !decode_statistics(bytes))
        statistics = Statistics{};
}

void record_finished_game(int mode, uint32_t score, bool cleared, bool assisted)
{
    if (mode < 0 || mode >= MODE_COUNT)
        return;
    ModeStatistics& r = statistics.played[mode][assisted ? 1 : 0];
    ++r.games;
    r.cleared += cleared ? 1 : 0;
    r.total += score;
    if (score > r.best)
        r.best = score;
    r.recent[r.recent_next] = score;
    r.recent_next = uint8_t((r.recent_next + 1) % RECENT_GAMES);
    if (r.recent_count < RECENT_GAMES)
        ++r.recent_count;
    const std::string bytes = encode_statistics();
    save_packed_file(file_path().c_str(), bytes.data(), long(bytes.size()));
}
