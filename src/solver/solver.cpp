// Beam search on the bit board (fast_board.h, held to the board rules by a
// property test), widened until the budget (time, or positions) is spent,
// with endgames solved exactly, on as many threads as it is given.
//
// Why this search, as measured on the benchmark deals (tests/bench/solver_bench):
// - A beam ranks the positions after each number of pops and keeps the best
//   `width` of them. Ranked by score alone it wastes its width on positions
//   that cashed small groups early. Ranked by the score plus the points of
//   every group now on the board, plus the grouped tiles of each colour
//   counted as if they joined into one group, less the tiles in no group
//   (Traditional), plus the tiles with a tile of their colour diagonally
//   next to them (Shifter), it keeps positions that are building big
//   groups. Each term was kept because it raised the average at a fixed
//   width.
// - Two paths to the same board keep only the better scored (duplicate
//   pruning by a hash of the colours): many orders of pops meet.
// - A child whose score plus the most its tiles could still make (each
//   colour as one group, and the bonus) cannot beat the best line found is
//   never popped: exact, and late in a beam most children are such.
// - Once few tiles are left (24, 20 in Shifter), every line is tried (positions met
//   twice are looked up; in Shifter, none that cannot beat the best line
//   found): the empty-board bonus decides most Traditional scores, and a
//   ranking cannot tell which endings clear.
// - Playouts from each position (greedy, or keeping the most plentiful
//   colour for last) ranked no better for their cost than a wider beam.
//   Nor did layers by tiles left instead of by pops made, a cap on the
//   children kept from one position, or ranking only the children that a
//   cheaper estimate put ahead.
// - Nor, on the bit board, did a penalty on the most plentiful colour (kept
//   for one big group at the end: the colour term already plans for that;
//   it cost 27 points in Shifter at 8 sixteenths), or beams again from
//   positions along the best line with part of the budget (the main beam
//   lost more width than they found).
// - Nor, in Shifter, did dropping near-duplicate boards (the same but for
//   the top row, or two, the better ranked kept): 945.7 and 944.1 against
//   946.3 at 250,000 positions a thread on deals 320 to 439.
// Beams of width 1 and 16 measure the cost of width, then one beam is sized
// to fill the budget left, narrowing on the way if it falls behind; the best
// line of any beam wins. Time decides only the last beam's widths: a given
// width without a deadline (solve_board_width), or a budget of positions,
// always finds the same line.
//
// Memory: a beam keeps, while it builds a layer, only the children that can
// still be among its best `width` (a buffer half as big again, cut back to
// the best `width` whenever it fills), and the steps of the lines of the
// positions it keeps (dropped with the positions that left the beam). Its
// width is capped so that all of it fits in the search's share of
// SEARCH_MEMORY_BYTES: a long search holds no more than a short one.
#include "solver/solver.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>
#include <limits>

#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "board/settle.h"
#include "solver/fast_board.h"
#include "solver/search.h"

namespace {

using Clock = std::chrono::steady_clock;
// The ranking, in sixteenths of a point (see above).
struct Weights {
    int64_t groups;  // each group's points
    int64_t joined;  // a colour's grouped tiles as one group
    int64_t alone;   // taken off for each tile in no group
    int64_t diagonal;  // each tile with a tile of its colour diagonally next to it
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
constexpr Weights TRADITIONAL_WEIGHTS[] = {{8, 4, 128, 0}, {12, 6, 128, 0}, {16, 0, 128, 0}};
// The second way is for Megashifter's second thread (Shifter's threads split
// the first pops instead: see splits_first_pops). Measured in Shifter
// before that split, at 350,000 positions a thread: 941 on average against
// 933 for both threads ranking the first way (8, 8: 938; 12, 9: 941; 6, 6:
// 937). One thread ranking both ways got 927.
// Shifter also counts each tile that has a tile of its colour as a diagonal
// neighbour: one pop beneath or beside the pair (the tiles fall, the rows
// slide right) often makes them neighbours. At 250,000 positions a thread
// (what 100 ms buys), before the split, 20 sixteenths a tile on both threads
// raised the average from 922.3 to 925.0 on 120 deals kept for tuning (26
// deals up, 6 down), 941.5 to 942.4 on the bench's deals and 923.9 to 925.9
// on the unseen ones; it costs about 6.5 % more time a position, and at
// 235,000 positions (the same time) it still made 924.1, 942.4 and 925.5.
// At 400,000 it changed nothing measurable (928.7 to 928.6, 945.9 to 945.0,
// 931.0 to 931.2). 16 made +1.9 on the tuning deals, 24 +2.3, 32 +1.2,
// 48 nothing; at 24 on the first thread alone +1.2, the second alone +1.8.
constexpr int64_t SHIFTER_DIAGONAL = 20;
constexpr Weights SHIFTER_WEIGHTS[] = {{12, 6, 0, SHIFTER_DIAGONAL}, {10, 10, 0, SHIFTER_DIAGONAL}};
// Megashifter ranks as Shifter did before the diagonal term, which was
// measured in Shifter only: its games never clear and are scored by a
// different bench (a game played by the hint alone).
constexpr Weights MEGASHIFTER_WEIGHTS[] = {{12, 6, 0, 0}, {10, 10, 0, 0}};
// A colour down to one tile can never clear the board. Measured, this
// changed no line on the benchmark deals (such positions rank low anyway);
// it stays because it costs nothing and says what the bonus needs.
constexpr int64_t LONE_TILE_COST = 250 * 16;
// Endgames solved exactly from this many tiles: Traditional's scores turn
// on which endings clear and gain from solving more of them (about 4 points
// on average at 24 against 20); in Shifter nearly every ending clears and
// the time buys more width instead (26 lost 35 points, 16 to 18 no gain;
// with the endgames bounded by the best line, 22 and 24 tiles gave 948.3
// and 947.8 against 948.1 at 250,000 positions a thread on deals 320 to
// 439; before that bound, endgames counted as free gave 948.2 against
// 946.3, and 948.5 from 24 tiles).
constexpr int TRADITIONAL_ENDGAME_TILES = 24;
constexpr int SHIFTER_ENDGAME_TILES = 20;
// The widening schedule (see search_thread).
constexpr double FIRST_GROWTH = 16.0;
constexpr double FILL = 1.6;
constexpr int MOST_GROUPS = BOARD_CELLS / 2;
constexpr double NEVER = std::numeric_limits<double>::infinity();
// Shifter's beams end early since the cut of hopeless children (see
// most_left) and the cost forecast here overstates what their last layers
// cost: a beam ahead of its time widens, up to this much a layer. At 350,000
// positions a thread, 943.5 on average against 941.3 without (2: 943.2);
// 200,000: 937.6 against 933.8 before the cut; 700,000: 948.5 against
// 945.3. Traditional's forecast errs the other way (its exact endgames
// cost more than forecast) and widening there lost 30 points on 10 deals;
// Megashifter has no cut (its boards never clear) and keeps the forecast.
constexpr double SHIFTER_WIDENING = 1.5;
// Since its endgames skip what cannot beat the best line (solve_above) the
// forecast overstates Shifter's last layers further: a beam forecasts them
// at this share of what they would cost at the rate measured. At
// 250,000 positions a thread (deals 320 to 439) 0.7 scored 949.6 against
// 948.1, 0.5 949.5, 1.4 944.8, and 0.35 941.8 (beams ran out before their
// ends); at 0.7 the bench's deals, the unseen and deals 440 to 559 gained
// 0.6 to 1.8 at 250,000 and 400,000, deals 560 to 679 lost 0.9. (The
// width the last beam starts at, FILL, hardly matters any more: the
// forecast sets it within the first layers that fill; widening by 2 or
// 1.25 with it changed nothing, 949.6 and 949.3.) Each position costs 10 to
// 12 % more processor time (wider layers rank more children), but by time
// it counts for more: at the measured rate a 100 ms search ended after 79
// ms on average, at 0.7 after 90 (0.6: 94, 0.8: 87). Three runs each of 100 ms
// on a quiet machine: the bench's deals 938.4 at the measured rate, 944.9
// at 0.7 (0.6: 944.6, 0.8: 944.2); the unseen 928.3 and 933.0 (932.2,
// 931.3); deals 200 to 239 919.8 and 925.5 (926.1, 923.4).
constexpr double SHIFTER_FORECAST = 0.7;

// One pop of a line the beam still keeps: the lines share their beginnings.
struct Step {
    uint32_t parent;  // NO_STEP for the first pop
    uint8_t column;
    uint8_t row;
    uint16_t size;  // tiles popped
};
static_assert(sizeof(Step) == 8, "a step is 8 bytes");
constexpr uint32_t NO_STEP = 0xFFFFFFFFu;

struct Node {
    FastBoard board;
    int64_t rank;
    int32_t score;
    uint32_t step;  // the last pop in the step store, NO_STEP at the start
    uint32_t made;  // the order a layer's children were made in: equal ranks go to the first
    uint8_t counts[colour_count + 1];  // tiles of each colour; [0] unused
    uint8_t tiles;
    uint8_t first;  // the first cell of the line's first pop
    uint16_t taken;  // incoming columns brought in so far
    // The pop that made a child of the layer being built: it becomes a step
    // only if the child is kept.
    uint8_t cell;
    uint8_t size;
};
static_assert(sizeof(Node) == 80, "a position is 80 bytes");
constexpr uint8_t NO_FIRST = 0xFF;

// An endgame solved exactly, stored by board hash; 0 marks a free slot.
struct Solved {
    uint64_t key;
    int32_t value;  // the most the position can still score, bonus included
    uint8_t column;  // the pop that starts it
    uint8_t row;
    bool at_most = false;  // value is only a bound (solve_above): no line beats it
};
constexpr size_t SOLVED_SLOTS = size_t(1) << 16;

// A board among the children kept so far: its key and node side by side, as
// the table is too big for the caches of a wide beam and each look missed
// them twice in two arrays (a tenth of Shifter's time went to the first).
struct Seen {
    uint64_t key;  // 0 marks a free slot
    uint32_t node;
};

// What a beam holds for each position of its width: the layer and the
// children being built (each half as big again as the width, and they
// trade places), the table of boards met (at most half full), and the steps
// of the kept lines with their renumbering (measured: under three a
// position at 10 s, as the kept lines soon share their beginnings; four
// counted).
constexpr size_t BYTES_A_POSITION = 2 * sizeof(Node) * 3 / 2 + 4 * sizeof(Seen) * 3 / 2 + 4 * (sizeof(Step) + 4);

// Time or positions, whichever the search is limited by, as one measure:
// seconds, or boards settled.
struct Search {
    int mode;
    int endgame_tiles;
    bool by_positions;
    Clock::time_point began;
    const std::atomic<bool>* cancel;
    double deadline;
    double beam_deadline;  // the share of one beam, for narrowing; infinity never narrows
    size_t most_width;
    Incoming incoming;
    int32_t first_best[BOARD_CELLS];  // the best line found through each first pop
    uint64_t positions = 0;
    std::vector<Step> steps;
    std::vector<uint32_t> renumbered;  // a step's new place when the store is compacted
    std::vector<Node> layer, kept;
    std::vector<Seen> seen;
    std::vector<Solved> solved;
    std::vector<SolverMove> tail;
    SolverLine best;
    // This thread's part of the first pops when the threads split them
    // (see take_part): those ranked part, part + parts, ... ; parts 1 takes all.
    int part = 0;
    int parts = 1;
    bool bounded = false;  // endgames by solve_above rather than solve_exactly
    bool late = false;  // the deadline passed inside an endgame: its values are unfinished
};

// Only a board that is never refilled can be cleared for the bonus.
bool bonus_mode(int mode) { return !refills_from_left(mode); }

uint8_t column_of(const GroupCells& g) { return uint8_t(g.first / BOARD_ROWS); }
uint8_t row_of(const GroupCells& g) { return uint8_t(g.first % BOARD_ROWS); }

double spent(const Search& s)
{
    if (s.by_positions)
        return double(s.positions);
    return std::chrono::duration<double>(Clock::now() - s.began).count();
}

bool cancelled(const Search& s) { return s.cancel != nullptr && s.cancel->load(std::memory_order_relaxed); }

bool out_of_budget(const Search& s) { return spent(s) > s.deadline || cancelled(s); }

// A pop as the search plans it: the columns that come in from its sample.
void pop_planned(const Search& s, FastBoard& on, CellSet group, uint16_t& taken)
{
    fast_pop(on, group, s.mode, s.incoming, taken);
}

// Boards that differ only in the columns still to come are different
// positions to a search that samples them.
uint64_t position_hash(const FastBoard& b, uint16_t taken) { return fast_hash(b) ^ (uint64_t(taken) << 40); }

// The cells whose cell `by` further on in storage order holds a tile of the
// same colour, within `mask` (the cells for which that step stays on the
// board): every colour at once, from the bit planes.
CellSet same_colour_at(const FastBoard& b, CellSet tiles, int by, CellSet mask)
{
    const CellSet p0 = b.plane[0], p1 = b.plane[1], p2 = b.plane[2];
    return tiles & (tiles >> by) & mask & ~((p0 ^ (p0 >> by)) | (p1 ^ (p1 >> by)) | (p2 ^ (p2 >> by)));
}

} // namespace

int diagonal_tiles(const FastBoard& b)
{
    constexpr CellSet ABOVE_BOTTOM = ALL_CELLS & ~every_column(1u << (BOARD_ROWS - 1));
    constexpr CellSet BELOW_TOP = ALL_CELLS & ~every_column(1u);
    const CellSet tiles = occupied(b);
    // A cell and the one a column right and a row down, or a row up.
    const CellSet down = same_colour_at(b, tiles, BOARD_ROWS + 1, ABOVE_BOTTOM);
    const CellSet up = same_colour_at(b, tiles, BOARD_ROWS - 1, BELOW_TOP);
    return cell_count(down | (down << (BOARD_ROWS + 1)) | up | (up << (BOARD_ROWS - 1)));
}

namespace {

// The tiles of each colour on a board.
void count_colours(const FastBoard& on, uint8_t (&counts)[colour_count + 1])
{
    CellSet of_colour[colour_count + 1];
    colour_sets(on, of_colour);
    counts[0] = 0;
    for (int c = 1; c <= colour_count; ++c)
        counts[c] = uint8_t(cell_count(of_colour[c]));
}

// Tiles of each colour, counted afresh after columns came in.
void count_tiles(Node& node)
{
    count_colours(node.board, node.counts);
    int tiles = 0;
    for (int c = 1; c <= colour_count; ++c)
        tiles += node.counts[c];
    node.tiles = uint8_t(tiles);
}

int64_t rank_of(const Node& node, const Weights& w)
{
    int joined[colour_count + 1];
    const int64_t points = tally_groups(node.board, joined);
    int64_t rank = int64_t(node.score) * 16 + points * w.groups;
    for (int c = 1; c <= colour_count; ++c) {
        if (joined[c] >= 2)
            rank += group_points(joined[c]) * w.joined;
        if (node.counts[c] == 1)
            rank -= LONE_TILE_COST;
        rank -= w.alone * (node.counts[c] - joined[c]);
    }
    if (w.diagonal != 0)
        rank += w.diagonal * diagonal_tiles(node.board);
    return rank;
}

// Higher rank first; among equals the child made first, so that the kept
// set does not depend on where a selection left them.
bool better(const Node& a, const Node& b) { return a.rank != b.rank ? a.rank > b.rank : a.made < b.made; }

// The most the tiles left could still score: each colour's tiles popped as
// one group (n * n - 1 is never less than the points of n tiles in parts),
// then the bonus unless a colour is down to one tile. A child that cannot
// reach the best line found so far is cut before it is popped: no line
// through it could be taken. Late in a beam most children are such: in
// Shifter the exact endgames took 44% of the positions without the cut
// and 17% with it; in Traditional 33% and 29%.
int32_t most_left(const uint8_t (&counts)[colour_count + 1], int popped_colour, int popped)
{
    int32_t most = 0;
    bool lone = false;
    for (int c = 1; c <= colour_count; ++c) {
        const int n = counts[c] - (c == popped_colour ? popped : 0);
        if (n >= 2)
            most += group_points(n);
        lone = lone || n == 1;
    }
    return most + (lone ? 0 : EMPTY_BOARD_BONUS);
}

// One pop inside an endgame's search, into `child`; false once the budget
// has run out (looked at every 1024 positions), and the search is late.
bool endgame_pop(Search& s, const FastBoard& on, uint16_t taken, CellSet group, FastBoard& child,
                 uint16_t& child_taken)
{
    if ((s.positions & 1023) == 0 && out_of_budget(s))
        s.late = true;
    if (s.late)
        return false;
    child = on;
    child_taken = taken;
    pop_planned(s, child, group, child_taken);
    ++s.positions;
    return true;
}

// The most a position can still score, by trying every line; positions met
// again are looked up. Only for endgames, where that is cheap.
int32_t solve_exactly(Search& s, const FastBoard& on, uint16_t taken)
{
    const uint64_t key = position_hash(on, taken);
    if (s.solved[key & (SOLVED_SLOTS - 1)].key == key)
        return s.solved[key & (SOLVED_SLOTS - 1)].value;
    GroupCells groups[MOST_GROUPS];
    const int found = fast_groups(on, groups);
    int32_t best = found == 0 && bonus_mode(s.mode) && occupied(on) == 0 ? EMPTY_BOARD_BONUS : 0;
    Solved entry{key, best, 0, 0};
    for (int g = 0; g < found; ++g) {
        FastBoard child;
        uint16_t child_taken;
        if (!endgame_pop(s, on, taken, groups[g].cells, child, child_taken))
            return 0;
        const int32_t value = group_points(groups[g].size) + solve_exactly(s, child, child_taken);
        if (g == 0 || value > entry.value)
            entry = Solved{key, value, column_of(groups[g]), row_of(groups[g])};
    }
    if (s.late)
        return 0;
    s.solved[key & (SOLVED_SLOTS - 1)] = entry;
    return entry.value;
}

// As solve_exactly, but only what can beat `floor` is worked out: the
// value is exact when above it, and otherwise a bound no line beats (at
// most `floor`). The biggest groups go first, so that a good line is found
// early, and a pop whose points plus the most its tiles could still make
// (most_left) cannot beat the floor or the best line so far is never made.
// Table entries say which they hold: a bound answers a later look only
// below a floor as high. Shifter's endgames took about a sixth of its
// positions, and a search that counted none of them as spent gained 1.8
// points (250,000 positions a thread, deals 320 to 439); this gained 1.8
// there (946.3 to 948.1; 400,000: 951.8 to 952.7), on deals 440 to 559
// and 560 to 679 1.7 and 2.3, on the bench's deals 2.1 (250,000) and 1.3
// (400,000), on the unseen 4.7 and 0.9, for the same processor time.
// Traditional keeps solve_exactly: its lines must not change.
int32_t solve_above(Search& s, const FastBoard& on, uint16_t taken, int32_t floor)
{
    const uint64_t key = position_hash(on, taken);
    Solved& slot = s.solved[key & (SOLVED_SLOTS - 1)];
    if (slot.key == key && (!slot.at_most || slot.value <= floor))
        return slot.value;
    GroupCells groups[MOST_GROUPS];
    const int found = fast_groups(on, groups);
    if (found == 0) {
        const int32_t value = bonus_mode(s.mode) && occupied(on) == 0 ? EMPTY_BOARD_BONUS : 0;
        s.solved[key & (SOLVED_SLOTS - 1)] = Solved{key, value, 0, 0, false};
        return value;
    }
    uint8_t counts[colour_count + 1];
    count_colours(on, counts);
    // Biggest first; among equals in the order found.
    uint8_t order[MOST_GROUPS];
    for (int g = 0; g < found; ++g) {
        int at = g;
        for (; at > 0 && groups[order[at - 1]].size < groups[g].size; --at)
            order[at] = order[at - 1];
        order[at] = uint8_t(g);
    }
    int32_t best = -1;  // the best line through a pop made, exact once above the floor
    int32_t bound = -1;  // the most any pop could give, made or not
    uint8_t column = 0, row = 0;
    for (int i = 0; i < found; ++i) {
        const GroupCells& group = groups[order[i]];
        const int32_t points = group_points(group.size);
        const int32_t beat = std::max(floor, best);
        const int32_t most = points + most_left(counts, group.colour, group.size);
        if (most <= beat) {
            bound = std::max(bound, most);
            continue;
        }
        FastBoard child;
        uint16_t child_taken;
        if (!endgame_pop(s, on, taken, group.cells, child, child_taken))
            return 0;
        const int32_t value = points + solve_above(s, child, child_taken, beat - points);
        if (s.late)
            return 0;
        bound = std::max(bound, value);
        if (value > best) {
            best = value;
            column = column_of(group);
            row = row_of(group);
        }
    }
    const bool exact = best > floor;
    const int32_t value = exact ? best : bound;
    s.solved[key & (SOLVED_SLOTS - 1)] = Solved{key, value, column, row, !exact};
    return value;
}

// Takes the line ending in `step`, then `last` when there is one, then the
// moves in s.tail, when it beats the best so far.
void offer(Search& s, int32_t score, uint32_t step, const SolverMove* last, uint8_t first)
{
    if (first != NO_FIRST)
        s.first_best[first] = std::max(s.first_best[first], score);
    if (score <= s.best.score)
        return;
    s.best.moves.clear();
    for (uint32_t i = step; i != NO_STEP; i = s.steps[i].parent)
        s.best.moves.push_back(SolverMove{s.steps[i].column, s.steps[i].row, group_points(s.steps[i].size)});
    std::reverse(s.best.moves.begin(), s.best.moves.end());
    if (last != nullptr)
        s.best.moves.push_back(*last);
    s.best.moves.insert(s.best.moves.end(), s.tail.begin(), s.tail.end());
    s.best.score = score;
}

// The best line of a solved endgame, replayed from the table (and solved
// again where a later position took a slot).
void endgame_line(Search& s, FastBoard on, uint16_t taken, std::vector<SolverMove>& out)
{
    out.clear();
    while (!s.late) {
        if (s.bounded)
            solve_above(s, on, taken, -1);
        else
            solve_exactly(s, on, taken);
        const Solved& slot = s.solved[position_hash(on, taken) & (SOLVED_SLOTS - 1)];
        const CellSet group = group_at(on, slot.column * BOARD_ROWS + slot.row);
        const int size = cell_count(group);
        if (size < SMALLEST_GROUP)
            return;
        pop_planned(s, on, group, taken);
        out.push_back(SolverMove{slot.column, slot.row, group_points(size)});
    }
}

Node root_node(const ColourBoard& start)
{
    Node root{};
    root.board = fast_board_of(start);
    for (const ColourCell& cell : start.cells)
        ++root.counts[cell.colour];
    root.tiles = uint8_t(BOARD_CELLS - root.counts[0]);
    root.step = NO_STEP;
    root.first = NO_FIRST;
    return root;
}

// The children a layer may hold before they are cut back to `room`.
size_t buffer_for(size_t room) { return room + room / 2; }

// Where a board is, or would go, in the table of boards kept (open addressing).
size_t seen_slot(const Search& s, uint64_t key)
{
    const size_t mask = s.seen.size() - 1;
    size_t i = key & mask;
    while (s.seen[i].key != 0 && s.seen[i].key != key)
        i = (i + 1) & mask;
    return i;
}

void index_kept(Search& s)
{
    std::fill(s.seen.begin(), s.seen.end(), Seen{0, 0});
    for (uint32_t i = 0; i < s.kept.size(); ++i) {
        const uint64_t key = position_hash(s.kept[i].board, s.kept[i].taken);
        s.seen[seen_slot(s, key)] = Seen{key, i};
    }
}

// Keeps the best `width` of the children (in no particular order).
void cut_to(Search& s, size_t width)
{
    if (s.kept.size() <= width)
        return;
    std::nth_element(s.kept.begin(), s.kept.begin() + std::ptrdiff_t(width - 1), s.kept.end(), better);
    s.kept.resize(width);
}

// What a layer's building measured, for fitting the beam to its time.
struct LayerTally {
    uint64_t positions_before;
    uint64_t children;  // boards not met before in the layer (as far as it kept them)
    uint64_t tiles;     // their tiles, together
};

// Every child of the layer's positions, keeping in s.kept the best `room`
// of them by rank, each board once (with its best score). The best line
// found is offered on the way: a position with no group left, or an endgame
// solved exactly. False when the budget ran out first.
bool build_children(Search& s, size_t room, const Weights& weights, LayerTally& tally)
{
    const size_t buffer = buffer_for(room);
    if (s.kept.capacity() < buffer)
        s.kept.reserve(buffer);
    size_t slots = 64;
    while (slots < buffer * 2)
        slots *= 2;
    s.seen.assign(slots, Seen{0, 0});
    s.kept.clear();
    tally = LayerTally{s.positions, 0, 0};
    bool full = false;  // the children have been cut back to `room` at least once
    int64_t floor_rank = 0;  // then a child must rank above the worst kept
    uint32_t made = 0;
    uint32_t since_clock = 0;
    GroupCells groups[MOST_GROUPS];
    Node children[MOST_GROUPS];
    uint64_t keys[MOST_GROUPS];
    for (const Node& parent : s.layer) {
        const int found = fast_groups(parent.board, groups);
        if (found == 0) {
            // The bonus is for clearing the board, not for being given an empty one.
            const bool cleared = bonus_mode(s.mode) && parent.tiles == 0 && parent.step != NO_STEP;
            s.tail.clear();
            offer(s, parent.score + (cleared ? EMPTY_BOARD_BONUS : 0), parent.step, nullptr, parent.first);
            continue;
        }
        int pending = 0;
        for (int g = 0; g < found; ++g) {
            if (++since_clock == 256) {
                since_clock = 0;
                if (out_of_budget(s))
                    return false;
            }
            const GroupCells& group = groups[g];
            const int32_t points = group_points(group.size);
            if (bonus_mode(s.mode)
                && parent.score + points + most_left(parent.counts, group.colour, group.size) <= s.best.score)
                continue;
            Node& child = children[pending];
            child.board = parent.board;
            child.taken = parent.taken;
            child.first = parent.first == NO_FIRST ? group.first : parent.first;
            child.step = parent.step;
            child.cell = group.first;
            child.size = group.size;
            pop_planned(s, child.board, group.cells, child.taken);
            ++s.positions;
            child.score = parent.score + points;
            std::memcpy(child.counts, parent.counts, sizeof child.counts);
            child.counts[group.colour] = uint8_t(child.counts[group.colour] - group.size);
            child.tiles = uint8_t(parent.tiles - group.size);
            if (child.taken != parent.taken)
                count_tiles(child);
            if (child.tiles <= s.endgame_tiles && child.taken >= s.incoming.columns) {
                const int32_t rest = s.bounded ? solve_above(s, child.board, child.taken, s.best.score - child.score)
                                               : solve_exactly(s, child.board, child.taken);
                if (!s.late && child.score + rest > s.best.score)
                    endgame_line(s, child.board, child.taken, s.tail);
                if (s.late)
                    return false;
                // Not above the best line, solve_above gave a bound, not a line.
                if (s.bounded && child.score + rest <= s.best.score)
                    continue;
                const SolverMove last{column_of(group), row_of(group), points};
                offer(s, child.score + rest, parent.step, &last, child.first);
                continue;
            }
            keys[pending] = position_hash(child.board, child.taken);
            __builtin_prefetch(&s.seen[keys[pending] & (s.seen.size() - 1)]);
            ++pending;
        }
        // The table of boards met outgrows the caches of a wide beam:
        // every child's slot is fetched before any is looked at (in
        // Shifter a tenth of the time went to waiting on it).
        for (int c = 0; c < pending; ++c) {
            Node& child = children[c];
            Seen& seen = s.seen[seen_slot(s, keys[c])];
            if (seen.key != 0) {
                // The same board, kept: the better scored stays, in the
                // place of the first (on the same board the better score
                // is the better rank).
                Node& met = s.kept[seen.node];
                if (met.score >= child.score)
                    continue;
                child.made = met.made;
                child.rank = rank_of(child, weights);
                met = child;
                continue;
            }
            ++tally.children;
            tally.tiles += child.tiles;
            child.made = made++;
            child.rank = rank_of(child, weights);
            // Made after every child kept, it must rank above the worst.
            if (full && child.rank <= floor_rank)
                continue;
            seen = Seen{keys[c], uint32_t(s.kept.size())};
            s.kept.push_back(child);
            if (s.kept.size() == buffer) {
                cut_to(s, room);
                full = true;
                floor_rank = s.kept[room - 1].rank;
                index_kept(s);
                if (out_of_budget(s))
                    return false;
            }
        }
    }
    return true;
}

// The time a beam has had, for fitting it to its share.
struct BeamClock {
    double began;
    uint64_t positions_before;
    int start_tiles;
    int layers;
};

// A width worked out in floating point, as a count from 1 to `most`: a
// forecast can come out infinite or not a number (a layer that settled no
// board, a beam already past its time), and converting such a value is
// undefined; it once gave a width of 2^63 that a reserve then refused.
size_t width_of(double wanted, size_t most)
{
    if (!(wanted >= 1))
        return 1;
    return wanted >= double(most) ? most : size_t(wanted);
}

// The width for the layer just built. A beam behind its time narrows for
// the layers left rather than be cut off before any ending. The layers left
// are counted at the tiles popped per layer so far, each costing what this
// one did at full width, less and less as fewer tiles make fewer groups.
// Shifter's beams ahead of their time widen (see SHIFTER_WIDENING), never
// past `room`, the children build_children kept.
size_t fit_to_time(const Search& s, BeamClock& clock, const LayerTally& tally, size_t width, size_t room)
{
    if (s.beam_deadline == NEVER || tally.children == 0)
        return width;
    ++clock.layers;
    const double tiles = double(tally.tiles) / double(tally.children);
    const double now = spent(s);
    const double left = s.beam_deadline - now;
    const double per_position = (now - clock.began) / double(s.positions - clock.positions_before);
    const double per_layer = (clock.start_tiles - tiles) / clock.layers;
    const double layers_left = per_layer > 0 ? (tiles - s.endgame_tiles) / per_layer : 1;
    const double kept = double(std::min<uint64_t>(width, tally.children));
    const double forecast = slides_rows(s.mode) && bonus_mode(s.mode) ? SHIFTER_FORECAST : 1.0;
    const double need = forecast * layers_left * (tiles + s.endgame_tiles) / (2 * tiles)
                        * double(s.positions - tally.positions_before) * per_position * kept
                        / double(s.layer.size());
    if (need > left)
        return width_of(kept * std::max(0.0, left) / need, width);
    if (room > width && need > 0 && tally.children > width)
        return width_of(std::min(double(width) * SHIFTER_WIDENING, kept * left / need), room);
    return width;
}

// The widest a layer may grow to from `width`.
size_t room_for(const Search& s, size_t width)
{
    if (s.beam_deadline != NEVER && slides_rows(s.mode) && bonus_mode(s.mode))
        return std::min(s.most_width, size_t(double(width) * SHIFTER_WIDENING));
    return width;
}

// Keeps in the step store only the lines of the positions in s.layer:
// the steps of positions that left the beam go. Steps are stored after
// their parents, so one pass in order renumbers them.
void drop_dead_steps(Search& s)
{
    constexpr uint32_t DEAD = 0xFFFFFFFFu;
    constexpr uint32_t LIVE = 0;
    s.renumbered.assign(s.steps.size(), DEAD);
    for (const Node& node : s.layer) {
        for (uint32_t i = node.step; i != NO_STEP && s.renumbered[i] == DEAD; i = s.steps[i].parent)
            s.renumbered[i] = LIVE;
    }
    uint32_t live = 0;
    for (uint32_t i = 0; i < s.steps.size(); ++i) {
        if (s.renumbered[i] == DEAD)
            continue;
        Step step = s.steps[i];
        if (step.parent != NO_STEP)
            step.parent = s.renumbered[step.parent];
        s.steps[live] = step;
        s.renumbered[i] = live++;
    }
    s.steps.resize(live);
    for (Node& node : s.layer) {
        if (node.step != NO_STEP)
            node.step = s.renumbered[node.step];
    }
}

// The best `width` children become the next layer, each with its pop now a
// step of its line.
void keep_layer(Search& s, size_t width)
{
    cut_to(s, width);
    std::swap(s.layer, s.kept);
    // The store is compacted before the new steps join it, and grows by
    // half a layer at a time rather than doubling: it holds the lines of
    // one layer, not of every position the beam ever made.
    drop_dead_steps(s);
    if (s.steps.capacity() < s.steps.size() + s.layer.size())
        s.steps.reserve(s.steps.size() + s.layer.size() + s.layer.size() / 2);
    for (Node& node : s.layer) {
        s.steps.push_back(Step{node.step, uint8_t(node.cell / BOARD_ROWS), uint8_t(node.cell % BOARD_ROWS), node.size});
        node.step = uint32_t(s.steps.size() - 1);
    }
}

// Keeps of the root's children, built with room for all of them, this
// thread's part: ranked from the best, every parts-th from the part-th.
// Shifter's threads each search their own first pops rather than the same
// ones two ways (see splits_first_pops). With more threads than first pops
// each takes one, a thread beyond them one again.
void take_part(Search& s)
{
    if (s.kept.empty())
        return;
    std::sort(s.kept.begin(), s.kept.end(), better);
    size_t kept = 0;
    for (size_t i = size_t(s.part) % s.kept.size(); i < s.kept.size(); i += size_t(s.parts))
        s.kept[kept++] = s.kept[i];
    s.kept.resize(kept);
}

// One beam of the given width to the end; false when the budget ran out
// first (what it found until then is offered all the same).
bool beam(Search& s, const ColourBoard& start, size_t width, const Weights& weights)
{
    width = std::min(width, s.most_width);
    s.steps.clear();
    s.layer.assign(1, root_node(start));
    BeamClock clock{spent(s), s.positions, s.layer[0].tiles, 0};
    bool first = true;
    while (!s.layer.empty()) {
        const bool split = first && s.parts > 1;
        const size_t room = split ? std::max<size_t>(room_for(s, width), MOST_GROUPS) : room_for(s, width);
        LayerTally tally;
        if (!build_children(s, room, weights, tally))
            return false;
        if (split)
            take_part(s);
        first = false;
        width = fit_to_time(s, clock, tally, width, room);
        keep_layer(s, width);
        if (out_of_budget(s))
            return false;
    }
    return true;
}

// A beam of the given width for each of this search's ways to rank, each
// narrowing to end by its share of the budget up to `until` (or never).
bool all_beams(Search& s, const ColourBoard& start, size_t width, double until, const std::vector<Weights>& ways)
{
    s.beam_deadline = NEVER;
    for (size_t w = 0; w < ways.size(); ++w) {
        if (until != NEVER) {
            const double now = spent(s);
            s.beam_deadline = now + (until - now) / double(ways.size() - w);
        }
        if (!beam(s, start, width, ways[w]))
            return false;
    }
    return true;
}

void start_search(Search& s, const ThreadBudget& budget)
{
    s.mode = budget.mode;
    s.endgame_tiles = slides_rows(budget.mode) ? SHIFTER_ENDGAME_TILES : TRADITIONAL_ENDGAME_TILES;
    s.bounded = slides_rows(budget.mode) && bonus_mode(budget.mode);
    s.by_positions = budget.by_positions;
    s.began = budget.began;
    s.cancel = budget.cancel;
    s.deadline = budget.deadline;
    s.beam_deadline = NEVER;
    s.most_width = std::max<size_t>(1, budget.most_width);
    s.incoming = budget.incoming;
    std::fill(std::begin(s.first_best), std::end(s.first_best), 0);
    s.solved.assign(SOLVED_SLOTS, Solved{});
    s.best.score = -1;
}

SolverLine finish(Search& s, const ColourBoard& start)
{
    // Out of budget before even the narrowest beam ended: greedy play is
    // microseconds away.
    if (s.best.score < 0)
        s.best = greedy_line(start, s.mode);
    s.best.cleared = false;
    if (bonus_mode(s.mode)) {
        ColourBoard check = start;
        for (const SolverMove& m : s.best.moves)
            play_move(check, s.mode, m.column, m.row);
        s.best.cleared = board_empty(check) && !s.best.moves.empty();
    }
    s.best.positions += s.positions;
    return std::move(s.best);
}

// The ways the mode ranks. Continous settles as Traditional does (but for
// its refill) and ranks as Traditional; Megashifter as Shifter, without the
// diagonal term.
std::vector<Weights> ways_of(int mode)
{
    if (mode == MODE_SHIFTER)
        return {std::begin(SHIFTER_WEIGHTS), std::end(SHIFTER_WEIGHTS)};
    if (slides_rows(mode))
        return {std::begin(MEGASHIFTER_WEIGHTS), std::end(MEGASHIFTER_WEIGHTS)};
    return {std::begin(TRADITIONAL_WEIGHTS), std::end(TRADITIONAL_WEIGHTS)};
}

// Shifter's threads split the first pops between them, all ranking the
// first way (see take_part). Two threads ranking the same first pops two
// ways found much the same lines: at 250,000 positions a thread on deals
// 320 to 439, thread 0 alone scored 936.9, thread 1 alone 934.1, and their
// best 940.6 (thread 0 better on 35 deals, thread 1 on 26, the same on
// 59), with half to nine tenths of their kept boards the same in the
// beams' middle layers. Split, each alone scores less (934.1 and 933.5),
// but they share under 7% of their boards and their best is 946.3; at
// 400,000, 951.8 against 946.0. On deals 440 to 559 and 560 to 679 (250,000)
// 933.1 against 930.5 and 934.9 against 929.6; on the bench's 40 deals
// and the 40 unseen ones, level within chance (250,000: 940.9 against
// 941.5, 923.5 against 923.9; 400,000: 944.9 against 945.9, 932.5
// against 931.0). Tried on deals 320 to 439 at 250,000: split and ranked
// two ways, 943.9 (400,000: 951.0); split in four (two threads' worth of
// positions, half each), 943.6; split at the second or third layer, 945.5
// and 944.8; by ranks in pairs (0, 1 | 2, 3 ...), 944.2, or 0, 3, 4, 7 |
// 1, 2, 5, 6 ..., 945.3; alongside, a cap on the share of a layer from
// one first pop (30 or 50% of its width), 945.4 and 946.1 (unsplit 941.6
// and 941.0 against 940.6).
// On four threads the split gives 953.5 (250,000 a thread, deals 320 to
// 439), where the threads beyond two used to repeat the first two's lines.
// Megashifter's hint needs each thread's line through every first pop.
bool splits_first_pops(int mode) { return slides_rows(mode) && bonus_mode(mode); }

// The ways of ranking one thread of `threads` takes: every one-in-`threads`,
// so that together they rank every way; a thread beyond the ways takes one
// again (a search that samples the columns to come gives it other columns).
std::vector<Weights> share_of(int mode, int thread, int threads)
{
    const std::vector<Weights> ways = ways_of(mode);
    if (splits_first_pops(mode) && threads > 1)
        return {ways[0]};
    // Megashifter gains more from width than from a second ranking: its
    // second way is for a second thread only.
    const size_t used = slides_rows(mode) ? std::min(ways.size(), size_t(threads)) : ways.size();
    std::vector<Weights> share;
    for (size_t w = size_t(thread); w < used; w += size_t(threads))
        share.push_back(ways[w]);
    if (share.empty())
        share.push_back(ways[size_t(thread) % ways.size()]);
    return share;
}

// Beams widened until the budget is spent.
//
// A beam's cost is about a fixed part plus a part per unit of width. Two
// narrow beams measure both; then one wide beam is sized to fill the budget
// left (aiming past it, as the narrow ones overstate the cost per unit) and
// narrows on its way if it falls behind. Widening fourfold instead spent
// half the time on beams the last one nearly always beat. A beam as wide as
// memory allows is the last: the same beam again would find the same line,
// so such a search ends before its time.
void widen_until_spent(Search& s, const ColourBoard& start, const std::vector<Weights>& ways)
{
    size_t width = 1;
    size_t last_width = 0;
    double last_took = 0;
    bool filling = false;
    for (;;) {
        const double t0 = spent(s);
        if (!all_beams(s, start, width, filling ? s.deadline : NEVER, ways) || filling || width >= s.most_width)
            break;
        const double t1 = spent(s);
        const double took = t1 - t0;
        const double left = (s.deadline - t1) * FILL;
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
        width = width_of(next, s.most_width);
    }
}

} // namespace

size_t width_within(size_t bytes)
{
    const size_t solved = SOLVED_SLOTS * sizeof(Solved);
    return bytes > solved + BYTES_A_POSITION ? (bytes - solved) / BYTES_A_POSITION : 1;
}

SolverLine search_one_thread(const ColourBoard& start, const ThreadBudget& budget, int thread, int threads,
                             int32_t (&first_best)[BOARD_CELLS])
{
    Search s;
    start_search(s, budget);
    if (splits_first_pops(budget.mode)) {
        s.part = thread;
        s.parts = threads;
    }
    widen_until_spent(s, start, share_of(budget.mode, thread, threads));
    std::copy(std::begin(s.first_best), std::end(s.first_best), std::begin(first_best));
    return finish(s, start);
}

SolverLine solve_board_width(const ColourBoard& start, int mode, int width)
{
    ThreadBudget budget;
    budget.mode = mode;
    budget.by_positions = true;
    budget.deadline = NEVER;
    budget.most_width = width_within(SEARCH_MEMORY_BYTES);
    Search s;
    start_search(s, budget);
    all_beams(s, start, size_t(std::max(1, width)), NEVER, ways_of(mode));
    return finish(s, start);
}
