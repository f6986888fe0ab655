#include "playback/loudness_measurer_win.h"

#include <mfapi.h>
#include <mferror.h>

#include <chrono>
#include <memory>
#include <system_error>
#include <utility>

#include "engine/audio_track_win.h"
#include "engine/loudness_meter.h"
#include "platform/file.h"

namespace zav2 {

namespace {

// Results between saves: a crash loses little, and an album measured ahead
// does not rewrite the file after every track.
constexpr int kResultsBetweenSaves = 20;

}  // namespace

HRESULT measureLoudness(const String& path, MeasuredLoudness& out,
                        const std::atomic<bool>* cancel) {
    std::unique_ptr<AudioTrack> track;
    HRESULT hr = openAudioTrack(path, track);
    if (FAILED(hr))
        return hr;
    const UINT32 rate = track->sampleRate;
    const UINT32 channels = track->channels;
    LoudnessMeter meter(static_cast<int>(rate), defaultLayout(static_cast<int>(channels)));
    TrackDecoder decoder(std::move(track));
    SampleBlock block;
    for (;;) {
        if (cancel != nullptr && cancel->load())
            return E_ABORT;
        hr = decoder.Read(block);
        if (FAILED(hr))
            return hr;
        if (hr == S_FALSE)
            break;
        // The meter's filters are made for one rate; such files are rare
        // enough to play as they are.
        if (block.sampleRate != rate || block.channels != channels)
            return MF_E_INVALIDMEDIATYPE;
        meter.add(block.samples.data(), block.frames());
    }
    const std::optional<double> lufs = meter.integratedLoudness();
    if (!lufs)
        return E_FAIL;
    out = MeasuredLoudness{*lufs, meter.samplePeak()};
    return S_OK;
}

namespace {

// Nothing may leave the thread: a file too long for the memory left is
// not measured.
HRESULT measureWithin(const String& path, MeasuredLoudness& out, const std::atomic<bool>* cancel) {
    try {
        return measureLoudness(path, out, cancel);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace

LoudnessMeasurer::LoudnessMeasurer(String file) : cacheFile(std::move(file)) {
    if (!cacheFile.empty())
        cache = readLoudnessFile(cacheFile);
}

LoudnessMeasurer::~LoudnessMeasurer() {
    {
        const std::lock_guard lock(mutex);
        quit = true;
        cancelCurrent.store(true);
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
    Save();
}

std::optional<LoudnessMeasurer::FileState> LoudnessMeasurer::StateOf(const String& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    ULARGE_INTEGER written{};
    written.LowPart = data.ftLastWriteTime.dwLowDateTime;
    written.HighPart = data.ftLastWriteTime.dwHighDateTime;
    return FileState{(static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     static_cast<int64_t>(written.QuadPart)};
}

std::optional<MeasuredLoudness> LoudnessMeasurer::Known(const String& path) {
    const std::optional<FileState> state = StateOf(path);
    if (!state)
        return std::nullopt;
    const std::lock_guard lock(mutex);
    return cache.find(path, state->size, state->modified);
}

bool LoudnessMeasurer::Settled(const String& path, const FileState& state) const {
    return failed.contains(path) || cache.find(path, state.size, state.modified);
}

std::optional<MeasuredLoudness> LoudnessMeasurer::MeasureNow(const String& path, DWORD waitMs) {
    const std::optional<FileState> state = StateOf(path);
    if (!state)
        return std::nullopt;
    std::unique_lock lock(mutex);
    if (!Settled(path, *state)) {
        if (current != path) {
            // An earlier wish that had not started yet stays first in line.
            if (urgent && *urgent != path)
                wishes.push_front(std::move(*urgent));
            urgent = path;
            // The file under way gives way; it is taken up again after.
            if (!current.empty())
                cancelCurrent.store(true);
            StartThread();
            wake.notify_one();
        }
        measured.wait_for(lock, std::chrono::milliseconds(waitMs),
                          [&] { return Settled(path, *state); });
    }
    return cache.find(path, state->size, state->modified);
}

void LoudnessMeasurer::MeasureAhead(const std::vector<String>& paths) {
    const std::lock_guard lock(mutex);
    wishes.assign(paths.begin(), paths.end());
    if (!wishes.empty()) {
        StartThread();
        wake.notify_one();
    }
}

void LoudnessMeasurer::Save() {
    const std::lock_guard savingLock(saving);
    std::string bytes;
    {
        const std::lock_guard lock(mutex);
        if (!changed || cacheFile.empty())
            return;
        bytes = formatLoudnessFile(cache);
        changed = false;
        unsaved = 0;
    }
    if (!writeFileReplacing(cacheFile, bytes)) {
        const std::lock_guard lock(mutex);
        changed = true;
    }
}

void LoudnessMeasurer::StartThread() {
    if (thread.joinable() || quit)
        return;
    try {
        thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // Without a thread nothing is measured; files play as they are.
    }
}

void LoudnessMeasurer::Run() {
    // Measuring is never worth a stutter of what plays.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const HRESULT started = MFStartup(MF_VERSION, MFSTARTUP_FULL);
    std::unique_lock lock(mutex);
    while (!quit) {
        if (!urgent && wishes.empty()) {
            wake.wait(lock);
            continue;
        }
        if (urgent) {
            current = std::move(*urgent);
            urgent.reset();
        } else {
            current = std::move(wishes.front());
            wishes.pop_front();
        }
        cancelCurrent.store(false);
        const String path = current;
        lock.unlock();
        const std::optional<FileState> state = StateOf(path);
        lock.lock();
        if (state && Settled(path, *state)) {
            current.clear();
            continue;
        }
        lock.unlock();
        MeasuredLoudness loudness;
        const HRESULT hr = state ? measureWithin(path, loudness, &cancelCurrent) : E_FAIL;
        lock.lock();
        current.clear();
        if (hr == E_ABORT) {
            if (!quit)
                wishes.push_front(path);
            continue;
        }
        if (SUCCEEDED(hr) && cache.keep(path, state->size, state->modified, loudness)) {
            changed = true;
            ++unsaved;
        } else {
            failed.insert(path);
        }
        measured.notify_all();
        if (unsaved >= kResultsBetweenSaves) {
            lock.unlock();
            Save();
            lock.lock();
        }
    }
    lock.unlock();
    if (SUCCEEDED(started))
        MFShutdown();
    if (SUCCEEDED(com))
        CoUninitialize();
}

}  // namespace zav2
