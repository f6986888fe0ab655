// Test signals built by code: sines of given levels in given channels.
#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace zav2::test {

// A sine of a given peak level in dBFS, written frame by frame into the
// channels marked active (all when none are marked); its phase runs on
// across calls, so segments of different levels join smoothly.
class Sine {
  public:
    Sine(int rate, double frequency)
        : step_(std::polar(1.0, 2 * 3.14159265358979323846 * frequency / rate)) {}

    // Appends `frames` frames of `channels` samples to `out`.
    void append(std::vector<float>& out, size_t frames, int channels, double dbfs,
                const std::vector<bool>& active = {}) {
        const double amplitude = std::pow(10.0, dbfs / 20);
        const size_t width = static_cast<size_t>(channels);
        size_t at = out.size();
        out.resize(at + frames * width);
        float* sample = out.data() + at;
        double re = phase_.real();
        double im = phase_.imag();
        const double stepRe = step_.real();
        const double stepIm = step_.imag();
        for (size_t i = 0; i < frames; ++i, sample += width) {
            const auto value = static_cast<float>(amplitude * im);
            for (size_t c = 0; c < width; ++c)
                sample[c] = active.empty() || active[c] ? value : 0.0f;
            const double nextRe = re * stepRe - im * stepIm;
            im = re * stepIm + im * stepRe;
            re = nextRe;
        }
        // Keeps the level from drifting over long signals.
        phase_ = std::complex<double>(re, im) / std::hypot(re, im);
    }

  private:
    std::complex<double> step_;
    std::complex<double> phase_{1, 0};
};

}  // namespace zav2::test
