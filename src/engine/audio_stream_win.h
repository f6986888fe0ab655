// The program's own sound output for audio-only entries: each file is
// decoded here (Media Foundation's source reader, 32-bit float) and its
// samples are written into one shared-mode WASAPI stream that stays open
// from entry to entry. The entry that follows is written straight after the
// last sample of the one before, so the two join without a gap, and no
// stream starts or stops between them. Windows only.
//
// Threads: every operation is called on the user-interface thread; one
// thread of its own keeps the device's buffer filled. `section` guards all
// the state below; the writer holds it while it reads and writes samples.
#pragma once

#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <audioclient.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/player_rules.h"
#include "platform/handles_win.h"
#include "platform/text.h"

namespace zav2 {

// One file opened for the stream.
struct AudioTrack {
    Microsoft::WRL::ComPtr<IMFSourceReader> reader;
    UINT32 sampleRate = 0;
    UINT32 channels = 0;
    double duration = 0.0;  // seconds; 0 when the file does not tell
    // Frames (as decoded from the file's start) before the music and of the
    // music itself, where the file tells (an MP3's encoder delay and padding).
    uint32_t skipFrames = 0;
    uint64_t keepFrames = UINT64_MAX;
    String path;
};

// Opens `path` (a full path) for the stream. Fails for a file with a video
// stream, without audio, or with more than two channels: those are played
// by the media engine.
HRESULT openAudioTrack(const String& path, std::unique_ptr<AudioTrack>& track);

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
    HRESULT Seek(double seconds);
    void SetVolume(double level);

    // The next track, written without a break after the playing one's last
    // sample. False, and the track stays the caller's, when its format
    // differs from the playing one's (the device would have to start anew).
    bool Queue(std::unique_ptr<AudioTrack>& track);
    // Takes the queued track back; where its first samples are in the
    // device's buffer already, they are thrown away and the playing track
    // goes on from where it is heard.
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

  private:
    struct Slot {
        std::unique_ptr<AudioTrack> track;
        StreamSpan span;
        bool exhausted = false;  // its file has run out (span.endFrame is set)
        uint64_t decoded = 0;    // frames read from its file, counted from its start
        std::vector<float> pending;
        size_t offset = 0;  // in floats, into `pending`
    };
    class Hold;

    HRESULT OpenDevice(UINT32 sampleRate, UINT32 channels);  // under `section`
    void CloseDevice();                                      // under `section`
    // Stops the device and empties its buffer (stream frames restart at 0).
    void ResetDevice();                              // under `section`
    HRESULT Reposition(Slot& slot, double seconds);  // under `section`
    uint64_t PlayedFrames();                         // under `section`
    double PositionOf(const Slot& slot, uint64_t played) const;
    bool Heard(const Slot& slot, uint64_t played) const;  // all of it
    bool ReadMore(Slot& slot);  // false at the end of the file or on a failure
    HRESULT Fill();             // under `section`
    // The device went away (another default output, a driver reset): what
    // was heard is kept, and the default device is opened anew, now and
    // then until one opens.
    void LoseDevice();  // under `section`
    void Reopen();      // under `section`
    void StartThread();
    static DWORD WINAPI ThreadMain(void* stream);
    void Run();

    mutable CRITICAL_SECTION section;
    Microsoft::WRL::ComPtr<IAudioClient> client;
    Microsoft::WRL::ComPtr<IAudioRenderClient> render;
    Microsoft::WRL::ComPtr<ISimpleAudioVolume> volume;
    UINT32 deviceRate = 0;
    UINT32 deviceChannels = 0;
    UINT32 bufferFrames = 0;
    uint64_t writtenFrames = 0;
    uint64_t lastPlayed = 0;  // as last read from the device
    UINT32 lostRate = 0;      // the format of a device that went away
    UINT32 lostChannels = 0;
    unsigned reopenTurns = 0;
    bool running = false;       // the device is started
    bool wantRunning = false;   // Play was called and no Pause since
    bool endedAtReset = false;  // the playing track had been heard whole when the device was reset
    double level = 1.0;
    std::unique_ptr<Slot> playing;
    std::unique_ptr<Slot> following;
    UniqueHandle thread;
    UniqueHandle wake;
    std::atomic<bool> quit{false};
};

}  // namespace zav2
