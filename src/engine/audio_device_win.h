// The output device the audio stream writes into: a shared-mode WASAPI
// client of the default device, stereo 32-bit float at the rate the platform
// mixes at, so that every track can follow every other on it. Opened and let go of on the stream's
// thread. Windows only.
#pragma once

#include <windows.h>
// mingw-w64's audioclient.h defines what the Media Foundation headers define
// again, unless they (or strmif.h, as mfobjects.h brings) come first.
#include <mfobjects.h>
#include <audioclient.h>
#include <wrl/client.h>

namespace zav2 {

// A device as the stream's thread opens it.
struct Device {
    Microsoft::WRL::ComPtr<IAudioClient> client;
    Microsoft::WRL::ComPtr<IAudioRenderClient> render;
    UINT32 rate = 0;
    UINT32 channels = 0;
    UINT32 bufferFrames = 0;
};

// Opens the default output device for stereo float at its mix rate.
HRESULT openDevice(Device& made);

// The program's volume goes on the stream itself, never on the session's
// volume (ISimpleAudioVolume): since Vista, waveOutSetVolume, which the
// program sets to the same level for the media engine's sound, is the
// session's volume, so the session already carries it once, as it does
// for the engine. The stream volume object is let go of at once, on the
// thread that asked for it, as the platform requires. False where the
// device has no stream volume: the caller scales the samples instead.
bool applyStreamVolume(IAudioClient* client, UINT32 channels, float level);

}  // namespace zav2
