// Beam search over colour boards through the board rules, widened until the
// time budget is spent, with endgames solved exactly.
//
// Why this search, as measured on the benchmark deals (tests/bench/solver_bench):
// - A beam ranks the positions after each number of pops and keeps the best
//   `width` of them. Ranked by score alone it wastes its width on positions
//   that cashed small groups early. Ranked by the score plus the points of
//   every group now on the board, plus the grouped tiles of each colour
//   counted as if they joined into one group, less the tiles in no group
//   (Traditional), it keeps positions that are building big groups. Each term was kept because it raised the average
//   at a fixed width.
// - Two paths to the same board keep only the better scored (duplicate
//   pruning by a hash of the colours): many orders of pops meet.
// - Once few tiles are left (24, 20 in Shifter), every line is tried (positions met
//   twice are looked up): the empty-board bonus decides most Traditional
//   scores, and a ranking cannot tell which endings clear.
// - Playouts from each position (greedy, or keeping the most plentiful
//   colour for last) ranked no better for their cost than a wider beam.
//   Nor did layers by tiles left instead of by pops made, a cap on the
//   children kept from one position, or ranking only the children that a
//   cheaper estimate put ahead.
// Beams of width 1 and 16 measure the cost of width, then one beam is sized
// to fill the time left, narrowing on the way if it falls behind; the best
// line of any beam wins. Time decides only the last beam's widths: a given
// width without a deadline (solve_board_width) always finds the same line.
#include "solver/solver.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>

#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "board/settle.h"

namespace {

using Clock = std::chrono::steady_clock;

// The ranking, in sixteenths of a point (see above).
struct Weights {
    int64_t groups;  // each group's points
    int64_t joined;  // a colour's grouped tiles as one group
    int64_t alone;   // taken off for each tile in no group
};
// Traditional ranks each width three ways: which endings clear is so
// uncertain that the best of three beams beats one beam three times as wide
// (589 against 568 on average, widths 300 and 900); Shifter clears nearly
// every board and gains more from width.
// A tile in no group is one that may be left over at the end: in
// Traditional, 8 points off for each cleared 31 or 32 boards of 40 instead
// of 27 or 28 (average 611 against 604 over seven runs; one run each at 1,
// 2, 4 and 16 points gave 609, 605, 602 and 613). Shifter gained nothing
// measurable from 1 or 2 points and lost from 8 up: it clears anyway.
constexpr Weights TRADITIONAL_WEIGHTS[] = {{8, 4, 128}, {12, 6, 128}, {16, 0, 128}};
constexpr Weights SHIFTER_WEIGHTS[] = {{12, 6, 0}};
// A colour down to one tile can never clear the board. Measured, this
// changed no line on the benchmark deals (such positions rank low anyway);
// it stays because it costs nothing and says what the bonus needs.
constexpr int64_t LONE_TILE_COST = 250 * 16;
// Endgames solved exactly from this many tiles: Traditional's scores turn
// on which endings clear and gain from solving more of them (about 4 points
// on average at 24 against 20); in Shifter nearly every ending clears and
// the time buys more width instead (26 lost 35 points, 16 to 18 no gain).
constexpr int TRADITIONAL_ENDGAME_TILES = 24;
constexpr int SHIFTER_ENDGAME_TILES = 20;
// The widening schedule (see solve_board).
constexpr double FIRST_GROWTH = 16.0;
constexpr double FILL = 1.6;
constexpr int MOST_GROUPS = BOARD_CELLS / 2;

// One pop of a line: the lines of a beam share their beginnings.
struct Step {
    uint32_t parent;  // NO_STEP for the first pop
    uint8_t column;
    uint8_t row;
    int32_t points;
};
constexpr uint32_t NO_STEP = 0xFFFFFFFFu;

struct Node {
    ColourBoard board;
    int32_t score;
    uint32_t step;  // the last pop, NO_STEP at the start
    int64_t rank;
    uint8_t counts[colour_count + 1];  // tiles of each colour; [0] unused
    uint8_t tiles;
};

// An endgame solved exactly, stored by board hash; 0 marks a free slot.
struct Solved {
    uint64_t key;
    int32_t value;  // the most the position can still score, bonus included
    uint8_t column;  // the pop that starts it
    uint8_t row;
};
constexpr size_t SOLVED_SLOTS = size_t(1) << 16;

struct Search {
    int mode;
    int endgame_tiles;
    Clock::time_point deadline;
    Clock::time_point beam_deadline;  // the share of one beam, for narrowing; max() never narrows
    uint64_t positions = 0;
    std::vector<Step> steps;
    std::vector<Node> layer, built;
    std::vector<uint32_t> order;
    std::vector<uint64_t> seen_keys;
    std::vector<uint32_t> seen_nodes;
    std::vector<Solved> solved;
    std::vector<GroupCells> groups;     // the groups of the layer's positions, one after another
    std::vector<uint32_t> first_group;  // where each position's groups start
    std::vector<SolverMove> tail;
    SolverLine best;
    bool late = false;  // the deadline passed inside an endgame: its values are unfinished
};

// Only a board that is never refilled can be cleared for the bonus.
bool bonus_mode(int mode) { return !refills_from_left(mode); }

uint8_t column_of(const GroupCells& g) { return uint8_t(g.first / BOARD_ROWS); }
uint8_t row_of(const GroupCells& g) { return uint8_t(g.first % BOARD_ROWS); }

// Empties the cells of a group, as a pop does, then settles.
void pop_and_settle(ColourBoard& on, const GroupCells& group, int mode)
{
    empty_group(on, group.cells);
    settle_board(on, mode);
}

uint64_t board_hash(const ColourBoard& b)
{
    static_assert(sizeof b.cells % 8 == 0, "hashed in words");
    uint64_t h = 0x243F6A8885A308D3ull;
    for (size_t i = 0; i < sizeof b.cells; i += 8) {
        uint64_t w;
        std::memcpy(&w, reinterpret_cast<const unsigned char*>(b.cells.data()) + i, 8);
        h = (h ^ w) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    return h | 1;
}

int64_t rank_of(const Node& node, const Weights& w)
{
    GroupCells groups[MOST_GROUPS];
    const int found = list_groups(node.board, groups);
    int64_t points = 0;
    int joined[colour_count + 1] = {};
    for (int g = 0; g < found; ++g) {
        points += group_points(groups[g].size);
        joined[groups[g].colour] += groups[g].size;
    }
    int64_t rank = int64_t(node.score) * 16 + points * w.groups;
    for (int c = 1; c <= colour_count; ++c) {
        if (joined[c] >= 2)
            rank += group_points(joined[c]) * w.joined;
        if (node.counts[c] == 1)
            rank -= LONE_TILE_COST;
        rank -= w.alone * (node.counts[c] - joined[c]);
    }
    return rank;
}

// The most a position can still score, by trying every line; positions met
// again are looked up. Only for endgames, where that is cheap.
int32_t solve_exactly(Search& s, const ColourBoard& on)
{
    const uint64_t key = board_hash(on);
    if (s.solved[key & (SOLVED_SLOTS - 1)].key == key)
        return s.solved[key & (SOLVED_SLOTS - 1)].value;
    GroupCells groups[MOST_GROUPS];
    const int found = list_groups(on, groups);
    int32_t best = found == 0 && bonus_mode(s.mode) && board_empty(on) ? EMPTY_BOARD_BONUS : 0;
    Solved entry{key, best, 0, 0};
    for (int g = 0; g < found; ++g) {
        if ((s.positions & 1023) == 0 && Clock::now() > s.deadline)
            s.late = true;
        if (s.late)
            return 0;
        ColourBoard child = on;
        pop_and_settle(child, groups[g], s.mode);
        ++s.positions;
        const int32_t value = group_points(groups[g].size) + solve_exactly(s, child);
        if (g == 0 || value > entry.value)
            entry = Solved{key, value, column_of(groups[g]), row_of(groups[g])};
    }
    if (s.late)
        return 0;
    s.solved[key & (SOLVED_SLOTS - 1)] = entry;
    return entry.value;
}

// Takes the line ending in `step` and then the moves in s.tail when it
// beats the best so far.
void offer(Search& s, int32_t score, uint32_t step)
{
    if (score <= s.best.score)
        return;
    s.best.moves.clear();
    for (uint32_t i = step; i != NO_STEP; i = s.steps[i].parent)
        s.best.moves.push_back(SolverMove{s.steps[i].column, s.steps[i].row, s.steps[i].points});
    std::reverse(s.best.moves.begin(), s.best.moves.end());
    s.best.moves.insert(s.best.moves.end(), s.tail.begin(), s.tail.end());
    s.best.score = score;
}

// The best line of a solved endgame, replayed from the table (and solved
// again where a later position took a slot).
void endgame_line(Search& s, ColourBoard on, std::vector<SolverMove>& out)
{
    out.clear();
    for (;;) {
        solve_exactly(s, on);
        const Solved& slot = s.solved[board_hash(on) & (SOLVED_SLOTS - 1)];
        const int32_t points = play_move(on, s.mode, slot.column, slot.row);
        if (points < 0)
            return;
        out.push_back(SolverMove{slot.column, slot.row, points});
    }
}

Node root_node(const ColourBoard& start)
{
    Node root{};
    root.board = start;
    for (ColourCell& cell : root.board.cells) {
        cell.marked = 0;
        ++root.counts[cell.colour];
    }
    root.tiles = uint8_t(BOARD_CELLS - root.counts[0]);
    root.step = NO_STEP;
    return root;
}

// The slot of a board among this layer's children, by open addressing.
uint32_t& seen_slot(Search& s, uint64_t key)
{
    const size_t mask = s.seen_keys.size() - 1;
    size_t i = key & mask;
    while (s.seen_keys[i] != 0 && s.seen_keys[i] != key)
        i = (i + 1) & mask;
    s.seen_keys[i] = key;
    return s.seen_nodes[i];
}

constexpr uint32_t UNSEEN = 0xFFFFFFFFu;

// One beam of the given width to the end; false when the deadline came
// first (what it found until then is offered all the same).
bool beam(Search& s, const ColourBoard& start, size_t width, const Weights& weights)
{
    s.steps.clear();
    s.layer.assign(1, root_node(start));
    uint32_t since_clock = 0;
    GroupCells groups[MOST_GROUPS];
    const Clock::time_point began = Clock::now();
    const uint64_t positions_before = s.positions;
    const int start_tiles = s.layer[0].tiles;
    int layers = 0;
    while (!s.layer.empty()) {
        const uint64_t layer_before = s.positions;
        // The groups of every position first: their number sizes the table
        // of boards seen, which must never fill.
        s.groups.clear();
        s.first_group.clear();
        for (const Node& parent : s.layer) {
            s.first_group.push_back(uint32_t(s.groups.size()));
            s.groups.insert(s.groups.end(), groups, groups + list_groups(parent.board, groups));
        }
        s.first_group.push_back(uint32_t(s.groups.size()));
        size_t slots = 64;
        while (slots < s.groups.size() * 2)
            slots *= 2;
        s.seen_keys.assign(slots, 0);
        s.seen_nodes.assign(slots, UNSEEN);
        s.built.clear();
        for (size_t p = 0; p < s.layer.size(); ++p) {
            const Node& parent = s.layer[p];
            const GroupCells* const parent_groups = s.groups.data() + s.first_group[p];
            const int found = int(s.first_group[p + 1] - s.first_group[p]);
            if (found == 0) {
                // The bonus is for clearing the board, not for being given an empty one.
                const bool cleared = bonus_mode(s.mode) && parent.tiles == 0 && parent.step != NO_STEP;
                s.tail.clear();
                offer(s, parent.score + (cleared ? EMPTY_BOARD_BONUS : 0), parent.step);
                continue;
            }
            for (int g = 0; g < found; ++g) {
                if (++since_clock == 256) {
                    since_clock = 0;
                    if (Clock::now() > s.deadline)
                        return false;
                }
                const GroupCells& group = parent_groups[g];
                const int32_t points = group_points(group.size);
                Node child;
                child.board = parent.board;
                pop_and_settle(child.board, group, s.mode);
                ++s.positions;
                child.score = parent.score + points;
                std::memcpy(child.counts, parent.counts, sizeof child.counts);
                child.counts[group.colour] = uint8_t(child.counts[group.colour] - group.size);
                child.tiles = uint8_t(parent.tiles - group.size);
                s.steps.push_back(Step{parent.step, column_of(group), row_of(group), points});
                child.step = uint32_t(s.steps.size() - 1);
                if (child.tiles <= s.endgame_tiles) {
                    const int32_t rest = solve_exactly(s, child.board);
                    if (s.late)
                        return false;
                    if (child.score + rest > s.best.score) {
                        endgame_line(s, child.board, s.tail);
                        offer(s, child.score + rest, child.step);
                    }
                    continue;
                }
                uint32_t& seen = seen_slot(s, board_hash(child.board));
                if (seen != UNSEEN && s.built[seen].score >= child.score)
                    continue;
                child.rank = rank_of(child, weights);
                if (seen != UNSEEN) {
                    s.built[seen] = child;
                } else {
                    seen = uint32_t(s.built.size());
                    s.built.push_back(child);
                }
            }
        }
        // Equal ranks go to the child made first, so the kept set is fixed.
        s.order.resize(s.built.size());
        for (uint32_t i = 0; i < s.order.size(); ++i)
            s.order[i] = i;
        const auto better = [&s](uint32_t a, uint32_t b) {
            return s.built[a].rank != s.built[b].rank ? s.built[a].rank > s.built[b].rank : a < b;
        };
        if (s.beam_deadline != Clock::time_point::max() && !s.built.empty()) {
            // A beam behind its time narrows for the layers left rather than
            // be cut off before any ending. The layers left are counted at the
            // tiles popped per layer so far, each costing what this one did
            // at full width, less and less as fewer tiles make fewer groups.
            ++layers;
            double tiles = 0;
            for (const Node& n : s.built)
                tiles += n.tiles;
            tiles /= double(s.built.size());
            const Clock::time_point now = Clock::now();
            const double left = std::chrono::duration<double>(s.beam_deadline - now).count();
            const double per_position =
                std::chrono::duration<double>(now - began).count() / double(s.positions - positions_before);
            const double per_layer = (start_tiles - tiles) / layers;
            const double layers_left = per_layer > 0 ? (tiles - s.endgame_tiles) / per_layer : 1;
            const double kept = double(std::min(width, s.order.size()));
            const double need = layers_left * (tiles + s.endgame_tiles) / (2 * tiles)
                                * double(s.positions - layer_before) * per_position * kept / double(s.layer.size());
            if (need > left)
                width = std::max<size_t>(1, size_t(kept * std::max(0.0, left) / need));
        }
        if (s.order.size() > width) {
            std::nth_element(s.order.begin(), s.order.begin() + std::ptrdiff_t(width), s.order.end(), better);
            s.order.resize(width);
        }
        s.layer.clear();
        for (uint32_t i : s.order)
            s.layer.push_back(s.built[i]);
    }
    return true;
}

// A beam of the given width for each way the mode ranks.
bool all_beams(Search& s, const ColourBoard& start, size_t width, bool narrowing)
{
    s.beam_deadline = Clock::time_point::max();
    // Continous settles as Traditional does (but for its refill) and ranks
    // as Traditional; Megashifter as Shifter.
    const bool sliding = slides_rows(s.mode);
    const Weights* first = sliding ? std::begin(SHIFTER_WEIGHTS) : std::begin(TRADITIONAL_WEIGHTS);
    const Weights* last = sliding ? std::end(SHIFTER_WEIGHTS) : std::end(TRADITIONAL_WEIGHTS);
    for (const Weights* w = first; w != last; ++w) {
        if (narrowing) {
            const Clock::time_point now = Clock::now();
            s.beam_deadline = now + (s.deadline - now) / (last - w);
        }
        if (!beam(s, start, width, *w))
            return false;
    }
    return true;
}

Search new_search(int mode, Clock::time_point deadline)
{
    Search s;
    s.mode = mode;
    s.endgame_tiles = slides_rows(mode) ? SHIFTER_ENDGAME_TILES : TRADITIONAL_ENDGAME_TILES;
    s.deadline = deadline;
    s.solved.assign(SOLVED_SLOTS, Solved{});
    s.best.score = -1;
    return s;
}

SolverLine finish(Search& s, const ColourBoard& start)
{
    // A deadline before even the narrowest beam ended: greedy play is
    // microseconds away.
    if (s.best.score < 0)
        s.best = greedy_line(start, s.mode);
    ColourBoard check = start;
    for (const SolverMove& m : s.best.moves)
        play_move(check, s.mode, m.column, m.row);
    s.best.cleared = bonus_mode(s.mode) && board_empty(check) && !s.best.moves.empty();
    s.best.positions += s.positions;
    return s.best;
}

} // namespace

int32_t play_move(ColourBoard& on, int mode, int column, int row)
{
    if (column < 0 || column >= BOARD_COLUMNS || row < 0 || row >= BOARD_ROWS || on.at(column, row).colour == 0)
        return -1;
    for (ColourCell& cell : on.cells)
        cell.marked = 0;
    const int size = find_group(on, column, row);
    if (size < 2) {
        on.at(column, row).marked = 0;
        return -1;
    }
    empty_group(on, marked_cells(on));
    settle_board(on, mode);
    return group_points(size);
}

SolverLine solve_board(const ColourBoard& start, int mode, int budget_ms)
{
    const Clock::time_point begin = Clock::now();
    Search s = new_search(mode, begin + std::chrono::milliseconds(budget_ms));
    // A beam's time is about a fixed cost plus a cost per unit of width.
    // Two narrow beams measure both; then one wide beam is sized to fill
    // the time left (aiming past it, as the narrow ones overstate the cost
    // per unit) and narrows on its way if it falls behind. Widening fourfold
    // instead spent half the time on beams the last one nearly always beat.
    size_t width = 1;
    size_t last_width = 0;
    double last_took = 0;
    bool filling = false;
    for (;;) {
        const Clock::time_point t0 = Clock::now();
        if (!all_beams(s, start, width, filling) || filling)
            break;
        const Clock::time_point t1 = Clock::now();
        const double took = std::chrono::duration<double>(t1 - t0).count();
        const double left = std::chrono::duration<double>(s.deadline - t1).count() * FILL;
        double next = double(width) * FIRST_GROWTH;
        if (last_width != 0) {
            const double per_width = (took - last_took) / double(width - last_width);
            next = per_width > 0 ? double(width) + (left - took) / per_width : double(width) * left / took;
            filling = true;
        }
        last_width = width;
        last_took = took;
        if (next < double(width) * 1.2 || left < took)
            break;
        width = size_t(next);
    }
    return finish(s, start);
}

SolverLine solve_board(const Board& start, int mode, int budget_ms)
{
    return solve_board(colours_of(start), mode, budget_ms);
}

SolverLine solve_board_width(const ColourBoard& start, int mode, int width)
{
    Search s = new_search(mode, Clock::time_point::max());
    all_beams(s, start, size_t(std::max(1, width)), false);
    return finish(s, start);
}

bool hint_move(const Board& start, int mode, SolverMove& first)
{
    const SolverLine line = solve_board(start, mode, HINT_BUDGET_MS);
    if (line.moves.empty())
        return false;
    first = line.moves.front();
    return true;
}

SolverLine greedy_line(const ColourBoard& start, int mode)
{
    SolverLine line;
    ColourBoard on = start;
    GroupCells groups[MOST_GROUPS];
    for (;;) {
        for (ColourCell& cell : on.cells)
            cell.marked = 0;
        const int found = list_groups(on, groups);
        if (found == 0)
            break;
        int pick = 0;
        for (int g = 1; g < found; ++g) {
            if (groups[g].size > groups[pick].size)
                pick = g;
        }
        const int32_t points = play_move(on, mode, column_of(groups[pick]), row_of(groups[pick]));
        ++line.positions;
        line.moves.push_back(SolverMove{column_of(groups[pick]), row_of(groups[pick]), points});
        line.score += points;
    }
    line.cleared = bonus_mode(mode) && board_empty(on) && !line.moves.empty();
    if (line.cleared)
        line.score += EMPTY_BOARD_BONUS;
    return line;
}
