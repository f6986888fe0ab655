#include "engine/loudness_meter.h"

#include <algorithm>
#include <cmath>

namespace zav2 {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The K-weighting filters are given for 48 kHz; these analogue parameters
// reproduce those coefficients through the bilinear transform, so every
// other rate gets the same curve.
constexpr double kShelfFrequency = 1681.974450955533;
constexpr double kShelfQ = 0.7071752369554193;
constexpr double kShelfHighGain = 1.5848647011308556;  // +4 dB above the shelf
constexpr double kShelfMidGain = 1.2587209302325613;
constexpr double kHighPassFrequency = 38.13547087611304;
constexpr double kHighPassQ = 0.5003270373250421;

// Cancels the filters' gain at 1 kHz: a 1 kHz sine then reads its own level.
constexpr double kLoudnessOffset = -0.691;
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = -10.0;

double loudnessOf(double power) {
    return kLoudnessOffset + 10 * std::log10(power);
}

double weightOf(Speaker speaker, bool hasSides) {
    switch (speaker) {
        case Speaker::LowFrequency:
            return 0.0;
        case Speaker::SideLeft:
        case Speaker::SideRight:
            return 1.41;
        case Speaker::BackLeft:
        case Speaker::BackRight:
            // The surrounds of 5.1, unless side speakers take that place.
            return hasSides ? 1.0 : 1.41;
        default:
            return 1.0;
    }
}

}  // namespace

LoudnessMeter::LoudnessMeter(int sampleRate, ChannelLayout layout)
    : sampleRate_(std::max(sampleRate, 1)), channels_(layout.size()), states_(layout.size()) {
    const bool hasSides =
        std::find(layout.begin(), layout.end(), Speaker::SideLeft) != layout.end();
    for (const Speaker speaker : layout)
        weights_.push_back(weightOf(speaker, hasSides));

    const double rate = sampleRate_;
    double k = std::tan(kPi * std::min(kShelfFrequency, 0.49 * rate) / rate);
    double norm = 1 + k / kShelfQ + k * k;
    shelf_.b0 = (kShelfHighGain + kShelfMidGain * k / kShelfQ + k * k) / norm;
    shelf_.b1 = 2 * (k * k - kShelfHighGain) / norm;
    shelf_.b2 = (kShelfHighGain - kShelfMidGain * k / kShelfQ + k * k) / norm;
    shelf_.a1 = 2 * (k * k - 1) / norm;
    shelf_.a2 = (1 - k / kShelfQ + k * k) / norm;

    // The standard's high-pass keeps 1, -2, 1 as its numerator.
    k = std::tan(kPi * kHighPassFrequency / rate);
    norm = 1 + k / kHighPassQ + k * k;
    highPass_.b0 = 1;
    highPass_.b1 = -2;
    highPass_.b2 = 1;
    highPass_.a1 = 2 * (k * k - 1) / norm;
    highPass_.a2 = (1 - k / kHighPassQ + k * k) / norm;
}

void LoudnessMeter::add(const float* interleaved, size_t frames) {
    if (channels_ == 0)
        return;
    while (frames > 0) {
        // Step j covers frames [j * rate / 10, (j + 1) * rate / 10).
        const uint64_t stepEnd = (subBlock_ + 1) * static_cast<uint64_t>(sampleRate_) / 10;
        const size_t take = static_cast<size_t>(std::min<uint64_t>(frames, stepEnd - framesSeen_));
        addSubBlock(interleaved, take);
        interleaved += take * channels_;
        frames -= take;
        framesSeen_ += take;
        if (framesSeen_ < stepEnd)
            continue;
        const size_t slot = subBlock_ % 4;
        recent_[slot] = subBlockEnergy_;
        recentFrames_[slot] = stepEnd - subBlock_ * static_cast<uint64_t>(sampleRate_) / 10;
        subBlockEnergy_ = 0;
        ++subBlock_;
        if (subBlock_ >= 4) {
            double energy = 0;
            uint64_t blockFrames = 0;
            for (size_t i = 0; i < 4; ++i) {
                energy += recent_[i];
                blockFrames += recentFrames_[i];
            }
            if (blockFrames > 0)
                blockPowers_.push_back(energy / static_cast<double>(blockFrames));
        }
    }
}

void LoudnessMeter::addSubBlock(const float* interleaved, size_t frames) {
    const Biquad f = shelf_;
    const Biquad h = highPass_;
    for (size_t c = 0; c < channels_; ++c) {
        std::array<double, 4>& state = states_[c].s;
        double s0 = state[0], s1 = state[1], s2 = state[2], s3 = state[3];
        double sum = 0;
        double peak = peak_;
        const float* sample = interleaved + c;
        for (size_t i = 0; i < frames; ++i, sample += channels_) {
            const double x = *sample;
            const double magnitude = x < 0 ? -x : x;
            if (magnitude > peak)
                peak = magnitude;
            const double y = f.b0 * x + s0;
            s0 = f.b1 * x - f.a1 * y + s1;
            s1 = f.b2 * x - f.a2 * y;
            const double z = h.b0 * y + s2;
            s2 = h.b1 * y - h.a1 * z + s3;
            s3 = h.b2 * y - h.a2 * z;
            sum += z * z;
        }
        state = {s0, s1, s2, s3};
        subBlockEnergy_ += weights_[c] * sum;
        peak_ = peak;
    }
}

std::optional<double> LoudnessMeter::integratedLoudness() const {
    // Blocks above the absolute gate set the relative gate; the blocks above
    // both give the level.
    const double absolutePower = std::pow(10.0, (kAbsoluteGate - kLoudnessOffset) / 10);
    const auto meanAbove = [&](double threshold) -> std::optional<double> {
        double sum = 0;
        size_t count = 0;
        for (const double power : blockPowers_) {
            if (power > threshold) {
                sum += power;
                ++count;
            }
        }
        return count ? std::optional<double>(sum / static_cast<double>(count)) : std::nullopt;
    };
    const auto ungated = meanAbove(absolutePower);
    if (!ungated)
        return std::nullopt;
    const double relativePower = *ungated * std::pow(10.0, kRelativeGate / 10);
    const auto gated = meanAbove(std::max(absolutePower, relativePower));
    return gated ? std::optional<double>(loudnessOf(*gated)) : std::nullopt;
}

}  // namespace zav2
