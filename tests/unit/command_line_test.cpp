// The game's command line: deal numbers, the day's deal, overrides of the
// settings, and refusals a player can act on.
#include <gtest/gtest.h>

#include <vector>

#include "board/deal_number.h"
#include "shell/command_line.h"

namespace {

CommandLine read(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "zorbl");
    return read_command_line(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, DealNumbersAreDecimalDigitsWithinThirtyTwoBits)
{
    EXPECT_EQ(parse_deal_number("0"), 0u);
    EXPECT_EQ(parse_deal_number("0042"), 42u);
    EXPECT_EQ(parse_deal_number("4294967295"), 4294967295u);
    for (const char* junk : {"", "4294967296", "99999999999999999999999", "-1", "+1", " 1", "1 ", "12a", "0x10"})
        EXPECT_FALSE(parse_deal_number(junk)) << "'" << junk << "' taken as a deal number";
    EXPECT_EQ(daily_deal_number(2026, 12, 8), 20261208u);
    EXPECT_EQ(daily_deal_number(2027, 1, 31), 20270131u);
}

TEST(CommandLine, OptionsAndTheirValues)
{
    EXPECT_EQ(read({}).action, CommandLine::Action::Play);
    EXPECT_EQ(read({"--deal", "1234567890"}).deal, 1234567890u);
    EXPECT_EQ(read({"--deal=7"}).deal, 7u);
    EXPECT_TRUE(read({"--daily"}).daily);
    EXPECT_FALSE(read({}).fullscreen);
    EXPECT_EQ(read({"--window", "--fullscreen"}).fullscreen, true);
    EXPECT_EQ(read({"--fullscreen", "--window"}).fullscreen, false);
    EXPECT_EQ(read({"--scale", "3"}).scale, 3);
    EXPECT_EQ(read({"--scale=auto"}).scale, 0);
    // Help wins wherever it stands, even after a mistake; then the version.
    EXPECT_EQ(read({"--bogus", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(read({"--deal", "x", "--version"}).action, CommandLine::Action::Version);
}

TEST(CommandLine, MistakesAreRefusedWithTheirReason)
{
    const struct {
        std::vector<const char*> arguments;
        const char* reason;
    } cases[] = {
        {{"--bogus"}, "unknown argument '--bogus'"},
        {{"--deal"}, "--deal needs a value"},
        {{"--deal", "4294967296"}, "'4294967296' is not a deal number (0 to 4294967295)"},
        {{"--deal=abc"}, "'abc' is not a deal number (0 to 4294967295)"},
        {{"--deal", "5", "--daily"}, "--deal and --daily ask for two different deals"},
        {{"--scale", "0"}, "'0' is not a scale (1 to 16, or auto)"},
        {{"--scale=17"}, "'17' is not a scale (1 to 16, or auto)"},
        {{"--daily=1"}, "--daily takes no value"},
    };
    for (const auto& c : cases) {
        const CommandLine line = read(c.arguments);
        EXPECT_EQ(line.action, CommandLine::Action::Refuse) << c.reason;
        EXPECT_EQ(line.refusal, c.reason);
    }
}

}  // namespace
