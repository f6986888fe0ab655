// The program's own sound output for audio-only entries: each file is
// decoded here (Media Foundation's source reader, 32-bit float), converted to
// the device's own rate and to stereo, given its gain, and written into one
// shared-mode WASAPI stream that stays open from entry to entry, whatever
// the files' formats. The entry that follows is written straight after the
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

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/audio_track_win.h"
#include "platform/text.h"

namespace zav2 {

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
    // The playing track's gain, from what is read next (a second on, as
    // what is buffered is heard first).
    void SetGain(float factor);

    // The next track, written without a break after the playing one's last
    // sample, whatever its format. False, and the track stays the caller's,
    // when nothing plays.
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
