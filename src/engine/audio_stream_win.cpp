// AudioStream: the window's calls, which take the stream's lock only to hand
// over requests and read-outs; the thread's side is audio_stream_writer_win.
#include "engine/audio_stream_win.h"

#include <algorithm>
#include <utility>

#include "engine/audio_stream_core_win.h"

namespace zav2 {

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
    slot->decoder = std::make_shared<TrackFeed>(std::move(track));
    return slot;
}

// The slot's written samples are gone: it is read again from `seconds`.
void AudioStream::Core::Rewind(Slot& slot, double seconds) {
    slot.seekTo = seconds;
    ++slot.turn;
    slot.discarded = true;
    slot.span = StreamSpan{0, UINT64_MAX, seconds, false};
    slot.exhausted = false;
    slot.tailTaken = false;
    slot.carry = SampleBlock{};
    slot.carryOffset = 0;
}

HRESULT AudioStream::Core::Load(std::unique_ptr<AudioTrack> track) {
    if (!track)
        return E_POINTER;
    Hold hold(*this);
    following.reset();
    playing.reset();
    wantRunning = false;
    if (device.client) {
        ResetDevice();
    } else if (!wantDevice) {
        // The thread opens the device: the window does not wait on it.
        wantDevice = true;
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
    wantDevice = false;
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

void AudioStream::Core::SetGain(float factor) {
    Hold hold(*this);
    if (playing)
        playing->decoder->SetGain(factor);
}

bool AudioStream::Core::Queue(std::unique_ptr<AudioTrack>& track) {
    Hold hold(*this);
    if (!playing || !track)
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
void AudioStream::SetGain(float factor) {
    core->SetGain(factor);
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
