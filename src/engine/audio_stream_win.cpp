// AudioStream: opening files for the stream, decoding them, the device, and
// the thread that keeps the device's buffer filled.
#include "engine/audio_stream_win.h"

#include <audioclient.h>
#include <mferror.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>

#include "engine/player_rules.h"
#include "engine/stream_samples.h"
#include "platform/handles_win.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
constexpr DWORD kVideo = static_cast<DWORD>(MF_SOURCE_READER_FIRST_VIDEO_STREAM);
constexpr DWORD kAllStreams = static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS);
constexpr double kHundredNanoseconds = 1e7;
// The device's buffer (0.5 s) and how much of it is kept filled: enough to
// ride out a slow read, little enough that a pause or cut is at once.
constexpr REFERENCE_TIME kBufferDuration = 5000000;
constexpr UINT32 kFilledDivisor = 5;  // a fifth of a second
// How often the thread looks at a running device; it sleeps until it is
// woken while nothing runs.
constexpr DWORD kWriterTickMs = 10;
// How often a device that went away is looked for again.
constexpr ULONGLONG kReopenMs = 500;
constexpr DWORD kThreadEndMs = 2000;

// What this process's MP3 decoder gives of a whole file, once a file has
// been decoded whole: until then, every frame with the usual delay first
// (as Wine's does).
std::atomic<bool> mp3DecoderGivesMusicOnly{false};

// The encoder's delay and padding of an MP3 file, read from its first frame.
std::optional<Mp3Trim> mp3TrimOfFile(const String& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return std::nullopt;
    // The Xing frame is the first after the tag, and short.
    constexpr DWORD kFrameBytes = 4096;
    char bytes[kFrameBytes];
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes, 10, &got, nullptr))
        return std::nullopt;
    LARGE_INTEGER at{};
    at.QuadPart = id3v2TagBytes(std::string_view(bytes, got));
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.get(), bytes, kFrameBytes, &got, nullptr)) {
        return std::nullopt;
    }
    return mp3Trim(std::string_view(bytes, got));
}

struct OutputType {
    UINT32 rate = 0;
    UINT32 channels = 0;
    UINT32 integerBits = 0;
};

// The reader's current output as the stream takes it: float, or integer
// PCM of a width it converts; at most two channels.
HRESULT currentOutput(IMFSourceReader* reader, OutputType& output) {
    ComPtr<IMFMediaType> current;
    HRESULT hr = reader->GetCurrentMediaType(kAudio, &current);
    if (FAILED(hr))
        return hr;
    GUID subtype{};
    current->GetGUID(MF_MT_SUBTYPE, &subtype);
    const UINT32 bits = MFGetAttributeUINT32(current.Get(), MF_MT_AUDIO_BITS_PER_SAMPLE, 0);
    output.rate = MFGetAttributeUINT32(current.Get(), MF_MT_AUDIO_SAMPLES_PER_SECOND, 0);
    output.channels = MFGetAttributeUINT32(current.Get(), MF_MT_AUDIO_NUM_CHANNELS, 0);
    if (IsEqualGUID(subtype, MFAudioFormat_Float) && bits == 32)
        output.integerBits = 0;
    else if (IsEqualGUID(subtype, MFAudioFormat_PCM) &&
             (bits == 8 || bits == 16 || bits == 24 || bits == 32))
        output.integerBits = bits;
    else
        return MF_E_INVALIDMEDIATYPE;
    if (output.rate == 0 || output.channels == 0 || output.channels > 2)
        return MF_E_INVALIDMEDIATYPE;
    return S_OK;
}

HRESULT askForOutput(IMFSourceReader* reader, const GUID& subtype) {
    ComPtr<IMFMediaType> wanted;
    HRESULT hr = MFCreateMediaType(&wanted);
    if (SUCCEEDED(hr))
        hr = wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    if (SUCCEEDED(hr))
        hr = wanted->SetGUID(MF_MT_SUBTYPE, subtype);
    if (SUCCEEDED(hr))
        hr = reader->SetCurrentMediaType(kAudio, nullptr, wanted.Get());
    return hr;
}

// Float where the decoder gives it; otherwise the decoder's own integer PCM
// (some decoders give 24-bit PCM and nothing else), converted as it is read.
HRESULT chooseOutput(IMFSourceReader* reader, OutputType& output) {
    HRESULT hr = askForOutput(reader, MFAudioFormat_Float);
    if (SUCCEEDED(hr))
        hr = currentOutput(reader, output);
    if (FAILED(hr)) {
        hr = askForOutput(reader, MFAudioFormat_PCM);
        if (SUCCEEDED(hr))
            hr = currentOutput(reader, output);
    }
    return hr;
}

// A device as the stream's thread opens it.
struct Device {
    ComPtr<IAudioClient> client;
    ComPtr<IAudioRenderClient> render;
    UINT32 rate = 0;
    UINT32 channels = 0;
    UINT32 bufferFrames = 0;
};

HRESULT openDevice(UINT32 rate, UINT32 channels, Device& made) {
    ComPtr<IMMDeviceEnumerator> devices;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&devices));
    ComPtr<IMMDevice> endpoint;
    if (SUCCEEDED(hr))
        hr = devices->GetDefaultAudioEndpoint(eRender, eConsole, &endpoint);
    ComPtr<IAudioClient> client;
    if (SUCCEEDED(hr))
        hr = endpoint->Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr,
                                reinterpret_cast<void**>(client.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    constexpr WORD kFloatBytes = 4;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = kFloatBytes * 8;
    format.nBlockAlign = static_cast<WORD>(channels * kFloatBytes);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    // The audio engine converts the file's rate to its own.
    hr = client->Initialize(
        AUDCLNT_SHAREMODE_SHARED,
        AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
        kBufferDuration, 0, &format, nullptr);
    UINT32 bufferFrames = 0;
    if (SUCCEEDED(hr))
        hr = client->GetBufferSize(&bufferFrames);
    ComPtr<IAudioRenderClient> render;
    if (SUCCEEDED(hr))
        hr = client->GetService(IID_PPV_ARGS(&render));
    if (FAILED(hr))
        return hr;
    made = Device{std::move(client), std::move(render), rate, channels, bufferFrames};
    return S_OK;
}

// The program's volume goes on the stream itself, never on the session's
// volume (ISimpleAudioVolume): since Vista, waveOutSetVolume, which the
// program sets to the same level for the media engine's sound, is the
// session's volume, so the session already carries it once, as it does
// for the engine. The stream volume object is let go of at once, on the
// thread that asked for it, as the platform requires.
bool applyStreamVolume(IAudioClient* client, UINT32 channels, float level) {
    ComPtr<IAudioStreamVolume> volume;
    if (FAILED(client->GetService(IID_PPV_ARGS(&volume))))
        return false;
    const float levels[2] = {level, level};
    return SUCCEEDED(volume->SetAllVolumes(std::min<UINT32>(channels, 2), levels));
}

}  // namespace

HRESULT audioTrackFromReader(ComPtr<IMFSourceReader> reader, const String& path,
                             std::unique_ptr<AudioTrack>& track) {
    ComPtr<IMFMediaType> video;
    if (SUCCEEDED(reader->GetNativeMediaType(kVideo, 0, &video)))
        return MF_E_INVALIDMEDIATYPE;  // the engine shows its pictures
    HRESULT hr = reader->SetStreamSelection(kAllStreams, FALSE);
    if (SUCCEEDED(hr))
        hr = reader->SetStreamSelection(kAudio, TRUE);
    OutputType output;
    if (SUCCEEDED(hr))
        hr = chooseOutput(reader.Get(), output);
    if (FAILED(hr))
        return hr;
    auto made = std::make_unique<AudioTrack>();
    made->sampleRate = output.rate;
    made->channels = output.channels;
    made->integerBits = output.integerBits;
    PROPVARIANT length;
    PropVariantInit(&length);
    if (SUCCEEDED(reader->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE),
                                                   MF_PD_DURATION, &length)) &&
        length.vt == VT_UI8) {
        made->duration = static_cast<double>(length.uhVal.QuadPart) / kHundredNanoseconds;
        made->fileDuration = made->duration;
    }
    PropVariantClear(&length);
    made->mp3 = mp3TrimOfFile(path);
    if (made->mp3)
        made->duration = static_cast<double>(made->mp3->keep) / made->sampleRate;
    made->reader = std::move(reader);
    made->path = path;
    track = std::move(made);
    return S_OK;
}

HRESULT openAudioTrack(const String& path, std::unique_ptr<AudioTrack>& track) {
    ComPtr<IMFSourceReader> reader;
    const HRESULT hr = MFCreateSourceReaderFromURL(path.c_str(), nullptr, &reader);
    if (FAILED(hr))
        return hr;
    return audioTrackFromReader(std::move(reader), path, track);
}

// --- TrackDecoder ------------------------------------------------------------

TrackDecoder::TrackDecoder(std::unique_ptr<AudioTrack> opened)
    : track(std::move(opened)),
      rate(track->sampleRate),
      channels(track->channels),
      integerBits(track->integerBits) {
    if (track->mp3 && !mp3DecoderGivesMusicOnly.load()) {
        musicStart = timeOfFrame(track->mp3->skip, rate);
        musicEnd = timeOfFrame(static_cast<int64_t>(track->mp3->skip + track->mp3->keep), rate);
    }
    dropBefore = musicStart;
}

// Where a block of `frames` frames lies: by its own time after the start, a
// seek or a change of format, and counted on from there (times are rounded)
// unless its time strays further than a gap in the stream could explain.
void TrackDecoder::Place(int64_t time, uint64_t frames) {
    const int64_t stamped = frameAtTime(time, rate);
    const int64_t stray = rate / 100;
    if (!nextFrame || std::llabs(stamped - *nextFrame) > stray)
        blockFirst = stamped;
    else
        blockFirst = *nextFrame;
    nextFrame = blockFirst + static_cast<int64_t>(frames);
}

// A whole file read from its start tells what this process's MP3 decoder
// gives; the files decoded after it are trimmed by that.
void TrackDecoder::LearnDecoder(int64_t endFrame) const {
    if (!track->mp3 || !wholeFromStart || endFrame <= 0)
        return;
    if (const std::optional<Mp3DecoderOutput> output =
            mp3DecoderOutput(static_cast<uint64_t>(endFrame), *track->mp3)) {
        mp3DecoderGivesMusicOnly.store(*output == Mp3DecoderOutput::MusicOnly);
    }
}

HRESULT TrackDecoder::FollowNewFormat() {
    OutputType output;
    HRESULT hr = currentOutput(track->reader.Get(), output);
    if (FAILED(hr))
        hr = chooseOutput(track->reader.Get(), output);
    if (FAILED(hr))
        return hr;
    rate = output.rate;
    channels = output.channels;
    integerBits = output.integerBits;
    // The header spoke of the file as it began; the rest plays to its end.
    musicEnd = INT64_MAX;
    nextFrame.reset();
    wholeFromStart = false;
    return S_OK;
}

HRESULT TrackDecoder::Read(SampleBlock& block) {
    block.samples.clear();
    while (!ended) {
        DWORD flags = 0;
        LONGLONG time = 0;
        ComPtr<IMFSample> sample;
        HRESULT hr = track->reader->ReadSample(kAudio, 0, nullptr, &flags, &time, &sample);
        if (SUCCEEDED(hr) && (flags & MF_SOURCE_READERF_ERROR) != 0)
            hr = E_FAIL;
        // A new format comes with the first sample in it.
        if (SUCCEEDED(hr) && (flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED) != 0)
            hr = FollowNewFormat();
        if (FAILED(hr)) {
            ended = true;
            return hr;
        }
        const bool last = (flags & MF_SOURCE_READERF_ENDOFSTREAM) != 0;
        if (last)
            ended = true;
        ComPtr<IMFMediaBuffer> buffer;
        BYTE* data = nullptr;
        DWORD bytes = 0;
        if (sample && (FAILED(sample->ConvertToContiguousBuffer(&buffer)) ||
                       FAILED(buffer->Lock(&data, nullptr, &bytes)))) {
            ended = true;
            return E_FAIL;
        }
        if (!sample) {
            if (last)
                LearnDecoder(nextFrame.value_or(0));
            continue;  // a gap in the stream, or the end
        }
        bool converted = true;
        if (integerBits == 0) {
            const float* samples = reinterpret_cast<const float*>(data);
            block.samples.assign(samples, samples + bytes / sizeof(float));
        } else {
            converted = pcmToFloat(std::string_view(reinterpret_cast<const char*>(data), bytes),
                                   integerBits, block.samples);
        }
        buffer->Unlock();
        if (!converted) {
            ended = true;
            return E_FAIL;
        }
        const uint64_t frames = block.samples.size() / channels;
        block.samples.resize(frames * channels);
        Place(time, frames);
        if (last)
            LearnDecoder(*nextFrame);
        const int64_t to = musicEnd == INT64_MAX ? INT64_MAX : frameAtTime(musicEnd, rate);
        const FrameRange wanted =
            framesWithin(blockFirst, frames, frameAtTime(dropBefore, rate), to);
        if (wanted.begin < wanted.end) {
            block.samples.resize(wanted.end * channels);
            block.samples.erase(
                block.samples.begin(),
                block.samples.begin() + static_cast<ptrdiff_t>(wanted.begin * channels));
            block.sampleRate = rate;
            block.channels = channels;
            block.seconds = static_cast<double>(
                                timeOfFrame(blockFirst + static_cast<int64_t>(wanted.begin), rate) -
                                musicStart) /
                            kHundredNanoseconds;
            return S_OK;
        }
        block.samples.clear();
        if (blockFirst >= to) {
            ended = true;  // the rest is the encoder's padding
            return S_FALSE;
        }
    }
    return S_FALSE;
}

HRESULT TrackDecoder::Seek(double seconds) {
    const int64_t target = musicStart + std::llround(std::max(seconds, 0.0) * kHundredNanoseconds);
    PROPVARIANT at;
    PropVariantInit(&at);
    at.vt = VT_I8;
    at.hVal.QuadPart = target;
    const HRESULT hr = track->reader->SetCurrentPosition(GUID_NULL, at);
    if (FAILED(hr))
        return hr;
    dropBefore = target;
    nextFrame.reset();
    wholeFromStart = false;
    ended = false;
    return S_OK;
}

// --- The stream's state and its thread ----------------------------------------

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
        std::shared_ptr<TrackDecoder> decoder;  // read by the thread outside the lock
        String path;
        double duration = 0.0;
        double fileDuration = 0.0;
        uint64_t serial = 0;
        StreamSpan span;
        bool exhausted = false;  // all its samples are written (span.endFrame is set)
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
        std::shared_ptr<TrackDecoder> decoder;
        uint64_t serial = 0;
        uint64_t turn = 0;
        double seconds = 0.0;
        double end = 0.0;  // the track's known length
        String path;
        bool discarded = false;
        bool joining = false;  // the first read of the queued track
        UINT32 rate = 0;
        UINT32 channels = 0;
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
    void ReopenFor(Slot& slot);
    void ResetDevice();
    void Silence();
    void RetireDevice();
    uint64_t PlayedFrames();
    double PositionOf(const Slot& slot, uint64_t played) const;
    bool Heard(const Slot& slot, uint64_t played) const;
    Slot* Find(uint64_t serial);
    std::unique_ptr<Slot> MakeSlot(std::unique_ptr<AudioTrack> track);
    void Rewind(Slot& slot, double seconds);
    bool FormatFits(UINT32 rate, UINT32 channels) const;

    mutable CRITICAL_SECTION section;
    Device device;   // opened and let go of on the thread only
    Device retired;  // taken out of use by the window's thread, for the thread to let go of
    bool streamVolume = false;  // the level is on the device; otherwise on the samples
    uint64_t writtenFrames = 0;
    uint64_t lastPlayed = 0;   // as last read from the device
    bool running = false;      // the device is started
    bool wantRunning = false;  // Play was called and no Pause or Stop since
    float level = 1.0f;
    std::unique_ptr<Slot> playing;
    std::unique_ptr<Slot> following;
    uint64_t serials = 0;
    // The device the thread is to open (rate 0: none): for a new track of
    // another format, after one went away, or for samples of another format.
    UINT32 wantRate = 0;
    UINT32 wantChannels = 0;
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

AudioStream::Core::Core() : wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&section);
}

AudioStream::Core::~Core() {
    if (abandoned.load()) {
        // The thread outlived the stream and ends only now, perhaps after
        // the platform went: what came from the platform stays.
        if (playing)
            (void)playing.release();
        if (following)
            (void)following.release();
        device.client.Detach();
        device.render.Detach();
        retired.client.Detach();
        retired.render.Detach();
    }
    DeleteCriticalSection(&section);
}

bool AudioStream::Core::EndThread() {
    quit.store(true);
    if (!thread)
        return true;
    SetEvent(wake.get());
    if (WaitForSingleObject(thread.get(), kThreadEndMs) == WAIT_OBJECT_0)
        return true;
    abandoned.store(true);
    return false;
}

DWORD WINAPI AudioStream::Core::ThreadMain(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Core>> core(
        static_cast<std::shared_ptr<Core>*>(parameter));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    (*core)->Run();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void AudioStream::Core::Run() {
    while (!quit.load()) {
        Work work = NextWork();
        work.retired = Device{};
        switch (work.kind) {
            case WorkKind::Wait:
                WaitForSingleObject(wake.get(), work.waitMs);
                turns.fetch_add(1);
                break;
            case WorkKind::Read:
                ReadTrack(work);
                break;
            case WorkKind::Seek:
                SeekTrack(work);
                break;
            case WorkKind::Open:
                OpenWanted(work);
                break;
        }
    }
    // The devices are let go of on the thread that made them.
    Device last;
    Device old;
    {
        Hold hold(*this);
        last = std::move(device);
        old = std::move(retired);
        running = false;
    }
    if (abandoned.load()) {
        last.client.Detach();
        last.render.Detach();
        old.client.Detach();
        old.render.Detach();
    }
}

AudioStream::Core::Work AudioStream::Core::NextWork() {
    Hold hold(*this);
    Work work;
    work.retired = std::move(retired);
    if (!playing)
        return work;
    if (!device.client) {
        if (wantRate == 0)
            return work;
        const ULONGLONG now = GetTickCount64();
        if (now < openAt) {
            work.waitMs = static_cast<DWORD>(openAt - now);
            return work;
        }
        work.kind = WorkKind::Open;
        work.rate = wantRate;
        work.channels = wantChannels;
        work.turn = deviceTurn;
        return work;
    }
    // A seek asked makes what would be read next stale: it comes first.
    for (Slot* slot : {playing.get(), following.get()}) {
        if (slot != nullptr && slot->seekTo) {
            work.kind = WorkKind::Seek;
            work.decoder = slot->decoder;
            work.serial = slot->serial;
            work.turn = slot->turn;
            work.seconds = *slot->seekTo;
            work.end = slot->duration;
            work.path = slot->path;
            work.discarded = slot->discarded;
            work.hook = readHook;
            return work;
        }
    }
    if (Fill(work) == AUDCLNT_E_DEVICE_INVALIDATED)
        LoseDevice();
    if (!device.client) {
        // Gone, or closed for samples of another format: opened anew next.
        work.kind = WorkKind::Wait;
        work.waitMs = 0;
        return work;
    }
    StartOrRest();
    if (work.kind == WorkKind::Read)
        work.hook = readHook;
    else
        work.waitMs = running ? kWriterTickMs : INFINITE;
    return work;
}

HRESULT AudioStream::Core::Fill(Work& work) {
    UINT32 padding = 0;
    HRESULT hr = device.client->GetCurrentPadding(&padding);
    if (FAILED(hr))
        return hr;
    lastPlayed = writtenFrames > padding ? writtenFrames - padding : 0;
    const UINT32 target = std::min(device.bufferFrames, device.rate / kFilledDivisor);
    while (padding < target) {
        Slot* slot = !playing->exhausted                  ? playing.get()
                     : following && !following->exhausted ? following.get()
                                                          : nullptr;
        if (slot == nullptr)
            return S_OK;
        if (!slot->HasCarry()) {
            work.kind = WorkKind::Read;
            work.decoder = slot->decoder;
            work.serial = slot->serial;
            work.turn = slot->turn;
            work.path = slot->path;
            work.joining = slot == following.get() && !slot->span.begun;
            return S_OK;
        }
        const SampleBlock& carry = slot->carry;
        if (carry.sampleRate != device.rate || carry.channels != device.channels) {
            // The samples that follow are of another format: once all that
            // was written has been heard, the device is opened anew for them.
            if (lastPlayed >= writtenFrames)
                ReopenFor(*slot);
            return S_OK;
        }
        const UINT32 frames = static_cast<UINT32>(
            std::min<uint64_t>(target - padding, carry.frames() - slot->carryOffset));
        BYTE* data = nullptr;
        hr = device.render->GetBuffer(frames, &data);
        if (FAILED(hr))
            return hr;
        const float* from = carry.samples.data() + slot->carryOffset * device.channels;
        const size_t count = size_t{frames} * device.channels;
        if (streamVolume) {
            std::memcpy(data, from, count * sizeof(float));
        } else {
            float* to = reinterpret_cast<float*>(data);
            for (size_t i = 0; i < count; ++i)
                to[i] = from[i] * level;
        }
        device.render->ReleaseBuffer(frames, 0);
        if (!slot->span.begun) {
            slot->span.begun = true;
            slot->span.startFrame = writtenFrames;
            slot->span.startSeconds =
                carry.seconds + static_cast<double>(slot->carryOffset) / carry.sampleRate;
        }
        slot->carryOffset += frames;
        writtenFrames += frames;
        padding += frames;
    }
    return S_OK;
}

void AudioStream::Core::StartOrRest() {
    const uint64_t played = lastPlayed;
    const bool moreToWrite =
        !playing->exhausted || (following && !following->exhausted) || playing->seekTo;
    if (wantRunning && !running && played < writtenFrames) {
        running = SUCCEEDED(device.client->Start());
    } else if (running && played >= writtenFrames && !moreToWrite) {
        // Everything written has been heard and nothing is left to write:
        // the device rests until there is.
        device.client->Stop();
        running = false;
    }
}

void AudioStream::Core::ReadTrack(Work& work) {
    if (work.hook)
        work.hook();
    // The next entry's file deleted while the one before played is not
    // joined on: the reader may still have it open, but the advance will
    // find it gone and say so, and nothing of it may sound meanwhile.
    if (work.joining && GetFileAttributesW(work.path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            Hold hold(*this);
            if (Slot* slot = Find(work.serial); slot != nullptr && slot->turn == work.turn)
                slot->exhausted = true;
            return;
        }
    }
    SampleBlock block;
    const HRESULT hr = work.decoder->Read(block);
    work.decoder.reset();
    Hold hold(*this);
    Slot* slot = Find(work.serial);
    // Asked to go elsewhere meanwhile: what was read belongs to the old place.
    if (slot == nullptr || slot->turn != work.turn || slot->seekTo)
        return;
    if (hr == S_OK) {
        slot->carry = std::move(block);
        slot->carryOffset = 0;
        return;
    }
    // The end of its music, or of what its file would give.
    if (!slot->span.begun) {
        slot->span.begun = true;
        slot->span.startFrame = writtenFrames;
    }
    slot->exhausted = true;
    slot->span.endFrame = writtenFrames;
}

void AudioStream::Core::SeekTrack(Work& work) {
    if (work.hook)
        work.hook();
    // A seek to the known end needs nothing of the file: the track has
    // been heard whole there.
    const bool toTheEnd = work.end > 0 && work.seconds >= work.end;
    HRESULT hr = toTheEnd ? S_OK : work.decoder->Seek(work.seconds);
    std::shared_ptr<TrackDecoder> fresh;
    if (FAILED(hr) && work.discarded) {
        // Its samples are gone: the file is opened anew to get back there.
        std::unique_ptr<AudioTrack> track;
        hr = openAudioTrack(work.path, track);
        if (SUCCEEDED(hr)) {
            fresh = std::make_shared<TrackDecoder>(std::move(track));
            hr = work.seconds > 0 ? fresh->Seek(work.seconds) : S_OK;
        }
    }
    work.decoder.reset();
    Hold hold(*this);
    Slot* slot = Find(work.serial);
    if (slot == nullptr || slot->turn != work.turn)
        return;  // a later seek is asked: it goes next
    slot->seekTo.reset();
    if (FAILED(hr)) {
        // Refused: a track whose samples are all still there plays on where
        // it was; one whose samples were thrown away ends where it was heard.
        if (slot->discarded) {
            slot->discarded = false;
            slot->span = StreamSpan{writtenFrames, writtenFrames, work.seconds, true};
            slot->exhausted = true;
        }
        return;
    }
    if (fresh)
        slot->decoder = std::move(fresh);
    slot->discarded = false;
    if (slot == playing.get()) {
        ResetDevice();  // what is buffered is of the old place
        if (following && following->span.begun)
            Rewind(*following, 0.0);  // its first samples went with the buffer
    }
    slot->span = toTheEnd ? StreamSpan{writtenFrames, writtenFrames, work.end, true}
                          : StreamSpan{0, UINT64_MAX, work.seconds, false};
    slot->exhausted = toTheEnd;
    slot->carry = SampleBlock{};
    slot->carryOffset = 0;
}

void AudioStream::Core::OpenWanted(Work& work) {
    Device made;
    const HRESULT hr = openDevice(work.rate, work.channels, made);
    Hold hold(*this);
    // Superseded meanwhile (another track loaded, the stream closed): `made`
    // is let go of here, on the thread that made it.
    if (deviceTurn != work.turn || device.client || wantRate == 0)
        return;
    if (FAILED(hr)) {
        openAt = GetTickCount64() + kReopenMs;
        return;
    }
    device = std::move(made);
    wantRate = 0;
    wantChannels = 0;
    writtenFrames = 0;
    lastPlayed = 0;
    running = false;
    streamVolume = applyStreamVolume(device.client.Get(), device.channels, level);
}

// The device went away (another default output, a driver reset): what was
// heard is kept, and the default device is opened anew, now and then until
// one opens.
void AudioStream::Core::LoseDevice() {
    const uint64_t played = lastPlayed;
    const bool whole = Heard(*playing, played);
    const double heard = PositionOf(*playing, played);
    const bool followingBegun = following && following->span.begun;
    const double followingHeard = followingBegun && whole ? PositionOf(*following, played) : 0.0;
    wantRate = device.rate;
    wantChannels = device.channels;
    openAt = 0;
    ++deviceTurn;
    running = false;
    device = Device{};  // on the thread, which made it
    writtenFrames = 0;
    lastPlayed = 0;
    if (whole)
        playing->span = StreamSpan{0, 0, heard, true};
    else
        Rewind(*playing, heard);
    if (followingBegun)
        Rewind(*following, followingHeard);
}

void AudioStream::Core::ReopenFor(Slot& slot) {
    const uint64_t played = lastPlayed;
    if (&slot != playing.get())
        playing->span = StreamSpan{0, 0, PositionOf(*playing, played), true};
    else
        slot.duration =
            std::max(slot.duration, slot.fileDuration);  // a header told of the first part
    slot.span = StreamSpan{
        0, UINT64_MAX,
        slot.carry.seconds + static_cast<double>(slot.carryOffset) / slot.carry.sampleRate, false};
    wantRate = slot.carry.sampleRate;
    wantChannels = slot.carry.channels;
    openAt = 0;
    ++deviceTurn;
    if (running)
        device.client->Stop();
    running = false;
    device = Device{};
    writtenFrames = 0;
    lastPlayed = 0;
}

void AudioStream::Core::ResetDevice() {
    if (device.client) {
        if (running)
            device.client->Stop();
        device.client->Reset();
    }
    running = false;
    writtenFrames = 0;
    lastPlayed = 0;
}

void AudioStream::Core::Silence() {
    if (device.client && running)
        device.client->Stop();
    running = false;
}

// Out of use at once; the thread lets go of it.
void AudioStream::Core::RetireDevice() {
    Silence();
    if (device.client)
        retired = std::move(device);
    device = Device{};
    writtenFrames = 0;
    lastPlayed = 0;
}

uint64_t AudioStream::Core::PlayedFrames() {
    UINT32 padding = 0;
    if (!device.client || FAILED(device.client->GetCurrentPadding(&padding)))
        return lastPlayed;
    lastPlayed = writtenFrames > padding ? writtenFrames - padding : 0;
    return lastPlayed;
}

double AudioStream::Core::PositionOf(const Slot& slot, uint64_t played) const {
    if (slot.seekTo)
        return slot.duration > 0 ? std::min(*slot.seekTo, slot.duration) : *slot.seekTo;
    return streamPosition(slot.span, played, device.rate, slot.duration);
}

bool AudioStream::Core::Heard(const Slot& slot, uint64_t played) const {
    return !slot.seekTo && slot.exhausted && streamSpanHeard(slot.span, played);
}

AudioStream::Core::Slot* AudioStream::Core::Find(uint64_t serial) {
    if (playing && playing->serial == serial)
        return playing.get();
    if (following && following->serial == serial)
        return following.get();
    return nullptr;
}

std::unique_ptr<AudioStream::Core::Slot> AudioStream::Core::MakeSlot(
    std::unique_ptr<AudioTrack> track) {
    auto slot = std::make_unique<Slot>();
    slot->path = track->path;
    slot->duration = track->duration;
    slot->fileDuration = track->fileDuration;
    slot->serial = ++serials;
    slot->decoder = std::make_shared<TrackDecoder>(std::move(track));
    return slot;
}

// The slot's written samples are gone: it is read again from `seconds`.
void AudioStream::Core::Rewind(Slot& slot, double seconds) {
    slot.seekTo = seconds;
    ++slot.turn;
    slot.discarded = true;
    slot.span = StreamSpan{0, UINT64_MAX, seconds, false};
    slot.exhausted = false;
    slot.carry = SampleBlock{};
    slot.carryOffset = 0;
}

bool AudioStream::Core::FormatFits(UINT32 rate, UINT32 channels) const {
    if (device.client)
        return rate == device.rate && channels == device.channels;
    return rate == wantRate && channels == wantChannels;
}

HRESULT AudioStream::Core::Load(std::unique_ptr<AudioTrack> track) {
    if (!track)
        return E_POINTER;
    Hold hold(*this);
    following.reset();
    playing.reset();
    wantRunning = false;
    if (device.client && track->sampleRate == device.rate && track->channels == device.channels) {
        ResetDevice();
    } else {
        // The thread opens the device: the window does not wait on it.
        RetireDevice();
        wantRate = track->sampleRate;
        wantChannels = track->channels;
        openAt = 0;
        ++deviceTurn;
    }
    playing = MakeSlot(std::move(track));
    if (!thread) {
        auto owner = std::make_unique<std::shared_ptr<Core>>(shared_from_this());
        thread.reset(CreateThread(nullptr, 0, ThreadMain, owner.get(), 0, nullptr));
        if (!thread) {
            playing.reset();
            return E_OUTOFMEMORY;
        }
        (void)owner.release();  // the thread lets go of it
    }
    SetEvent(wake.get());
    return S_OK;
}

void AudioStream::Core::Close() {
    Hold hold(*this);
    RetireDevice();
    wantRate = 0;
    wantChannels = 0;
    ++deviceTurn;
    following.reset();
    playing.reset();
    wantRunning = false;
    SetEvent(wake.get());
}

bool AudioStream::Core::Loaded() const {
    Hold hold(*this);
    return playing != nullptr;
}

HRESULT AudioStream::Core::Play() {
    Hold hold(*this);
    if (!playing)
        return E_UNEXPECTED;
    wantRunning = true;
    // Started here when samples are there, rather than on the thread's next
    // turn: a start is heard as soon as it can be.
    if (device.client && !running && PlayedFrames() < writtenFrames)
        running = SUCCEEDED(device.client->Start());
    SetEvent(wake.get());
    return S_OK;
}

void AudioStream::Core::Pause() {
    Hold hold(*this);
    wantRunning = false;
    Silence();
}

void AudioStream::Core::Stop() {
    Hold hold(*this);
    wantRunning = false;
    // The queued track sounds already: it runs on for Advance to take over.
    if (!(following && following->span.begun))
        Silence();
}

HRESULT AudioStream::Core::Seek(double seconds) {
    Hold hold(*this);
    if (!playing)
        return E_UNEXPECTED;
    playing->seekTo = std::max(seconds, 0.0);
    ++playing->turn;
    SetEvent(wake.get());
    return S_OK;
}

void AudioStream::Core::SetVolume(double loudness) {
    Hold hold(*this);
    level = static_cast<float>(std::clamp(loudness, 0.0, 1.0));
    if (device.client)
        streamVolume = applyStreamVolume(device.client.Get(), device.channels, level);
}

bool AudioStream::Core::Queue(std::unique_ptr<AudioTrack>& track) {
    Hold hold(*this);
    if (!playing || !track || !FormatFits(track->sampleRate, track->channels))
        return false;
    following = MakeSlot(std::move(track));
    SetEvent(wake.get());
    return true;
}

void AudioStream::Core::Unqueue() {
    Hold hold(*this);
    if (!following)
        return;
    if (!following->span.begun) {
        following.reset();
        return;
    }
    // Its first samples are in the device's buffer: the buffer goes, and the
    // playing track is read again from where it is heard (and sounds only
    // if the stream is to run).
    const uint64_t played = PlayedFrames();
    const double heard = PositionOf(*playing, played);
    const bool whole = Heard(*playing, played);
    ResetDevice();
    following.reset();
    if (whole)
        playing->span = StreamSpan{0, 0, heard, true};
    else
        Rewind(*playing, heard);
    SetEvent(wake.get());
}

bool AudioStream::Core::HasQueued() const {
    Hold hold(*this);
    return following != nullptr;
}

bool AudioStream::Core::Joined() const {
    Hold hold(*this);
    return following && following->span.begun;
}

bool AudioStream::Core::Advance() {
    Hold hold(*this);
    if (!following)
        return false;
    if (following->span.begun) {
        playing = std::move(following);
        return true;
    }
    ResetDevice();
    wantRunning = false;
    playing = std::move(following);
    playing->span.startFrame = 0;
    SetEvent(wake.get());
    return false;
}

double AudioStream::Core::Position() {
    Hold hold(*this);
    return playing ? PositionOf(*playing, PlayedFrames()) : 0.0;
}

double AudioStream::Core::Duration() const {
    Hold hold(*this);
    return playing ? playing->duration : 0.0;
}

bool AudioStream::Core::Ended() {
    Hold hold(*this);
    return playing && Heard(*playing, PlayedFrames());
}

String AudioStream::Core::PlayingPath() const {
    Hold hold(*this);
    return playing ? playing->path : String{};
}

void AudioStream::Core::SetReadHook(std::function<void()> hook) {
    Hold hold(*this);
    readHook = std::move(hook);
}

// --- AudioStream -------------------------------------------------------------

AudioStream::AudioStream() : core(std::make_shared<Core>()) {}

AudioStream::~AudioStream() {
    // A thread stuck inside the platform keeps the core alive until it
    // comes back; everything else goes now.
    if (core->EndThread())
        core->Close();
}

HRESULT AudioStream::Load(std::unique_ptr<AudioTrack> track) {
    return core->Load(std::move(track));
}
void AudioStream::Close() {
    core->Close();
}
bool AudioStream::Loaded() const {
    return core->Loaded();
}
HRESULT AudioStream::Play() {
    return core->Play();
}
void AudioStream::Pause() {
    core->Pause();
}
void AudioStream::Stop() {
    core->Stop();
}
HRESULT AudioStream::Seek(double seconds) {
    return core->Seek(seconds);
}
void AudioStream::SetVolume(double level) {
    core->SetVolume(level);
}
bool AudioStream::Queue(std::unique_ptr<AudioTrack>& track) {
    return core->Queue(track);
}
void AudioStream::Unqueue() {
    core->Unqueue();
}
bool AudioStream::HasQueued() const {
    return core->HasQueued();
}
bool AudioStream::Joined() const {
    return core->Joined();
}
bool AudioStream::Advance() {
    return core->Advance();
}
double AudioStream::Position() {
    return core->Position();
}
double AudioStream::Duration() const {
    return core->Duration();
}
bool AudioStream::Ended() {
    return core->Ended();
}
String AudioStream::PlayingPath() const {
    return core->PlayingPath();
}
void AudioStream::SetReadHook(std::function<void()> hook) {
    core->SetReadHook(std::move(hook));
}
uint64_t AudioStream::WriterTurns() const {
    return core->Turns();
}

}  // namespace zav2
