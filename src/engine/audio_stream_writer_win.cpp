// AudioStream: the thread that reads the files, keeps the device's buffer
// filled, and opens the device anew when it goes or the format changes.
#include "engine/audio_stream_core_win.h"

#include <avrt.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/debug_trace_win.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

// How much of the device's buffer (2 s) is kept filled, in seconds. A pause
// stops the device and a seek or cut empties it, so what is buffered delays
// only a change of a track's gain. Under Wine the thread's priority never
// reaches Linux: on a busy machine it was seen held 0.2-0.5 s between two
// looks, and with a fifth of a second ahead the sound dropped out.
constexpr UINT32 kFilledSeconds = 1;
// How often the thread looks at a running device; it sleeps until it is
// woken while nothing runs.
constexpr DWORD kWriterTickMs = 10;
// How often a device that went away is looked for again.
constexpr ULONGLONG kReopenMs = 500;
constexpr DWORD kThreadEndMs = 2000;

// Named for a debugger and for the system's own tools (Wine passes the name
// on to Linux). The call came with Windows 10 1607: looked up, not linked.
void NameThisThread(const wchar_t* name) {
    using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = kernel ? reinterpret_cast<SetDescription>(reinterpret_cast<void (*)()>(
                                  GetProcAddress(kernel, "SetThreadDescription")))
                            : nullptr;
    if (set)
        set(GetCurrentThread(), name);
}

}  // namespace

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
    // The thread keeps only a second ahead of the device: it runs
    // before the window and before whatever else the machine is busy with,
    // as the system's audio threads do ("Pro Audio"). Where the scheduling
    // service is missing (Wine has only a stub), the thread's own priority
    // asks the same; Wine passes it on to Linux only where the nice limit
    // (RLIMIT_NICE) allows, which the test machines' containers refuse.
    DWORD taskIndex = 0;
    const HANDLE task = AvSetMmThreadCharacteristicsW(L"Pro Audio", &taskIndex);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    NameThisThread(L"zav2_audio_out");
    (*core)->Run();
    if (task != nullptr)
        AvRevertMmThreadCharacteristics(task);
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
                // While the device runs the thread only sleeps a tick:
                // requests made meanwhile are seen at the next look. Under
                // Wine a timed wait on the event is a round trip to the
                // server, and beside busy cores such a 10-ms wait came back
                // 1-4 s late, with the device run dry; a sleep is timed
                // without the server.
                if (work.waitMs == kWriterTickMs)
                    Sleep(kWriterTickMs);
                else
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
        if (!wantDevice)
            return work;
        const ULONGLONG now = GetTickCount64();
        if (now < openAt) {
            work.waitMs = static_cast<DWORD>(openAt - now);
            return work;
        }
        work.kind = WorkKind::Open;
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
        // Gone: opened anew next.
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
    const UINT32 target = std::min(device.bufferFrames, device.rate * kFilledSeconds);
    while (padding < target) {
        Slot* slot = !playing->exhausted                  ? playing.get()
                     : following && !following->exhausted ? following.get()
                                                          : nullptr;
        if (slot == nullptr) {
            // Once a track: nothing follows it yet, and what is buffered is
            // all there is until something does (the end of the list, or a
            // next entry not opened in time).
            if (running && !following && dryToldFor != playing->serial) {
                dryToldFor = playing->serial;
                debugTrace(L"audio stream: nothing queued after the playing track, %u ms left\n",
                           static_cast<unsigned>(uint64_t{padding} * 1000 / device.rate));
            }
            return S_OK;
        }
        if (!slot->HasCarry()) {
            work.kind = WorkKind::Read;
            work.decoder = slot->decoder;
            work.serial = slot->serial;
            work.turn = slot->turn;
            work.path = slot->path;
            work.joining = slot == following.get() && !slot->span.begun;
            work.rate = device.rate;
            return S_OK;
        }
        const SampleBlock& carry = slot->carry;
        if (carry.sampleRate != device.rate) {
            // Read for the device that went away, whose default had another
            // rate: read again for this one.
            Rewind(*slot,
                   carry.seconds + static_cast<double>(slot->carryOffset) / carry.sampleRate);
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
    const HRESULT hr = work.decoder->Read(block, work.rate);
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
    if (hr == S_FALSE && !slot->tailTaken) {
        // The filter's last frames: the next track of the same rate takes
        // them on, so the join sounds as one signal; otherwise they end
        // this one.
        slot->tailTaken = true;
        if (slot == playing.get() && following && !following->span.begun &&
            slot->decoder->HandOver(*following->decoder)) {
            EndRead(*slot);
            return;
        }
        slot->decoder->TakeTail(slot->carry);
        slot->carryOffset = 0;
        if (slot->HasCarry())
            return;
    }
    EndRead(*slot);
}

// The end of its music, or of what its file would give.
void AudioStream::Core::EndRead(Slot& slot) {
    if (!slot.span.begun) {
        slot.span.begun = true;
        slot.span.startFrame = writtenFrames;
    }
    slot.exhausted = true;
    slot.span.endFrame = writtenFrames;
}

void AudioStream::Core::SeekTrack(Work& work) {
    if (work.hook)
        work.hook();
    // A seek to the known end needs nothing of the file: the track has
    // been heard whole there.
    const bool toTheEnd = work.end > 0 && work.seconds >= work.end;
    HRESULT hr = toTheEnd ? S_OK : work.decoder->Seek(work.seconds);
    std::shared_ptr<TrackFeed> fresh;
    if (FAILED(hr) && work.discarded) {
        // Its samples are gone: the file is opened anew to get back there.
        std::unique_ptr<AudioTrack> track;
        hr = openAudioTrack(work.path, track);
        if (SUCCEEDED(hr)) {
            track->gain = work.decoder->Gain();
            fresh = std::make_shared<TrackFeed>(std::move(track));
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
    slot->tailTaken = false;
    slot->carry = SampleBlock{};
    slot->carryOffset = 0;
}

void AudioStream::Core::OpenWanted(Work& work) {
    Device made;
    const HRESULT hr = openDevice(made);
    Hold hold(*this);
    // Superseded meanwhile (the stream closed): `made` is let go of here, on
    // the thread that made it.
    if (deviceTurn != work.turn || device.client || !wantDevice)
        return;
    if (FAILED(hr)) {
        openAt = GetTickCount64() + kReopenMs;
        return;
    }
    device = std::move(made);
    wantDevice = false;
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
    wantDevice = true;
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

}  // namespace zav2
