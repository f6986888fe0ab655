// The program's own sound output for audio-only entries: each file is
// decoded here (Media Foundation's source reader, 32-bit float) and its
// samples are written into one shared-mode WASAPI stream that stays open
// from entry to entry. The entry that follows is written straight after the
// last sample of the one before, so the two join without a gap, and no
// stream starts or stops between them. Windows only.
//
// Threads: every operation is called on the user-interface thread; one
// thread of its own reads the files and keeps the device's buffer filled.
// It reads, seeks and opens devices outside the stream's lock, so that a
// file that stalls (a network share, a disk spinning up) or a device that is
// slow to open never holds up the window's calls: they take the lock only
// to hand over requests and read-outs, and never wait on file input.
#pragma once

#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/mp3_gapless.h"
#include "platform/text.h"

namespace zav2 {

// One file opened for the stream.
struct AudioTrack {
    Microsoft::WRL::ComPtr<IMFSourceReader> reader;
    UINT32 sampleRate = 0;
    UINT32 channels = 0;
    // The bits of the integer PCM the reader gives where it would not give
    // float (converted here); 0 when it gives float.
    UINT32 integerBits = 0;
    double duration = 0.0;      // seconds of music; 0 when the file does not tell
    double fileDuration = 0.0;  // as the file's source tells, trimmed or not
    // An MP3's encoder delay and padding, where its header tells.
    std::optional<Mp3Trim> mp3;
    String path;
};

// Opens `path` (a full path) for the stream. Fails for a file with a video
// stream, without audio, or with more than two channels: those are played
// by the media engine.
HRESULT openAudioTrack(const String& path, std::unique_ptr<AudioTrack>& track);
// The same over a reader made elsewhere (tests wrap the platform's).
HRESULT audioTrackFromReader(Microsoft::WRL::ComPtr<IMFSourceReader> reader, const String& path,
                             std::unique_ptr<AudioTrack>& track);

// Decoded samples, 32-bit float, channels interleaved.
struct SampleBlock {
    std::vector<float> samples;
    UINT32 sampleRate = 0;
    UINT32 channels = 0;
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

class AudioStream {
  public:
    AudioStream();
    ~AudioStream();
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    // The track becomes the one playing, at its start and not running;
    // whatever sounded stops.
    HRESULT Load(std::unique_ptr<AudioTrack> track);
    // Stops and lets go of both tracks and of the device.
    void Close();
    bool Loaded() const;

    HRESULT Play();
    void Pause();
    // A pause that leaves the queued track sounding where its first samples
    // are heard already, so that Advance takes it over running. Whatever
    // else comes first (Unqueue, Pause, Seek, Load, Close) silences it.
    void Stop();
    // Asked here and carried out by the stream's thread: the position reads
    // as the target at once. A seek the file refuses leaves the track
    // playing where it was.
    HRESULT Seek(double seconds);
    // The stream's own volume, 0 ... 1, heard at once.
    void SetVolume(double level);

    // The next track, written without a break after the playing one's last
    // sample. False, and the track stays the caller's, when its format
    // differs from the playing one's (the device would have to start anew).
    bool Queue(std::unique_ptr<AudioTrack>& track);
    // Takes the queued track back; where its first samples are in the
    // device's buffer already, they are thrown away and the playing track
    // goes on from where it is heard, if the stream is to run.
    void Unqueue();
    bool HasQueued() const;
    // The queued track's first samples have been written: the playing one
    // has run out, and what is heard next is the queued one.
    bool Joined() const;
    // The queued track becomes the playing one. True when it sounds already
    // (the one before has ended); otherwise the one before is cut off and
    // the new one waits at its start for Play.
    bool Advance();

    // Of the playing track: seconds heard, its length, and whether all of it
    // has been heard.
    double Position();
    double Duration() const;
    bool Ended();
    String PlayingPath() const;

    // Test seams. The hook runs on the stream's thread before each read or
    // seek of a file, outside the lock, and is let go of when the thread
    // ends. The turns count the thread's wake-ups.
    void SetReadHook(std::function<void()> hook);
    uint64_t WriterTurns() const;

  private:
    class Core;
    std::shared_ptr<Core> core;
};

}  // namespace zav2
