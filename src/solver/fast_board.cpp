// The search's board: bit planes, flood fill on masks, settling by bit
// operations.
//
// Settling is three compactions, each a "compress" (Hacker's Delight 7-4,
// turned to move bits toward the high end) run in every lane at once: the
// tiles of each column fall (lanes of 8 bits, a step of one row), the
// columns close right (lanes of 10 cells across a row, a step of one
// column, with whole columns as the bits that stay) and the rows slide
// right (the same lanes). Tiles keep their order in a lane, which is what
// the rules' passes come to: every hole is closed and nothing passes another.
// Plain shifts and masks, no instruction a processor may lack: in SSE2
// registers where the build has them (every x86-64 processor does), on
// pairs of words elsewhere. Tiles are counted by the processor's own
// instruction only where it is found to have one (see CountByInstruction).
#include "solver/fast_board.h"

#include <cstring>
#if defined(__SSE2__) && !defined(ZORBL_NO_SSE2)
#include <emmintrin.h>
#endif

#include "board/board.h"
#include "board/modes.h"
#include "board/points.h"

namespace {

static_assert(BOARD_ROWS == 8 && BOARD_COLUMNS == 10, "a column is a byte of a 128-bit set");
constexpr CellSet RIGHT_COLUMN = CellSet(0xFF) << (BOARD_ROWS * (BOARD_COLUMNS - 1));

#if defined(__SSE2__) && !defined(ZORBL_NO_SSE2)
// The compactions in SSE2 registers (see fill below for why they fit): a
// lane of bytes never passes a bit from one 64-bit half to the other, and
// the rows move by whole bytes. 14% fewer instructions for the bench's search.
// By value, never by address: through memory the fill loop kept its group
// on the stack and waited on every store (a quarter of the tally's time).
inline __m128i as_vector(CellSet set)
{
    return _mm_set_epi64x(int64_t(uint64_t(set >> 64)), int64_t(uint64_t(set)));
}

inline CellSet as_set(__m128i v)
{
    return CellSet(uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)))) << 64 | uint64_t(_mm_cvtsi128_si64(v));
}

inline bool none(__m128i v) { return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) == 0xFFFF; }

template <int STEP, int BY>
__m128i lane_down(__m128i v)
{
    if (STEP == 1)
        return _mm_and_si128(_mm_srli_epi64(v, BY), as_vector(every_column(0xFFu >> BY)));
    return _mm_srli_si128(v, BY);
}

template <int STEP, int BY>
__m128i lane_up(__m128i v)
{
    if (STEP == 1)
        return _mm_slli_epi64(v, BY);
    return _mm_slli_si128(v, BY);
}

template <int STEP, int ROUND>
bool compress_round(__m128i (&planes)[3], __m128i& keep, __m128i& below_gap)
{
    if (none(below_gap))
        return false;
    __m128i parity = _mm_xor_si128(below_gap, lane_down<STEP, 1>(below_gap));
    parity = _mm_xor_si128(parity, lane_down<STEP, 2>(parity));
    parity = _mm_xor_si128(parity, lane_down<STEP, 4>(parity));
    if (STEP != 1)
        parity = _mm_xor_si128(parity, lane_down<STEP, 8>(parity));
    const __m128i moves = _mm_and_si128(parity, keep);
    constexpr int BY = 1 << ROUND;
    keep = _mm_or_si128(_mm_xor_si128(keep, moves), lane_up<STEP, BY>(moves));
    for (__m128i& plane : planes) {
        const __m128i moving = _mm_and_si128(plane, moves);
        plane = _mm_or_si128(_mm_xor_si128(plane, moving), lane_up<STEP, BY>(moving));
    }
    below_gap = _mm_andnot_si128(parity, below_gap);
    return true;
}

// One compaction: each bit of `keep` moves toward the high end of its lane
// by the number of cells of its lane above it not in `keep`; the planes'
// bits (all within `keep`) move with them. Lanes are either the bytes
// (step 1) or the rows (step BOARD_ROWS, moving by bytes). For the rows a
// right shift simply drops what leaves column 0, and nothing is above
// column 9. Once no gap is left to count every later round would move
// nothing: most pops open gaps of a few cells only.
template <int STEP>
void compress_high(FastBoard& b, CellSet keep_set)
{
    __m128i planes[3] = {as_vector(b.plane[0]), as_vector(b.plane[1]), as_vector(b.plane[2])};
    __m128i keep = as_vector(keep_set);
    // The next cell up its lane is a gap.
    __m128i below_gap = lane_down<STEP, 1>(_mm_andnot_si128(keep, as_vector(ALL_CELLS)));
    // Moves of up to 7 rows, or 9 columns.
    if (compress_round<STEP, 0>(planes, keep, below_gap) && compress_round<STEP, 1>(planes, keep, below_gap)
        && compress_round<STEP, 2>(planes, keep, below_gap) && STEP != 1)
        compress_round<STEP, 3>(planes, keep, below_gap);
    for (int k = 0; k < 3; ++k)
        b.plane[k] = as_set(planes[k]);
}
#else
template <int STEP>
CellSet lane_down(CellSet v, int by)
{
    if (STEP == 1)
        return (v >> by) & every_column(0xFFu >> by);
    return v >> (by * BOARD_ROWS);
}

// One round of a compaction, moving by STEP << ROUND: a template so that
// every shift is by a constant (a shift of 128 bits by a variable cost the
// compactions about a third more instructions). False once no gap is left
// to count: every later round would move nothing, and most pops open gaps
// of a few cells only.
template <int STEP, int ROUND>
bool compress_round(FastBoard& b, CellSet& keep, CellSet& below_gap)
{
    if (below_gap == 0)
        return false;
    // Parity of the gaps above each cell, still to be moved for.
    CellSet parity = below_gap ^ lane_down<STEP>(below_gap, 1);
    parity ^= lane_down<STEP>(parity, 2);
    parity ^= lane_down<STEP>(parity, 4);
    if (STEP != 1)
        parity ^= lane_down<STEP>(parity, 8);
    const CellSet moves = parity & keep;
    constexpr int BY = STEP << ROUND;
    keep = (keep ^ moves) | (moves << BY);
    for (CellSet& plane : b.plane) {
        const CellSet moving = plane & moves;
        plane = (plane ^ moving) | (moving << BY);
    }
    below_gap &= ~parity;
    return true;
}

// One compaction: each bit of `keep` moves toward the high end of its lane
// by the number of cells of its lane above it not in `keep`; the planes'
// bits (all within `keep`) move with them. Lanes are either the bytes
// (step 1) or the rows (step BOARD_ROWS). For the rows a right shift simply
// drops what leaves column 0, and nothing is above column 9.
template <int STEP>
void compress_high(FastBoard& b, CellSet keep)
{
    CellSet below_gap = lane_down<STEP>(~keep & ALL_CELLS, 1);  // the next cell up its lane is a gap
    // Moves of up to 7 rows, or 9 columns.
    if (compress_round<STEP, 0>(b, keep, below_gap) && compress_round<STEP, 1>(b, keep, below_gap)
        && compress_round<STEP, 2>(b, keep, below_gap) && STEP != 1)
        compress_round<STEP, 3>(b, keep, below_gap);
}

#endif

// The columns holding a tile, each as a whole byte of ones.
CellSet full_columns(CellSet tiles)
{
    CellSet any = tiles;
    any |= (any >> 1) & every_column(0x7F);
    any |= (any >> 2) & every_column(0x3F);
    any |= (any >> 4) & every_column(0x0F);
    any &= every_column(1);
    return any * 0xFF;
}

// Links between neighbours of one colour, for every colour at once: bit x
// of `right` links cell x to x + BOARD_ROWS, of `down` x to x + 1. A group
// grows along them without a colour's tiles to mask it.
struct Links {
    CellSet right, down;
    CellSet paired;  // the tiles with a link: those in groups of two or more
    // Pairs linked to nothing else, by their first cell: most groups are
    // such pairs, and they are found without a fill.
    CellSet pair_right, pair_down;
};

#if defined(__SSE2__) && !defined(ZORBL_NO_SSE2)
// As below, in SSE2 registers: across is a shift by a byte, and up or down
// never passes a bit that counts between the 64-bit halves (the bottom row
// is masked off).
Links links_of(const FastBoard& b)
{
    const __m128i p0 = as_vector(b.plane[0]), p1 = as_vector(b.plane[1]), p2 = as_vector(b.plane[2]);
    const __m128i tiles = _mm_or_si128(_mm_or_si128(p0, p1), p2);
    const __m128i differ_right = _mm_or_si128(
        _mm_or_si128(_mm_xor_si128(p0, _mm_srli_si128(p0, 1)), _mm_xor_si128(p1, _mm_srli_si128(p1, 1))),
        _mm_xor_si128(p2, _mm_srli_si128(p2, 1)));
    const __m128i differ_down = _mm_or_si128(
        _mm_or_si128(_mm_xor_si128(p0, _mm_srli_epi64(p0, 1)), _mm_xor_si128(p1, _mm_srli_epi64(p1, 1))),
        _mm_xor_si128(p2, _mm_srli_epi64(p2, 1)));
    const __m128i right = _mm_andnot_si128(differ_right, _mm_and_si128(tiles, _mm_srli_si128(tiles, 1)));
    const __m128i down = _mm_andnot_si128(
        differ_down, _mm_and_si128(_mm_and_si128(tiles, _mm_srli_epi64(tiles, 1)), as_vector(NOT_BOTTOM)));
    const __m128i left = _mm_slli_si128(right, 1), up = _mm_slli_epi64(down, 1);
    const __m128i across = _mm_or_si128(right, left), along = _mm_or_si128(down, up);
    const __m128i paired = _mm_or_si128(across, along);
    const __m128i two_links = _mm_or_si128(_mm_or_si128(_mm_and_si128(right, left), _mm_and_si128(down, up)),
                                           _mm_and_si128(across, along));
    const __m128i one_link = _mm_andnot_si128(two_links, paired);
    Links l;
    l.right = as_set(right);
    l.down = as_set(down);
    l.paired = as_set(paired);
    l.pair_right = as_set(_mm_and_si128(_mm_and_si128(right, one_link), _mm_srli_si128(one_link, 1)));
    l.pair_down = as_set(_mm_and_si128(_mm_and_si128(down, one_link), _mm_srli_epi64(one_link, 1)));
    return l;
}
#else
Links links_of(const FastBoard& b)
{
    const CellSet p0 = b.plane[0], p1 = b.plane[1], p2 = b.plane[2];
    const CellSet tiles = p0 | p1 | p2;
    Links l;
    l.right = tiles & (tiles >> BOARD_ROWS)
              & ~((p0 ^ (p0 >> BOARD_ROWS)) | (p1 ^ (p1 >> BOARD_ROWS)) | (p2 ^ (p2 >> BOARD_ROWS)));
    l.down = tiles & (tiles >> 1) & NOT_BOTTOM & ~((p0 ^ (p0 >> 1)) | (p1 ^ (p1 >> 1)) | (p2 ^ (p2 >> 1)));
    const CellSet left = l.right << BOARD_ROWS, up = l.down << 1;
    l.paired = l.right | left | l.down | up;
    const CellSet two_links = (l.right & left) | (l.down & up) | ((l.right | left) & (l.down | up));
    const CellSet one_link = l.paired & ~two_links;
    l.pair_right = l.right & one_link & (one_link >> BOARD_ROWS);
    l.pair_down = l.down & one_link & (one_link >> 1);
    return l;
}
#endif

inline CellSet grow(const Links& l, CellSet g)
{
    return g | ((g & l.right) << BOARD_ROWS) | ((g >> BOARD_ROWS) & l.right) | ((g & l.down) << 1) | ((g >> 1) & l.down);
}

// The group holding `seed`, one step at a time: a step costs several times
// the look at whether it grew.
#if defined(__SSE2__) && !defined(ZORBL_NO_SSE2)
// With the 128-bit registers every x86-64 processor has, a step is a dozen
// instructions rather than about thirty on pairs of words: a column is a
// byte, so a step across is a shift of the whole register by a byte, and a
// step up or down never crosses from one 64-bit half to the other (no link
// leaves the bottom row). The bench's search took 18% fewer instructions.
inline CellSet fill(const Links& l, CellSet seed)
{
    const __m128i right = as_vector(l.right), down = as_vector(l.down);
    const auto step = [right, down](__m128i group) {
        __m128i grown = _mm_or_si128(group, _mm_slli_si128(_mm_and_si128(group, right), 1));
        grown = _mm_or_si128(grown, _mm_and_si128(_mm_srli_si128(group, 1), right));
        grown = _mm_or_si128(grown, _mm_slli_epi64(_mm_and_si128(group, down), 1));
        return _mm_or_si128(grown, _mm_and_si128(_mm_srli_epi64(group, 1), down));
    };
    // Whether it grew is asked every other step: the answer is a branch
    // the processor mostly guesses wrong once per group, and groups are
    // small (14 % fewer missed guesses in the search, for 1 % more
    // instructions).
    __m128i group = step(as_vector(seed));
    for (;;) {
        const __m128i grown = step(group);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(grown, group)) == 0xFFFF)
            return as_set(group);
        group = step(grown);
    }
}
#else
inline CellSet fill(const Links& l, CellSet group)
{
    for (;;) {
        const CellSet grown = grow(l, group);
        if (grown == group)
            return group;
        group = grown;
    }
}
#endif

} // namespace

FastBoard fast_board_of(const ColourBoard& from)
{
    FastBoard b{};
    for (int cell = 0; cell < BOARD_CELLS; ++cell) {
        for (int k = 0; k < 3; ++k) {
            if ((from.cells[cell].colour >> k) & 1)
                b.plane[k] |= ONE_CELL << cell;
        }
    }
    return b;
}

ColourBoard colours_of(const FastBoard& from)
{
    ColourBoard to{};
    for (int cell = 0; cell < BOARD_CELLS; ++cell)
        to.cells[cell].colour = uint8_t(colour_at(from, cell));
    return to;
}

int colour_at(const FastBoard& b, int cell)
{
    return int(((b.plane[0] >> cell) & 1) | (((b.plane[1] >> cell) & 1) << 1) | (((b.plane[2] >> cell) & 1) << 2));
}

void colour_sets(const FastBoard& b, CellSet (&of_colour)[6])
{
    const CellSet p0 = b.plane[0], p1 = b.plane[1], p2 = b.plane[2];
    of_colour[0] = 0;
    of_colour[1] = p0 & ~p1 & ~p2;
    of_colour[2] = ~p0 & p1 & ~p2;
    of_colour[3] = p0 & p1 & ~p2;
    of_colour[4] = ~p0 & ~p1 & p2;
    of_colour[5] = p0 & ~p1 & p2;
}

CellSet group_at(const FastBoard& b, int cell)
{
    const int colour = colour_at(b, cell);
    if (colour == 0)
        return 0;
    CellSet of_colour[6];
    colour_sets(b, of_colour);
    CellSet group = ONE_CELL << cell;
    for (;;) {
        const CellSet grown = (group | neighbours(group)) & of_colour[colour];
        if (grown == group)
            return group;
        group = grown;
    }
}

namespace {

// Tiles counted in the word, with shifts and masks any processor has.
struct CountInWord {
    static int of(CellSet set) { return cell_count(set); }
};

// Listing and tallying groups count tiles for every position the search
// makes. Where the processor has an instruction that counts the bits of a
// word (nearly every x86-64 made since 2008, but not every one), a copy of
// them built for it is chosen once, at start: the search settled 10 % more
// positions a second, finding the same lines. Elsewhere, and in the
// portable build, tiles are counted in the word.
#if defined(__x86_64__) && !defined(ZORBL_NO_SSE2) && !defined(__POPCNT__)
#define ZORBL_CHOOSE_COUNT 1
// Only ever inlined into the functions built for the instruction below.
struct CountByInstruction {
    static int of(CellSet set)
    {
        return __builtin_popcountll(uint64_t(set)) + __builtin_popcountll(uint64_t(set >> 64));
    }
};
const bool HAS_POPCNT = (__builtin_cpu_init(), __builtin_cpu_supports("popcnt"));
#endif

template <class Count>
inline __attribute__((always_inline)) int groups_counted(const FastBoard& b, GroupCells* out)
{
    const Links links = links_of(b);
    CellSet paired = links.paired;
    int found = 0;
    while (paired != 0) {
        // In the order of their first cells, as list_groups gives them.
        const int first = lowest_cell(paired);
        const CellSet seed = ONE_CELL << first;
        CellSet group;
        if ((seed & links.pair_right) != 0) {
            group = seed | (seed << BOARD_ROWS);
        } else if ((seed & links.pair_down) != 0) {
            group = seed | (seed << 1);
        } else {
            group = fill(links, seed);
        }
        paired &= ~group;
        out[found++] = GroupCells{group, uint8_t(first), uint8_t(Count::of(group)), uint8_t(colour_at(b, first))};
    }
    return found;
}

template <class Count>
inline __attribute__((always_inline)) int32_t tally_counted(const FastBoard& b, int (&grouped)[6])
{
    const Links links = links_of(b);
    const CellSet p0 = b.plane[0], p1 = b.plane[1], p2 = b.plane[2];
    const CellSet paired = links.paired;
    grouped[0] = 0;
    grouped[1] = Count::of(paired & p0 & ~p1 & ~p2);
    grouped[2] = Count::of(paired & ~p0 & p1 & ~p2);
    grouped[3] = Count::of(paired & p0 & p1 & ~p2);
    grouped[4] = Count::of(paired & ~p0 & ~p1 & p2);
    grouped[5] = Count::of(paired & p0 & ~p1 & p2);
    int32_t points = group_points(2) * (Count::of(links.pair_right) + Count::of(links.pair_down));
    CellSet rest = paired
                   & ~(links.pair_right | (links.pair_right << BOARD_ROWS) | links.pair_down | (links.pair_down << 1));
    while (rest != 0) {
        const CellSet group = fill(links, rest & (~rest + 1));
        rest &= ~group;
        points += group_points(Count::of(group));
    }
    return points;
}

#ifdef ZORBL_CHOOSE_COUNT
__attribute__((target("popcnt"))) int groups_by_instruction(const FastBoard& b, GroupCells* out)
{
    return groups_counted<CountByInstruction>(b, out);
}

__attribute__((target("popcnt"))) int32_t tally_by_instruction(const FastBoard& b, int (&grouped)[6])
{
    return tally_counted<CountByInstruction>(b, grouped);
}
#endif

} // namespace

int fast_groups(const FastBoard& b, GroupCells* out)
{
#ifdef ZORBL_CHOOSE_COUNT
    if (HAS_POPCNT)
        return groups_by_instruction(b, out);
#endif
    return groups_counted<CountInWord>(b, out);
}

int32_t tally_groups(const FastBoard& b, int (&grouped)[6])
{
#ifdef ZORBL_CHOOSE_COUNT
    if (HAS_POPCNT)
        return tally_by_instruction(b, grouped);
#endif
    return tally_counted<CountInWord>(b, grouped);
}

namespace {

void slide_rows(FastBoard& b)
{
    const CellSet tiles = occupied(b);
    // A row needs sliding when some tile has a gap to its right.
    if ((tiles & ~(tiles >> BOARD_ROWS) & ~RIGHT_COLUMN) != 0)
        compress_high<BOARD_ROWS>(b, tiles);
}

} // namespace

void fast_pop(FastBoard& b, CellSet group, int mode, const Incoming& incoming, uint16_t& taken)
{
    for (CellSet& plane : b.plane)
        plane &= ~group;
    compress_high<1>(b, occupied(b));
    const bool slides = slides_rows(mode);
    // Where no column comes in, the rows sliding right close every emptied
    // column on their way (whole columns keep their order, as each row's
    // tiles do): the slide alone settles as both.
    if (slides && !refills_from_left(mode)) {
        slide_rows(b);
        return;
    }
    const CellSet columns = full_columns(occupied(b));
    if (columns != ALL_CELLS) {
        const int empty = BOARD_COLUMNS - cell_count(columns) / BOARD_ROWS;
        // Closing is needed only when some column has an empty one to its right.
        if ((columns & ~(columns >> BOARD_ROWS) & ~RIGHT_COLUMN) != 0)
            compress_high<BOARD_ROWS>(b, columns);
        if (refills_from_left(mode)) {
            // The first column to come in is carried furthest right.
            for (int j = 0; j < empty; ++j, ++taken) {
                if (taken >= incoming.columns)
                    continue;
                const int column = empty - 1 - j;
                const uint8_t* colours = incoming.colours + BOARD_ROWS * taken;
                for (int row = 0; row < BOARD_ROWS; ++row) {
                    for (int k = 0; k < 3; ++k) {
                        if ((colours[row] >> k) & 1)
                            b.plane[k] |= ONE_CELL << (column * BOARD_ROWS + row);
                    }
                }
            }
        }
    }
    if (slides)
        slide_rows(b);
}

void fast_pop(FastBoard& b, CellSet group, int mode)
{
    uint16_t taken = 0;
    fast_pop(b, group, mode, Incoming{}, taken);
}

uint64_t fast_hash(const FastBoard& b)
{
    uint64_t h = 0x243F6A8885A308D3ull;
    for (const CellSet& plane : b.plane) {
        for (const uint64_t w : {uint64_t(plane), uint64_t(plane >> 64)}) {
            h = (h ^ w) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
    }
    return h | 1;
}
