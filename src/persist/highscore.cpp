// The ten-row high-score tables, one per game mode, and their files.
#include "persist/highscore.h"

#include <allegro.h>

#include <algorithm>
#include <cstring>

#include "persist/save_file.h"

std::array<HighScoreTable*, MODE_COUNT> highscore_tables{};

namespace {

constexpr uint32_t REPLACE_BOUND = 10000000;  // rows at or above it are never replaced
constexpr int NAME_BYTES = sizeof(HighScoreEntry::name);
constexpr int ROW_BYTES = 16;
constexpr int TABLE_BYTES = ROW_BYTES * HIGHSCORE_ROWS;
constexpr int SCORE_OFFSET = 12;

// The file layout is fixed (little-endian score at offset 12 of each row),
// whatever the host's byte order.
void encode_table(const HighScoreTable& table, unsigned char* out)
{
    for (const HighScoreEntry& row : table) {
        std::memcpy(out, row.name, NAME_BYTES);
        out[NAME_BYTES] = row.padding;
        for (int i = 0; i < 4; ++i)
            out[SCORE_OFFSET + i] = static_cast<unsigned char>(row.score >> (8 * i));
        out += ROW_BYTES;
    }
}

// A name without a zero byte in its 11 bytes is cut to its first 10
// characters, so every reader of a loaded name finds its end within the row.
void decode_table(const unsigned char* in, HighScoreTable& table)
{
    for (HighScoreEntry& row : table) {
        std::memcpy(row.name, in, NAME_BYTES);
        row.name[NAME_BYTES - 1] = '\0';
        row.padding = in[NAME_BYTES];
        row.score = 0;
        for (int i = 0; i < 4; ++i)
            row.score |= static_cast<uint32_t>(in[SCORE_OFFSET + i]) << (8 * i);
        in += ROW_BYTES;
    }
}

}  // namespace

HighScoreTable* highscore_table_new()
{
    return new HighScoreTable{};
}

bool highscore_qualifies(const HighScoreTable& table, const HighScoreEntry& entry)
{
    for (const HighScoreEntry& row : table) {
        if (row.score <= entry.score)
            return true;
    }
    return false;
}

// Among rows tied for the lowest score the uppermost is taken, so after the
// sort the newcomer ends below every older row with its score.
void highscore_replace_lowest(HighScoreTable& table, const HighScoreEntry& entry)
{
    uint32_t bound = REPLACE_BOUND;
    HighScoreEntry* chosen = nullptr;
    for (HighScoreEntry& row : table) {
        if (row.score < bound) {
            chosen = &row;
            bound = row.score;
        }
    }
    if (chosen != nullptr)
        *chosen = entry;
}

// Stable: rows with equal scores keep their order.
void highscore_sort(HighScoreTable& table)
{
    for (int i = 1; i < HIGHSCORE_ROWS; ++i) {
        HighScoreEntry taken = table[i];
        int gap = i;
        while (gap > 0 && table[gap - 1].score < taken.score) {
            table[gap] = table[gap - 1];
            --gap;
        }
        table[gap] = taken;
    }
}

// Scores run from top down in steps of (top - bottom) / 10, so bottom itself
// is never reached. At most 10 characters of the name are kept.
void highscore_fill(HighScoreTable& table, const char* name, int32_t top, int32_t bottom)
{
    const int64_t step = (static_cast<int64_t>(top) - bottom) / 10;
    for (int k = 0; k < HIGHSCORE_ROWS; ++k) {
        HighScoreEntry& row = table[k];
        std::memset(row.name, 0, NAME_BYTES);
        for (int c = 0; c < NAME_BYTES - 1 && name[c] != '\0'; ++c)
            row.name[c] = name[c];
        row.padding = 0;
        row.score = static_cast<uint32_t>(top - k * step);
    }
}

void highscore_defaults(HighScoreTable& table)
{
    highscore_fill(table, "X Plomt", 1000, 0);
}

// A file whose content is shorter than a whole table is damaged: the answer
// is false and the table keeps what it held. Bytes past the table are ignored.
bool highscore_load(HighScoreTable& table, const char* file_name)
{
    if (!is_regular_file(file_name))
        return false;
    PACKFILE* in = pack_fopen(file_name, "rp");
    if (in == nullptr)
        return false;
    unsigned char bytes[TABLE_BYTES];
    long got = pack_fread(bytes, TABLE_BYTES, in);
    pack_fclose(in);
    if (got != TABLE_BYTES)
        return false;
    decode_table(bytes, table);
    return true;
}

void highscore_merge_new_rows(HighScoreTable& table, const HighScoreTable& seen, const HighScoreTable& on_disk)
{
    const auto same = [](const HighScoreEntry& a, const HighScoreEntry& b) {
        return a.score == b.score && std::strncmp(a.name, b.name, NAME_BYTES) == 0;
    };
    HighScoreEntry rows[2 * HIGHSCORE_ROWS];
    int count = 0;
    for (const HighScoreEntry& row : table)
        rows[count++] = row;
    // Each row seen accounts for one equal row on disk, so a row another
    // game wrote twice over is kept twice.
    bool matched[HIGHSCORE_ROWS] = {};
    for (const HighScoreEntry& row : on_disk) {
        int k = 0;
        while (k < HIGHSCORE_ROWS && (matched[k] || !same(seen[k], row)))
            ++k;
        if (k < HIGHSCORE_ROWS)
            matched[k] = true;
        else
            rows[count++] = row;
    }
    if (count == HIGHSCORE_ROWS)
        return;  // nothing new: the table stays exactly as it is
    std::stable_sort(rows, rows + count,
                     [](const HighScoreEntry& a, const HighScoreEntry& b) { return a.score > b.score; });
    std::copy(rows, rows + HIGHSCORE_ROWS, table.begin());
}

// A failed write leaves the old file whole and is not reported.
void highscore_save(const HighScoreTable& table, const char* file_name)
{
    unsigned char bytes[TABLE_BYTES];
    encode_table(table, bytes);
    save_packed_file(file_name, bytes, TABLE_BYTES);
}

// A mode outside 0..3 reads table 0; a table asked for before start-up loaded
// them is made with the defaults, so the answer is always a real table.
HighScoreTable& current_highscore_table()
{
    int mode = settings.game_mode;
    if (mode < 0 || mode >= MODE_COUNT)
        mode = MODE_TRADITIONAL;
    if (highscore_tables[mode] == nullptr) {
        highscore_tables[mode] = highscore_table_new();
        highscore_defaults(*highscore_tables[mode]);
    }
    return *highscore_tables[mode];
}
