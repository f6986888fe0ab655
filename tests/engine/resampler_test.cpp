// The resampler: blocks of any size give the same stream, the length comes
// out whole, a sine keeps its time and level, and channels map to stereo.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/resampler.h"
#include "test_signals.h"

namespace zav2 {
namespace {

// Reproducible noise: every frequency at once.
std::vector<float> noise(size_t samples) {
    std::vector<float> out(samples);
    uint32_t state = 12345;
    for (float& sample : out) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<float>(state >> 8) / (1 << 24) - 0.5f;
    }
    return out;
}

std::vector<float> convert(Resampler& resampler, const std::vector<float>& input,
                           const std::vector<size_t>& blocks) {
    std::vector<float> out;
    const size_t channels = resampler.inputChannels();
    const size_t frames = input.size() / channels;
    size_t at = 0;
    for (size_t i = 0; at < frames; ++i) {
        const size_t take = std::min(blocks[i % blocks.size()], frames - at);
        resampler.process(input.data() + at * channels, take, out);
        at += take;
    }
    resampler.flush(out);
    return out;
}

TEST(Resampler, BlocksAndLengths) {
    // 11025 -> 96000 has too many phases for a row each: they are
    // interpolated.
    const struct {
        int from, to;
    } rates[] = {{44100, 48000}, {48000, 44100}, {96000, 48000},
                 {22050, 48000}, {11025, 96000}, {48000, 48000}};
    for (const auto& rate : rates) {
        SCOPED_TRACE(testing::Message() << rate.from << " -> " << rate.to);
        const std::vector<float> input = noise(2 * 5000);
        Resampler resampler(rate.from, rate.to, 2);
        const std::vector<float> whole = convert(resampler, input, {5000});
        // The same resampler again, after its flush, in ragged blocks.
        EXPECT_EQ(convert(resampler, input, {1, 7, 300, 2, 1024}), whole);
        for (const size_t frames : {0, 1, 2, 999, 5000}) {
            Resampler fresh(rate.from, rate.to, 2);
            const std::vector<float> part(input.begin(), input.begin() + 2 * frames);
            const uint64_t expected =
                (uint64_t{frames} * static_cast<uint64_t>(rate.to) + rate.from - 1) / rate.from;
            EXPECT_EQ(convert(fresh, part, {frames + 1}).size(), 2 * expected) << frames;
        }
    }
    // Rates far apart without a common divisor: the filter's table stays
    // bounded, and rates no device has are taken at the nearest bound.
    Resampler extreme(767999, 4000, 2);
    EXPECT_EQ(convert(extreme, noise(2 * 2000), {2000}).size(), 2 * 11u);
    Resampler none(0, 48000, 2);
    EXPECT_EQ(convert(none, noise(2 * 10), {10}).size(), 2 * 120u);
}

// Output frame n is the input at time n / output rate: no delay, so a join
// of two tracks stays where it was. Measured on a sine's middle.
TEST(Resampler, SineKeepsTimeAndLevel) {
    for (const auto& [from, to] :
         {std::pair(44100, 48000), std::pair(48000, 44100), std::pair(11025, 96000)}) {
        std::vector<float> input;
        test::Sine(from, 1000).append(input, static_cast<size_t>(from / 5), 2, -6);
        Resampler resampler(from, to, 2);
        const std::vector<float> out = convert(resampler, input, {4096});
        std::vector<float> ideal;
        test::Sine(to, 1000).append(ideal, out.size() / 2, 2, -6);
        double error = 0;
        double signal = 0;
        for (size_t i = out.size() / 4; i < out.size() * 3 / 4; ++i) {
            error += (out[i] - ideal[i]) * (out[i] - ideal[i]);
            signal += ideal[i] * ideal[i];
        }
        EXPECT_LT(10 * std::log10(error / signal), -90) << from << " -> " << to;
    }
}

TEST(Resampler, ChannelsToStereo) {
    const float k = 0.70710678f;
    const float down = 1 / (1 + 2 * k);  // 5.1 shares scaled to add up to 1
    const struct {
        ChannelLayout layout;
        std::vector<float> frame;
        float left, right;
    } cases[] = {
        {defaultLayout(1), {0.5f}, 0.5f, 0.5f},
        {defaultLayout(2), {0.25f, -0.75f}, 0.25f, -0.75f},
        // FL FR FC LFE BL BR: the low-frequency channel is not heard.
        {defaultLayout(6), {1, 0, 0, 1, 0, 0}, down, 0},
        {defaultLayout(6), {0, 0, 1, 0, 0, 1}, k * down, 2 * k * down},
        {defaultLayout(6), {1, 1, 1, 1, 1, 1}, 1, 1},
        // A mask names the speakers: FL FR LFE.
        {layoutFromMask(0xB, 3), {0.5f, 0.25f, 1}, 0.5f, 0.25f},
    };
    // One resampler through every layout in turn, as tracks follow.
    Resampler resampler(48000, 48000, 2);
    for (size_t i = 0; i < std::size(cases); ++i) {
        resampler.setInputLayout(cases[i].layout);
        std::vector<float> out;
        resampler.process(cases[i].frame.data(), 1, out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_NEAR(out[0], cases[i].left, 1e-6) << "case " << i;
        EXPECT_NEAR(out[1], cases[i].right, 1e-6) << "case " << i;
    }
}

}  // namespace
}  // namespace zav2
