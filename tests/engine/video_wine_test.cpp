// The video surface and the presentation thread with a real video under Wine.
// What the frames look like is checked from outside (av_check.py); here the
// thread's behaviour is checked through the player's read-outs.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <atomic>
#include <cmath>

#include "engine/media_engine_player.h"
#include "wine_support.h"

namespace zav2 {
namespace {

using test::HostWindow;
using test::mediaPath;
using test::openAndWait;
using test::pumpFor;
using test::pumpUntil;

// The first present of a process sets up Wine's GL pipeline, which takes
// seconds under llvmpipe on a busy machine: done once before the tests so
// that their waits measure the player, not the set-up.
class PresentWarmUp : public ::testing::Environment {
  public:
    void SetUp() override {
        MediaEnginePlayer player;
        if (FAILED(player.Initialize(test::sharedHostWindow(320, 240).host())))
            return;
        if (SUCCEEDED(openAndWait(player, mediaPath(L"hd720.mp4"))) && SUCCEEDED(player.Play()))
            pumpUntil([&] { return player.PresentedFrames() > 0; }, 30000);
        player.Shutdown();
    }
};
const auto* const warmUp = ::testing::AddGlobalTestEnvironment(new PresentWarmUp);

class VideoTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(player.Initialize(window.host()), S_OK); }
    void TearDown() override { player.Shutdown(); }

    bool framesArrive(uint64_t count, DWORD timeoutMs) {
        const uint64_t from = player.PresentedFrames();
        return pumpUntil([&] { return player.PresentedFrames() >= from + count; }, timeoutMs);
    }
    // The colour at the centre of the frame the engine holds now, through a
    // capture at native size: 'r', 'g', 'b', 'y' (yellow) or '?'.
    char frameColour() {
        Microsoft::WRL::ComPtr<IWICImagingFactory> factory;
        Microsoft::WRL::ComPtr<IWICBitmap> bitmap;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&factory))) ||
            FAILED(factory->CreateBitmap(320, 240, GUID_WICPixelFormat32bppPBGRA,
                                         WICBitmapCacheOnLoad, &bitmap)) ||
            FAILED(player.CaptureFrame(bitmap.Get()))) {
            return '?';
        }
        const WICRect centre{160, 120, 1, 1};
        BYTE bgra[4] = {};
        if (FAILED(bitmap->CopyPixels(&centre, 4, 4, bgra)))
            return '?';
        const bool b = bgra[0] > 160, g = bgra[1] > 160, r = bgra[2] > 160;
        if (r && g && !b)
            return 'y';
        if (r + g + b != 1)
            return '?';
        return r ? 'r' : (g ? 'g' : 'b');
    }

    HostWindow& window = test::sharedHostWindow(320, 240);
    MediaEnginePlayer player;
};

TEST_F(VideoTest, ReadOutsOfTheColourVideo) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    EXPECT_TRUE(player.HasVideo());
    DWORD width = 0;
    DWORD height = 0;
    player.GetNativeVideoSize(&width, &height);
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 240u);
    EXPECT_NEAR(player.GetFrameRate(), 25.0, 0.001);
    EXPECT_NEAR(player.GetDuration(), 4.0, 0.1);

    ASSERT_EQ(openAndWait(player, mediaPath(L"tone440.mp3")), S_OK);
    EXPECT_FALSE(player.HasVideo());
    EXPECT_EQ(player.GetFrameRate(), 0.0);
    player.GetNativeVideoSize(&width, &height);
    EXPECT_EQ(width, 0u);
    EXPECT_EQ(height, 0u);
}

TEST_F(VideoTest, FramesStopWhileSuspendedOrPausedAndAResizeRebuildsTheSwapChain) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    EXPECT_FALSE(player.HasSwapChain());  // not before the first frame
    ASSERT_EQ(player.Play(), S_OK);
    // The first present sets up the GL pipeline under Wine: allow for it.
    ASSERT_TRUE(framesArrive(1, 5000));
    EXPECT_TRUE(player.HasSwapChain());
    EXPECT_TRUE(framesArrive(10, 2000));

    // Suspended (a modal dialog is up): no frames, the sound goes on. A zero
    // side leaves the size alone but still drops the swap chain; with frames
    // held back the drop can be seen before it is rebuilt.
    player.SuspendFrames(true);
    pumpFor(50);
    const uint64_t suspended = player.PresentedFrames();
    const double position = player.GetPosition();
    player.ResizeSurface(0, 50);
    EXPECT_FALSE(player.HasSwapChain());
    RECT rect{};
    GetClientRect(player.SurfaceWindow(), &rect);
    EXPECT_EQ(rect.right, 320);
    EXPECT_EQ(rect.bottom, 240);
    pumpFor(400);
    EXPECT_EQ(player.PresentedFrames(), suspended);
    EXPECT_GT(player.GetPosition(), position + 0.2);
    player.SuspendFrames(false);
    EXPECT_TRUE(framesArrive(3, 2000));
    EXPECT_TRUE(player.HasSwapChain());

    // Resized while paused: the paused frame is presented once more on the
    // new swap chain, then nothing.
    ASSERT_EQ(player.Pause(), S_OK);
    pumpFor(100);
    const uint64_t paused = player.PresentedFrames();
    player.ResizeSurface(200, 150);
    EXPECT_TRUE(framesArrive(1, 1000));
    pumpFor(300);
    EXPECT_EQ(player.PresentedFrames(), paused + 1);
}

TEST_F(VideoTest, StopEndsTheFramesAndShutdownJoinsTheThread) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(framesArrive(3, 5000));
    ASSERT_EQ(player.Stop(), S_OK);
    // A frame the thread was already presenting when Stop returned may still
    // land; after that nothing more may come.
    pumpFor(100);
    const uint64_t stopped = player.PresentedFrames();
    pumpFor(300);
    EXPECT_EQ(player.PresentedFrames(), stopped);

    ShowWindow(window.host(), SW_SHOW);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(framesArrive(3, 2000));
    // The system counts thread time in ticks of 10 ms: play long enough for
    // the thread to have used a few.
    pumpFor(1000);
    EXPECT_GT(player.FrameThreadCpuSeconds(), 0.0);
    const ULONGLONG start = GetTickCount64();
    player.Shutdown();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_EQ(player.FrameThreadCpuSeconds(), 0.0);  // the thread is gone
}

// Under Wine a seek empties the frame sink's queue; the player makes it ask
// for frames again. Where the seek lands is checked with sound alone
// (PlayerTest); here the picture follows, polled so that a busy machine only
// takes longer. Each target leaves most of a second before the next colour.
TEST_F(VideoTest, AfterASeekFramesGoOnAndShowTheNewPosition) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(framesArrive(3, 5000));

    // Playing: red -> blue (2 ... 3 s).
    ASSERT_EQ(player.Seek(2.1), S_OK);
    EXPECT_TRUE(framesArrive(5, 2000));
    EXPECT_TRUE(pumpUntil([&] { return frameColour() == 'b'; }, 2000))
        << "shows " << frameColour() << " at " << player.GetPosition();

    // Paused: back to lime (1 ... 2 s), shown once playing goes on (Wine's
    // engine holds a seek made while paused until then).
    ASSERT_EQ(player.Pause(), S_OK);
    ASSERT_EQ(player.Seek(1.1), S_OK);
    pumpFor(300);
    ASSERT_EQ(player.Play(), S_OK);
    EXPECT_TRUE(framesArrive(5, 2000));
    EXPECT_TRUE(pumpUntil([&] { return frameColour() == 'g'; }, 2000))
        << "shows " << frameColour() << " at " << player.GetPosition();
}

TEST_F(VideoTest, FrameStepWhilePausedMovesOneFrameAndKeepsThePause) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(framesArrive(3, 5000));
    ASSERT_EQ(player.Pause(), S_OK);
    pumpFor(200);
    const double position = player.GetPosition();
    ASSERT_EQ(player.FrameStep(true), S_OK);
    pumpFor(300);
    EXPECT_NEAR(player.GetPosition(), position + 0.04, 0.02);  // 25 fps
    EXPECT_EQ(player.GetState(), PlayerState::Paused);
}

TEST_F(VideoTest, FailingFramesBackOffAndALostDeviceIsMadeAgain) {
    // Frames fail as long as `failing` holds, a lost device is reported once.
    std::atomic<HRESULT> failing{S_OK};
    std::atomic<bool> loseDevice{false};
    player.SetFrameFaultHook([&](FrameStage stage) -> HRESULT {
        if (stage == FrameStage::Present && loseDevice.exchange(false))
            return DXGI_ERROR_DEVICE_REMOVED;
        return stage == FrameStage::SwapChain ? failing.load() : S_OK;
    });
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(framesArrive(3, 5000));

    // A swap chain that cannot be made: the time-critical thread sleeps
    // between tries instead of spinning.
    failing = E_FAIL;
    pumpFor(100);
    const uint64_t frames = player.PresentedFrames();
    const double cpu = player.FrameThreadCpuSeconds();
    pumpFor(1000);
    EXPECT_EQ(player.PresentedFrames(), frames);
    EXPECT_LT(player.FrameThreadCpuSeconds() - cpu, 0.1);
    failing = S_OK;
    EXPECT_TRUE(framesArrive(3, 2000));

    loseDevice = true;
    EXPECT_TRUE(pumpUntil([&] { return player.DeviceRebuilds() == 1; }, 2000));
    EXPECT_TRUE(framesArrive(5, 3000));
    EXPECT_TRUE(player.HasSwapChain());
}

TEST_F(VideoTest, AStuckSwapChainHoldsUpNeitherTheWindowThreadNorShutdown) {
    // The presentation thread hangs once where it makes the swap chain, as
    // DXGI may while it waits on the window's thread.
    std::atomic<bool> hang{false};
    player.SetFrameFaultHook([&](FrameStage stage) -> HRESULT {
        if (stage == FrameStage::SwapChain && hang.exchange(false))
            Sleep(2500);
        return S_OK;
    });
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(framesArrive(3, 5000));
    hang = true;
    pumpFor(100);
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(player.Pause(), S_OK);
    player.ResizeSurface(200, 150);
    EXPECT_FALSE(player.GetCurrentPath().empty());
    EXPECT_LT(GetTickCount64() - start, 300u);

    // Shutdown gives up on the thread after its limit and keeps what the
    // thread uses; the thread then ends on its own and the next Shutdown
    // (the fixture's) joins it.
    start = GetTickCount64();
    player.Shutdown();
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
    pumpFor(1000);
}

}  // namespace
}  // namespace zav2
