// The media-engine interfaces the player uses, for SDKs without
// <mfmediaengine.h> (mingw-w64 10). Include "engine/media_engine_api.h"
// instead of this file. The method order is the ABI: every slot up to the
// last one the player calls is declared in the SDK's order.
#pragma once

#include <windows.h>
#include <mfidl.h>
#include <mfobjects.h>

#ifndef _MFVideoNormalizedRect_
#define _MFVideoNormalizedRect_
typedef struct MFVideoNormalizedRect {
    float left;
    float top;
    float right;
    float bottom;
} MFVideoNormalizedRect;
#endif

typedef enum MF_MEDIA_ENGINE_ERR {
    MF_MEDIA_ENGINE_ERR_NOERROR = 0,
    MF_MEDIA_ENGINE_ERR_ABORTED = 1,
    MF_MEDIA_ENGINE_ERR_NETWORK = 2,
    MF_MEDIA_ENGINE_ERR_DECODE = 3,
    MF_MEDIA_ENGINE_ERR_SRC_NOT_SUPPORTED = 4,
    MF_MEDIA_ENGINE_ERR_ENCRYPTED = 5
} MF_MEDIA_ENGINE_ERR;

typedef enum MF_MEDIA_ENGINE_PRELOAD {
    MF_MEDIA_ENGINE_PRELOAD_MISSING = 0,
    MF_MEDIA_ENGINE_PRELOAD_EMPTY = 1,
    MF_MEDIA_ENGINE_PRELOAD_NONE = 2,
    MF_MEDIA_ENGINE_PRELOAD_METADATA = 3,
    MF_MEDIA_ENGINE_PRELOAD_AUTOMATIC = 4
} MF_MEDIA_ENGINE_PRELOAD;

typedef enum MF_MEDIA_ENGINE_CANPLAY {
    MF_MEDIA_ENGINE_CANPLAY_NOT_SUPPORTED = 0,
    MF_MEDIA_ENGINE_CANPLAY_MAYBE = 1,
    MF_MEDIA_ENGINE_CANPLAY_PROBABLY = 2
} MF_MEDIA_ENGINE_CANPLAY;

typedef enum MF_MEDIA_ENGINE_EVENT {
    MF_MEDIA_ENGINE_EVENT_LOADSTART = 1,
    MF_MEDIA_ENGINE_EVENT_PROGRESS = 2,
    MF_MEDIA_ENGINE_EVENT_SUSPEND = 3,
    MF_MEDIA_ENGINE_EVENT_ABORT = 4,
    MF_MEDIA_ENGINE_EVENT_ERROR = 5,
    MF_MEDIA_ENGINE_EVENT_EMPTIED = 6,
    MF_MEDIA_ENGINE_EVENT_STALLED = 7,
    MF_MEDIA_ENGINE_EVENT_PLAY = 8,
    MF_MEDIA_ENGINE_EVENT_PAUSE = 9,
    MF_MEDIA_ENGINE_EVENT_LOADEDMETADATA = 10,
    MF_MEDIA_ENGINE_EVENT_LOADEDDATA = 11,
    MF_MEDIA_ENGINE_EVENT_WAITING = 12,
    MF_MEDIA_ENGINE_EVENT_PLAYING = 13,
    MF_MEDIA_ENGINE_EVENT_CANPLAY = 14,
    MF_MEDIA_ENGINE_EVENT_CANPLAYTHROUGH = 15,
    MF_MEDIA_ENGINE_EVENT_SEEKING = 16,
    MF_MEDIA_ENGINE_EVENT_SEEKED = 17,
    MF_MEDIA_ENGINE_EVENT_TIMEUPDATE = 18,
    MF_MEDIA_ENGINE_EVENT_ENDED = 19,
    MF_MEDIA_ENGINE_EVENT_RATECHANGE = 20,
    MF_MEDIA_ENGINE_EVENT_DURATIONCHANGE = 21,
    MF_MEDIA_ENGINE_EVENT_VOLUMECHANGE = 22
} MF_MEDIA_ENGINE_EVENT;

typedef enum MF_MEDIA_ENGINE_STATISTIC {
    MF_MEDIA_ENGINE_STATISTIC_FRAMES_RENDERED = 0,
    MF_MEDIA_ENGINE_STATISTIC_FRAMES_DROPPED = 1,
    MF_MEDIA_ENGINE_STATISTIC_BYTES_DOWNLOADED = 2,
    MF_MEDIA_ENGINE_STATISTIC_BUFFER_PROGRESS = 3,
    MF_MEDIA_ENGINE_STATISTIC_FRAMES_PER_SECOND = 4,
    MF_MEDIA_ENGINE_STATISTIC_PLAYBACK_JITTER = 5,
    MF_MEDIA_ENGINE_STATISTIC_FRAMES_CORRUPTED = 6,
    MF_MEDIA_ENGINE_STATISTIC_TOTAL_FRAME_DELAY = 7
} MF_MEDIA_ENGINE_STATISTIC;

// The SDK declares both in the media engine's header (the second one in
// mfidl.h of newer SDKs).
typedef enum MF_MEDIA_ENGINE_S3D_PACKING_MODE {
    MF_MEDIA_ENGINE_S3D_PACKING_MODE_NONE = 0,
    MF_MEDIA_ENGINE_S3D_PACKING_MODE_SIDE_BY_SIDE = 1,
    MF_MEDIA_ENGINE_S3D_PACKING_MODE_TOP_BOTTOM = 2
} MF_MEDIA_ENGINE_S3D_PACKING_MODE;

typedef enum MF_MEDIA_ENGINE_SEEK_MODE {
    MF_MEDIA_ENGINE_SEEK_MODE_NORMAL = 0,
    MF_MEDIA_ENGINE_SEEK_MODE_APPROXIMATE = 1
} MF_MEDIA_ENGINE_SEEK_MODE;

// MFARGB comes with mfobjects.h.

// Defined here rather than with DEFINE_GUID: no import library carries them.
// clang-format off
inline constexpr GUID CLSID_MFMediaEngineClassFactory = {0xb44392da, 0x499b, 0x446b, {0xa4, 0xcb, 0x00, 0x5f, 0xea, 0xd0, 0xe6, 0xd5}};
inline constexpr GUID MF_MEDIA_ENGINE_CALLBACK = {0xc60381b8, 0x83a4, 0x41f8, {0xa3, 0xd0, 0xde, 0x05, 0x07, 0x68, 0x49, 0xa9}};
inline constexpr GUID MF_MEDIA_ENGINE_DXGI_MANAGER = {0x065702da, 0x1094, 0x486d, {0x86, 0x17, 0xee, 0x7c, 0xc4, 0xee, 0x46, 0x48}};
inline constexpr GUID MF_MEDIA_ENGINE_VIDEO_OUTPUT_FORMAT = {0x5066893c, 0x8cf9, 0x42bc, {0x8b, 0x8a, 0x47, 0x22, 0x12, 0xe5, 0x27, 0x26}};
// clang-format on

MIDL_INTERFACE("fc0e10d2-ab2a-4501-a951-06bb1075184c")
IMFMediaError : public IUnknown {
    virtual USHORT STDMETHODCALLTYPE GetErrorCode() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetExtendedErrorCode() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetErrorCode(MF_MEDIA_ENGINE_ERR error) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetExtendedErrorCode(HRESULT error) = 0;
};
__CRT_UUID_DECL(IMFMediaError, 0xfc0e10d2, 0xab2a, 0x4501, 0xa9, 0x51, 0x06, 0xbb, 0x10, 0x75, 0x18,
                0x4c)

MIDL_INTERFACE("db71a2fc-078a-414e-9df9-8c2531b0aa6c")
IMFMediaTimeRange : public IUnknown {
    virtual DWORD STDMETHODCALLTYPE GetLength() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStart(DWORD index, double* start) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnd(DWORD index, double* end) = 0;
    virtual BOOL STDMETHODCALLTYPE ContainsTime(double time) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddRange(double start, double end) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};
__CRT_UUID_DECL(IMFMediaTimeRange, 0xdb71a2fc, 0x078a, 0x414e, 0x9d, 0xf9, 0x8c, 0x25, 0x31, 0xb0,
                0xaa, 0x6c)

MIDL_INTERFACE("7a5e5354-b114-4c72-b991-3131d75032ea")
IMFMediaEngineSrcElements : public IUnknown {
    virtual DWORD STDMETHODCALLTYPE GetLength() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetURL(DWORD index, BSTR * url) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetType(DWORD index, BSTR * type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMedia(DWORD index, BSTR * media) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddElement(BSTR url, BSTR type, BSTR media) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAllElements() = 0;
};
__CRT_UUID_DECL(IMFMediaEngineSrcElements, 0x7a5e5354, 0xb114, 0x4c72, 0xb9, 0x91, 0x31, 0x31, 0xd7,
                0x50, 0x32, 0xea)

MIDL_INTERFACE("98a1b0bb-03eb-4935-ae7c-93c1fa0e1c93")
IMFMediaEngine : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetError(IMFMediaError * *error) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetErrorCode(MF_MEDIA_ENGINE_ERR error) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSourceElements(IMFMediaEngineSrcElements * elements) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSource(BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentSource(BSTR * url) = 0;
    virtual USHORT STDMETHODCALLTYPE GetNetworkState() = 0;
    virtual MF_MEDIA_ENGINE_PRELOAD STDMETHODCALLTYPE GetPreload() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPreload(MF_MEDIA_ENGINE_PRELOAD preload) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBuffered(IMFMediaTimeRange * *buffered) = 0;
    virtual HRESULT STDMETHODCALLTYPE Load() = 0;
    virtual HRESULT STDMETHODCALLTYPE CanPlayType(BSTR type, MF_MEDIA_ENGINE_CANPLAY * answer) = 0;
    virtual USHORT STDMETHODCALLTYPE GetReadyState() = 0;
    virtual BOOL STDMETHODCALLTYPE IsSeeking() = 0;
    virtual double STDMETHODCALLTYPE GetCurrentTime() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCurrentTime(double time) = 0;
    virtual double STDMETHODCALLTYPE GetStartTime() = 0;
    virtual double STDMETHODCALLTYPE GetDuration() = 0;
    virtual BOOL STDMETHODCALLTYPE IsPaused() = 0;
    virtual double STDMETHODCALLTYPE GetDefaultPlaybackRate() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultPlaybackRate(double rate) = 0;
    virtual double STDMETHODCALLTYPE GetPlaybackRate() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPlaybackRate(double rate) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPlayed(IMFMediaTimeRange * *played) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSeekable(IMFMediaTimeRange * *seekable) = 0;
    virtual BOOL STDMETHODCALLTYPE IsEnded() = 0;
    virtual BOOL STDMETHODCALLTYPE GetAutoPlay() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAutoPlay(BOOL autoplay) = 0;
    virtual BOOL STDMETHODCALLTYPE GetLoop() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLoop(BOOL loop) = 0;
    virtual HRESULT STDMETHODCALLTYPE Play() = 0;
    virtual HRESULT STDMETHODCALLTYPE Pause() = 0;
    virtual BOOL STDMETHODCALLTYPE GetMuted() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMuted(BOOL muted) = 0;
    virtual double STDMETHODCALLTYPE GetVolume() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVolume(double volume) = 0;
    virtual BOOL STDMETHODCALLTYPE HasVideo() = 0;
    virtual BOOL STDMETHODCALLTYPE HasAudio() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNativeVideoSize(DWORD * cx, DWORD * cy) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVideoAspectRatio(DWORD * cx, DWORD * cy) = 0;
    virtual HRESULT STDMETHODCALLTYPE Shutdown() = 0;
    virtual HRESULT STDMETHODCALLTYPE TransferVideoFrame(IUnknown * surface,
                                                         const MFVideoNormalizedRect* src,
                                                         const RECT* dst, const MFARGB* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnVideoStreamTick(LONGLONG * time) = 0;
};
__CRT_UUID_DECL(IMFMediaEngine, 0x98a1b0bb, 0x03eb, 0x4935, 0xae, 0x7c, 0x93, 0xc1, 0xfa, 0x0e,
                0x1c, 0x93)

MIDL_INTERFACE("83015ead-b1e6-40d0-a98a-37145ffe1ad1")
IMFMediaEngineEx : public IMFMediaEngine {
    virtual HRESULT STDMETHODCALLTYPE SetSourceFromByteStream(IMFByteStream * bytestream,
                                                              BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStatistics(MF_MEDIA_ENGINE_STATISTIC statistic,
                                                    PROPVARIANT * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateVideoStream(
        const MFVideoNormalizedRect* src, const RECT* dst, const MFARGB* borderColor) = 0;
    virtual double STDMETHODCALLTYPE GetBalance() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBalance(double balance) = 0;
    virtual BOOL STDMETHODCALLTYPE IsPlaybackRateSupported(double rate) = 0;
    virtual HRESULT STDMETHODCALLTYPE FrameStep(BOOL forward) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResourceCharacteristics(DWORD * flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPresentationAttribute(REFGUID attribute,
                                                               PROPVARIANT * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfStreams(DWORD * streamCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamAttribute(DWORD streamIndex, REFGUID attribute,
                                                         PROPVARIANT * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamSelection(DWORD streamIndex, BOOL * enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetStreamSelection(DWORD streamIndex, BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE ApplyStreamSelections() = 0;
    virtual HRESULT STDMETHODCALLTYPE IsProtected(BOOL * isProtected) = 0;
    virtual HRESULT STDMETHODCALLTYPE InsertVideoEffect(IUnknown * effect, BOOL isOptional) = 0;
    virtual HRESULT STDMETHODCALLTYPE InsertAudioEffect(IUnknown * effect, BOOL isOptional) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAllEffects() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTimelineMarkerTimer(double timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTimelineMarkerTimer(double* timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelTimelineMarkerTimer() = 0;
    virtual BOOL STDMETHODCALLTYPE IsStereo3D() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStereo3DFramePackingMode(MF_MEDIA_ENGINE_S3D_PACKING_MODE *
                                                                  mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetStereo3DFramePackingMode(
        MF_MEDIA_ENGINE_S3D_PACKING_MODE mode) = 0;
    // MF3DVideoOutputType, an enum this SDK lacks; same size.
    virtual HRESULT STDMETHODCALLTYPE GetStereo3DRenderMode(UINT32 * outputType) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetStereo3DRenderMode(UINT32 outputType) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnableWindowlessSwapchainMode(BOOL enable) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVideoSwapchainHandle(HANDLE * swapchain) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnableHorizontalMirrorMode(BOOL enable) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAudioStreamCategory(UINT32 * category) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAudioStreamCategory(UINT32 category) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAudioEndpointRole(UINT32 * role) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAudioEndpointRole(UINT32 role) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRealTimeMode(BOOL * enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRealTimeMode(BOOL enable) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCurrentTimeEx(double seekTime,
                                                       MF_MEDIA_ENGINE_SEEK_MODE mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnableTimeUpdateTimer(BOOL enable) = 0;
};
__CRT_UUID_DECL(IMFMediaEngineEx, 0x83015ead, 0xb1e6, 0x40d0, 0xa9, 0x8a, 0x37, 0x14, 0x5f, 0xfe,
                0x1a, 0xd1)

MIDL_INTERFACE("4d645ace-26aa-4688-9be1-df3516990b93")
IMFMediaEngineClassFactory : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(DWORD flags, IMFAttributes * attributes,
                                                     IMFMediaEngine * *engine) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTimeRange(IMFMediaTimeRange * *range) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateError(IMFMediaError * *error) = 0;
};
__CRT_UUID_DECL(IMFMediaEngineClassFactory, 0x4d645ace, 0x26aa, 0x4688, 0x9b, 0xe1, 0xdf, 0x35,
                0x16, 0x99, 0x0b, 0x93)

MIDL_INTERFACE("fee7c112-e776-42b5-9bbf-0048524e2bd5")
IMFMediaEngineNotify : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EventNotify(DWORD event, DWORD_PTR param1, DWORD param2) = 0;
};
__CRT_UUID_DECL(IMFMediaEngineNotify, 0xfee7c112, 0xe776, 0x42b5, 0x9b, 0xbf, 0x00, 0x48, 0x52,
                0x4e, 0x2b, 0xd5)
