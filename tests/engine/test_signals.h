// Test signals built by code: sines of given levels in given channels.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zav2::test {

// A sine of a given peak level in dBFS, written frame by frame into one
// channel or all; its phase runs on across calls, so segments of different
// levels join smoothly.
class Sine {
  public:
    Sine(int rate, double frequency) : step_(2 * 3.14159265358979323846 * frequency / rate) {}

    // Appends `frames` frames of `channels` samples to `out`, silent but in
    // channel `only` when one is given.
    void append(std::vector<float>& out, size_t frames, int channels, double dbfs, int only = -1) {
        const double amplitude = std::pow(10.0, dbfs / 20);
        out.reserve(out.size() + frames * static_cast<size_t>(channels));
        for (const uint64_t end = frame_ + frames; frame_ < end; ++frame_) {
            const auto value =
                static_cast<float>(amplitude * std::sin(step_ * static_cast<double>(frame_)));
            for (int c = 0; c < channels; ++c)
                out.push_back(only < 0 || c == only ? value : 0.0f);
        }
    }

  private:
    double step_;
    uint64_t frame_ = 0;
};

}  // namespace zav2::test
