// The loudness meter against EBU Tech 3341's test signals, made here by code,
// and the K-weighting curve at rates other than the standard's 48 kHz.
#include <gtest/gtest.h>

#include <complex>
#include <vector>

#include "engine/loudness_meter.h"
#include "test_signals.h"

namespace zav2 {
namespace {

struct Segment {
    double seconds;
    double dbfs;
};

// Stereo 1 kHz segments fed in blocks of `blockFrames`.
double measure(int rate, const std::vector<Segment>& segments, size_t blockFrames = 4800) {
    LoudnessMeter meter(rate, 2);
    test::Sine sine(rate, 1000);
    std::vector<float> block;
    for (const Segment& segment : segments) {
        size_t left = static_cast<size_t>(std::llround(segment.seconds * rate));
        while (left > 0) {
            const size_t frames = std::min(left, blockFrames);
            block.clear();
            sine.append(block, frames, 2, segment.dbfs);
            meter.add(block.data(), frames);
            left -= frames;
        }
    }
    return meter.integratedLoudness().value_or(-999);
}

TEST(LoudnessMeter, Tech3341StereoCases) {
    const struct {
        int rate;
        std::vector<Segment> segments;
        double lufs;
        size_t blockFrames = 4800;
    } cases[] = {
        // The relative gate drops the quiet ends...
        {48000, {{10, -36}, {60, -23}, {10, -36}}, -23},
        // ... and the absolute gate the silent-looking ones.
        {48000, {{10, -72}, {10, -36}, {60, -23}, {10, -36}, {10, -72}}, -23},
        // Blocks straddle the level changes: 20.1 s is not whole blocks.
        {48000, {{20, -26}, {20.1, -20}, {20, -26}}, -23},
        // Other rates; blocks of odd sizes end the 100 ms steps inside them.
        {44100, {{20, -26}, {20.1, -20}, {20, -26}}, -23, 777},
        {22050, {{20, -23}}, -23},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(measure(c.rate, c.segments, c.blockFrames), c.lufs, 0.1) << c.rate << " Hz";
}

// |H(f)|² of the standard's own 48 kHz coefficients.
double standardPower(double frequency) {
    const double b[2][3] = {{1.53512485958697, -2.69169618940638, 1.19839281085285}, {1, -2, 1}};
    const double a[2][3] = {{1, -1.69065929318241, 0.73248077421585},
                            {1, -1.99004745483398, 0.99007225036621}};
    const std::complex<double> z = std::polar(1.0, -2 * 3.14159265358979323846 * frequency / 48000);
    double power = 1;
    for (int s = 0; s < 2; ++s) {
        const auto h =
            (b[s][0] + b[s][1] * z + b[s][2] * z * z) / (a[s][0] + a[s][1] * z + a[s][2] * z * z);
        power *= std::norm(h);
    }
    return power;
}

TEST(LoudnessMeter, KWeightingAtEveryRate) {
    for (const int rate : {48000, 44100, 96000}) {
        for (const double frequency : {40.0, 100.0, 1000.0, 4000.0, 12000.0}) {
            std::vector<float> samples;
            test::Sine(rate, frequency).append(samples, static_cast<size_t>(rate), 1, -20);
            LoudnessMeter meter(rate, 1);
            meter.add(samples.data(), samples.size());
            // Mean square of the sine is half its peak's square.
            const double expected = -0.691 + 10 * std::log10(0.01 / 2 * standardPower(frequency));
            EXPECT_NEAR(meter.integratedLoudness().value_or(-999), expected, 0.05)
                << rate << " Hz, " << frequency << " Hz";
            EXPECT_NEAR(meter.samplePeak(), 0.1, 1e-3);
        }
    }
}

// 5.1: the low-frequency channel is not heard in loudness (alone, it leaves
// no loudness at all); surrounds weigh +1.5 dB, as do the sides of 7.1,
// whose back channels then weigh 1.
TEST(LoudnessMeter, ChannelWeights) {
    const struct {
        int channels;
        int active;
        double lufs;
    } cases[] = {
        {6, 0, -20.0},
        {6, 3, -999},
        {6, 4, -20.0 + 10 * std::log10(1.41)},
        {8, 4, -20.0},
        {8, 7, -20.0 + 10 * std::log10(1.41)},
    };
    for (const auto& c : cases) {
        std::vector<float> samples;
        // A sine at -20 dBFS reads -23 LUFS in one channel (its mean square
        // is 3 dB below its peak); this one reads -20.
        test::Sine(48000, 1000).append(samples, 48000, c.channels, -20 + 3.0103, c.active);
        LoudnessMeter meter(48000, c.channels);
        meter.add(samples.data(), samples.size() / static_cast<size_t>(c.channels));
        EXPECT_NEAR(meter.integratedLoudness().value_or(-999), c.lufs, 0.05) << c.channels;
    }
}

}  // namespace
}  // namespace zav2
