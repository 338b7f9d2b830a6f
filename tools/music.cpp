// The looping tune: 32 bars in C major at 120 beats a minute (64 seconds),
// written as a format 1 standard MIDI file: melody, electric piano chords,
// bass and drums on channel 10.
#include "art.h"

#include <algorithm>
#include <cstdio>

namespace art {

namespace {

constexpr int PPQ = 96;
constexpr int EIGHTH = PPQ / 2;
constexpr int BAR = PPQ * 4;

struct Event {
    int tick;
    int order;  // note-offs before note-ons at the same tick
    std::vector<uint8_t> bytes;
};

struct Track {
    std::vector<Event> events;
    void note(int tick, int len, int channel, int key, int velocity) {
        events.push_back({tick, 1, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key), static_cast<uint8_t>(velocity)}});
        events.push_back({tick + len, 0, {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 0}});
    }
    void raw(int tick, std::vector<uint8_t> bytes) { events.push_back({tick, -1, std::move(bytes)}); }
};

void put_var(std::vector<uint8_t>& v, unsigned x) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = static_cast<uint8_t>(x & 0x7F);
    while (x >>= 7) buf[n++] = static_cast<uint8_t>((x & 0x7F) | 0x80);
    while (n) v.push_back(buf[--n]);
}

std::vector<uint8_t> track_bytes(Track t, int end_tick) {
    std::stable_sort(t.events.begin(), t.events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    int now = 0;
    for (const Event& e : t.events) {
        put_var(body, static_cast<unsigned>(e.tick - now));
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    put_var(body, static_cast<unsigned>(end_tick - now));
    body.push_back(0xFF);
    body.push_back(0x2F);
    body.push_back(0x00);
    std::vector<uint8_t> out = {'M', 'T', 'r', 'k'};
    uint32_t n = static_cast<uint32_t>(body.size());
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>((n >> s) & 0xFF));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Notes of a phrase: key (0 = rest) and length in eighths.
struct N {
    int key, len;
};

enum Chord { CM, AM, FM, GM, EM };
const int ROOT[5] = {36, 45, 41, 43, 40};  // C2 A2 F2 G2 E2
const int TRIAD[5][3] = {{60, 64, 67}, {57, 60, 64}, {57, 60, 65}, {59, 62, 67}, {59, 64, 67}};

}  // namespace

bool write_music(const std::string& path) {
    // Two eight-bar sections, A B A B. One chord per half bar.
    const Chord A_CHORDS[16] = {CM, CM, AM, AM, FM, FM, GM, GM, CM, CM, AM, AM, FM, GM, CM, CM};
    const Chord B_CHORDS[16] = {FM, FM, GM, GM, EM, EM, AM, AM, FM, FM, GM, GM, CM, CM, GM, GM};
    const std::vector<N> A_TUNE = {
        {67, 2}, {72, 2}, {76, 2}, {79, 2},  {81, 3}, {79, 1}, {76, 2}, {72, 2},  //
        {77, 2}, {81, 2}, {79, 2}, {77, 2},  {76, 2}, {74, 2}, {71, 2}, {67, 2},  //
        {67, 2}, {72, 2}, {76, 2}, {79, 2},  {81, 2}, {84, 2}, {83, 2}, {81, 2},  //
        {81, 2}, {77, 2}, {79, 2}, {74, 2},  {72, 6}, {0, 2},
    };
    const std::vector<N> B_TUNE = {
        {81, 4}, {79, 2}, {77, 2},  {79, 4}, {77, 2}, {74, 2},  //
        {76, 2}, {79, 2}, {83, 2}, {79, 2},  {81, 6}, {76, 2},  //
        {77, 2}, {81, 2}, {84, 2}, {81, 2},  {83, 2}, {81, 2}, {79, 2}, {74, 2},  //
        {76, 2}, {79, 2}, {84, 4},  {83, 2}, {81, 2}, {79, 2}, {0, 2},
    };

    Track conductor, melody, keys, bass, drums;
    conductor.raw(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});              // 500000 us a beat
    conductor.raw(0, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});        // 4/4
    melody.raw(0, {0xC0, 11});  // vibraphone
    melody.raw(0, {0xB0, 7, 100});
    keys.raw(0, {0xC1, 4});     // electric piano
    keys.raw(0, {0xB1, 7, 70});
    bass.raw(0, {0xC2, 33});    // finger bass
    bass.raw(0, {0xB2, 7, 105});
    drums.raw(0, {0xB9, 7, 90});

    int bar0 = 0;
    for (int section = 0; section < 4; ++section) {
        bool is_a = section % 2 == 0;
        const Chord* chords = is_a ? A_CHORDS : B_CHORDS;
        const std::vector<N>& tune = is_a ? A_TUNE : B_TUNE;
        int start = bar0 * BAR;
        int t = start;
        for (const N& n : tune) {
            if (n.key) melody.note(t, n.len * EIGHTH - 6, 0, n.key, 96);
            t += n.len * EIGHTH;
        }
        for (int half = 0; half < 16; ++half) {
            int ht = start + half * (BAR / 2);
            Chord c = chords[half];
            for (int k = 0; k < 3; ++k) keys.note(ht, BAR / 2 - 8, 1, TRIAD[c][k], half % 2 ? 52 : 62);
            int r = ROOT[c];
            // root, octave, fifth, octave on eighths: a bouncing bass line
            const int steps[4] = {0, 12, 7, 12};
            for (int e = 0; e < 4; ++e) bass.note(ht + e * EIGHTH, EIGHTH - 6, 2, r + steps[e], e == 0 ? 100 : 80);
        }
        for (int bar = 0; bar < 8; ++bar) {
            int bt = start + bar * BAR;
            if (bar == 0) drums.note(bt, EIGHTH, 9, 49, 90);  // crash at each section
            drums.note(bt, EIGHTH, 9, 36, 110);
            drums.note(bt + 2 * PPQ, EIGHTH, 9, 36, 100);
            if (bar % 2 == 1) drums.note(bt + 2 * PPQ + EIGHTH, EIGHTH, 9, 36, 80);
            drums.note(bt + PPQ, EIGHTH, 9, 38, 96);
            drums.note(bt + 3 * PPQ, EIGHTH, 9, 38, 96);
            for (int e = 0; e < 8; ++e) drums.note(bt + e * EIGHTH, EIGHTH / 2, 9, 42, e % 2 ? 50 : 72);
            if (bar == 7) drums.note(bt + 3 * PPQ + EIGHTH, EIGHTH, 9, 38, 70);
        }
        bar0 += 8;
    }
    const int end = bar0 * BAR;

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 5, 0, PPQ};
    for (const Track* t : {&conductor, &melody, &keys, &bass, &drums}) {
        std::vector<uint8_t> b = track_bytes(*t, end);
        file.insert(file.end(), b.begin(), b.end());
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace art
