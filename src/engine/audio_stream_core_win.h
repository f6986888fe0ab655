// The audio stream's state, shared by the window's calls (audio_stream_win)
// and the thread that reads the files and fills the device
// (audio_stream_writer_win). Windows only.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "engine/audio_device_win.h"
#include "engine/audio_stream_win.h"
#include "engine/audio_track_win.h"
#include "engine/player_rules.h"
#include "platform/handles_win.h"

namespace zav2 {

class AudioStream::Core : public std::enable_shared_from_this<AudioStream::Core> {
  public:
    Core();
    ~Core();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    HRESULT Load(std::unique_ptr<AudioTrack> track);
    void Close();
    bool Loaded() const;
    HRESULT Play();
    void Pause();
    void Stop();
    HRESULT Seek(double seconds);
    void SetVolume(double level);
    void SetGain(float factor);
    bool Queue(std::unique_ptr<AudioTrack>& track);
    void Unqueue();
    bool HasQueued() const;
    bool Joined() const;
    bool Advance();
    double Position();
    double Duration() const;
    bool Ended();
    String PlayingPath() const;
    void SetReadHook(std::function<void()> hook);
    uint64_t Turns() const { return turns.load(); }

    // Asks the thread to end and waits for it a while; false when it did
    // not end, and then it keeps this object (and what it uses) until it does.
    bool EndThread();

  private:
    struct Slot {
        std::shared_ptr<TrackFeed> decoder;  // read by the thread outside the lock
        String path;
        double duration = 0.0;
        double fileDuration = 0.0;
        uint64_t serial = 0;
        StreamSpan span;
        bool exhausted = false;  // all its samples are written (span.endFrame is set)
        bool tailTaken = false;  // its filter's last frames are read (or handed on)
        // A seek asked and not yet made by the thread; `turn` counts them,
        // so that a read or seek that began before the latest is dropped.
        std::optional<double> seekTo;
        uint64_t turn = 0;
        // Its written samples were thrown away: where the file cannot go back
        // to where it was heard, it ends there.
        bool discarded = false;
        // Decoded and not yet written.
        SampleBlock carry;
        uint64_t carryOffset = 0;  // frames
        bool HasCarry() const { return carryOffset < carry.frames(); }
    };
    enum class WorkKind { Wait, Read, Seek, Open };
    struct Work {
        WorkKind kind = WorkKind::Wait;
        DWORD waitMs = INFINITE;
        std::shared_ptr<TrackFeed> decoder;
        uint64_t serial = 0;
        uint64_t turn = 0;
        double seconds = 0.0;
        double end = 0.0;  // the track's known length
        String path;
        bool discarded = false;
        bool joining = false;  // the first read of the queued track
        UINT32 rate = 0;       // the device's, for the samples read
        std::function<void()> hook;
        Device retired;  // let go of outside the lock
    };
    class Hold;

    static DWORD WINAPI ThreadMain(void* core);
    void Run();
    Work NextWork();
    void ReadTrack(Work& work);
    void SeekTrack(Work& work);
    void OpenWanted(Work& work);

    // Under `section`.
    HRESULT Fill(Work& work);
    void StartOrRest();
    void LoseDevice();
    void ResetDevice();
    void Silence();
    void RetireDevice();
    uint64_t PlayedFrames();
    double PositionOf(const Slot& slot, uint64_t played) const;
    bool Heard(const Slot& slot, uint64_t played) const;
    Slot* Find(uint64_t serial);
    std::unique_ptr<Slot> MakeSlot(std::unique_ptr<AudioTrack> track);
    void Rewind(Slot& slot, double seconds);
    void EndRead(Slot& slot);

    mutable CRITICAL_SECTION section;
    Device device;   // opened and let go of on the thread only
    Device retired;  // taken out of use by the window's thread, for the thread to let go of
    bool streamVolume = false;  // the level is on the device; otherwise on the samples
    uint64_t writtenFrames = 0;
    uint64_t lastPlayed = 0;   // as last read from the device
    bool running = false;      // the device is started
    uint64_t dryToldFor = 0;   // the playing slot whose running dry was traced
    bool wantRunning = false;  // Play was called and no Pause or Stop since
    float level = 1.0f;
    std::unique_ptr<Slot> playing;
    std::unique_ptr<Slot> following;
    uint64_t serials = 0;
    // The thread is to open the device: for the first track, or after the
    // one in use went away.
    bool wantDevice = false;
    ULONGLONG openAt = 0;
    uint64_t deviceTurn = 0;
    std::function<void()> readHook;
    UniqueHandle wake;
    UniqueHandle thread;
    std::atomic<bool> quit{false};
    std::atomic<bool> abandoned{false};
    std::atomic<uint64_t> turns{0};
};

class AudioStream::Core::Hold {
  public:
    explicit Hold(const Core& core) : section(&core.section) { EnterCriticalSection(section); }
    ~Hold() { LeaveCriticalSection(section); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

  private:
    CRITICAL_SECTION* section;
};

}  // namespace zav2
