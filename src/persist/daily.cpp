// The deal of the day and its file, "daily.sav".
#include "persist/daily.h"


#include "board/deal_number.h"
#include "persist/paths.h"
#include "persist/save_file.h"

DailyRecord daily_record{};

namespace {

// Layout: the magic word, the version, the day's deal number, then for each
// mode: played (one byte), the best score, the best line found (-1 as
// 0xFFFFFFFF); last, the checksum. Numbers little-endian.
constexpr char MAGIC[4] = {'Z', 'R', 'B', 'D'};
constexpr uint8_t VERSION = 1;
constexpr size_t MODE_BYTES = 1 + 4 + 4;
constexpr size_t BODY_BYTES = SAVE_HEADER_BYTES + 4 + MODE_COUNT * MODE_BYTES;

std::string file_path() { return save_path(DAILY_FILE); }

} // namespace

uint32_t daily_deal_at(std::time_t when)
{
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        return 0;
    return daily_deal_number(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

uint32_t todays_deal() { return daily_deal_at(std::time(nullptr)); }

std::string encode_daily_record()
{
    std::string out = save_header(MAGIC, VERSION);
    put_le32(out, daily_record.day);
    for (const DailyModeRecord& r : daily_record.modes) {
        out += char(r.played ? 1 : 0);
        put_le32(out, r.best);
        put_le32(out, uint32_t(r.best_found));
    }
    seal_save(out);
    return out;
}

bool decode_daily_record(const std::string& bytes)
{
    const unsigned char* at = sealed_body(bytes, MAGIC, VERSION, BODY_BYTES);
    if (at == nullptr)
        return false;
    DailyRecord loaded{};
    loaded.day = get_le32(at);
    at += 4;
    for (DailyModeRecord& r : loaded.modes) {
        if (at[0] > 1)
            return false;
        r.played = at[0] == 1;
        r.best = get_le32(at + 1);
        r.best_found = int32_t(get_le32(at + 5));
        if (r.best_found < -1 || (!r.played && r.best != 0))
            return false;
        at += MODE_BYTES;
    }
    daily_record = loaded;
    return true;
}

void load_daily_record()
{
    std::string bytes;
    if (!read_packed_file(file_path().c_str(), bytes, BODY_BYTES + 4) || !decode_daily_record(bytes))
        daily_record = DailyRecord{};
}

DailyModeRecord daily_record_of(uint32_t day, int mode)
{
    if (day == 0 || day != daily_record.day || mode < 0 || mode >= MODE_COUNT)
        return {false, 0, -1};
    return daily_record.modes[mode];
}

namespace {

// The record of `day`, a new one when the file held another day's.
DailyModeRecord& record_of_day(uint32_t day, int mode)
{
    if (daily_record.day != day) {
        daily_record = DailyRecord{};
        daily_record.day = day;
        for (DailyModeRecord& r : daily_record.modes)
            r = {false, 0, -1};
    }
    return daily_record.modes[mode];
}

void write_daily_record()
{
    const std::string bytes = encode_daily_record();
    save_packed_file(file_path().c_str(), bytes.data(), long(bytes.size()));
}

} // namespace

void record_daily_game(uint32_t day, int mode, uint32_t score, bool assisted, int32_t best_found)
{
    if (mode < 0 || mode >= MODE_COUNT)
        return;
    DailyModeRecord& r = record_of_day(day, mode);
    if (!assisted) {
        r.best = r.played && r.best > score ? r.best : score;
        r.played = true;
    }
    if (best_found > r.best_found)
        r.best_found = best_found;
    write_daily_record();
}

void record_daily_best_found(uint32_t day, int mode, int32_t best_found)
{
    if (mode < 0 || mode >= MODE_COUNT || best_found <= daily_record_of(day, mode).best_found)
        return;
    record_of_day(day, mode).best_found = best_found;
    write_daily_record();
}
