// Files opened for the audio stream and read in order: Media Foundation's
// source reader, asked for 32-bit float (or the decoder's own integer PCM),
// each block placed by its own time and cut to the music. Windows only.
#pragma once

#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/mp3_gapless.h"
#include "engine/resampler.h"
#include "platform/text.h"

namespace zav2 {

// One file opened for the stream.
struct AudioTrack {
    Microsoft::WRL::ComPtr<IMFSourceReader> reader;
    UINT32 sampleRate = 0;
    UINT32 channels = 0;
    UINT32 channelMask = 0;  // 0: the usual layout for the count
    // The bits of the integer PCM the reader gives where it would not give
    // float (converted here); 0 when it gives float.
    UINT32 integerBits = 0;
    double duration = 0.0;      // seconds of music; 0 when the file does not tell
    double fileDuration = 0.0;  // as the file's source tells, trimmed or not
    // An MP3's encoder delay and padding, where its header tells.
    std::optional<Mp3Trim> mp3;
    String path;
    // The factor its samples are played with (loudness normalisation).
    float gain = 1.0f;
};

// Opens `path` (a full path) for the stream. Fails for a file with a video
// stream or without audio: those are played by the media engine.
HRESULT openAudioTrack(const String& path, std::unique_ptr<AudioTrack>& track);
// The same over a reader made elsewhere (tests wrap the platform's).
HRESULT audioTrackFromReader(Microsoft::WRL::ComPtr<IMFSourceReader> reader, const String& path,
                             std::unique_ptr<AudioTrack>& track);

// Decoded samples, 32-bit float, channels interleaved.
struct SampleBlock {
    std::vector<float> samples;
    UINT32 sampleRate = 0;
    UINT32 channels = 0;
    UINT32 channelMask = 0;
    double seconds = 0.0;  // where its first frame lies in the music
    uint64_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

// Reads one track's music in order: what the decoder gives before the
// music's start or a seek's target and after the music's end is dropped,
// each block placed by the time the reader gives it, and a change of format
// inside the file is followed. One thread at a time.
class TrackDecoder {
  public:
    explicit TrackDecoder(std::unique_ptr<AudioTrack> track);
    const AudioTrack& Track() const { return *track; }
    // S_OK with samples; S_FALSE at the end of the music; a failure of the
    // file, after which nothing more comes either.
    HRESULT Read(SampleBlock& block);
    // The next Read starts at `seconds` of music. The reader's seeks are
    // approximate: it lands where it can and what lies before the target is
    // dropped. A seek the reader refuses leaves the decoder where it was.
    HRESULT Seek(double seconds);

  private:
    HRESULT FollowNewFormat();
    void Place(int64_t time, uint64_t frames);
    void LearnDecoder(int64_t endFrame) const;

    std::unique_ptr<AudioTrack> track;
    UINT32 rate = 0;
    UINT32 channels = 0;
    UINT32 channelMask = 0;
    UINT32 integerBits = 0;
    // Times on the reader's timeline (100 ns): where the music starts and
    // ends (INT64_MAX: at the file's end), and before which samples are
    // dropped (the music's start, or a seek's target).
    int64_t musicStart = 0;
    int64_t musicEnd = INT64_MAX;
    int64_t dropBefore = 0;
    // The frame (at `rate`) the next block starts at, counted on from the
    // first block's time after the start, a seek or a change of format.
    std::optional<int64_t> nextFrame;
    int64_t blockFirst = 0;
    // Whether the decoded length still tells what the decoder gives.
    bool wholeFromStart = true;
    bool ended = false;
};

// A track's music as the stream writes it: stereo at the device's rate, with
// the track's gain. Whatever the file's rate and layout (and where they
// change inside the file), the device stays open at its own format. One
// thread at a time.
class TrackFeed {
  public:
    explicit TrackFeed(std::unique_ptr<AudioTrack> track);
    const AudioTrack& Track() const { return decoder.Track(); }
    // S_OK with stereo frames at `outputRate`; S_FALSE at the end of the
    // music, where the filter may still hold its last frames (TakeTail or
    // HandOver); a failure of the file.
    HRESULT Read(SampleBlock& block, UINT32 outputRate);
    // As TrackDecoder::Seek; the filter starts anew there.
    HRESULT Seek(double seconds);
    // The frames the filter still holds at the end of the music.
    void TakeTail(SampleBlock& block);
    // At a join: the track that follows takes the filter over where its
    // rate is the same and it has read nothing yet, so that the filter sees
    // one signal across the join and the frames it holds come first in the
    // next track's blocks. False when it cannot (TakeTail then).
    bool HandOver(TrackFeed& next);
    // Another gain from the next block read on; any thread.
    void SetGain(float factor) { gain.store(factor); }
    float Gain() const { return gain.load(); }

  private:
    void Convert(const SampleBlock& decoded, UINT32 outputRate, SampleBlock& block);
    void Emit(std::vector<float>& frames, UINT32 outputRate, SampleBlock& block);

    std::atomic<float> gain;
    TrackDecoder decoder;
    std::optional<Resampler> resampler;
    UINT32 inputMask = 0;
    UINT32 inputChannels = 0;
    // Where the next frame given lies in the music; unset until the first
    // block after the start or a seek.
    std::optional<double> nextSeconds;
};

}  // namespace zav2
