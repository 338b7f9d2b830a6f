// Where the game finds its archive and keeps its save files.
#include "persist/paths.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/catalogue.h"

namespace {

bool installed = false;
std::string archive_file = ARCHIVE_PATH;
std::string save_folder;
bool save_folder_made = false;

// The folder the player named, or "" when the variable is unset or empty.
std::string named_data_folder()
{
    const char* over = std::getenv(DATA_DIR_VARIABLE);
    return over != nullptr ? over : "";
}

// XDG: a relative $XDG_DATA_HOME or $XDG_CONFIG_HOME is to be ignored.
std::string user_home(const char* variable, const char* fallback)
{
    const char* xdg = std::getenv(variable);
    if (xdg != nullptr && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* entry = getpwuid(getuid());
        home = entry != nullptr ? entry->pw_dir : "";
    }
    return std::string(home) + fallback;
}

// Every missing folder on the way is made for the user alone; folders that
// exist keep the permissions they have. A failure shows later as a save
// that is not written, as with any unwritable folder, and is tried again
// at the next save.
bool make_folders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

}  // namespace

void choose_data_location()
{
    // A folder named in the environment wins over the guess from the
    // working directory: a player who names one means it.
    const std::string named = named_data_folder();
    struct stat info;
    installed = !named.empty() || stat(ARCHIVE_PATH, &info) != 0;
    if (!installed) {
        archive_file = ARCHIVE_PATH;
        return;
    }
    const std::string data = named.empty() ? ZORBL_INSTALLED_DATA : named;
    archive_file = data + "/gfx.dat";
    save_folder = user_home("XDG_DATA_HOME", "/.local/share") + "/zorbl";
    // The synth's patch set lies beside the archive, not beside the
    // executable where the library looks by itself. Overriding only this
    // key leaves the rest of a player's allegro.cfg in force.
    const std::string config = "[sound]\npatches = " + data + "/patches.dat\n";
    override_config_data(config.c_str(), static_cast<int>(config.size()));
}

const char* installed_data_folder()
{
    return ZORBL_INSTALLED_DATA;
}

const char* archive_path()
{
    return archive_file.c_str();
}

// The folder is made on its first use, which is after the archive has
// loaded: a game that cannot start leaves nothing behind.
std::string save_path(const char* name)
{
    if (!installed)
        return name;
    if (!save_folder_made)
        save_folder_made = make_folders(save_folder);
    return save_folder + "/" + name;
}

std::string config_path(const char* name)
{
    if (!installed)
        return save_path(name);
    return user_home("XDG_CONFIG_HOME", "/.config") + "/zorbl/" + name;
}

bool make_config_folder()
{
    return !installed || make_folders(user_home("XDG_CONFIG_HOME", "/.config") + "/zorbl");
}
