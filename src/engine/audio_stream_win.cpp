// AudioStream: opening files for the stream, the device, and the thread
// that keeps the device's buffer filled.
#include "engine/audio_stream_win.h"

#include <mferror.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/mp3_gapless.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
constexpr DWORD kVideo = static_cast<DWORD>(MF_SOURCE_READER_FIRST_VIDEO_STREAM);
constexpr DWORD kAllStreams = static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS);
constexpr double kHundredNanoseconds = 1e7;
// The device's buffer (0.5 s) and how much of it is kept filled: enough to
// ride out a slow read, little enough that a volume change, pause or cut is
// at once.
constexpr REFERENCE_TIME kBufferDuration = 5000000;
constexpr UINT32 kFilledDivisor = 5;  // a fifth of a second
constexpr DWORD kWriterTickMs = 10;
constexpr unsigned kReopenTurns = 50;  // half a second

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

}  // namespace

HRESULT openAudioTrack(const String& path, std::unique_ptr<AudioTrack>& track) {
    ComPtr<IMFSourceReader> reader;
    HRESULT hr = MFCreateSourceReaderFromURL(path.c_str(), nullptr, &reader);
    if (FAILED(hr))
        return hr;
    ComPtr<IMFMediaType> video;
    if (SUCCEEDED(reader->GetNativeMediaType(kVideo, 0, &video)))
        return MF_E_INVALIDMEDIATYPE;  // the engine shows its pictures
    hr = reader->SetStreamSelection(kAllStreams, FALSE);
    if (SUCCEEDED(hr))
        hr = reader->SetStreamSelection(kAudio, TRUE);
    ComPtr<IMFMediaType> wanted;
    if (SUCCEEDED(hr))
        hr = MFCreateMediaType(&wanted);
    if (SUCCEEDED(hr))
        hr = wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    if (SUCCEEDED(hr))
        hr = wanted->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_Float);
    if (SUCCEEDED(hr))
        hr = reader->SetCurrentMediaType(kAudio, nullptr, wanted.Get());
    ComPtr<IMFMediaType> current;
    if (SUCCEEDED(hr))
        hr = reader->GetCurrentMediaType(kAudio, &current);
    if (FAILED(hr))
        return hr;
    auto made = std::make_unique<AudioTrack>();
    made->sampleRate = MFGetAttributeUINT32(current.Get(), MF_MT_AUDIO_SAMPLES_PER_SECOND, 0);
    made->channels = MFGetAttributeUINT32(current.Get(), MF_MT_AUDIO_NUM_CHANNELS, 0);
    if (made->sampleRate == 0 || made->channels == 0 || made->channels > 2 ||
        MFGetAttributeUINT32(current.Get(), MF_MT_AUDIO_BITS_PER_SAMPLE, 32) != 32) {
        return MF_E_INVALIDMEDIATYPE;
    }
    PROPVARIANT length;
    PropVariantInit(&length);
    if (SUCCEEDED(reader->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE),
                                                   MF_PD_DURATION, &length)) &&
        length.vt == VT_UI8) {
        made->duration = static_cast<double>(length.uhVal.QuadPart) / kHundredNanoseconds;
    }
    PropVariantClear(&length);
    if (const std::optional<Mp3Trim> trim = mp3TrimOfFile(path)) {
        made->skipFrames = trim->skip;
        made->keepFrames = trim->keep;
        made->duration = static_cast<double>(trim->keep) / made->sampleRate;
    }
    made->reader = std::move(reader);
    made->path = path;
    track = std::move(made);
    return S_OK;
}

class AudioStream::Hold {
  public:
    explicit Hold(const AudioStream& stream) : section(&stream.section) {
        EnterCriticalSection(section);
    }
    ~Hold() { LeaveCriticalSection(section); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

  private:
    CRITICAL_SECTION* section;
};

AudioStream::AudioStream() : wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&section);
}

AudioStream::~AudioStream() {
    quit.store(true);
    if (thread) {
        SetEvent(wake.get());
        constexpr DWORD kThreadEndMs = 2000;
        if (WaitForSingleObject(thread.get(), kThreadEndMs) != WAIT_OBJECT_0) {
            // Stuck inside the platform: what it uses stays.
            (void)playing.release();
            (void)following.release();
            client.Detach();
            render.Detach();
            volume.Detach();
            return;
        }
    }
    Close();
    DeleteCriticalSection(&section);
}

void AudioStream::StartThread() {
    if (thread)
        return;
    thread.reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
}

DWORD WINAPI AudioStream::ThreadMain(void* stream) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    static_cast<AudioStream*>(stream)->Run();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void AudioStream::Run() {
    while (!quit.load()) {
        WaitForSingleObject(wake.get(), kWriterTickMs);
        Hold hold(*this);
        if (!playing)
            continue;
        if (!client) {
            if (lostRate != 0 && ++reopenTurns % kReopenTurns == 0)
                Reopen();
            continue;
        }
        if (Fill() == AUDCLNT_E_DEVICE_INVALIDATED) {
            LoseDevice();
            continue;
        }
        const uint64_t played = PlayedFrames();
        if (wantRunning && !running && played < writtenFrames) {
            running = SUCCEEDED(client->Start());
        } else if (running && played >= writtenFrames && playing->exhausted &&
                   (!following || following->exhausted)) {
            // Everything written has been heard and nothing is left to
            // write: the device rests until there is.
            client->Stop();
            running = false;
        }
    }
}

HRESULT AudioStream::OpenDevice(UINT32 sampleRate, UINT32 channels) {
    if (client && sampleRate == deviceRate && channels == deviceChannels) {
        ResetDevice();
        return S_OK;
    }
    CloseDevice();
    ComPtr<IMMDeviceEnumerator> devices;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&devices));
    ComPtr<IMMDevice> endpoint;
    if (SUCCEEDED(hr))
        hr = devices->GetDefaultAudioEndpoint(eRender, eConsole, &endpoint);
    ComPtr<IAudioClient> made;
    if (SUCCEEDED(hr))
        hr = endpoint->Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr,
                                reinterpret_cast<void**>(made.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    constexpr WORD kFloatBytes = 4;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = kFloatBytes * 8;
    format.nBlockAlign = static_cast<WORD>(channels * kFloatBytes);
    format.nAvgBytesPerSec = sampleRate * format.nBlockAlign;
    // The audio engine converts the file's rate to its own.
    hr = made->Initialize(
        AUDCLNT_SHAREMODE_SHARED,
        AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
        kBufferDuration, 0, &format, nullptr);
    if (FAILED(hr))
        return hr;
    hr = made->GetBufferSize(&bufferFrames);
    ComPtr<IAudioRenderClient> writer;
    if (SUCCEEDED(hr))
        hr = made->GetService(IID_PPV_ARGS(&writer));
    if (FAILED(hr))
        return hr;
    ComPtr<ISimpleAudioVolume> loudness;
    if (SUCCEEDED(made->GetService(IID_PPV_ARGS(&loudness))))
        loudness->SetMasterVolume(static_cast<float>(level), nullptr);
    client = std::move(made);
    render = std::move(writer);
    volume = std::move(loudness);
    deviceRate = sampleRate;
    deviceChannels = channels;
    writtenFrames = 0;
    lastPlayed = 0;
    running = false;
    return S_OK;
}

void AudioStream::CloseDevice() {
    if (client && running)
        client->Stop();
    running = false;
    render.Reset();
    volume.Reset();
    client.Reset();
    deviceRate = 0;
    deviceChannels = 0;
    writtenFrames = 0;
    lastPlayed = 0;
}

void AudioStream::ResetDevice() {
    if (!client)
        return;
    if (running)
        client->Stop();
    running = false;
    client->Reset();
    writtenFrames = 0;
    lastPlayed = 0;
}

HRESULT AudioStream::Reposition(Slot& slot, double seconds) {
    PROPVARIANT at;
    PropVariantInit(&at);
    at.vt = VT_I8;
    at.hVal.QuadPart = static_cast<LONGLONG>(seconds * kHundredNanoseconds);
    const HRESULT hr = slot.track->reader->SetCurrentPosition(GUID_NULL, at);
    // A file that cannot go there has nothing more to be heard.
    slot.exhausted = FAILED(hr);
    slot.span = StreamSpan{writtenFrames, slot.exhausted ? writtenFrames : UINT64_MAX, seconds,
                           slot.exhausted};
    slot.decoded = static_cast<uint64_t>(seconds * slot.track->sampleRate + 0.5);
    slot.pending.clear();
    slot.offset = 0;
    return hr;
}

uint64_t AudioStream::PlayedFrames() {
    UINT32 padding = 0;
    if (!client || FAILED(client->GetCurrentPadding(&padding)))
        return lastPlayed;
    lastPlayed = writtenFrames > padding ? writtenFrames - padding : 0;
    return lastPlayed;
}

double AudioStream::PositionOf(const Slot& slot, uint64_t played) const {
    return streamPosition(slot.span, played, deviceRate, slot.track->duration);
}

bool AudioStream::Heard(const Slot& slot, uint64_t played) const {
    return slot.exhausted && streamSpanHeard(slot.span, played);
}

bool AudioStream::ReadMore(Slot& slot) {
    for (;;) {
        DWORD flags = 0;
        LONGLONG time = 0;
        ComPtr<IMFSample> sample;
        const HRESULT hr =
            slot.track->reader->ReadSample(kAudio, 0, nullptr, &flags, &time, &sample);
        // A format that changes inside a file ends it here: the device
        // cannot follow without a break anyway.
        if (FAILED(hr) || (flags & (MF_SOURCE_READERF_ENDOFSTREAM | MF_SOURCE_READERF_ERROR |
                                    MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED)) != 0) {
            return false;
        }
        if (!sample)
            continue;  // a gap in the stream
        ComPtr<IMFMediaBuffer> buffer;
        BYTE* data = nullptr;
        DWORD bytes = 0;
        if (FAILED(sample->ConvertToContiguousBuffer(&buffer)) ||
            FAILED(buffer->Lock(&data, nullptr, &bytes))) {
            return false;
        }
        // Only the frames between the encoder's delay and its padding.
        const AudioTrack& track = *slot.track;
        const uint64_t frames = bytes / sizeof(float) / track.channels;
        const uint64_t first = slot.decoded;
        slot.decoded += frames;
        const uint64_t musicEnd = track.keepFrames == UINT64_MAX
                                      ? UINT64_MAX
                                      : uint64_t{track.skipFrames} + track.keepFrames;
        const uint64_t from = std::max<uint64_t>(first, track.skipFrames);
        const uint64_t to = std::min(slot.decoded, musicEnd);
        if (from < to) {
            const float* samples = reinterpret_cast<const float*>(data);
            slot.pending.assign(samples + (from - first) * track.channels,
                                samples + (to - first) * track.channels);
        } else {
            slot.pending.clear();
        }
        buffer->Unlock();
        slot.offset = 0;
        if (!slot.pending.empty())
            return true;
        if (first >= musicEnd)
            return false;  // the rest is the encoder's padding
    }
}

HRESULT AudioStream::Fill() {
    UINT32 padding = 0;
    HRESULT hr = client->GetCurrentPadding(&padding);
    if (FAILED(hr))
        return hr;
    const UINT32 target = std::min(bufferFrames, deviceRate / kFilledDivisor);
    while (padding < target) {
        Slot* slot = !playing->exhausted                  ? playing.get()
                     : following && !following->exhausted ? following.get()
                                                          : nullptr;
        if (slot == nullptr)
            return S_OK;
        if (slot->offset + deviceChannels > slot->pending.size() && !ReadMore(*slot)) {
            if (!slot->span.begun)
                slot->span.startFrame = writtenFrames;
            slot->span.begun = true;
            slot->exhausted = true;
            slot->span.endFrame = writtenFrames;
            continue;
        }
        if (!slot->span.begun) {
            slot->span.begun = true;
            slot->span.startFrame = writtenFrames;
        }
        const UINT32 frames = std::min<UINT32>(
            target - padding,
            static_cast<UINT32>((slot->pending.size() - slot->offset) / deviceChannels));
        BYTE* data = nullptr;
        hr = render->GetBuffer(frames, &data);
        if (FAILED(hr))
            return hr;
        std::memcpy(data, slot->pending.data() + slot->offset,
                    size_t{frames} * deviceChannels * sizeof(float));
        render->ReleaseBuffer(frames, 0);
        slot->offset += size_t{frames} * deviceChannels;
        writtenFrames += frames;
        padding += frames;
    }
    return S_OK;
}

void AudioStream::LoseDevice() {
    const uint64_t played = lastPlayed;
    const bool whole = Heard(*playing, played);
    const double heard = PositionOf(*playing, played);
    const double followingHeard =
        following && whole && following->span.begun ? PositionOf(*following, played) : 0.0;
    lostRate = deviceRate;
    lostChannels = deviceChannels;
    CloseDevice();
    if (whole)
        playing->span = StreamSpan{0, 0, heard, true};
    else
        Reposition(*playing, heard);
    if (following)
        Reposition(*following, followingHeard);
    Reopen();
}

void AudioStream::Reopen() {
    if (SUCCEEDED(OpenDevice(lostRate, lostChannels))) {
        lostRate = 0;
        lostChannels = 0;
    }
}

HRESULT AudioStream::Load(std::unique_ptr<AudioTrack> track) {
    if (!track)
        return E_POINTER;
    Hold hold(*this);
    following.reset();
    playing.reset();
    wantRunning = false;
    lostRate = 0;
    lostChannels = 0;
    const HRESULT hr = OpenDevice(track->sampleRate, track->channels);
    if (FAILED(hr))
        return hr;
    playing = std::make_unique<Slot>();
    playing->track = std::move(track);
    StartThread();
    return thread ? S_OK : E_OUTOFMEMORY;
}

void AudioStream::Close() {
    Hold hold(*this);
    CloseDevice();
    following.reset();
    playing.reset();
    wantRunning = false;
}

bool AudioStream::Loaded() const {
    Hold hold(*this);
    return playing != nullptr;
}

HRESULT AudioStream::Play() {
    Hold hold(*this);
    if (!playing || !client)
        return E_UNEXPECTED;
    wantRunning = true;
    // Started here rather than on the writer's next turn: a start is heard
    // as soon as it can be.
    Fill();
    if (!running && PlayedFrames() < writtenFrames)
        running = SUCCEEDED(client->Start());
    return S_OK;
}

void AudioStream::Pause() {
    Hold hold(*this);
    wantRunning = false;
    if (client && running)
        client->Stop();
    running = false;
}

HRESULT AudioStream::Seek(double seconds) {
    Hold hold(*this);
    if (!playing || !client)
        return E_UNEXPECTED;
    ResetDevice();
    if (following)
        Reposition(*following, 0.0);
    const HRESULT hr = Reposition(*playing, seconds);
    SetEvent(wake.get());
    return hr;
}

void AudioStream::SetVolume(double loudness) {
    Hold hold(*this);
    level = loudness;
    if (volume)
        volume->SetMasterVolume(static_cast<float>(loudness), nullptr);
}

bool AudioStream::Queue(std::unique_ptr<AudioTrack>& track) {
    Hold hold(*this);
    if (!playing || !track || track->sampleRate != deviceRate || track->channels != deviceChannels)
        return false;
    following = std::make_unique<Slot>();
    following->track = std::move(track);
    SetEvent(wake.get());
    return true;
}

void AudioStream::Unqueue() {
    Hold hold(*this);
    if (!following)
        return;
    if (!following->span.begun) {
        following.reset();
        return;
    }
    // Its first samples are in the device's buffer: the buffer goes, and the
    // playing track is written again from where it is heard.
    const uint64_t played = PlayedFrames();
    const double heard = PositionOf(*playing, played);
    const bool whole = Heard(*playing, played);
    ResetDevice();
    following.reset();
    if (whole) {
        playing->span.startSeconds = heard;
        playing->span.startFrame = 0;
        playing->span.endFrame = 0;
    } else {
        Reposition(*playing, heard);
    }
    SetEvent(wake.get());
}

bool AudioStream::HasQueued() const {
    Hold hold(*this);
    return following != nullptr;
}

bool AudioStream::Joined() const {
    Hold hold(*this);
    return following && following->span.begun;
}

bool AudioStream::Advance() {
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
    return false;
}

double AudioStream::Position() {
    Hold hold(*this);
    return playing ? PositionOf(*playing, PlayedFrames()) : 0.0;
}

double AudioStream::Duration() const {
    Hold hold(*this);
    return playing ? playing->track->duration : 0.0;
}

bool AudioStream::Ended() {
    Hold hold(*this);
    return playing && Heard(*playing, PlayedFrames());
}

String AudioStream::PlayingPath() const {
    Hold hold(*this);
    return playing ? playing->track->path : String{};
}

}  // namespace zav2
