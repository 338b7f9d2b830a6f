// The game's command line: options and their values, and the usage text.
#include "shell/command_line.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "board/deal_number.h"
#include "persist/paths.h"

namespace {

constexpr const char* USAGE =
    "usage: zorbl [--deal N | --daily] [--fullscreen | --window] [--scale N]\n"
    "       zorbl --help | --version\n"
    "Pop groups of same-coloured tiles. Started without arguments, the game\n"
    "opens its window; after the intro it resumes the game in progress or\n"
    "deals a new one.\n"
    "  --deal N      play deal number N (0 to 4294967295) after the intro\n"
    "  --daily       play the day's deal, numbered by the date as YYYYMMDD\n"
    "  --fullscreen  play on the whole screen, --window in a window\n"
    "  --scale N     enlarge the window N times (1 to 16), or 'auto'\n"
    "These last two override the settings file for one run. The game reads\n"
    "the data folder (%s, or $%s) and saves in\n"
    "$XDG_DATA_HOME/zorbl (by default ~/.local/share/zorbl); but with that\n"
    "variable unset and data/gfx.dat in the working directory, as in the\n"
    "source folder, it reads that file and saves beside it.\n";

// Splits "--name=value" into name and value; a plain "--name" has no value.
struct Argument {
    std::string_view name;
    std::optional<std::string_view> value;
};

Argument split(std::string_view text)
{
    const size_t equals = text.find('=');
    if (text.rfind("--", 0) != 0 || equals == std::string_view::npos)
        return {text, std::nullopt};
    return {text.substr(0, equals), text.substr(equals + 1)};
}

CommandLine refuse(std::string why)
{
    CommandLine refused;
    refused.action = CommandLine::Action::Refuse;
    refused.refusal = std::move(why);
    return refused;
}

}  // namespace

CommandLine read_command_line(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            CommandLine help;
            help.action = CommandLine::Action::Help;
            return help;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            CommandLine version;
            version.action = CommandLine::Action::Version;
            return version;
        }
    }

    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        Argument argument = split(argv[i]);
        const std::string name(argument.name);
        const bool takes_value = name == "--deal" || name == "--scale";
        if (takes_value && !argument.value) {
            if (i + 1 == argc)
                return refuse(name + " needs a value");
            argument.value = argv[++i];
        } else if (!takes_value && argument.value) {
            return refuse(name + " takes no value");
        }

        if (name == "--deal") {
            line.deal = parse_deal_number(*argument.value);
            if (!line.deal)
                return refuse("'" + std::string(*argument.value) + "' is not a deal number (0 to 4294967295)");
        } else if (name == "--daily") {
            line.daily = true;
        } else if (name == "--fullscreen" || name == "--window") {
            line.fullscreen = (name == "--fullscreen");
        } else if (name == "--scale") {
            // A scale is spelt as a deal number is: decimal digits alone.
            const std::optional<uint32_t> scale = parse_deal_number(*argument.value);
            if (*argument.value == "auto")
                line.scale = 0;
            else if (scale && *scale >= 1 && *scale <= MAX_SCALE)
                line.scale = static_cast<int>(*scale);
            else
                return refuse("'" + std::string(*argument.value) + "' is not a scale (1 to " + std::to_string(MAX_SCALE) +
                              ", or auto)");
        } else {
            return refuse("unknown argument '" + std::string(argv[i]) + "'");
        }
    }
    if (line.deal && line.daily)
        return refuse("--deal and --daily ask for two different deals");
    return line;
}

std::string usage_text()
{
    char text[2048];
    std::snprintf(text, sizeof text, USAGE, installed_data_folder(), DATA_DIR_VARIABLE);
    return text;
}
