// zorbl.cfg, read and written with the library's configuration routines.
#include "persist/screen_choice.h"

#include <allegro.h>

#include <algorithm>
#include <cctype>
#include <sys/stat.h>

#include "common/catalogue.h"

namespace {

// The library reads and writes configuration files through its packfile
// layer, which our password would encipher: the file is opened with the
// password off, and the password is put back once it is closed again. The
// library's own configuration (allegro.cfg) is set aside meanwhile.
void open_plain_config(const std::string& path)
{
    packfile_password(nullptr);
    push_config_state();
    set_config_file(path.c_str());
}

void close_plain_config()
{
    pop_config_state();
    packfile_password(PACKFILE_PASSWORD);
}

std::string lower_trimmed(const char* value)
{
    std::string s = value != nullptr ? value : "";
    const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), space));
    s.erase(std::find_if_not(s.rbegin(), s.rend(), space).base(), s.end());
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// A person may write a switch in any of the usual ways.
void read_switch(const std::string& value, bool& out)
{
    if (value == "yes" || value == "true" || value == "on" || value == "1")
        out = true;
    else if (value == "no" || value == "false" || value == "off" || value == "0")
        out = false;
}

void read_scale(const std::string& value, int& out)
{
    if (value == "auto") {
        out = 0;
        return;
    }
    if (value.empty() || value.size() > 2 || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    const int n = std::stoi(value);
    if (n >= 1 && n <= LARGEST_SCALE)
        out = n;
}

bool plain_file(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

ScreenChoice read_screen_choice(const std::string& path)
{
    ScreenChoice choice;
    if (!plain_file(path))
        return choice;
    open_plain_config(path);
    read_switch(lower_trimmed(get_config_string(nullptr, "fullscreen", nullptr)), choice.fullscreen);
    read_scale(lower_trimmed(get_config_string(nullptr, "scale", nullptr)), choice.scale);
    close_plain_config();
    return choice;
}

void write_fullscreen_choice(const std::string& path, bool fullscreen)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return;
    open_plain_config(path);
    // The library puts a new key first: scale goes in before fullscreen so
    // that a new file reads in the order the keys are told of.
    if (get_config_string(nullptr, "scale", nullptr) == nullptr)
        set_config_string(nullptr, "scale", "auto");
    set_config_string(nullptr, "fullscreen", fullscreen ? "yes" : "no");
    flush_config_file();
    close_plain_config();
}
