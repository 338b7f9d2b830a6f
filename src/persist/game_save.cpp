// The game in progress and its file, "game.sav".
#include "persist/game_save.h"

#include <algorithm>
#include <cstdio>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "board/board.h"
#include "board/groups.h"
#include "board/undo.h"
#include "persist/paths.h"
#include "persist/save_file.h"
#include "persist/settings.h"

namespace {

// Layout, every number little-endian: the magic word, the version, the mode,
// the assisted flag, the progress, score, tiles popped, the number of undo
// and of redo positions; from version 2, a byte saying whether the deal's
// number is known and the number itself; the deal's 80 colours, the board's
// 80 colours, then each position (undo oldest first, then redo, the next to
// redo last) as 80 colours, score, tiles and progress; last, a checksum of
// all before it. Version 1, written before deals had numbers, still loads:
// its game goes on with its number unknown.
constexpr char MAGIC[4] = {'Z', 'R', 'B', 'G'};
constexpr uint8_t VERSION = 2;
constexpr uint8_t VERSION_UNNUMBERED = 1;
constexpr size_t V1_HEADER_BYTES = 24;
constexpr size_t HEADER_BYTES = V1_HEADER_BYTES + 1 + 4;
constexpr size_t STEP_BYTES = BOARD_CELLS + 4 + 4 + 1;
constexpr size_t CHECKSUM_BYTES = 4;
// Far beyond any game played by hand, and it bounds what a damaged count
// can make the loader read or allocate.
constexpr uint32_t MOST_STEPS = 100000;
constexpr size_t MOST_BYTES = HEADER_BYTES + 2 * BOARD_CELLS + MOST_STEPS * STEP_BYTES + CHECKSUM_BYTES;

template <class Colours>
void put_colours(std::string& out, const Colours& colours)
{
    for (int i = 0; i < BOARD_CELLS; ++i)
        out += char(colours[i]);
}

// False for a colour no tile has.
bool get_colours(const unsigned char* in, std::array<uint8_t, BOARD_CELLS>& colours)
{
    for (int i = 0; i < BOARD_CELLS; ++i) {
        if (in[i] > colour_count)
            return false;
        colours[i] = in[i];
    }
    return true;
}

bool get_count(const unsigned char* in, int32_t& value)
{
    const uint32_t v = get_le32(in);
    value = int32_t(v);
    return v <= 0x7FFFFFFFu;
}

bool get_progress(uint8_t byte, GameProgress& progress)
{
    progress = GameProgress(byte);
    return byte <= uint8_t(GameProgress::fresh);
}

bool get_step(const unsigned char* in, UndoStep& step)
{
    return get_colours(in, step.colours) && get_count(in + BOARD_CELLS, step.score)
           && get_count(in + BOARD_CELLS + 4, step.tiles_popped) && get_progress(in[BOARD_CELLS + 8], step.progress);
}

std::string save_file_path() { return save_path(GAME_SAVE_FILE); }

// Set once at start-up on the main thread, before any game is loaded.
bool game_kept = true;

} // namespace

std::string encode_game_in_progress()
{
    std::string out(MAGIC, sizeof MAGIC);
    out += char(VERSION);
    out += char(settings.game_mode);
    out += char(game_assisted ? 1 : 0);
    out += char(game_progress);
    put_le32(out, uint32_t(score));
    put_le32(out, uint32_t(tiles_popped));
    // A history longer than a file may hold keeps its newest positions.
    const size_t redo_steps = std::min<size_t>(history.redo.size(), MOST_STEPS);
    const size_t undo_steps = std::min<size_t>(history.undo.size(), MOST_STEPS - redo_steps);
    put_le32(out, uint32_t(undo_steps));
    put_le32(out, uint32_t(redo_steps));
    out += char(history.deal_numbered ? 1 : 0);
    put_le32(out, history.deal_numbered ? history.deal_number : 0);
    put_colours(out, history.deal);
    std::array<uint8_t, BOARD_CELLS> shown{};
    for (int i = 0; i < BOARD_CELLS; ++i)
        shown[i] = board.cells[i].colour;
    put_colours(out, shown);
    const auto put_steps = [&out](auto first, auto last) {
        for (; first != last; ++first) {
            put_colours(out, first->colours);
            put_le32(out, uint32_t(first->score));
            put_le32(out, uint32_t(first->tiles_popped));
            out += char(first->progress);
        }
    };
    put_steps(history.undo.end() - std::ptrdiff_t(undo_steps), history.undo.end());
    put_steps(history.redo.end() - std::ptrdiff_t(redo_steps), history.redo.end());
    seal_save(out);
    return out;
}

bool decode_game_in_progress(const std::string& bytes)
{
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t body = 0;
    if (!unseal_save(bytes, body) || body < V1_HEADER_BYTES + 2 * BOARD_CELLS
        || std::memcmp(in, MAGIC, sizeof MAGIC) != 0 || (in[4] != VERSION && in[4] != VERSION_UNNUMBERED))
        return false;
    const size_t header = in[4] == VERSION ? HEADER_BYTES : V1_HEADER_BYTES;
    const uint32_t undo_steps = get_le32(in + 16);
    const uint32_t redo_steps = get_le32(in + 20);
    if (undo_steps > MOST_STEPS || redo_steps > MOST_STEPS - undo_steps
        || body != header + 2 * BOARD_CELLS + (undo_steps + redo_steps) * STEP_BYTES)
        return false;

    // Everything is read and checked before anything of the game changes.
    const int mode = in[5];
    const bool assisted = in[6] != 0;
    GameProgress progress;
    int32_t points;
    int32_t tiles;
    GameHistory loaded;
    std::array<uint8_t, BOARD_CELLS> shown{};
    if (header == HEADER_BYTES) {
        if (in[V1_HEADER_BYTES] > 1)
            return false;
        loaded.deal_numbered = in[V1_HEADER_BYTES] == 1;
        loaded.deal_number = loaded.deal_numbered ? get_le32(in + V1_HEADER_BYTES + 1) : 0;
    }
    if (mode >= MODE_COUNT || in[6] > 1 || !get_progress(in[7], progress) || !get_count(in + 8, points)
        || !get_count(in + 12, tiles) || !get_colours(in + header, loaded.deal)
        || !get_colours(in + header + BOARD_CELLS, shown))
        return false;
    // A game with no pair left is over, and an ended game never comes back.
    ColourBoard left{};
    for (int i = 0; i < BOARD_CELLS; ++i)
        left.cells[i].colour = shown[i] & 0x7F;
    if (!any_move_left(left))
        return false;
    const unsigned char* step_bytes = in + header + 2 * BOARD_CELLS;
    loaded.undo.resize(undo_steps);
    loaded.redo.resize(redo_steps);
    for (std::vector<UndoStep>* steps : {&loaded.undo, &loaded.redo}) {
        for (UndoStep& step : *steps) {
            if (!get_step(step_bytes, step))
                return false;
            step_bytes += STEP_BYTES;
        }
    }

    for (int i = 0; i < BOARD_CELLS; ++i)
        board.cells[i] = Cell{shown[i], 0, 0, 0, 0, 0};
    score = points;
    tiles_popped = tiles;
    game_progress = progress;
    game_assisted = assisted;
    history = std::move(loaded);
    settings.game_mode = mode;
    return true;
}

bool claim_game_in_progress()
{
    const std::string path = save_path(GAME_LOCK_FILE);
    // Close-on-exec: a helper the library starts (its message box) must not
    // carry the lock on past this game. Non-blocking: a pipe of that name
    // must not stop the start; it is refused below as no lock file.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0)
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return game_kept;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return game_kept;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return game_kept;  // the descriptor stays open, and the lock held, until the process ends
    game_kept = errno != EWOULDBLOCK;
    close(fd);
    return game_kept;
}

bool game_in_progress_kept() { return game_kept; }

void save_game_in_progress()
{
    if (!game_kept)
        return;
    const std::string bytes = encode_game_in_progress();
    save_packed_file(save_file_path().c_str(), bytes.data(), long(bytes.size()));
}

bool load_game_in_progress()
{
    if (!game_kept)
        return false;
    std::string bytes;
    return read_packed_file(save_file_path().c_str(), bytes, MOST_BYTES) && decode_game_in_progress(bytes);
}

void forget_game_in_progress()
{
    if (game_kept)
        std::remove(save_file_path().c_str());
}
