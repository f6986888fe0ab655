// The audio path's figures: the resampler's accuracy (a 1 kHz sine taken from
// 44.1 kHz to 48 kHz and back, the pass band's flatness to 20 kHz, what is
// left of a tone above the lower rate's Nyquist frequency) and speed, and the
// loudness meter's speed, in times real time on one core.
//
//   cmake --preset bench && cmake --build build/bench --target zav2_audio_bench
//   build/bench/bench/zav2_audio_bench
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/loudness_meter.h"
#include "engine/resampler.h"

namespace {

using namespace zav2;

constexpr double kPi = 3.14159265358979323846;

std::vector<float> sine(int rate, int channels, double frequency, double amplitude,
                        double seconds) {
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> out(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const auto value = static_cast<float>(
            amplitude * std::sin(2 * kPi * frequency * static_cast<double>(i) / rate));
        for (int c = 0; c < channels; ++c)
            out[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = value;
    }
    return out;
}

// The whole of `input` through a resampler in blocks of 1024 frames, then
// flushed; stereo out.
std::vector<float> convert(Resampler& resampler, const std::vector<float>& input) {
    std::vector<float> out;
    const size_t channels = resampler.inputChannels();
    const size_t frames = input.size() / channels;
    for (size_t at = 0; at < frames; at += 1024)
        resampler.process(input.data() + at * channels, std::min<size_t>(1024, frames - at), out);
    resampler.flush(out);
    return out;
}

// Amplitude of the `frequency` component of the left channel, by least
// squares over the middle of the signal (the ends hold the start's step).
double amplitudeOf(const std::vector<float>& stereo, int rate, double frequency) {
    const size_t frames = stereo.size() / 2;
    const size_t skip = frames / 10;
    double ss = 0, cc = 0, sc = 0, xs = 0, xc = 0;
    for (size_t i = skip; i < frames - skip; ++i) {
        const double t = 2 * kPi * frequency * static_cast<double>(i) / rate;
        const double s = std::sin(t), c = std::cos(t), x = stereo[2 * i];
        ss += s * s;
        cc += c * c;
        sc += s * c;
        xs += x * s;
        xc += x * c;
    }
    const double det = ss * cc - sc * sc;
    const double a = (xs * cc - xc * sc) / det;
    const double b = (xc * ss - xs * sc) / det;
    return std::hypot(a, b);
}

double decibels(double ratio) {
    return 20 * std::log10(ratio);
}

void roundTrip() {
    const double amplitude = 0.5;
    const std::vector<float> original = sine(44100, 2, 1000, amplitude, 3);
    Resampler up(44100, 48000, 2);
    Resampler down(48000, 44100, 2);
    const std::vector<float> back = convert(down, convert(up, original));
    const size_t frames = original.size() / 2;
    const size_t skip = 4410;
    double error = 0, signal = 0;
    for (size_t i = skip; i < frames - skip; ++i) {
        const double d = back[2 * i] - original[2 * i];
        error += d * d;
        signal += static_cast<double>(original[2 * i]) * original[2 * i];
    }
    std::printf("1 kHz sine 44.1 -> 48 -> 44.1 kHz: error %.1f dB, length %zu -> %zu frames\n",
                10 * std::log10(error / signal), frames, back.size() / 2);
}

void passBand() {
    const struct {
        int from, to;
    } pairs[] = {{44100, 48000}, {48000, 44100}, {96000, 48000}, {22050, 48000}, {44100, 44101}};
    for (const auto& pair : pairs) {
        const double top = std::min(20000.0, 20000.0 / 44100 * std::min(pair.from, pair.to));
        double lowest = 0, highest = 0;
        for (double f = 20; f <= top * 1.0001; f = f < 1000 ? f * 1.5 : f + 500) {
            const double frequency = std::min(f, top);
            Resampler resampler(pair.from, pair.to, 2);
            const double gain =
                decibels(amplitudeOf(convert(resampler, sine(pair.from, 2, frequency, 0.5, 0.5)),
                                     pair.to, frequency) /
                         0.5);
            lowest = std::min(lowest, gain);
            highest = std::max(highest, gain);
        }
        // A tone just above the lower rate's Nyquist frequency must vanish.
        const double alias = 0.5 * std::min(pair.from, pair.to) * 1.02;
        double leak = -999;
        if (alias < 0.5 * pair.from) {
            Resampler resampler(pair.from, pair.to, 2);
            const std::vector<float> out = convert(resampler, sine(pair.from, 2, alias, 0.5, 0.5));
            const double folded = pair.to - alias;
            leak = decibels(amplitudeOf(out, pair.to, std::fabs(folded)) / 0.5);
        }
        std::printf("%6d -> %6d Hz: pass band to %.0f Hz %+.6f / %+.6f dB", pair.from, pair.to, top,
                    lowest, highest);
        if (leak > -999)
            std::printf(", %.0f Hz tone folds back at %.1f dB", alias, leak);
        std::printf("\n");
    }
}

// Processor time, not wall-clock time: the figure is for one core, and the
// machine may be busy with other work.
template <typename Work>
double timesRealTime(double seconds, Work work) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const std::clock_t start = std::clock();
        work();
        best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    }
    return seconds / best;
}

void speed() {
    const double seconds = 20;
    const struct {
        int from, to, channels;
    } cases[] = {{44100, 48000, 2}, {48000, 44100, 2}, {96000, 48000, 2},
                 {22050, 48000, 2}, {44100, 44101, 2}, {48000, 48000, 6}};
    for (const auto& c : cases) {
        const std::vector<float> input = sine(c.from, c.channels, 997, 0.5, seconds);
        std::vector<float> out;
        out.reserve(static_cast<size_t>(seconds * c.to * 2.1));
        const double x = timesRealTime(seconds, [&] {
            Resampler resampler(c.from, c.to, c.channels);
            out.clear();
            const auto channels = static_cast<size_t>(c.channels);
            const size_t frames = input.size() / channels;
            for (size_t at = 0; at < frames; at += 1024)
                resampler.process(input.data() + at * channels, std::min<size_t>(1024, frames - at),
                                  out);
            resampler.flush(out);
        });
        std::printf("resampler %6d -> %6d Hz, %d channels: %.0fx real time\n", c.from, c.to,
                    c.channels, x);
    }
    for (const int channels : {2, 6}) {
        const std::vector<float> input = sine(48000, channels, 997, 0.5, seconds);
        double lufs = 0;
        const double x = timesRealTime(seconds, [&] {
            LoudnessMeter meter(48000, channels);
            const auto width = static_cast<size_t>(channels);
            for (size_t at = 0; at < input.size() / width; at += 4800)
                meter.add(input.data() + at * width,
                          std::min<size_t>(4800, input.size() / width - at));
            lufs = meter.integratedLoudness().value_or(-999);
        });
        std::printf("loudness meter 48000 Hz, %d channels: %.0fx real time (%.2f LUFS)\n", channels,
                    x, lufs);
    }
}

}  // namespace

int main() {
    roundTrip();
    passBand();
    speed();
    return 0;
}
