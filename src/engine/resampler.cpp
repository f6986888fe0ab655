#include "engine/resampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace zav2 {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Stop-band attenuation, and the pass band's share of the lower rate:
// 20 kHz of 44.1 kHz.
constexpr double kStopbandDb = 120.0;
constexpr double kPassFraction = 20000.0 / 44100.0;
// Beyond this many phases (rates without a small common divisor) the filter
// is kept at fewer positions and interpolated between them; the table stays
// within a few megabytes however far apart the rates are.
constexpr uint64_t kMostRows = 1024;
constexpr uint64_t kFewestRows = 16;
constexpr uint64_t kMostCoefficients = uint64_t{1} << 20;
// Rates no decoder or device uses are taken as the nearest of these, which
// also bounds the filter's length.
constexpr int kLowestRate = 4000;
constexpr int kHighestRate = 768000;
// Rows of taps are padded to a multiple of this for the dot product.
constexpr size_t kLanes = 8;

// The modified Bessel function of the first kind, order 0, by its series.
double besselI0(double x) {
    double sum = 1;
    double term = 1;
    for (int k = 1; k < 64; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
        if (term < sum * 1e-17)
            break;
    }
    return sum;
}

// Both channels against one row of taps (a multiple of kLanes long). This
// loop is where the time goes: SSE where every x86-64 processor has it,
// plain lanes elsewhere.
void dotProducts(const float* taps, const float* left, const float* right, size_t count,
                 float& outLeft, float& outRight) {
#if defined(__SSE2__) || defined(_M_X64)
    __m128 leftLow = _mm_setzero_ps(), leftHigh = _mm_setzero_ps();
    __m128 rightLow = _mm_setzero_ps(), rightHigh = _mm_setzero_ps();
    for (size_t j = 0; j < count; j += 8) {
        const __m128 tapsLow = _mm_loadu_ps(taps + j);
        const __m128 tapsHigh = _mm_loadu_ps(taps + j + 4);
        leftLow = _mm_add_ps(leftLow, _mm_mul_ps(tapsLow, _mm_loadu_ps(left + j)));
        leftHigh = _mm_add_ps(leftHigh, _mm_mul_ps(tapsHigh, _mm_loadu_ps(left + j + 4)));
        rightLow = _mm_add_ps(rightLow, _mm_mul_ps(tapsLow, _mm_loadu_ps(right + j)));
        rightHigh = _mm_add_ps(rightHigh, _mm_mul_ps(tapsHigh, _mm_loadu_ps(right + j + 4)));
    }
    float lanes[4];
    _mm_storeu_ps(lanes, _mm_add_ps(leftLow, leftHigh));
    outLeft = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    _mm_storeu_ps(lanes, _mm_add_ps(rightLow, rightHigh));
    outRight = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
#else
    float sumLeft[kLanes] = {};
    float sumRight[kLanes] = {};
    for (size_t j = 0; j < count; j += kLanes) {
        for (size_t k = 0; k < kLanes; ++k) {
            sumLeft[k] += taps[j + k] * left[j + k];
            sumRight[k] += taps[j + k] * right[j + k];
        }
    }
    outLeft = 0;
    outRight = 0;
    for (size_t k = 0; k < kLanes; ++k) {
        outLeft += sumLeft[k];
        outRight += sumRight[k];
    }
#endif
}

}  // namespace

Resampler::Resampler(int inputRate, int outputRate, const ChannelLayout& layout)
    : inputRate_(std::clamp(inputRate, kLowestRate, kHighestRate)),
      outputRate_(std::clamp(outputRate, kLowestRate, kHighestRate)),
      mix_(stereoMixFor(layout)) {
    if (inputRate_ == outputRate_) {
        passThrough_ = true;
        return;
    }
    const auto divisor = static_cast<uint64_t>(std::gcd(inputRate_, outputRate_));
    phases_ = static_cast<uint64_t>(outputRate_) / divisor;
    step_ = static_cast<uint64_t>(inputRate_) / divisor;

    // Frequencies in cycles per input sample.
    const double lower = std::min(inputRate_, outputRate_);
    const double pass = kPassFraction * lower / inputRate_;
    const double stop = 0.5 * lower / inputRate_;
    const double cutoff = (pass + stop) / 2;
    // Kaiser's estimates of the window's shape and length for the attenuation
    // and transition width.
    const double beta = 0.1102 * (kStopbandDb - 8.7);
    const double length = (kStopbandDb - 7.95) / (2.285 * 2 * kPi * (stop - pass)) + 1;
    halfTaps_ = static_cast<int64_t>(std::ceil(length / 2));
    taps_ = (static_cast<size_t>(2 * halfTaps_) + kLanes - 1) / kLanes * kLanes;
    const uint64_t mostRows =
        std::clamp<uint64_t>(kMostCoefficients / taps_, kFewestRows, kMostRows);
    rows_ = static_cast<size_t>(phases_ <= mostRows ? phases_ : mostRows);

    coefficients_.assign((rows_ + 1) * taps_, 0.0f);
    const double window = besselI0(beta);
    std::vector<double> row(taps_);
    for (size_t r = 0; r <= rows_; ++r) {
        // Tap j meets input frame base - halfTaps + 1 + j; the output lies
        // r / rows_ after base.
        const double fraction = static_cast<double>(r) / static_cast<double>(rows_);
        double sum = 0;
        for (size_t j = 0; j < taps_; ++j) {
            const double x = static_cast<double>(halfTaps_ - 1) - static_cast<double>(j) + fraction;
            const double u = x / static_cast<double>(halfTaps_);
            double value = 0;
            if (std::fabs(u) < 1) {
                const double arg = 2 * cutoff * x;
                const double sinc = arg == 0 ? 1 : std::sin(kPi * arg) / (kPi * arg);
                value = 2 * cutoff * sinc * besselI0(beta * std::sqrt(1 - u * u)) / window;
            }
            row[j] = value;
            sum += value;
        }
        // Each position passes a constant exactly.
        for (size_t j = 0; j < taps_; ++j)
            coefficients_[r * taps_ + j] = static_cast<float>(row[j] / sum);
    }
    flush(scratchLeft_);  // sets the history up
    scratchLeft_.clear();
}

void Resampler::append(const float* interleaved, size_t frames) {
    const size_t at = left_.size();
    left_.resize(at + frames);
    right_.resize(at + frames);
    mixToStereo(mix_, interleaved, frames, left_.data() + at, right_.data() + at);
}

void Resampler::process(const float* interleaved, size_t frames, std::vector<float>& output) {
    if (frames == 0)
        return;
    if (passThrough_) {
        scratchLeft_.resize(frames);
        scratchRight_.resize(frames);
        mixToStereo(mix_, interleaved, frames, scratchLeft_.data(), scratchRight_.data());
        const size_t at = output.size();
        output.resize(at + 2 * frames);
        for (size_t i = 0; i < frames; ++i) {
            output[at + 2 * i] = scratchLeft_[i];
            output[at + 2 * i + 1] = scratchRight_[i];
        }
        return;
    }
    append(interleaved, frames);
    inputFrames_ += frames;
    produce(output, UINT64_MAX);
    dropConsumed();
}

void Resampler::produce(std::vector<float>& output, uint64_t limit) {
    const bool everyPhase = rows_ == phases_;
    const auto available = historyStart_ + static_cast<int64_t>(left_.size());
    while (outputFrames_ < limit) {
        const int64_t first = static_cast<int64_t>(base_) - halfTaps_ + 1;
        if (first + static_cast<int64_t>(taps_) > available)
            break;
        const auto offset = static_cast<size_t>(first - historyStart_);
        const float* left = left_.data() + offset;
        const float* right = right_.data() + offset;
        float outLeft;
        float outRight;
        if (everyPhase) {
            dotProducts(&coefficients_[phase_ * taps_], left, right, taps_, outLeft, outRight);
        } else {
            const uint64_t position = phase_ * rows_;
            const uint64_t row = position / phases_;
            const auto fraction =
                static_cast<float>(position % phases_) / static_cast<float>(phases_);
            float nextLeft;
            float nextRight;
            dotProducts(&coefficients_[row * taps_], left, right, taps_, outLeft, outRight);
            dotProducts(&coefficients_[(row + 1) * taps_], left, right, taps_, nextLeft, nextRight);
            outLeft += fraction * (nextLeft - outLeft);
            outRight += fraction * (nextRight - outRight);
        }
        output.push_back(outLeft);
        output.push_back(outRight);
        ++outputFrames_;
        phase_ += step_;
        base_ += phase_ / phases_;
        phase_ %= phases_;
    }
}

void Resampler::dropConsumed() {
    const int64_t first = static_cast<int64_t>(base_) - halfTaps_ + 1;
    const auto consumed = static_cast<size_t>(std::max<int64_t>(0, first - historyStart_));
    // Moving the history costs its length: do it once it is mostly spent.
    if (consumed < 4096 || consumed < left_.size() / 2)
        return;
    left_.erase(left_.begin(), left_.begin() + static_cast<std::ptrdiff_t>(consumed));
    right_.erase(right_.begin(), right_.begin() + static_cast<std::ptrdiff_t>(consumed));
    historyStart_ += static_cast<int64_t>(consumed);
}

void Resampler::flush(std::vector<float>& output) {
    if (!passThrough_ && inputFrames_ > 0) {
        // Silence after the end lets the filter reach the last frames.
        const uint64_t total = (inputFrames_ * phases_ + step_ - 1) / step_;
        left_.resize(left_.size() + taps_, 0.0f);
        right_.resize(right_.size() + taps_, 0.0f);
        produce(output, total);
    }
    // Silence before the start, so the first output has its history.
    left_.assign(static_cast<size_t>(halfTaps_ > 0 ? halfTaps_ - 1 : 0), 0.0f);
    right_.assign(left_.size(), 0.0f);
    historyStart_ = -static_cast<int64_t>(left_.size());
    inputFrames_ = 0;
    outputFrames_ = 0;
    base_ = 0;
    phase_ = 0;
}

}  // namespace zav2
