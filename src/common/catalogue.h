// The archive's object indices: the contract between the code and data/gfx.dat.
// No library header here, so the asset tools and the rules can share it.
#pragma once

// Every packfile the game reads or writes (the archive, the settings and
// score files) is enciphered with this word. The archive build reads it
// from this line, so it is defined nowhere else.
#define PACKFILE_PASSWORD "gummi"

constexpr const char* ARCHIVE_PATH = "data/gfx.dat";

constexpr int OBJ_PALETTE = 0;
constexpr int OBJ_UNUSED_1 = 1;
constexpr int OBJ_TILE_BASE = 1;      // tile object = OBJ_TILE_BASE + 5 x theme + colour (2..26)
constexpr int OBJ_TILE_FIRST = 2;
constexpr int OBJ_TILE_LAST = 26;
constexpr int OBJ_SIDE_BUTTON = 27;
constexpr int OBJ_SIDE_HOVER = 28;
constexpr int OBJ_INTRO_1 = 29;
constexpr int OBJ_GAME_OVER_PANEL = 30;
constexpr int OBJ_MUSIC = 31;
constexpr int OBJ_FONT = 32;
constexpr int OBJ_DIGIT_0 = 33;       // digit object = character code - 15 (33..42)
constexpr int OBJ_DIGIT_9 = 42;
constexpr int OBJ_ARROW_LEFT = 43;
constexpr int OBJ_ARROW_RIGHT = 44;
constexpr int OBJ_SLIDER_TRACK = 45;
constexpr int OBJ_CHECK_BOX = 46;
constexpr int OBJ_CHECK_MARK = 47;
constexpr int OBJ_SAMPLE_KNOB = 48;
constexpr int OBJ_MUSIC_KNOB = 49;
constexpr int OBJ_CLOSE = 50;
constexpr int OBJ_BACKGROUND = 51;
constexpr int OBJ_POINTER = 52;
constexpr int OBJ_INTRO_2 = 53;
constexpr int OBJ_SND_CLICK = 54;
constexpr int OBJ_SND_DIALOG = 55;
constexpr int OBJ_SND_SHRINK = 56;
constexpr int OBJ_SND_BURST = 57;
constexpr int OBJ_SND_FLASH = 58;
constexpr int OBJ_SND_EXPLOSION = 59;
constexpr int OBJ_LABEL_SCORE = 60;
constexpr int OBJ_LABEL_TILES = 61;
constexpr int OBJ_LABEL_MODE = 62;
constexpr int OBJ_UNUSED_63 = 63;
constexpr int OBJ_LABEL_NEW_GAME = 64;
constexpr int OBJ_LABEL_OPTIONS = 65; // run-length sprite
constexpr int OBJ_LABEL_QUIT = 66;    // run-length sprite
constexpr int OBJ_LOGO = 67;          // also intro picture 3
constexpr int OBJ_COUNT = 68;

constexpr int TILE_SIZE = 19;
constexpr int DIGIT_MAX_HEIGHT = 50;
constexpr int SCREEN_WIDTH = 320;
constexpr int SCREEN_HEIGHT = 240;

// Palette entries the game's code names by number.
constexpr int COLOUR_OUTLINE = 1;     // dialog outline
constexpr int COLOUR_OPTIONS = 6;     // options screen tint
constexpr int COLOUR_DIALOG_BOX = 7;  // dialog inner box
constexpr int COLOUR_DIALOG_FILL = 9; // dialog face and answer plates
constexpr int COLOUR_KEY_FRAME = 11;  // gold ink: the keyboard's cursor and highlight
constexpr int COLOUR_SPARK = 15;      // particle white
