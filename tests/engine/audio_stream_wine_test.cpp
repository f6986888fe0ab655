// The program's own audio stream under Wine, one test per fault that could
// come back: a read that stalls, a seek the file refuses, a format that
// changes inside a file, a seek that lands early, a decoder that gives
// integer PCM only, the MP3 trim against the real decoder, and the stream's
// thread at rest and at its end. The sound itself is checked end to end.
#include <gtest/gtest.h>
#include <mferror.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "engine/audio_stream_win.h"
#include "engine/stream_samples.h"
#include "platform/handles_win.h"
#include "wine_support.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {
namespace {

using test::mediaPath;
using test::pumpFor;
using test::pumpUntil;

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

// A source reader of made-up sound, stereo, in parts of their own rates: a
// change of part comes with the reader's "type changed" flag, as a file
// whose format changes inside it does. Each sample holds its own time as
// the fraction of its second times 0.9, so a test can tell where it is.
class FakeReader final : public IMFSourceReader {
  public:
    struct Part {
        UINT32 rate;
        double seconds;
    };
    struct Options {
        bool refuseFloat = false;  // gives 24-bit PCM only
        bool refuseSeeks = false;
        double seekGrain = 0.0;  // a seek lands this much before its target (0: on it)
    };
    FakeReader(std::vector<Part> parts, Options options)
        : parts(std::move(parts)), options(options) {}

    static float valueAt(double seconds) {
        return static_cast<float>(std::fmod(seconds, 1.0) * 0.9);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known =
            IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IMFSourceReader));
        *out = known ? static_cast<IMFSourceReader*>(this) : nullptr;
        if (known)
            AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }

    // IMFSourceReader: audio only (no native type of any other stream)
    HRESULT STDMETHODCALLTYPE GetStreamSelection(DWORD, BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStreamSelection(DWORD, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetNativeMediaType(DWORD, DWORD, IMFMediaType**) override {
        return MF_E_INVALIDSTREAMNUMBER;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentMediaType(DWORD, IMFMediaType** type) override {
        return TypeOf(typePart, type);
    }
    HRESULT STDMETHODCALLTYPE SetCurrentMediaType(DWORD, DWORD*, IMFMediaType* type) override {
        GUID subtype{};
        type->GetGUID(MF_MT_SUBTYPE, &subtype);
        if (IsEqualGUID(subtype, MFAudioFormat_Float))
            return options.refuseFloat ? MF_E_INVALIDMEDIATYPE : S_OK;
        return IsEqualGUID(subtype, MFAudioFormat_PCM) ? S_OK : MF_E_INVALIDMEDIATYPE;
    }
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(REFGUID, REFPROPVARIANT at) override {
        if (options.refuseSeeks)
            return MF_E_INVALIDREQUEST;
        double target = static_cast<double>(at.hVal.QuadPart) / 1e7 - options.seekGrain;
        target = std::max(target, 0.0);
        part = 0;
        while (part + 1 < parts.size() && target >= parts[part].seconds) {
            target -= parts[part].seconds;
            ++part;
        }
        frame = static_cast<uint64_t>(std::floor(target * parts[part].rate));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReadSample(DWORD, DWORD, DWORD* index, DWORD* flags, LONGLONG* time,
                                         IMFSample** sample) override {
        if (index)
            *index = 0;
        *flags = 0;
        *sample = nullptr;
        while (part < parts.size() && frame >= Frames(part)) {
            ++part;
            frame = 0;
        }
        if (part >= parts.size()) {
            *flags = MF_SOURCE_READERF_ENDOFSTREAM;
            return S_OK;
        }
        if (part != typePart) {
            typePart = part;
            *flags |= MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED;
        }
        const UINT32 rate = parts[part].rate;
        const uint64_t count = std::min<uint64_t>(rate / 100, Frames(part) - frame);
        const double start = StartOf(part) + static_cast<double>(frame) / rate;
        const DWORD width = options.refuseFloat ? 3 : 4;
        ComPtr<IMFMediaBuffer> buffer;
        MFCreateMemoryBuffer(static_cast<DWORD>(count * 2 * width), &buffer);
        BYTE* data = nullptr;
        buffer->Lock(&data, nullptr, nullptr);
        for (uint64_t i = 0; i < count * 2; ++i) {
            const float value = valueAt(start + static_cast<double>(i / 2) / rate);
            const auto integer = static_cast<int32_t>(std::lround(value * 8388608.0));
            // Little-endian: the low three bytes of the integer are its 24 bits.
            std::memcpy(data + i * width, width == 4 ? static_cast<const void*>(&value) : &integer,
                        width);
        }
        buffer->Unlock();
        buffer->SetCurrentLength(static_cast<DWORD>(count * 2 * width));
        ComPtr<IMFSample> made;
        MFCreateSample(&made);
        made->AddBuffer(buffer.Get());
        *time = std::llround(start * 1e7);
        made->SetSampleTime(*time);
        frame += count;
        *sample = made.Detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Flush(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetServiceForStream(DWORD, REFGUID, REFIID, void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetPresentationAttribute(DWORD, REFGUID key,
                                                       PROPVARIANT* value) override {
        if (!IsEqualGUID(key, MF_PD_DURATION))
            return MF_E_ATTRIBUTENOTFOUND;
        value->vt = VT_UI8;
        value->uhVal.QuadPart = static_cast<ULONGLONG>(std::llround(StartOf(parts.size()) * 1e7));
        return S_OK;
    }

  private:
    uint64_t Frames(size_t index) const {
        return static_cast<uint64_t>(std::llround(parts[index].seconds * parts[index].rate));
    }
    double StartOf(size_t index) const {
        double start = 0;
        for (size_t i = 0; i < index; ++i)
            start += parts[i].seconds;
        return start;
    }
    HRESULT TypeOf(size_t index, IMFMediaType** out) const {
        ComPtr<IMFMediaType> type;
        MFCreateMediaType(&type);
        type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        type->SetGUID(MF_MT_SUBTYPE, options.refuseFloat ? MFAudioFormat_PCM : MFAudioFormat_Float);
        type->SetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND,
                        parts[std::min(index, parts.size() - 1)].rate);
        type->SetUINT32(MF_MT_AUDIO_NUM_CHANNELS, 2);
        type->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, options.refuseFloat ? 24 : 32);
        *out = type.Detach();
        return S_OK;
    }

    std::atomic<ULONG> references{1};
    std::vector<Part> parts;
    Options options;
    size_t part = 0;
    size_t typePart = 0;
    uint64_t frame = 0;
};

std::unique_ptr<AudioTrack> fakeTrack(std::vector<FakeReader::Part> parts,
                                      FakeReader::Options options = {}) {
    ComPtr<IMFSourceReader> reader;
    reader.Attach(new FakeReader(std::move(parts), options));
    std::unique_ptr<AudioTrack> track;
    EXPECT_EQ(audioTrackFromReader(reader, L"Z:\\nowhere\\made up.wav", track), S_OK);
    return track;
}

std::unique_ptr<AudioTrack> fileTrack(const std::wstring& name) {
    std::unique_ptr<AudioTrack> track;
    EXPECT_EQ(openAudioTrack(mediaPath(name), track), S_OK) << testing::PrintToString(name);
    return track;
}

class AudioStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(MFStartup(MF_VERSION, MFSTARTUP_FULL), S_OK);
    }
    void TearDown() override {
        MFShutdown();
        if (SUCCEEDED(com))
            CoUninitialize();
    }
    HRESULT com = E_FAIL;
};

// A gate the stream's thread waits at inside a read, until it is opened.
struct ReadGate {
    UniqueHandle entered{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueHandle open{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> closed{true};
    std::function<void()> hook() {
        return [this] {
            if (closed.load()) {
                SetEvent(entered.get());
                WaitForSingleObject(open.get(), 20000);
            }
        };
    }
    void Open() {
        closed.store(false);
        SetEvent(open.get());
    }
};

TEST_F(AudioStreamTest, TheWindowsCallsReturnAtOnceWhileAReadStallsAndThePausedThreadSleeps) {
    AudioStream stream;
    ASSERT_EQ(stream.Load(fileTrack(L"tone440.wav")), S_OK);
    ASSERT_EQ(stream.Play(), S_OK);
    ASSERT_TRUE(pumpUntil([&] { return stream.Position() > 0.3; }, 5000));
    ReadGate gate;
    stream.SetReadHook(gate.hook());
    ASSERT_EQ(WaitForSingleObject(gate.entered.get(), 5000), WAIT_OBJECT_0);

    // The thread is inside a read that will not come back for seconds.
    std::unique_ptr<AudioTrack> next = fileTrack(L"tone440.wav");
    const ULONGLONG start = GetTickCount64();
    stream.Position();
    stream.Ended();
    stream.SetVolume(0.5);
    stream.Pause();
    EXPECT_EQ(stream.Play(), S_OK);
    EXPECT_TRUE(stream.Queue(next));
    stream.Unqueue();
    EXPECT_EQ(stream.Seek(2.0), S_OK);
    EXPECT_DOUBLE_EQ(stream.Position(), 2.0);  // read as the target at once
    EXPECT_FALSE(stream.Ended());
    stream.Duration();
    EXPECT_LT(GetTickCount64() - start, 500u);

    gate.Open();
    EXPECT_TRUE(pumpUntil([&] { return stream.Position() > 2.2; }, 5000)) << stream.Position();

    // Paused, the thread sleeps: not a turn every 10 ms.
    stream.Pause();
    pumpFor(100);  // the turn that was under way
    const uint64_t turns = stream.WriterTurns();
    pumpFor(500);
    EXPECT_LE(stream.WriterTurns() - turns, 1u);
}

TEST_F(AudioStreamTest, ASeekTheFileRefusesPlaysOnWhereItWas) {
    AudioStream stream;
    ASSERT_EQ(stream.Load(fakeTrack({{44100, 5.0}}, {.refuseSeeks = true})), S_OK);
    ASSERT_EQ(stream.Play(), S_OK);
    ASSERT_TRUE(pumpUntil([&] { return stream.Position() > 0.5; }, 5000));
    ASSERT_EQ(stream.Seek(4.0), S_OK);
    // Back to where it plays, and going on from there.
    ASSERT_TRUE(pumpUntil([&] { return stream.Position() < 2.0; }, 3000));
    const double at = stream.Position();
    EXPECT_TRUE(pumpUntil([&] { return stream.Position() > at + 0.3; }, 3000));
    EXPECT_FALSE(stream.Ended());
}

TEST_F(AudioStreamTest, AFormatThatChangesInsideTheFileIsFollowedToTheEnd) {
    AudioStream stream;
    ASSERT_EQ(stream.Load(fakeTrack({{44100, 1.0}, {48000, 1.0}})), S_OK);
    EXPECT_NEAR(stream.Duration(), 2.0, 1e-6);
    ASSERT_EQ(stream.Play(), S_OK);
    ASSERT_TRUE(pumpUntil([&] { return stream.Ended(); }, 6000)) << stream.Position();
    EXPECT_NEAR(stream.Position(), 2.0, 0.01);
}

// The reader lands a quarter second early, inside a block, as Media
// Foundation's seeks may: the block read first begins exactly at the target.
// Its decoder gives 24-bit PCM only, which is taken where float is refused.
TEST_F(AudioStreamTest, ASeekCountsFromTheSamplesOwnTimesInIntegerPcmToo) {
    TrackDecoder decoder(fakeTrack({{96000, 3.0}}, {.refuseFloat = true, .seekGrain = 0.2537}));
    ASSERT_EQ(decoder.Seek(1.3), S_OK);
    SampleBlock block;
    ASSERT_EQ(decoder.Read(block), S_OK);
    EXPECT_NEAR(block.seconds, 1.3, 1.0 / 96000);
    EXPECT_NEAR(block.samples[0], FakeReader::valueAt(1.3), 1e-6);
    EXPECT_NEAR(block.samples[2 * 300], FakeReader::valueAt(1.3 + 300.0 / 96000), 1e-6);
}

// A click on the first and on the last sample of the music (make_test_media):
// both are kept, and nothing of the encoder's delay or padding.
TEST_F(AudioStreamTest, TheMp3TrimKeepsTheMusicToItsFirstAndLastSample) {
    TrackDecoder decoder(fileTrack(L"clicks.mp3"));
    std::vector<float> left;
    SampleBlock block;
    while (decoder.Read(block) == S_OK) {
        for (uint64_t i = 0; i < block.frames(); ++i)
            left.push_back(block.samples[i * block.channels]);
    }
    ASSERT_EQ(left.size(), 88200u);
    const auto loudest = [&](size_t from, size_t to) {
        size_t best = from;
        for (size_t i = from; i < to; ++i) {
            if (std::fabs(left[i]) > std::fabs(left[best]))
                best = i;
        }
        return best;
    };
    EXPECT_LE(loudest(0, 2000), 1u);
    EXPECT_GE(loudest(left.size() - 2000, left.size()), left.size() - 2);
}

// The thread is stuck in a read past the stream's wait for it: the stream
// goes, and what the thread uses stays until it comes back and ends.
TEST_F(AudioStreamTest, AThreadThatOutlivesItsStreamKeepsWhatItUses) {
    UniqueHandle freed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    struct SignalOnFree {
        HANDLE event;
        ~SignalOnFree() { SetEvent(event); }
    };
    auto gate = std::make_shared<ReadGate>();
    std::shared_ptr<SignalOnFree> sentinel(new SignalOnFree{freed.get()});
    auto stream = std::make_unique<AudioStream>();
    ASSERT_EQ(stream->Load(fileTrack(L"tone440.wav")), S_OK);
    // The hook, and what it holds, goes when the stream's state goes.
    stream->SetReadHook([gate, sentinel] { gate->hook()(); });
    sentinel.reset();
    ASSERT_EQ(WaitForSingleObject(gate->entered.get(), 5000), WAIT_OBJECT_0);
    const ULONGLONG start = GetTickCount64();
    stream.reset();
    EXPECT_LT(GetTickCount64() - start, 4000u);
    EXPECT_NE(WaitForSingleObject(freed.get(), 0), WAIT_OBJECT_0);
    gate->Open();
    EXPECT_EQ(WaitForSingleObject(freed.get(), 5000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace zav2
