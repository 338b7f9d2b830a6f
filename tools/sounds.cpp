// Sound cues, synthesised and written as 16-bit mono WAV files.
#include "art.h"

#include <cmath>
#include <cstdio>

namespace art {

namespace {

constexpr int RATE = 22050;
constexpr double PI = 3.14159265358979323846;

void put16(std::vector<uint8_t>& v, unsigned x) {
    v.push_back(static_cast<uint8_t>(x & 0xFF));
    v.push_back(static_cast<uint8_t>((x >> 8) & 0xFF));
}
void put32(std::vector<uint8_t>& v, unsigned x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
void tag(std::vector<uint8_t>& v, const char* t) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(t[i]));
}

// Normalises to the given peak, adds short fades at both ends and writes.
bool write_wav(const std::string& path, std::vector<double> s, double peak) {
    double m = 1e-9;
    for (double x : s) m = std::fmax(m, std::fabs(x));
    size_t n = s.size();
    size_t fade_in = RATE / 1000 * 2, fade_out = RATE / 1000 * 8;
    for (size_t i = 0; i < n; ++i) {
        double g = peak / m;
        if (i < fade_in) g *= static_cast<double>(i) / fade_in;
        if (n - 1 - i < fade_out) g *= static_cast<double>(n - 1 - i) / fade_out;
        s[i] *= g;
    }
    std::vector<uint8_t> v;
    unsigned data = static_cast<unsigned>(n * 2);
    tag(v, "RIFF");
    put32(v, 36 + data);
    tag(v, "WAVE");
    tag(v, "fmt ");
    put32(v, 16);
    put16(v, 1);  // PCM
    put16(v, 1);  // mono
    put32(v, RATE);
    put32(v, RATE * 2);
    put16(v, 2);
    put16(v, 16);
    tag(v, "data");
    put32(v, data);
    for (double x : s) {
        long q = std::lround(x * 32767.0);
        if (q > 32767) q = 32767;
        if (q < -32767) q = -32767;
        put16(v, static_cast<unsigned>(q) & 0xFFFF);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(v.data(), 1, v.size(), f) == v.size();
    return std::fclose(f) == 0 && ok;
}

std::vector<double> click() {
    std::vector<double> s(static_cast<size_t>(RATE * 0.05));
    Lcg rng(77);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        double noise = (rng.below(2001) - 1000) / 1000.0;
        s[i] = (std::sin(2 * PI * 2400 * t) * 0.7 + std::sin(2 * PI * 1200 * t) * 0.4 + noise * 0.25) * std::exp(-t * 140);
    }
    return s;
}

std::vector<double> chime() {
    std::vector<double> s(static_cast<size_t>(RATE * 0.55));
    const double notes[3] = {1046.5, 1318.5, 1568.0};  // C6 E6 G6, rolled
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        double v = 0;
        for (int k = 0; k < 3; ++k) {
            double start = k * 0.06;
            if (t < start) continue;
            double u = t - start;
            v += (std::sin(2 * PI * notes[k] * u) + 0.3 * std::sin(2 * PI * notes[k] * 2.0 * u)) * std::exp(-u * 7.0);
        }
        s[i] = v;
    }
    return s;
}

std::vector<double> sweep(double seconds, double f0, double f1, double decay, double noise_amount, uint32_t seed) {
    std::vector<double> s(static_cast<size_t>(RATE * seconds));
    Lcg rng(seed);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        double u = t / seconds;
        double f = f0 * std::pow(f1 / f0, u);
        phase += 2 * PI * f / RATE;
        double noise = (rng.below(2001) - 1000) / 1000.0;
        s[i] = (std::sin(phase) + 0.25 * std::sin(2 * phase) + noise * noise_amount) * std::exp(-t * decay);
    }
    return s;
}

std::vector<double> explosion() {
    std::vector<double> s(static_cast<size_t>(RATE * 0.6));
    Lcg rng(1234);
    double lp = 0, lp2 = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        double noise = (rng.below(2001) - 1000) / 1000.0;
        // the filter closes as the blast dies away
        double a = 0.35 * std::exp(-t * 4.0) + 0.04;
        lp += a * (noise - lp);
        lp2 += a * (lp - lp2);
        double thump = std::sin(2 * PI * (70 - 40 * t) * t) * std::exp(-t * 9.0);
        s[i] = (lp2 * 2.2 + thump * 0.8) * (t < 0.01 ? t / 0.01 : std::exp(-(t - 0.01) * 5.5));
    }
    return s;
}

}  // namespace

bool write_sounds(const std::string& dir, std::vector<std::string>* files) {
    struct Cue {
        const char* name;
        std::vector<double> samples;
        double peak;
    };
    std::vector<Cue> cues = {
        {"click.wav", click(), 0.95},
        {"chime.wav", chime(), 0.6},
        {"pop_shrink.wav", sweep(0.16, 1300, 260, 14, 0.05, 5), 0.7},
        {"pop_burst.wav", sweep(0.12, 700, 420, 28, 0.6, 9), 0.75},
        {"pop_flash.wav", sweep(0.25, 420, 1700, 9, 0.08, 13), 0.6},
        {"explosion.wav", explosion(), 0.85},
    };
    for (Cue& c : cues) {
        if (!write_wav(dir + "/" + c.name, c.samples, c.peak)) return false;
        files->push_back(c.name);
    }
    return true;
}

}  // namespace art
