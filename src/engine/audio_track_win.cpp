// Opening files for the audio stream and decoding them in order.
#include "engine/audio_track_win.h"

#include <mferror.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string_view>
#include <utility>

#include "engine/stream_samples.h"
#include "platform/handles_win.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
constexpr DWORD kVideo = static_cast<DWORD>(MF_SOURCE_READER_FIRST_VIDEO_STREAM);
constexpr DWORD kAllStreams = static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS);
constexpr double kHundredNanoseconds = 1e7;

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
    UINT32 channelMask = 0;
    UINT32 integerBits = 0;
};

// More channels than any layout the stream mixes down are not sound files.
constexpr UINT32 kMostChannels = 32;

// The reader's current output as the stream takes it: float, or integer
// PCM of a width it converts; any layout, mixed to stereo by the feed.
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
    output.channelMask = MFGetAttributeUINT32(current.Get(), MF_MT_AUDIO_CHANNEL_MASK, 0);
    if (IsEqualGUID(subtype, MFAudioFormat_Float) && bits == 32)
        output.integerBits = 0;
    else if (IsEqualGUID(subtype, MFAudioFormat_PCM) &&
             (bits == 8 || bits == 16 || bits == 24 || bits == 32))
        output.integerBits = bits;
    else
        return MF_E_INVALIDMEDIATYPE;
    if (output.rate == 0 || output.channels == 0 || output.channels > kMostChannels)
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
    made->channelMask = output.channelMask;
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
      channelMask(track->channelMask),
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
    channelMask = output.channelMask;
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
            block.channelMask = channelMask;
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

// --- TrackFeed ---------------------------------------------------------------

TrackFeed::TrackFeed(std::unique_ptr<AudioTrack> track)
    : gain(track->gain), decoder(std::move(track)) {}

void TrackFeed::Emit(std::vector<float>& frames, UINT32 outputRate, SampleBlock& block) {
    if (const float factor = gain.load(); factor != 1.0f) {
        for (float& sample : frames)
            sample *= factor;
    }
    block.samples.insert(block.samples.end(), frames.begin(), frames.end());
    block.sampleRate = outputRate;
    block.channels = 2;
    block.channelMask = 0;
    frames.clear();
}

void TrackFeed::Convert(const SampleBlock& decoded, UINT32 outputRate, SampleBlock& block) {
    std::vector<float> frames;
    const bool sameLayout = decoded.channels == inputChannels && decoded.channelMask == inputMask;
    if (resampler && (resampler->inputRate() != static_cast<int>(decoded.sampleRate) ||
                      resampler->outputRate() != static_cast<int>(outputRate))) {
        // Another rate inside the file: what the filter holds of the old
        // one comes first.
        resampler->flush(frames);
        resampler.reset();
    }
    const ChannelLayout layout =
        layoutFromMask(decoded.channelMask, static_cast<int>(decoded.channels));
    if (!resampler) {
        resampler.emplace(static_cast<int>(decoded.sampleRate), static_cast<int>(outputRate),
                          layout);
    } else if (!sameLayout) {
        resampler->setInputLayout(layout);
    }
    inputChannels = decoded.channels;
    inputMask = decoded.channelMask;
    resampler->process(decoded.samples.data(), decoded.frames(), frames);
    Emit(frames, outputRate, block);
}

HRESULT TrackFeed::Read(SampleBlock& block, UINT32 outputRate) {
    block.samples.clear();
    while (block.samples.empty()) {
        SampleBlock decoded;
        const HRESULT hr = decoder.Read(decoded);
        if (hr != S_OK)
            return hr;
        if (!nextSeconds)
            nextSeconds = decoded.seconds;
        Convert(decoded, outputRate, block);
    }
    block.seconds = *nextSeconds;
    *nextSeconds += static_cast<double>(block.frames()) / outputRate;
    return S_OK;
}

HRESULT TrackFeed::Seek(double seconds) {
    const HRESULT hr = decoder.Seek(seconds);
    if (SUCCEEDED(hr)) {
        resampler.reset();
        nextSeconds.reset();
    }
    return hr;
}

void TrackFeed::TakeTail(SampleBlock& block) {
    block.samples.clear();
    if (!resampler)
        return;
    std::vector<float> frames;
    const UINT32 outputRate = static_cast<UINT32>(resampler->outputRate());
    resampler->flush(frames);
    resampler.reset();
    Emit(frames, outputRate, block);
    block.seconds = nextSeconds.value_or(0.0);
    if (nextSeconds)
        *nextSeconds += static_cast<double>(block.frames()) / outputRate;
}

bool TrackFeed::HandOver(TrackFeed& next) {
    if (!resampler || next.resampler || next.nextSeconds ||
        resampler->inputRate() != static_cast<int>(next.Track().sampleRate)) {
        return false;
    }
    next.resampler = std::move(resampler);
    next.inputChannels = inputChannels;
    next.inputMask = inputMask;
    resampler.reset();
    return true;
}

}  // namespace zav2
