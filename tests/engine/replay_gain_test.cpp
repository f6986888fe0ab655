// The gain rule: which value counts in each mode, the peak's hold on a raise,
// and values that cannot be trusted.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/replay_gain.h"

namespace zav2 {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double dB(double decibels) {
    return std::pow(10.0, decibels / 20);
}

TEST(ReplayGainFactor, ModesPeaksAndHostileValues) {
    using M = ReplayGainMode;
    const ReplayGainTags both{-6, 0.5, -3, 0.9};
    const ReplayGainTags trackOnly{-6, 0.5, {}, {}};
    const MeasuredLoudness loud{-8, 1.0};
    const MeasuredLoudness quiet{-30, 0.5};
    const struct {
        M mode;
        ReplayGainTags tags;
        std::optional<MeasuredLoudness> measured;
        double factor;
    } cases[] = {
        {M::Off, both, loud, 1},
        {M::Track, both, loud, dB(-6)},
        {M::Album, both, loud, dB(-3)},
        // Album falls back to the track gain, and to the measurement.
        {M::Album, trackOnly, std::nullopt, dB(-6)},
        {M::Album, {}, loud, dB(-10)},
        // A raise stops where the peak reaches full scale, never below 1;
        // album gain takes the track peak when the album has none.
        {M::Track, {{12}, {0.5}, {}, {}}, std::nullopt, 2},
        {M::Track, {{12}, {1.5}, {}, {}}, std::nullopt, 1},
        {M::Track, {}, quiet, 2},
        {M::Album, {{}, {0.5}, {12}, {}}, std::nullopt, 2},
        {M::Album, {{}, {0.5}, {12}, {0.8}}, std::nullopt, 1.25},
        // Lowering is not held by a peak over full scale.
        {M::Track, {{-6}, {1.5}, {}, {}}, std::nullopt, dB(-6)},
        // Hostile gains count as absent, so the next source is used; hostile
        // peaks leave the raise unheld.
        {M::Track, {{kNan}, {}, {}, {}}, loud, dB(-10)},
        {M::Track, {{60}, {}, {}, {}}, std::nullopt, 1},
        {M::Album, {{-2}, {}, {-51.5}, {}}, std::nullopt, dB(-2)},
        {M::Track, {{6}, {0}, {}, {}}, std::nullopt, dB(6)},
        {M::Track, {{6}, {1e9}, {}, {}}, std::nullopt, dB(6)},
        {M::Track, {}, MeasuredLoudness{-kInf, 0.1}, 1},
        {M::Track, {}, MeasuredLoudness{-80, 0.001}, 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_NEAR(replayGainFactor(cases[i].mode, cases[i].tags, cases[i].measured),
                    cases[i].factor, 1e-9)
            << "case " << i;
    }
}

}  // namespace
}  // namespace zav2
