// Converts interleaved float audio of any rate and channel layout to stereo
// at another rate, block by block, keeping the filter's history between
// blocks so a stream split anywhere gives the same samples as one block.
// Tracks of one rate that follow each other go through one resampler, so
// the filter sees one signal across the join; flush at the end of the
// stream or before a change of rate (a new resampler).
//
// A polyphase windowed-sinc (Kaiser) low-pass at the lower of the two rates'
// Nyquist frequencies: flat to 20 kHz at 44.1 kHz, 120 dB down from the
// lower rate's Nyquist on. Equal rates pass through unfiltered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/channel_layout.h"
#include "engine/stereo_mix.h"

namespace zav2 {

class Resampler {
  public:
    // Rates are taken within 4 kHz to 768 kHz.
    Resampler(int inputRate, int outputRate, const ChannelLayout& layout);
    Resampler(int inputRate, int outputRate, int channels)
        : Resampler(inputRate, outputRate, defaultLayout(channels)) {}

    int inputRate() const { return inputRate_; }
    int outputRate() const { return outputRate_; }
    size_t inputChannels() const { return mix_.shares.size(); }

    // Another channel layout from the next frame on, at the same rate: the
    // history is already stereo, so the join stays seamless.
    void setInputLayout(const ChannelLayout& layout) { mix_ = stereoMixFor(layout); }

    // Appends to `output` the stereo frames (left, right) that `frames` more
    // input frames complete; the filter holds back the last few until more
    // input, or flush, follows.
    void process(const float* interleaved, size_t frames, std::vector<float>& output);

    // Appends the frames still held back, so that the whole stream gives
    // ceil(input frames * output rate / input rate) frames, and starts over
    // for a new stream.
    void flush(std::vector<float>& output);

  private:
    void produce(std::vector<float>& output, uint64_t limit);
    void append(const float* interleaved, size_t frames);
    void dropConsumed();

    int inputRate_;
    int outputRate_;
    StereoMix mix_;
    // Output n lies at input position n * step_ / phases_ (both reduced).
    uint64_t phases_ = 1;
    uint64_t step_ = 1;
    bool passThrough_ = false;
    // Filter rows: rows_ + 1 rows of taps_ coefficients for fractional
    // positions 0, 1/rows_ ... 1; rows_ == phases_ when every phase has its
    // own row, else positions between rows are interpolated.
    size_t taps_ = 0;
    size_t rows_ = 0;
    std::vector<float> coefficients_;
    int64_t halfTaps_ = 0;  // taps before the output position, its own included

    // Input history, left and right; element 0 is input frame historyStart_.
    std::vector<float> left_;
    std::vector<float> right_;
    int64_t historyStart_ = 0;
    uint64_t inputFrames_ = 0;   // real input frames taken since the start
    uint64_t outputFrames_ = 0;  // output frames given since the start
    uint64_t base_ = 0;          // input frame at or before the next output
    uint64_t phase_ = 0;         // and its fraction, in 1/phases_
    std::vector<float> scratchLeft_;
    std::vector<float> scratchRight_;
};

}  // namespace zav2
