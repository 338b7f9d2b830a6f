// Where the game finds its archive and keeps its save files: the source folder, or an installed game's places.
#pragma once
#include <string>

// The installed data folder (the archive and the synth's patch set), fixed
// at build time; this environment variable names another one (tests map an
// unpacked package through it).
constexpr const char* DATA_DIR_VARIABLE = "ZORBL_DATA_DIR";

// Decides once, at start-up after the library is up: with $ZORBL_DATA_DIR
// unset or empty and data/gfx.dat in the working directory the game runs as
// from its source folder and every file stays in the working directory, as
// it always has. Otherwise it is the installed game: the archive and patch
// set come from the data folder ($ZORBL_DATA_DIR when set), and
// saves go to $XDG_DATA_HOME/zorbl (by default ~/.local/share/zorbl), made
// for the user alone when first used. Until this runs, the working directory
// is used (tools and tests that never start the game).
void choose_data_location();

// The data folder fixed at build time, for the usage text.
const char* installed_data_folder();

const char* archive_path();
// The file of this name (zorbl.sav, scores0.sav, zorbl000.pcx ...) where saves go.
std::string save_path(const char* name);
// The file of this name (zorbl.cfg) where the player's own settings go:
// from the source folder, beside the saves; installed, in
// $XDG_CONFIG_HOME/zorbl (by default ~/.config/zorbl). Makes no folder.
std::string config_path(const char* name);
// Makes the folder config_path's files go in, for the user alone; false
// when it cannot be made.
bool make_config_folder();
