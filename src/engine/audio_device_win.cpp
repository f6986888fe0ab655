#include "engine/audio_device_win.h"

#include <mmdeviceapi.h>

#include <algorithm>
#include <utility>

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

// The device's buffer, 2 s: the writer keeps half of it filled
// (audio_stream_writer_win).
constexpr REFERENCE_TIME kBufferDuration = 20000000;

}  // namespace

HRESULT openDevice(Device& made) {
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
    WAVEFORMATEX* mix = nullptr;
    if (SUCCEEDED(hr))
        hr = client->GetMixFormat(&mix);
    if (FAILED(hr))
        return hr;
    const UINT32 rate = mix->nSamplesPerSec;
    CoTaskMemFree(mix);
    constexpr UINT32 channels = 2;
    constexpr WORD kFloatBytes = 4;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = kFloatBytes * 8;
    format.nBlockAlign = static_cast<WORD>(channels * kFloatBytes);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    // A device of more than two speakers takes stereo by the platform's
    // own up-mix.
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

bool applyStreamVolume(IAudioClient* client, UINT32 channels, float level) {
    ComPtr<IAudioStreamVolume> volume;
    if (FAILED(client->GetService(IID_PPV_ARGS(&volume))))
        return false;
    const float levels[2] = {level, level};
    return SUCCEEDED(volume->SetAllVolumes(std::min<UINT32>(channels, 2), levels));
}

}  // namespace zav2
