#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace trisk::cardset {
namespace {

using Signal = std::vector<double>;

Signal Silence(double seconds) {
    return Signal(static_cast<size_t>(seconds * kSampleRate), 0.0);
}

// A tone that sweeps from one pitch to another, with a few harmonics and an
// envelope that rises within `attack` seconds and then decays exponentially.
void AddTone(Signal& out, double start, double seconds, double fromHz, double toHz, double attack,
             double decay, double level, std::initializer_list<double> harmonics) {
    const size_t first = static_cast<size_t>(start * kSampleRate);
    const size_t count = static_cast<size_t>(seconds * kSampleRate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double hz = fromHz + (toHz - fromHz) * (t / seconds);
        phase += 2 * M_PI * hz / kSampleRate;
        double value = 0;
        int n = 1;
        for (double weight : harmonics)
            value += weight * std::sin(phase * n++);
        double envelope = t < attack ? t / attack : std::exp(-(t - attack) / decay);
        // Fade the last 5 ms to zero so the sound never ends with a click.
        const double left = seconds - t;
        if (left < 0.005) envelope *= left / 0.005;
        out[first + i] += level * envelope * value;
    }
}

// Low-passed noise with a fast attack and exponential decay: the rustle of a
// card sliding. A fixed linear congruential generator keeps it repeatable.
void AddRustle(Signal& out, double start, double seconds, double decay, double smoothing,
               double level, uint32_t seed) {
    const size_t first = static_cast<size_t>(start * kSampleRate);
    const size_t count = static_cast<size_t>(seconds * kSampleRate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    uint32_t state = seed;
    double filtered = 0;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        const double white = static_cast<double>(state >> 8) / (1u << 24) * 2.0 - 1.0;
        filtered += smoothing * (white - filtered);
        const double t = static_cast<double>(i) / kSampleRate;
        double envelope = std::min(1.0, t / 0.002) * std::exp(-t / decay);
        const double left = seconds - t;
        if (left < 0.005) envelope *= left / 0.005;
        out[first + i] += level * envelope * filtered;
    }
}

std::vector<int16_t> ToPcm(const Signal& signal, double peak) {
    double largest = 0;
    for (double v : signal)
        largest = std::max(largest, std::abs(v));
    const double scale = largest > 0 ? peak * 32767.0 / largest : 0;
    std::vector<int16_t> pcm;
    pcm.reserve(signal.size());
    for (double v : signal)
        pcm.push_back(static_cast<int16_t>(std::lround(v * scale)));
    return pcm;
}

}  // namespace

std::vector<int16_t> SynthesizeSound(const QString& name) {
    Signal s;
    double peak = 0.45;
    if (name == QLatin1String("DEAL")) {
        // A short swish with a soft tick as the card lands.
        s = Silence(0.08);
        AddRustle(s, 0.0, 0.08, 0.02, 0.35, 1.0, 12345u);
        AddTone(s, 0.012, 0.05, 1500, 1400, 0.001, 0.008, 0.25, {1.0});
        peak = 0.35;
    } else if (name == QLatin1String("UP")) {
        // A light rising blip.
        s = Silence(0.09);
        AddTone(s, 0.0, 0.09, 620, 930, 0.004, 0.03, 1.0, {1.0, 0.25});
    } else if (name == QLatin1String("DOWN")) {
        // A soft, low tap.
        s = Silence(0.1);
        AddTone(s, 0.0, 0.1, 240, 170, 0.002, 0.025, 1.0, {1.0, 0.3});
        AddRustle(s, 0.0, 0.04, 0.008, 0.2, 0.5, 777u);
    } else if (name == QLatin1String("DROP")) {
        // A small bell: the card found its home.
        s = Silence(0.25);
        AddTone(s, 0.0, 0.25, 1046.5, 1046.5, 0.003, 0.07, 1.0, {1.0, 0.0, 0.3, 0.0, 0.1});
        AddTone(s, 0.0, 0.25, 1568.0, 1568.0, 0.003, 0.05, 0.35, {1.0});
    } else if (name == QLatin1String("WRONG")) {
        // Two dull falling notes.
        s = Silence(0.28);
        AddTone(s, 0.0, 0.12, 233, 233, 0.005, 0.06, 1.0, {1.0, 0.0, 0.35, 0.0, 0.15});
        AddTone(s, 0.13, 0.15, 185, 185, 0.005, 0.07, 1.0, {1.0, 0.0, 0.35, 0.0, 0.15});
        peak = 0.4;
    } else if (name == QLatin1String("UNDO")) {
        // A quick downward sweep.
        s = Silence(0.15);
        AddTone(s, 0.0, 0.15, 880, 440, 0.005, 0.06, 1.0, {1.0, 0.2});
    } else if (name == QLatin1String("REDO")) {
        // The same sweep upwards.
        s = Silence(0.15);
        AddTone(s, 0.0, 0.15, 440, 880, 0.005, 0.06, 1.0, {1.0, 0.2});
    } else if (name == QLatin1String("GAMEWON")) {
        // A rising C major arpeggio whose last note rings on.
        const double notes[] = {523.25, 659.25, 783.99, 1046.5};
        s = Silence(1.3);
        for (int i = 0; i < 4; ++i) {
            const double length = i == 3 ? 0.85 : 0.45;
            AddTone(s, i * 0.14, length, notes[i], notes[i], 0.006, i == 3 ? 0.3 : 0.15, 1.0,
                    {1.0, 0.35, 0.12});
        }
        peak = 0.5;
    } else {
        return {};
    }
    return ToPcm(s, peak);
}

}  // namespace trisk::cardset
