// Deal numbers read from text, and the day's deal.
#include "board/deal_number.h"

#include "board/random.h"

std::optional<uint32_t> parse_deal_number(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        // Checked at every digit, so a long run of digits cannot wrap.
        if (value > UINT32_MAX)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

uint32_t daily_deal_number(int year, int month, int day)
{
    return static_cast<uint32_t>(year * 10000 + month * 100 + day);
}

std::array<uint8_t, BOARD_CELLS> deal_colours(uint32_t number)
{
    // fill_board's draws, on a state of its own.
    std::array<uint8_t, BOARD_CELLS> colours{};
    uint32_t state = number;
    for (uint8_t& colour : colours) {
        state = random_step(state);
        colour = static_cast<uint8_t>(random_value(state) % colour_count + 1);
    }
    return colours;
}
