// Integrated loudness of a programme, as ITU-R BS.1770-4 and EBU R 128
// define it: K-weighted mean square over 400 ms blocks that overlap by 75 %,
// gated at -70 LUFS and then 10 LU below the level of the blocks kept. Fed
// in blocks of interleaved float samples at any rate.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/channel_layout.h"

namespace zav2 {

class LoudnessMeter {
  public:
    // Low-frequency channels are left out; surround channels weigh +1.5 dB.
    LoudnessMeter(int sampleRate, ChannelLayout layout);
    LoudnessMeter(int sampleRate, int channels)
        : LoudnessMeter(sampleRate, defaultLayout(channels)) {}

    // `frames` frames of one sample per channel each.
    void add(const float* interleaved, size_t frames);

    // LUFS; nullopt until a block above the absolute gate (-70 LUFS) was seen.
    std::optional<double> integratedLoudness() const;
    // The largest sample magnitude seen, 1 at full scale.
    double samplePeak() const { return peak_; }

  private:
    // One second-order section, transposed direct form II.
    struct Biquad {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    };
    struct FilterState {
        std::array<double, 4> s{};  // two per section
    };
    void addSubBlock(const float* interleaved, size_t frames);

    int sampleRate_;
    size_t channels_;
    std::vector<double> weights_;
    Biquad shelf_;
    Biquad highPass_;
    std::vector<FilterState> states_;
    // Gating runs on 100 ms steps: four make one 400 ms block.
    uint64_t framesSeen_ = 0;
    uint64_t subBlock_ = 0;           // index of the 100 ms step being filled
    double subBlockEnergy_ = 0;       // weighted sum of squares so far
    std::array<double, 4> recent_{};  // energies of the last four steps
    std::array<uint64_t, 4> recentFrames_{};
    std::vector<double> blockPowers_;  // weighted mean squares of full blocks
    double peak_ = 0;
};

}  // namespace zav2
