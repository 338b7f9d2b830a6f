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
//   (Traditional), it keeps positions that are building big groups. Each
//   term was kept because it raised the average at a fixed width.
// - Two paths to the same board keep only the better scored (duplicate
//   pruning by a hash of the colours): many orders of pops meet.
// - A child whose score plus the most its tiles could still make (each
//   colour as one group, and the bonus) cannot beat the best line found is
//   never popped: exact, and late in a beam most children are such.
// - Once few tiles are left (24, 20 in Shifter), every line is tried (positions met
//   twice are looked up): the empty-board bonus decides most Traditional
//   scores, and a ranking cannot tell which endings clear.
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
// Beams of width 1 and 16 measure the cost of width, then one beam is sized
// to fill the budget left, narrowing on the way if it falls behind; the best
// line of any beam wins. Time decides only the last beam's widths: a given
// width without a deadline (solve_board_width), or a budget of positions,
// always finds the same line.
//
// Threads: each runs its own beams with its share of the mode's ways to
// rank (Traditional's three; Shifter's second way only on a second thread)
// and the best line wins, ties to the lowest thread: with a budget of
// positions the result does not depend on timing. In the modes that refill,
// a hint plans on columns drawn from the search's own generator, a sample
// for each thread, rather than on empty ones; the first moves of the
// threads' lines are then compared by the best line each sample found
// through them. Planned with empty columns the search aimed to empty the
// board, a game that cannot happen there, and the hint alone ended its games
// in 90 pops; planning on sampled ones keeps a game going for hundreds.
#include "solver/solver.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>
#include <limits>
#include <thread>

#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "board/settle.h"
#include "solver/fast_board.h"

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
// Shifter's second way, for a second thread: at 350,000 positions a thread,
// 941 on average against 933 for both threads ranking the first way (8, 8:
// 938; 12, 9: 941; 6, 6: 937). One thread ranking both ways got 927.
constexpr Weights SHIFTER_WEIGHTS[] = {{12, 6, 0}, {10, 10, 0}};
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
// The columns to come that a sampling search imagines; past them the board
// plays out as if the rest came in empty, so every line ends.
constexpr int SAMPLED_COLUMNS = 12;

// One pop of a line: the lines of a beam share their beginnings.
struct Step {
    uint32_t parent;  // NO_STEP for the first pop
    uint8_t column;
    uint8_t row;
    int32_t points;
};
constexpr uint32_t NO_STEP = 0xFFFFFFFFu;

struct Node {
    FastBoard board;
    int32_t score;
    uint32_t step;  // the last pop, NO_STEP at the start
    int64_t rank;
    uint8_t counts[colour_count + 1];  // tiles of each colour; [0] unused
    uint8_t tiles;
    uint8_t first;      // the first cell of the line's first pop
    uint16_t taken;     // incoming columns brought in so far
};
constexpr uint8_t NO_FIRST = 0xFF;

// An endgame solved exactly, stored by board hash; 0 marks a free slot.
struct Solved {
    uint64_t key;
    int32_t value;  // the most the position can still score, bonus included
    uint8_t column;  // the pop that starts it
    uint8_t row;
};
constexpr size_t SOLVED_SLOTS = size_t(1) << 16;

// A board met among a layer's children: its key and node side by side, as
// the table is too big for the caches of a wide beam and each look missed
// them twice in two arrays (a tenth of Shifter's time went to the first).
struct Seen {
    uint64_t key;  // 0 marks a free slot
    uint32_t node;
};
constexpr uint32_t UNSEEN = 0xFFFFFFFFu;

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
    Incoming incoming;
    int32_t first_best[BOARD_CELLS];  // the best line found through each first pop
    uint64_t positions = 0;
    std::vector<Step> steps;
    std::vector<Node> layer, built;
    std::vector<uint32_t> order;
    std::vector<Seen> seen;
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

double spent(const Search& s)
{
    if (s.by_positions)
        return double(s.positions);
    return std::chrono::duration<double>(Clock::now() - s.began).count();
}

bool out_of_budget(const Search& s)
{
    return spent(s) > s.deadline || (s.cancel != nullptr && s.cancel->load(std::memory_order_relaxed));
}

// A pop as the search plans it: the columns that come in from its sample.
void pop_planned(const Search& s, FastBoard& on, CellSet group, uint16_t& taken)
{
    fast_pop(on, group, s.mode, s.incoming, taken);
}

// Boards that differ only in the columns still to come are different
// positions to a search that samples them.
uint64_t position_hash(const FastBoard& b, uint16_t taken) { return fast_hash(b) ^ (uint64_t(taken) << 40); }

// Tiles of each colour, counted afresh after columns came in.
void count_tiles(Node& node)
{
    CellSet of_colour[colour_count + 1];
    colour_sets(node.board, of_colour);
    int tiles = 0;
    for (int c = 1; c <= colour_count; ++c) {
        node.counts[c] = uint8_t(cell_count(of_colour[c]));
        tiles += node.counts[c];
    }
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
    return rank;
}

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
        if ((s.positions & 1023) == 0 && out_of_budget(s))
            s.late = true;
        if (s.late)
            return 0;
        FastBoard child = on;
        uint16_t child_taken = taken;
        pop_planned(s, child, groups[g].cells, child_taken);
        ++s.positions;
        const int32_t value = group_points(groups[g].size) + solve_exactly(s, child, child_taken);
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
void offer(Search& s, int32_t score, uint32_t step, uint8_t first)
{
    if (first != NO_FIRST)
        s.first_best[first] = std::max(s.first_best[first], score);
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
void endgame_line(Search& s, FastBoard on, uint16_t taken, std::vector<SolverMove>& out)
{
    out.clear();
    for (;;) {
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

// The slot of a board among this layer's children, by open addressing.
uint32_t& seen_slot(Search& s, uint64_t key)
{
    const size_t mask = s.seen.size() - 1;
    size_t i = key & mask;
    while (s.seen[i].key != 0 && s.seen[i].key != key)
        i = (i + 1) & mask;
    s.seen[i].key = key;
    return s.seen[i].node;
}


// One beam of the given width to the end; false when the deadline came
// first (what it found until then is offered all the same).
bool beam(Search& s, const ColourBoard& start, size_t width, const Weights& weights)
{
    s.steps.clear();
    s.layer.assign(1, root_node(start));
    uint32_t since_clock = 0;
    GroupCells groups[MOST_GROUPS];
    Node children[MOST_GROUPS];
    uint64_t keys[MOST_GROUPS];
    const double began = spent(s);
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
            s.groups.insert(s.groups.end(), groups, groups + fast_groups(parent.board, groups));
        }
        s.first_group.push_back(uint32_t(s.groups.size()));
        size_t slots = 64;
        while (slots < s.groups.size() * 2)
            slots *= 2;
        s.seen.assign(slots, Seen{0, UNSEEN});
        s.built.clear();
        for (size_t p = 0; p < s.layer.size(); ++p) {
            const Node& parent = s.layer[p];
            const GroupCells* const parent_groups = s.groups.data() + s.first_group[p];
            const int found = int(s.first_group[p + 1] - s.first_group[p]);
            if (found == 0) {
                // The bonus is for clearing the board, not for being given an empty one.
                const bool cleared = bonus_mode(s.mode) && parent.tiles == 0 && parent.step != NO_STEP;
                s.tail.clear();
                offer(s, parent.score + (cleared ? EMPTY_BOARD_BONUS : 0), parent.step, parent.first);
                continue;
            }
            int pending = 0;
            for (int g = 0; g < found; ++g) {
                if (++since_clock == 256) {
                    since_clock = 0;
                    if (out_of_budget(s))
                        return false;
                }
                const GroupCells& group = parent_groups[g];
                const int32_t points = group_points(group.size);
                if (bonus_mode(s.mode)
                    && parent.score + points + most_left(parent.counts, group.colour, group.size) <= s.best.score)
                    continue;
                Node child;
                child.board = parent.board;
                child.taken = parent.taken;
                child.first = parent.first == NO_FIRST ? group.first : parent.first;
                pop_planned(s, child.board, group.cells, child.taken);
                ++s.positions;
                child.score = parent.score + points;
                std::memcpy(child.counts, parent.counts, sizeof child.counts);
                child.counts[group.colour] = uint8_t(child.counts[group.colour] - group.size);
                child.tiles = uint8_t(parent.tiles - group.size);
                if (child.taken != parent.taken)
                    count_tiles(child);
                s.steps.push_back(Step{parent.step, column_of(group), row_of(group), points});
                child.step = uint32_t(s.steps.size() - 1);
                if (child.tiles <= s.endgame_tiles && child.taken >= s.incoming.columns) {
                    const int32_t rest = solve_exactly(s, child.board, child.taken);
                    if (s.late)
                        return false;
                    if (child.score + rest > s.best.score)
                        endgame_line(s, child.board, child.taken, s.tail);
                    offer(s, child.score + rest, child.step, child.first);
                    continue;
                }
                keys[pending] = position_hash(child.board, child.taken);
                __builtin_prefetch(&s.seen[keys[pending] & (s.seen.size() - 1)]);
                children[pending++] = child;
            }
            // The table of boards met outgrows the caches of a wide beam:
            // every child's slot is fetched before any is looked at (in
            // Shifter a tenth of the time went to waiting on it).
            for (int c = 0; c < pending; ++c) {
                Node& child = children[c];
                uint32_t& seen = seen_slot(s, keys[c]);
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
        if (s.beam_deadline != NEVER && !s.built.empty()) {
            // A beam behind its time narrows for the layers left rather than
            // be cut off before any ending. The layers left are counted at the
            // tiles popped per layer so far, each costing what this one did
            // at full width, less and less as fewer tiles make fewer groups.
            ++layers;
            double tiles = 0;
            for (const Node& n : s.built)
                tiles += n.tiles;
            tiles /= double(s.built.size());
            const double now = spent(s);
            const double left = s.beam_deadline - now;
            const double per_position = (now - began) / double(s.positions - positions_before);
            const double per_layer = (start_tiles - tiles) / layers;
            const double layers_left = per_layer > 0 ? (tiles - s.endgame_tiles) / per_layer : 1;
            const double kept = double(std::min(width, s.order.size()));
            const double need = layers_left * (tiles + s.endgame_tiles) / (2 * tiles)
                                * double(s.positions - layer_before) * per_position * kept / double(s.layer.size());
            if (need > left)
                width = std::max<size_t>(1, size_t(kept * std::max(0.0, left) / need));
            else if (slides_rows(s.mode) && bonus_mode(s.mode) && need > 0 && s.order.size() > width)
                width = std::min(size_t(double(width) * SHIFTER_WIDENING), size_t(kept * left / need));
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

Search new_search(int mode, double deadline, bool by_positions, const std::atomic<bool>* cancel)
{
    Search s;
    s.mode = mode;
    s.endgame_tiles = slides_rows(mode) ? SHIFTER_ENDGAME_TILES : TRADITIONAL_ENDGAME_TILES;
    s.by_positions = by_positions;
    s.began = Clock::now();
    s.cancel = cancel;
    s.deadline = deadline;
    s.beam_deadline = NEVER;
    std::fill(std::begin(s.first_best), std::end(s.first_best), 0);
    s.solved.assign(SOLVED_SLOTS, Solved{});
    s.best.score = -1;
    return s;
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
    return s.best;
}

// The ways the mode ranks. Continous settles as Traditional does (but for
// its refill) and ranks as Traditional; Megashifter as Shifter.
std::vector<Weights> ways_of(int mode)
{
    if (slides_rows(mode))
        return {std::begin(SHIFTER_WEIGHTS), std::end(SHIFTER_WEIGHTS)};
    return {std::begin(TRADITIONAL_WEIGHTS), std::end(TRADITIONAL_WEIGHTS)};
}

// The ways of ranking one thread of `threads` takes: every one-in-`threads`,
// so that together they rank every way; a thread beyond the ways takes one
// again (a search that samples the columns to come gives it other columns).
std::vector<Weights> share_of(const std::vector<Weights>& ways, int mode, int thread, int threads)
{
    // Shifter gains more from width than from a second ranking: its second
    // way is for a second thread only.
    const size_t used = slides_rows(mode) ? std::min(ways.size(), size_t(threads)) : ways.size();
    std::vector<Weights> share;
    for (size_t w = size_t(thread); w < used; w += size_t(threads))
        share.push_back(ways[w]);
    if (share.empty())
        share.push_back(ways[size_t(thread) % ways.size()]);
    return share;
}

// One thread's search: beams widened until its budget is spent.
//
// A beam's cost is about a fixed part plus a part per unit of width. Two
// narrow beams measure both; then one wide beam is sized to fill the budget
// left (aiming past it, as the narrow ones overstate the cost per unit) and
// narrows on its way if it falls behind. Widening fourfold instead spent
// half the time on beams the last one nearly always beat.
SolverLine search_thread(Search& s, const ColourBoard& start, const std::vector<Weights>& ways)
{
    size_t width = 1;
    size_t last_width = 0;
    double last_took = 0;
    bool filling = false;
    for (;;) {
        const double t0 = spent(s);
        if (!all_beams(s, start, width, filling ? s.deadline : NEVER, ways) || filling)
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
        width = size_t(next);
    }
    return finish(s, start);
}

// The search's own generator for the columns to come (splitmix64): never
// the game's, which the search must not draw from or look at.
uint64_t next_private(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

int cores() { return std::max(1, int(std::thread::hardware_concurrency())); }

SolverLine solve_board(const ColourBoard& start, int mode, const SolverLimits& limits)
{
    const int threads = std::max(1, limits.threads);
    const bool by_positions = limits.positions != 0;
    const double deadline = by_positions ? double(limits.positions) : limits.budget_ms / 1000.0;
    const bool sampling = limits.sample_incoming && refills_from_left(mode);
    const std::vector<Weights> ways = ways_of(mode);
    std::vector<Search> searches;
    std::vector<std::vector<uint8_t>> samples(static_cast<size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        searches.push_back(new_search(mode, deadline, by_positions, limits.cancel));
        if (sampling) {
            uint64_t state = fast_hash(fast_board_of(start)) + uint64_t(t);
            for (int i = 0; i < SAMPLED_COLUMNS * BOARD_ROWS; ++i)
                samples[size_t(t)].push_back(uint8_t(next_private(state) % colour_count + 1));
            searches.back().incoming = Incoming{samples[size_t(t)].data(), SAMPLED_COLUMNS};
        }
    }
    std::vector<SolverLine> lines(static_cast<size_t>(threads));
    const auto run = [&](int t) {
        lines[size_t(t)] = search_thread(searches[size_t(t)], start, share_of(ways, mode, t, threads));
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(run, t);
    run(0);
    for (std::thread& helper : helpers)
        helper.join();

    // The best line; among equals the lowest thread's, so that a search by
    // positions gives the same line every time. Sampled, each line's first
    // move is scored by the best line through it on every thread's sample.
    uint64_t positions = 0;
    size_t pick = 0;
    int64_t pick_value = std::numeric_limits<int64_t>::min();
    for (size_t t = 0; t < lines.size(); ++t) {
        positions += searches[t].positions;
        int64_t value = lines[t].score;
        if (sampling && !lines[t].moves.empty()) {
            const int first = lines[t].moves.front().column * BOARD_ROWS + lines[t].moves.front().row;
            value = 0;
            for (const Search& other : searches)
                value += other.first_best[first];
        }
        if (value > pick_value) {
            pick = t;
            pick_value = value;
        }
    }
    SolverLine best = lines[pick];
    best.positions = positions;
    return best;
}

SolverLine solve_board(const ColourBoard& start, int mode, int budget_ms)
{
    SolverLimits limits;
    limits.budget_ms = budget_ms;
    return solve_board(start, mode, limits);
}

SolverLine solve_board(const Board& start, int mode, int budget_ms)
{
    return solve_board(colours_of(start), mode, budget_ms);
}

SolverLine solve_board_width(const ColourBoard& start, int mode, int width)
{
    Search s = new_search(mode, NEVER, true, nullptr);
    all_beams(s, start, size_t(std::max(1, width)), NEVER, ways_of(mode));
    return finish(s, start);
}

SolverLimits hint_limits()
{
    SolverLimits limits;
    limits.budget_ms = HINT_BUDGET_MS;
    limits.threads = cores();
    limits.sample_incoming = true;
    return limits;
}

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
